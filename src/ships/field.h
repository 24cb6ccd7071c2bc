// The wrapping field, the views that turn with their ships, the partner's
// place in each view, the background stars and the explosions.
#pragma once

#include "world/records.h"

struct ViewPoint {
    float screen_x, screen_y; // in the view
    float radar_x, radar_y;   // on the view's radar
};

// The camera rule: nearest image on the torus (field_half), turned so the
// viewer's heading points up, placed around the anchor.
ViewPoint project_to_view(const ship& viewer, float anchor_x, float anchor_y, float px, float py);
// Strictly inside view 0's picture widened by margin on every side.
bool inside_view(float screen_x, float screen_y, float margin);
// Both ships of the active pair see each other (menu, or play in a two-player mode).
void update_partners();
void add_explosion(float x, float y, bool big, float delay);
// Big list, then small list: project, count down delays, advance, remove finished ones.
void update_explosions(float dt);
// Scatters settings.star_count stars over the star box.
void make_stars();
