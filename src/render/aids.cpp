#include "render/aids.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/render.h"
#include "render/resources.h"
#include "render/screens.h"
#include "render/shapes.h"
#include "world/levels.h"

namespace {

// The game's own palette: font1's steel blue, font2's amber, and a warning red.
const uint32_t COLOR_BAND = 0xB0000000;
const uint32_t COLOR_PIP_FULL = 0xFF5AB4FF;
const uint32_t COLOR_PIP_EMPTY = 0xFF2A3648;
const uint32_t COLOR_PARTNER = 0xFF50FF78;
const uint32_t COLOR_ENEMY = 0xFFFF5A3C;
const uint32_t COLOR_MARKER = 0xFFFFA030;
const uint32_t COLOR_FLASH = 0xFFFF2A20;
const uint32_t COLOR_ROW = 0x70305A96;

const float STRIP_HEIGHT = 22.0f;
const float SMALL = 0.75f; // font1 at this scale still reads at 800 x 590
const int MAX_MARKERS = 4;

void text(Font* font, float scale, float x, float y, int align, const char* line) {
    if (!font) return;
    float old = font->get_scale();
    font->set_scale(scale);
    font->render_text(x, y, align, line);
    font->set_scale(old);
}

float width_of(Font* font, float scale, const char* line) {
    return font ? font->text_width(line) * scale : 0.0f;
}

float view_width(const World& w, int v) {
    return w.view_width[v];
}
float view_height(const World& w) {
    return w.view_height;
}

// Text on a dark panel as wide as it is, so that what moves behind never hides it.
void panel_text(Font* font, float scale, float x, float y, int align, const char* line) {
    if (!font) return;
    TextLine l;
    std::snprintf(l.text, sizeof l.text, "%s", line);
    l.x = x, l.y = y, l.align = align;
    float old = font->get_scale();
    font->set_scale(scale);
    draw_on_panels(font, &l, 1);
    font->set_scale(old);
}

void status_strip(const World& world, int v, const ship& s) {
    Font* font1 = resources.font1;
    float w = view_width(world, v);
    fill_rect(0, 0, w, STRIP_HEIGHT, COLOR_BAND);
    // Armor as pips: one for each hit the ship can take.
    float x = 6;
    int pips = s.shield + 1 < 1 ? 1 : (s.shield + 1 > 6 ? 6 : s.shield + 1);
    for (int i = 0; i < pips; ++i, x += 14)
        fill_rect(x, 5, x + 11, 16, i <= s.armor ? COLOR_PIP_FULL : COLOR_PIP_EMPTY);
    char items[4][32];
    std::snprintf(items[0], sizeof items[0], "SHIPS %d", s.ships < 0 ? 0 : s.ships);
    level_label(world, "LEVEL", items[1], sizeof items[1]);
    std::snprintf(items[2], sizeof items[2], "ENEMIES %d", enemies_left(world));
    // Credits as the shop shows them; a rival has a purse of its own.
    std::snprintf(items[3], sizeof items[3], "CREDITS %d.000", credits_of(world, v));
    float used = 0;
    for (auto& item : items) used += width_of(font1, SMALL, item);
    float left = x + 6, gap = (w - 8 - left - used) / 3;
    float scale = SMALL;
    if (gap < 8) { // a split view is narrow: the texts shrink to fit
        scale = SMALL * (w - 8 - left - 24) / (used > 0 ? used : 1);
        gap = 8;
    }
    for (auto& item : items) {
        text(font1, scale, left, 2, TEXT_LEFT, item);
        left += width_of(font1, scale, item) + gap;
    }
}

void border_flash(const Scene& sc, int v) {
    float a = sc.hud.armor_flash[v] / ARMOR_FLASH_TIME;
    if (a <= 0) return;
    uint32_t color = (static_cast<uint32_t>(a * 200.0f) << 24) | (COLOR_FLASH & 0xFFFFFF);
    float w = view_width(sc.world, v), h = view_height(sc.world), t = 5;
    fill_rect(0, 0, w, t, color);
    fill_rect(0, h - t, w, h, color);
    fill_rect(0, t, t, h - t, color);
    fill_rect(w - t, t, w, h - t, color);
}

// Arrows on the view's edge toward the nearest enemies outside it.
void edge_markers(const Scene& sc, int v) {
    const World& w = sc.world;
    int best[MAX_MARKERS];
    float best_d[MAX_MARKERS];
    int found = 0;
    float ax = anchor_x(w, v), ay = anchor_y(w, v);
    for (int i = 0; i < static_cast<int>(w.enemy_list.size()); ++i) {
        const enemy& e = w.enemy_list[i];
        if (e.visible[v]) continue;
        float dx = e.screen_x[v] - ax, dy = e.screen_y[v] - ay;
        float d = dx * dx + dy * dy;
        int at = found < MAX_MARKERS ? found++ : MAX_MARKERS;
        if (at == MAX_MARKERS) {
            if (d >= best_d[MAX_MARKERS - 1]) continue;
            at = MAX_MARKERS - 1;
        }
        while (at > 0 && best_d[at - 1] > d) {
            best[at] = best[at - 1];
            best_d[at] = best_d[at - 1];
            --at;
        }
        best[at] = i;
        best_d[at] = d;
    }
    float top = aid_on(sc.options, AID_STATUS) ? STRIP_HEIGHT + 4 : 4;
    float x1 = 4, y1 = top, x2 = view_width(w, v) - 4, y2 = view_height(w) - 4;
    for (int k = 0; k < found; ++k) {
        const enemy& e = w.enemy_list[best[k]];
        float dx = e.screen_x[v] - ax, dy = e.screen_y[v] - ay;
        float len = std::sqrt(dx * dx + dy * dy);
        if (len < 1.0f) continue;
        dx /= len;
        dy /= len;
        // Where the ray from the own ship leaves the view's box.
        float t = 1e9f;
        if (dx > 0) t = std::fmin(t, (x2 - ax) / dx);
        if (dx < 0) t = std::fmin(t, (x1 - ax) / dx);
        if (dy > 0) t = std::fmin(t, (y2 - ay) / dy);
        if (dy < 0) t = std::fmin(t, (y1 - ay) / dy);
        if (t <= 0 || t > 1e8f) continue;
        fill_arrow(ax + dx * t, ay + dy * t, dx, dy, k == 0 ? 14.0f : 10.0f, COLOR_MARKER);
    }
}

void centre_line(const World& w, int v, float y, Font* font, float scale, const char* line) {
    text(font, scale, view_width(w, v) / 2, y, TEXT_CENTER, line);
}

} // namespace

