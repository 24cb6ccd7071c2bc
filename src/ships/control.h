// Who flies a ship: the keyboard for ships 0 and 1, the demo pilot for 2 and 3.
#pragma once

#include "base/keys.h"
#include "world/world.h"

// One control step: the destroyed-ship step, or thrust, turn and fire.
void update_ship_controls(World& w, int ship_index, const KeyFrame& keys, float dt);
