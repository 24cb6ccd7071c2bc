#include "world/globals.h"

Engine* engine = nullptr;
int game_state = STATE_TITLE;
int game_mode = MODE_ONE_PLAYER;
ship ship_records[4] = {};
int money = 0;
int bonus = 0;
int purse[2] = {0, 0};
int purse_bonus[2] = {0, 0};
int winner = WINNER_NONE;
bool ships_in_contact = false;
int level_index = 0;
int iteration = 0;
std::vector<std::string> level_list;
char password[10] = "AAAAAAAAA";
int password_cursor = 0;
int map_index = 0;
bool spawning = false;
float spawn_timer = 0;
int spawn_index = 0;
int spawn_pass = 0;
float level_end_timer = 0;
float game_over_timer = 0;
HCHANNEL intro_channel = 0;
bool clear_screen_once = false;
char menu_notice[80] = "";
float view_anchor[2] = {0, 0};
float blink_timer[2] = {0, 0};
float field_half = 0;
std::vector<enemy> enemy_list;
std::vector<enemy> pending_list;
std::vector<bullet> player_bullets[2];
std::vector<bullet> enemy_bullets;
std::vector<kaboom> big_list;
std::vector<kaboom> small_list;
std::vector<star> stars;

HEFFECT snd_upgrade = 0, snd_intro = 0, snd_player_fire = 0, snd_enemy_fire_khh = 0,
        snd_small_boom = 0, snd_big_boom = 0, snd_start_level = 0, snd_enemy_fire_piu = 0,
        snd_enemy_rocket = 0, snd_armor = 0;
HTEXTURE tex_main = 0, tex_logo = 0, tex_kaboom = 0;
Font* font1 = nullptr;
Font* font2 = nullptr;
HTARGET view_target[2] = {0, 0};
Sprite* view_sprite[2] = {nullptr, nullptr};
int half_width = 0;
Sprite* sprite_logo = nullptr;
Sprite* sprite_star = nullptr;
Sprite* sprite_ship0 = nullptr;
Sprite* sprite_ship1 = nullptr;
Sprite* sprite_enemy_bullet = nullptr;
Sprite* sprite_player_bullet = nullptr;
Sprite* sprite_dot = nullptr;
Animation* kaboom_anim = nullptr;
Animation* boom_anim = nullptr;
Animation* images[KIND_COUNT] = {};

void clear_world_lists() {
    enemy_list.clear();
    pending_list.clear();
    player_bullets[0].clear();
    player_bullets[1].clear();
    enemy_bullets.clear();
    big_list.clear();
    small_list.clear();
    stars.clear();
}
