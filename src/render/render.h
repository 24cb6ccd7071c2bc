// Drawing of a frame: each view into its own render target, then the targets
// and the state's texts on the screen. Reads the world, changes nothing in it.
#pragma once

#include "options/options.h"
#include "render/hud.h"
#include "world/world.h"

// What a frame's picture shows: the world, the player's choices and the hud.
struct Scene {
    const World& world;
    const player_options& options;
    const Hud& hud;
};

// Draws the picture of the world's state.
void render_frame(const Scene& sc);

// View v (0, 1) into its target, seen from ship `own` (0..3); with_partner
// adds the partner ship `partner`, its radar blip and its bullets.
void draw_view(const Scene& sc, int v, int own, int partner, bool with_partner);

// Every star once into the current target, repeating with the star box's
// period around the camera and turned like project_to_view.
void draw_stars(const World& w, float cam_x, float cam_y, float side_x, float side_y,
                float anchor_x, float anchor_y);
