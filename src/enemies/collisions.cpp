#include "enemies/collisions.h"

#include <cmath>

#include "enemies/spawn.h"
#include "enemies/steps.h"
#include "ships/damage.h"
#include "ships/field.h"
#include "world/world.h"

namespace {

// The ship's hitbox in its own view: body on the anchor, nose 18 above it.
constexpr float BODY_RADIUS = 12.0f;
constexpr float NOSE_RADIUS = 2.0f;
constexpr float NOSE_OFFSET = 18.0f;

bool touches_ship(const World& w, int v, float x, float y, float r) {
    float ax = anchor_x(w, v);
    float ay = anchor_y(w, v);
    return circles_touch(ax, ay, BODY_RADIUS, x, y, r) ||
           circles_touch(ax, ay - NOSE_OFFSET, NOSE_RADIUS, x, y, r);
}

// Piece letter of a rock that splits; 0 for every other kind.
char piece_letter(int kind) {
    switch (kind) {
    case KIND_METEOR_LARGE: return 'm';
    case KIND_METEOR_MEDIUM: return '.';
    case KIND_GRAVY_LARGE: return 'g';
    case KIND_GRAVY_MEDIUM: return ',';
    default: return 0;
    }
}

// Small rocks and rockets end in one small bang.
bool small_end(int kind) {
    return kind == KIND_METEOR_SMALL || kind == KIND_GRAVY_SMALL || kind == KIND_FIREROCKET ||
           kind == KIND_CHIKENROCKET;
}

void make_piece(World& w, char letter, float x, float y, float heading) {
    const float spread = w.settings.anim_kaboom_radius / 2;
    float a = heading + random_float(w, -PI_F / 8, PI_F / 8);
    float oy = random_float(w, -spread, spread);
    float ox = random_float(w, -spread, spread);
    create_enemy(w, letter, x + ox, y + oy, a, true);
}

// The first enemy touching the ship of view v goes; true when one did.
bool ram(World& w, int v) {
    for (std::size_t i = 0; i < w.enemy_list.size(); ++i) {
        const enemy& e = w.enemy_list[i];
        if (!e.visible[v] || !touches_ship(w, v, e.screen_x[v], e.screen_y[v], e.hit_radius)) {
            continue;
        }
        destroy_enemy(w, e.kind, e.x, e.y, e.angle, in_menu(w));
        swap_pop(w.enemy_list, i);
        return true;
    }
    return false;
}

// The first visible enemy bullet touching the ship of view v; true when one did.
bool shot_by_bullet(World& w, int v) {
    for (std::size_t i = 0; i < w.enemy_bullets.size(); ++i) {
        const bullet& b = w.enemy_bullets[i];
        if (b.visible[v] == 0.0f || !touches_ship(w, v, b.screen_x[v], b.screen_y[v], 0)) continue;
        add_explosion(w, b.x, b.y, false, 0);
        swap_pop(w.enemy_bullets, i);
        return true;
    }
    return false;
}

// The first of the rival's bullets touching the ship of view v; they strike as
// an enemy bullet does.
bool shot_by_rival(World& w, int v) {
    std::vector<bullet>& list = w.player_bullets[1 - v];
    for (std::size_t i = 0; i < list.size(); ++i) {
        const bullet& b = list[i];
        if (b.visible[v] == 0.0f || !touches_ship(w, v, b.screen_x[v], b.screen_y[v], 0)) continue;
        add_explosion(w, b.x, b.y, false, 0);
        swap_pop(list, i);
        return true;
    }
    return false;
}

// Both hitboxes, seen in view 0: ship 1 sits where ship 0 sees its partner,
// its nose 18 units along its own heading turned into that view.
bool rivals_touch(const World& w) {
    const ship& s0 = w.ship_records[0];
    const ship& s1 = w.ship_records[1];
    const float turn = s1.angle - s0.angle - HALF_PI_F;
    const float x[2] = {s0.partner_screen_x, s0.partner_screen_x + NOSE_OFFSET * std::cos(turn)};
    const float y[2] = {s0.partner_screen_y, s0.partner_screen_y + NOSE_OFFSET * std::sin(turn)};
    const float r[2] = {BODY_RADIUS, NOSE_RADIUS};
    for (int i = 0; i < 2; ++i)
        if (touches_ship(w, 0, x[i], y[i], r[i])) return true;
    return false;
}

// A ram costs each rival one point when they come into contact; ships that
// stay touching are not worn down frame after frame, as nothing pushes them apart.
void rivals_ram(World& w) {
    const bool touching =
        w.ship_records[0].armor >= 0 && w.ship_records[1].armor >= 0 && rivals_touch(w);
    const bool new_contact = touching && !w.ships_in_contact;
    w.ships_in_contact = touching;
    if (!new_contact || !ship_can_be_hit(w, 0) || !ship_can_be_hit(w, 1)) return;
    damage_ship(w, 0, 1);
    damage_ship(w, 1, 1);
}

void ship_hits(World& w, int v, float dt) {
    const int s = view_ship(w, v);
    if (w.ship_records[s].armor < 0) return;
    if (!ship_can_be_hit(w, s)) {
        invulnerability_step(w, s, dt);
        return;
    }
    if (ram(w, v)) {
        damage_ship(w, s, 100);
        if (!w.pending_list.empty()) flush_pending(w);
    }
    // Tested even when the ramming has just destroyed the ship.
    if (shot_by_bullet(w, v)) damage_ship(w, s, 1);
    // A ship already destroyed this frame is not destroyed again.
    if (competing(w) && !in_menu(w) && w.ship_records[s].armor >= 0 && shot_by_rival(w, v))
        damage_ship(w, s, 1);
}

// Walks the view's bullets over enemy e; true when e was destroyed.
bool shoot_enemy(World& w, enemy& e, int v) {
    if (!e.visible[v]) return false;
    std::vector<bullet>& list = w.player_bullets[v];
    std::size_t j = 0;
    while (j < list.size()) {
        const bullet& b = list[j];
        if (!circles_touch(e.screen_x[v], e.screen_y[v], e.hit_radius, b.screen_x[v], b.screen_y[v],
                           0)) {
            ++j;
            continue;
        }
        add_explosion(w, b.x, b.y, false, 0);
        bool destroyed = e.armor < 1;
        e.armor -= 1;
        if (destroyed) {
            destroy_enemy(w, e.kind, e.x, e.y, b.angle, in_menu(w));
        } else if (!in_menu(w)) {
            play_sound(w, SOUND_ARMOR);
        }
        swap_pop(list, j);
        if (destroyed) return true;
    }
    return false;
}

void bullet_hits(World& w, int v) {
    std::size_t i = 0;
    while (i < w.enemy_list.size()) {
        if (shoot_enemy(w, w.enemy_list[i], v)) {
            swap_pop(w.enemy_list, i);
        } else {
            ++i;
        }
    }
}

} // namespace

