#include "game/states.h"

#include <algorithm>
#include <cstring>

#include "enemies/behaviours.h"
#include "enemies/bullets.h"
#include "enemies/collisions.h"
#include "enemies/spawn.h"
#include "world/globals.h"
#include "game/levels.h"
#include "game/options.h"
#include "game/passwords.h"
#include "game/shop.h"
#include "game/tuning.h"
#include "ships/control.h"
#include "ships/field.h"
#include "ships/flight.h"

MatchMemory match_memory;

namespace {

const char* const DEMO_FIRST_WAVE = "ECDKHHZabrsssYFECDB";
const char* const DEMO_REFILL = "ECDKHHZabrs";
const float DEMO_SPEEDUP = 1.5f;

int screen_width() { return engine->System_GetStateInt(HGE_SCREENWIDTH); }
int screen_height() { return engine->System_GetStateInt(HGE_SCREENHEIGHT); }

void set_up_split_view0() {
    view_anchor[0] = settings.split_screen_player0_x;
    view_anchor[1] = settings.split_screen_player0_y;
    replace_view0(half_width);
}

void clear_field_lists() {
    player_bullets[0].clear();
    player_bullets[1].clear();
    enemy_bullets.clear();
    enemy_list.clear();
    pending_list.clear();
    big_list.clear();
}

// Entering play: refilled armor, at rest, untouchable from now.
void place_ship(ship& s, float x, float y, float angle) {
    s.armor = s.shield;
    s.invul_timer = 0;
    s.fire_timer = 0;
    s.speed = 0;
    s.rotate_speed = 0;
    s.x = x;
    s.y = y;
    s.angle = angle;
}

SavedGame& saved_game = match_memory.game;
bool& match_running = match_memory.running;

void start_match() {
    saved_game = {money, bonus, level_index, iteration, {ship_records[0], ship_records[1]},
                  settings};
    match_running = true;
    // Passwords hold no match, so every match starts where the settings file
    // says, its enemies read afresh and made as strong as that pass's.
    read_settings(true);
    level_index = std::clamp(settings.start_level, 0, 49);
    iteration = std::clamp(settings.start_level_iteration, 0, 8);
    for (int i = 0; i < iteration; ++i) scale_up_difficulty();
    for (int p = 0; p < 2; ++p) {
        ship& s = ship_records[p];
        s.invul_timer = 0;
        s.firepower = s.flexibility = s.armor = s.shield = 0;
        s.ships = 3;
        purse[p] = settings.start_money;
        purse_bonus[p] = 0;
    }
    winner = WINNER_NONE;
}

void end_match() {
    if (!match_running) return;
    match_running = false;
    money = saved_game.money;
    bonus = saved_game.bonus;
    level_index = saved_game.level_index;
    iteration = saved_game.iteration;
    ship_records[0] = saved_game.players[0];
    ship_records[1] = saved_game.players[1];
    settings = saved_game.tuning;
}

void new_game() {
    match_running = false;
    winner = WINNER_NONE;
    game_mode = MODE_ONE_PLAYER;
    std::strcpy(password, "AAAAAAAAA");
    password_cursor = 0;
    bonus = 0;
    game_over_timer = 0;
    for (int i = 0; i < 2; ++i) {
        ship& s = ship_records[i];
        s.invul_timer = 0;
        s.firepower = s.flexibility = s.armor = s.shield = 0;
        s.ships = 3;
    }
    set_game_state(ACTION_MENU);
    std::strcpy(password, "AAAAAAAAA");
}

void to_shop() {
    engine->Channel_StopAll();
    if (competing()) start_match();
    if (game_mode == MODE_ONE_PLAYER) {
        view_anchor[0] = settings.one_player_x;
        view_anchor[1] = settings.one_player_y;
        replace_view0(screen_width());
    } else {
        view_anchor[0] = settings.split_screen_player0_x;
        view_anchor[1] = settings.split_screen_player0_y;
        replace_view0(half_width);
    }
    game_state = STATE_SHOP;
}

void enter_menu() {
    if (!engine->Channel_IsPlaying(intro_channel)) {
        engine->Channel_StopAll();
        intro_channel = engine->Effect_Play(snd_intro);
    }
    game_state = STATE_MENU;
    end_match();
    make_password();
    set_up_split_view0();
    blink_timer[0] = blink_timer[1] = 0;
    clear_field_lists();
    map_index = 0;
    level_end_timer = 0;
    for (int i = 2; i < 4; ++i) {
        ship& s = ship_records[i];
        s.flexibility = engine->Random_Int(0, 5);
        s.firepower = engine->Random_Int(0, 5);
        s.shield = engine->Random_Int(0, 5);
    }
    place_ship(ship_records[2], 0, 0, 0);
    place_ship(ship_records[3], 0, static_cast<float>(screen_height()), -3.14f);
    clear_screen_once = true;
    make_stars();
    spawn_index = 1;
    spawn_timer = 0;
    spawn_pass = 0;
    spawning = spawn_level(DEMO_FIRST_WAVE, 12);
}

void start_level() {
    game_state = STATE_PLAY;
    blink_timer[0] = blink_timer[1] = 0;
    clear_field_lists();
    if (level_index < 0 || level_index >= static_cast<int>(level_list.size())) level_index = 0;
    const std::string& level = level_list.empty() ? std::string() : level_list[level_index];
    map_index = level.empty() ? 0 : map_index_of(level.c_str());
    level_end_timer = 0;
    place_ship(ship_records[0], 0, 0, 0);
    if (game_mode != MODE_ONE_PLAYER) {
        if (game_mode == MODE_TEAMWORK) ship_records[1].ships = ship_records[0].ships;
        place_ship(ship_records[1], 0, static_cast<float>(screen_height()), -3.14f);
        clear_screen_once = true;
    } else {
        clear_screen_once = false;
    }
    ships_in_contact = false;
    make_stars();
    spawn_index = 1;
    spawn_timer = 0;
    spawn_pass = 0;
    spawning = spawn_level(level, settings.start_enemy);
    reset_feedback();
    engine->Effect_Play(snd_start_level);
}

// One-by-one placement after the first group.
void spawn_step(const std::string& text, float dt) {
    if (!spawning) return;
    spawn_timer += dt;
    if (spawn_timer > settings.spawn_delay) {
        spawning = spawn_level(text, 1);
        spawn_timer = 0;
    }
}

// Ships, enemies, bullets, explosions and hits of one frame, for the pair
// (first, first + 1); the second ship takes part when `both`.
void simulate(int first, bool both, float dt) {
    update_ship_controls(first, dt);
    if (both) update_ship_controls(first + 1, dt);
    update_enemy_behaviours(dt);
    integrate_ship(ship_records[first], dt, field_side());
    if (both) integrate_ship(ship_records[first + 1], dt, field_side());
    update_partners();
    move_enemies(dt);
    move_bullets(dt);
    update_explosions(dt);
    resolve_hits(dt);
    if (!pending_list.empty()) flush_pending();
}

bool field_clear() { return enemy_list.empty() && enemy_bullets.empty() && !spawning; }

// A key may leave the state early in a frame, yet the rest of the frame still
// runs that state's simulation. A state change made inside it (game over,
// level complete) wins over the one made before.
class StateScope {
public:
    explicit StateScope(int state) : forced_(state), after_(game_state) { game_state = state; }
    ~StateScope() {
        if (game_state == forced_) game_state = after_;
    }

private:
    int forced_;
    int after_;
};

int next_mode(int mode) {
    if (mode == MODE_ONE_PLAYER) return MODE_TEAMWORK;
    if (mode == MODE_TEAMWORK) return MODE_COMPETITION;
    return MODE_ONE_PLAYER;
}

// A player out of ships loses the match; both in the same frame is a draw.
// The game-over screen follows when the wreck's death delay has passed.
void decide_match() {
    if (!competing() || winner != WINNER_NONE) return;
    bool out[2];
    for (int p = 0; p < 2; ++p)
        out[p] = ship_records[p].armor < 0 && ship_records[p].ships <= 0;
    if (out[0] && out[1])
        winner = WINNER_DRAW;
    else if (out[0] || out[1])
        winner = out[0] ? 1 : 0;
}

bool title_frame() {
    if (engine->Input_GetKeyState(HGEK_ESCAPE)) return true;
    if (engine->Input_GetKey() != 0) set_game_state(ACTION_NEW_GAME);
    return false;
}

// A fire key the player remapped also leaves the menu, unless it is a letter,
// which types the password.
bool remapped_fire_down() {
    for (int p = 0; p < 2; ++p) {
        int key = game_options.keys[p][ROLE_FIRE];
        if (key != 0 && !(key >= 'A' && key <= 'Z') && engine->Input_KeyDown(key)) return true;
    }
    return false;
}

bool menu_frame(float dt) {
    // The options screen stands over the menu; the demonstration waits behind it.
    if (options_open) {
        options_frame();
        return false;
    }
    if (engine->Input_KeyDown(HGEK_ESCAPE)) return true;
    // Online, both machines run this frame: one player's Tab would change the
    // other's options too.
    if (engine->Input_KeyDown(HGEK_TAB) && !online_session) {
        open_options();
        return false;
    }
    if (invalid_password_time > 0) invalid_password_time = std::max(0.0f, invalid_password_time - dt);
    if (engine->Input_KeyDown(HGEK_F1) || engine->Input_KeyDown(HGEK_SPACE))
        game_mode = next_mode(game_mode);
    // Letters by the layout's labels, so the password comes out as typed.
    if (game_mode != MODE_COMPETITION)
        for (int letter = 'A'; letter <= 'Z'; ++letter)
            if (engine->Input_LetterDown(letter) &&
                !type_password_letter(static_cast<char>(letter)))
                invalid_password_time = 1.5f;
    if (engine->Input_KeyDown(HGEK_ENTER) || engine->Input_KeyDown(HGEK_CTRL) ||
        engine->Input_KeyDown(HGEK_SHIFT) || remapped_fire_down())
        set_game_state(ACTION_TO_SHOP);

    StateScope demo(STATE_MENU);
    dt *= DEMO_SPEEDUP;
    static const std::string refill = DEMO_REFILL;
    spawn_step(refill, dt);
    simulate(2, true, dt);
    if (field_clear()) {
        spawning = true;
        spawn_index = 1;
        spawn_timer = 0;
    }
    return false;
}

void play_frame(float dt) {
    if (game_paused) {
        // A paused frame runs no simulation; Escape leaves for the menu as ever.
        if (engine->Input_KeyDown(HGEK_ESCAPE))
            set_game_state(ACTION_MENU);
        else if (pause_key_down())
            set_paused(false);
        return;
    }
    if (pause_key_down()) {
        set_paused(true);
        return;
    }
    if (engine->Input_KeyDown(HGEK_ESCAPE)) set_game_state(ACTION_MENU);
    StateScope play(STATE_PLAY);
    if (level_index >= 0 && level_index < static_cast<int>(level_list.size()))
        spawn_step(level_list[level_index], dt);
    simulate(0, game_mode != MODE_ONE_PLAYER, dt);
    decide_match();
    track_feedback(dt);
    // A decided match ends in its game-over screen, not in the shop.
    if (field_clear() && !(competing() && winner != WINNER_NONE)) {
        level_end_timer += dt;
        if (level_end_timer > settings.player_win_delay) complete_level();
    }
}

void shop_frame() {
    if (engine->Input_KeyDown(HGEK_ESCAPE)) set_game_state(ACTION_MENU);
    shop_purchases();
    if (engine->Input_KeyDown(HGEK_SPACE) || engine->Input_KeyDown(HGEK_ENTER) ||
        engine->Input_KeyDown(ship_records[0].key_fire) ||
        engine->Input_KeyDown(ship_records[1].key_fire))
        set_game_state(ACTION_START_LEVEL);
}

void game_over_frame(float dt) {
    game_over_timer += dt;
    if (game_over_timer > settings.game_over_delay) {
        game_over_timer = 0;
        set_game_state(ACTION_MENU);
    }
}

} // namespace

