// Nine-letter passwords that carry 36 bits of progress.
#pragma once

#include "world/world.h"

// A letter for a 4-bit value; values with two letters pick one at random.
char password_letter(World& w, int value);
// The 4-bit value of a letter, or 200 for a character outside the alphabet.
int password_value(char c);
// Overwrites password with the encoding of the current game.
void make_password(World& w);
// Types one letter at the cursor; the ninth applies the password. A ninth
// letter that makes no password puts the game's own back: false then.
bool type_password_letter(World& w, char letter);
// Backspace: the cursor goes back one letter, still typing.
void erase_password_letter(World& w);
// Loads the state a valid password encodes; false (and no change) otherwise.
bool apply_password(World& w);
