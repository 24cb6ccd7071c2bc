// Playing a script on the started engine: the headless runner's commands,
// shared by korvane-headless and the windowed replay so both play alike.
#pragma once

#include <functional>
#include <vector>

#include "main/script.h"

// The frame time a script starts with, until its first dt command.
const float SCRIPT_DEFAULT_DT = 0.0166667f;

// The seed a script's seed command asks for; 0 (the clock) when it has none.
int script_seed(const std::vector<ScriptCommand>& commands);

// Runs the commands: key changes before the next frame, dt for the frames
// after it, dump to standard output, screenshots; seed lines were taken at
// start-up. after_frame, when set, runs after each frame with that frame's
// time. Stops early when the game ends itself.
void run_script_commands(const std::vector<ScriptCommand>& commands,
                         const std::function<void(float)>& after_frame = nullptr);
