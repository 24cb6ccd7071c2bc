#include "ships/flight.h"

#include <cmath>

#include "settings/settings.h"

namespace {

const float TWO_PI = 6.2831855f;

// The tables have six rows; a level from a bad password or settings file must
// not read past them.
int table_row(const ship& s) {
    if (s.flexibility < 0) return 0;
    if (s.flexibility > 5) return 5;
    return s.flexibility;
}

// One correction at most: exactly 0 and exactly side stay put.
float wrap(float v, float side) {
    if (v > side) {
        v -= side;
    } else if (v < 0.0f) {
        v += side;
    }
    return v;
}

} // namespace

void thrust_step(const Settings& settings, ship& s, bool forward, bool backward, float dt) {
    const int f = table_row(s);
    if (forward) {
        s.speed += settings.forward_speedup[f] * dt;
        if (s.speed > settings.speed_vert_max[f]) s.speed = settings.speed_vert_max[f];
    }
    if (backward) {
        s.speed -= settings.backward_speedup[f] * dt;
        if (s.speed < settings.speed_vert_min[f]) s.speed = settings.speed_vert_min[f];
    }
    if (forward || backward) return;
    const float down = settings.forward_speeddown[f] * dt;
    const float back_down = settings.backward_speeddown[f] * dt; // negative
    if (s.speed > down) {
        s.speed -= down;
    } else if (s.speed < back_down) {
        s.speed -= back_down;
    } else {
        s.speed = 0.0f;
    }
}

void turn_step(const Settings& settings, ship& s, bool right, bool left, float dt) {
    const int f = table_row(s);
    if (right) {
        s.rotate_speed += settings.rotate_speedup[f] * dt;
        if (s.rotate_speed > settings.rotate_right_max[f]) {
            s.rotate_speed = settings.rotate_right_max[f];
        }
    }
    if (left) {
        s.rotate_speed -= settings.rotate_speedup[f] * dt;
        if (s.rotate_speed < settings.rotate_left_max[f]) {
            s.rotate_speed = settings.rotate_left_max[f];
        }
    }
    if (right || left) return;
    const float down = settings.rotate_speeddown[f] * dt;
    if (s.rotate_speed > down) {
        s.rotate_speed -= down;
    } else if (s.rotate_speed < -down) {
        s.rotate_speed += down;
    } else {
        s.rotate_speed = 0.0f;
    }
}

void integrate_ship(ship& s, float dt, float side) {
    const float step = dt * s.speed; // along the heading before this frame's turn
    s.angle += s.rotate_speed * dt;
    s.x += std::cos(s.angle) * step;
    s.y += std::sin(s.angle) * step;
    s.x = wrap(s.x, side);
    s.y = wrap(s.y, side);
    if (s.angle < 0.0f) {
        s.angle += TWO_PI;
    } else if (s.angle > TWO_PI) {
        s.angle -= TWO_PI;
    }
    s.side_x = -std::sin(s.angle);
    s.side_y = std::cos(s.angle);
}
