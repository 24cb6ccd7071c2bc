// What the screens show beyond the world: the aids' feedback, the menu's
// notice and the options screen. The game keeps it up to date; it takes no
// part in the simulation, so a frame run again leaves it alone.
#pragma once

#include "options/options.h"

// How long the border flashes after lost armor, in seconds.
const float ARMOR_FLASH_TIME = 0.35f;

struct Hud {
    float armor_flash[2] = {};       // seconds left of view v's border flash
    int last_armor[2] = {-1, -1};    // each player ship's armor a frame ago
    float invalid_password_time = 0; // seconds left of "INVALID PASSWORD"
    char notice[80] = "";            // a line the menu shows under its own, "" for none
    bool online = false;             // two machines share the game: no options screen
    OptionsScreen options;           // the options screen over the menu
};
