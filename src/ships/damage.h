// Hits, destruction, return and the shared stock of ships.
#pragma once

// The only way armor goes down.
void damage_ship(int ship_index, int damage);
// While a live ship is untouchable: its timers and the blinking of its view's sprite.
void invulnerability_step(int ship_index, float dt);
// While a ship is destroyed: return after the death delay, or game over.
void destroyed_ship_step(int ship_index, float dt);
// Alive and past its untouchable time.
bool ship_can_be_hit(int ship_index);
