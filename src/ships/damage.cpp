#include "ships/damage.h"

#include "ships/field.h"
#include "world/world.h"

namespace {

bool valid_ship(int ship_index) {
    return ship_index >= 0 && ship_index < 4;
}

// Ships 2 and 3 are the menu's demo pair; they never run out.
bool is_demo_ship(int ship_index) {
    return ship_index >= 2;
}

// The pair is decided by the ship, not by the state, so a player ship hit in
// the frame that leaves for the menu still costs the players' stock.
int first_of_pair(int ship_index) {
    return is_demo_ship(ship_index) ? 2 : 0;
}

// A death scatters two explosions around the wreck before the one on it.
void death_explosions(World& w, const ship& s) {
    const float r = w.settings.anim_kaboom_radius;
    const float d = w.settings.anim_kaboom_delay;
    float dy = random_float(w, -r, r);
    float dx = random_float(w, -r, r);
    add_explosion(w, s.x + dx, s.y + dy, true, 2.0f * d);
    dy = random_float(w, -r, r);
    dx = random_float(w, -r, r);
    add_explosion(w, s.x + dx, s.y + dy, true, d);
    add_explosion(w, s.x, s.y, true, 0.0f);
}

void game_over(World& w, int ship_index) {
    w.game_over_timer = 0.0f;
    // Ship 1 ending the game keeps the credits the shop still shows.
    if (ship_index == 0) w.bonus = 0;
    w.game_state = STATE_GAME_OVER;
    // The players go on with one ship, whichever of them ended the game: the
    // shop shows ship 0's count and the next level copies it to ship 1. A
    // match's stocks stay as they ended; the game set aside comes back anyway.
    if (competing(w)) return;
    w.ship_records[0].ships = 1;
    w.ship_records[1].ships = 1;
}

} // namespace

void damage_ship(World& w, int ship_index, int damage) {
    if (!valid_ship(ship_index)) return;
    ship& s = w.ship_records[ship_index];
    // A ship rammed and shot in one frame dies once: one ship lost, one burst.
    if (s.armor < 0) return;
    const bool sound = w.game_state == STATE_PLAY;
    s.armor -= damage;
    if (s.armor >= 0) {
        if (sound) play_sound(w, SOUND_ARMOR);
        return;
    }
    if (sound) play_sound(w, SOUND_BIG_BOOM);
    death_explosions(w, s);
    s.death_timer = 0.0f;
    if (competing(w) && !is_demo_ship(ship_index)) {
        s.ships -= 1; // rivals keep a stock each
    } else {
        const int first = first_of_pair(ship_index);
        w.ship_records[first].ships -= 1;
        w.ship_records[first + 1].ships -= 1;
    }
    s.speed = 0.0f;
    s.rotate_speed = 0.0f;
}

void invulnerability_step(World& w, int ship_index, float dt) {
    if (!valid_ship(ship_index)) return;
    ship& s = w.ship_records[ship_index];
    const int view = ship_index % 2;
    s.invul_timer += dt;
    w.blink_timer[view] += dt;
    if (w.blink_timer[view] > w.settings.player_invul_period) {
        w.ship_shown[view] = !w.ship_shown[view];
        w.blink_timer[view] = 0.0f;
    }
    if (s.invul_timer > w.settings.player_invul_delay) w.ship_shown[view] = true;
}

void destroyed_ship_step(World& w, int ship_index, float dt) {
    if (!valid_ship(ship_index)) return;
    ship& s = w.ship_records[ship_index];
    s.death_timer += dt;
    if (!(s.death_timer > w.settings.player_death_delay)) return;
    if (is_demo_ship(ship_index) || s.ships > 0) {
        // Back where it died, at rest, refilled to its own shield.
        s.armor = s.shield;
        s.invul_timer = 0.0f;
        return;
    }
    game_over(w, ship_index);
}

bool ship_can_be_hit(World& w, int ship_index) {
    if (!valid_ship(ship_index)) return false;
    const ship& s = w.ship_records[ship_index];
    return s.armor >= 0 && s.invul_timer > w.settings.player_invul_delay;
}
