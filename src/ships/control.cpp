#include "ships/control.h"

#include "ships/damage.h"
#include "ships/flight.h"
#include "ships/weapons.h"
#include "world/world.h"

namespace {

// One of the pilot's three habits: now and then (a 0 from the first draw)
// it picks a new setting from Random_Int(0, 2).
enum PilotControl { PILOT_THROTTLE, PILOT_STEERING, PILOT_TRIGGER };

void pilot_decide(World& w, ship& s, PilotControl control) {
    const int odds = control == PILOT_TRIGGER ? 70 : 100;
    if (random_int(w, 0, odds) != 0) return;
    const int r = random_int(w, 0, 2);
    switch (control) {
    case PILOT_THROTTLE:
        // Never backwards: two of three choices thrust.
        s.key_up = r == 0 ? 0 : 1;
        s.key_down = 0;
        break;
    case PILOT_STEERING:
        s.key_left = r == 2 ? 1 : 0;
        s.key_right = r == 1 ? 1 : 0;
        break;
    case PILOT_TRIGGER: s.key_fire = r == 0 ? 0 : 1; break;
    }
}

void fly_demo_ship(World& w, ship& s, int list, float dt) {
    pilot_decide(w, s, PILOT_THROTTLE);
    pilot_decide(w, s, PILOT_STEERING);
    pilot_decide(w, s, PILOT_TRIGGER);
    thrust_step(w.settings, s, s.key_up != 0, s.key_down != 0, dt);
    turn_step(w.settings, s, s.key_right != 0, s.key_left != 0, dt);
    fire_step(w, s, list, dt, s.key_fire != 0, s.key_fire == 0, false);
}

void fly_player_ship(World& w, ship& s, int list, const KeyFrame& keys, float dt) {
    thrust_step(w.settings, s, keys.is_held(s.key_up), keys.is_held(s.key_down), dt);
    turn_step(w.settings, s, keys.is_held(s.key_right), keys.is_held(s.key_left), dt);
    const bool held = keys.is_held(s.key_fire);
    fire_step(w, s, list, dt, held, keys.went_up(s.key_fire), true);
}

} // namespace

void update_ship_controls(World& w, int ship_index, const KeyFrame& keys, float dt) {
    if (ship_index < 0 || ship_index > 3) return;
    ship& s = w.ship_records[ship_index];
    if (s.armor < 0) {
        destroyed_ship_step(w, ship_index, dt);
        return;
    }
    // Ships 0 and 2 shoot into view 0's list, 1 and 3 into view 1's.
    const int list = ship_index % 2;
    if (ship_index >= 2) {
        fly_demo_ship(w, s, list, dt);
    } else {
        fly_player_ship(w, s, list, keys, dt);
    }
}
