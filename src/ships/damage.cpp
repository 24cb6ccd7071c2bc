#include "ships/damage.h"

#include "world/globals.h"
#include "ships/field.h"

namespace {

const uint32_t COLOR_OPAQUE = 0xFFFFFFFFu;
const uint32_t COLOR_CLEAR = 0x00000000u;

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

Sprite* blink_sprite(int view) {
    return view == 0 ? sprite_ship0 : sprite_ship1;
}

// A death scatters two explosions around the wreck before the one on it.
void death_explosions(const ship& s) {
    const float r = settings.anim_kaboom_radius;
    const float d = settings.anim_kaboom_delay;
    float dy = engine->Random_Float(-r, r);
    float dx = engine->Random_Float(-r, r);
    add_explosion(s.x + dx, s.y + dy, true, 2.0f * d);
    dy = engine->Random_Float(-r, r);
    dx = engine->Random_Float(-r, r);
    add_explosion(s.x + dx, s.y + dy, true, d);
    add_explosion(s.x, s.y, true, 0.0f);
}

void game_over(int ship_index) {
    game_over_timer = 0.0f;
    // Ship 1 ending the game keeps the credits the shop still shows.
    if (ship_index == 0) bonus = 0;
    game_state = STATE_GAME_OVER;
    // The players go on with one ship, whichever of them ended the game: the
    // shop shows ship 0's count and the next level copies it to ship 1. A
    // match's stocks stay as they ended; the game set aside comes back anyway.
    if (competing()) return;
    ship_records[0].ships = 1;
    ship_records[1].ships = 1;
}

} // namespace

void damage_ship(int ship_index, int damage) {
    if (!valid_ship(ship_index)) return;
    ship& s = ship_records[ship_index];
    // A ship rammed and shot in one frame dies once: one ship lost, one burst.
    if (s.armor < 0) return;
    const bool sound = game_state == STATE_PLAY;
    s.armor -= damage;
    if (s.armor >= 0) {
        if (sound) engine->Effect_Play(snd_armor);
        return;
    }
    if (sound) engine->Effect_Play(snd_big_boom);
    death_explosions(s);
    s.death_timer = 0.0f;
    if (competing() && !is_demo_ship(ship_index)) {
        s.ships -= 1; // rivals keep a stock each
    } else {
        const int first = first_of_pair(ship_index);
        ship_records[first].ships -= 1;
        ship_records[first + 1].ships -= 1;
    }
    s.speed = 0.0f;
    s.rotate_speed = 0.0f;
}

void invulnerability_step(int ship_index, float dt) {
    if (!valid_ship(ship_index)) return;
    ship& s = ship_records[ship_index];
    const int view = ship_index % 2;
    Sprite* sprite = blink_sprite(view);
    s.invul_timer += dt;
    blink_timer[view] += dt;
    if (blink_timer[view] > settings.player_invul_period) {
        if (sprite) {
            const bool opaque = sprite->get_color(0) == COLOR_OPAQUE;
            sprite->set_color(opaque ? COLOR_CLEAR : COLOR_OPAQUE, -1);
        }
        blink_timer[view] = 0.0f;
    }
    if (s.invul_timer > settings.player_invul_delay && sprite) sprite->set_color(COLOR_OPAQUE, -1);
}

void destroyed_ship_step(int ship_index, float dt) {
    if (!valid_ship(ship_index)) return;
    ship& s = ship_records[ship_index];
    s.death_timer += dt;
    if (!(s.death_timer > settings.player_death_delay)) return;
    if (is_demo_ship(ship_index) || s.ships > 0) {
        // Back where it died, at rest, refilled to its own shield.
        s.armor = s.shield;
        s.invul_timer = 0.0f;
        return;
    }
    game_over(ship_index);
}

bool ship_can_be_hit(int ship_index) {
    if (!valid_ship(ship_index)) return false;
    const ship& s = ship_records[ship_index];
    return s.armor >= 0 && s.invul_timer > settings.player_invul_delay;
}
