#include <gtest/gtest.h>

#include <cmath>

#include "gfx/rect.h"
#include "gfx/sprite.h"
#include "gfx_expect.h"
#include "support/fake_engine.h"

namespace {

class SpriteTest : public ::testing::Test {
  protected:
    SpriteTest() {
        fake.textures["sheet.png"] = {256, 128};
        fake.textures["big.png"] = {512, 512};
        fake.textures["same.png"] = {256, 128};
        fake.textures["tall.png"] = {256, 256};
        sheet = fake.Texture_Load("sheet.png", 0, false);
    }

    FakeEngine fake;
    HTEXTURE sheet = 0;
};

TEST_F(SpriteTest, ConstructionSetsTextureCoordinatesAndDefaults) {
    Sprite s(sheet, 32, 16, 64, 32);
    expect_tex_rect(s.get_quad(), 32, 16, 64, 32, 256, 128);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.get_color(i), 0xFFFFFFFFu);
        EXPECT_FLOAT_EQ(s.get_z(i), 0.5f);
    }
    EXPECT_EQ(s.get_blend_mode(), BLEND_DEFAULT);
    EXPECT_EQ(s.get_texture(), sheet);
}

TEST_F(SpriteTest, WithoutTextureOrWithAnUnsizedOneTexelsAreCoordinates) {
    Sprite none(0, 3, 4, 5, 6);
    expect_tex_rect(none.get_quad(), 3, 4, 5, 6, 1, 1);
    // A handle the engine cannot size must not produce infinite coordinates.
    Sprite unsized(9999, 3, 4, 5, 6);
    expect_tex_rect(unsized.get_quad(), 3, 4, 5, 6, 1, 1);
    none.render(0, 0);
    ASSERT_EQ(fake.quads.size(), 1u);
}

TEST_F(SpriteTest, RenderPutsTheHotSpotOnThePoint) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    s.render(100, 50);
    ASSERT_EQ(fake.quads.size(), 1u);
    expect_corners(fake.quads[0], {{90, 45}, {130, 45}, {130, 65}, {90, 65}});
    expect_tex_rect(fake.quads[0], 0, 0, 40, 20, 256, 128);
}

TEST_F(SpriteTest, RenderTransformedUnturnedMatchesRender) {
    Sprite s(sheet, 8, 8, 34, 26);
    s.set_hot_spot(13, 13);
    s.render(321.5f, 17.25f);
    s.render_transformed(321.5f, 17.25f, 0.0f, 1.0f, 0.0f);
    ASSERT_EQ(fake.quads.size(), 2u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(fake.quads[0].v[i].x, fake.quads[1].v[i].x) << "vertex " << i;
        EXPECT_EQ(fake.quads[0].v[i].y, fake.quads[1].v[i].y) << "vertex " << i;
    }
}

TEST_F(SpriteTest, RenderTransformedScalesAboutTheHotSpot) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    s.render_transformed(100, 50, 0.0f, 2.0f, 0.0f); // v_scale 0 follows h_scale
    s.render_transformed(100, 50, 0.0f, 2.0f, 3.0f);
    ASSERT_EQ(fake.quads.size(), 2u);
    expect_corners(fake.quads[0], {{80, 40}, {160, 40}, {160, 80}, {80, 80}});
    expect_corners(fake.quads[1], {{80, 35}, {160, 35}, {160, 95}, {80, 95}});
}

TEST_F(SpriteTest, QuarterTurnIsClockwiseAboutTheHotSpot) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    s.render_transformed(100, 50, 1.5707964f, 1.0f, 0.0f);
    ASSERT_EQ(fake.quads.size(), 1u);
    // Turned clockwise on a y-down screen: the top edge now runs downwards,
    // the left edge runs to the left.
    expect_corners(fake.quads[0], {{105, 40}, {105, 80}, {85, 80}, {85, 40}}, 1e-4f);
}

