// The program's life: configure, start, load, run, shut down.
#pragma once

// The engine up and the game at its title; false (after the error box and
// shutdown) when it cannot start.
bool start_game();

// Configures, starts and plays until the game ends; 0 on every path.
int run_program();
