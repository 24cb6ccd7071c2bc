// Drawing in a headless engine, read back as pixels.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

const uint32_t kWhite = 0xFFFFFF, kBlack = 0x000000;

// Each colour channel within tolerance of the expected one.
::testing::AssertionResult near_rgb(uint32_t got, uint32_t want, int tol = 2) {
    for (int shift = 0; shift <= 16; shift += 8) {
        int a = static_cast<int>((got >> shift) & 255), b = static_cast<int>((want >> shift) & 255);
        if (a - b > tol || b - a > tol)
            return ::testing::AssertionFailure()
                   << std::hex << "got 0x" << got << " want 0x" << want;
    }
    return ::testing::AssertionSuccess();
}

class GfxTest : public HeadlessTest {
  protected:
    void draw(const hgeQuad& q) { e->Gfx_RenderQuad(&q); }
    // A 4 x 4 image: red, green, blue, white columns; the bottom row half transparent.
    HTEXTURE load_columns() {
        std::vector<uint32_t> px(16);
        const uint32_t cols[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                px[y * 4 + x] = y == 3 ? (cols[x] & 0x00FFFFFF) | 0x80000000 : cols[x];
        EXPECT_TRUE(write_png(dir.file("cols.png"), 4, 4, px));
        return e->Texture_Load("data/cols.png", 0, false);
    }
    // An 8 x 4 image: red left half, blue right half; drawn larger, its halves
    // stay pure whatever the filtering.
    HTEXTURE load_halves() {
        std::vector<uint32_t> px(32);
        for (int i = 0; i < 32; ++i) px[i] = i % 8 < 4 ? 0xFFFF0000 : 0xFF0000FF;
        EXPECT_TRUE(write_png(dir.file("halves.png"), 8, 4, px));
        return e->Texture_Load("data/halves.png", 0, false);
    }
};

TEST_F(GfxTest, TexturesLoadWithTheirImageSize) {
    std::vector<uint32_t> px(30 * 12, 0xFF123456);
    ASSERT_TRUE(write_png(dir.file("pic.png"), 30, 12, px));
    HTEXTURE t = e->Texture_Load("data/pic.png", 0, false);
    ASSERT_NE(t, 0u);
    EXPECT_EQ(e->Texture_GetWidth(t, false), 30);
    EXPECT_EQ(e->Texture_GetWidth(t, true), 30);
    EXPECT_EQ(e->Texture_GetHeight(t, false), 12);
    EXPECT_EQ(e->Texture_GetHeight(t, true), 12);
    EXPECT_EQ(e->Texture_Load("data/absent.png", 0, false), 0u);
    dir.write("bad.png", "not an image at all");
    EXPECT_EQ(e->Texture_Load("data/bad.png", 0, false), 0u);
    e->Texture_Free(t);
    EXPECT_EQ(e->Texture_GetWidth(t, false), 0);
    HTEXTURE again = e->Texture_Load("data/pic.png", 0, false);
    EXPECT_NE(again, t); // a freed handle never names a later texture
}

TEST_F(GfxTest, AWhiteUntexturedQuadCoversExactlyItsPixels) {
    HTARGET t = e->Target_Create(64, 48, false);
    ASSERT_NE(t, 0u);
    EXPECT_EQ(e->Texture_GetWidth(e->Target_GetTexture(t), false), 64);
    EXPECT_EQ(e->Texture_GetHeight(e->Target_GetTexture(t), false), 48);
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0);
    draw(solid_quad(10, 10, 20, 30, 0xFFFFFFFF));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(t, 10, 10), kWhite);
    EXPECT_EQ(pixel(t, 19, 29), kWhite);
    EXPECT_EQ(pixel(t, 15, 20), kWhite);
    EXPECT_EQ(pixel(t, 9, 10), kBlack);
    EXPECT_EQ(pixel(t, 20, 10), kBlack);
    EXPECT_EQ(pixel(t, 10, 9), kBlack);
    EXPECT_EQ(pixel(t, 10, 30), kBlack);
}

