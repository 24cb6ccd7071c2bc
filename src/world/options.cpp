#include "world/options.h"

player_options game_options;
bool game_paused = false;
bool online_session = false;
bool options_open = false;
int options_row = 0;
bool options_waiting_key = false;
float armor_flash[2] = {};
float invalid_password_time = 0;

#include "settings/settings.h"

int player_key(int p, int role) {
    if (p < 0 || p > 1 || role < 0 || role >= ROLE_COUNT) return 0;
    int key = game_options.keys[p][role];
    return key > 0 && key < 256 ? key : settings.player_keys[p][role];
}
