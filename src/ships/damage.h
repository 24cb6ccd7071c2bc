// Hits, destruction, return and the shared stock of ships.
#pragma once

#include "world/world.h"

// The only way armor goes down.
void damage_ship(World& w, int ship_index, int damage);
// While a live ship is untouchable: its timers and the blinking of its view's picture.
void invulnerability_step(World& w, int ship_index, float dt);
// While a ship is destroyed: return after the death delay, or game over.
void destroyed_ship_step(World& w, int ship_index, float dt);
// Alive and past its untouchable time.
bool ship_can_be_hit(World& w, int ship_index);