const char* key_label(int key, char* buf) {
    static const struct {
        int key;
        const char* name;
    } names[] = {{8, "BACKSPACE"}, {9, "TAB"},     {13, "ENTER"},   {16, "SHIFT"},
                 {17, "CTRL"},     {18, "ALT"},    {19, "PAUSE"},   {20, "CAPS LOCK"},
                 {27, "ESCAPE"},   {32, "SPACE"},  {33, "PAGE UP"}, {34, "PAGE DOWN"},
                 {35, "END"},      {36, "HOME"},   {37, "LEFT"},    {38, "UP"},
                 {39, "RIGHT"},    {40, "DOWN"},   {45, "INSERT"},  {46, "DELETE"},
                 {106, "NUM *"},   {107, "NUM +"}, {109, "NUM -"},  {110, "NUM ."},
                 {111, "NUM /"},   {186, ";"},     {187, "="},      {188, ","},
                 {189, "-"},       {190, "."},     {191, "/"},      {192, "`"},
                 {219, "["},       {220, "\\"},    {221, "]"},      {222, "'"}};
    for (const auto& n : names)
        if (n.key == key) {
            std::snprintf(buf, 16, "%s", n.name);
            return buf;
        }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        std::snprintf(buf, 16, "%c", key);
    else if (key >= 96 && key <= 105)
        std::snprintf(buf, 16, "NUM %d", key - 96);
    else if (key >= 112 && key <= 123)
        std::snprintf(buf, 16, "F%d", key - 111);
    else
        std::snprintf(buf, 16, "KEY %d", key);
    return buf;
}

int enemies_left(const World& w) {
    int n = static_cast<int>(w.enemy_list.size() + w.pending_list.size());
    const char* level = level_text(w.level_index);
    if (!w.spawning || !level) return n;
    // The level string after its field digit, once per pass still to come.
    int letters = static_cast<int>(std::strlen(level)) - 1;
    if (letters <= 0) return n;
    if (w.spawn_index >= 1 && w.spawn_index <= letters) n += letters + 1 - w.spawn_index;
    for (int pass = w.spawn_pass + 2; pass <= w.iteration; pass += 2) n += letters;
    return n;
}

void draw_aid_blip(float x, float y, bool partner) {
    float r = partner ? 3.5f : 3.0f;
    fill_rect(x - r, y - r, x + r, y + r, partner ? COLOR_PARTNER : COLOR_ENEMY);
}

