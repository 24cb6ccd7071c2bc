#include "game/tuning.h"

#include <algorithm>

#include "world/globals.h"

void load_settings(bool all) {
    read_settings(all);
    if (!all) return;
    money = settings.start_money;
    // The level list has 50 entries and passes run 0..8: anything else would index past it.
    level_index = std::clamp(settings.start_level, 0, 49);
    iteration = std::clamp(settings.start_level_iteration, 0, 8);
    for (int p = 0; p < 2; ++p) {
        ship& s = ship_records[p];
        s.key_left = settings.player_keys[p][0];
        s.key_right = settings.player_keys[p][1];
        s.key_up = settings.player_keys[p][2];
        s.key_down = settings.player_keys[p][3];
        s.key_fire = settings.player_keys[p][4];
    }
    if (kaboom_anim) kaboom_anim->set_speed(settings.anim_kaboom_fps);
    if (boom_anim) boom_anim->set_speed(settings.anim_boom_fps);
    if (settings.star_count > 0) stars.reserve(static_cast<size_t>(settings.star_count));
}
