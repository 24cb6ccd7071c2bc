#include "ships/field.h"

#include <utility>

#include "ships/flight.h"
#include "ships_fixture.h"

namespace {

class FieldTest : public ShipsTest {
  protected:
    // Places a ship and lets the motion step work out its side vector.
    static void place(ship& s, float x, float y, float angle) {
        s.x = x;
        s.y = y;
        s.angle = angle;
        s.speed = s.rotate_speed = 0.0f;
        integrate_ship(s, 0.0f, field_side());
    }
};

TEST_F(FieldTest, NearestImageWrapsOncePerAxisStrictly) {
    ship v{};
    place(v, 1050.0f, 500.0f, 0.0f);
    // Heading +x: ahead is up the screen, so dx shows as -screen_y.
    EXPECT_FLOAT_EQ(project_to_view(v, 200, 400, 10.0f, 500.0f).screen_y, 400.0f - 60.0f);
    place(v, 0.0f, 500.0f, 0.0f);
    EXPECT_FLOAT_EQ(project_to_view(v, 200, 400, 550.0f, 500.0f).screen_y, 400.0f - 550.0f);
    place(v, 600.0f, 500.0f, 0.0f);
    EXPECT_FLOAT_EQ(project_to_view(v, 200, 400, 50.0f, 500.0f).screen_y, 400.0f + 550.0f);
    // The same along y, which shows as +screen_x.
    place(v, 500.0f, 20.0f, 0.0f);
    EXPECT_FLOAT_EQ(project_to_view(v, 200, 400, 500.0f, 1090.0f).screen_x, 200.0f - 30.0f);
}

TEST_F(FieldTest, TheViewTurnsWithTheShipAndTheRadarShrinks) {
    ship v{};
    place(v, 500.0f, 500.0f, 0.0f);
    ViewPoint ahead = project_to_view(v, 200, 400, 600.0f, 500.0f);
    EXPECT_NEAR(ahead.screen_x, 200.0f, 1e-4f);
    EXPECT_NEAR(ahead.screen_y, 300.0f, 1e-4f);
    ViewPoint right = project_to_view(v, 200, 400, 500.0f, 600.0f);
    EXPECT_NEAR(right.screen_x, 300.0f, 1e-4f);
    EXPECT_NEAR(right.screen_y, 400.0f, 1e-4f);
    ViewPoint far = project_to_view(v, 200, 400, 900.0f, 500.0f);
    EXPECT_NEAR(far.radar_x, 200.0f, 1e-4f);
    EXPECT_NEAR(far.radar_y, 350.0f, 1e-4f);
    // Heading down the screen (+y): +y is now ahead, +x to the left.
    place(v, 500.0f, 500.0f, 1.5707964f);
    ahead = project_to_view(v, 200, 400, 500.0f, 600.0f);
    EXPECT_NEAR(ahead.screen_x, 200.0f, 1e-3f);
    EXPECT_NEAR(ahead.screen_y, 300.0f, 1e-3f);
    EXPECT_NEAR(project_to_view(v, 200, 400, 600.0f, 500.0f).screen_x, 100.0f, 1e-3f);
}

TEST_F(FieldTest, ZeroRadarScaleShowsTheRadarUnscaled) {
    settings.radar_scale = 0.0f;
    ship v{};
    place(v, 500.0f, 500.0f, 0.0f);
    const ViewPoint p = project_to_view(v, 200, 400, 900.0f, 500.0f);
    EXPECT_NEAR(p.radar_x, p.screen_x, 1e-4f);
    EXPECT_NEAR(p.radar_y, p.screen_y, 1e-4f);
}

TEST_F(FieldTest, InsideViewIsStrictWithTheMargin) {
    EXPECT_TRUE(inside_view(-13.9f, 100.0f, 14.0f));
    EXPECT_FALSE(inside_view(-14.0f, 100.0f, 14.0f));
    EXPECT_TRUE(inside_view(813.9f, 100.0f, 14.0f)); // 800 x 590 without a view picture
    EXPECT_FALSE(inside_view(100.0f, 604.0f, 14.0f));
    use_view_picture(399.0f, 590.0f);
    EXPECT_FALSE(inside_view(413.0f, 100.0f, 14.0f));
    EXPECT_TRUE(inside_view(412.9f, 603.9f, 14.0f));
}

TEST_F(FieldTest, PartnersSeeEachOtherOnlyWhenThePairIsInPlay) {
    ship& a = ship_records[0];
    ship& b = ship_records[1];
    place(a, 500.0f, 500.0f, 0.0f);
    place(b, 500.0f, 286.1f, 0.0f);
    update_partners(); // ONE PLAYER: nothing
    EXPECT_FALSE(a.partner_visible);
    EXPECT_EQ(a.partner_screen_x, 0.0f);

    game_mode = MODE_TEAMWORK;
    update_partners();
    EXPECT_TRUE(a.partner_visible);
    EXPECT_NEAR(a.partner_screen_x, -13.9f, 1e-3f);
    EXPECT_NEAR(a.partner_radar_x, 200.0f - 213.9f / 8.0f, 1e-3f);
    EXPECT_NEAR(b.partner_screen_x, 200.0f + 213.9f, 1e-3f);
    place(b, 500.0f, 286.0f, 0.0f);
    update_partners();
    EXPECT_FALSE(a.partner_visible);

    game_state = STATE_MENU;
    game_mode = MODE_ONE_PLAYER;
    place(ship_records[2], 100.0f, 100.0f, 0.0f);
    place(ship_records[3], 150.0f, 100.0f, 0.0f);
    update_partners();
    EXPECT_TRUE(ship_records[2].partner_visible);
    EXPECT_NEAR(ship_records[2].partner_screen_y, 350.0f, 1e-3f);
    EXPECT_NEAR(ship_records[3].partner_screen_y, 450.0f, 1e-3f);
}

TEST_F(FieldTest, ExplosionsNeedTheirTemplatesAndOwnTheirCopy) {
    add_explosion(10.0f, 10.0f, true, 0.0f);
    EXPECT_TRUE(big_list.empty());
    use_explosion_templates();
    place(ship_records[0], 500.0f, 500.0f, 0.0f);
    add_explosion(600.0f, 500.0f, true, 0.0f);
    add_explosion(600.0f, 500.0f, false, 0.0f);
    ASSERT_EQ(big_list.size(), 1u);
    ASSERT_EQ(small_list.size(), 1u);
    EXPECT_EQ(big_list[0].anim.get_frames(), 20);
    EXPECT_EQ(small_list[0].anim.get_frames(), 8);
    EXPECT_NEAR(big_list[0].view0_y, settings.split_screen_player0_y - 100.0f, 1e-3f);
    update_explosions(0.01f);
    EXPECT_TRUE(big_list[0].anim.is_playing());
    EXPECT_FALSE(kaboom_anim->is_playing());
}

TEST_F(FieldTest, DelayedExplosionsStartInReverseOrderOfCreation) {
    use_explosion_templates();
    const float delays[3] = {0.16f, 0.08f, 0.0f};
    for (int i = 0; i < 3; ++i) add_explosion(100.0f * (i + 1), 0.0f, true, delays[i]);
    int started[3] = {0, 0, 0};
    for (int frame = 1; frame <= 10; ++frame) {
        update_explosions(0.03f);
        for (const kaboom& k : big_list) {
            const int i = static_cast<int>(k.x / 100.0f) - 1;
            if (k.anim.is_playing() && started[i] == 0) started[i] = frame;
        }
    }
    EXPECT_GT(started[2], 0);
    EXPECT_LT(started[2], started[1]);
    EXPECT_LT(started[1], started[0]);

    // A delay counted down to exactly 0 has not run out yet.
    big_list.clear();
    add_explosion(0.0f, 0.0f, true, 0.5f);
    update_explosions(0.25f);
    update_explosions(0.25f);
    EXPECT_FALSE(big_list[0].anim.is_playing());
    update_explosions(0.25f);
    EXPECT_TRUE(big_list[0].anim.is_playing());
}

TEST_F(FieldTest, FinishedExplosionIsSwappedOutAndTheMovedOneStillUpdates) {
    use_explosion_templates();
    add_explosion(1.0f, 0.0f, false, 0.0f);
    add_explosion(2.0f, 0.0f, false, 0.5f);
    add_explosion(3.0f, 0.0f, false, 1.0f);
    int frames = 0;
    while (small_list.size() == 3 && frames < 200) {
        update_explosions(0.01f);
        ++frames;
    }
    ASSERT_EQ(small_list.size(), 2u);
    EXPECT_EQ(small_list[0].x, 3.0f);
    EXPECT_EQ(small_list[1].x, 2.0f);
    // The record moved into the gap was counted down in the same update.
    EXPECT_NEAR(small_list[0].delay - small_list[1].delay, 0.5f, 1e-4f);
    EXPECT_NEAR(small_list[1].delay, 0.5f - 0.01f * frames, 1e-4f);

    while (!small_list.empty() && frames < 1000) {
        update_explosions(0.01f);
        ++frames;
    }
    EXPECT_TRUE(small_list.empty());
}

TEST_F(FieldTest, ExplosionsUseTheSecondViewOnlyWhenItIsInUse) {
    use_explosion_templates();
    place(ship_records[0], 500.0f, 500.0f, 0.0f);
    place(ship_records[1], 500.0f, 600.0f, 0.0f);
    add_explosion(500.0f, 500.0f, false, 1.0f);
    small_list[0].view1_x = 12345.0f;
    update_explosions(0.01f);
    EXPECT_EQ(small_list[0].view1_x, 12345.0f);
    game_mode = MODE_TEAMWORK;
    update_explosions(0.01f);
    EXPECT_NEAR(small_list[0].view1_x, settings.split_screen_player1_x - 100.0f, 1e-3f);
    EXPECT_NEAR(small_list[0].view0_x, settings.split_screen_player0_x, 1e-3f);
}

TEST_F(FieldTest, StarsDrawXThenYAndACountBelowOneMakesNone) {
    stars.push_back({1.0f, 1.0f});
    settings.star_count = 0;
    make_stars();
    EXPECT_TRUE(stars.empty());
    settings.star_count = -5;
    make_stars();
    EXPECT_TRUE(stars.empty());
    EXPECT_TRUE(fake.float_draws.empty());

    settings.star_count = 2;
    settings.star_minx = 10.0f;
    settings.star_maxx = 20.0f;
    settings.star_miny = 30.0f;
    settings.star_maxy = 40.0f;
    fake.next_floats = {11.0f, 31.0f, 12.0f, 32.0f};
    make_stars();
    ASSERT_EQ(stars.size(), 2u);
    EXPECT_EQ(stars[0].x, 11.0f);
    EXPECT_EQ(stars[0].y, 31.0f);
    EXPECT_EQ(stars[1].x, 12.0f);
    EXPECT_EQ(fake.float_draws[0], std::make_pair(10.0f, 20.0f));
    EXPECT_EQ(fake.float_draws[1], std::make_pair(30.0f, 40.0f));
    EXPECT_EQ(fake.float_draws[3], std::make_pair(30.0f, 40.0f));
}

} // namespace
