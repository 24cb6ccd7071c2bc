// The player's options: the options file, the options screen over the menu,
// the pause, and the bookkeeping the aids show. None of it changes the
// simulation.
#pragma once

#include <string>

#include "world/options.h"

// The options file, one of the player's own files (never the settings file).
extern const char* const OPTIONS_FILE;

// Reads `text` over `out` (which holds the defaults). Lines it cannot use are
// skipped and counted; returns how many.
int read_options_text(const char* text, player_options& out);
// The whole file for `o`: every value, keys only where remapped.
std::string options_text(const player_options& o);
// Sets one value by its file name ("section.key", any case); false, and no
// change, for an unknown name or a value out of range.
bool set_option(const std::string& name, int value, player_options& o);

// Defaults (display from the settings file's [Display]), then the options file
// over them; a missing or broken file leaves the defaults and logs a line.
// Applies the result: display and volume to the engine, keys to the ships.
void load_options();
// When the options file may be written (the windowed game; never a replay).
void set_options_saved(bool saved);
// Writes the options file if allowed; false when it could not be written.
bool save_options();
// The players' keys into their ships.
void apply_key_bindings();

// The options screen's frame, in place of the menu's while it is open.
void options_frame();
// The menu's Tab: opens the options screen.
void open_options();

// The pause key of this frame in play: Pause, or P unless a player flies with P.
bool pause_key_down();
// Enters or leaves the pause: the sound holds and goes on with it.
void set_paused(bool paused);

// After each frame of play: notes lost armor for the border flash.
void track_feedback(float dt);
// Starts the aids' bookkeeping afresh for a new level.
void reset_feedback();
