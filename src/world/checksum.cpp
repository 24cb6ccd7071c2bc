#include "world/checksum.h"

#include <cstring>

#include "world/world.h"

namespace {

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

uint32_t world_checksum(const World& w) {
    Hash h;
    h.i(w.game_state), h.i(w.game_mode), h.i(w.money), h.i(w.bonus), h.i(w.level_index);
    h.i(w.iteration);
    h.bytes(w.password, sizeof w.password);
    h.i(w.password_cursor), h.i(w.password_typing ? 1 : 0), h.f(w.quit_timer), h.i(w.map_index), h.i(w.spawning ? 1 : 0), h.i(w.spawn_index);
    h.i(w.spawn_pass);
    h.f(w.spawn_timer), h.f(w.level_end_timer), h.f(w.game_over_timer);
    h.f(w.blink_timer[0]), h.f(w.blink_timer[1]);
    h.i(w.purse[0]), h.i(w.purse[1]), h.i(w.winner), h.i(w.ships_in_contact ? 1 : 0);
    h.i(w.match.running ? 1 : 0), h.i(w.paused ? 1 : 0), h.i(w.online ? 1 : 0);
    h.word(static_cast<uint32_t>(w.rng.state)), h.word(static_cast<uint32_t>(w.rng.state >> 32));
    for (const ship& s : w.ship_records) hash_ship(h, s);
    h.i(static_cast<int32_t>(w.enemy_list.size()));
    for (const enemy& e : w.enemy_list) {
        h.i(e.kind), h.i(e.mode), h.i(e.armor);
        h.f(e.x), h.f(e.y), h.f(e.angle), h.f(e.speed), h.f(e.rotate), h.f(e.aux_a), h.f(e.aux_b);
        h.f(e.fire_timer);
    }
    h.i(static_cast<int32_t>(w.pending_list.size()));
    for (const std::vector<bullet>* list :
         {&w.player_bullets[0], &w.player_bullets[1], &w.enemy_bullets})
        hash_bullets(h, *list);
    h.i(static_cast<int32_t>(w.big_list.size())), h.i(static_cast<int32_t>(w.small_list.size()));
    for (const kaboom& k : w.big_list) h.f(k.x), h.f(k.y), h.f(k.delay), h.i(k.anim.frame);
    // Stars come from the random numbers, which are in already.
    h.i(static_cast<int32_t>(w.stars.size()));
    h.f(w.view_width[0]);
    return h.value;
}
