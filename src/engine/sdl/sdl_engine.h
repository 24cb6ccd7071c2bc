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

// Whether the keyboard and gamepads reach the game (they do by default). A
// replay shown in the window turns them off, so the recording alone plays.
// False unless e is an SDL engine.
bool sdl_engine_set_device_input(Engine* e, bool enabled);

// Gamepads: by default opened with a window and never headless; a test may
// ask for them headless. Takes effect at System_Initiate; false unless e is
// an SDL engine that is not started yet.
bool sdl_engine_set_gamepads(Engine* e, bool enabled);

// Start-up leaves decoding pictures and making targets for later until the
// first frame is out: by default with a window and never headless; a test may
// ask for it headless. False unless e is an SDL engine that is not started yet.
bool sdl_engine_set_deferred_loads(Engine* e, bool enabled);

// The window and its options as the engine runs them.
struct SdlDisplayState {
    int window_w = 0, window_h = 0; // 0 without a window
    bool fullscreen = false;
    bool vsync = false; // the display paces the frames (the limiter is off)
    bool integer_scaling = false;
    bool pause_when_unfocused = true;
    int pads = 0; // gamepads open
};
// False unless e is a started SDL engine.
bool sdl_engine_display_state(Engine* e, SdlDisplayState* out);

// True while the engine waits for its window to come back. Safe to ask from
// another thread.
bool sdl_engine_paused(Engine* e);

// Tests of effects and pictures decoding in the background: while held, a
// loaded effect's or picture's decode waits to begin, until released or until
// something must wait for it.
// False unless e is an SDL engine.
bool sdl_engine_hold_decodes(Engine* e, bool held);

// Whether a channel streams its effect because it was played before its
// decode was done.
bool sdl_engine_channel_streamed(Engine* e, HCHANNEL chn);
