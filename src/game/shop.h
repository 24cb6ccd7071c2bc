// Buying ships and upgrades between levels.
#pragma once

// The purchase keys F1 to F4, tested in that order in one frame.
void shop_purchases();