void draw_view_aids(const Scene& sc, int v, int own) {
    const World& w = sc.world;
    if (w.game_state != STATE_PLAY) return;
    const ship& s = w.ship_records[own];
    Font* font2 = resources.font2;
    if (aid_on(sc.options, AID_RADAR)) edge_markers(sc, v);
    if (aid_on(sc.options, AID_FEEDBACK)) {
        border_flash(sc, v);
        char line[40];
        if (w.level_end_timer > 0) {
            centre_line(w, v, 150, font2, 1.0f, "LEVEL CLEARED");
        } else if (s.armor < 0) {
            std::snprintf(line, sizeof line, "SHIP LOST - %d LEFT", s.ships < 0 ? 0 : s.ships);
            centre_line(w, v, 150, font2, 1.0f, line);
        }
    }
    if (aid_on(sc.options, AID_STATUS)) status_strip(w, v, s);
    if (w.paused) centre_line(w, v, 220, font2, 1.0f, "PAUSED");
}

void draw_title_aids(const Scene& sc) {
    if (aid_on(sc.options, AID_PROMPTS))
        text(resources.font1, 1.0f, 400, 530, TEXT_CENTER, "PRESS ANY KEY");
}

void draw_menu_aids(const Scene& sc) {
    const World& w = sc.world;
    Font* font1 = resources.font1;
    if (!sc.hud.online) panel_text(font1, SMALL, 200, 505, TEXT_CENTER, "TAB OPTIONS");
    // The typed letters went back to the game's own password: say why, aids or not.
    if (sc.hud.invalid_password_time > 0 && w.game_mode != MODE_COMPETITION)
        panel_text(resources.font2, SMALL, 600, 505, TEXT_CENTER, "INVALID PASSWORD");
    if (!aid_on(sc.options, AID_PROMPTS)) return;
    panel_text(font1, SMALL, 600, 530, TEXT_CENTER, "ENTER SHOP");
    if (w.game_mode == MODE_COMPETITION || !font1) return;
    // The password's letters stand on the block's second line, from x = 520.
    int cursor = w.password_cursor >= 0 && w.password_cursor < 9 ? w.password_cursor : 0;
    char before[10] = {}, letter[2] = {w.password[cursor], 0};
    std::memcpy(before, w.password, static_cast<size_t>(cursor));
    float line = font1->get_height() * font1->get_spacing();
    float x = 520 + font1->text_width(before);
    float lw = font1->text_width(letter);
    fill_rect(x, 435 + 2 * line - 2, x + (lw > 4 ? lw : 12), 435 + 2 * line, COLOR_PIP_FULL);
}

void draw_game_over_aids(const Scene& sc) {
    if (!aid_on(sc.options, AID_FEEDBACK)) return;
    char line[40];
    level_label(sc.world, "LEVEL REACHED", line, sizeof line);
    text(resources.font2, 1.0f, 400, 150, TEXT_CENTER, line);
}

void draw_options_screen(const Scene& sc) {
    Font* font1 = resources.font1;
    Font* font2 = resources.font2;
    const OptionsScreen& screen = sc.hud.options;
    const player_options& o = sc.options;
    text(font2, 1.0f, 400, 18, TEXT_CENTER, "O P T I O N S");
    float y = 62;
    for (int row = 0; row < ROW_COUNT; ++row) {
        // A little air between aids, display and sound, and each player's keys.
        if (row == ROW_VOLUME || row == ROW_KEYS || row == ROW_KEYS + ROLE_COUNT ||
            row == ROW_DEFAULT_KEYS)
            y += 8;
        if (row == screen.row) fill_rect(150, y - 1, 650, y + 20, COLOR_ROW);
        char value[40] = "";
        // The window's display may hold less than the scale chosen.
        option_row_value(o, row, engine->System_GetStateInt(HGE_SCALE), value, sizeof value);
        if (row >= ROW_KEYS && row < ROW_DEFAULT_KEYS) {
            int k = row - ROW_KEYS;
            if (row == screen.row && screen.waiting_key)
                std::snprintf(value, sizeof value, "PRESS A KEY");
            else
                key_label(player_key(o, sc.world.file_settings, k / ROLE_COUNT, k % ROLE_COUNT),
                          value);
        }
        text(font1, 0.85f, 170, y, TEXT_LEFT, option_row_label(row));
        text(font1, 0.85f, 630, y, TEXT_RIGHT,
             value);
        y += 21;
    }
    text(font1, 0.7f, 400, 562, TEXT_CENTER,
         "UP DOWN CHOOSE   ENTER LEFT RIGHT CHANGE   ESCAPE BACK");
}
