// The texts of the menu, the shop and the game-over screen.
#pragma once

#include <string>

#include <cstddef>
#include <cstdint>

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
// Where the notice line stands: the top of the screen, over both views.
const float NOTICE_X = 400, NOTICE_Y = 6;
// Text panels: margin around the text, and a dark that lets the game show through.
const float PANEL_PAD = 6;
const uint32_t PANEL_COLOR = 0xC0000000;

// The COMPETITION shop's two columns are drawn a little smaller.
const float COMPETITION_SHOP_SCALE = 0.9f;

// The menu's mode name for a game_mode; "" for an unknown one.
const char* mode_name(int mode);

// Fill `out` (SCREEN_MAX_LINES entries) with the screen's lines, in drawing
// order; returns how many. The menu adds the hud's notice.
int menu_lines(const Scene& sc, TextLine* out);
int shop_lines(const World& w, TextLine* out);
int game_over_lines(const World& w, TextLine* out);

// Draws the lines with `font`; a null font draws nothing.
void draw_lines(Font* font, const TextLine* lines, int count);
// The same, each on a dark panel as wide as its text.
void draw_on_panels(Font* font, const TextLine* lines, int count);
// What the notice line says, or nullptr: the menu's question after one
// Escape, else the hud's notice (online sessions).
const char* notice_text(const Scene& sc);
// "LEVEL 003": the label and the level number as the menu shows it.
void level_label(const World& w, const char* label, char* out, size_t size);
// The keys a ship flies and fires with, as the menu names them ("ARROWS AND CTRL").
void controls_text(const ship& s, char* out, size_t size);
// The lines of each screen drawn with its font (font1 menu, font2 shop and game over).
void draw_menu_texts(const Scene& sc);
void draw_shop_texts(const World& w);
void draw_game_over_texts(const World& w);
