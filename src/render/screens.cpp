#include "render/screens.h"

#include <cstdarg>
#include <cstdio>

#include "gfx/font.h"
#include "render/render.h"
#include "render/aids.h"
#include "render/resources.h"
#include "render/shapes.h"

namespace {

void set_line(TextLine& line, float x, float y, int align, const char* format, ...)
    __attribute__((format(printf, 5, 6)));

void set_line(TextLine& line, float x, float y, int align, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vsnprintf(line.text, sizeof line.text, format, args);
    va_end(args);
    line.x = x;
    line.y = y;
    line.align = align;
}

int level_number(const World& w) {
    return w.iteration * 50 + w.level_index;
}

// Pads the menu's level number to at least three digits.
const char* leading_zeros(int number) {
    if (number > 99) return "";
    if (number > 9) return "0";
    return "00";
}

// Upgrade levels index the five-entry price tables; anything else has no price.
bool has_price(int level) { return level >= 0 && level < 5; }

} // namespace

const char* quality_label(int level) {
    static const char* const names[] = {"VERY LOW", "LOW", "AVERAGE", "IMPROVED", "GOOD", "BEST"};
    if (level < 0 || level > 5) return "ERROR_LEVEL";
    return names[level];
}

std::string quality_name(int level) { return std::string(quality_label(level)); }

const char* mode_name(int mode) {
    switch (mode) {
    case MODE_ONE_PLAYER: return "ONE PLAYER";
    case MODE_TEAMWORK: return "TEAMWORK";
    case MODE_COMPETITION: return "COMPETITION";
    }
    return "";
}

void level_label(const World& w, const char* label, char* out, size_t size) {
    int number = level_number(w);
    std::snprintf(out, size, "%s %s%d", label, leading_zeros(number), number);
}

int menu_lines(const Scene& sc, TextLine* out) {
    const World& w = sc.world;
    int n = 0;
    set_line(out[n++], 200, 435, TEXT_CENTER, "%s", mode_name(w.game_mode));
    set_line(out[n++], 200, 455, TEXT_CENTER, "SPACE CHANGE GAMEMODE");
    if (w.game_mode != MODE_COMPETITION) {
        int number = level_number(w);
        // %.9s: the password is nine letters even if its terminator were lost.
        set_line(out[n++], 520, 435, TEXT_LEFT, "PASSWORD:\n%.9s\nLEVEL: %s%d", w.password,
                 leading_zeros(number), number);
    }
    char keys[48];
    controls_text(w.ship_records[0], keys, sizeof keys);
    set_line(out[n++], 600, 560, TEXT_CENTER, "%s", keys);
    if (w.game_mode != MODE_ONE_PLAYER) {
        controls_text(w.ship_records[1], keys, sizeof keys);
        set_line(out[n++], 200, 560, TEXT_CENTER, "%s", keys);
    }
    if (const char* notice = notice_text(sc))
        set_line(out[n++], NOTICE_X, NOTICE_Y, TEXT_CENTER, "%.79s", notice);
    return n;
}

const char* notice_text(const Scene& sc) {
    if (sc.world.game_state == STATE_MENU && sc.world.quit_timer > 0)
        return "PRESS ESCAPE AGAIN TO QUIT";
    return sc.hud.notice[0] ? sc.hud.notice : nullptr;
}

void controls_text(const ship& s, char* out, size_t size) {
    char names[4][16], fire[16];
    const int flight[4] = {s.key_left, s.key_right, s.key_up, s.key_down};
    for (int i = 0; i < 4; ++i) key_label(flight[i], names[i]);
    key_label(s.key_fire, fire);
    if (flight[0] == HGEK_LEFT && flight[1] == HGEK_RIGHT && flight[2] == HGEK_UP &&
        flight[3] == HGEK_DOWN)
        std::snprintf(out, size, "ARROWS AND %s", fire);
    else if (flight[0] == 'A' && flight[1] == 'D' && flight[2] == 'W' && flight[3] == 'S')
        std::snprintf(out, size, "WASD AND %s", fire);
    else // left, right, thrust, back
        std::snprintf(out, size, "%s %s %s %s AND %s", names[0], names[1], names[2], names[3], fire);
}

void draw_on_panels(Font* font, const TextLine* lines, int count) {
    if (!font) return;
    const float line_height = font->get_height() * font->get_spacing() * font->get_scale();
    for (int i = 0; i < count; ++i) {
        const TextLine& l = lines[i];
        int rows = 1;
        for (const char* c = l.text; *c; ++c) rows += *c == '\n';
        const float width = font->text_width(l.text, true);
        const float left = l.align == TEXT_CENTER ? l.x - width / 2 : l.x;
        fill_rect(left - PANEL_PAD, l.y - PANEL_PAD / 2, left + width + PANEL_PAD,
                  l.y + rows * line_height + PANEL_PAD / 2, PANEL_COLOR);
        font->render_text(l.x, l.y, l.align, l.text);
    }
}

