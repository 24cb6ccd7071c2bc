// The player's own choices (aids, display, sound, keys) and what the screens
// show beyond the simulation. Nothing here takes part in the simulation:
// the game keeps these values, the renderer only reads them.
#pragma once

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

extern player_options game_options;

inline bool aid_on(int aid) {
    return aid >= 0 && aid < AID_COUNT && game_options.aids[aid];
}

extern bool game_paused;            // play stands still ("PAUSED")
extern bool online_session;         // two machines share the frame: options stay each one's own
extern bool options_open;           // the options screen stands over the menu
extern int options_row;             // the row the options screen points at
extern bool options_waiting_key;    // that row's key waits for the next key pressed
extern float armor_flash[2];        // seconds left of view v's border flash
extern float invalid_password_time; // seconds left of "INVALID PASSWORD"

// The options screen's rows, top to bottom.
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

// The key player p (0, 1) uses for a role: the remapped one, else the settings file's.
int player_key(int p, int role);
