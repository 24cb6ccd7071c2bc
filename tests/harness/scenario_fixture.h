// Scripted runs of the whole game through korvane-headless.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/headless_run.h"

// From the title into the menu.
inline const char* TO_MENU = "tap SPACE\nframes 2\n";
// From the menu through the shop into the first frame of play.
inline const char* MENU_TO_PLAY = "tap ENTER\nframes 2\ntap ENTER\nframes 1\n";

// A password of the given progress, as the game itself encodes it.
std::string password_for(int level, int iteration, int money, int ships, int firepower,
                         int flexibility, int shield, int mode);
