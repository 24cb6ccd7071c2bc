// Straight bullets over the wrapping field: the players' two lists and the enemies' one.
#pragma once

#include "world/world.h"

// player_bullets[0], player_bullets[1], then enemy_bullets.
void move_bullets(World& w, float dt);
