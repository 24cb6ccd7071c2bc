// The plain records that the subsystems share. Nothing here has behaviour.
#pragma once

#include <cstdint>

#include "base/anim_clock.h"

// A player's or a demo pilot's ship. Four exist for the whole run.
struct ship {
    float x, y;   // world position
    float angle;  // heading, radians in 0..2pi; moves along (cos, sin)
    float partner_screen_x, partner_screen_y; // the partner in this ship's view
    float partner_radar_x, partner_radar_y;   // the partner on this view's radar
    bool partner_visible;                     // the partner lies in this view (with a margin)
    float side_x, side_y; // -sin angle, cos angle: the unit vector to the ship's right
    float invul_timer;    // seconds since entering play; untouchable up to player_invul_delay
    // Virtual-key codes for players; 0/1 held flags for the demo pilot.
    int32_t key_left, key_right, key_up, key_down, key_fire;
    int32_t firepower;   // 0..5
    int32_t flexibility; // 0..5, index into the flight tables
    int32_t armor;       // hits left; below 0 the ship is destroyed
    int32_t shield;      // 0..5, armor on entering play
    int32_t ships;       // the pair's stock of ships (each rival's own in COMPETITION)
    float fire_timer;    // seconds since the last volley
    float fire_held;     // seconds the fire control has been held
    float death_timer;   // seconds since destruction
    float speed;         // signed, along the heading, units/s
    float rotate_speed;  // signed, rad/s; positive turns clockwise on screen
};

// Enemy kinds, numbered as the picture table.
enum EnemyKind {
    KIND_METEOR_LARGE,
    KIND_METEOR_MEDIUM,
    KIND_METEOR_SMALL,
    KIND_GRAVY_LARGE,
    KIND_GRAVY_MEDIUM,
    KIND_GRAVY_SMALL,
    KIND_BULL,
    KIND_EAGLE,
    KIND_RUNNER,
    KIND_REDGUN,
    KIND_KLIN,
    KIND_SPIKE,
    KIND_SMALLGUN,
    KIND_HULL,
    KIND_BLUEGUN,
    KIND_ANANASGUN,
    KIND_ARROW,
    KIND_DISK,
    KIND_FIRESTATION,
    KIND_FIREROCKET,
    KIND_CHIKEN,
    KIND_CHIKENROCKET,
    KIND_DRAGONFLY,
    KIND_MOZG,
    KIND_COUNT
};

// Movement modes.
enum EnemyMode {
    MODE_DRIFT,    // straight along aux_a
    MODE_ORBIT,    // along aux_b plus twice the turning aux_a
    MODE_WANDER,   // angle turns at rotate; flies along angle
    MODE_APPROACH, // flies along angle, steered towards the nearer ship
    MODE_RETREAT,  // flies along angle, steered away from it
    MODE_TURRET,   // still
    MODE_SPINNER,  // still; angle turns at rotate
};

struct enemy {
    int32_t kind;     // EnemyKind; also indexes the picture table
    float x, y;       // world position
    float angle;      // heading and drawing angle, 0..2pi
    float screen_x[2], screen_y[2]; // position in views 0 and 1
    float radar_x[2], radar_y[2];   // radar blip in views 0 and 1
    bool visible[2];  // inside the view with the margin view_radius
    float fire_timer; // seconds since the last fire decision
    float speed;      // units/s
    float rotate;     // spin or turn rate, rad/s
    float aux_a;      // meteors, gravies: travel direction; bull, chiken, arrow, mozg: think timer
    float aux_b;      // gravies: second direction; bull, chiken, arrow, mozg: think delay
    float view_radius;
    int32_t mode;     // EnemyMode
    float hit_radius;
    int32_t armor;    // further hits survived; a hit finding it below 1 destroys
};

struct bullet {
    float x, y;
    float angle; // direction of flight
    float screen_x[2], screen_y[2];
    float visible[2]; // 1.0 inside the view (with the margin), else 0.0
    float lifetime;   // enemy bullets: seconds left
};

struct kaboom {
    float x, y;
    float view0_x, view0_y;
    float view1_x, view1_y; // kept up to date only while view 1 is in use
    float delay;            // seconds before the animation starts; negative once started
    AnimClock anim;         // the explosion's own copy of a template clock
};

struct star {
    float x, y;
};
