// What each of the 24 kinds does every frame, and how every enemy moves.
#pragma once

#include "world/world.h"

// Direction from (x1, y1) to (x2, y2) in 0..2pi.
float angle_to(float x1, float y1, float x2, float y2);
// Turns e.angle towards wanted by at most rate * dt the short way round.
void steer(enemy& e, float wanted, float rate, float dt);
// The behaviour pass over enemy_list, then flush_pending.
void update_enemy_behaviours(World& w, float dt);
// Movement, wrapping and projection into the views.
void move_enemies(World& w, float dt);
