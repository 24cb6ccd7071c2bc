// A target's picture drawn untinted is copied; drawn tinted or translucent it
// still blends and tints.
#include <gtest/gtest.h>

#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

class TargetCopyTest : public HeadlessTest {
  protected:
    void draw(const hgeQuad& q) { e->Gfx_RenderQuad(&q); }
};

TEST_F(TargetCopyTest, ATargetsPictureBlendsWhenTintedOrTranslucent) {
    HTARGET view = e->Target_Create(20, 20, false);
    ASSERT_TRUE(e->Gfx_BeginScene(view));
    e->Gfx_Clear(0xFF404040);
    e->Gfx_EndScene();
    HTEXTURE tex = e->Target_GetTexture(view);
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    e->Gfx_Clear(0xFFFFFFFF);
    draw(texture_quad(tex, 0, 0, 20, 20));                           // copied
    draw(texture_quad(tex, 30, 0, 50, 20, 0x80FFFFFF));              // half over white
    draw(texture_quad(tex, 60, 0, 80, 20, 0xFFFF0000));              // tinted red
    draw(texture_quad(tex, 90, 0, 110, 20, 0x00FFFFFF));             // invisible
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(0, 10, 10), 0x404040u);
    uint32_t half = pixel(0, 40, 10);
    EXPECT_NEAR(static_cast<int>(half & 0xFF), (0x40 + 0xFF) / 2, 2);
    EXPECT_EQ(half & 0xFF, (half >> 8) & 0xFF);
    EXPECT_EQ(pixel(0, 70, 10), 0x400000u);
    EXPECT_EQ(pixel(0, 100, 10), 0xFFFFFFu);
}

} // namespace
