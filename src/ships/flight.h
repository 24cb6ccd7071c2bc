// How a ship flies: thrust and turn dynamics by flexibility level, and the
// per-frame motion over the wrapping field.
#pragma once

#include "settings/settings.h"
#include "world/records.h"

// Changes speed; both controls may act in one frame, decay only when neither does.
void thrust_step(const Settings& settings, ship& s, bool forward, bool backward, float dt);
// Changes rotate_speed, right applied before left.
void turn_step(const Settings& settings, ship& s, bool right, bool left, float dt);
// Moves and turns the ship one frame, wraps it on a field of side `side`,
// keeps the heading in 0..2pi and refreshes side_x, side_y.
void integrate_ship(ship& s, float dt, float side);
