#include "online/world_state.h"

#include <cstring>

#include "world/globals.h"
#include "game/states.h"
#include "game/tuning.h"

namespace {

const size_t ENEMY_ROOM = 512;
const size_t BULLET_ROOM = 512;
const size_t KABOOM_ROOM = 256;
const size_t STAR_ROOM = 512;

int view0_width() { return view_sprite[0] ? static_cast<int>(view_sprite[0]->get_width()) : 0; }

// An FNV-style mix of 32-bit values, never of padding: cheap enough to run
// after every frame.
class Hash {
  public:
    uint32_t value = 2166136261u;
    void word(uint32_t w) { value = (value ^ w) * 16777619u ^ (value >> 15); }
    void bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) word(b[i]);
    }
    void i(int32_t v) { word(static_cast<uint32_t>(v)); }
    void f(float v) {
        uint32_t w;
        std::memcpy(&w, &v, sizeof w);
        word(w);
    }
};

void hash_ship(Hash& h, const ship& s) {
    h.f(s.x), h.f(s.y), h.f(s.angle), h.f(s.speed), h.f(s.rotate_speed), h.f(s.invul_timer);
    h.f(s.fire_timer), h.f(s.fire_held), h.f(s.death_timer);
    h.i(s.firepower), h.i(s.flexibility), h.i(s.armor), h.i(s.shield), h.i(s.ships);
}

void hash_bullets(Hash& h, const std::vector<bullet>& list) {
    h.i(static_cast<int32_t>(list.size()));
    for (const bullet& b : list) h.f(b.x), h.f(b.y), h.f(b.angle), h.f(b.lifetime);
}

} // namespace

void reserve_world(WorldSnapshot& s) {
    for (std::vector<enemy>* v : {&s.enemies, &s.pending, &enemy_list, &pending_list})
        v->reserve(ENEMY_ROOM);
    for (std::vector<bullet>* v : {&s.player_bullets[0], &s.player_bullets[1], &s.enemy_bullets,
                                   &player_bullets[0], &player_bullets[1], &enemy_bullets})
        v->reserve(BULLET_ROOM);
    for (std::vector<kaboom>* v : {&s.big, &s.small, &big_list, &small_list})
        v->reserve(KABOOM_ROOM);
    s.stars.reserve(STAR_ROOM);
    stars.reserve(STAR_ROOM);
    s.loops.reserve(2);
}

void save_world(WorldSnapshot& s) {
    s.game_state = game_state;
    s.game_mode = game_mode;
    s.money = money;
    s.bonus = bonus;
    s.level_index = level_index;
    s.iteration = iteration;
    std::memcpy(s.ships, ship_records, sizeof s.ships);
    std::memcpy(s.password, password, sizeof s.password);
    s.password_cursor = password_cursor;
    s.map_index = map_index;
    s.spawning = spawning;
    s.spawn_timer = spawn_timer;
    s.spawn_index = spawn_index;
    s.spawn_pass = spawn_pass;
    s.level_end_timer = level_end_timer;
    s.game_over_timer = game_over_timer;
    s.intro_channel = intro_channel;
    s.clear_screen_once = clear_screen_once;
    std::memcpy(s.view_anchor, view_anchor, sizeof s.view_anchor);
    std::memcpy(s.blink_timer, blink_timer, sizeof s.blink_timer);
    s.field_half = field_half;
    s.view0_width = view0_width();
    s.random = engine->Random_GetState();
    s.tuning = settings;
    s.enemies = enemy_list;
    s.pending = pending_list;
    s.player_bullets[0] = player_bullets[0];
    s.player_bullets[1] = player_bullets[1];
    s.enemy_bullets = enemy_bullets;
    s.big = big_list;
    s.small = small_list;
    s.stars = stars;
    std::memcpy(s.purse, purse, sizeof s.purse);
    std::memcpy(s.purse_bonus, purse_bonus, sizeof s.purse_bonus);
    s.winner = winner;
    s.ships_in_contact = ships_in_contact;
    s.match = match_memory;
    s.game_paused = game_paused;
    s.invalid_password_time = invalid_password_time;
    std::memcpy(s.armor_flash, armor_flash, sizeof s.armor_flash);
    if (images[21] && images[22]) {
        if (s.loops.empty()) {
            s.loops.push_back(*images[21]);
            s.loops.push_back(*images[22]);
        } else {
            s.loops[0] = *images[21];
            s.loops[1] = *images[22];
        }
    }
}

