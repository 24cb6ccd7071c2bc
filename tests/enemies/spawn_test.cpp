#include "enemies/spawn.h"

#include <string>
#include <utility>
#include <vector>

#include "enemies_fixture.h"
#include "ships/field.h"

namespace {

using SpawnTest = EnemiesTest;
using FloatDraw = std::pair<float, float>;
using IntDraw = std::pair<int, int>;

TEST_F(SpawnTest, RocksDrawSpinBeforeSpeedAndTravelAlongTheirAngle) {
    draws.next_floats = {4.0f, 50.0f, 3.0f, 60.0f};
    create_enemy(w, 'M', 0, 0, 1.25f, false);
    create_enemy(w, ',', 0, 0, 2.0f, true);
    EXPECT_EQ(draws.float_draws, (std::vector<FloatDraw>{{3, 6}, {30, 120}, {2, 4}, {50, 90}}));
    const enemy& m = w.enemy_list.at(0);
    EXPECT_EQ(m.rotate, 4.0f);
    EXPECT_EQ(m.speed, 50.0f);
    EXPECT_EQ(m.aux_a, 1.25f);
    EXPECT_EQ(m.mode, MODE_DRIFT);
    EXPECT_EQ(m.armor, 0);
    EXPECT_EQ(m.hit_radius, 25.0f);
    ASSERT_EQ(w.pending_list.size(), 1u);
    const enemy& g = w.pending_list[0];
    EXPECT_EQ(g.rotate, 3.0f);
    EXPECT_EQ(g.speed, 0.6f * 60.0f);
    EXPECT_EQ(g.aux_a, 2.0f);
    EXPECT_EQ(g.aux_b, 2.0f);
}

TEST_F(SpawnTest, ThinkersAndSpinnersDrawInTableOrderOtherCharactersMakeNothing) {
    draws.next_ints = {1, 1, 1, 0};
    draws.next_floats = {2.5f};
    create_enemy(w, 'C', 0, 0, 0, false); // think delay, then RI(1, 2)
    create_enemy(w, 'Z', 0, 0, 0, false);
    create_enemy(w, 's', 0, 0, 0, false);
    create_enemy(w, 'b', 0, 0, 0, false);
    EXPECT_EQ(draws.float_draws, (std::vector<FloatDraw>{{0, 4}}));
    EXPECT_EQ(draws.int_draws, (std::vector<IntDraw>{{1, 2}, {0, 1}, {0, 1}, {0, 1}}));
    ASSERT_EQ(w.enemy_list.size(), 4u);
    EXPECT_EQ(w.enemy_list[0].aux_b, 2.5f);
    EXPECT_EQ(w.enemy_list[0].rotate, -0.55f);
    EXPECT_EQ(w.enemy_list[0].speed, 230.0f);
    EXPECT_EQ(w.enemy_list[1].mode, MODE_RETREAT);
    EXPECT_EQ(w.enemy_list[1].armor, 7);
    EXPECT_EQ(w.enemy_list[1].aux_a, 10.0f);
    EXPECT_EQ(w.enemy_list[1].aux_b, 1.0f);
    EXPECT_EQ(w.enemy_list[2].rotate, -0.8f);
    EXPECT_EQ(w.enemy_list[3].rotate, 0.6f);
    EXPECT_EQ(w.enemy_list[3].armor, 3);

    forget_records();
    for (char c : {'q', '0', ' ', '\0', static_cast<char>(0xE9)})
        create_enemy(w, c, 0, 0, 0, false);
    EXPECT_EQ(w.enemy_list.size(), 4u);
    EXPECT_TRUE(draws.float_draws.empty() && draws.int_draws.empty());
}

TEST_F(SpawnTest, OnePassPerTwoIterationsAndCountsSpanPasses) {
    EXPECT_FALSE(spawn_level(w, "0MBM", 10));
    EXPECT_EQ(w.enemy_list.size(), 3u);
    EXPECT_EQ(w.spawn_pass, 2);

    w.enemy_list.clear();
    w.spawn_index = 1;
    w.spawn_pass = 0;
    w.iteration = 2;
    EXPECT_TRUE(spawn_level(w, "0MB", 1));
    EXPECT_EQ(w.spawn_index, 2);
    EXPECT_EQ(w.spawn_timer, 0.0f);
    // One letter left: it, the switch of pass, then the first letter again.
    EXPECT_TRUE(spawn_level(w, "0MB", 3));
    ASSERT_EQ(w.enemy_list.size(), 3u);
    EXPECT_EQ(w.enemy_list[1].kind, KIND_BULL);
    EXPECT_EQ(w.enemy_list[2].kind, KIND_METEOR_LARGE);
    EXPECT_EQ(w.spawn_pass, 2);
    EXPECT_EQ(w.spawn_index, 2);
    EXPECT_FALSE(spawn_level(w, "0MB", 10));
    EXPECT_EQ(w.enemy_list.size(), 4u); // two passes of two letters
    EXPECT_EQ(w.spawn_pass, 4);
}

TEST_F(SpawnTest, MapDigitAloneEndsAtOnceAndUnknownLettersUseASlot) {
    EXPECT_FALSE(spawn_level(w, "2", 1));
    EXPECT_EQ(w.spawn_pass, 2);
    w.spawn_index = 1;
    w.spawn_pass = 0;
    EXPECT_TRUE(spawn_level(w, "0qM", 2));
    EXPECT_EQ(w.enemy_list.size(), 1u);
    EXPECT_EQ(w.spawn_index, 3);
    w.spawn_index = -4; // never reads before the text
    EXPECT_TRUE(spawn_level(w, "0M", 0));
    EXPECT_FALSE(spawn_level(w, "0M", 1));
}

TEST_F(SpawnTest, RedrawsPointsSeenWithTheClearRadiusAndTheNearestImage) {
    // Ship 0 at the origin heading +x: world (dx, dy) shows at (400 + dy, 400 - dx).
    draws.next_floats = {0,    420, // x 820: within clear_radius of the right edge
                         1090, 0,   // the image at -10 lies ahead of the ship
                         0,    436, // x 836: clear
                         1.0f};     // heading
    EXPECT_TRUE(spawn_level(w, "0M", 1));
    ASSERT_EQ(w.enemy_list.size(), 1u);
    EXPECT_EQ(w.enemy_list[0].x, 0.0f);
    EXPECT_EQ(w.enemy_list[0].y, 436.0f);
    EXPECT_EQ(w.enemy_list[0].angle, 1.0f);
    EXPECT_EQ(draws.float_draws.at(6), FloatDraw(0.0f, 6.2831855f));
}

TEST_F(SpawnTest, SecondPlayersViewCountsOnlyInTwoPlayerModes) {
    place_ship(1, 500, 500, 0);
    // (500, 500) lies on ship 1's anchor and far above view 0.
    draws.next_floats = {500, 500, 0.5f};
    spawn_level(w, "0MM", 1);
    EXPECT_EQ(w.enemy_list.at(0).x, 500.0f);

    two_players();
    draws.next_floats = {500, 500, 700, 800, 0.5f};
    spawn_level(w, "0MM", 1);
    EXPECT_EQ(w.enemy_list.at(1).x, 700.0f);
    EXPECT_EQ(w.enemy_list.at(1).y, 800.0f);
}

TEST_F(SpawnTest, RandomSpawnsStayOutOfBothWidenedViews) {
    two_players();
    place_ship(0, 300, 700, 0.7f);
    place_ship(1, 900, 100, 4.0f);
    draws.use_prng = true;
    const std::string text = std::string(1, '0') + std::string(300, 'R');
    EXPECT_FALSE(spawn_level(w, text.c_str(), 400));
    ASSERT_EQ(w.enemy_list.size(), 300u);
    const float c = w.settings.clear_radius - 0.01f;
    for (const enemy& e : w.enemy_list) {
        for (int v = 0; v < 2; ++v) {
            ViewPoint p =
                project_to_view(w, w.ship_records[v], anchor_x(w, v), anchor_y(w, v), e.x, e.y);
            float width = v == 0 ? 800.0f : 399.0f;
            bool seen = -c < p.screen_x && p.screen_x < width + c && -c < p.screen_y &&
                        p.screen_y < 590 + c;
            EXPECT_FALSE(seen) << "view " << v << " at " << e.x << ", " << e.y;
        }
    }
}

TEST_F(SpawnTest, FieldSmallerThanTheViewsStillPlacesAfterBoundedSearch) {
    w.settings.map_max[0] = 100; // every point is seen
    w.field_half = 50;
    draws.next_floats.assign(1998, 50.0f);
    draws.next_floats.push_back(12.0f);
    draws.next_floats.push_back(34.0f);
    EXPECT_TRUE(spawn_level(w, "0MM", 1));
    ASSERT_EQ(w.enemy_list.size(), 1u);
    EXPECT_EQ(w.enemy_list[0].x, 12.0f);
    EXPECT_EQ(w.enemy_list[0].y, 34.0f);
    EXPECT_EQ(draws.float_draws.size(), 2001u + 2u); // points, heading, the meteor's two
}

} // namespace