namespace {

// COMPETITION: one rival's column, left for ship 1 and right for ship 0, as
// their views stand; each line names the key that buys it.
int rival_column(const World& w, TextLine* out, int p) {
    const ship& s = w.ship_records[p];
    const float x = p == 0 ? 412 : 4;
    const float price_x = x + 48;
    const char* const keys[4] = {p == 0 ? "F1" : "1", p == 0 ? "F2" : "2", p == 0 ? "F3" : "3",
                                 p == 0 ? "F4" : "4"};
    int n = 0;
    set_line(out[n++], x, 40, TEXT_LEFT, "%s", p == 0 ? "PLAYER 1" : "PLAYER 2");
    set_line(out[n++], x, 80, TEXT_LEFT, "BONUS  %5d.000", w.purse_bonus[p]);
    set_line(out[n++], x, 105, TEXT_LEFT, "CREDITS%5d.000", w.purse[p]);
    set_line(out[n++], x, 150, TEXT_LEFT, "%-2s SHIPS:       %s%d", keys[0], s.ships < 10 ? "0" : "",
             s.ships);
    if (s.ships < 99)
        set_line(out[n++], price_x, 175, TEXT_LEFT, "PRICE%4d.000", w.settings.price_ships);
    set_line(out[n++], x, 215, TEXT_LEFT, "%-2s FLEXIBILITY: %s", keys[1],
             quality_label(s.flexibility));
    if (has_price(s.flexibility))
        set_line(out[n++], price_x, 240, TEXT_LEFT, "PRICE%4d.000",
                 w.settings.price_flexibility[s.flexibility]);
    set_line(out[n++], x, 280, TEXT_LEFT, "%-2s FIREPOWER:   %s", keys[2],
             quality_label(s.firepower));
    if (has_price(s.firepower))
        set_line(out[n++], price_x, 305, TEXT_LEFT, "PRICE%4d.000",
                 w.settings.price_firepower[s.firepower]);
    set_line(out[n++], x, 345, TEXT_LEFT, "%-2s SHIELD:      %s", keys[3], quality_label(s.shield));
    if (has_price(s.shield))
        set_line(out[n++], price_x, 370, TEXT_LEFT, "PRICE%4d.000",
                 w.settings.price_shield[s.shield]);
    return n;
}

int competition_shop_lines(const World& w, TextLine* out) {
    int n = rival_column(w, out, 1);
    n += rival_column(w, out + n, 0);
    set_line(out[n++], 400, 440, TEXT_CENTER, "PUSH FIRE FOR LEVEL %s%d",
             leading_zeros(level_number(w)), level_number(w));
    return n;
}

} // namespace

int shop_lines(const World& w, TextLine* out) {
    if (competing(w)) return competition_shop_lines(w, out);
    const ship& s = w.ship_records[0];
    int n = 0;
    set_line(out[n++], 116, 57, TEXT_LEFT, "BONUS%11d.000   CREDITS%4d.000", w.bonus, w.money);
    set_line(out[n++], 68, 137, TEXT_LEFT, "F1 SHIPS:       %s%d", s.ships < 10 ? "0" : "",
             s.ships);
    if (s.ships < 99)
        set_line(out[n++], 516, 137, TEXT_LEFT, "PRICE%4d.000", w.settings.price_ships);
    set_line(out[n++], 68, 166, TEXT_LEFT, "F2 FLEXIBILITY: %s", quality_label(s.flexibility));
    if (has_price(s.flexibility))
        set_line(out[n++], 516, 166, TEXT_LEFT, "PRICE%4d.000",
                 w.settings.price_flexibility[s.flexibility]);
    set_line(out[n++], 68, 197, TEXT_LEFT, "F3 FIREPOWER:   %s", quality_label(s.firepower));
    if (has_price(s.firepower))
        set_line(out[n++], 516, 197, TEXT_LEFT, "PRICE%4d.000",
                 w.settings.price_firepower[s.firepower]);
    set_line(out[n++], 68, 227, TEXT_LEFT, "F4 SHIELD:      %s", quality_label(s.shield));
    if (has_price(s.shield))
        set_line(out[n++], 516, 227, TEXT_LEFT, "PRICE%4d.000", w.settings.price_shield[s.shield]);
    // The level as the menu writes it, zeros and all: one way everywhere.
    set_line(out[n++], 400, 297, TEXT_CENTER, "PUSH FIRE FOR LEVEL %s%d",
             leading_zeros(level_number(w)), level_number(w));
    return n;
}

int game_over_lines(const World& w, TextLine* out) {
    set_line(out[0], 400, 100, TEXT_CENTER, "G A M E     O V E R");
    if (!competing(w) || w.winner == WINNER_NONE) return 1;
    const char* result = w.winner == 0   ? "PLAYER 1 WINS"
                         : w.winner == 1 ? "PLAYER 2 WINS"
                                         : "DRAW";
    set_line(out[1], 400, 200, TEXT_CENTER, "%s", result);
    return 2;
}

void draw_lines(Font* font, const TextLine* lines, int count) {
    if (!font) return;
    for (int i = 0; i < count; ++i)
        font->render_text(lines[i].x, lines[i].y, lines[i].align, lines[i].text);
}

void draw_menu_texts(const Scene& sc) {
    TextLine lines[SCREEN_MAX_LINES];
    // The demonstration goes on behind them: each text on a panel of its own.
    draw_on_panels(resources.font1, lines, menu_lines(sc, lines));
}

void draw_shop_texts(const World& w) {
    TextLine lines[SCREEN_MAX_LINES];
    Font* font = resources.font2;
    // Two columns side by side: each must end inside its half of the screen.
    const float scale = font ? font->get_scale() : 1.0f;
    if (font && competing(w)) font->set_scale(COMPETITION_SHOP_SCALE);
    draw_lines(font, lines, shop_lines(w, lines));
    if (font) font->set_scale(scale);
}

void draw_game_over_texts(const World& w) {
    TextLine lines[SCREEN_MAX_LINES];
    draw_lines(resources.font2, lines, game_over_lines(w, lines));
}
