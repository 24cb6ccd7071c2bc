// The keyboard as the game sees it: Windows virtual-key codes, whatever the platform.
#pragma once

// The virtual-key code (1..255) of an SDL scancode, 0 for keys the game cannot name.
int key_from_scancode(int scancode);
