#include "enemies/collisions.h"

#include <utility>
#include <vector>

#include "enemies_fixture.h"

namespace {

using FloatDraw = std::pair<float, float>;

class CollisionsTest : public EnemiesTest {
  protected:
    // A bullet seen at (sx, sy) in view v, at world (x, y).
    static bullet shot(float sx, float sy, int v = 0, float x = 0, float y = 0, float angle = 0) {
        bullet b = {};
        b.x = x;
        b.y = y;
        b.angle = angle;
        b.screen_x[v] = sx;
        b.screen_y[v] = sy;
        b.visible[v] = 1.0f;
        return b;
    }
    static bool enemy_bullet_hits(float sx, float sy) {
        enemy_bullets.assign(1, shot(sx, sy));
        resolve_hits(0.01f);
        return enemy_bullets.empty();
    }
};

TEST_F(CollisionsTest, CirclesTouchingAtExactlyTheRadiusSumCount) {
    EXPECT_TRUE(circles_touch(0, 0, 12, 12, 0, 0));
    EXPECT_FALSE(circles_touch(0, 0, 12, 12.5f, 0, 0));
    EXPECT_TRUE(circles_touch(1, 1, 2, 4, 5, 3)); // 5 apart, radii 2 + 3
    EXPECT_FALSE(circles_touch(1, 1, 2, 4, 5.01f, 3));
}

TEST_F(CollisionsTest, EnemyBulletsHitTheBodyOrTheNose) {
    ship_records[0].armor = 5;
    EXPECT_TRUE(enemy_bullet_hits(412, 400));
    EXPECT_FALSE(enemy_bullet_hits(412.5f, 400));
    EXPECT_TRUE(enemy_bullet_hits(400, 380.5f)); // 1.5 from the nose
    EXPECT_FALSE(enemy_bullet_hits(400, 379.5f));
    EXPECT_EQ(ship_records[0].armor, 3);
    EXPECT_EQ(fake.played, (std::vector<HEFFECT>{snd_armor, snd_armor}));
    EXPECT_EQ(small_list.size(), 2u);
}

TEST_F(CollisionsTest, OneEnemyBulletPerFrameAndNoneUnseen) {
    ship_records[0].armor = 5;
    bullet unseen = shot(400, 400);
    unseen.visible[0] = 0.0f;
    enemy_bullets = {unseen, shot(400, 400), shot(400, 400)};
    resolve_hits(0.01f);
    EXPECT_EQ(ship_records[0].armor, 4);
    ASSERT_EQ(enemy_bullets.size(), 2u);
    EXPECT_EQ(enemy_bullets[0].visible[0], 0.0f);
}

TEST_F(CollisionsTest, ArmorTakesOneHitMoreThanItsValueWithTheArmorSound) {
    put('b', 300, 300); // armor 3
    player_bullets[0].assign(5, shot(300, 300));
    resolve_hits(0.01f);
    EXPECT_TRUE(enemy_list.empty());
    EXPECT_EQ(player_bullets[0].size(), 1u);
    EXPECT_EQ(fake.played, (std::vector<HEFFECT>{snd_armor, snd_armor, snd_armor, snd_big_boom}));
    EXPECT_EQ(small_list.size(), 4u);
    EXPECT_EQ(big_list.size(), 2u);
}

TEST_F(CollisionsTest, TheMenuIsSilentAndUsesTheDemoShips) {
    game_state = STATE_MENU;
    put('b', 300, 300);
    put('R', 200, 400, 1); // on ship 3 in view 1
    player_bullets[0].assign(4, shot(300, 300));
    resolve_hits(0.01f);
    EXPECT_TRUE(enemy_list.empty());
    EXPECT_TRUE(fake.played.empty());
    EXPECT_LT(ship_records[3].armor, 0);
    EXPECT_EQ(ship_records[1].armor, 0);
}

TEST_F(CollisionsTest, RocksSplitIntoTwoPiecesThatJoinAfterThePass) {
    enemy& e = put('M', 300, 300);
    e.x = 500;
    e.y = 600;
    player_bullets[0].push_back(shot(300, 300, 0, 505, 605, 0.5f));
    fake.reset_records();
    fake.next_floats = {5, -3, 0.1f, 2, -1, 4, 50, -0.2f, 4, 1, 4, 50};
    resolve_hits(0.01f);
    const float r = 12.5f, j = 3.14159265f / 8;
    EXPECT_EQ(fake.float_draws, (std::vector<FloatDraw>{{-25, 25},
                                                        {-25, 25},
                                                        {-j, j},
                                                        {-r, r},
                                                        {-r, r},
                                                        {3, 6},
                                                        {30, 120},
                                                        {-j, j},
                                                        {-r, r},
                                                        {-r, r},
                                                        {3, 6},
                                                        {30, 120}}));
    ASSERT_EQ(big_list.size(), 2u);
    EXPECT_EQ(big_list[0].x, 497.0f);
    EXPECT_EQ(big_list[0].y, 605.0f);
    EXPECT_EQ(big_list[0].delay, settings.anim_kaboom_delay);
    EXPECT_EQ(big_list[1].x, 500.0f);
    EXPECT_EQ(big_list[1].delay, 0.0f);
    EXPECT_EQ(small_list.at(0).x, 505.0f);
    EXPECT_TRUE(pending_list.empty());
    ASSERT_EQ(enemy_list.size(), 2u);
    const enemy& a = enemy_list[0];
    const enemy& b = enemy_list[1];
    EXPECT_EQ(a.kind, KIND_METEOR_MEDIUM);
    EXPECT_EQ(a.x, 499.0f);
    EXPECT_EQ(a.y, 602.0f);
    EXPECT_EQ(a.angle, 0.5f + 1.5707964f + 0.1f);
    EXPECT_EQ(b.x, 501.0f);
    EXPECT_EQ(b.y, 604.0f);
    EXPECT_EQ(b.angle, 0.5f - 1.5707964f - 0.2f);
    EXPECT_EQ(fake.played, std::vector<HEFFECT>{snd_big_boom});
}

TEST_F(CollisionsTest, RammingDestroysAnyEnemyAndTheShipOnceThoughABulletHitsToo) {
    ship_records[0].shield = ship_records[0].armor = 5;
    ship_records[0].ships = ship_records[1].ships = 3;
    put('Z', 405, 400); // armor 7
    enemy_bullets.push_back(shot(400, 400));
    resolve_hits(0.01f);
    EXPECT_TRUE(enemy_list.empty());
    EXPECT_EQ(ship_records[0].armor, 5 - 100);
    // The bullet still strikes the wreck and goes, with its small flash...
    EXPECT_TRUE(enemy_bullets.empty());
    EXPECT_EQ(small_list.size(), 1u);
    // ...but the ship dies once: one loss, the enemy's bang and one death's.
    EXPECT_EQ(ship_records[0].ships, 2);
    EXPECT_EQ(ship_records[1].ships, 2);
    EXPECT_EQ(fake.played, std::vector<HEFFECT>(2, snd_big_boom));
    EXPECT_EQ(big_list.size(), 2u + 3u);
}

TEST_F(CollisionsTest, OnlyTheFirstOfTwoRammersGoes) {
    put('R', 400, 410).x = 1;
    put('R', 400, 390).x = 2;
    resolve_hits(0.01f);
    ASSERT_EQ(enemy_list.size(), 1u);
    EXPECT_EQ(enemy_list[0].x, 2.0f);
}

TEST_F(CollisionsTest, AnUnseenEnemyIsNeverHit) {
    put('R', 400, 400).visible[0] = false;
    player_bullets[0].push_back(shot(400, 400));
    resolve_hits(0.01f);
    EXPECT_EQ(enemy_list.size(), 1u);
    EXPECT_EQ(player_bullets[0].size(), 1u);
    EXPECT_EQ(ship_records[0].armor, 0);
}

TEST_F(CollisionsTest, UntouchableShipBlinksAndPassesThroughButItsBulletsHit) {
    ship_records[0].invul_timer = 0.5f;
    put('R', 400, 400);
    put('R', 300, 300);
    player_bullets[0].push_back(shot(300, 300));
    resolve_hits(0.01f);
    EXPECT_FLOAT_EQ(ship_records[0].invul_timer, 0.51f);
    ASSERT_EQ(enemy_list.size(), 1u);
    EXPECT_EQ(enemy_list[0].screen_x[0], 400.0f);
    EXPECT_EQ(ship_records[0].armor, 0);
    ship_records[0].armor = -1; // a destroyed ship's bullets still hit
    player_bullets[0].push_back(shot(400, 400));
    resolve_hits(0.01f);
    EXPECT_TRUE(enemy_list.empty());
}

TEST_F(CollisionsTest, ViewOneOnlyWhenASecondPlayerTakesPart) {
    put('R', 200, 400, 1);
    player_bullets[1].push_back(shot(200, 400, 1));
    resolve_hits(0.01f);
    EXPECT_EQ(enemy_list.size(), 1u);
    two_players();
    resolve_hits(0.01f);
    EXPECT_TRUE(enemy_list.empty());
    EXPECT_LT(ship_records[1].armor, 0);
    EXPECT_EQ(ship_records[0].armor, 0);
    EXPECT_EQ(player_bullets[1].size(), 1u); // the rammer was gone before the bullets
}

TEST_F(CollisionsTest, RivalsShootAndRamEachOtherButNeverThemselves) {
    two_players();
    game_mode = MODE_COMPETITION;
    ship_records[0].armor = ship_records[0].ships = 1;
    ship_records[1].armor = ship_records[1].ships = 3;
    ship_records[0].partner_screen_x = 600; // far apart: no ram
    // Ship 1's bullets, on both ships' anchors, strike ship 0 one per frame.
    player_bullets[1].assign(2, shot(200, 400));
    for (bullet& b : player_bullets[1]) b.screen_x[1] = 200, b.screen_y[1] = 400, b.visible[1] = 1;
    resolve_hits(0.01f);
    EXPECT_EQ(ship_records[0].armor, 0);
    EXPECT_EQ(fake.played, std::vector<HEFFECT>{snd_armor});
    resolve_hits(0.01f);
    EXPECT_LT(ship_records[0].armor, 0);
    EXPECT_TRUE(player_bullets[1].empty());
    // Only the destroyed rival's own stock pays for the loss.
    EXPECT_EQ(ship_records[0].ships, 0);
    EXPECT_EQ(ship_records[1].ships, 3);
    EXPECT_EQ(ship_records[1].armor, 3);

    // A ram costs each one point once per contact: bodies 25 apart, and ship
    // 1's nose (it heads as ship 0 does) reaches up into ship 0.
    ship_records[0].armor = 2;
    ship_records[0].partner_screen_x = 200;
    ship_records[0].partner_screen_y = 425;
    resolve_hits(0.01f);
    resolve_hits(0.01f);
    EXPECT_EQ(ship_records[0].armor, 1);
    EXPECT_EQ(ship_records[1].armor, 2);
    ship_records[0].partner_screen_y = 460;
    resolve_hits(0.01f);
    ship_records[0].partner_screen_y = 410;
    resolve_hits(0.01f);
    EXPECT_EQ(ship_records[1].armor, 1);
}

TEST_F(CollisionsTest, SmallEndsAndUnknownKindsMakeNoPieces) {
    destroy_enemy(KIND_FIREROCKET, 10, 20, 0, false);
    EXPECT_EQ(fake.played, std::vector<HEFFECT>{snd_small_boom});
    EXPECT_EQ(big_list.size(), 1u);
    EXPECT_TRUE(fake.float_draws.empty());
    destroy_enemy(99, 10, 20, 0, true);
    destroy_enemy(-3, 10, 20, 0, true);
    EXPECT_EQ(big_list.size(), 5u);
    EXPECT_EQ(fake.played.size(), 1u);
    EXPECT_TRUE(pending_list.empty());
}

} // namespace
