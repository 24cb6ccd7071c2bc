#include "settings/settings.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/engine.h"

namespace {

// How a value changes with each pass through the levels.
enum Scaling { FIXED, UP, DOWN };

struct Key {
    const char* section;
    std::string name;
    size_t offset; // into Settings
    bool is_int;
    double def;
    Scaling scaling;
};

struct EnemyKey {
    const char* suffix;
    size_t offset; // into EnemyTuning
    double def;
    Scaling scaling;
};

#define FIELD(f) offsetof(Settings, f)
#define TUNING(f) offsetof(EnemyTuning, f)

void add(std::vector<Key>& keys, const char* section, std::string name, size_t offset, bool is_int,
         double def, Scaling scaling = FIXED) {
    keys.push_back({section, std::move(name), offset, is_int, def, scaling});
}

// A family of keys that differ only in a trailing number.
template <size_t N>
void add_row(std::vector<Key>& keys, const char* section, const std::string& prefix, size_t offset,
             bool is_int, const double (&defs)[N]) {
    for (size_t i = 0; i < N; ++i)
        add(keys, section, prefix + std::to_string(i), offset + i * 4, is_int, defs[i]);
}

void add_family(std::vector<Key>& keys, EnemyFamily family, const char* prefix,
                std::initializer_list<EnemyKey> family_keys) {
    size_t base = FIELD(enemy) + family * sizeof(EnemyTuning);
    for (const EnemyKey& k : family_keys)
        add(keys, "Enemy", std::string("enemy_") + prefix + "_" + k.suffix, base + k.offset, false,
            k.def, k.scaling);
}

std::vector<Key> game_keys() {
    std::vector<Key> k;
    add(k, "Game", "game_over_delay", FIELD(game_over_delay), false, 1.5);
    add(k, "Game", "start_enemy", FIELD(start_enemy), true, 6);
    add(k, "Game", "player_invul_delay", FIELD(player_invul_delay), false, 2);
    add(k, "Game", "start_money", FIELD(start_money), true, 0);
    add(k, "Game", "start_level", FIELD(start_level), true, 0);
    add(k, "Game", "start_level_iteration", FIELD(start_level_iteration), true, 0);
    add(k, "Game", "clear_radius", FIELD(clear_radius), false, 35);
    add(k, "Game", "anim_kaboom_fps", FIELD(anim_kaboom_fps), false, 60);
    add(k, "Game", "anim_boom_fps", FIELD(anim_boom_fps), false, 30);
    add(k, "Game", "anim_kaboom_delay", FIELD(anim_kaboom_delay), false, 0.08);
    add(k, "Game", "anim_kaboom_radius", FIELD(anim_kaboom_radius), false, 25);
    add(k, "Game", "player_death_delay", FIELD(player_death_delay), false, 1.5);
    add(k, "Game", "player_invul_period", FIELD(player_invul_period), false, 0.1);
    add(k, "Game", "player_win_delay", FIELD(player_win_delay), false, 1.5);

    static const char* const key_names[5] = {"left", "right", "up", "down", "fire"};
    static const int key_defaults[2][5] = {{37, 39, 38, 40, 17}, {65, 68, 87, 83, 81}};
    for (int p = 0; p < 2; ++p)
        for (int i = 0; i < 5; ++i)
            add(k, p == 0 ? "Player0" : "Player1", key_names[i],
                FIELD(player_keys) + (p * 5 + i) * 4, true, key_defaults[p][i]);

    add_row(k, "Upgrade", "price_flexibility_", FIELD(price_flexibility), true, {50, 80, 120, 170, 250});
    add_row(k, "Upgrade", "price_firepower_", FIELD(price_firepower), true, {100, 180, 250, 320, 400});
    add_row(k, "Upgrade", "price_shield_", FIELD(price_shield), true, {25, 50, 100, 150, 200});
    add(k, "Upgrade", "price_ships", FIELD(price_ships), true, 10);

    add(k, "Star", "maxx", FIELD(star_maxx), false, 1100);
    add(k, "Star", "maxy", FIELD(star_maxy), false, 1100);
    add(k, "Star", "minx", FIELD(star_minx), false, 0);
    add(k, "Star", "miny", FIELD(star_miny), false, 0);
    add(k, "Star", "count", FIELD(star_count), true, 70);

    add(k, "Game", "one_player_x", FIELD(one_player_x), false, 400);
    add(k, "Game", "one_player_y", FIELD(one_player_y), false, 400);
    add(k, "Game", "split_screen_player0_x", FIELD(split_screen_player0_x), false, 200);
    add(k, "Game", "split_screen_player0_y", FIELD(split_screen_player0_y), false, 400);
    add(k, "Game", "split_screen_player1_x", FIELD(split_screen_player1_x), false, 200);
    add(k, "Game", "split_screen_player1_y", FIELD(split_screen_player1_y), false, 400);
    add(k, "Game", "player_fire_reaction_delay", FIELD(player_fire_reaction_delay), false, 0.6);

    add_row(k, "Control", "speed_vert_max_", FIELD(speed_vert_max), false, {280, 310, 335, 360, 385, 400});
    add_row(k, "Control", "speed_vert_min_", FIELD(speed_vert_min), false, {-60, -75, -90, -105, -120, -140});
    add_row(k, "Control", "rotate_left_max_", FIELD(rotate_left_max), false, {-1.8, -1.95, -2.1, -2.25, -2.4, -2.6});
    add_row(k, "Control", "rotate_right_max_", FIELD(rotate_right_max), false, {1.8, 1.95, 2.1, 2.25, 2.4, 2.6});
    add_row(k, "Control", "forward_speedup_", FIELD(forward_speedup), false, {550, 575, 600, 625, 650, 675});
    add_row(k, "Control", "backward_speedup_", FIELD(backward_speedup), false, {550, 575, 600, 625, 650, 675});
    add_row(k, "Control", "rotate_speedup_", FIELD(rotate_speedup), false, {20, 24, 28, 31, 34, 37});
    add_row(k, "Control", "forward_speeddown_", FIELD(forward_speeddown), false, {450, 475, 500, 525, 550, 575});
    add_row(k, "Control", "backward_speeddown_", FIELD(backward_speeddown), false, {-200, -210, -220, -230, -240, -250});
    add_row(k, "Control", "rotate_speeddown_", FIELD(rotate_speeddown), false, {7.5, 8.5, 10, 11, 12, 14});

    add(k, "Game", "radar_scale", FIELD(radar_scale), false, 8);
    add(k, "Game", "player_fire_cooldown", FIELD(player_fire_cooldown), false, 0.1);
    add(k, "Game", "player_bullet_speed", FIELD(player_bullet_speed), false, 777);
    add(k, "Game", "player_bullet_outrange", FIELD(player_bullet_outrange), false, 16);
    for (int i = 0; i < 4; ++i)
        add(k, "Game", "map_max[" + std::to_string(i) + "]", FIELD(map_max) + i * 4, false, 1100 * (i + 1));
    add(k, "Game", "player_bullet_radius", FIELD(player_bullet_radius), false, 4);
    add(k, "Game", "player_ship_radius", FIELD(player_ship_radius), false, 14);
    return k;
}

std::vector<Key> enemy_keys() {
    std::vector<Key> k;
    add(k, "Enemy", "enemy_bullet_speed", FIELD(enemy_bullet_speed), false, 250, UP);
    add(k, "Enemy", "enemy_bullet_radius", FIELD(enemy_bullet_radius), false, 4);
    add_family(k, FAMILY_METEOR, "meteor", {
        {"rotate_min", TUNING(rotate_min), 3, FIXED}, {"rotate_max", TUNING(rotate_max), 6, FIXED},
        {"speed_min", TUNING(speed_min), 30, UP}, {"speed_max", TUNING(speed_max), 120, UP}});
    add_family(k, FAMILY_GRAVY, "gravy", {
        {"rotate_min", TUNING(rotate_min), 2, FIXED}, {"rotate_max", TUNING(rotate_max), 4, FIXED},
        {"speed_min", TUNING(speed_min), 50, UP}, {"speed_max", TUNING(speed_max), 90, UP}});
    add_family(k, FAMILY_BULL, "bull", {
        {"rotate", TUNING(rotate), 1.5, UP}, {"speed", TUNING(speed), 90, UP},
        {"think_min", TUNING(think_min), 0.3, DOWN}, {"think_max", TUNING(think_max), 0.8, DOWN},
        {"fire_cooldown", TUNING(fire_cooldown), 1.5, DOWN},
        {"fire_probability", TUNING(fire_probability), 60, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.5, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 15, FIXED},
        {"bullet_angle", TUNING(bullet_angle), 0.6, FIXED}});
    add_family(k, FAMILY_EAGLE, "eagle", {
        {"rotate", TUNING(rotate), 4, UP}, {"speed", TUNING(speed), 110, UP},
        {"turn_to", TUNING(turn_to), 250000, UP}, {"turn_out", TUNING(turn_out), 22000, FIXED},
        {"fire_radius", TUNING(fire_radius), 160000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.4, DOWN},
        {"fire_probability", TUNING(fire_probability), 25, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.6, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 15, FIXED},
        {"bullet_angle", TUNING(bullet_angle), 0.9, FIXED}});
    add_family(k, FAMILY_HULL, "hull", {
        {"rotate", TUNING(rotate), 5, UP}, {"speed", TUNING(speed), 120, UP},
        {"turn_to", TUNING(turn_to), 270000, UP}, {"turn_out", TUNING(turn_out), 20000, FIXED},
        {"fire_radius", TUNING(fire_radius), 160000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.3, DOWN},
        {"fire_probability", TUNING(fire_probability), 25, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.6, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 9, FIXED},
        {"bullet_angle", TUNING(bullet_angle), 0.07, FIXED}});
    add_family(k, FAMILY_RUNNER, "runner", {
        {"rotate", TUNING(rotate), 2, UP}, {"speed", TUNING(speed), 210, UP}});
    add_family(k, FAMILY_SPIKE, "spike", {
        {"rotate", TUNING(rotate), 0.7, UP}, {"speed", TUNING(speed), 210, UP}});
    add_family(k, FAMILY_KLIN, "klin", {
        {"rotate", TUNING(rotate), 3.5, UP}, {"speed", TUNING(speed), 115, UP},
        {"turn_to", TUNING(turn_to), 290000, UP}, {"turn_out", TUNING(turn_out), 29000, FIXED},
        {"fire_radius", TUNING(fire_radius), 160000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.3, DOWN},
        {"fire_probability", TUNING(fire_probability), 25, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.8, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 15, FIXED}});
    add_family(k, FAMILY_REDGUN, "redgun", {
        {"fire_radius", TUNING(fire_radius), 160000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.25, DOWN},
        {"fire_probability", TUNING(fire_probability), 10, UP}, {"rotate", TUNING(rotate), 1, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 1, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 29, FIXED}});
    add_family(k, FAMILY_SMALLGUN, "smallgun", {
        {"fire_radius", TUNING(fire_radius), 300000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.3, DOWN},
        {"fire_probability", TUNING(fire_probability), 60, UP},
        {"fire_sensetivity", TUNING(fire_sensetivity), 0.1, UP}, {"rotate", TUNING(rotate), 0.8, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 1.8, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 16, FIXED}});
    add_family(k, FAMILY_BLUEGUN, "bluegun", {
        {"fire_radius", TUNING(fire_radius), 220000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.6, DOWN},
        {"fire_probability", TUNING(fire_probability), 85, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.9, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 29, FIXED}, {"rotate", TUNING(rotate), 0.6, UP}});
    add_family(k, FAMILY_ANANASGUN, "ananasgun", {
        {"fire_radius", TUNING(fire_radius), 100000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.2, UP},
        {"fire_probability", TUNING(fire_probability), 20, UP},
        {"fire_angle", TUNING(fire_angle), 0.22, FIXED}, {"rotate", TUNING(rotate), 0.2, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.6, UP},
        {"fire_sensetivity", TUNING(fire_sensetivity), 0.6, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 25, FIXED}});
    add_family(k, FAMILY_ARROW, "arrow", {
        {"rotate", TUNING(rotate), 0.35, UP}, {"speed", TUNING(speed), 195, UP},
        {"turn_to_think_delay_min", TUNING(turn_to_think_delay_min), 3, DOWN},
        {"turn_to_think_delay_max", TUNING(turn_to_think_delay_max), 10, DOWN},
        {"turn_to_probability", TUNING(turn_to_probability), 18, UP},
        {"turn_out", TUNING(turn_out), 6000, DOWN}});
    add_family(k, FAMILY_DISK, "disk", {
        {"rotate", TUNING(rotate), 7, UP}, {"speed", TUNING(speed), 140, UP},
        {"turn_to", TUNING(turn_to), 290000, FIXED}, {"turn_out", TUNING(turn_out), 16000, FIXED},
        {"fire_radius", TUNING(fire_radius), 250000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.3, DOWN},
        {"fire_probability", TUNING(fire_probability), 30, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 1.1, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 15, FIXED}});
    add_family(k, FAMILY_DRAGONFLY, "dragonfly", {
        {"rotate", TUNING(rotate), 5, UP}, {"speed", TUNING(speed), 330, UP},
        {"turn_to", TUNING(turn_to), 290000, DOWN}, {"turn_out", TUNING(turn_out), 20000, FIXED},
        {"fire_radius", TUNING(fire_radius), 200000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.3, DOWN},
        {"fire_probability", TUNING(fire_probability), 35, UP},
        {"bullet_lifetime", TUNING(bullet_lifetime), 0.9, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 12, FIXED}});
    add_family(k, FAMILY_FIRESTATION, "firestation", {
        {"fire_cooldown", TUNING(fire_cooldown), 1, DOWN},
        {"fire_sensetivity", TUNING(fire_sensetivity), 1, UP},
        {"fire_probability", TUNING(fire_probability), 25, UP}, {"rotate", TUNING(rotate), 0.1, UP}});
    add_family(k, FAMILY_FIREROCKET, "firerocket", {
        {"speed", TUNING(speed), 400, UP}, {"rotate", TUNING(rotate), 0.7, UP},
        {"speed_down", TUNING(speed_down), 70, DOWN}});
    add_family(k, FAMILY_CHIKEN, "chiken", {
        {"speed", TUNING(speed), 230, UP}, {"rotate", TUNING(rotate), 0.55, UP},
        {"think", TUNING(think), 4, UP}, {"fire_cooldown", TUNING(fire_cooldown), 2, DOWN},
        {"fire_radius", TUNING(fire_radius), 250000, UP},
        {"fire_probability", TUNING(fire_probability), 30, UP},
        {"fire_outrange", TUNING(fire_outrange), 15, FIXED}});
    add_family(k, FAMILY_CHIKENROCKET, "chikenrocket", {
        {"speed", TUNING(speed), 280, UP}, {"rotate", TUNING(rotate), 2.5, UP},
        {"speed_down", TUNING(speed_down), 34, DOWN}});
    add_family(k, FAMILY_MOZG, "mozg", {
        {"rotate", TUNING(rotate), 7, UP}, {"speed", TUNING(speed), 150, UP},
        {"turn_to", TUNING(turn_to), 200000, DOWN}, {"turn_out", TUNING(turn_out), 39000, FIXED},
        {"fire_radius", TUNING(fire_radius), 160000, UP},
        {"fire_cooldown", TUNING(fire_cooldown), 0.3, DOWN},
        {"fire_probability", TUNING(fire_probability), 15, UP},
        {"fire_angle", TUNING(fire_angle), 0.18, FIXED},
        {"bullet_lifetime", TUNING(bullet_lifetime), 1.2, UP},
        {"bullet_outrange", TUNING(bullet_outrange), 33, FIXED}});
    return k;
}

const std::vector<Key>& all_game_keys() {
    static const std::vector<Key> keys = game_keys();
    return keys;
}

const std::vector<Key>& all_enemy_keys() {
    static const std::vector<Key> keys = enemy_keys();
    return keys;
}

void* field_at(Settings& s, const Key& k) {
    return reinterpret_cast<char*>(&s) + k.offset;
}
const void* field_at(const Settings& s, const Key& k) {
    return reinterpret_cast<const char*>(&s) + k.offset;
}

void read_keys(Engine* e, Settings& s, const std::vector<Key>& keys) {
    for (const Key& k : keys) {
        if (k.is_int)
            *static_cast<int32_t*>(field_at(s, k)) =
                e->Ini_GetInt(k.section, k.name.c_str(), static_cast<int>(k.def));
        else
            *static_cast<float*>(field_at(s, k)) =
                e->Ini_GetFloat(k.section, k.name.c_str(), static_cast<float>(k.def));
    }
}

// Positions, speeds, times and angles: well beyond any sensible tuning, small enough
// that sums and products of them with frame times stay finite.
const double WORLD = 1e6;
// Squared distances, compared only.
const double SQUARED = 1e12;

struct Limit {
    const char* section;
    const char* name; // the key; "*suffix" and "prefix*" cover every key of the section so named
    double min, max;
    double min_magnitude; // values nearer 0 move out to it, keeping their sign (0 goes up)
    bool positive;        // 0 or below takes the key's default
    const char* why;
};

// Only values that would crash, hang, divide by zero, overflow or pile up
// without end; odd but harmless values are the player's to choose.
const Limit LIMITS[] = {
    {"Game", "game_over_delay", -WORLD, 3600, 0, false,
     "the game-over screen takes no keys, so a longer wait holds the game"},
    {"Game", "start_money", 0, 1000000000, 0, false,
     "credits must not overflow as they grow, and a password would turn negative ones large"},
    {"Game", "start_level", 0, 49, 0, false, "there are 50 levels; others index past the list"},
    {"Game", "start_level_iteration", 0, 8, 0, false,
     "passes run 0 to 8; a later one never ends the game and its bonus grows until it overflows"},
    {"Game", "anim_kaboom_fps", 0.001, 1000, 0, true,
     "at 0 or below (or nearly) explosions never end and pile up; faster, they step for ages"},
    {"Game", "anim_boom_fps", 0.001, 1000, 0, true,
     "at 0 or below (or nearly) explosions never end and pile up; faster, they step for ages"},
    {"Game", "anim_kaboom_delay", -WORLD, 60, 0, false, "waiting explosions would pile up"},
    {"Game", "radar_scale", -WORLD, WORLD, 0.001, false,
     "the radar divides by it: 0 divides by zero, nearer 0 overflows"},
    {"Game", "player_bullet_speed", -WORLD, WORLD, 1, false,
     "shots that barely move never leave the view and pile up"},
    {"Game", "player_bullet_radius", -WORLD, 99, 0, false,
     "from 100 the view and its margins span the smallest field: shots never leave it"},
    {"Game", "map_max[*", 1000, WORLD, 0, false,
     "a smaller field fits in the view: shots never leave it"},
    {"Upgrade", "*", 0, INT_MAX, 0, false,
     "a negative price would pay out and overflow the credits"},
    {"Star", "count", INT_MIN, 10000, 0, false, "every star is stored and drawn every frame"},
    {"Enemy", "*_turn_to", -SQUARED, SQUARED, 0, false,
     "squared distances: larger ones overflow as the passes scale them"},
    {"Enemy", "*_turn_out", -SQUARED, SQUARED, 0, false,
     "squared distances: larger ones overflow as the passes scale them"},
    {"Enemy", "*_fire_radius", -SQUARED, SQUARED, 0, false,
     "squared distances: larger ones overflow as the passes scale them"},
    {"Enemy", "*_bullet_lifetime", -WORLD, 60, 0, false,
     "enemy bullets end only with their lifetime; longer-lived ones would pile up"},
    {"Enemy", "*_speed_down", 1, WORLD, 0, false,
     "a rocket ends when it has slowed to a stop; one that never does piles up"},
};

const Limit FLOAT_DEFAULT = {"", "", -WORLD, WORLD, 0, false, "larger values overflow the arithmetic"};

bool matches(const char* pattern, const std::string& name) {
    size_t n = std::strlen(pattern);
    if (pattern[0] == '*') { // "*suffix"
        size_t tail = n - 1;
        return name.size() >= tail && name.compare(name.size() - tail, tail, pattern + 1) == 0;
    }
    if (pattern[n - 1] == '*') return name.compare(0, n - 1, pattern, n - 1) == 0; // "prefix*"
    return name == pattern;
}

const Limit* limit_of(const Key& k) {
    for (const Limit& l : LIMITS)
        if (std::strcmp(l.section, k.section) == 0 && matches(l.name, k.name)) return &l;
    return k.is_int ? nullptr : &FLOAT_DEFAULT;
}

double corrected(double v, const Limit& l, double def) {
    if (l.positive && !(v > 0)) return def;
    if (l.min_magnitude > 0 && std::fabs(v) < l.min_magnitude)
        v = v < 0 ? -l.min_magnitude : l.min_magnitude;
    if (v < l.min) v = l.min;
    if (v > l.max) v = l.max;
    return v;
}

// Each bad value is logged once, not again at every partial reload.
std::map<std::string, double>& logged_values() {
    static std::map<std::string, double> logged;
    return logged;
}

void apply_limits(Engine* e, Settings& s, const std::vector<Key>& keys) {
    for (const Key& k : keys) {
        const Limit* l = limit_of(k);
        if (!l) continue;
        // Each type widened on its own: a common type of float would round large ints.
        void* field = field_at(s, k);
        double v = k.is_int ? static_cast<double>(*static_cast<int32_t*>(field))
                            : static_cast<double>(*static_cast<float*>(field));
        double fixed = corrected(v, *l, k.def);
        if (fixed == v) continue;
        if (k.is_int)
            *static_cast<int32_t*>(field) = static_cast<int32_t>(fixed);
        else
            *static_cast<float*>(field) = static_cast<float>(fixed);
        std::string id = std::string(k.section) + "." + k.name;
        auto it = logged_values().find(id);
        if (it != logged_values().end() && it->second == v) continue;
        logged_values()[id] = v;
        if (e)
            e->System_Log("Settings: [%s] %s = %.9g cannot be used (%s); using %.9g", k.section,
                          k.name.c_str(), v, l->why, fixed);
    }
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

void read_settings(Settings& s, bool all) {
    Engine* e = hgeCreate(ENGINE_VERSION);
    if (!e) return;
    if (all) {
        read_keys(e, s, all_game_keys());
        apply_limits(e, s, all_game_keys());
    }
    read_keys(e, s, all_enemy_keys());
    apply_limits(e, s, all_enemy_keys());
    e->Release();
}

Settings default_settings() {
    Settings s{};
    for (const std::vector<Key>* keys : {&all_game_keys(), &all_enemy_keys()})
        for (const Key& k : *keys) {
            if (k.is_int)
                *static_cast<int32_t*>(field_at(s, k)) = static_cast<int32_t>(k.def);
            else
                *static_cast<float*>(field_at(s, k)) = static_cast<float>(k.def);
        }
    return s;
}

bool read_settings_text(Settings& s, const std::string& text) {
    // "section.key" in lower case -> the value's text.
    std::map<std::string, std::string> values;
    std::string section;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 1 && line[0] == '[' && line.back() == ']') {
            section = lower(line.substr(1, line.size() - 2));
            continue;
        }
        size_t eq = line.find('=');
        if (eq != std::string::npos)
            values[section + "." + lower(line.substr(0, eq))] = line.substr(eq + 1);
    }
    bool any = false;
    for (const std::vector<Key>* keys : {&all_game_keys(), &all_enemy_keys()}) {
        for (const Key& k : *keys) {
            auto found = values.find(lower(k.section) + "." + lower(k.name));
            if (found == values.end()) continue;
            const char* value = found->second.c_str();
            char* end = nullptr;
            if (k.is_int) {
                long v = std::strtol(value, &end, 10);
                if (end == value || v < INT32_MIN || v > INT32_MAX) continue;
                *static_cast<int32_t*>(field_at(s, k)) = static_cast<int32_t>(v);
            } else {
                float v = std::strtof(value, &end);
                if (end == value) continue;
                *static_cast<float*>(field_at(s, k)) = v;
            }
            any = true;
        }
    }
    Engine* e = hgeCreate(ENGINE_VERSION); // for the log; the limits hold without it
    apply_limits(e, s, all_game_keys());
    apply_limits(e, s, all_enemy_keys());
    if (e) e->Release();
    return any;
}

