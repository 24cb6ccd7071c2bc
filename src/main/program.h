// The program's life: configure, start, load, run, shut down.
#pragma once

#include <cstdint>
#include <string>

// The seed of a new game: HGE_SEED when set, else one from the clock.
uint64_t start_seed();
// The engine up, the resources loaded and `app` at its title, with the
// settings file's values and `settings` (INI text, as a recording gives it)
// over them; false (after the error box and shutdown) when it cannot start.
bool start_game(const std::string& settings = std::string());

// Configures, starts and plays with the player's options until the game
// ends; 0 on every path.
int run_program();
