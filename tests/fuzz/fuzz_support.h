// Shared by the fuzz targets: a hard check, a clean game between inputs, the
// frame loop of the fake engine, and tests of the whole game state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "support/fake_engine.h"

// Every fuzz target defines this; replay_main.cpp and libFuzzer call it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Prints what failed and aborts, so libFuzzer and ctest both see a crash.
void fuzz_check(bool ok, const char* what);

// Every game global back to its value at program start; resources freed first.
void reset_game();

// A new game from the engine's settings file, as start-up makes it.
void start_world();

// Runs n frames (the frame callback, and the render callback every fourth
// frame), dropping what the engine recorded.
void run_frames(FakeEngine& fake, int n);

// Presses key before the next frame and lets it go after it.
void tap(FakeEngine& fake, int key);

// Where the game state holds a number that is not finite, or "" when none does.
std::string non_finite_field();

// Aborts unless the game-wide values lie in the ranges the game relies on.
void check_game_state();
