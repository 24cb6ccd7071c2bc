// Bitmap fonts read from a text description ("[HGEFONT]", a "Bitmap" line and
// "Char" lines) that names the glyph texture and cuts one sprite per byte.
#pragma once

#include "gfx/sprite.h"

enum {
    TEXT_LEFT = 0,
    TEXT_RIGHT = 1,
    TEXT_CENTER = 2,
    TEXT_HORZMASK = 3,
    TEXT_TOP = 0,
    TEXT_BOTTOM = 4,
    TEXT_MIDDLE = 8,
    TEXT_VERTMASK = 12,
};

class Font {
public:
    // A missing or malformed description leaves the font empty: it draws nothing.
    Font(const char* filename, bool mipmap = false);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // (x, y) is the first line's reference point: left, right end or centre per align.
    void render_text(float x, float y, int align, const char* text);
    void printf(float x, float y, int align, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    void printf_boxed(float x, float y, float w, float h, int align, const char* format, ...)
        __attribute__((format(printf, 7, 8)));

    // Screen pixels; the first line, or with multiline the widest.
    float text_width(const char* text, bool multiline = false) const;

    void set_color(uint32_t color);
    void set_z(float z);
    void set_blend_mode(int blend);
    void set_scale(float s) { scale = s; }
    void set_proportion(float p) { proportion = p; }
    void set_rotation(float r) { rotation = r; }
    void set_tracking(float t) { tracking = t; }
    void set_spacing(float s) { spacing = s; }

    uint32_t get_color() const { return color; }
    float get_height() const { return height; }
    float get_scale() const { return scale; }
    float get_spacing() const { return spacing; }
    bool is_empty() const;
    // The glyph drawn for byte c after the "?" fallback, or nullptr.
    const Sprite* get_glyph(unsigned char c) const;

private:
    int lookup(unsigned char c) const; // glyph index after fallback, -1 if none

    Engine* engine;
    HTEXTURE texture;
    Sprite* glyphs[256];
    float pre[256];
    float post[256];
    float height;
    float scale;
    float proportion;
    float rotation;
    float tracking;
    float spacing;
    uint32_t color;
    float z;
    int blend;
};