TEST_F(GfxTest, BlendModesMixAsTheGameExpects) {
    HTEXTURE tex = load_halves();
    HTARGET t = e->Target_Create(60, 10, false);
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0xFF00FF00);                                          // green
    draw(solid_quad(0, 0, 10, 10, 0x80FF0000));                        // half red, blended
    draw(solid_quad(10, 0, 20, 10, 0xFFFF0000, BLEND_COLORMUL));       // alpha add: red + green
    draw(solid_quad(20, 0, 30, 10, 0x00FF0000));                       // fully transparent
    draw(solid_quad(30, 0, 40, 10, 0x80FF0000, BLEND_COLORMUL));       // half red added
    draw(texture_quad(tex, 40, 0, 56, 8, 0xFFFFFFFF, BLEND_COLORMUL)); // scaled, added
    e->Gfx_EndScene();
    EXPECT_TRUE(near_rgb(pixel(t, 5, 5), 0x807F00));
    EXPECT_EQ(pixel(t, 15, 5), 0xFFFF00u);
    EXPECT_EQ(pixel(t, 25, 5), 0x00FF00u);
    EXPECT_TRUE(near_rgb(pixel(t, 35, 5), 0x80FF00));
    EXPECT_EQ(pixel(t, 42, 2), 0xFFFF00u); // red half + green
    EXPECT_EQ(pixel(t, 53, 5), 0x00FFFFu); // blue half + green
    EXPECT_EQ(pixel(t, 42, 9), 0x00FF00u); // below the quad
    EXPECT_EQ(pixel(t, 57, 2), 0x00FF00u); // right of it
}

TEST_F(GfxTest, TexturedQuadsMapCornersAndMultiplyByVertexColour) {
    HTEXTURE tex = load_columns();
    ASSERT_NE(tex, 0u);
    HTARGET t = e->Target_Create(16, 16, false);
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0);
    draw(texture_quad(tex, 0, 0, 4, 4));
    draw(texture_quad(tex, 8, 0, 12, 4, 0xFF00FFFF)); // cyan tint keeps green and blue
    draw(texture_quad(load_halves(), 0, 8, 16, 16));  // twice the size
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(t, 0, 0), 0xFF0000u);
    EXPECT_EQ(pixel(t, 1, 1), 0x00FF00u);
    EXPECT_EQ(pixel(t, 2, 2), 0x0000FFu);
    EXPECT_EQ(pixel(t, 3, 0), 0xFFFFFFu);
    EXPECT_TRUE(near_rgb(pixel(t, 0, 3), 0x800000)); // half transparent over black
    EXPECT_EQ(pixel(t, 8, 0), 0x000000u);
    EXPECT_EQ(pixel(t, 9, 0), 0x00FF00u);
    EXPECT_EQ(pixel(t, 11, 0), 0x00FFFFu);
    EXPECT_EQ(pixel(t, 2, 10), 0xFF0000u);
    EXPECT_EQ(pixel(t, 13, 13), 0x0000FFu);
}

TEST_F(GfxTest, ColourAddPaintsTheImagesShapeInTheVertexColour) {
    HTEXTURE tex = load_columns();
    HTARGET t = e->Target_Create(8, 4, false);
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0);
    draw(texture_quad(tex, 0, 0, 4, 4, 0xFF0000FF, BLEND_DEFAULT | BLEND_COLORADD));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(t, 0, 0), 0xFF00FFu); // red + blue
    EXPECT_EQ(pixel(t, 1, 0), 0x00FFFFu); // green + blue
    EXPECT_EQ(pixel(t, 2, 0), 0x0000FFu); // blue + blue, saturated
    EXPECT_EQ(pixel(t, 5, 0), 0x000000u); // outside the quad
    // Half transparent: half of each, as the shape is half there.
    EXPECT_TRUE(near_rgb(pixel(t, 0, 3), 0x800080));
    // The same after the device lost every texture.
    ASSERT_TRUE(sdl_engine_simulate_device_reset(e, true));
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0);
    draw(texture_quad(tex, 0, 0, 4, 4, 0xFF0000FF, BLEND_DEFAULT | BLEND_COLORADD));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(t, 0, 0), 0xFF00FFu);
    EXPECT_TRUE(near_rgb(pixel(t, 0, 3), 0x800080));
}

TEST_F(GfxTest, ATargetsPictureIsOpaqueWhenDrawn) {
    HTARGET view = e->Target_Create(20, 20, false);
    ASSERT_TRUE(e->Gfx_BeginScene(view));
    e->Gfx_Clear(0); // black with alpha 0, as the game clears its views
    draw(solid_quad(5, 5, 10, 10, 0xFFFF0000));
    e->Gfx_EndScene();
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    e->Gfx_Clear(0xFFFFFFFF);
    draw(texture_quad(e->Target_GetTexture(view), 100, 100, 120, 120));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(0, 100, 100), kBlack); // not the white below
    EXPECT_EQ(pixel(0, 119, 119), kBlack);
    EXPECT_EQ(pixel(0, 106, 106), 0xFF0000u);
    EXPECT_EQ(pixel(0, 99, 100), kWhite);
    EXPECT_EQ(pixel(0, 120, 119), kWhite);
    // Colour add over a target's picture adds everywhere: it has no transparent parts.
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    draw(texture_quad(e->Target_GetTexture(view), 200, 100, 220, 120, 0xFF0000FF,
                      BLEND_DEFAULT | BLEND_COLORADD));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(0, 201, 101), 0x0000FFu);
    EXPECT_EQ(pixel(0, 206, 106), 0xFF00FFu);
}

