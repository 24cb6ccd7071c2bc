#include "enemies/spawn.h"

#include <cmath>
#include <cstring>

#include "enemies/steps.h"
#include "world/world.h"

namespace {

// A field smaller than the views has no unseen point; after this many draws the
// last one is used rather than searching forever.
constexpr int MAX_SPAWN_TRIES = 1000;

float rf(World& w, float a, float b) {
    return random_float(w, a, b);
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
EnemyMode approach_or_retreat(World& w) {
    return random_int(w, 0, 1) == 0 ? MODE_APPROACH : MODE_RETREAT;
}

// Meteors share one range of speed and spin; spin is drawn first.
void meteor(World& w, enemy& e, EnemyKind kind, float view_radius, float hit_radius) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_METEOR];
    shape(e, kind, MODE_DRIFT, view_radius, hit_radius, 0);
    e.rotate = rf(w, t.rotate_min, t.rotate_max);
    e.speed = rf(w, t.speed_min, t.speed_max);
    e.aux_a = e.angle;
}

// Smaller gravies are slower; spin is drawn first.
void gravy(World& w, enemy& e, EnemyKind kind, float view_radius, float hit_radius, float factor) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_GRAVY];
    shape(e, kind, MODE_ORBIT, view_radius, hit_radius, 0);
    e.rotate = rf(w, t.rotate_min, t.rotate_max);
    e.speed = factor * rf(w, t.speed_min, t.speed_max);
    e.aux_a = e.angle;
    e.aux_b = e.angle;
}

// A flier with the family's speed and the given mode.
void flier(World& w, enemy& e, EnemyKind kind, EnemyMode mode, float view_radius, float hit_radius,
           EnemyFamily family) {
    shape(e, kind, mode, view_radius, hit_radius, 0);
    e.speed = w.settings.enemy[family].speed;
}

// A spinning turret turns either way: (-1)^RI(0, 1).
void spinner(World& w, enemy& e, EnemyKind kind, float view_radius, float hit_radius, int armor,
             EnemyFamily family) {
    shape(e, kind, MODE_SPINNER, view_radius, hit_radius, armor);
    float sign = random_int(w, 0, 1) == 0 ? 1.0f : -1.0f;
    e.rotate = sign * w.settings.enemy[family].rotate;
}

// Fills e from the letter table; false for a character that is no enemy.
bool build_enemy(World& w, char letter, enemy& e) {
    switch (letter) {
    case 'M': meteor(w, e, KIND_METEOR_LARGE, 32, 25); return true;
    case 'm': meteor(w, e, KIND_METEOR_MEDIUM, 20, 15); return true;
    case '.': meteor(w, e, KIND_METEOR_SMALL, 14, 9); return true;
    case 'G': gravy(w, e, KIND_GRAVY_LARGE, 32, 25, 1.0f); return true;
    case 'g': gravy(w, e, KIND_GRAVY_MEDIUM, 20, 15, 0.8f); return true;
    case ',': gravy(w, e, KIND_GRAVY_SMALL, 14, 9, 0.6f); return true;
    case 'B': {
        const EnemyTuning& t = w.settings.enemy[FAMILY_BULL];
        flier(w, e, KIND_BULL, MODE_WANDER, 20, 14, FAMILY_BULL);
        e.aux_b = rf(w, t.think_min, t.think_max);
        return true;
    }
    case 'E': flier(w, e, KIND_EAGLE, approach_or_retreat(w), 20, 14, FAMILY_EAGLE); return true;
    case 'R': flier(w, e, KIND_RUNNER, MODE_RETREAT, 20, 14, FAMILY_RUNNER); return true;
    case 'r': shape(e, KIND_REDGUN, MODE_TURRET, 29, 28, 4); return true;
    case 'K': flier(w, e, KIND_KLIN, approach_or_retreat(w), 20, 14, FAMILY_KLIN); return true;
    case 'S': flier(w, e, KIND_SPIKE, MODE_RETREAT, 12, 8, FAMILY_SPIKE); return true;
    case 's': spinner(w, e, KIND_SMALLGUN, 15, 12, 0, FAMILY_SMALLGUN); return true;
    case 'H': flier(w, e, KIND_HULL, approach_or_retreat(w), 18, 14, FAMILY_HULL); return true;
    case 'b': spinner(w, e, KIND_BLUEGUN, 29, 28, 3, FAMILY_BLUEGUN); return true;
    case 'a': shape(e, KIND_ANANASGUN, MODE_TURRET, 29, 28, 2); return true;
    case 'A': {
        const EnemyTuning& t = w.settings.enemy[FAMILY_ARROW];
        flier(w, e, KIND_ARROW, MODE_RETREAT, 17, 8, FAMILY_ARROW);
        e.aux_b = rf(w, t.turn_to_think_delay_min, t.turn_to_think_delay_max);
        return true;
    }
    case 'D': flier(w, e, KIND_DISK, approach_or_retreat(w), 16, 14, FAMILY_DISK); return true;
    case 'F': shape(e, KIND_FIRESTATION, MODE_TURRET, 13, 9, 0); return true;
    case 'f': flier(w, e, KIND_FIREROCKET, MODE_APPROACH, 11, 5, FAMILY_FIREROCKET); return true;
    case 'C': {
        const EnemyTuning& t = w.settings.enemy[FAMILY_CHIKEN];
        flier(w, e, KIND_CHIKEN, MODE_WANDER, 25, 15, FAMILY_CHIKEN);
        e.armor = 3;
        e.aux_b = rf(w, 0, t.think); // drawn before the sign of the turn
        float sign = random_int(w, 1, 2) == 1 ? -1.0f : 1.0f;
        e.rotate = sign * t.rotate;
        return true;
    }
    case 'c':
        flier(w, e, KIND_CHIKENROCKET, MODE_APPROACH, 17, 6, FAMILY_CHIKENROCKET);
        return true;
    case 'Y':
        flier(w, e, KIND_DRAGONFLY, approach_or_retreat(w), 16, 13, FAMILY_DRAGONFLY);
        return true;
    case 'Z':
        flier(w, e, KIND_MOZG, approach_or_retreat(w), 35, 30, FAMILY_MOZG);
        e.armor = 7;
        e.aux_a = 10.0f;
        e.aux_b = 1.0f;
        return true;
    default: return false;
    }
}

