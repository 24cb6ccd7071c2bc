// The kinds that close in and turn away: eagle, hull, klin, disk, dragonfly,
// mozg and arrow; and the runner and spike, which only flee.

#include "enemies/behaviours.h"
#include "enemies/steps.h"
#include "world/world.h"

namespace {

struct HunterKind {
    EnemyFamily family;
    bool pair; // a pair at +-bullet_angle, else one bullet straight ahead
    Sound snd;
};

HunterKind hunter_kind(int kind) {
    switch (kind) {
    case KIND_EAGLE: return {FAMILY_EAGLE, true, SOUND_ENEMY_FIRE_KHH};
    case KIND_HULL: return {FAMILY_HULL, true, SOUND_ENEMY_FIRE_KHH};
    case KIND_KLIN: return {FAMILY_KLIN, false, SOUND_ENEMY_FIRE_PIU};
    default: return {FAMILY_DISK, false, SOUND_ENEMY_FIRE_PIU};
    }
}

} // namespace

// Approach then retreat in one frame is allowed; back to approach waits a frame.
void hunter_step(World& w, enemy& e, float dt) {
    HunterKind k = hunter_kind(e.kind);
    const EnemyTuning& t = w.settings.enemy[k.family];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (e.mode == MODE_APPROACH) {
        steer(e, target.aim, t.rotate, dt);
        if (fire_draw(w, e, t) && target.d < t.fire_radius) {
            enemy_sound(w, k.snd);
            if (k.pair) {
                fire_pair(w, e, t, t.bullet_angle);
            } else {
                fire_shot(w, e, t, e.angle);
            }
        }
        if (target.d < t.turn_out) e.mode = MODE_RETREAT;
    }
    if (e.mode == MODE_RETREAT) {
        steer(e, target.flee, t.rotate, dt);
        if (target.d > t.turn_to) e.mode = MODE_APPROACH;
    }
}

// Holds fire a moment after turning (fire_timer -0.1), then shoots behind it.
void dragonfly_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_DRAGONFLY];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (e.mode == MODE_APPROACH) {
        steer(e, target.aim, t.rotate, dt);
        if (target.d < t.turn_out) {
            e.mode = MODE_RETREAT;
            e.fire_timer = -0.1f;
        }
    }
    if (e.mode == MODE_RETREAT) {
        steer(e, target.flee, t.rotate, dt);
        if (fire_draw(w, e, t) && target.d < t.fire_radius) {
            enemy_sound(w, SOUND_ENEMY_FIRE_KHH);
            fire_shot(w, e, t, e.angle + PI_F);
        }
        if (target.d > t.turn_to) e.mode = MODE_APPROACH;
    }
}

// aux_a counts the time spent attacking; after a very close pass it attacks
// again for at least aux_b seconds.
void mozg_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_MOZG];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (e.mode == MODE_APPROACH) {
        steer(e, target.aim, t.rotate, dt);
        if (fire_draw(w, e, t) && target.d < t.fire_radius) {
            enemy_sound(w, SOUND_ENEMY_FIRE_PIU);
            fire_fan(w, e, t, t.fire_angle);
        }
        e.aux_a += dt;
        if (target.d < t.turn_out && e.aux_a > e.aux_b) e.mode = MODE_RETREAT;
    }
    if (e.mode == MODE_RETREAT) {
        steer(e, target.flee, t.rotate, dt);
        if (target.d > t.turn_to) e.mode = MODE_APPROACH;
        if (target.d < t.turn_out - 20000) {
            e.mode = MODE_APPROACH;
            e.aux_a = 0;
            e.aux_b = 1.0f;
        }
    }
}

// Never fires; comes back only by chance, once per think delay.
void arrow_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_ARROW];
    Target target = nearer_ship(w, e);
    if (e.mode == MODE_APPROACH) {
        steer(e, target.aim, t.rotate, dt);
        if (target.d < t.turn_out) e.mode = MODE_RETREAT;
    }
    if (e.mode == MODE_RETREAT) {
        steer(e, target.flee, t.rotate, dt);
        e.aux_a += dt;
        if (e.aux_a > e.aux_b) {
            e.aux_a = 0;
            e.aux_b = random_float(w, t.turn_to_think_delay_min, t.turn_to_think_delay_max);
            if (static_cast<float>(random_int(w, 0, 100)) < t.turn_to_probability) {
                e.mode = MODE_APPROACH;
            }
        }
    }
}

void fleer_step(World& w, enemy& e, float dt) {
    EnemyFamily family = e.kind == KIND_SPIKE ? FAMILY_SPIKE : FAMILY_RUNNER;
    steer(e, nearer_ship(w, e).flee, w.settings.enemy[family].rotate, dt);
}
