// Volleys by firepower level, with the short cooldown for tapping and the
// doubled one for holding.
#pragma once

#include "world/world.h"

// Appends a volley to the bullet list of view `list` when the cooldown allows.
void fire_step(World& w, ship& s, int list, float dt, bool held, bool released, bool with_sound);
