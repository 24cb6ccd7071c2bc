// Gamepads as the game sees them: each pad holds down a player's keys, so
// game code only ever reads the keyboard.
#pragma once

#include <cstdint>

#include "engine/sdl/ini_file.h"

enum PadAction {
    PAD_LEFT,
    PAD_RIGHT,
    PAD_UP,
    PAD_DOWN,
    PAD_FIRE,
    PAD_ENTER,
    PAD_ESCAPE,
    PAD_ACTIONS
};

// What a pad shows: its left stick (SDL's range, y grows downwards) and the
// buttons that mean something to the game.
struct PadInput {
    int16_t stick_x = 0, stick_y = 0;
    bool dpad_left = false, dpad_right = false, dpad_up = false, dpad_down = false;
    bool a = false, b = false, start = false, back = false;
};

// How far the stick must lean before it counts, out of 32767.
const int kPadDeadZone = 12000;

// The actions a pad asks for, one bit per PadAction: stick or d-pad to turn
// and thrust, A or B to fire, Start for Enter, Back for Escape.
unsigned pad_actions(const PadInput& in);

// The virtual-key code of each action for player 0 or 1: the player's keys
// from the settings file ("Player0"/"Player1", the game's defaults when
// missing), then Enter and Escape. 0 where a configured code is no key (outside 1..255).
struct PadKeys {
    int key[PAD_ACTIONS];
};
PadKeys pad_keys_for(IniFile& ini, int player);
