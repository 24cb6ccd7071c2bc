#include "enemies/spawn.h"

#include <utility>
#include <vector>

#include "enemies_fixture.h"
#include "ships/field.h"

namespace {

using SpawnTest = EnemiesTest;
using FloatDraw = std::pair<float, float>;
using IntDraw = std::pair<int, int>;

TEST_F(SpawnTest, RocksDrawSpinBeforeSpeedAndTravelAlongTheirAngle) {
    fake.next_floats = {4.0f, 50.0f, 3.0f, 60.0f};
    create_enemy('M', 0, 0, 1.25f, false);
    create_enemy(',', 0, 0, 2.0f, true);
    EXPECT_EQ(fake.float_draws, (std::vector<FloatDraw>{{3, 6}, {30, 120}, {2, 4}, {50, 90}}));
    const enemy& m = enemy_list.at(0);
    EXPECT_EQ(m.rotate, 4.0f);
    EXPECT_EQ(m.speed, 50.0f);
    EXPECT_EQ(m.aux_a, 1.25f);
    EXPECT_EQ(m.mode, MODE_DRIFT);
    EXPECT_EQ(m.armor, 0);
    EXPECT_EQ(m.hit_radius, 25.0f);
    ASSERT_EQ(pending_list.size(), 1u);
    const enemy& g = pending_list[0];
    EXPECT_EQ(g.rotate, 3.0f);
    EXPECT_EQ(g.speed, 0.6f * 60.0f);
    EXPECT_EQ(g.aux_a, 2.0f);
    EXPECT_EQ(g.aux_b, 2.0f);
}

TEST_F(SpawnTest, ThinkersAndSpinnersDrawInTableOrderOtherCharactersMakeNothing) {
    fake.next_ints = {1, 1, 1, 0};
    fake.next_floats = {2.5f};
    create_enemy('C', 0, 0, 0, false); // think delay, then RI(1, 2)
    create_enemy('Z', 0, 0, 0, false);
    create_enemy('s', 0, 0, 0, false);
    create_enemy('b', 0, 0, 0, false);
    EXPECT_EQ(fake.float_draws, (std::vector<FloatDraw>{{0, 4}}));
    EXPECT_EQ(fake.int_draws, (std::vector<IntDraw>{{1, 2}, {0, 1}, {0, 1}, {0, 1}}));
    ASSERT_EQ(enemy_list.size(), 4u);
    EXPECT_EQ(enemy_list[0].aux_b, 2.5f);
    EXPECT_EQ(enemy_list[0].rotate, -0.55f);
    EXPECT_EQ(enemy_list[0].speed, 230.0f);
    EXPECT_EQ(enemy_list[1].mode, MODE_RETREAT);
    EXPECT_EQ(enemy_list[1].armor, 7);
    EXPECT_EQ(enemy_list[1].aux_a, 10.0f);
    EXPECT_EQ(enemy_list[1].aux_b, 1.0f);
    EXPECT_EQ(enemy_list[2].rotate, -0.8f);
    EXPECT_EQ(enemy_list[3].rotate, 0.6f);
    EXPECT_EQ(enemy_list[3].armor, 3);

    fake.reset_records();
    for (char c : {'q', '0', ' ', '\0', static_cast<char>(0xE9)}) create_enemy(c, 0, 0, 0, false);
    EXPECT_EQ(enemy_list.size(), 4u);
    EXPECT_TRUE(fake.float_draws.empty() && fake.int_draws.empty());
}

TEST_F(SpawnTest, OnePassPerTwoIterationsAndCountsSpanPasses) {
    EXPECT_FALSE(spawn_level("0MBM", 10));
    EXPECT_EQ(enemy_list.size(), 3u);
    EXPECT_EQ(spawn_pass, 2);

    enemy_list.clear();
    spawn_index = 1;
    spawn_pass = 0;
    iteration = 2;
    EXPECT_TRUE(spawn_level("0MB", 1));
    EXPECT_EQ(spawn_index, 2);
    EXPECT_EQ(spawn_timer, 0.0f);
    // One letter left: it, the switch of pass, then the first letter again.
    EXPECT_TRUE(spawn_level("0MB", 3));
    ASSERT_EQ(enemy_list.size(), 3u);
    EXPECT_EQ(enemy_list[1].kind, KIND_BULL);
    EXPECT_EQ(enemy_list[2].kind, KIND_METEOR_LARGE);
    EXPECT_EQ(spawn_pass, 2);
    EXPECT_EQ(spawn_index, 2);
    EXPECT_FALSE(spawn_level("0MB", 10));
    EXPECT_EQ(enemy_list.size(), 4u); // two passes of two letters
    EXPECT_EQ(spawn_pass, 4);
}

TEST_F(SpawnTest, MapDigitAloneEndsAtOnceAndUnknownLettersUseASlot) {
    EXPECT_FALSE(spawn_level("2", 1));
    EXPECT_EQ(spawn_pass, 2);
    spawn_index = 1;
    spawn_pass = 0;
    EXPECT_TRUE(spawn_level("0qM", 2));
    EXPECT_EQ(enemy_list.size(), 1u);
    EXPECT_EQ(spawn_index, 3);
    spawn_index = -4; // never reads before the text
    EXPECT_TRUE(spawn_level("0M", 0));
    EXPECT_FALSE(spawn_level("0M", 1));
}

TEST_F(SpawnTest, RedrawsPointsSeenWithTheClearRadiusAndTheNearestImage) {
    // Ship 0 at the origin heading +x: world (dx, dy) shows at (400 + dy, 400 - dx).
    fake.next_floats = {0,    420, // x 820: within clear_radius of the right edge
                        1090, 0,   // the image at -10 lies ahead of the ship
                        0,    436, // x 836: clear
                        1.0f};     // heading
    EXPECT_TRUE(spawn_level("0M", 1));
    ASSERT_EQ(enemy_list.size(), 1u);
    EXPECT_EQ(enemy_list[0].x, 0.0f);
    EXPECT_EQ(enemy_list[0].y, 436.0f);
    EXPECT_EQ(enemy_list[0].angle, 1.0f);
    EXPECT_EQ(fake.float_draws.at(6), FloatDraw(0.0f, 6.2831855f));
}

TEST_F(SpawnTest, SecondPlayersViewCountsOnlyInTwoPlayerModes) {
    place_ship(1, 500, 500, 0);
    // (500, 500) lies on ship 1's anchor and far above view 0.
    fake.next_floats = {500, 500, 0.5f};
    spawn_level("0MM", 1);
    EXPECT_EQ(enemy_list.at(0).x, 500.0f);

    two_players();
    fake.next_floats = {500, 500, 700, 800, 0.5f};
    spawn_level("0MM", 1);
    EXPECT_EQ(enemy_list.at(1).x, 700.0f);
    EXPECT_EQ(enemy_list.at(1).y, 800.0f);
}

TEST_F(SpawnTest, RandomSpawnsStayOutOfBothWidenedViews) {
    two_players();
    place_ship(0, 300, 700, 0.7f);
    place_ship(1, 900, 100, 4.0f);
    fake.use_prng = true;
    EXPECT_FALSE(spawn_level(std::string(1, '0') + std::string(300, 'R'), 400));
    ASSERT_EQ(enemy_list.size(), 300u);
    const float c = settings.clear_radius - 0.01f;
    for (const enemy& e : enemy_list) {
        for (int v = 0; v < 2; ++v) {
            ViewPoint p = project_to_view(ship_records[v], anchor_x(v), anchor_y(v), e.x, e.y);
            float w = v == 0 ? 800.0f : 399.0f;
            bool seen =
                -c < p.screen_x && p.screen_x < w + c && -c < p.screen_y && p.screen_y < 590 + c;
            EXPECT_FALSE(seen) << "view " << v << " at " << e.x << ", " << e.y;
        }
    }
}

TEST_F(SpawnTest, FieldSmallerThanTheViewsStillPlacesAfterBoundedSearch) {
    settings.map_max[0] = 100; // every point is seen
    field_half = 50;
    fake.next_floats.assign(1998, 50.0f);
    fake.next_floats.push_back(12.0f);
    fake.next_floats.push_back(34.0f);
    EXPECT_TRUE(spawn_level("0MM", 1));
    ASSERT_EQ(enemy_list.size(), 1u);
    EXPECT_EQ(enemy_list[0].x, 12.0f);
    EXPECT_EQ(enemy_list[0].y, 34.0f);
    EXPECT_EQ(fake.float_draws.size(), 2001u + 2u); // points, heading, the meteor's two
}

} // namespace