// Quad i of a mixed sequence: two textures and none, three blend modes, overlaps.
hgeQuad pattern_quad(HTEXTURE a, HTEXTURE b, int i) {
    uint32_t hash = static_cast<uint32_t>(i) * 2654435761u;
    float x = static_cast<float>(hash % 187), y = static_cast<float>((hash >> 12) % 91);
    HTEXTURE tex = i % 3 == 0 ? a : (i % 3 == 1 ? b : 0);
    int blend =
        i % 5 == 0 ? BLEND_COLORMUL : (i % 7 == 0 ? BLEND_DEFAULT | BLEND_COLORADD : BLEND_DEFAULT);
    uint32_t col = 0x80000000u | (hash & 0xFFFFFFu);
    return texture_quad(tex, x, y, x + 13, y + 9, col, blend);
}

TEST_F(GfxTest, BatchedDrawingGivesTheSamePixelsAsQuadByQuad) {
    HTEXTURE a = load_columns();
    std::vector<uint32_t> px(8 * 8);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] =
            0x40000000u * static_cast<uint32_t>(i % 4) | 0x00345678u * static_cast<uint32_t>(i % 3);
    ASSERT_TRUE(write_png(dir.file("b.png"), 8, 8, px));
    HTEXTURE b = e->Texture_Load("data/b.png", 0, false);
    ASSERT_NE(b, 0u);
    const int count = 5000; // more than one batch holds
    HTARGET batched = e->Target_Create(200, 100, false);
    HTARGET single = e->Target_Create(200, 100, false);
    ASSERT_TRUE(e->Gfx_BeginScene(batched));
    e->Gfx_Clear(0xFF202020);
    for (int i = 0; i < count; ++i) draw(pattern_quad(a, b, i));
    e->Gfx_EndScene();
    ASSERT_TRUE(e->Gfx_BeginScene(single));
    e->Gfx_Clear(0xFF202020);
    e->Gfx_EndScene();
    for (int i = 0; i < count; ++i) { // one scene per quad: nothing can be batched
        ASSERT_TRUE(e->Gfx_BeginScene(single));
        draw(pattern_quad(a, b, i));
        e->Gfx_EndScene();
    }
    std::vector<uint32_t> pa, pb;
    int w, h;
    ASSERT_TRUE(sdl_engine_read_pixels(e, batched, &pa, &w, &h));
    ASSERT_TRUE(sdl_engine_read_pixels(e, single, &pb, &w, &h));
    ASSERT_EQ(pa.size(), 200u * 100u);
    EXPECT_EQ(pa, pb);
    size_t background = 0;
    for (uint32_t p : pa) background += (p & 0xFFFFFF) == 0x202020;
    EXPECT_LT(background, pa.size() / 4); // the pattern really drew
}

TEST_F(GfxTest, ScenesDoNotNestAndDrawingOutsideAScenIsIgnored) {
    HTARGET t = e->Target_Create(10, 10, false);
    draw(solid_quad(0, 0, 10, 10, 0xFFFFFFFF)); // no scene: dropped
    e->Gfx_Clear(0xFFFFFFFF);
    EXPECT_EQ(pixel(t, 5, 5), kBlack);
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    EXPECT_FALSE(e->Gfx_BeginScene(0));
    EXPECT_FALSE(e->Gfx_BeginScene(t));
    e->Gfx_EndScene();
    EXPECT_FALSE(e->Gfx_BeginScene(t + 12345)); // no such target
    e->Target_Free(t);
    EXPECT_FALSE(e->Gfx_BeginScene(t));
    EXPECT_EQ(e->Target_GetTexture(t), 0u);
    EXPECT_EQ(e->Target_Create(0, 10, false), 0u);
    EXPECT_EQ(e->Target_Create(10, -1, false), 0u);
}

TEST_F(GfxTest, QuadsWithAFreedTextureDrawNothing) {
    HTEXTURE tex = load_columns();
    HTARGET t = e->Target_Create(8, 8, false);
    e->Texture_Free(tex);
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0);
    draw(texture_quad(tex, 0, 0, 8, 8));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(t, 1, 1), kBlack);
}

