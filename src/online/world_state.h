// The whole simulation as values: what a frame reads and changes, saved
// into buffers made once and put back exactly.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/engine.h"
#include "game/states.h"
#include "settings/settings.h"
#include "world/options.h"
#include "world/records.h"

struct WorldSnapshot {
    int game_state, game_mode, money, bonus, level_index, iteration;
    ship ships[4];
    char password[10];
    int password_cursor, map_index;
    bool spawning;
    float spawn_timer;
    int spawn_index, spawn_pass;
    float level_end_timer, game_over_timer;
    HCHANNEL intro_channel;
    bool clear_screen_once;
    float view_anchor[2], blink_timer[2], field_half;
    int view0_width;
    uint64_t random;
    Settings tuning; // the difficulty grows each pass, and the ninth reloads it
    std::vector<enemy> enemies, pending;
    std::vector<bullet> player_bullets[2], enemy_bullets;
    std::vector<kaboom> big, small;
    std::vector<star> stars;
    std::vector<Animation> loops; // the two looping pictures
    int purse[2], purse_bonus[2], winner;
    bool ships_in_contact;
    MatchMemory match;
    bool game_paused;
    float invalid_password_time, armor_flash[2];
};

// Room for lists far longer than play makes, in the snapshot and the live
// lists alike, so that saving and running frames do not allocate.
void reserve_world(WorldSnapshot& s);
void save_world(WorldSnapshot& s);
void restore_world(const WorldSnapshot& s);
// A hash of what the frames decide (not of handles or drawing positions):
// equal on two machines that simulated alike.
uint32_t world_checksum();
// The same hash of a saved state: equal to world_checksum() when it was saved.
uint32_t world_checksum(const WorldSnapshot& s);
// The game as a fresh start seeded with seed leaves it, at its title, with
// the tuning read again from the settings file.
void reset_world(int seed);
