// What the player aids, the pause and the options screen draw. With every aid
// off nothing here draws but "PAUSED" in a paused game, the options screen and
// the menu's "TAB OPTIONS".
#pragma once

#include "world/world.h"

struct Scene;

// A name for a virtual-key code, for the options screen ("LEFT", "CTRL", "Q").
// buf holds at least 16 bytes; returns buf.
const char* key_label(int key, char* buf);

// A radar blip with the radar aid: larger, the partner in its own colour.
void draw_aid_blip(float x, float y, bool partner);
// Over view v of play, seen from ship `own`, before its scene ends: edge
// markers, the status strip, the border flash, feedback texts, "PAUSED".
void draw_view_aids(const Scene& sc, int v, int own);
// On the screen, over the state's own picture.
void draw_title_aids(const Scene& sc);
void draw_menu_aids(const Scene& sc);
void draw_game_over_aids(const Scene& sc);
// The whole options screen, on a cleared screen.
void draw_options_screen(const Scene& sc);

// Enemies still to beat in this level: on the field, joining, and to come.
int enemies_left(const World& w);
