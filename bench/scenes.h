// The scenes the frame benchmarks measure, and a copy of the whole game state
// so that a benchmark can return to the same frame as often as it likes.
#pragma once

#include <string>
#include <vector>

#include "world/globals.h"

// Everything frame_func reads or writes, the engine's own state aside.
class GameSnapshot {
  public:
    // Copies the game state as it stands now.
    void take();
    // Puts the copied state back and seeds the random numbers with seed, so
    // the frames after a restore repeat exactly.
    void restore(int seed) const;
    // Drops the copies (their explosions hold engine references).
    void clear();
    // Whether take() has been called since the last clear().
    bool taken() const { return taken_; }

  private:
    bool taken_ = false;
    Settings settings_{};
    int game_state_ = 0, game_mode_ = 0, money_ = 0, bonus_ = 0, level_index_ = 0;
    int iteration_ = 0, map_index_ = 0, spawn_index_ = 0, spawn_pass_ = 0, password_cursor_ = 0;
    bool spawning_ = false, clear_screen_once_ = false;
    float spawn_timer_ = 0, level_end_timer_ = 0, game_over_timer_ = 0, field_half_ = 0;
    float view_anchor_[2] = {}, blink_timer_[2] = {};
    char password_[10] = {};
    ship ships_[4] = {};
    std::vector<enemy> enemies_, pending_;
    std::vector<bullet> player_bullets_[2], enemy_bullets_;
    std::vector<kaboom> big_, small_;
    std::vector<star> stars_;
    std::vector<Animation> looping_; // images 21 and 22, which frame_func advances
    uint32_t ship_colors_[2] = {};   // the blink of the two ship sprites
};

// What a scene holds at its chosen frame.
struct SceneCounts {
    int enemies = 0, enemy_bullets = 0, player_bullets = 0, explosions = 0;
};

// How start_game runs the game.
struct GameStart {
    bool windowed = false; // a real window (needs a display) rather than headless
    bool record = true;    // through the recording wrapper, so its quads can be replayed raw
    int vsync = -1;        // windowed: 0 or 1 overrides the settings file's choice
};

// Starts the engine on the game's files in data_dir and loads the game; false on failure.
bool start_game(int seed, const char* data_dir, const GameStart& how = GameStart());
// Title to menu; the busiest frame (enemies, their bullets, explosions) of the
// demonstration's first `frames` frames. False if the menu was not reached.
bool make_menu_scene(int frames, GameSnapshot* out);
// Puts the game at the start of level 40 on the ninth pass, TEAMWORK (or ONE
// PLAYER), both ships at firepower 5, and holds their turn and fire keys;
// false if play did not begin.
bool start_stress_level(bool one_player = false);
// The stress scene's keys before its frame number `frame` (from 1): fire is
// let go now and then; whether it is let go for this frame.
bool stress_keys(int frame);
// start_stress_level, then the frame with the most explosions (both ships
// alive, every meteor placed) within `frames` frames. False if no such frame came.
bool make_stress_scene(int frames, GameSnapshot* out);
// The lists' sizes now.
SceneCounts count_scene();
// Releases everything start_game made.
void stop_game();