void replace_view0(int width) {
    // A picture of the same size serves as it is: every view is cleared before it is drawn,
    // and making a target allocates (a rollback through the shop would do so each time).
    float w = static_cast<float>(width), h = static_cast<float>(screen_height());
    if (view_target[0] && view_sprite[0] && view_sprite[0]->get_width() == w &&
        view_sprite[0]->get_height() == h)
        return;
    delete view_sprite[0];
    view_sprite[0] = nullptr;
    if (view_target[0]) engine->Target_Free(view_target[0]);
    view_target[0] = engine->Target_Create(width, screen_height(), false);
    view_sprite[0] = new Sprite(engine->Target_GetTexture(view_target[0]), 0, 0,
                                static_cast<float>(width), static_cast<float>(screen_height()));
}

void set_game_state(int action) {
    // Every way out of play ends its pause, so no sound stays held.
    if (action >= ACTION_TITLE && action <= ACTION_START_LEVEL) set_paused(false);
    switch (action) {
    case ACTION_TITLE:
        game_state = STATE_TITLE;
        intro_channel = engine->Effect_Play(snd_intro);
        break;
    case ACTION_NEW_GAME: new_game(); break;
    case ACTION_TO_SHOP: to_shop(); break;
    case ACTION_MENU: enter_menu(); break;
    case ACTION_START_LEVEL: start_level(); break;
    default: break;
    }
}

