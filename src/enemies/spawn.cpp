#include "enemies/spawn.h"

#include <cmath>

#include "enemies/steps.h"
#include "world/globals.h"

namespace {

// A field smaller than the views has no unseen point; after this many draws the
// last one is used rather than searching forever.
constexpr int MAX_SPAWN_TRIES = 1000;

// View sizes when no render target exists yet (the 800 x 590 window).
constexpr float FALLBACK_VIEW0_W = 800.0f;
constexpr float FALLBACK_VIEW1_W = 399.0f;
constexpr float FALLBACK_VIEW_H = 590.0f;

float rf(float a, float b) {
    return engine->Random_Float(a, b);
}

void shape(enemy& e, EnemyKind kind, EnemyMode mode, float view_radius, float hit_radius,
           int armor) {
    e.kind = kind;
    e.mode = mode;
    e.view_radius = view_radius;
    e.hit_radius = hit_radius;
    e.armor = armor;
}

// Hunters start in either state.
EnemyMode approach_or_retreat() {
    return engine->Random_Int(0, 1) == 0 ? MODE_APPROACH : MODE_RETREAT;
}

// Meteors share one range of speed and spin; spin is drawn first.
void meteor(enemy& e, EnemyKind kind, float view_radius, float hit_radius) {
    const EnemyTuning& t = settings.enemy[FAMILY_METEOR];
    shape(e, kind, MODE_DRIFT, view_radius, hit_radius, 0);
    e.rotate = rf(t.rotate_min, t.rotate_max);
    e.speed = rf(t.speed_min, t.speed_max);
    e.aux_a = e.angle;
}

// Smaller gravies are slower; spin is drawn first.
void gravy(enemy& e, EnemyKind kind, float view_radius, float hit_radius, float factor) {
    const EnemyTuning& t = settings.enemy[FAMILY_GRAVY];
    shape(e, kind, MODE_ORBIT, view_radius, hit_radius, 0);
    e.rotate = rf(t.rotate_min, t.rotate_max);
    e.speed = factor * rf(t.speed_min, t.speed_max);
    e.aux_a = e.angle;
    e.aux_b = e.angle;
}

// A flier with the family's speed and the given mode.
void flier(enemy& e, EnemyKind kind, EnemyMode mode, float view_radius, float hit_radius,
           EnemyFamily family) {
    shape(e, kind, mode, view_radius, hit_radius, 0);
    e.speed = settings.enemy[family].speed;
}

// A spinning turret turns either way: (-1)^RI(0, 1).
void spinner(enemy& e, EnemyKind kind, float view_radius, float hit_radius, int armor,
             EnemyFamily family) {
    shape(e, kind, MODE_SPINNER, view_radius, hit_radius, armor);
    float sign = engine->Random_Int(0, 1) == 0 ? 1.0f : -1.0f;
    e.rotate = sign * settings.enemy[family].rotate;
}

// Fills e from the letter table; false for a character that is no enemy.
bool build_enemy(char letter, enemy& e) {
    switch (letter) {
    case 'M': meteor(e, KIND_METEOR_LARGE, 32, 25); return true;
    case 'm': meteor(e, KIND_METEOR_MEDIUM, 20, 15); return true;
    case '.': meteor(e, KIND_METEOR_SMALL, 14, 9); return true;
    case 'G': gravy(e, KIND_GRAVY_LARGE, 32, 25, 1.0f); return true;
    case 'g': gravy(e, KIND_GRAVY_MEDIUM, 20, 15, 0.8f); return true;
    case ',': gravy(e, KIND_GRAVY_SMALL, 14, 9, 0.6f); return true;
    case 'B': {
        const EnemyTuning& t = settings.enemy[FAMILY_BULL];
        flier(e, KIND_BULL, MODE_WANDER, 20, 14, FAMILY_BULL);
        e.aux_b = rf(t.think_min, t.think_max);
        return true;
    }
    case 'E': flier(e, KIND_EAGLE, approach_or_retreat(), 20, 14, FAMILY_EAGLE); return true;
    case 'R': flier(e, KIND_RUNNER, MODE_RETREAT, 20, 14, FAMILY_RUNNER); return true;
    case 'r': shape(e, KIND_REDGUN, MODE_TURRET, 29, 28, 4); return true;
    case 'K': flier(e, KIND_KLIN, approach_or_retreat(), 20, 14, FAMILY_KLIN); return true;
    case 'S': flier(e, KIND_SPIKE, MODE_RETREAT, 12, 8, FAMILY_SPIKE); return true;
    case 's': spinner(e, KIND_SMALLGUN, 15, 12, 0, FAMILY_SMALLGUN); return true;
    case 'H': flier(e, KIND_HULL, approach_or_retreat(), 18, 14, FAMILY_HULL); return true;
    case 'b': spinner(e, KIND_BLUEGUN, 29, 28, 3, FAMILY_BLUEGUN); return true;
    case 'a': shape(e, KIND_ANANASGUN, MODE_TURRET, 29, 28, 2); return true;
    case 'A': {
        const EnemyTuning& t = settings.enemy[FAMILY_ARROW];
        flier(e, KIND_ARROW, MODE_RETREAT, 17, 8, FAMILY_ARROW);
        e.aux_b = rf(t.turn_to_think_delay_min, t.turn_to_think_delay_max);
        return true;
    }
    case 'D': flier(e, KIND_DISK, approach_or_retreat(), 16, 14, FAMILY_DISK); return true;
    case 'F': shape(e, KIND_FIRESTATION, MODE_TURRET, 13, 9, 0); return true;
    case 'f': flier(e, KIND_FIREROCKET, MODE_APPROACH, 11, 5, FAMILY_FIREROCKET); return true;
    case 'C': {
        const EnemyTuning& t = settings.enemy[FAMILY_CHIKEN];
        flier(e, KIND_CHIKEN, MODE_WANDER, 25, 15, FAMILY_CHIKEN);
        e.armor = 3;
        e.aux_b = rf(0, t.think); // drawn before the sign of the turn
        float sign = engine->Random_Int(1, 2) == 1 ? -1.0f : 1.0f;
        e.rotate = sign * t.rotate;
        return true;
    }
    case 'c': flier(e, KIND_CHIKENROCKET, MODE_APPROACH, 17, 6, FAMILY_CHIKENROCKET); return true;
    case 'Y':
        flier(e, KIND_DRAGONFLY, approach_or_retreat(), 16, 13, FAMILY_DRAGONFLY);
        return true;
    case 'Z':
        flier(e, KIND_MOZG, approach_or_retreat(), 35, 30, FAMILY_MOZG);
        e.armor = 7;
        e.aux_a = 10.0f;
        e.aux_b = 1.0f;
        return true;
    default: return false;
    }
}

float view_width(int v) {
    if (view_sprite[v]) return view_sprite[v]->get_width();
    return v == 0 ? FALLBACK_VIEW0_W : FALLBACK_VIEW1_W;
}

float view_height(int v) {
    return view_sprite[v] ? view_sprite[v]->get_height() : FALLBACK_VIEW_H;
}

// Whether (x0, y0) lies in view v widened by clear_radius, seen from ship v.
bool seen_in_view(int v, float x0, float y0, float side, float half) {
    const ship& s = ship_records[v];
    float x = x0;
    if (x0 > s.x + half) {
        x = x0 - side;
    } else if (x0 < s.x - half) {
        x = x0 + side;
    }
    float y = y0;
    if (y0 > s.y + half) {
        y = y0 - side;
    } else if (y0 < s.y - half) {
        y = y0 + side;
    }
    float sx = (x - s.x) * s.side_x + (y - s.y) * s.side_y + anchor_x(v);
    float sy = anchor_y(v) - (x - s.x) * s.side_y + (y - s.y) * s.side_x;
    float c = settings.clear_radius;
    return -c < sx && sx < view_width(v) + c && -c < sy && sy < view_height(v) + c;
}

// Ship 1 counts whenever a second player takes part, also behind the menu's demo.
bool point_seen(float x0, float y0, float side, float half) {
    if (seen_in_view(0, x0, y0, side, half)) return true;
    return game_mode != MODE_ONE_PLAYER && seen_in_view(1, x0, y0, side, half);
}

void place_next(const std::string& text, float side, float half) {
    float x0 = 0, y0 = 0;
    int tries = 0;
    do {
        x0 = rf(0, side);
        y0 = rf(0, side);
    } while (point_seen(x0, y0, side, half) && ++tries < MAX_SPAWN_TRIES);
    float angle = rf(0, TWO_PI_F);
    create_enemy(text[spawn_index], x0, y0, angle, false);
    spawn_timer = 0;
    spawn_index += 1;
}

} // namespace

void create_enemy(char letter, float x, float y, float angle, bool to_pending) {
    enemy e = {};
    e.x = x;
    e.y = y;
    e.angle = angle;
    if (!build_enemy(letter, e)) return;
    (to_pending ? pending_list : enemy_list).push_back(e);
}

bool spawn_level(const std::string& text, int count) {
    const float side = field_side();
    const float half = side / 2;
    for (int i = 0; i < 2; ++i) {
        ship& s = ship_records[i];
        s.side_x = -std::sin(s.angle);
        s.side_y = std::cos(s.angle);
    }
    for (int step = 0; step < count; ++step) {
        // A negative index would read outside the text; it ends the pass like the end does.
        if (spawn_index >= 0 && static_cast<std::size_t>(spawn_index) < text.size()) {
            place_next(text, side, half);
            continue;
        }
        spawn_pass += 2;
        if (spawn_pass > iteration) return false;
        spawn_index = 1;
        spawn_timer = 0;
    }
    return true;
}

void flush_pending() {
    enemy_list.insert(enemy_list.end(), pending_list.begin(), pending_list.end());
    pending_list.clear();
}
