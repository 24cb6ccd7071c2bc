// The five top-level states, their set-up actions and the per-frame update.
#pragma once

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
