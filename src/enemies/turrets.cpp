// The kinds that stay put: redgun, ananasgun and firestation aim; smallgun and
// bluegun spin by their movement step and never steer.
#include <cmath>

#include "enemies/behaviours.h"
#include "enemies/spawn.h"
#include "enemies/steps.h"
#include "world/world.h"

// Has its own turn rule and counts the cooldown even out of range, so it may
// fire the moment a ship comes near.
void redgun_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_REDGUN];
    Target target = nearer_ship(w, e);
    float err = target.aim - e.angle;
    if (err > 3 * PI_F) {
        err -= 4 * PI_F;
    } else if (err > PI_F) {
        err -= TWO_PI_F;
    } else if (err < -PI_F) {
        err += TWO_PI_F;
    }
    float limit = t.rotate * dt;
    if (err > limit) err = limit;
    if (err < -limit) err = -limit;
    e.angle += err;
    e.fire_timer += dt;
    if (target.d < t.fire_radius && e.fire_timer > t.fire_cooldown) {
        e.fire_timer = 0;
        bool on_target = std::fabs(err) < limit;
        if (on_target && static_cast<float>(random_int(w, 0, 100)) < t.fire_probability) {
            enemy_sound(w, SOUND_ENEMY_FIRE_PIU);
            fire_shot(w, e, t, e.angle);
        }
    }
}

// The aim test takes the plain difference, so an aim past 2pi never matches.
void ananasgun_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_ANANASGUN];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (fire_draw(w, e, t) && target.d < t.fire_radius &&
        std::fabs(target.aim - e.angle) < t.fire_sensetivity) {
        enemy_sound(w, SOUND_ENEMY_FIRE_PIU);
        fire_fan(w, e, t, t.fire_angle);
    }
    steer(e, target.aim, t.rotate, dt);
}

// Launches at any distance; the rocket joins the field after the pass.
void firestation_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_FIRESTATION];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (fire_draw(w, e, t) && std::fabs(target.aim - e.angle) < t.fire_sensetivity) {
        enemy_sound(w, SOUND_ENEMY_ROCKET);
        create_enemy(w, 'f', e.x, e.y, e.angle, true);
    }
    steer(e, target.aim, t.rotate, dt);
}

void smallgun_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_SMALLGUN];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    float aim = std::fmod(target.aim, TWO_PI_F);
    if (fire_draw(w, e, t) && target.d < t.fire_radius &&
        std::fabs(aim - e.angle) < t.fire_sensetivity) {
        enemy_sound(w, SOUND_ENEMY_FIRE_PIU);
        fire_shot(w, e, t, e.angle);
    }
}

void bluegun_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_BLUEGUN];
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (fire_draw(w, e, t) && target.d < t.fire_radius) {
        enemy_sound(w, SOUND_ENEMY_FIRE_PIU);
        fire_shot(w, e, t, e.angle);
    }
}
