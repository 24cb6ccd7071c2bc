// korvane-headless: the game with no window and no sound device, driven by a
// script, with a fixed frame time. The project's test seam.
#pragma once

// Parses the options, runs the script; 0 on success, 2 on a bad option or script line.
int run_headless(int argc, char** argv);
