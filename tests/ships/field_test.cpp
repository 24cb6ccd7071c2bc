#include "ships/field.h"

#include <utility>

#include "ships/flight.h"
#include "ships_fixture.h"

namespace {

class FieldTest : public ShipsTest {
  protected:
    // Places a ship and lets the motion step work out its side vector.
    void place(ship& s, float x, float y, float angle) {
        s.x = x;
        s.y = y;
        s.angle = angle;
        s.speed = s.rotate_speed = 0.0f;
        integrate_ship(s, 0.0f, field_side(w));
    }
};

TEST_F(FieldTest, NearestImageWrapsOncePerAxisStrictly) {
    ship v{};
    place(v, 1050.0f, 500.0f, 0.0f);
    // Heading +x: ahead is up the screen, so dx shows as -screen_y.
    EXPECT_FLOAT_EQ(project_to_view(w, v, 200, 400, 10.0f, 500.0f).screen_y, 400.0f - 60.0f);
    place(v, 0.0f, 500.0f, 0.0f);
    EXPECT_FLOAT_EQ(project_to_view(w, v, 200, 400, 550.0f, 500.0f).screen_y, 400.0f - 550.0f);
    place(v, 600.0f, 500.0f, 0.0f);
    EXPECT_FLOAT_EQ(project_to_view(w, v, 200, 400, 50.0f, 500.0f).screen_y, 400.0f + 550.0f);
    // The same along y, which shows as +screen_x.
    place(v, 500.0f, 20.0f, 0.0f);
    EXPECT_FLOAT_EQ(project_to_view(w, v, 200, 400, 500.0f, 1090.0f).screen_x, 200.0f - 30.0f);
}

TEST_F(FieldTest, TheViewTurnsWithTheShipAndTheRadarShrinks) {
    ship v{};
    place(v, 500.0f, 500.0f, 0.0f);
    ViewPoint ahead = project_to_view(w, v, 200, 400, 600.0f, 500.0f);
    EXPECT_NEAR(ahead.screen_x, 200.0f, 1e-4f);
    EXPECT_NEAR(ahead.screen_y, 300.0f, 1e-4f);
    ViewPoint right = project_to_view(w, v, 200, 400, 500.0f, 600.0f);
    EXPECT_NEAR(right.screen_x, 300.0f, 1e-4f);
    EXPECT_NEAR(right.screen_y, 400.0f, 1e-4f);
    ViewPoint far = project_to_view(w, v, 200, 400, 900.0f, 500.0f);
    EXPECT_NEAR(far.radar_x, 200.0f, 1e-4f);
    EXPECT_NEAR(far.radar_y, 350.0f, 1e-4f);
    // Heading down the screen (+y): +y is now ahead, +x to the left.
    place(v, 500.0f, 500.0f, 1.5707964f);
    ahead = project_to_view(w, v, 200, 400, 500.0f, 600.0f);
    EXPECT_NEAR(ahead.screen_x, 200.0f, 1e-3f);
    EXPECT_NEAR(ahead.screen_y, 300.0f, 1e-3f);
    EXPECT_NEAR(project_to_view(w, v, 200, 400, 600.0f, 500.0f).screen_x, 100.0f, 1e-3f);
}

TEST_F(FieldTest, ZeroRadarScaleShowsTheRadarUnscaled) {
    w.settings.radar_scale = 0.0f;
    ship v{};
    place(v, 500.0f, 500.0f, 0.0f);
    const ViewPoint p = project_to_view(w, v, 200, 400, 900.0f, 500.0f);
    EXPECT_NEAR(p.radar_x, p.screen_x, 1e-4f);
    EXPECT_NEAR(p.radar_y, p.screen_y, 1e-4f);
}

TEST_F(FieldTest, InsideViewIsStrictWithTheMargin) {
    EXPECT_TRUE(inside_view(w, -13.9f, 100.0f, 14.0f));
    EXPECT_FALSE(inside_view(w, -14.0f, 100.0f, 14.0f));
    EXPECT_TRUE(inside_view(w, 813.9f, 100.0f, 14.0f)); // the world's default 800 x 590
    EXPECT_FALSE(inside_view(w, 100.0f, 604.0f, 14.0f));
    use_view_size(399.0f, 590.0f);
    EXPECT_FALSE(inside_view(w, 413.0f, 100.0f, 14.0f));
    EXPECT_TRUE(inside_view(w, 412.9f, 603.9f, 14.0f));
}

TEST_F(FieldTest, PartnersSeeEachOtherOnlyWhenThePairIsInPlay) {
    ship& a = w.ship_records[0];
    ship& b = w.ship_records[1];
    place(a, 500.0f, 500.0f, 0.0f);
    place(b, 500.0f, 286.1f, 0.0f);
    update_partners(w); // ONE PLAYER: nothing
    EXPECT_FALSE(a.partner_visible);
    EXPECT_EQ(a.partner_screen_x, 0.0f);

    w.game_mode = MODE_TEAMWORK;
    update_partners(w);
    EXPECT_TRUE(a.partner_visible);
    EXPECT_NEAR(a.partner_screen_x, -13.9f, 1e-3f);
    EXPECT_NEAR(a.partner_radar_x, 200.0f - 213.9f / 8.0f, 1e-3f);
    EXPECT_NEAR(b.partner_screen_x, 200.0f + 213.9f, 1e-3f);
    place(b, 500.0f, 286.0f, 0.0f);
    update_partners(w);
    EXPECT_FALSE(a.partner_visible);

    w.game_state = STATE_MENU;
    w.game_mode = MODE_ONE_PLAYER;
    place(w.ship_records[2], 100.0f, 100.0f, 0.0f);
    place(w.ship_records[3], 150.0f, 100.0f, 0.0f);
    update_partners(w);
    EXPECT_TRUE(w.ship_records[2].partner_visible);
    EXPECT_NEAR(w.ship_records[2].partner_screen_y, 350.0f, 1e-3f);
    EXPECT_NEAR(w.ship_records[3].partner_screen_y, 450.0f, 1e-3f);
}

TEST_F(FieldTest, ExplosionsCopyTheTemplateOfTheirTimeAndOwnTheirCopy) {
    // Made before the templates are set: the world's one-frame clock as it was then.
    add_explosion(w, 10.0f, 10.0f, true, 0.0f);
    ASSERT_EQ(w.big_list.size(), 1u);
    use_explosion_templates();
    EXPECT_EQ(w.big_list[0].anim.frame_count, 1);
    w.big_list.clear();
    place(w.ship_records[0], 500.0f, 500.0f, 0.0f);
    add_explosion(w, 600.0f, 500.0f, true, 0.0f);
    add_explosion(w, 600.0f, 500.0f, false, 0.0f);
    ASSERT_EQ(w.big_list.size(), 1u);
    ASSERT_EQ(w.small_list.size(), 1u);
    EXPECT_EQ(w.big_list[0].anim.frame_count, 20);
    EXPECT_EQ(w.small_list[0].anim.frame_count, 8);
    EXPECT_NEAR(w.big_list[0].view0_y, w.settings.split_screen_player0_y - 100.0f, 1e-3f);
    update_explosions(w, 0.01f);
    EXPECT_TRUE(w.big_list[0].anim.playing);
    EXPECT_FALSE(w.big_explosion.playing);
}

TEST_F(FieldTest, DelayedExplosionsStartInReverseOrderOfCreation) {
    use_explosion_templates();
    const float delays[3] = {0.16f, 0.08f, 0.0f};
    for (int i = 0; i < 3; ++i) add_explosion(w, 100.0f * (i + 1), 0.0f, true, delays[i]);
    int started[3] = {0, 0, 0};
    for (int frame = 1; frame <= 10; ++frame) {
        update_explosions(w, 0.03f);
        for (const kaboom& k : w.big_list) {
            const int i = static_cast<int>(k.x / 100.0f) - 1;
            if (k.anim.playing && started[i] == 0) started[i] = frame;
        }
    }
    EXPECT_GT(started[2], 0);
    EXPECT_LT(started[2], started[1]);
    EXPECT_LT(started[1], started[0]);

    // A delay counted down to exactly 0 has not run out yet.
    w.big_list.clear();
    add_explosion(w, 0.0f, 0.0f, true, 0.5f);
    update_explosions(w, 0.25f);
    update_explosions(w, 0.25f);
    EXPECT_FALSE(w.big_list[0].anim.playing);
    update_explosions(w, 0.25f);
    EXPECT_TRUE(w.big_list[0].anim.playing);
}

TEST_F(FieldTest, FinishedExplosionIsSwappedOutAndTheMovedOneStillUpdates) {
    use_explosion_templates();
    add_explosion(w, 1.0f, 0.0f, false, 0.0f);
    add_explosion(w, 2.0f, 0.0f, false, 0.5f);
    add_explosion(w, 3.0f, 0.0f, false, 1.0f);
    int frames = 0;
    while (w.small_list.size() == 3 && frames < 200) {
        update_explosions(w, 0.01f);
        ++frames;
    }
    ASSERT_EQ(w.small_list.size(), 2u);
    EXPECT_EQ(w.small_list[0].x, 3.0f);
    EXPECT_EQ(w.small_list[1].x, 2.0f);
    // The record moved into the gap was counted down in the same update.
    EXPECT_NEAR(w.small_list[0].delay - w.small_list[1].delay, 0.5f, 1e-4f);
    EXPECT_NEAR(w.small_list[1].delay, 0.5f - 0.01f * frames, 1e-4f);

    while (!w.small_list.empty() && frames < 1000) {
        update_explosions(w, 0.01f);
        ++frames;
    }
    EXPECT_TRUE(w.small_list.empty());
}

TEST_F(FieldTest, ExplosionsUseTheSecondViewOnlyWhenItIsInUse) {
    use_explosion_templates();
    place(w.ship_records[0], 500.0f, 500.0f, 0.0f);
    place(w.ship_records[1], 500.0f, 600.0f, 0.0f);
    add_explosion(w, 500.0f, 500.0f, false, 1.0f);
    w.small_list[0].view1_x = 12345.0f;
    update_explosions(w, 0.01f);
    EXPECT_EQ(w.small_list[0].view1_x, 12345.0f);
    w.game_mode = MODE_TEAMWORK;
    update_explosions(w, 0.01f);
    EXPECT_NEAR(w.small_list[0].view1_x, w.settings.split_screen_player1_x - 100.0f, 1e-3f);
    EXPECT_NEAR(w.small_list[0].view0_x, w.settings.split_screen_player0_x, 1e-3f);
}

TEST_F(FieldTest, StarsDrawXThenYAndACountBelowOneMakesNone) {
    w.stars.push_back({1.0f, 1.0f});
    w.settings.star_count = 0;
    make_stars(w);
    EXPECT_TRUE(w.stars.empty());
    w.settings.star_count = -5;
    make_stars(w);
    EXPECT_TRUE(w.stars.empty());
    EXPECT_TRUE(draws.float_draws.empty());

    w.settings.star_count = 2;
    w.settings.star_minx = 10.0f;
    w.settings.star_maxx = 20.0f;
    w.settings.star_miny = 30.0f;
    w.settings.star_maxy = 40.0f;
    draws.next_floats = {11.0f, 31.0f, 12.0f, 32.0f};
    make_stars(w);
    ASSERT_EQ(w.stars.size(), 2u);
    EXPECT_EQ(w.stars[0].x, 11.0f);
    EXPECT_EQ(w.stars[0].y, 31.0f);
    EXPECT_EQ(w.stars[1].x, 12.0f);
    EXPECT_EQ(draws.float_draws[0], std::make_pair(10.0f, 20.0f));
    EXPECT_EQ(draws.float_draws[1], std::make_pair(30.0f, 40.0f));
    EXPECT_EQ(draws.float_draws[3], std::make_pair(30.0f, 40.0f));
}

} // namespace
