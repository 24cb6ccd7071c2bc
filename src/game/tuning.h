// The settings as the game uses them.
#pragma once

// Reads the settings file (all sections, or "Enemy" alone) and, when all is
// true, hands the start values to the game: money, level, pass, the players'
// keys, the explosion speeds and room for the stars.
void load_settings(bool all);
