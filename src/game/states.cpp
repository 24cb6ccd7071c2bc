#include "game/states.h"

#include <algorithm>
#include <cstring>

#include "enemies/behaviours.h"
#include "enemies/bullets.h"
#include "enemies/collisions.h"
#include "enemies/spawn.h"
#include "game/passwords.h"
#include "game/shop.h"
#include "options/options.h"
#include "render/atlas.h"
#include "ships/control.h"
#include "ships/field.h"
#include "ships/flight.h"
#include "world/levels.h"

namespace {

const char* const DEMO_FIRST_WAVE = "ECDKHHZabrsssYFECDB";
const char* const DEMO_REFILL = "ECDKHHZabrs";
const float DEMO_SPEEDUP = 1.5f;
const float QUIT_CONFIRM_TIME = 3.0f;

void set_up_split_view0(World& w) {
    w.view_anchor[0] = w.settings.split_screen_player0_x;
    w.view_anchor[1] = w.settings.split_screen_player0_y;
    w.view_width[0] = static_cast<float>(half_width(w));
}

// The settings file's values over the game's, as at start-up; spawn_delay
// has no key and stays.
void reload_settings(World& w) {
    const float spawn_delay = w.settings.spawn_delay;
    w.settings = w.file_settings;
    w.settings.spawn_delay = spawn_delay;
}

// Credits, level and pass a game starts with. The level list has 50 entries
// and passes run 0..8: anything else would index past it.
void start_values(World& w) {
    w.money = w.settings.start_money;
    w.level_index = std::clamp(w.settings.start_level, 0, 49);
    w.iteration = std::clamp(w.settings.start_level_iteration, 0, 8);
}

void clear_field_lists(World& w) {
    w.player_bullets[0].clear();
    w.player_bullets[1].clear();
    w.enemy_bullets.clear();
    w.enemy_list.clear();
    w.pending_list.clear();
    w.big_list.clear();
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

void start_match(World& w) {
    w.match.game = {
        w.money,   w.bonus, w.level_index, w.iteration, {w.ship_records[0], w.ship_records[1]},
        w.settings};
    w.match.running = true;
    // Passwords hold no match, so every match starts where the settings file
    // says, its enemies as the file has them, made as strong as that pass's.
    reload_settings(w);
    w.level_index = std::clamp(w.settings.start_level, 0, 49);
    w.iteration = std::clamp(w.settings.start_level_iteration, 0, 8);
    for (int i = 0; i < w.iteration; ++i) scale_up_difficulty(w.settings);
    for (int p = 0; p < 2; ++p) {
        ship& s = w.ship_records[p];
        s.invul_timer = 0;
        s.firepower = s.flexibility = s.armor = s.shield = 0;
        s.ships = 3;
        w.purse[p] = w.settings.start_money;
        w.purse_bonus[p] = 0;
    }
    w.winner = WINNER_NONE;
}

void end_match(World& w) {
    if (!w.match.running) return;
    const SavedGame& saved = w.match.game;
    w.match.running = false;
    w.money = saved.money;
    w.bonus = saved.bonus;
    w.level_index = saved.level_index;
    w.iteration = saved.iteration;
    w.ship_records[0] = saved.players[0];
    w.ship_records[1] = saved.players[1];
    w.settings = saved.tuning;
}

void new_game(World& w) {
    w.match.running = false;
    w.winner = WINNER_NONE;
    w.game_mode = MODE_ONE_PLAYER;
    w.bonus = 0;
    w.game_over_timer = 0;
    for (int i = 0; i < 2; ++i) {
        ship& s = w.ship_records[i];
        s.invul_timer = 0;
        s.firepower = s.flexibility = s.armor = s.shield = 0;
        s.ships = 3;
    }
    // The menu shows the new game's own password, which typed back gives it again.
    set_game_state(w, ACTION_MENU);
}

void to_shop(World& w) {
    emit(w, EVENT_STOP_SOUNDS);
    if (competing(w)) start_match(w);
    if (w.game_mode == MODE_ONE_PLAYER) {
        w.view_anchor[0] = w.settings.one_player_x;
        w.view_anchor[1] = w.settings.one_player_y;
        w.view_width[0] = static_cast<float>(w.screen_width);
    } else {
        set_up_split_view0(w);
    }
    w.game_state = STATE_SHOP;
}

void enter_menu(World& w) {
    emit(w, EVENT_MENU_MUSIC);
    w.game_state = STATE_MENU;
    end_match(w);
    make_password(w);
    // Typing starts at the first letter, whatever a visit before left half typed.
    w.password_cursor = 0;
    w.password_typing = false;
    w.quit_timer = 0;
    set_up_split_view0(w);
    w.blink_timer[0] = w.blink_timer[1] = 0;
    clear_field_lists(w);
    w.map_index = 0;
    w.level_end_timer = 0;
    for (int i = 2; i < 4; ++i) {
        ship& s = w.ship_records[i];
        s.flexibility = random_int(w, 0, 5);
        s.firepower = random_int(w, 0, 5);
        s.shield = random_int(w, 0, 5);
    }
    place_ship(w.ship_records[2], 0, 0, 0);
    place_ship(w.ship_records[3], 0, static_cast<float>(w.screen_height), -3.14f);
    make_stars(w);
    w.spawn_index = 1;
    w.spawn_timer = 0;
    w.spawn_pass = 0;
    w.spawning = spawn_level(w, DEMO_FIRST_WAVE, 12);
}

void start_level(World& w) {
    w.game_state = STATE_PLAY;
    w.blink_timer[0] = w.blink_timer[1] = 0;
    clear_field_lists(w);
    if (w.level_index < 0 || w.level_index >= LEVEL_COUNT) w.level_index = 0;
    const char* level = level_text(w.level_index);
    w.map_index = map_index_of(level);
    w.level_end_timer = 0;
    place_ship(w.ship_records[0], 0, 0, 0);
    if (w.game_mode != MODE_ONE_PLAYER) {
        if (w.game_mode == MODE_TEAMWORK) w.ship_records[1].ships = w.ship_records[0].ships;
        place_ship(w.ship_records[1], 0, static_cast<float>(w.screen_height), -3.14f);
    }
    w.ships_in_contact = false;
    make_stars(w);
    w.spawn_index = 1;
    w.spawn_timer = 0;
    w.spawn_pass = 0;
    w.spawning = spawn_level(w, level, w.settings.start_enemy);
    emit(w, EVENT_LEVEL_START);
    play_sound(w, SOUND_START_LEVEL);
}

// One-by-one placement after the first group.
void spawn_step(World& w, const char* text, float dt) {
    if (!w.spawning) return;
    w.spawn_timer += dt;
    if (w.spawn_timer > w.settings.spawn_delay) {
        w.spawning = spawn_level(w, text, 1);
        w.spawn_timer = 0;
    }
}

// Ships, enemies, bullets, explosions and hits of one frame, for the pair
// (first, first + 1); the second ship takes part when `both`.
void simulation_frame(World& w, const KeyFrame& keys, int first, bool both, float dt) {
    update_ship_controls(w, first, keys, dt);
    if (both) update_ship_controls(w, first + 1, keys, dt);
    update_enemy_behaviours(w, dt);
    integrate_ship(w.ship_records[first], dt, field_side(w));
    if (both) integrate_ship(w.ship_records[first + 1], dt, field_side(w));
    update_partners(w);
    move_enemies(w, dt);
    move_bullets(w, dt);
    update_explosions(w, dt);
    resolve_hits(w, dt);
    if (!w.pending_list.empty()) flush_pending(w);
}

bool field_clear(const World& w) {
    return w.enemy_list.empty() && w.enemy_bullets.empty() && !w.spawning;
}

// A key may leave the state early in a frame, yet the rest of the frame still
// runs that state's simulation. A state change made inside it (game over,
// level complete) wins over the one made before.
class StateScope {
public:
  StateScope(World& w, int state) : w_(w), forced_(state), after_(w.game_state) {
      w.game_state = state;
  }
    ~StateScope() {
        if (w_.game_state == forced_) w_.game_state = after_;
    }

private:
  World& w_;
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
void decide_match(World& w) {
    if (!competing(w) || w.winner != WINNER_NONE) return;
    bool out[2];
    for (int p = 0; p < 2; ++p)
        out[p] = w.ship_records[p].armor < 0 && w.ship_records[p].ships <= 0;
    if (out[0] && out[1])
        w.winner = WINNER_DRAW;
    else if (out[0] || out[1])
        w.winner = out[0] ? 1 : 0;
}

bool title_frame(World& w, const KeyFrame& keys) {
    if (keys.is_held(HGEK_ESCAPE)) return true;
    if (keys.last_key != 0) set_game_state(w, ACTION_NEW_GAME);
    return false;
}

bool is_letter(int key) { return key >= 'A' && key <= 'Z'; }

// The fire key of a player of this mode that went down this frame, or 0.
int fire_down(const World& w, const KeyFrame& keys) {
    int players = w.game_mode == MODE_ONE_PLAYER ? 1 : 2;
    for (int p = 0; p < players; ++p)
        if (keys.went_down(w.ship_records[p].key_fire)) return w.ship_records[p].key_fire;
    return 0;
}

// A player's fire key leaves the menu. One that is a letter types instead
// while a password is being typed, so a player tapping fire to start never
// types a password by accident, and a typed password can hold that letter.
bool leaves_menu(const World& w, const KeyFrame& keys) {
    if (keys.went_down(HGEK_ENTER) || keys.went_down(HGEK_CTRL) || keys.went_down(HGEK_SHIFT))
        return true;
    int fire = fire_down(w, keys);
    return fire != 0 && !(is_letter(fire) && w.password_typing);
}

void type_letters(World& w, const KeyFrame& keys) {
    if (keys.went_down(HGEK_BACKSPACE)) erase_password_letter(w);
    // Letters by the layout's labels, so the password comes out as typed.
    for (int letter = 'A'; letter <= 'Z'; ++letter)
        if (keys.typed(letter) && !type_password_letter(w, static_cast<char>(letter)))
            emit(w, EVENT_PASSWORD_REFUSED);
}

bool menu_frame(World& w, const KeyFrame& keys, float dt) {
    // Escape asks first: a second one within a few seconds quits.
    if (w.quit_timer > 0) w.quit_timer = std::max(0.0f, w.quit_timer - dt);
    if (keys.went_down(HGEK_ESCAPE)) {
        if (w.quit_timer > 0) return true;
        w.quit_timer = QUIT_CONFIRM_TIME;
    }
    if (keys.went_down(HGEK_F1) || keys.went_down(HGEK_SPACE)) {
        w.game_mode = next_mode(w.game_mode);
        // Across two machines each player flies a ship of their own.
        if (w.online && w.game_mode == MODE_ONE_PLAYER) w.game_mode = next_mode(w.game_mode);
    }
    // Leaving, nothing is typed: a fire letter that leaves types no letter.
    if (leaves_menu(w, keys))
        set_game_state(w, ACTION_TO_SHOP);
    else if (w.game_mode != MODE_COMPETITION)
        type_letters(w, keys);

    StateScope demo(w, STATE_MENU);
    dt *= DEMO_SPEEDUP;
    spawn_step(w, DEMO_REFILL, dt);
    simulation_frame(w, keys, 2, true, dt);
    if (field_clear(w)) {
        w.spawning = true;
        w.spawn_index = 1;
        w.spawn_timer = 0;
    }
    return false;
}

void play_frame(World& w, const KeyFrame& keys, float dt) {
    if (w.paused) {
        // A paused frame runs no simulation; Escape leaves for the menu as ever.
        if (keys.went_down(HGEK_ESCAPE))
            set_game_state(w, ACTION_MENU);
        else if (pause_key_down(w, keys))
            set_paused(w, false);
        return;
    }
    if (pause_key_down(w, keys)) {
        set_paused(w, true);
        return;
    }
    if (keys.went_down(HGEK_ESCAPE)) set_game_state(w, ACTION_MENU);
    StateScope play(w, STATE_PLAY);
    if (const char* level = level_text(w.level_index)) spawn_step(w, level, dt);
    simulation_frame(w, keys, 0, w.game_mode != MODE_ONE_PLAYER, dt);
    decide_match(w);
    // A decided match ends in its game-over screen, not in the shop.
    if (field_clear(w) && !(competing(w) && w.winner != WINNER_NONE)) {
        w.level_end_timer += dt;
        if (w.level_end_timer > w.settings.player_win_delay) complete_level(w);
    }
}

void shop_frame(World& w, const KeyFrame& keys) {
    if (keys.went_down(HGEK_ESCAPE)) set_game_state(w, ACTION_MENU);
    shop_purchases(w, keys);
    if (keys.went_down(HGEK_SPACE) || keys.went_down(HGEK_ENTER) ||
        keys.went_down(w.ship_records[0].key_fire) || keys.went_down(w.ship_records[1].key_fire))
        set_game_state(w, ACTION_START_LEVEL);
}

void game_over_frame(World& w, float dt) {
    w.game_over_timer += dt;
    if (w.game_over_timer > w.settings.game_over_delay) {
        w.game_over_timer = 0;
        set_game_state(w, ACTION_MENU);
    }
}

} // namespace

void new_world(World& w, const Settings& file, uint64_t seed, int screen_width, int screen_height) {
    w = World();
    reserve_world(w);
    pcg32_seed(w.rng, seed);
    random_float(w, -1, 1); // start-up draws one before anything else
    w.screen_width = screen_width;
    w.screen_height = screen_height;
    w.view_width[0] = static_cast<float>(screen_width);
    w.view_width[1] = static_cast<float>(half_width(w));
    w.view_height = static_cast<float>(screen_height);
    w.file_settings = w.settings = file;
    start_values(w);
    for (int p = 0; p < 2; ++p) {
        ship& s = w.ship_records[p];
        const int32_t* keys = w.settings.player_keys[p];
        s.key_left = keys[0];
        s.key_right = keys[1];
        s.key_up = keys[2];
        s.key_down = keys[3];
        s.key_fire = keys[4];
    }
    w.big_explosion = anim_clock(BIG_EXPLOSION.frames, w.settings.anim_kaboom_fps);
    w.small_explosion = anim_clock(SMALL_EXPLOSION.frames, w.settings.anim_boom_fps);
    anim_set_mode(w.big_explosion, ANIM_FWD | ANIM_NOLOOP);
    anim_set_mode(w.small_explosion, ANIM_FWD | ANIM_NOLOOP);
    const int looping[2] = {KIND_CHIKENROCKET, KIND_DRAGONFLY};
    for (int i = 0; i < 2; ++i) {
        w.loops[i] = anim_clock(IMAGES[looping[i]].frames, IMAGES[looping[i]].fps);
        anim_play(w.loops[i]);
        anim_set_mode(w.loops[i], ANIM_FWD | ANIM_LOOP);
    }
    set_game_state(w, ACTION_TITLE);
}

void set_game_state(World& w, int action) {
    // Every way out of play ends its pause, so no sound stays held.
    if (action >= ACTION_TITLE && action <= ACTION_START_LEVEL) set_paused(w, false);
    switch (action) {
    case ACTION_TITLE:
        w.game_state = STATE_TITLE;
        play_sound(w, SOUND_INTRO);
        break;
    case ACTION_NEW_GAME: new_game(w); break;
    case ACTION_TO_SHOP: to_shop(w); break;
    case ACTION_MENU: enter_menu(w); break;
    case ACTION_START_LEVEL: start_level(w); break;
    default: break;
    }
}

void complete_level(World& w) {
    w.level_index += 1;
    float f = w.game_mode == MODE_TEAMWORK ? 0.75f : 1.0f;
    int a = static_cast<int>((2 * w.iteration + 4) * f);
    int b = static_cast<int>((3 * w.iteration + 10) * f);
    if (competing(w)) {
        for (int p = 0; p < 2; ++p) {
            w.purse_bonus[p] = random_int(w, a, b);
            w.purse[p] += w.purse_bonus[p];
        }
    } else {
        w.bonus = random_int(w, a, b);
        w.money += w.bonus;
    }
    if (w.iteration == 8) {
        w.game_state = STATE_TITLE;
        reload_settings(w);
        start_values(w);
        return;
    }
    if (w.level_index == 50) {
        w.level_index = 0;
        w.iteration += 1;
        scale_up_difficulty(w.settings);
    }
    w.game_state = STATE_SHOP;
}

bool simulate(World& w, const KeyFrame& keys, float dt) {
    w.events.clear();
    // In the pause even the looping pictures stand still.
    if (!(w.paused && w.game_state == STATE_PLAY)) {
        anim_update(w.loops[1], dt);
        anim_update(w.loops[0], dt);
    }
    w.field_half = field_side(w) / 2;
    switch (w.game_state) {
    case STATE_TITLE: return title_frame(w, keys);
    case STATE_MENU: return menu_frame(w, keys, dt);
    case STATE_PLAY: play_frame(w, keys, dt); return false;
    case STATE_SHOP: shop_frame(w, keys); return false;
    case STATE_GAME_OVER: game_over_frame(w, dt); return false;
    default: return false;
    }
}

bool pause_key_down(const World& w, const KeyFrame& keys) {
    if (keys.went_down(HGEK_PAUSE)) return true;
    if (!keys.went_down('P')) return false;
    int players = w.game_mode == MODE_ONE_PLAYER ? 1 : 2;
    for (int p = 0; p < players; ++p) {
        const ship& s = w.ship_records[p];
        for (int key : {s.key_left, s.key_right, s.key_up, s.key_down, s.key_fire})
            if (key == 'P') return false;
    }
    return true;
}

void set_paused(World& w, bool paused) {
    if (paused == w.paused) return;
    w.paused = paused;
    emit(w, paused ? EVENT_PAUSE : EVENT_RESUME);
}
