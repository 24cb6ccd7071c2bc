// The whole game state as one line of JSON, for scripted runs and replays.
#pragma once

#include <string>

#include "world/world.h"

// Every key the headless runner promises: frame counter, globals, ships,
// enemies, bullets, list sizes and settings. Floats keep their exact value.
std::string dump_state(const World& w, long frame);