bool is_settings_key(const std::string& section, const std::string& key) {
    for (const std::vector<Key>* keys : {&all_game_keys(), &all_enemy_keys()})
        for (const Key& k : *keys)
            if (lower(k.section) == lower(section) && lower(k.name) == lower(key)) return true;
    return false;
}

void scale_up_difficulty(Settings& s) {
    // A large count from the file, stepped pass after pass, saturates rather than overflow.
    float more = static_cast<float>(s.start_enemy) * 1.25f;
    if (more >= 2147483648.0f)
        s.start_enemy = INT32_MAX;
    else if (more <= -2147483648.0f)
        s.start_enemy = INT32_MIN;
    else
        s.start_enemy = static_cast<int32_t>(more);
    s.spawn_delay *= 0.9f;
    for (const Key& k : all_enemy_keys()) {
        float* value = static_cast<float*>(field_at(s, k));
        if (k.scaling == UP) *value *= 1.05f;
        if (k.scaling == DOWN) *value *= 0.9f;
    }
}

void restore_difficulty(Settings& s, const Settings& file, int passes) {
    for (const Key& k : all_enemy_keys())
        std::memcpy(field_at(s, k), field_at(file, k), sizeof(float));
    // Not in section "Enemy", so the section alone would leave them scaled and
    // every replay of the steps would compound on the last.
    s.start_enemy = file.start_enemy;
    s.spawn_delay = 0.0f;
    for (int i = 0; i < passes; ++i) scale_up_difficulty(s);
}

void visit_settings(const Settings& s, SettingsVisitor visit, void* user, bool all) {
    if (all)
        for (const Key& k : all_game_keys())
            visit(k.section, k.name.c_str(), field_at(s, k), k.is_int, user);
    for (const Key& k : all_enemy_keys())
        visit(k.section, k.name.c_str(), field_at(s, k), k.is_int, user);
}
