// The whole simulation as one value: everything a frame reads and writes.
// Copying it saves a game exactly, and two copies given the same keys stay
// equal; nothing else changes while a frame runs.
#pragma once

#include <cstdint>
#include <vector>

#include "base/anim_clock.h"
#include "base/pcg32.h"
#include "settings/settings.h"
#include "world/records.h"

enum GameState {
    STATE_TITLE = 0,
    STATE_MENU = 1,
    STATE_PLAY = 2,
    STATE_SHOP = 3,
    STATE_GAME_OVER = 4,
};

// Values of `winner` besides 0 and 1, the ship that won.
enum MatchResult {
    WINNER_NONE = -1, // no match has ended
    WINNER_DRAW = 2,  // both lost their last ship in the same frame
};

enum GameMode {
    MODE_ONE_PLAYER = 0,
    MODE_TEAMWORK = 1,
    MODE_COMPETITION = 2, // the two players against each other, each with an own purse and stock
};

// The game's ten sound effects.
enum Sound {
    SOUND_UPGRADE,
    SOUND_INTRO,
    SOUND_PLAYER_FIRE,
    SOUND_ENEMY_FIRE_KHH,
    SOUND_SMALL_BOOM,
    SOUND_BIG_BOOM,
    SOUND_START_LEVEL,
    SOUND_ENEMY_FIRE_PIU,
    SOUND_ENEMY_ROCKET,
    SOUND_ARMOR,
    SOUND_COUNT
};

// What a frame gives out for the caller to play or show; the simulation
// itself never touches a device.
enum EventKind : uint8_t {
    EVENT_SOUND,            // play `sound` once
    EVENT_STOP_SOUNDS,      // stop every sound
    EVENT_MENU_MUSIC,       // the intro, unless it still sounds: else every sound stops first
    EVENT_PAUSE,            // every sound holds
    EVENT_RESUME,           // and goes on
    EVENT_PASSWORD_REFUSED, // the ninth letter made no password
    EVENT_LEVEL_START,      // a level begins: feedback starts afresh
};

struct Event {
    EventKind kind;
    uint8_t sound; // Sound, for EVENT_SOUND
};

// The ONE PLAYER or TEAMWORK game that a COMPETITION match set aside; the
// match gives it back when it ends, so its password survives the match.
struct SavedGame {
    int money = 0, bonus = 0, level_index = 0, iteration = 0;
    ship players[2] = {};
    Settings tuning{}; // the enemies as strong as that game's pass made them
};
struct MatchMemory {
    SavedGame game;
    bool running = false;
};

// A test's hand on the random numbers: it may choose a draw, and sees each
// draw's range. False leaves the draw to the generator.
class RandomTap {
  public:
    virtual bool draw_int(int min, int max, int& out) = 0;
    virtual bool draw_float(float min, float max, float& out) = 0;

  protected:
    ~RandomTap() = default;
};

struct World {
    int game_state = STATE_TITLE; // GameState
    int game_mode = MODE_ONE_PLAYER;
    ship ship_records[4] = {};     // 0, 1 players; 2, 3 the menu's demo ships
    int money = 0;                 // shared credits
    int bonus = 0;                 // credits paid for the last completed level
    int purse[2] = {};             // COMPETITION: credits of ships 0 and 1
    int purse_bonus[2] = {};       // COMPETITION: what the last level paid each of them
    int winner = WINNER_NONE;      // how the last COMPETITION match ended (MatchResult)
    bool ships_in_contact = false; // COMPETITION: the ships touched last frame
    MatchMemory match;
    int level_index = 0; // 0..49 into the level list
    int iteration = 0;   // completed passes through all 50 levels
    char password[10] = "AAAAAAAAA";
    int password_cursor = 0;   // 0..8, where the next typed letter goes
    bool password_typing = false; // letters typed since the menu came or the last ninth
    float quit_timer = 0;      // menu: seconds left in which a second Escape quits
    int map_index = 0;         // 0..3, selects map_max
    bool spawning = false;     // the level string still has enemies to place
    float spawn_timer = 0;     // seconds since the last one-by-one placement
    int spawn_index = 0;       // read position in the level string
    int spawn_pass = 0;        // pass counter in the level string
    float level_end_timer = 0; // seconds since the field became clear
    float game_over_timer = 0; // seconds spent in game over
    bool paused = false;       // play stands still
    bool online = false;       // two machines share this game: two-player modes only

    // The views: their sizes, where the own ship sits, the blinking of an
    // untouchable ship (its sprite shown or not).
    int screen_width = 800, screen_height = 590;
    float view_width[2] = {800, 399};
    float view_height = 590;
    float view_anchor[2] = {0, 0}; // (x, y) in view 0 where its own ship is drawn
    float blink_timer[2] = {0, 0};
    bool ship_shown[2] = {true, true};
    float field_half = 0; // half the field side, taken at the top of each frame

    // Explosions copy these clocks; two enemy pictures loop all the time.
    AnimClock big_explosion, small_explosion;
    AnimClock loops[2]; // the chikenrocket's and the dragonfly's pictures

    std::vector<enemy> enemy_list;         // live enemies
    std::vector<enemy> pending_list;       // enemies made during a pass, joining after it
    std::vector<bullet> player_bullets[2]; // bullets of the ships of views 0 and 1
    std::vector<bullet> enemy_bullets;
    std::vector<kaboom> big_list;   // large explosions
    std::vector<kaboom> small_list; // small explosions
    std::vector<star> stars;

    Settings settings{};       // as the game uses them: the enemies grow with each pass
    Settings file_settings{};  // as the settings file gave them
    Pcg32 rng;                 // every random number of the game
    RandomTap* tap = nullptr;  // tests only: scripted draws
    std::vector<Event> events; // what the last frame gave out
};

// Room for lists far longer than play makes, so that running and copying
// frames does not allocate.
void reserve_world(World& w);
// Empties every list: enemies, bullets, explosions, stars.
void clear_world_lists(World& w);

// Uniform, both ends included; the order of the draws is part of each algorithm.
int random_int(World& w, int min, int max);
float random_float(World& w, float min, float max);
// Puts an event out for the caller.
void emit(World& w, EventKind kind, int sound = 0);
inline void play_sound(World& w, Sound s) {
    emit(w, EVENT_SOUND, s);
}

// Helpers over the world that every subsystem asks.
inline bool in_menu(const World& w) {
    return w.game_state == STATE_MENU;
}
// Ship index of view v: 0/1 in play, 2/3 in the menu.
inline int view_ship(const World& w, int v) {
    return in_menu(w) ? 2 + v : v;
}
// The second view takes part: always in the menu, in play unless ONE PLAYER.
inline bool second_view_active(const World& w) {
    return in_menu(w) || w.game_mode != MODE_ONE_PLAYER;
}
// Anchor of view v.
inline float anchor_x(const World& w, int v) {
    return v == 0 ? w.view_anchor[0] : w.settings.split_screen_player1_x;
}
inline float anchor_y(const World& w, int v) {
    return v == 0 ? w.view_anchor[1] : w.settings.split_screen_player1_y;
}
// The players fight each other rather than share.
inline bool competing(const World& w) {
    return w.game_mode == MODE_COMPETITION;
}
// Credits of player p: its own purse in COMPETITION, the shared money otherwise.
inline int credits_of(const World& w, int p) {
    return competing(w) ? w.purse[p & 1] : w.money;
}
// The current field side.
inline float field_side(const World& w) {
    return w.settings.map_max[w.map_index];
}
// (screen width - 2) / 2: each view of the split screen.
inline int half_width(const World& w) {
    return (w.screen_width - 2) / 2;
}
