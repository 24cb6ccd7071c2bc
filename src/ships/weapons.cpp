#include "ships/weapons.h"

#include <cmath>

#include "world/world.h"

namespace {

// Angle offsets of each firepower level's volley, in the order bullets are appended.
// Level 5's rear pair sits about 0.04 rad either side of straight back.
const int VOLLEY_LEVELS = 6;
const int VOLLEY_MAX = 7;
const int volley_size[VOLLEY_LEVELS] = {1, 2, 3, 4, 5, 7};
const float fire_pattern[VOLLEY_LEVELS][VOLLEY_MAX] = {
    {0.0f},
    {0.04f, -0.04f},
    {0.0f, 0.07f, -0.07f},
    {0.02f, -0.02f, 0.07f, -0.07f},
    {0.0f, 0.07f, -0.07f, 1.9f, -1.9f},
    {0.0f, 0.07f, -0.07f, 1.9f, -1.9f, 3.1815f, 3.1015f},
};

bool cooldown_passed(const World& w, const ship& s) {
    const float cooldown = w.settings.player_fire_cooldown;
    if (s.fire_held < w.settings.player_fire_reaction_delay) return s.fire_timer > cooldown;
    return s.fire_timer > 2.0f * cooldown; // held long: half the rate, so tapping pays
}

void append_volley(const World& w, const ship& s, std::vector<bullet>& out) {
    // A level outside the table fires nothing, but the volley still counts.
    if (s.firepower < 0 || s.firepower >= VOLLEY_LEVELS) return;
    const float* offsets = fire_pattern[s.firepower];
    const float reach = w.settings.player_bullet_outrange;
    for (int i = 0; i < volley_size[s.firepower]; ++i) {
        const float b = s.angle + offsets[i];
        bullet shot = {};
        shot.x = s.x + std::cos(b) * reach;
        shot.y = s.y + std::sin(b) * reach;
        shot.angle = b;
        out.push_back(shot);
    }
}

} // namespace

void fire_step(World& w, ship& s, int list, float dt, bool held, bool released, bool with_sound) {
    s.fire_timer += dt;
    if (held) s.fire_held += dt;
    if (released) s.fire_held = 0.0f;
    if (!held) return;
    if (!cooldown_passed(w, s)) return;
    if (with_sound) play_sound(w, SOUND_PLAYER_FIRE);
    s.fire_timer = 0.0f;
    if (list < 0 || list > 1) return;
    append_volley(w, s, w.player_bullets[list]);
}
