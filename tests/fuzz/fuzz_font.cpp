// The font description reader: any bytes as a font file, read once with its
// bitmaps loading and once with them failing; then every byte measured and drawn.
#include <cmath>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "gfx/font.h"

namespace {

class FontEngine : public FakeEngine {
  public:
    bool textures_fail = false;
    HTEXTURE Texture_Load(const char* name, uint32_t size, bool mipmap) override {
        return textures_fail ? 0 : FakeEngine::Texture_Load(name, size, mipmap);
    }
};

// The reader's first line: up to a line break or NUL, cut at 255 bytes.
std::string first_line(const uint8_t* data, size_t size) {
    std::string line;
    for (size_t i = 0; i < size && data[i] != '\n' && data[i] != '\r' && data[i] != 0; ++i)
        if (line.size() < 255) line += static_cast<char>(data[i]);
    return line;
}

void check_quads(const FakeEngine& fake) {
    for (const hgeQuad& q : fake.quads)
        for (const hgeVertex& v : q.v)
            fuzz_check(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.tx) &&
                           std::isfinite(v.ty),
                       "glyph quads are finite");
}

void read_and_draw(const uint8_t* data, size_t size, const char* name, bool textures_fail) {
    FontEngine fake;
    fake.textures_fail = textures_fail;
    fake.files[name] = std::string(reinterpret_cast<const char*>(data), size);
    Font font(name);

    bool header = size > 0 && first_line(data, size) == "[HGEFONT]";
    if (!header) {
        fuzz_check(font.is_empty(), "a wrong first line leaves the font empty");
        fuzz_check(fake.log.size() == 1 && fake.log[0].find(name) != std::string::npos,
                   "a wrong first line is logged once with the file name");
    } else {
        fuzz_check(fake.log.empty(), "a readable description logs nothing");
    }
    fuzz_check(font.get_height() >= 0, "the line height is not negative");
    if (font.is_empty()) fuzz_check(font.get_height() == 0, "an empty font has no height");

    char all[256];
    for (int i = 1; i < 256; ++i) all[i - 1] = static_cast<char>(i);
    all[255] = '\0';
    float w1 = font.text_width(all, false);
    float wn = font.text_width(all, true);
    fuzz_check(std::isfinite(w1) && std::isfinite(wn), "widths are finite");
    if (font.is_empty()) fuzz_check(w1 == 0 && wn == 0, "an empty font measures 0");
    for (int align = 0; align < 4; ++align) font.render_text(10, 20, align, all);
    font.printf(400, 100, TEXT_CENTER, "PASSWORD:\n%s\nLEVEL: %s%d", "TUVLMRFEN", "00", 7);
    font.printf_boxed(0, 0, 120, 80, TEXT_CENTER | TEXT_MIDDLE, "%s %s", all + 31, all + 64);
    font.printf_boxed(0, 0, 0, 0, TEXT_RIGHT | TEXT_BOTTOM, "one two  three\n\nfour");
    font.set_color(0x80FF00FF);
    font.set_z(0.25f);
    font.set_blend_mode(BLEND_COLORADD);
    font.render_text(0, 0, TEXT_LEFT, "?\r\n?");
    check_quads(fake);
    if (font.is_empty()) fuzz_check(fake.quads.empty(), "an empty font draws nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    read_and_draw(data, size, "data/fonts/fuzz.fnt", false);
    read_and_draw(data, size, "data\\fonts\\fuzz.fnt", true);
    return 0;
}
