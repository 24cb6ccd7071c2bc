// Straight bullets over the wrapping field: the players' two lists and the enemies' one.
#pragma once

// player_bullets[0], player_bullets[1], then enemy_bullets.
void move_bullets(float dt);
