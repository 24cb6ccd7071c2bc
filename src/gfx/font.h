// Bitmap fonts read from a text description ("[HGEFONT]", a "Bitmap" line and
// "Char" lines) that names the glyph texture and cuts one sprite per byte.
#pragma once

#include <vector>

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
    // Deletes the glyphs, frees the font's textures and gives back the engine reference.
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // (x, y) is the first line's top reference point: left, right end or centre per align.
    void render_text(float x, float y, int align, const char* text);
    // Formats into the buffer all fonts share (cut at 1023 bytes), then render_text.
    void printf(float x, float y, int align, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
    // Formats, wraps at spaces to width w and aligns inside the box (x, y, w, h).
    void printf_boxed(float x, float y, float w, float h, int align, const char* format, ...)
        __attribute__((format(printf, 7, 8)));

    // Screen pixels; the first line, or with multiline the widest.
    float text_width(const char* text, bool multiline = false) const;

    // Given to all four vertices of every glyph.
    void set_color(uint32_t color);
    // Given to all four vertices of every glyph.
    void set_z(float z);
    // Given to every glyph.
    void set_blend_mode(int blend);
    // Overall size factor.
    void set_scale(float s) { scale = s; }
    // Extra horizontal factor.
    void set_proportion(float p) { proportion = p; }
    // Turn of each glyph about its top-left corner, radians.
    void set_rotation(float r) { rotation = r; }
    // Extra texels after every glyph.
    void set_tracking(float t) { tracking = t; }
    // Line-distance factor.
    void set_spacing(float s) { spacing = s; }

    // The colour last set.
    uint32_t get_color() const { return color; }
    // Line height in texels: the tallest glyph read.
    float get_height() const { return height; }
    // Overall size factor.
    float get_scale() const { return scale; }
    // Line-distance factor.
    float get_spacing() const { return spacing; }
    // True without glyphs and texture: every text draws nothing and measures 0.
    bool is_empty() const;
    // The glyph drawn for byte c after the "?" fallback, or nullptr.
    const Sprite* get_glyph(unsigned char c) const;

  private:
    int lookup(unsigned char c) const; // glyph index after fallback, -1 if none
    // Reads the description held in text (NUL-terminated); false stops with an empty font.
    void read_description(const char* filename, const char* text, bool mipmap);
    // Handles one "Bitmap" line; false when its texture fails to load.
    bool read_bitmap(const char* filename, const char* line, bool mipmap);
    // Handles one "Char" line; malformed ones are ignored.
    void read_char(const char* line);
    // The unscaled width of the line that starts at text (up to a line feed or NUL).
    float line_width(const char* text) const;
    // Where a line starting at text begins for the given horizontal alignment.
    float line_start(float x, int align, const char* text) const;

    Engine* engine;
    HTEXTURE texture;
    std::vector<HTEXTURE> older_textures; // replaced by a later "Bitmap" line, still in use
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
