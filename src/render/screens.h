// The texts of the menu, the shop and the game-over screen.
#pragma once

#include <string>

#include "world/world.h"

class Font;
struct Scene;

// One formatted line of a screen, ready to hand to a font.
struct TextLine {
    char text[96];
    float x, y; // screen pixels: top-left (TEXT_LEFT) or top centre (TEXT_CENTER)
    int align;  // TEXT_LEFT or TEXT_CENTER
};

// The most lines any screen shows.
enum { SCREEN_MAX_LINES = 24 };

// The name of an upgrade level 0..5; "ERROR_LEVEL" for any other.
std::string quality_name(int level);
// The same name from a static table, for the drawing path that must not allocate.
const char* quality_label(int level);
// The menu's mode name for a game_mode; "" for an unknown one.
const char* mode_name(int mode);

// Fill `out` (SCREEN_MAX_LINES entries) with the screen's lines, in drawing
// order; returns how many. The menu adds the hud's notice.
int menu_lines(const Scene& sc, TextLine* out);
int shop_lines(const World& w, TextLine* out);
int game_over_lines(const World& w, TextLine* out);

// Draws the lines with `font`; a null font draws nothing.
void draw_lines(Font* font, const TextLine* lines, int count);
// The lines of each screen drawn with its font (font1 menu, font2 shop and game over).
void draw_menu_texts(const Scene& sc);
void draw_shop_texts(const World& w);
void draw_game_over_texts(const World& w);
