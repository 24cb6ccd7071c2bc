// Start-up with a window leaves decoding pictures and making targets for
// later; the same engine headless, asked to do so, must draw exactly as if
// everything had been loaded at once.
#include <SDL.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The PNG with a byte of its image data changed and the chunk's checksum made
// right again: only decoding it can tell.
std::string undecodable(std::string png) {
    size_t at = png.find("IDAT");
    if (at == std::string::npos || at < 4) return std::string();
    auto byte = [&png](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(png[i])); };
    uint32_t length = byte(at - 4) << 24 | byte(at - 3) << 16 | byte(at - 2) << 8 | byte(at - 1);
    if (length < 4 || at + 8 + length > png.size()) return std::string();
    png[at + 4 + length / 2] ^= 0x5A;
    uint32_t crc = SDL_crc32(0, png.data() + at, length + 4);
    for (int i = 0; i < 4; ++i) png[at + 4 + length + i] = static_cast<char>(crc >> (24 - 8 * i));
    return png;
}

bool keep_running() {
    return false;
}

class DeferredLoadTest : public HeadlessTest {
  protected:
    void before_initiate() override { ASSERT_TRUE(sdl_engine_set_deferred_loads(e, true)); }
    // A 16 x 8 picture: its left half red, its right half blue.
    void write_halves(const std::string& name) {
        std::vector<uint32_t> px(16 * 8);
        for (size_t i = 0; i < px.size(); ++i) px[i] = i % 16 < 8 ? 0xFFFF0000 : 0xFF0000FF;
        ASSERT_TRUE(write_png(dir.file(name), 16, 8, px));
    }
    void draw_whole(HTARGET target, HTEXTURE tex) {
        ASSERT_TRUE(e->Gfx_BeginScene(target));
        e->Gfx_Clear(0xFF00FF00);
        hgeQuad q = texture_quad(tex, 0, 0, 32, 16);
        e->Gfx_RenderQuad(&q);
        e->Gfx_EndScene();
    }
};

TEST_F(DeferredLoadTest, PicturesDrawnBeforeTheirUploadComeOutWhole) {
    write_halves("halves.png");
    // Held, the decode has not begun when the picture is drawn, which must then do it.
    ASSERT_TRUE(sdl_engine_hold_decodes(e, true));
    HTEXTURE tex = e->Texture_Load("data/halves.png", 0, false);
    ASSERT_NE(tex, 0u);
    // Its size is known from the file's header, before any decode is done.
    EXPECT_EQ(e->Texture_GetWidth(tex, false), 16);
    EXPECT_EQ(e->Texture_GetHeight(tex, false), 8);
    HTARGET view = e->Target_Create(32, 16, false);
    ASSERT_NE(view, 0u);
    // A target never drawn into is shown black, as one made at once would be.
    HTARGET other = e->Target_Create(32, 16, false);
    ASSERT_TRUE(e->Gfx_BeginScene(other));
    e->Gfx_Clear(0xFFFFFFFF);
    hgeQuad q = texture_quad(e->Target_GetTexture(view), 0, 0, 32, 16);
    e->Gfx_RenderQuad(&q);
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(other, 5, 5), 0x000000u);
    // Nothing was presented yet, so the picture is still left for later here.
    draw_whole(view, tex);
    EXPECT_EQ(pixel(view, 4, 8), 0xFF0000u);
    EXPECT_EQ(pixel(view, 28, 8), 0x0000FFu);
    sdl_engine_hold_decodes(e, false);
}

TEST_F(DeferredLoadTest, BadPicturesStillFailWhereTheyAreLoaded) {
    write_halves("good.png");
    std::string good = read_file(dir.file("good.png"));
    ASSERT_GT(good.size(), 60u);
    dir.write("cut.png", good.substr(0, good.size() - 20));
    std::string flipped = good;
    flipped[good.size() - 20] ^= 0x10; // inside the image data: its checksum fails
    dir.write("flipped.png", flipped);
    dir.write("text.png", "not an image at all");
    EXPECT_EQ(e->Texture_Load("data/cut.png", 0, false), 0u);
    EXPECT_EQ(e->Texture_Load("data/flipped.png", 0, false), 0u);
    EXPECT_EQ(e->Texture_Load("data/text.png", 0, false), 0u);
    EXPECT_EQ(e->Texture_Load("data/absent.png", 0, false), 0u);
    EXPECT_EQ(e->Texture_Load(good.data(), static_cast<uint32_t>(good.size() - 20), false), 0u);
    HTEXTURE from_memory = e->Texture_Load(good.data(), static_cast<uint32_t>(good.size()), false);
    ASSERT_NE(from_memory, 0u);
    HTARGET view = e->Target_Create(32, 16, false);
    draw_whole(view, from_memory);
    EXPECT_EQ(pixel(view, 28, 8), 0x0000FFu);
    // Left for later, it fails only when decoded: then it draws nothing.
    std::string broken = undecodable(good);
    ASSERT_FALSE(broken.empty());
    dir.write("broken.png", broken);
    HTEXTURE late = e->Texture_Load("data/broken.png", 0, false);
    ASSERT_NE(late, 0u);
    draw_whole(view, late);
    EXPECT_EQ(pixel(view, 4, 8), 0x00FF00u);
    // More, some still waiting for their decodes when the engine shuts down.
    sdl_engine_hold_decodes(e, true);
    for (int i = 0; i < 3; ++i) EXPECT_NE(e->Texture_Load("data/good.png", 0, false), 0u);
}

TEST_F(DeferredLoadTest, FramesAfterTheFirstFinishWhatWasLeft) {
    write_halves("a.png");
    write_halves("b.png");
    write_halves("c.png");
    HTEXTURE a = e->Texture_Load("data/a.png", 0, false);
    HTEXTURE b = e->Texture_Load("data/b.png", 0, false);
    HTEXTURE c = e->Texture_Load("data/c.png", 0, false);
    ASSERT_TRUE(a && b && c);
    HTARGET view = e->Target_Create(32, 16, false);
    e->Texture_Free(b); // freed while still left for later
    e->System_SetState(HGE_FRAMEFUNC, keep_running);
    EXPECT_FALSE(e->System_RunFrames(10));
    // Loaded after the first frame, a picture is made at once, as it always was.
    write_halves("d.png");
    HTEXTURE d = e->Texture_Load("data/d.png", 0, false);
    ASSERT_NE(d, 0u);
    for (HTEXTURE t : {a, c, d}) {
        draw_whole(view, t);
        EXPECT_EQ(pixel(view, 4, 8), 0xFF0000u);
        EXPECT_EQ(pixel(view, 28, 8), 0x0000FFu);
    }
}

} // namespace
