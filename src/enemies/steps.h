// Steps shared by the enemy behaviour families; private to src/enemies/.
#pragma once

#include <cstddef>
#include <vector>

#include "settings/settings.h"
#include "world/records.h"
#include "world/world.h"

// Single-precision angles; the rounding of these literals is part of the behaviour.
constexpr float PI_F = 3.14159265f;
constexpr float TWO_PI_F = 6.2831855f;
constexpr float HALF_PI_F = 1.5707964f;

// The nearer ship as seen from an enemy, through last frame's view positions.
struct Target {
    int view;   // 0 or 1
    float d;    // squared distance to that view's ship
    float aim;  // world direction towards it, not reduced to 0..2pi
    float flee; // world direction away from it, not reduced
};

// Removes element i by copying the last one over it; the caller's index stays.
template <typename T> void swap_pop(std::vector<T>& list, std::size_t i) {
    list[i] = list.back();
    list.pop_back();
}

// One correction into 0..side, strict on both ends.
inline void wrap_coordinate(float& v, float side) {
    if (v > side) {
        v -= side;
    } else if (v < 0) {
        v += side;
    }
}

// Nearer of the active views' ships, by squared screen distance to the anchor.
Target nearer_ship(const World& w, const enemy& e);
// Plays an enemy sound in play only; the demo stays quiet.
void enemy_sound(World& w, Sound snd);
// When the cooldown has passed: resets fire_timer, draws RI(0, 100), true when below
// the probability. Otherwise false without a draw.
bool fire_draw(World& w, enemy& e, const EnemyTuning& t);
// One bullet at direction theta, bullet_outrange ahead, living bullet_lifetime.
void fire_shot(World& w, const enemy& e, const EnemyTuning& t, float theta);
// angle + b, then angle - b.
void fire_pair(World& w, const enemy& e, const EnemyTuning& t, float b);
// angle, +f, +2f, -f, -2f.
void fire_fan(World& w, const enemy& e, const EnemyTuning& t, float f);

// Family steps; each applies one frame of its kind's behaviour.
void hunter_step(World& w, enemy& e, float dt);      // eagle, hull, klin, disk
void dragonfly_step(World& w, enemy& e, float dt);   // fires backwards while retreating
void mozg_step(World& w, enemy& e, float dt);        // fan volleys, retreats after a pause
void arrow_step(World& w, enemy& e, float dt);       // returns by chance after its think delay
void fleer_step(World& w, enemy& e, float dt);       // runner, spike
void redgun_step(World& w, enemy& e, float dt);      // fires only when on target
void ananasgun_step(World& w, enemy& e, float dt);   // fan when pointing at the ship
void firestation_step(World& w, enemy& e, float dt); // launches firerockets to pending_list
void smallgun_step(World& w, enemy& e, float dt);    // spins; fires when pointing at the ship
void bluegun_step(World& w, enemy& e, float dt);     // spins; fires wherever it points
