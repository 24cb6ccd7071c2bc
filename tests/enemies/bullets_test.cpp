#include "enemies/bullets.h"

#include "enemies_fixture.h"

namespace {

using BulletsTest = EnemiesTest;

bullet make_bullet(float x, float y, float angle, float lifetime = 0) {
    bullet b = {};
    b.x = x;
    b.y = y;
    b.angle = angle;
    b.lifetime = lifetime;
    return b;
}

TEST_F(BulletsTest, EnemyBulletFliesItsLifetimeAndGoesAtTheStartOfTheNextPass) {
    w.enemy_bullets.push_back(make_bullet(100, 100, 0, 0.5f));
    move_bullets(w, 0.25f);
    move_bullets(w, 0.25f); // leaves exactly 0, which is not below 0
    ASSERT_EQ(w.enemy_bullets.size(), 1u);
    EXPECT_EQ(w.enemy_bullets[0].x, 225.0f);
    EXPECT_EQ(w.enemy_bullets[0].lifetime, 0.0f);
    move_bullets(w, 0.25f);
    EXPECT_TRUE(w.enemy_bullets.empty());
}

TEST_F(BulletsTest, ExpiredBulletIsReplacedByTheLastWhichStillMoves) {
    w.enemy_bullets.push_back(make_bullet(100, 100, 0, 0.1f));
    w.enemy_bullets.push_back(make_bullet(200, 100, 0, 5));
    w.enemy_bullets.push_back(make_bullet(300, 100, 0, 5));
    move_bullets(w, 0.2f);
    ASSERT_EQ(w.enemy_bullets.size(), 2u);
    EXPECT_EQ(w.enemy_bullets[0].x, 350.0f);
    EXPECT_EQ(w.enemy_bullets[1].x, 250.0f);
}

TEST_F(BulletsTest, BulletsWrapOnceAcrossTheFieldEdgeInTheSameFrame) {
    w.enemy_bullets.push_back(make_bullet(1099, 5, 0, 5));
    w.player_bullets[0].push_back(make_bullet(10, 1099, 1.5707964f));
    move_bullets(w, 0.01f);
    EXPECT_EQ(w.enemy_bullets.at(0).x, 1.5f);
    ASSERT_EQ(w.player_bullets[0].size(), 1u);
    EXPECT_NEAR(w.player_bullets[0][0].y, 6.77f, 1e-3);
    EXPECT_EQ(w.player_bullets[0][0].visible[0], 1.0f);
}

TEST_F(BulletsTest, PlayerBulletGoesOnceOutsideItsOwnViewByTheMargin) {
    // Ship 0 at the origin heading +x: world y -403.9 shows at view x -3.9.
    w.player_bullets[0].push_back(make_bullet(0, 696.1f, 0));
    w.player_bullets[0].push_back(make_bullet(0, 695.9f, 0));
    move_bullets(w, 0);
    ASSERT_EQ(w.player_bullets[0].size(), 1u);
    EXPECT_EQ(w.player_bullets[0][0].y, 696.1f);
    EXPECT_NEAR(w.player_bullets[0][0].screen_x[0], -3.9f, 1e-3);
}

TEST_F(BulletsTest, OnlyTheOwnViewKeepsAPlayerBulletAlive) {
    two_players();
    place_ship(1, 0, 700, 0);
    w.player_bullets[0].push_back(make_bullet(0, 700, 0)); // on ship 1, outside view 0
    w.player_bullets[1].push_back(make_bullet(0, 700, 0));
    move_bullets(w, 0);
    EXPECT_TRUE(w.player_bullets[0].empty());
    ASSERT_EQ(w.player_bullets[1].size(), 1u);
    EXPECT_EQ(w.player_bullets[1][0].visible[0], 0.0f);
    EXPECT_EQ(w.player_bullets[1][0].visible[1], 1.0f);
    EXPECT_EQ(w.player_bullets[1][0].screen_x[1], anchor_x(w, 1));
}

TEST_F(BulletsTest, OnePlayerLeavesViewOneOfListZeroAndEnemyBulletsAlone) {
    bullet b = make_bullet(50, 50, 0, 5);
    b.screen_x[1] = b.screen_y[1] = b.visible[1] = 7;
    w.player_bullets[0].push_back(b);
    w.enemy_bullets.push_back(b);
    w.player_bullets[1].push_back(make_bullet(50, 50, 0)); // always projected into both
    move_bullets(w, 0.01f);
    ASSERT_EQ(w.player_bullets[0].size(), 1u);
    EXPECT_EQ(w.player_bullets[0][0].screen_x[1], 7.0f);
    EXPECT_EQ(w.enemy_bullets.at(0).visible[1], 7.0f);
    EXPECT_EQ(w.player_bullets[0][0].visible[0], 1.0f);
    EXPECT_EQ(w.enemy_bullets[0].visible[0], 1.0f);
    ASSERT_EQ(w.player_bullets[1].size(), 1u);
    EXPECT_NE(w.player_bullets[1][0].screen_x[0], 0.0f);
}

} // namespace