void restore_world(const WorldSnapshot& s) {
    game_state = s.game_state;
    game_mode = s.game_mode;
    money = s.money;
    bonus = s.bonus;
    level_index = s.level_index;
    iteration = s.iteration;
    std::memcpy(ship_records, s.ships, sizeof s.ships);
    std::memcpy(password, s.password, sizeof s.password);
    password_cursor = s.password_cursor;
    map_index = s.map_index;
    spawning = s.spawning;
    spawn_timer = s.spawn_timer;
    spawn_index = s.spawn_index;
    spawn_pass = s.spawn_pass;
    level_end_timer = s.level_end_timer;
    game_over_timer = s.game_over_timer;
    intro_channel = s.intro_channel;
    clear_screen_once = s.clear_screen_once;
    std::memcpy(view_anchor, s.view_anchor, sizeof view_anchor);
    std::memcpy(blink_timer, s.blink_timer, sizeof blink_timer);
    field_half = s.field_half;
    // Only a rollback across a change of mode between menu and shop lands here.
    if (s.view0_width > 0 && s.view0_width != view0_width()) replace_view0(s.view0_width);
    engine->Random_SetState(s.random);
    settings = s.tuning;
    enemy_list = s.enemies;
    pending_list = s.pending;
    player_bullets[0] = s.player_bullets[0];
    player_bullets[1] = s.player_bullets[1];
    enemy_bullets = s.enemy_bullets;
    big_list = s.big;
    small_list = s.small;
    stars = s.stars;
    std::memcpy(purse, s.purse, sizeof purse);
    std::memcpy(purse_bonus, s.purse_bonus, sizeof purse_bonus);
    winner = s.winner;
    ships_in_contact = s.ships_in_contact;
    match_memory = s.match;
    game_paused = s.game_paused;
    invalid_password_time = s.invalid_password_time;
    std::memcpy(armor_flash, s.armor_flash, sizeof armor_flash);
    if (images[21] && images[22] && s.loops.size() == 2) {
        *images[21] = s.loops[0];
        *images[22] = s.loops[1];
    }
}

