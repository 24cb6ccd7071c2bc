// Hooks of the SDL back end for tests and tools; the game itself uses only
// the Engine interface.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/engine.h"

// Acts as if the graphics device lost its render targets (whole_device false)
// or everything (true): recreates them, gives each target a new texture handle,
// clears the screen and calls the restore callback. False unless e is a
// started SDL engine.
bool sdl_engine_simulate_device_reset(Engine* e, bool whole_device);

// The pixels of a render target (0: the screen) as 0xAARRGGBB, row by row,
// with its size. False unless e is a started SDL engine and target exists.
bool sdl_engine_read_pixels(Engine* e, HTARGET target, std::vector<uint32_t>* pixels, int* width,
                            int* height);