// Whether (x0, y0) lies in view v widened by clear_radius, seen from ship v.
bool seen_in_view(const World& w, int v, float x0, float y0, float side, float half) {
    const ship& s = w.ship_records[v];
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
    float sx = (x - s.x) * s.side_x + (y - s.y) * s.side_y + anchor_x(w, v);
    float sy = anchor_y(w, v) - (x - s.x) * s.side_y + (y - s.y) * s.side_x;
    float c = w.settings.clear_radius;
    return -c < sx && sx < w.view_width[v] + c && -c < sy && sy < w.view_height + c;
}

// Ship 1 counts whenever a second player takes part, also behind the menu's demo.
bool point_seen(const World& w, float x0, float y0, float side, float half) {
    if (seen_in_view(w, 0, x0, y0, side, half)) return true;
    return w.game_mode != MODE_ONE_PLAYER && seen_in_view(w, 1, x0, y0, side, half);
}

void place_next(World& w, const char* text, float side, float half) {
    float x0 = 0, y0 = 0;
    int tries = 0;
    do {
        x0 = rf(w, 0, side);
        y0 = rf(w, 0, side);
    } while (point_seen(w, x0, y0, side, half) && ++tries < MAX_SPAWN_TRIES);
    float angle = rf(w, 0, TWO_PI_F);
    create_enemy(w, text[w.spawn_index], x0, y0, angle, false);
    w.spawn_timer = 0;
    w.spawn_index += 1;
}

} // namespace

void create_enemy(World& w, char letter, float x, float y, float angle, bool to_pending) {
    enemy e = {};
    e.x = x;
    e.y = y;
    e.angle = angle;
    if (!build_enemy(w, letter, e)) return;
    (to_pending ? w.pending_list : w.enemy_list).push_back(e);
}

bool spawn_level(World& w, const char* text, int count) {
    const std::size_t length = text ? std::strlen(text) : 0;
    const float side = field_side(w);
    const float half = side / 2;
    for (int i = 0; i < 2; ++i) {
        ship& s = w.ship_records[i];
        s.side_x = -std::sin(s.angle);
        s.side_y = std::cos(s.angle);
    }
    for (int step = 0; step < count; ++step) {
        // A negative index would read outside the text; it ends the pass like the end does.
        if (w.spawn_index >= 0 && static_cast<std::size_t>(w.spawn_index) < length) {
            place_next(w, text, side, half);
            continue;
        }
        w.spawn_pass += 2;
        if (w.spawn_pass > w.iteration) return false;
        w.spawn_index = 1;
        w.spawn_timer = 0;
    }
    return true;
}

void flush_pending(World& w) {
    w.enemy_list.insert(w.enemy_list.end(), w.pending_list.begin(), w.pending_list.end());
    w.pending_list.clear();
}
