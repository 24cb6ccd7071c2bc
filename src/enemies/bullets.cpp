#include "enemies/bullets.h"

#include <cmath>

#include "enemies/steps.h"
#include "ships/field.h"
#include "world/world.h"

namespace {

void fly(bullet& b, float speed, float dt, float side) {
    b.x += std::cos(b.angle) * speed * dt;
    b.y += std::sin(b.angle) * speed * dt;
    wrap_coordinate(b.x, side);
    wrap_coordinate(b.y, side);
}

void project_bullet(World& w, bullet& b, int v, float margin) {
    ViewPoint p = project_to_view(w, w.ship_records[view_ship(w, v)], anchor_x(w, v),
                                  anchor_y(w, v), b.x, b.y);
    b.screen_x[v] = p.screen_x;
    b.screen_y[v] = p.screen_y;
    b.visible[v] = inside_view(w, p.screen_x, p.screen_y, margin) ? 1.0f : 0.0f;
}

// A player bullet lives while its own view shows it; the other view only draws it.
void move_player_bullets(World& w, int k, float dt, float side, bool second) {
    std::vector<bullet>& list = w.player_bullets[k];
    const float margin = w.settings.player_bullet_radius;
    std::size_t i = 0;
    while (i < list.size()) {
        bullet& b = list[i];
        fly(b, w.settings.player_bullet_speed, dt, side);
        project_bullet(w, b, 0, margin);
        if (k == 1 || second) project_bullet(w, b, 1, margin);
        if (b.visible[k] == 0.0f) {
            swap_pop(list, i);
        } else {
            ++i;
        }
    }
}

// Enemy bullets live for a time and may fly out of sight.
void move_enemy_bullets(World& w, float dt, float side, bool second) {
    const float margin = w.settings.enemy_bullet_radius;
    std::size_t i = 0;
    while (i < w.enemy_bullets.size()) {
        bullet& b = w.enemy_bullets[i];
        b.lifetime -= dt;
        if (b.lifetime < 0) {
            swap_pop(w.enemy_bullets, i);
            continue;
        }
        fly(b, w.settings.enemy_bullet_speed, dt, side);
        project_bullet(w, b, 0, margin);
        if (second) project_bullet(w, b, 1, margin);
        ++i;
    }
}

} // namespace

void move_bullets(World& w, float dt) {
    const float side = field_side(w);
    const bool second = second_view_active(w);
    move_player_bullets(w, 0, dt, side, second);
    move_player_bullets(w, 1, dt, side, second);
    move_enemy_bullets(w, dt, side, second);
}