void complete_level() {
    level_index += 1;
    float f = game_mode == MODE_TEAMWORK ? 0.75f : 1.0f;
    int a = static_cast<int>((2 * iteration + 4) * f);
    int b = static_cast<int>((3 * iteration + 10) * f);
    if (competing()) {
        for (int p = 0; p < 2; ++p) {
            purse_bonus[p] = engine->Random_Int(a, b);
            purse[p] += purse_bonus[p];
        }
    } else {
        bonus = engine->Random_Int(a, b);
        money += bonus;
    }
    if (iteration == 8) {
        game_state = STATE_TITLE;
        load_settings(true);
        return;
    }
    if (level_index == 50) {
        level_index = 0;
        iteration += 1;
        scale_up_difficulty();
    }
    game_state = STATE_SHOP;
}

bool frame_func() {
    float dt = engine->Timer_GetDelta();
    // In the pause even the looping pictures stand still.
    bool still = game_paused && game_state == STATE_PLAY;
    if (images[22] && !still) images[22]->update(dt);
    if (images[21] && !still) images[21]->update(dt);
    field_half = field_side() / 2;
    switch (game_state) {
    case STATE_TITLE: return title_frame();
    case STATE_MENU: return menu_frame(dt);
    case STATE_PLAY: play_frame(dt); return false;
    case STATE_SHOP: shop_frame(); return false;
    case STATE_GAME_OVER: game_over_frame(dt); return false;
    default: return false;
    }
}
