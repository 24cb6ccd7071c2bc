// One side's keyboard in one frame, and how the two sides' keyboards become
// the one the game reads.
#pragma once

#include <cstdint>

#include "base/keys.h"
#include "options/options.h"
#include "world/world.h"

// A side's own remapped keys, each joined by the settings file's key of the
// same player and role, which both machines know: the other side sees the
// key that player flies with, whatever it is called here.
void add_canonical_keys(KeyFrame& k, const player_options& o, const Settings& file);

// Mends a frame so that it could come from one keyboard whose keys were
// prev_held before it: a key changes only with its edge, and edges without a
// change come in pairs. Input_GetKey names a key that went down, or none.
void make_consistent(KeyFrame& k, const uint8_t prev_held[32]);

// The frame's one keyboard from the host's and the joiner's, after a frame
// that left prev_held. In play each side's flight keys, from either key set,
// fly its own ship (the host ship 0, the joiner ship 1); everywhere else
// every key acts as at one keyboard. It reads the game's state, so both
// sides must call it at the same frame.
void merge_keys(const World& w, const KeyFrame& host, const KeyFrame& joiner,
                const uint8_t prev_held[32], KeyFrame& out);
