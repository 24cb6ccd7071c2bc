// Drawing of a frame: each view into its own render target, then the targets
// and the state's texts on the screen. Reads the game state, changes nothing
// but clear_screen_once.
#pragma once

// The engine's render callback: draws the picture of game_state; returns false.
bool render_func();

// View v (0, 1) into view_target[v], seen from ship `own` (0..3); with_partner
// adds the partner ship `partner`, its radar blip and its bullets.
void draw_view(int v, int own, int partner, bool with_partner);

// Every star once into the current target, repeating with the star box's
// period around the camera and turned like project_to_view.
void draw_stars(float cam_x, float cam_y, float side_x, float side_y, float anchor_x,
                float anchor_y);
