// The scenes the frame benchmarks measure, and a copy of the whole game state
// so that a benchmark can return to the same frame as often as it likes.
#pragma once

#include <string>
#include <vector>

#include "world/world.h"

// The whole game at one frame, so that a benchmark can go back to it.
class GameSnapshot {
  public:
    // Copies the game as it stands now.
    void take();
    // Puts the copy back and seeds the random numbers with seed, so the
    // frames after a restore repeat exactly.
    void restore(int seed) const;
    void clear() { *this = GameSnapshot(); }
    // Whether take() has been called since the last clear().
    bool taken() const { return taken_; }

  private:
    bool taken_ = false;
    World world_;
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
