// Buying ships and upgrades between levels.
#pragma once

#include "base/keys.h"
#include "world/world.h"

// The purchase keys F1 to F4, tested in that order in one frame; in
// COMPETITION ship 0 buys with F1 to F4 and ship 1 with 1 to 4, each from its purse.
void shop_purchases(World& w, const KeyFrame& keys);
