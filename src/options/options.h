// The player's own choices (aids, sound, display, keys), kept in the player's
// options file, and the options screen that changes them. None of it takes
// part in the simulation: the aids only draw, and the keys reach the ships
// through the game.
#pragma once

#include <string>

#include "base/keys.h"
#include "settings/settings.h"
#include "world/world.h"

class Engine;

enum Aid {
    AID_STATUS = 0, // a status strip in each view
    AID_RADAR,      // larger blips, the partner in its colour, edge markers
    AID_FEEDBACK,   // a flash on lost armor, level cleared, ship lost, level reached
    AID_PROMPTS,    // the keys to press, the password cursor, a failed password
    AID_COUNT
};

// A player's five keys, in the order of the settings file.
enum KeyRole { ROLE_LEFT = 0, ROLE_RIGHT, ROLE_UP, ROLE_DOWN, ROLE_FIRE, ROLE_COUNT };

struct player_options {
    bool aids[AID_COUNT] = {};
    int volume = 100; // 0..100
    bool fullscreen = false;
    int scale = 1; // 1..4
    bool integer_scaling = false;
    bool vsync = false;
    bool pause_when_unfocused = true;
    // Virtual-key codes; 0 keeps the settings file's key.
    int keys[2][ROLE_COUNT] = {};
};

inline bool aid_on(const player_options& o, int aid) {
    return aid >= 0 && aid < AID_COUNT && o.aids[aid];
}
// The key player p (0, 1) uses for a role: the remapped one, else the settings file's.
int player_key(const player_options& o, const Settings& file, int p, int role);
// The players' keys into their ships (0 and 1).
void apply_key_bindings(World& w, const player_options& o);

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

// The defaults: display from the settings file's [Display], which the engine
// opened the window with.
player_options default_options(Engine* e);
// The defaults, then the options file over them; a missing or broken file
// leaves the defaults and logs a line. Display and volume go to the engine
// where they differ from the defaults.
player_options load_options(Engine* e);
// Writes the options file; false (and a log line) when it could not.
bool save_options(Engine* e, const player_options& o);

// The options screen's rows, top to bottom. A row with a value has its line
// in the table of options.cpp, which reads, writes, changes and names it.
enum OptionsRow {
    ROW_AIDS = 0, // one row per aid
    ROW_VOLUME = ROW_AIDS + AID_COUNT,
    ROW_FULLSCREEN,
    ROW_SCALE,
    ROW_INTEGER_SCALING,
    ROW_VSYNC,
    ROW_PAUSE_UNFOCUSED,
    ROW_KEYS, // five per player, player 0 first
    ROW_DEFAULT_KEYS = ROW_KEYS + 2 * ROLE_COUNT,
    ROW_COUNT
};

// The options screen, which stands over the menu while open.
struct OptionsScreen {
    bool open = false;
    int row = 0;              // the row it points at
    bool waiting_key = false; // that row's key waits for the next key pressed
};

enum OptionsOutcome {
    OPTIONS_UNCHANGED,
    OPTIONS_KEYS_CHANGED, // a player's keys changed: the ships take them
    OPTIONS_CLOSED,       // Escape: the screen shut, the file is due
};

// The words of a row: its label, and its value as the screen shows it (false
// for a row without one, as the keys'). `fits` is the largest window scale
// the display holds, or 0.
const char* option_row_label(int row);
bool option_row_value(const player_options& o, int row, int fits, char* out, size_t size);

void open_options(OptionsScreen& screen);
// One frame of the open screen with these keys; display and volume changes
// go to the engine at once.
OptionsOutcome options_frame(OptionsScreen& screen, player_options& o, const Settings& file,
                             const KeyFrame& keys, Engine* e);
