// The five top-level states, their set-up actions and the per-frame update.
#pragma once

#include "world/globals.h"

// Set-up actions (not the states that result).
enum GameAction {
    ACTION_TITLE = 0,      // enter the title
    ACTION_NEW_GAME = 1,   // new game, then the menu
    ACTION_TO_SHOP = 2,    // leave the menu for the shop
    ACTION_MENU = 3,       // enter the menu with its demonstration
    ACTION_START_LEVEL = 4 // start the current level
};

// Performs one set-up action; any other value does nothing.
void set_game_state(int action);
// The engine's frame callback; true ends the program.
bool frame_func();
// Pays the level's bonus and moves on: shop, next pass, or the title after the ninth.
void complete_level();
// View 0 gets a picture of this width; the old one is released first.
void replace_view0(int width);

// The ONE PLAYER or TEAMWORK game that a COMPETITION match set aside; the
// match gives it back when it ends, so its password survives the match.
struct SavedGame {
    int money, bonus, level_index, iteration;
    ship players[2];
    Settings tuning; // the enemies as strong as that game's pass made them
};
struct MatchMemory {
    SavedGame game;
    bool running = false;
};
// Part of the simulation's state: online play saves and restores it.
extern MatchMemory match_memory;
