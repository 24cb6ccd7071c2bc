#include "scenes.h"

#include <cstring>

#include "game/states.h"
#include "main/resources.h"
#include "recording_engine.h"

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
    settings_ = settings;
    game_state_ = game_state;
    game_mode_ = game_mode;
    money_ = money;
    bonus_ = bonus;
    level_index_ = level_index;
    iteration_ = iteration;
    map_index_ = map_index;
    spawn_index_ = spawn_index;
    spawn_pass_ = spawn_pass;
    password_cursor_ = password_cursor;
    spawning_ = spawning;
    clear_screen_once_ = clear_screen_once;
    spawn_timer_ = spawn_timer;
    level_end_timer_ = level_end_timer;
    game_over_timer_ = game_over_timer;
    field_half_ = field_half;
    std::memcpy(view_anchor_, view_anchor, sizeof view_anchor_);
    std::memcpy(blink_timer_, blink_timer, sizeof blink_timer_);
    std::memcpy(password_, password, sizeof password_);
    std::memcpy(ships_, ship_records, sizeof ships_);
    enemies_ = enemy_list;
    pending_ = pending_list;
    player_bullets_[0] = player_bullets[0];
    player_bullets_[1] = player_bullets[1];
    enemy_bullets_ = enemy_bullets;
    big_ = big_list;
    small_ = small_list;
    stars_ = stars;
    looping_.clear();
    looping_.push_back(*images[KIND_CHIKENROCKET]);
    looping_.push_back(*images[KIND_DRAGONFLY]);
    ship_colors_[0] = sprite_ship0->get_color(0);
    ship_colors_[1] = sprite_ship1->get_color(0);
    taken_ = true;
}

void GameSnapshot::restore(int seed) const {
    settings = settings_;
    game_state = game_state_;
    game_mode = game_mode_;
    money = money_;
    bonus = bonus_;
    level_index = level_index_;
    iteration = iteration_;
    map_index = map_index_;
    spawn_index = spawn_index_;
    spawn_pass = spawn_pass_;
    password_cursor = password_cursor_;
    spawning = spawning_;
    clear_screen_once = clear_screen_once_;
    spawn_timer = spawn_timer_;
    level_end_timer = level_end_timer_;
    game_over_timer = game_over_timer_;
    field_half = field_half_;
    std::memcpy(view_anchor, view_anchor_, sizeof view_anchor_);
    std::memcpy(blink_timer, blink_timer_, sizeof blink_timer_);
    std::memcpy(password, password_, sizeof password_);
    std::memcpy(ship_records, ships_, sizeof ships_);
    // Assignment keeps each list's capacity, so a restore allocates only the first time.
    enemy_list = enemies_;
    pending_list = pending_;
    player_bullets[0] = player_bullets_[0];
    player_bullets[1] = player_bullets_[1];
    enemy_bullets = enemy_bullets_;
    big_list = big_;
    small_list = small_;
    stars = stars_;
    if (looping_.size() == 2) {
        *images[KIND_CHIKENROCKET] = looping_[0];
        *images[KIND_DRAGONFLY] = looping_[1];
    }
    sprite_ship0->set_color(ship_colors_[0]);
    sprite_ship1->set_color(ship_colors_[1]);
    engine->Random_Seed(seed);
}

void GameSnapshot::clear() {
    *this = GameSnapshot();
}

bool start_game(int seed, const char* data_dir, const GameStart& how) {
    engine_set_backend(how.record ? create_recording_engine : create_sdl_engine);
    configure_engine();
    if (!engine) return false;
    engine->System_SetState(HGE_HEADLESS, !how.windowed);
    if (how.windowed && how.vsync >= 0) engine->System_SetState(HGE_VSYNC, how.vsync == 1);
    engine->System_SetState(HGE_DATADIR, data_dir);
    engine->System_SetState(HGE_SEED, seed);
    if (!engine->System_Initiate()) {
        engine->System_MessageBox(engine->System_GetErrorMessage(), "Error");
        shutdown_program();
        return false;
    }
    if (!load_resources()) return false;
    set_game_state(ACTION_TITLE);
    engine->Timer_SetFixedDelta(FRAME_DT);
    return true;
}

bool make_menu_scene(int frames, GameSnapshot* out) {
    tap(HGEK_SPACE); // any key leaves the title for the menu
    if (game_state != STATE_MENU) return false;
    int best = -1;
    for (int f = 1; f <= frames; ++f) {
        engine->System_RunFrames(1);
        if (game_state != STATE_MENU) return false;
        int busy = static_cast<int>(enemy_list.size() + enemy_bullets.size() + big_list.size() +
                                    small_list.size());
        if (busy <= best) continue;
        best = busy;
        out->take();
    }
    return best >= 0;
}

bool start_stress_level(bool one_player) {
    // What a player reaches after eight passes and a full shop, set directly.
    game_mode = one_player ? MODE_ONE_PLAYER : MODE_TEAMWORK;
    level_index = STRESS_LEVEL;
    iteration = STRESS_PASS;
    for (int i = 0; i < STRESS_PASS; ++i) scale_up_difficulty();
    for (int i = 0; i < 2; ++i) {
        ship& s = ship_records[i];
        s.ships = 99;
        s.firepower = 5;
        s.flexibility = 5;
        s.shield = 5;
    }
    set_game_state(ACTION_TO_SHOP);
    set_game_state(ACTION_START_LEVEL);
    if (game_state != STATE_PLAY) return false;
    engine->Input_Inject(ship_records[0].key_right, true); // both turn, sweeping their fire round
    engine->Input_Inject(ship_records[1].key_left, true);
    return true;
}

bool stress_keys(int frame) {
    bool release = frame % TAP_PERIOD == 0;
    for (int i = 0; i < 2; ++i) engine->Input_Inject(ship_records[i].key_fire, !release);
    return release;
}

bool make_stress_scene(int frames, GameSnapshot* out) {
    if (!start_stress_level()) return false;
    const ship& p0 = ship_records[0];
    const ship& p1 = ship_records[1];
    int best = -1;
    for (int f = 1; f <= frames; ++f) {
        bool release = stress_keys(f);
        engine->System_RunFrames(1);
        if (game_state != STATE_PLAY) return false;
        int booms = static_cast<int>(big_list.size() + small_list.size());
        if (spawning || release || p0.armor < 0 || p1.armor < 0 || booms <= best) continue;
        best = booms;
        // Measured from here as if both had just tapped fire: every volley at the full rate.
        ship_records[0].fire_held = ship_records[1].fire_held = 0.0f;
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
    c.enemies = static_cast<int>(enemy_list.size());
    c.enemy_bullets = static_cast<int>(enemy_bullets.size());
    c.player_bullets = static_cast<int>(player_bullets[0].size() + player_bullets[1].size());
    c.explosions = static_cast<int>(big_list.size() + small_list.size());
    return c;
}

void stop_game() {
    if (engine) shutdown_program();
}
