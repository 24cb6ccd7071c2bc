#include "game/tuning.h"

#include <algorithm>

#include "game/options.h"
#include "world/globals.h"
#include "world/options.h"

void load_settings(bool all) {
    read_settings(all);
    if (!all) return;
    money = settings.start_money;
    // The level list has 50 entries and passes run 0..8: anything else would index past it.
    level_index = std::clamp(settings.start_level, 0, 49);
    iteration = std::clamp(settings.start_level_iteration, 0, 8);
    // A key the player remapped stays theirs, whatever the file says.
    apply_key_bindings();
    if (kaboom_anim) kaboom_anim->set_speed(settings.anim_kaboom_fps);
    if (boom_anim) boom_anim->set_speed(settings.anim_boom_fps);
    if (settings.star_count > 0) stars.reserve(static_cast<size_t>(settings.star_count));
}
