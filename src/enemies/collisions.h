// What touches what, and what a hit does.
#pragma once

#include "world/world.h"

// (r1 + r2)^2 >= distance^2: touching counts.
bool circles_touch(float x1, float y1, float r1, float x2, float y2, float r2);
// Sounds, explosions and pieces of a destroyed enemy; the caller removes it.
void destroy_enemy(World& w, int kind, float x, float y, float angle, bool silent);
// The hit tests of every active view, with the untouchable ships' blinking (needs dt);
// in COMPETITION the rivals' bullets and rams hit each other too.
void resolve_hits(World& w, float dt);
