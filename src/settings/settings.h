// Every tuning value of the game, read from the settings file.
#pragma once

#include <cstdint>
#include <string>

// One enemy family's tuning values; each family reads only the keys it has.
struct EnemyTuning {
    float rotate_min, rotate_max;           // meteor, gravy
    float speed_min, speed_max;             // meteor, gravy
    float rotate;                           // turn or spin rate, rad/s
    float speed;                            // units/s
    float think, think_min, think_max;      // bull, chiken: seconds between turns
    float turn_to, turn_out;                // squared distances
    float fire_radius;                      // squared distance
    float fire_cooldown;                    // seconds
    float fire_probability;                 // percent
    float fire_sensetivity;                 // radians
    float fire_angle;                       // fan step, radians
    float fire_outrange;                    // chiken: rocket start distance
    float bullet_lifetime;                  // seconds
    float bullet_outrange;                  // bullet start distance
    float bullet_angle;                     // pair half-angle, radians
    float speed_down;                       // rockets: units/s^2
    float turn_to_think_delay_min;          // arrow
    float turn_to_think_delay_max;          // arrow
    float turn_to_probability;              // arrow, percent
};

// Enemy families in the order the file lists them.
enum EnemyFamily {
    FAMILY_METEOR,
    FAMILY_GRAVY,
    FAMILY_BULL,
    FAMILY_EAGLE,
    FAMILY_HULL,
    FAMILY_RUNNER,
    FAMILY_SPIKE,
    FAMILY_KLIN,
    FAMILY_REDGUN,
    FAMILY_SMALLGUN,
    FAMILY_BLUEGUN,
    FAMILY_ANANASGUN,
    FAMILY_ARROW,
    FAMILY_DISK,
    FAMILY_DRAGONFLY,
    FAMILY_FIRESTATION,
    FAMILY_FIREROCKET,
    FAMILY_CHIKEN,
    FAMILY_CHIKENROCKET,
    FAMILY_MOZG,
    FAMILY_COUNT
};

struct Settings {
    // "Game", first part
    float game_over_delay;
    int32_t start_enemy;
    float player_invul_delay;
    int32_t start_money;
    int32_t start_level;
    int32_t start_level_iteration;
    float clear_radius;
    float anim_kaboom_fps;
    float anim_boom_fps;
    float anim_kaboom_delay;
    float anim_kaboom_radius;
    float player_death_delay;
    float player_invul_period;
    float player_win_delay;

    // "Player0", "Player1": virtual-key codes left, right, up, down, fire
    int32_t player_keys[2][5];

    // "Upgrade"
    int32_t price_flexibility[5];
    int32_t price_firepower[5];
    int32_t price_shield[5];
    int32_t price_ships;

    // "Star"
    float star_maxx, star_maxy, star_minx, star_miny;
    int32_t star_count;

    // "Game", second part: ship anchors in their views
    float one_player_x, one_player_y;
    float split_screen_player0_x, split_screen_player0_y;
    float split_screen_player1_x, split_screen_player1_y;
    float player_fire_reaction_delay;

    // "Control": flight tables indexed by flexibility 0..5
    float speed_vert_max[6];
    float speed_vert_min[6];
    float rotate_left_max[6];
    float rotate_right_max[6];
    float forward_speedup[6];
    float backward_speedup[6];
    float rotate_speedup[6];
    float forward_speeddown[6];
    float backward_speeddown[6];
    float rotate_speeddown[6];

    // "Game", third part
    float radar_scale;
    float player_fire_cooldown;
    float player_bullet_speed;
    float player_bullet_outrange;
    float map_max[4];
    float player_bullet_radius;
    float player_ship_radius;

    // "Enemy"
    float enemy_bullet_speed;
    float enemy_bullet_radius;
    EnemyTuning enemy[FAMILY_COUNT];

    // Set by no key: starts at 0, only scale_up_difficulty changes it.
    float spawn_delay;
};

// Reads the settings file into s through the engine: every section in
// reading order when all is true, section "Enemy" alone when false. A value
// the game cannot run with becomes the nearest one it can, with one log line.
void read_settings(Settings& s, bool all);
// Every key at its default, as with no settings file.
Settings default_settings();
// INI text over s ("[Section]" lines, then "key=value"), as another machine
// or a recording wrote it from its own record: each key the text gives a
// number for takes it, the others keep their value; then the limits as
// read_settings applies them. False when the text gave no key a number.
bool read_settings_text(Settings& s, const std::string& text);
// Whether "Section" "key" names a key of the settings file (any case).
bool is_settings_key(const std::string& section, const std::string& key);

// One pass's worth of stronger enemies (single precision, compounding; start_enemy saturates).
void scale_up_difficulty(Settings& s);

// The enemies of a given number of passes, however strong they were: section
// "Enemy" and start_enemy as the file gave them (file), spawn_delay back to
// 0, then that many scale_up_difficulty steps.
void restore_difficulty(Settings& s, const Settings& file, int passes);

// Calls f(section, key, pointer, is_int) for every key of s in reading order;
// the dump and the settings writer use the same list the reader does.
typedef void (*SettingsVisitor)(const char* section, const char* key, const void* value,
                                bool is_int, void* user);
void visit_settings(const Settings& s, SettingsVisitor visit, void* user, bool all = true);
