#pragma once

// The keyboard as the game sees it: Windows virtual-key codes, whatever the platform.
// Keys go by their place (the scancode): WASD and the arrows stay under the
// same hands on AZERTY, QWERTZ or Dvorak. Letters typed go by the label.

// The virtual-key code (1..255) of an SDL scancode, 0 for keys the game cannot name.
int key_from_scancode(int scancode);

// The letter 'A'..'Z' that the layout writes on a key (its SDL keycode), 0 for
// none. A layout without Latin letters (Cyrillic, Greek) gives the letter of the
// key's place, as the keys are usually labelled with both.
int letter_from_keysym(int keycode, int scancode);
