// The game-wide state: one instance of each, alive for the whole run.
#pragma once

#include <string>
#include <vector>

#include "engine/engine.h"
#include "gfx/animation.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
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

extern Engine* engine;                 // the engine handle
extern int game_state;                 // GameState
extern int game_mode;                  // GameMode
extern ship ship_records[4];           // 0, 1 players; 2, 3 the menu's demo ships
extern int money;                      // shared credits
extern int bonus;                      // credits paid for the last completed level
extern int purse[2];                   // COMPETITION: credits of ships 0 and 1
extern int purse_bonus[2];             // COMPETITION: what the last level paid each of them
extern int winner;                     // how the last COMPETITION match ended (MatchResult)
extern bool ships_in_contact;          // COMPETITION: the ships touched last frame
extern int level_index;                // 0..49 into level_list
extern int iteration;                  // completed passes through all 50 levels
extern std::vector<std::string> level_list; // the 50 level strings
extern char password[10];              // nine letters and a NUL
extern int password_cursor;            // 0..8, where the next typed letter goes
extern int map_index;                  // 0..3, selects map_max
extern bool spawning;                  // the level string still has enemies to place
extern float spawn_timer;              // seconds since the last one-by-one placement
extern int spawn_index;                // read position in the level string
extern int spawn_pass;                 // pass counter in the level string
extern float level_end_timer;          // seconds since the field became clear
extern float game_over_timer;          // seconds spent in game over
extern HCHANNEL intro_channel;         // the channel playing the intro music
extern bool clear_screen_once;         // the next render clears the screen to white once
extern char menu_notice[80];           // a line the menu shows under its own, "" for none
extern float view_anchor[2];           // (x, y) in view 0 where its own ship is drawn
extern float blink_timer[2];           // blink timers of views 0 and 1
extern float field_half;               // half the field side, taken at the top of each frame
extern std::vector<enemy> enemy_list;  // live enemies
extern std::vector<enemy> pending_list; // enemies made during a pass, joining after it
extern std::vector<bullet> player_bullets[2]; // bullets of the ships of views 0 and 1
extern std::vector<bullet> enemy_bullets;
extern std::vector<kaboom> big_list;   // large explosions
extern std::vector<kaboom> small_list; // small explosions
extern std::vector<star> stars;

// Empties every list above: enemies, bullets, explosions, stars.
void clear_world_lists();

// Resources, loaded at start-up and freed at shutdown. 0 / nullptr: not loaded.
extern HEFFECT snd_upgrade, snd_intro, snd_player_fire, snd_enemy_fire_khh, snd_small_boom,
    snd_big_boom, snd_start_level, snd_enemy_fire_piu, snd_enemy_rocket, snd_armor;
extern HTEXTURE tex_main, tex_logo, tex_kaboom;
extern Font* font1;
extern Font* font2;
extern HTARGET view_target[2];
extern Sprite* view_sprite[2];
extern int half_width; // (screen width - 2) / 2
extern Sprite* sprite_logo;
extern Sprite* sprite_star;
extern Sprite* sprite_ship0;
extern Sprite* sprite_ship1;
extern Sprite* sprite_enemy_bullet;
extern Sprite* sprite_player_bullet;
extern Sprite* sprite_dot;
extern Animation* kaboom_anim; // template of the large explosion
extern Animation* boom_anim;   // template of the small explosion
extern Animation* images[KIND_COUNT]; // one picture per enemy kind

// Helpers over the globals that every subsystem asks.
inline bool in_menu() { return game_state == STATE_MENU; }
// Ship index of view v: 0/1 in play, 2/3 in the menu.
inline int view_ship(int v) { return in_menu() ? 2 + v : v; }
// The second view takes part: always in the menu, in play unless ONE PLAYER.
inline bool second_view_active() { return in_menu() || game_mode != MODE_ONE_PLAYER; }
// Anchor of view v.
inline float anchor_x(int v) { return v == 0 ? view_anchor[0] : settings.split_screen_player1_x; }
inline float anchor_y(int v) { return v == 0 ? view_anchor[1] : settings.split_screen_player1_y; }
// The players fight each other rather than share.
inline bool competing() { return game_mode == MODE_COMPETITION; }
// Credits of player p: its own purse in COMPETITION, the shared money otherwise.
inline int credits_of(int p) { return competing() ? purse[p & 1] : money; }
// The current field side.
inline float field_side() { return settings.map_max[map_index]; }
