#include "scenes.h"

#include <cstring>

#include "game/states.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "recording_engine.h"
#include "render/resources.h"

namespace {

const float FRAME_DT = 1.0f / 60.0f;
const int STRESS_LEVEL = 40;
const int STRESS_PASS = 8;
// Fire keys let go for one frame this often, as a player taps them, so the
// volleys keep their full rate.
const int TAP_PERIOD = 30;

void tap(int key) {
    engine->Input_Inject(key, true);
    engine->System_RunFrames(1);
    engine->Input_Inject(key, false);
    engine->System_RunFrames(1);
}

} // namespace

void GameSnapshot::take() {
    world_ = app.world;
    taken_ = true;
}

void GameSnapshot::restore(int seed) const {
    // Assignment keeps each list's capacity, so a restore allocates only the first time.
    app.world = world_;
    pcg32_seed(app.world.rng, static_cast<uint32_t>(seed));
}

bool start_game(int seed, const char* data_dir, const GameStart& how) {
    engine_set_backend(how.record ? create_recording_engine : create_sdl_engine);
    configure_engine();
    if (!engine) return false;
    engine->System_SetState(HGE_HEADLESS, !how.windowed);
    if (how.windowed && how.vsync >= 0) engine->System_SetState(HGE_VSYNC, how.vsync == 1);
    engine->System_SetState(HGE_DATADIR, data_dir);
    engine->System_SetState(HGE_SEED, seed);
    if (!start_game()) return false;
    engine->Timer_SetFixedDelta(FRAME_DT);
    return true;
}

bool make_menu_scene(int frames, GameSnapshot* out) {
    tap(HGEK_SPACE); // any key leaves the title for the menu
    if (app.world.game_state != STATE_MENU) return false;
    int best = -1;
    for (int f = 1; f <= frames; ++f) {
        engine->System_RunFrames(1);
        if (app.world.game_state != STATE_MENU) return false;
        int busy = static_cast<int>(app.world.enemy_list.size() + app.world.enemy_bullets.size() +
                                    app.world.big_list.size() + app.world.small_list.size());
        if (busy <= best) continue;
        best = busy;
        out->take();
    }
    return best >= 0;
}

bool start_stress_level(bool one_player) {
    // What a player reaches after eight passes and a full shop, set directly.
    app.world.game_mode = one_player ? MODE_ONE_PLAYER : MODE_TEAMWORK;
    app.world.level_index = STRESS_LEVEL;
    app.world.iteration = STRESS_PASS;
    for (int i = 0; i < STRESS_PASS; ++i) scale_up_difficulty(app.world.settings);
    for (int i = 0; i < 2; ++i) {
        ship& s = app.world.ship_records[i];
        s.ships = 99;
        s.firepower = 5;
        s.flexibility = 5;
        s.shield = 5;
    }
    set_game_state(app.world, ACTION_TO_SHOP);
    set_game_state(app.world, ACTION_START_LEVEL);
    if (app.world.game_state != STATE_PLAY) return false;
    engine->Input_Inject(app.world.ship_records[0].key_right,
                         true); // both turn, sweeping their fire round
    engine->Input_Inject(app.world.ship_records[1].key_left, true);
    return true;
}

bool stress_keys(int frame) {
    bool release = frame % TAP_PERIOD == 0;
    for (int i = 0; i < 2; ++i) engine->Input_Inject(app.world.ship_records[i].key_fire, !release);
    return release;
}

bool make_stress_scene(int frames, GameSnapshot* out) {
    if (!start_stress_level()) return false;
    const ship& p0 = app.world.ship_records[0];
    const ship& p1 = app.world.ship_records[1];
    int best = -1;
    for (int f = 1; f <= frames; ++f) {
        bool release = stress_keys(f);
        engine->System_RunFrames(1);
        if (app.world.game_state != STATE_PLAY) return false;
        int booms = static_cast<int>(app.world.big_list.size() + app.world.small_list.size());
        if (app.world.spawning || release || p0.armor < 0 || p1.armor < 0 || booms <= best)
            continue;
        best = booms;
        // Measured from here as if both had just tapped fire: every volley at the full rate.
        app.world.ship_records[0].fire_held = app.world.ship_records[1].fire_held = 0.0f;
        out->take();
    }
    // Then a frame with no key going down or up: the engine keeps the last
    // frame's key events, and the measured frames must see the keys simply held.
    stress_keys(1);
    engine->System_RunFrames(2);
    return best >= 0;
}

SceneCounts count_scene() {
    SceneCounts c;
    c.enemies = static_cast<int>(app.world.enemy_list.size());
    c.enemy_bullets = static_cast<int>(app.world.enemy_bullets.size());
    c.player_bullets =
        static_cast<int>(app.world.player_bullets[0].size() + app.world.player_bullets[1].size());
    c.explosions = static_cast<int>(app.world.big_list.size() + app.world.small_list.size());
    return c;
}

void stop_game() {
    if (engine) shutdown_program();
}