TEST_F(SpriteTest, StretchedAndCornersIgnoreTheHotSpot) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    s.render_stretched(1, 2, 30, 40);
    s.render_corners(1, 2, 3, 4, 5, 6, 7, 8);
    ASSERT_EQ(fake.quads.size(), 2u);
    expect_corners(fake.quads[0], {{1, 2}, {30, 2}, {30, 40}, {1, 40}});
    expect_corners(fake.quads[1], {{1, 2}, {3, 4}, {5, 6}, {7, 8}});
}

TEST_F(SpriteTest, SetTextureOfTheSameSizeChangesOnlyTheHandle) {
    Sprite s(sheet, 32, 16, 64, 32);
    s.set_flip(true, false, false);
    hgeQuad before = s.get_quad();
    HTEXTURE same = fake.Texture_Load("same.png", 0, false);
    s.set_texture(same);
    EXPECT_EQ(s.get_texture(), same);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.get_quad().v[i].tx, before.v[i].tx);
        EXPECT_EQ(s.get_quad().v[i].ty, before.v[i].ty);
    }
}

TEST_F(SpriteTest, SetTextureOfAnotherSizeKeepsTheSameTexels) {
    Sprite s(sheet, 32, 16, 64, 32);
    HTEXTURE big = fake.Texture_Load("big.png", 0, false);
    s.set_texture(big);
    expect_tex_rect(s.get_quad(), 32, 16, 64, 32, 512, 512);
    // And back again, and to no texture at all (1 x 1).
    s.set_texture(sheet);
    expect_tex_rect(s.get_quad(), 32, 16, 64, 32, 256, 128);
    s.set_texture(0);
    expect_tex_rect(s.get_quad(), 32, 16, 64, 32, 1, 1);
    // A change of height alone rescales as well.
    s.set_texture(sheet);
    s.set_texture(fake.Texture_Load("tall.png", 0, false));
    expect_tex_rect(s.get_quad(), 32, 16, 64, 32, 256, 256);
}

TEST_F(SpriteTest, FlipAndBackRestoresTextureCoordinates) {
    Sprite s(sheet, 32, 16, 64, 32);
    hgeQuad start = s.get_quad();

    s.set_flip(true, false, false);
    // Left and right exchanged, top and bottom kept.
    EXPECT_EQ(s.get_quad().v[0].tx, start.v[1].tx);
    EXPECT_EQ(s.get_quad().v[1].tx, start.v[0].tx);
    EXPECT_EQ(s.get_quad().v[0].ty, start.v[0].ty);
    s.set_flip(false, false, false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.get_quad().v[i].tx, start.v[i].tx);
        EXPECT_EQ(s.get_quad().v[i].ty, start.v[i].ty);
    }

    s.set_flip(false, true, false);
    EXPECT_EQ(s.get_quad().v[0].ty, start.v[3].ty);
    EXPECT_EQ(s.get_quad().v[3].ty, start.v[0].ty);
    EXPECT_EQ(s.get_quad().v[0].tx, start.v[0].tx);
    s.set_flip(true, true, false);
    s.set_flip(false, false, false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.get_quad().v[i].tx, start.v[i].tx);
        EXPECT_EQ(s.get_quad().v[i].ty, start.v[i].ty);
    }
}

TEST_F(SpriteTest, HotSpotFlipGoesByTheFlipsBeforeTheCall) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    float hx, hy;
    auto hot = [&](float x, float y) {
        s.get_hot_spot(&hx, &hy);
        EXPECT_EQ(hx, x);
        EXPECT_EQ(hy, y);
    };

    // No flip was in force when the flag came on: nothing to mirror yet.
    s.set_flip(true, false, true);
    hot(10, 5);
    // With the flag staying on, undoing and redoing the old flips cancel out.
    s.set_flip(true, true, true);
    hot(10, 5);
    s.set_flip(false, false, true);
    hot(10, 5);

    // The flag switched on over a flip in force mirrors the hot spot...
    s.set_flip(true, false, false);
    hot(10, 5);
    s.set_flip(true, false, true);
    hot(30, 5);
    // ...and switched off takes the mirror back.
    s.set_flip(true, true, false);
    hot(10, 5);
    // On again over both flips mirrors both axes; off takes both back.
    s.set_flip(true, true, true);
    hot(30, 15);
    s.set_flip(false, false, false);
    hot(10, 5);
}