// A freed target's picture serves the next target of its size: it starts
// black as a new one does, and the old handles stay dead.
TEST_F(GfxTest, ATargetOfAFreedOnesSizeStartsBlackUnderNewHandles) {
    HTARGET small = e->Target_Create(16, 8, false);
    HTARGET wide = e->Target_Create(40, 8, false);
    ASSERT_TRUE(small && wide);
    for (HTARGET t : {small, wide}) {
        ASSERT_TRUE(e->Gfx_BeginScene(t));
        e->Gfx_Clear(0xFFFF0000);
        e->Gfx_EndScene();
    }
    HTEXTURE old_small = e->Target_GetTexture(small), old_wide = e->Target_GetTexture(wide);
    e->Target_Free(small);
    e->Target_Free(wide);
    HTARGET again = e->Target_Create(40, 8, false);
    HTARGET other = e->Target_Create(24, 8, false);
    ASSERT_TRUE(again && other);
    EXPECT_EQ(e->Target_GetTexture(wide), 0u);
    EXPECT_EQ(e->Texture_GetWidth(old_wide, false), 0);
    EXPECT_EQ(e->Texture_GetWidth(old_small, false), 0);
    EXPECT_NE(e->Target_GetTexture(again), old_wide);
    EXPECT_EQ(e->Texture_GetWidth(e->Target_GetTexture(again), false), 40);
    for (int x : {0, 20, 39}) EXPECT_EQ(pixel(again, x, 4), kBlack) << x;
    EXPECT_EQ(pixel(other, 3, 3), kBlack);
    // The new target draws and shows as any other.
    ASSERT_TRUE(e->Gfx_BeginScene(again));
    draw(solid_quad(0, 0, 10, 8, 0xFF00FF00));
    e->Gfx_EndScene();
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    draw(texture_quad(e->Target_GetTexture(again), 0, 0, 40, 8));
    draw(texture_quad(old_wide, 0, 20, 40, 28)); // dead: draws nothing
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(0, 5, 4), 0x00FF00u);
    EXPECT_EQ(pixel(0, 30, 4), kBlack);
    EXPECT_EQ(pixel(0, 5, 24), kBlack);
    // Taken again, it is black whether first drawn into or first shown.
    e->Target_Free(again);
    HTARGET drawn = e->Target_Create(40, 8, false);
    ASSERT_TRUE(e->Gfx_BeginScene(drawn));
    draw(solid_quad(30, 0, 40, 8, 0xFF0000FF));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(drawn, 5, 4), kBlack);
    EXPECT_EQ(pixel(drawn, 35, 4), 0x0000FFu);
    e->Target_Free(drawn);
    HTARGET shown = e->Target_Create(40, 8, false);
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    e->Gfx_Clear(0xFFFFFFFF);
    draw(texture_quad(e->Target_GetTexture(shown), 0, 0, 40, 8));
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(0, 35, 4), kBlack);
    EXPECT_EQ(pixel(0, 50, 4), kWhite);
    // Many sizes freed in turn: each comes back whole.
    for (int round = 0; round < 3; ++round) {
        HTARGET made[6];
        for (int i = 0; i < 6; ++i) made[i] = e->Target_Create(8 + i, 8, false);
        for (HTARGET t : made) e->Target_Free(t);
    }
    HTARGET last = e->Target_Create(13, 8, false);
    EXPECT_EQ(e->Texture_GetWidth(e->Target_GetTexture(last), false), 13);
    EXPECT_EQ(pixel(last, 12, 7), kBlack);
}

TEST_F(GfxTest, ScreenshotIsAnImageOfTheWholeScreen) {
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    e->Gfx_Clear(0xFF0000FF);
    draw(solid_quad(0, 0, 400, 295, 0xFFFFFF00));
    e->Gfx_EndScene();
    std::string file = dir.file("shot.png");
    ASSERT_TRUE(e->Gfx_SaveScreenshot(file.c_str()));
    SDL_Surface* img = IMG_Load(file.c_str());
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->w, 800);
    EXPECT_EQ(img->h, 590);
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(img, SDL_PIXELFORMAT_ARGB8888, 0);
    ASSERT_NE(argb, nullptr);
    auto at = [argb](int x, int y) {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(argb->pixels) +
                                           y * argb->pitch)[x];
    };
    EXPECT_EQ(at(0, 0), 0xFFFFFF00u);
    EXPECT_EQ(at(399, 294), 0xFFFFFF00u);
    EXPECT_EQ(at(400, 294), 0xFF0000FFu);
    EXPECT_EQ(at(799, 589), 0xFF0000FFu);
    SDL_FreeSurface(argb);
    SDL_FreeSurface(img);
    EXPECT_FALSE(e->Gfx_SaveScreenshot(dir.file("no/such/folder/x.png").c_str()));
}

} // namespace
