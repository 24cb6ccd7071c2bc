#include "enemies/behaviours.h"

#include <cmath>

#include "enemies/spawn.h"
#include "enemies/steps.h"
#include "ships/field.h"
#include "world/world.h"

float angle_to(float x1, float y1, float x2, float y2) {
    float dx = x2 - x1;
    float dy = y2 - y1;
    float a;
    if (dx != 0) {
        a = std::atan(dy / dx);
    } else if (dy == 0) {
        return 0; // the same point: no direction, and no NaN to carry into a heading
    } else {
        // atan of the infinity dy / dx would give, signed zeros included, without dividing by 0
        a = std::signbit(dx) == std::signbit(dy) ? HALF_PI_F : -HALF_PI_F;
    }
    if (dx < 0) {
        a += PI_F;
    } else if (dy < 0) {
        a += TWO_PI_F;
    }
    return a;
}

void steer(enemy& e, float wanted, float rate, float dt) {
    float err = std::fmod(wanted - e.angle, TWO_PI_F);
    if (err > PI_F) err -= TWO_PI_F;
    if (err < -PI_F) err += TWO_PI_F;
    float limit = rate * dt;
    if (err > limit) err = limit;
    if (err < -limit) err = -limit;
    e.angle += err;
}

Target nearer_ship(const World& w, const enemy& e) {
    Target t;
    t.view = 0;
    float dx = anchor_x(w, 0) - e.screen_x[0];
    float dy = anchor_y(w, 0) - e.screen_y[0];
    t.d = dx * dx + dy * dy;
    if (second_view_active(w)) {
        dx = anchor_x(w, 1) - e.screen_x[1];
        dy = anchor_y(w, 1) - e.screen_y[1];
        float d1 = dx * dx + dy * dy;
        if (d1 < t.d) {
            t.view = 1;
            t.d = d1;
        }
    }
    int v = t.view;
    float toward = angle_to(anchor_x(w, v), anchor_y(w, v), e.screen_x[v], e.screen_y[v]) +
                   w.ship_records[view_ship(w, v)].angle;
    t.aim = toward - HALF_PI_F;
    t.flee = toward + HALF_PI_F;
    return t;
}

void enemy_sound(World& w, Sound snd) {
    if (!in_menu(w)) play_sound(w, snd);
}

bool fire_draw(World& w, enemy& e, const EnemyTuning& t) {
    if (!(e.fire_timer > t.fire_cooldown)) return false;
    e.fire_timer = 0;
    int draw = random_int(w, 0, 100);
    return static_cast<float>(draw) < t.fire_probability;
}

void fire_shot(World& w, const enemy& e, const EnemyTuning& t, float theta) {
    bullet b = {};
    b.x = e.x + std::cos(theta) * t.bullet_outrange;
    b.y = e.y + std::sin(theta) * t.bullet_outrange;
    b.angle = theta;
    b.lifetime = t.bullet_lifetime;
    w.enemy_bullets.push_back(b);
}

void fire_pair(World& w, const enemy& e, const EnemyTuning& t, float b) {
    fire_shot(w, e, t, e.angle + b);
    fire_shot(w, e, t, e.angle - b);
}

void fire_fan(World& w, const enemy& e, const EnemyTuning& t, float f) {
    fire_shot(w, e, t, e.angle);
    fire_shot(w, e, t, e.angle + f);
    fire_shot(w, e, t, e.angle + 2 * f);
    fire_shot(w, e, t, e.angle - f);
    fire_shot(w, e, t, e.angle - 2 * f);
}

namespace {

// Turns at random, a third of the time straight on; fires only when view 0 sees it.
void bull_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_BULL];
    e.aux_a += dt;
    if (e.aux_a > e.aux_b) {
        e.aux_a = 0;
        e.aux_b = random_float(w, t.think_min, t.think_max);
        e.rotate = static_cast<float>(random_int(w, -1, 1)) * t.rotate;
    }
    e.fire_timer += dt;
    if (fire_draw(w, e, t) && e.visible[0]) {
        enemy_sound(w, SOUND_ENEMY_FIRE_KHH);
        fire_pair(w, e, t, t.bullet_angle);
    }
}

// Wanders in arcs and launches chikenrockets ahead of itself.
void chiken_step(World& w, enemy& e, float dt) {
    const EnemyTuning& t = w.settings.enemy[FAMILY_CHIKEN];
    e.aux_a += dt;
    if (e.aux_a > e.aux_b) {
        e.aux_a = 0;
        e.aux_b = random_float(w, t.think / 5, t.think);
        float sign = random_int(w, 1, 2) == 1 ? -1.0f : 1.0f;
        e.rotate = sign * t.rotate;
    }
    Target target = nearer_ship(w, e);
    e.fire_timer += dt;
    if (fire_draw(w, e, t) && target.d < t.fire_radius) {
        enemy_sound(w, SOUND_ENEMY_ROCKET);
        float o = t.fire_outrange;
        create_enemy(w, 'c', e.x + std::cos(e.angle) * o, e.y + std::sin(e.angle) * o, e.angle,
                     true);
    }
}

