// The wrapping field, the views that turn with their ships, the partner's
// place in each view, the background stars and the explosions.
#pragma once

#include "world/world.h"

struct ViewPoint {
    float screen_x, screen_y; // in the view
    float radar_x, radar_y;   // on the view's radar
};

// The camera rule: nearest image on the torus (field_half), turned so the
// viewer's heading points up, placed around the anchor.
ViewPoint project_to_view(const World& w, const ship& viewer, float anchor_x, float anchor_y,
                          float px, float py);
// Strictly inside view 0's picture widened by margin on every side.
bool inside_view(const World& w, float screen_x, float screen_y, float margin);
// Both ships of the active pair see each other (menu, or play in a two-player mode).
void update_partners(World& w);
void add_explosion(World& w, float x, float y, bool big, float delay);
// Big list, then small list: project, count down delays, advance, remove finished ones.
void update_explosions(World& w, float dt);
// Scatters settings.star_count stars over the star box.
void make_stars(World& w);