TEST_F(SpriteTest, MirroredHotSpotLandsOnTheSameTexel) {
    // The picture texel under the hot spot must stay under the draw position.
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    s.set_flip(true, false, false);
    s.set_flip(true, false, true);
    s.render(100, 50);
    const hgeQuad& q = fake.quads.back();
    // Texture u at x = 100 by linear interpolation along the top edge.
    float t = (100.0f - q.v[0].x) / (q.v[1].x - q.v[0].x);
    float u = q.v[0].tx + t * (q.v[1].tx - q.v[0].tx);
    EXPECT_NEAR(u * 256.0f, 10.0f, 1e-4f);
}

TEST_F(SpriteTest, SetTextureRectReappliesFlipsWithoutMovingTheHotSpot) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    s.set_flip(true, false, false);
    s.set_flip(true, false, true);
    s.set_texture_rect(64, 32, 40, 20, true);
    Sprite expected(sheet, 64, 32, 40, 20);
    expected.set_flip(true, false, false);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.get_quad().v[i].tx, expected.get_quad().v[i].tx) << i;
        EXPECT_EQ(s.get_quad().v[i].ty, expected.get_quad().v[i].ty) << i;
    }
    float hx, hy;
    s.get_hot_spot(&hx, &hy);
    EXPECT_EQ(hx, 30.0f);
    bool fx, fy;
    s.get_flip(&fx, &fy);
    EXPECT_TRUE(fx);
    EXPECT_FALSE(fy);
}

TEST_F(SpriteTest, SetTextureRectWithoutAdjustKeepsTheDrawnSize) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_texture_rect(8, 4, 16, 8, false);
    EXPECT_EQ(s.get_width(), 40.0f);
    EXPECT_EQ(s.get_height(), 20.0f);
    expect_tex_rect(s.get_quad(), 8, 4, 16, 8, 256, 128);
    float x, y, w, h;
    s.get_texture_rect(&x, &y, &w, &h);
    EXPECT_EQ(x, 8.0f);
    EXPECT_EQ(y, 4.0f);
    EXPECT_EQ(w, 40.0f);
    s.set_texture_rect(8, 4, 16, 8, true);
    EXPECT_EQ(s.get_width(), 16.0f);
    EXPECT_EQ(s.get_height(), 8.0f);
}

TEST_F(SpriteTest, ColourAndDepthPerVertexAndOutOfRangeVerticesAreIgnored) {
    Sprite s(sheet, 0, 0, 8, 8);
    s.set_color(0x11223344u, 2);
    EXPECT_EQ(s.get_color(2), 0x11223344u);
    EXPECT_EQ(s.get_color(0), 0xFFFFFFFFu);
    s.set_color(0x55667788u, -1);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.get_color(i), 0x55667788u);
    s.set_color(0x01010101u, 4);
    s.set_color(0x01010101u, -2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s.get_color(i), 0x55667788u);
    s.set_color(0x99999999u, 0);
    EXPECT_EQ(s.get_color(7), 0x99999999u); // reads vertex 0, never past the quad
    s.set_z(0.25f, 3);
    s.set_z(0.1f, 9);
    EXPECT_EQ(s.get_z(3), 0.25f);
    EXPECT_EQ(s.get_z(2), 0.5f);
}

TEST_F(SpriteTest, CopyCarriesEverythingAndThenGoesItsOwnWay) {
    Sprite a(sheet, 32, 16, 64, 32);
    a.set_hot_spot(3, 4);
    a.set_color(0x12345678u, 1);
    a.set_flip(true, false, false);
    Sprite b(a);
    EXPECT_EQ(b.get_quad().v[0].tx, a.get_quad().v[0].tx);
    EXPECT_EQ(b.get_color(1), 0x12345678u);
    b.set_hot_spot(0, 0);
    a.render(10, 10);
    b.render(10, 10);
    EXPECT_EQ(fake.quads[0].v[0].x, 7.0f);
    EXPECT_EQ(fake.quads[1].v[0].x, 10.0f);

    Sprite c(0, 0, 0, 1, 1);
    c = a;
    c.render(10, 10);
    EXPECT_EQ(fake.quads[2].v[0].x, 7.0f);
    EXPECT_EQ(fake.quads[2].tex, sheet);
}