// Homes in while its speed lasts; false once it has run out (the caller removes it).
bool rocket_step(World& w, enemy& e, float dt, EnemyFamily family) {
    const EnemyTuning& t = w.settings.enemy[family];
    e.speed -= t.speed_down * dt;
    if (!(e.speed >= 0)) return false;
    steer(e, nearer_ship(w, e).aim, t.rotate, dt);
    return true;
}

// One behaviour step; false when the enemy leaves the list.
bool behave(World& w, enemy& e, float dt) {
    // An unknown kind does nothing, and never reaches a per-kind table.
    if (e.kind < 0 || e.kind >= KIND_COUNT) return true;
    switch (static_cast<EnemyKind>(e.kind)) {
    case KIND_METEOR_LARGE:
    case KIND_METEOR_MEDIUM:
    case KIND_METEOR_SMALL: e.angle += e.rotate * dt; break;
    case KIND_GRAVY_LARGE:
    case KIND_GRAVY_MEDIUM:
    case KIND_GRAVY_SMALL:
        e.angle += 2 * e.rotate * dt;
        e.aux_a += e.rotate * dt;
        break;
    case KIND_BULL: bull_step(w, e, dt); break;
    case KIND_EAGLE:
    case KIND_KLIN:
    case KIND_HULL:
    case KIND_DISK: hunter_step(w, e, dt); break;
    case KIND_RUNNER:
    case KIND_SPIKE: fleer_step(w, e, dt); break;
    case KIND_REDGUN: redgun_step(w, e, dt); break;
    case KIND_SMALLGUN: smallgun_step(w, e, dt); break;
    case KIND_BLUEGUN: bluegun_step(w, e, dt); break;
    case KIND_ANANASGUN: ananasgun_step(w, e, dt); break;
    case KIND_ARROW: arrow_step(w, e, dt); break;
    case KIND_FIRESTATION: firestation_step(w, e, dt); break;
    case KIND_FIREROCKET: return rocket_step(w, e, dt, FAMILY_FIREROCKET);
    case KIND_CHIKEN: chiken_step(w, e, dt); break;
    case KIND_CHIKENROCKET: return rocket_step(w, e, dt, FAMILY_CHIKENROCKET);
    case KIND_DRAGONFLY: dragonfly_step(w, e, dt); break;
    case KIND_MOZG: mozg_step(w, e, dt); break;
    case KIND_COUNT: break;
    }
    return true;
}

void move_by_mode(enemy& e, float dt) {
    if (e.mode < MODE_DRIFT || e.mode > MODE_SPINNER) return;
    float s = e.speed * dt;
    switch (static_cast<EnemyMode>(e.mode)) {
    case MODE_DRIFT:
        e.x += std::cos(e.aux_a) * s;
        e.y += std::sin(e.aux_a) * s;
        break;
    case MODE_ORBIT:
        e.x += std::cos(e.aux_b) * s + 2 * std::cos(e.aux_a) * s;
        e.y += std::sin(e.aux_b) * s + 2 * std::sin(e.aux_a) * s;
        break;
    case MODE_WANDER:
        e.angle += e.rotate * dt;
        e.x += std::cos(e.angle) * s;
        e.y += std::sin(e.angle) * s;
        break;
    case MODE_APPROACH:
    case MODE_RETREAT:
        e.x += std::cos(e.angle) * s;
        e.y += std::sin(e.angle) * s;
        break;
    case MODE_TURRET: break;
    case MODE_SPINNER: e.angle += e.rotate * dt; break;
    }
}

void project_enemy(World& w, enemy& e, int v) {
    ViewPoint p = project_to_view(w, w.ship_records[view_ship(w, v)], anchor_x(w, v),
                                  anchor_y(w, v), e.x, e.y);
    e.screen_x[v] = p.screen_x;
    e.screen_y[v] = p.screen_y;
    e.radar_x[v] = p.radar_x;
    e.radar_y[v] = p.radar_y;
    e.visible[v] = inside_view(w, p.screen_x, p.screen_y, e.view_radius);
}

} // namespace

void update_enemy_behaviours(World& w, float dt) {
    std::size_t i = 0;
    while (i < w.enemy_list.size()) {
        if (behave(w, w.enemy_list[i], dt)) {
            ++i;
        } else {
            swap_pop(w.enemy_list, i);
        }
    }
    if (!w.pending_list.empty()) flush_pending(w);
}

void move_enemies(World& w, float dt) {
    const float side = field_side(w);
    const bool second = second_view_active(w);
    for (enemy& e : w.enemy_list) {
        move_by_mode(e, dt);
        wrap_coordinate(e.x, side);
        wrap_coordinate(e.y, side);
        if (e.angle < 0) {
            e.angle += TWO_PI_F;
        } else if (e.angle > TWO_PI_F) {
            e.angle -= TWO_PI_F;
        }
        project_enemy(w, e, 0);
        if (second) project_enemy(w, e, 1);
    }
}