bool circles_touch(float x1, float y1, float r1, float x2, float y2, float r2) {
    float r = r1 + r2;
    float dx = x2 - x1;
    float dy = y2 - y1;
    return r * r >= dx * dx + dy * dy;
}

void destroy_enemy(World& w, int kind, float x, float y, float angle, bool silent) {
    if (small_end(kind)) {
        if (!silent) play_sound(w, SOUND_SMALL_BOOM);
        add_explosion(w, x, y, true, 0);
        return;
    }
    if (!silent) play_sound(w, SOUND_BIG_BOOM);
    const float r = w.settings.anim_kaboom_radius;
    float dy = random_float(w, -r, r);
    float dx = random_float(w, -r, r);
    add_explosion(w, x + dx, y + dy, true, w.settings.anim_kaboom_delay);
    add_explosion(w, x, y, true, 0);
    char piece = piece_letter(kind);
    if (piece == 0) return;
    make_piece(w, piece, x, y, angle + HALF_PI_F);
    make_piece(w, piece, x, y, angle - HALF_PI_F);
}

void resolve_hits(World& w, float dt) {
    for (int v = 0; v < 2; ++v) {
        if (v == 1 && !second_view_active(w)) break;
        ship_hits(w, v, dt);
        bullet_hits(w, v);
        if (!w.pending_list.empty()) flush_pending(w);
    }
    if (competing(w) && !in_menu(w)) rivals_ram(w);
}
