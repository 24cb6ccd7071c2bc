// The keyboard as the game sees it in a browser: Windows virtual-key codes.
#pragma once

// The virtual-key code (1..255) of a KeyboardEvent.code, the key's position
// numbered as on a US layout; 0 for keys the game cannot name.
int key_from_dom_code(const char* code);

// The letter key (65..90) a KeyboardEvent.key names on the player's layout,
// or 0 when it is no letter A to Z (other scripts, symbols, named keys).
int letter_from_dom_key(const char* key);

// Whether the browser keeps its own meaning of this key (reload, its full
// screen, developer tools) rather than handing it to the game alone.
bool browser_keeps_key(int key);
