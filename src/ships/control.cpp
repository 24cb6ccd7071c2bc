#include "ships/control.h"

#include "world/globals.h"
#include "ships/damage.h"
#include "ships/flight.h"
#include "ships/weapons.h"

namespace {

// One of the pilot's three habits: now and then (a 0 from the first draw)
// it picks a new setting from Random_Int(0, 2).
enum PilotControl { PILOT_THROTTLE, PILOT_STEERING, PILOT_TRIGGER };

void pilot_decide(ship& s, PilotControl control) {
    const int odds = control == PILOT_TRIGGER ? 70 : 100;
    if (engine->Random_Int(0, odds) != 0) return;
    const int r = engine->Random_Int(0, 2);
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

void fly_demo_ship(ship& s, int list, float dt) {
    pilot_decide(s, PILOT_THROTTLE);
    pilot_decide(s, PILOT_STEERING);
    pilot_decide(s, PILOT_TRIGGER);
    thrust_step(s, s.key_up != 0, s.key_down != 0, dt);
    turn_step(s, s.key_right != 0, s.key_left != 0, dt);
    fire_step(s, list, dt, s.key_fire != 0, s.key_fire == 0, false);
}

void fly_player_ship(ship& s, int list, float dt) {
    thrust_step(s, engine->Input_GetKeyState(s.key_up), engine->Input_GetKeyState(s.key_down), dt);
    turn_step(s, engine->Input_GetKeyState(s.key_right), engine->Input_GetKeyState(s.key_left), dt);
    const bool held = engine->Input_GetKeyState(s.key_fire);
    fire_step(s, list, dt, held, engine->Input_KeyUp(s.key_fire), true);
}

} // namespace

void update_ship_controls(int ship_index, float dt) {
    if (ship_index < 0 || ship_index > 3) return;
    ship& s = ship_records[ship_index];
    if (s.armor < 0) {
        destroyed_ship_step(ship_index, dt);
        return;
    }
    // Ships 0 and 2 shoot into view 0's list, 1 and 3 into view 1's.
    const int list = ship_index % 2;
    if (ship_index >= 2) {
        fly_demo_ship(s, list, dt);
    } else {
        fly_player_ship(s, list, dt);
    }
}