TEST_F(SpriteTest, BoundingBoxMatchesTheDrawnCorners) {
    Sprite s(sheet, 0, 0, 40, 20);
    s.set_hot_spot(10, 5);
    Rect r(-1000, -1000, 1000, 1000); // stale contents must not survive
    Rect* out = s.bounding_box_transformed(100, 50, 0.0f, 1.0f, 1.0f, &r);
    EXPECT_EQ(out, &r);
    EXPECT_FALSE(r.clean);
    EXPECT_EQ(r.x1, 90.0f);
    EXPECT_EQ(r.y1, 45.0f);
    EXPECT_EQ(r.x2, 130.0f);
    EXPECT_EQ(r.y2, 65.0f);

    s.bounding_box_transformed(100, 50, 1.5707964f, 1.0f, 1.0f, &r);
    EXPECT_NEAR(r.x1, 85.0f, 1e-4f);
    EXPECT_NEAR(r.x2, 105.0f, 1e-4f);
    EXPECT_NEAR(r.y1, 40.0f, 1e-4f);
    EXPECT_NEAR(r.y2, 80.0f, 1e-4f);

    // Unlike drawing, a vertical scale of 0 stays 0 here.
    s.bounding_box_transformed(100, 50, 0.0f, 2.0f, 0.0f, &r);
    EXPECT_EQ(r.x2, 160.0f);
    EXPECT_EQ(r.y1, 50.0f);
    EXPECT_EQ(r.y2, 50.0f);
    EXPECT_TRUE(fake.quads.empty()); // measuring draws nothing
}

TEST(RectTest, EncapsulateStartsAtThePointAndGrows) {
    Rect r;
    EXPECT_TRUE(r.clean);
    r.encapsulate(5, 7);
    EXPECT_FALSE(r.clean);
    EXPECT_EQ(r.x1, 5.0f);
    EXPECT_EQ(r.x2, 5.0f);
    EXPECT_EQ(r.y1, 7.0f);
    EXPECT_EQ(r.y2, 7.0f);
    r.encapsulate(-3, 10);
    r.encapsulate(2, -1);
    EXPECT_EQ(r.x1, -3.0f);
    EXPECT_EQ(r.x2, 5.0f);
    EXPECT_EQ(r.y1, -1.0f);
    EXPECT_EQ(r.y2, 10.0f);
}

TEST(RectTest, TestPointIncludesLeftTopAndExcludesRightBottom) {
    Rect r(0, 0, 10, 20);
    EXPECT_TRUE(r.test_point(0, 0));
    EXPECT_TRUE(r.test_point(9.99f, 19.99f));
    EXPECT_FALSE(r.test_point(10, 5));
    EXPECT_FALSE(r.test_point(5, 20));
    EXPECT_FALSE(r.test_point(-0.01f, 5));
    EXPECT_FALSE(r.test_point(5, -0.01f));
    Rect point;
    point.encapsulate(3, 3);
    EXPECT_FALSE(point.test_point(3, 3)); // a zero-size rectangle holds nothing
}

TEST(RectTest, IntersectNeedsMoreThanTouchingEdges) {
    Rect a(0, 0, 10, 10);
    EXPECT_TRUE(a.intersect(Rect(5, 5, 15, 15)));
    EXPECT_TRUE(a.intersect(Rect(2, 2, 3, 3))); // inside
    EXPECT_TRUE(Rect(2, 2, 3, 3).intersect(a));
    EXPECT_FALSE(a.intersect(Rect(10, 0, 20, 10))); // shares the right edge
    EXPECT_FALSE(a.intersect(Rect(0, 10, 10, 20))); // shares the bottom edge
    EXPECT_FALSE(a.intersect(Rect(20, 0, 30, 10)));
    EXPECT_FALSE(a.intersect(Rect(5, 11, 6, 12))); // overlaps in x only
    EXPECT_TRUE(a.intersect(Rect(-5, 9.5f, 0.5f, 30)));
}

} // namespace
