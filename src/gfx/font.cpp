#include "gfx/font.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// One formatting buffer for every font: texts are drawn before the next call formats.
char text_buffer[1024];

// The reader's own line limit; longer lines lose their tail.
const size_t LINE_MAX_CHARS = 255;
const size_t PATH_MAX_CHARS = 255;

// Copies the line at p into line, cut at 255 bytes, and returns where the next line
// starts; nullptr when p holds no further line.
const char* next_line(const char* p, char (&line)[LINE_MAX_CHARS + 1]) {
    if (*p == '\0') return nullptr;
    size_t n = 0;
    while (*p != '\0' && *p != '\n' && *p != '\r') {
        if (n < LINE_MAX_CHARS) line[n++] = *p;
        ++p;
    }
    line[n] = '\0';
    while (*p == '\n' || *p == '\r') ++p;
    return p;
}

bool starts_with(const char* s, const char* prefix) {
    return std::strncmp(s, prefix, std::strlen(prefix)) == 0;
}

const char* skip_space(const char* p) {
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p))) ++p;
    return p;
}

// A decimal integer after optional white space and sign; out-of-range values clamp.
bool read_int(const char** p, int* value) {
    char* end = nullptr;
    long v = std::strtol(*p, &end, 10);
    if (end == *p) return false;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    *value = static_cast<int>(v);
    *p = end;
    return true;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Turns spaces into line feeds where a line would pass w; returns the number of lines.
int wrap_text(const Font& font, char* text, float w) {
    int lines = 1;
    char* line = text;
    char* p = text;
    bool first_word = true;
    for (;;) {
        char* word = p;
        while (*p != '\0' && *p != ' ' && *p != '\n') ++p;
        char end = *p;
        *p = '\0';
        float width = font.text_width(line, true);
        *p = end;
        if (width > w) {
            if (first_word) {
                if (end == ' ') *p = end = '\n';
            } else {
                word[-1] = '\n';
                ++lines;
                line = word;
            }
        }
        if (end == '\0') break;
        if (end == '\n') {
            ++lines;
            line = p + 1;
            first_word = true;
        } else {
            first_word = false;
        }
        ++p;
    }
    return lines;
}

} // namespace

Font::Font(const char* filename, bool mipmap)
    : engine(hgeCreate(ENGINE_VERSION)), texture(0), height(0.0f), scale(1.0f), proportion(1.0f),
      rotation(0.0f), tracking(0.0f), spacing(1.0f), color(0xFFFFFFFFu), z(0.5f),
      blend(BLEND_DEFAULT) {
    for (int i = 0; i < 256; ++i) {
        glyphs[i] = nullptr;
        pre[i] = 0.0f;
        post[i] = 0.0f;
    }
    if (!engine || !filename) return;

    uint32_t size = 0;
    void* data = engine->Resource_Load(filename, &size);
    if (!data) return;
    // The engine's bytes carry no terminator of their own.
    std::vector<char> text(static_cast<size_t>(size) + 1);
    std::memcpy(text.data(), data, size);
    text[size] = '\0';
    engine->Resource_Free(data);

    read_description(filename, text.data(), mipmap);
}

Font::~Font() {
    for (Sprite*& glyph : glyphs) {
        delete glyph;
        glyph = nullptr;
    }
    if (engine) {
        if (texture != 0) engine->Texture_Free(texture);
        for (HTEXTURE old : older_textures) engine->Texture_Free(old);
        engine->Release();
    }
}

void Font::read_description(const char* filename, const char* text, bool mipmap) {
    char line[LINE_MAX_CHARS + 1];
    const char* p = next_line(text, line);
    if (!p || std::strcmp(line, "[HGEFONT]") != 0) {
        engine->System_Log("Font %s has incorrect format.", filename);
        return;
    }
    while ((p = next_line(p, line)) != nullptr) {
        if (starts_with(line, "Bitmap")) {
            if (!read_bitmap(filename, line, mipmap)) return;
        } else if (starts_with(line, "Char")) {
            read_char(line);
        }
    }
}

bool Font::read_bitmap(const char* filename, const char* line, bool mipmap) {
    const char* p = skip_space(line + std::strlen("Bitmap"));
    if (*p != '=') return true;
    const char* name = skip_space(p + 1);
    size_t name_len = 0;
    while (name[name_len] != '\0' && !std::isspace(static_cast<unsigned char>(name[name_len])))
        ++name_len;
    if (name_len == 0) return true;

    // The texture lies beside the description.
    const char* slash = std::strrchr(filename, '\\');
    if (!slash) slash = std::strrchr(filename, '/');
    size_t dir_len = slash ? static_cast<size_t>(slash - filename) + 1 : 0;

    if (texture != 0) older_textures.push_back(texture);
    texture = 0;
    if (dir_len + name_len > PATH_MAX_CHARS) return false;
    char path[PATH_MAX_CHARS + 1];
    std::memcpy(path, filename, dir_len);
    std::memcpy(path + dir_len, name, name_len);
    path[dir_len + name_len] = '\0';
    texture = engine->Texture_Load(path, 0, mipmap);
    return texture != 0;
}

