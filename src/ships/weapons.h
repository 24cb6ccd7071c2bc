// Volleys by firepower level, with the short cooldown for tapping and the
// doubled one for holding.
#pragma once

#include "world/records.h"

// Appends a volley to the bullet list of view `list` when the cooldown allows.
void fire_step(ship& s, int list, float dt, bool held, bool released, bool with_sound);
