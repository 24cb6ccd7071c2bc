// Scripts for long headless runs: the menu's demonstration, or play with random
// keys on levels reached by passwords. The same plan always gives the same script.
#pragma once

#include <cstdint>
#include <string>

struct SoakPlan {
    long frames = 20000;      // frames to run in all
    long sample_every = 1000; // a dump after every this many frames
    uint32_t seed = 1;        // the script's own choices of keys, levels and modes
};

// From the title into the menu, then its demonstration until plan.frames.
std::string demo_script(const SoakPlan& plan);

// Rounds of: a password for a random level, pass, mode and upgrades with 99 ships,
// the shop, then play with random keys of both players, then back to the menu.
std::string play_script(const SoakPlan& plan);

// The number of dumps either script prints: one per whole sample_every frames.
long soak_samples(const SoakPlan& plan);