void Font::read_char(const char* line) {
    const char* p = std::strchr(line, '=');
    if (!p) return;
    ++p;
    while (*p == ' ') ++p;

    unsigned code = 0;
    if (*p == '"') {
        if (p[1] == '\0') return;
        code = static_cast<unsigned char>(p[1]);
        p += 2;
        if (*p != '\0') ++p; // the closing quote, whatever it is
    } else {
        for (int d; (d = hex_digit(*p)) >= 0; ++p) {
            code = code * 16 + static_cast<unsigned>(d);
            if (code > 0xFF) return;
        }
    }

    int v[6];
    for (int& value : v) {
        p = skip_space(p);
        if (*p != ',') return;
        ++p;
        if (!read_int(&p, &value)) return;
    }

    delete glyphs[code];
    glyphs[code] = new Sprite(texture, static_cast<float>(v[0]), static_cast<float>(v[1]),
                              static_cast<float>(v[2]), static_cast<float>(v[3]));
    pre[code] = static_cast<float>(v[4]);
    post[code] = static_cast<float>(v[5]);
    if (v[3] > height) height = static_cast<float>(v[3]);
}

int Font::lookup(unsigned char c) const {
    if (glyphs[c]) return c;
    if (glyphs['?']) return '?';
    return -1;
}

const Sprite* Font::get_glyph(unsigned char c) const {
    int g = lookup(c);
    return g < 0 ? nullptr : glyphs[g];
}

bool Font::is_empty() const {
    if (texture != 0) return false;
    for (const Sprite* glyph : glyphs)
        if (glyph) return false;
    return true;
}

float Font::line_width(const char* text) const {
    float sum = 0.0f;
    for (const char* p = text; *p != '\0' && *p != '\n'; ++p) {
        int g = lookup(static_cast<unsigned char>(*p));
        if (g >= 0) sum += pre[g] + post[g] + tracking + glyphs[g]->get_width();
    }
    return sum;
}

float Font::text_width(const char* text, bool multiline) const {
    if (!text) return 0.0f;
    if (!multiline) return line_width(text) * proportion * scale;

    float widest = 0.0f;
    bool first = true;
    for (const char* p = text; *p != '\0';) {
        float w = line_width(p);
        if (first || w > widest) widest = w;
        first = false;
        while (*p != '\0' && *p != '\n') ++p;
        while (*p == '\n' || *p == '\r') ++p;
    }
    return widest * proportion * scale;
}

float Font::line_start(float x, int align, const char* text) const {
    switch (align) {
    case TEXT_RIGHT: return x - text_width(text, false);
    case TEXT_CENTER: return x - std::round(text_width(text, false) / 2.0f);
    default: return x;
    }
}

void Font::render_text(float x, float y, int align, const char* text) {
    if (!text) return;
    int a = align & TEXT_HORZMASK;
    float pen = line_start(x, a, text);
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '\n') {
            y += std::round(height * scale * spacing);
            pen = line_start(x, a, p + 1);
            continue;
        }
        int g = lookup(c);
        if (g < 0) continue;
        pen += pre[g] * scale * proportion;
        glyphs[g]->render_transformed(pen, y, rotation, scale * proportion, scale);
        pen += (glyphs[g]->get_width() + post[g] + tracking) * scale * proportion;
    }
}

void Font::printf(float x, float y, int align, const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text_buffer, sizeof text_buffer, format, args);
    va_end(args);
    if (n < 0) text_buffer[0] = '\0';
    render_text(x, y, align, text_buffer);
}

void Font::printf_boxed(float x, float y, float w, float h, int align, const char* format, ...) {
    if (!format) return;
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(text_buffer, sizeof text_buffer, format, args);
    va_end(args);
    if (n < 0) text_buffer[0] = '\0';

    int lines = wrap_text(*this, text_buffer, w);
    float text_height = static_cast<float>(lines) * spacing * scale * height;

    float px = x;
    switch (align & TEXT_HORZMASK) {
    case TEXT_RIGHT: px = x + w; break;
    case TEXT_CENTER: px = x + std::round(w / 2.0f); break;
    default: break;
    }
    float py = y;
    switch (align & TEXT_VERTMASK) {
    case TEXT_BOTTOM: py = y + h - text_height; break;
    case TEXT_MIDDLE: py = y + std::round((h - text_height) / 2.0f); break;
    default: break;
    }
    render_text(px, py, align, text_buffer);
}

void Font::set_color(uint32_t new_color) {
    color = new_color;
    for (Sprite* glyph : glyphs)
        if (glyph) glyph->set_color(color, -1);
}

void Font::set_z(float new_z) {
    z = new_z;
    for (Sprite* glyph : glyphs)
        if (glyph) glyph->set_z(z, -1);
}

void Font::set_blend_mode(int new_blend) {
    blend = new_blend;
    for (Sprite* glyph : glyphs)
        if (glyph) glyph->set_blend_mode(blend);
}
