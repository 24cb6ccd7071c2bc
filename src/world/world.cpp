#include "world/world.h"

#include <cstddef>

namespace {

const std::size_t ENEMY_ROOM = 512;
const std::size_t BULLET_ROOM = 512;
const std::size_t KABOOM_ROOM = 256;
const std::size_t STAR_ROOM = 512;
const std::size_t EVENT_ROOM = 256;

} // namespace

void reserve_world(World& w) {
    w.enemy_list.reserve(ENEMY_ROOM);
    w.pending_list.reserve(ENEMY_ROOM);
    for (std::vector<bullet>* v : {&w.player_bullets[0], &w.player_bullets[1], &w.enemy_bullets})
        v->reserve(BULLET_ROOM);
    w.big_list.reserve(KABOOM_ROOM);
    w.small_list.reserve(KABOOM_ROOM);
    w.stars.reserve(STAR_ROOM);
    w.events.reserve(EVENT_ROOM);
}

void clear_world_lists(World& w) {
    w.enemy_list.clear();
    w.pending_list.clear();
    w.player_bullets[0].clear();
    w.player_bullets[1].clear();
    w.enemy_bullets.clear();
    w.big_list.clear();
    w.small_list.clear();
    w.stars.clear();
}

int random_int(World& w, int min, int max) {
    int v;
    if (w.tap && w.tap->draw_int(min, max, v)) return v;
    return pcg32_int(w.rng, min, max);
}

float random_float(World& w, float min, float max) {
    float v;
    if (w.tap && w.tap->draw_float(min, max, v)) return v;
    return pcg32_float(w.rng, min, max);
}

void emit(World& w, EventKind kind, int sound) {
    w.events.push_back({kind, static_cast<uint8_t>(sound)});
}
