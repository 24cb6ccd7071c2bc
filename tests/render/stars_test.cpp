#include "render/render.h"

#include "render_fixture.h"

namespace {

class StarsTest : public RenderFixture {
  protected:
    std::unique_ptr<Sprite> star_sprite;

    void SetUp() override {
        RenderFixture::SetUp();
        star_sprite.reset(new Sprite(fake.Texture_Load("star.png", 0, false), 0, 0, 2, 2));
        resources.sprite_star = star_sprite.get();
    }

    // Where each star landed (hot spot 0: the first corner).
    std::vector<std::pair<float, float>> drawn() const {
        std::vector<std::pair<float, float>> out;
        for (const hgeQuad& q : fake.quads) out.push_back({q.v[0].x, q.v[0].y});
        return out;
    }
};

// The side vector of heading -pi/2: the view is the world unturned.
const float UP_X = 1.0f, UP_Y = 0.0f;

TEST_F(StarsTest, StarsWrapOncePerAxisAroundTheCamera) {
    // Star box 1100 x 1100; camera 100 gives c_x 100, so the wrap edge is 650.
    w.stars = {{650, 100}, {651, 100}, {100, 650}, {100, 651}, {-451, 100}, {1751, 100}};
    draw_stars(w, 100, 100, UP_X, UP_Y, 200, 400);
    auto p = drawn();
    ASSERT_EQ(p.size(), 6u);
    EXPECT_FLOAT_EQ(p[0].first, 200 + 550); // exactly W/2 right: stays
    EXPECT_FLOAT_EQ(p[1].first, 200 - 549); // a little further: W to the left
    EXPECT_FLOAT_EQ(p[2].second, 400 + 550);
    EXPECT_FLOAT_EQ(p[3].second, 400 - 549);
    EXPECT_FLOAT_EQ(p[4].first, 200 + 549); // W/2 + 1 left of c_x comes back from the right
    // Only one correction: a star 1.5 boxes away stays half a box off.
    EXPECT_FLOAT_EQ(p[5].first, 200 + 551);
    EXPECT_FLOAT_EQ(p[5].second, 400);
}

TEST_F(StarsTest, CameraIsTakenModuloTheStarBox) {
    w.settings.star_minx = 100; // box 1000 x 500
    w.settings.star_maxx = 1100;
    w.settings.star_miny = 0;
    w.settings.star_maxy = 500;
    w.stars = {{300, 200}};
    draw_stars(w, 2250, 1220, UP_X, UP_Y, 0, 0); // c = (250, 220)
    draw_stars(w, 250, 220, UP_X, UP_Y, 0, 0);
    auto p = drawn();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_NEAR(p[0].first, 50, 1e-3);
    EXPECT_NEAR(p[0].second, -20, 1e-3);
    EXPECT_NEAR(p[1].first, p[0].first, 1e-3);
    EXPECT_NEAR(p[1].second, p[0].second, 1e-3);
}

TEST_F(StarsTest, StarsTurnWithTheShip) {
    w.stars = {{600, 500}, {500, 600}};
    // Heading 0 (along +x): ahead shows above the anchor, +y (its right) to the right.
    draw_stars(w, 500, 500, -std::sin(0.0f), std::cos(0.0f), 200, 400);
    auto p = drawn();
    ASSERT_EQ(p.size(), 2u);
    EXPECT_NEAR(p[0].first, 200, 1e-3);
    EXPECT_NEAR(p[0].second, 300, 1e-3);
    EXPECT_NEAR(p[1].first, 300, 1e-3);
    EXPECT_NEAR(p[1].second, 400, 1e-3);

    // Heading pi/2 (along +y): now +y is ahead and +x on the left.
    fake.quads.clear();
    float a = 1.5707964f;
    draw_stars(w, 500, 500, -std::sin(a), std::cos(a), 200, 400);
    p = drawn();
    EXPECT_NEAR(p[0].first, 100, 1e-3);
    EXPECT_NEAR(p[0].second, 400, 1e-3);
    EXPECT_NEAR(p[1].first, 200, 1e-3);
    EXPECT_NEAR(p[1].second, 300, 1e-3);
}

TEST_F(StarsTest, EmptyStarBoxLeavesTheAxisUnwrapped) {
    w.stars = {{300, 900}, {2000, 5}};
    w.settings.star_maxx = w.settings.star_minx = 50; // width 0
    w.settings.star_maxy = -10;                       // height below 0
    w.settings.star_miny = 0;
    draw_stars(w, 100, 100, UP_X, UP_Y, 200, 400);
    auto p = drawn();
    ASSERT_EQ(p.size(), 2u);
    for (auto& xy : p) {
        EXPECT_TRUE(std::isfinite(xy.first));
        EXPECT_TRUE(std::isfinite(xy.second));
    }
    // Placed straight from the camera, without a period.
    EXPECT_FLOAT_EQ(p[0].first, 400);
    EXPECT_FLOAT_EQ(p[0].second, 1200);
    EXPECT_FLOAT_EQ(p[1].first, 2100);
    EXPECT_FLOAT_EQ(p[1].second, 305);

    // Only the empty axis loses its wrap.
    fake.quads.clear();
    w.settings.star_maxy = 1100;
    draw_stars(w, 100, 100, UP_X, UP_Y, 200, 400);
    p = drawn();
    EXPECT_FLOAT_EQ(p[0].second, 400 - 300); // 900 is beyond c_y + 550: wrapped to -200
    EXPECT_FLOAT_EQ(p[1].first, 2100);
}

TEST_F(StarsTest, EveryStarIsDrawnEvenFarOutside) {
    for (int i = 0; i < 70; ++i) w.stars.push_back({i * 15.0f, 1099.0f - i * 15.0f});
    draw_stars(w, 0, 0, UP_X, UP_Y, 200, 400);
    EXPECT_EQ(fake.quads.size(), 70u);
    // Without stars or without the star sprite nothing is drawn.
    fake.quads.clear();
    resources.sprite_star = nullptr;
    draw_stars(w, 0, 0, UP_X, UP_Y, 200, 400);
    w.stars.clear();
    resources.sprite_star = star_sprite.get();
    draw_stars(w, 0, 0, UP_X, UP_Y, 200, 400);
    EXPECT_TRUE(fake.quads.empty());
}

} // namespace
