// Who flies a ship: the keyboard for ships 0 and 1, the demo pilot for 2 and 3.
#pragma once

// One control step: the destroyed-ship step, or thrust, turn and fire.
void update_ship_controls(int ship_index, float dt);