namespace {

// What the checksum reads, from the live game or from a saved state alike.
struct Decided {
    int game_state, game_mode, money, bonus, level_index, iteration;
    const char* password;
    int password_cursor, map_index, spawn_index, spawn_pass, winner;
    bool spawning, ships_in_contact, match_running, game_paused;
    float spawn_timer, level_end_timer, game_over_timer;
    const float* blink_timer;
    const int* purse;
    uint64_t random;
    const ship* ships;
    const std::vector<enemy>* enemies;
    const std::vector<enemy>* pending;
    const std::vector<bullet>* bullets[3]; // player 0, player 1, enemy
    const std::vector<kaboom>* big;
    const std::vector<kaboom>* small;
    const std::vector<star>* stars;
};

uint32_t checksum(const Decided& d) {
    Hash h;
    h.i(d.game_state), h.i(d.game_mode), h.i(d.money), h.i(d.bonus), h.i(d.level_index);
    h.i(d.iteration);
    h.bytes(d.password, sizeof password);
    h.i(d.password_cursor), h.i(d.map_index), h.i(d.spawning ? 1 : 0), h.i(d.spawn_index);
    h.i(d.spawn_pass);
    h.f(d.spawn_timer), h.f(d.level_end_timer), h.f(d.game_over_timer);
    h.f(d.blink_timer[0]), h.f(d.blink_timer[1]);
    h.i(d.purse[0]), h.i(d.purse[1]), h.i(d.winner), h.i(d.ships_in_contact ? 1 : 0);
    h.i(d.match_running ? 1 : 0), h.i(d.game_paused ? 1 : 0);
    h.word(static_cast<uint32_t>(d.random)), h.word(static_cast<uint32_t>(d.random >> 32));
    for (int i = 0; i < 4; ++i) hash_ship(h, d.ships[i]);
    h.i(static_cast<int32_t>(d.enemies->size()));
    for (const enemy& e : *d.enemies) {
        h.i(e.kind), h.i(e.mode), h.i(e.armor);
        h.f(e.x), h.f(e.y), h.f(e.angle), h.f(e.speed), h.f(e.rotate), h.f(e.aux_a), h.f(e.aux_b);
        h.f(e.fire_timer);
    }
    h.i(static_cast<int32_t>(d.pending->size()));
    for (const std::vector<bullet>* list : d.bullets) hash_bullets(h, *list);
    h.i(static_cast<int32_t>(d.big->size())), h.i(static_cast<int32_t>(d.small->size()));
    for (const kaboom& k : *d.big) h.f(k.x), h.f(k.y), h.f(k.delay), h.i(k.anim.get_frame());
    // Stars come from the random numbers, which are in already.
    h.i(static_cast<int32_t>(d.stars->size()));
    return h.value;
}

} // namespace

uint32_t world_checksum() {
    return checksum({game_state, game_mode, money, bonus, level_index, iteration, password,
                     password_cursor, map_index, spawn_index, spawn_pass, winner, spawning,
                     ships_in_contact, match_memory.running, game_paused, spawn_timer,
                     level_end_timer, game_over_timer, blink_timer, purse,
                     engine->Random_GetState(), ship_records, &enemy_list, &pending_list,
                     {&player_bullets[0], &player_bullets[1], &enemy_bullets}, &big_list,
                     &small_list, &stars});
}

uint32_t world_checksum(const WorldSnapshot& s) {
    return checksum({s.game_state, s.game_mode, s.money, s.bonus, s.level_index, s.iteration,
                     s.password, s.password_cursor, s.map_index, s.spawn_index, s.spawn_pass,
                     s.winner, s.spawning, s.ships_in_contact, s.match.running, s.game_paused,
                     s.spawn_timer, s.level_end_timer, s.game_over_timer, s.blink_timer, s.purse,
                     s.random, s.ships, &s.enemies, &s.pending,
                     {&s.player_bullets[0], &s.player_bullets[1], &s.enemy_bullets}, &s.big,
                     &s.small, &s.stars});
}

void reset_world(int seed) {
    engine->Random_Seed(seed);
    engine->Random_Float(-1, 1); // as start-up draws one
    game_state = STATE_TITLE;
    game_mode = MODE_ONE_PLAYER;
    for (ship& s : ship_records) s = ship{};
    bonus = 0;
    std::strcpy(password, "AAAAAAAAA");
    password_cursor = 0;
    map_index = 0;
    spawning = false;
    spawn_timer = 0;
    spawn_index = spawn_pass = 0;
    level_end_timer = game_over_timer = 0;
    clear_screen_once = false;
    view_anchor[0] = view_anchor[1] = 0;
    blink_timer[0] = blink_timer[1] = 0;
    field_half = 0;
    clear_world_lists();
    purse[0] = purse[1] = purse_bonus[0] = purse_bonus[1] = 0;
    winner = WINNER_NONE;
    ships_in_contact = false;
    match_memory = MatchMemory{};
    game_paused = options_open = false;
    invalid_password_time = armor_flash[0] = armor_flash[1] = 0;
    replace_view0(engine->System_GetStateInt(HGE_SCREENWIDTH));
    load_settings(true);
}
