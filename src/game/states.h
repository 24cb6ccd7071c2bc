// The five top-level states, their set-up actions and one frame of the game.
#pragma once

#include <cstdint>

#include "base/keys.h"
#include "world/world.h"

// Set-up actions (not the states that result).
enum GameAction {
    ACTION_TITLE = 0,      // enter the title
    ACTION_NEW_GAME = 1,   // new game, then the menu
    ACTION_TO_SHOP = 2,    // leave the menu for the shop
    ACTION_MENU = 3,       // enter the menu with its demonstration
    ACTION_START_LEVEL = 4 // start the current level
};

// The world as start-up leaves it, at the title: the settings file's values
// (file), the random numbers seeded with seed, views of a screen of the given
// size, the players' keys from the file.
void new_world(World& w, const Settings& file, uint64_t seed, int screen_width, int screen_height);
// Performs one set-up action; any other value does nothing.
void set_game_state(World& w, int action);
// One frame of the game with this frame's keys and time: what the state does,
// and in the menu and in play one simulation frame. w.events holds what it
// gave out. True when the game asks to end.
bool simulate(World& w, const KeyFrame& keys, float dt);
// Pays the level's bonus and moves on: shop, next pass, or the title after the ninth.
void complete_level(World& w);
// The pause key of this frame in play: Pause, or P unless a player flies with P.
bool pause_key_down(const World& w, const KeyFrame& keys);
// Enters or leaves the pause; the sound holds and goes on with it.
void set_paused(World& w, bool paused);
