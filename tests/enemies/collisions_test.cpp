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
    bool enemy_bullet_hits(float sx, float sy) {
        w.enemy_bullets.assign(1, shot(sx, sy));
        resolve_hits(w, 0.01f);
        return w.enemy_bullets.empty();
    }
};

TEST_F(CollisionsTest, CirclesTouchingAtExactlyTheRadiusSumCount) {
    EXPECT_TRUE(circles_touch(0, 0, 12, 12, 0, 0));
    EXPECT_FALSE(circles_touch(0, 0, 12, 12.5f, 0, 0));
    EXPECT_TRUE(circles_touch(1, 1, 2, 4, 5, 3)); // 5 apart, radii 2 + 3
    EXPECT_FALSE(circles_touch(1, 1, 2, 4, 5.01f, 3));
}

TEST_F(CollisionsTest, EnemyBulletsHitTheBodyOrTheNose) {
    w.ship_records[0].armor = 5;
    EXPECT_TRUE(enemy_bullet_hits(412, 400));
    EXPECT_FALSE(enemy_bullet_hits(412.5f, 400));
    EXPECT_TRUE(enemy_bullet_hits(400, 380.5f)); // 1.5 from the nose
    EXPECT_FALSE(enemy_bullet_hits(400, 379.5f));
    EXPECT_EQ(w.ship_records[0].armor, 3);
    EXPECT_EQ(sounds(), (std::vector<Sound>{SOUND_ARMOR, SOUND_ARMOR}));
    EXPECT_EQ(w.small_list.size(), 2u);
}

TEST_F(CollisionsTest, OneEnemyBulletPerFrameAndNoneUnseen) {
    w.ship_records[0].armor = 5;
    bullet unseen = shot(400, 400);
    unseen.visible[0] = 0.0f;
    w.enemy_bullets = {unseen, shot(400, 400), shot(400, 400)};
    resolve_hits(w, 0.01f);
    EXPECT_EQ(w.ship_records[0].armor, 4);
    ASSERT_EQ(w.enemy_bullets.size(), 2u);
    EXPECT_EQ(w.enemy_bullets[0].visible[0], 0.0f);
}

TEST_F(CollisionsTest, ArmorTakesOneHitMoreThanItsValueWithTheArmorSound) {
    put('b', 300, 300); // armor 3
    w.player_bullets[0].assign(5, shot(300, 300));
    resolve_hits(w, 0.01f);
    EXPECT_TRUE(w.enemy_list.empty());
    EXPECT_EQ(w.player_bullets[0].size(), 1u);
    EXPECT_EQ(sounds(),
              (std::vector<Sound>{SOUND_ARMOR, SOUND_ARMOR, SOUND_ARMOR, SOUND_BIG_BOOM}));
    EXPECT_EQ(w.small_list.size(), 4u);
    EXPECT_EQ(w.big_list.size(), 2u);
}

TEST_F(CollisionsTest, TheMenuIsSilentAndUsesTheDemoShips) {
    w.game_state = STATE_MENU;
    put('b', 300, 300);
    put('R', 200, 400, 1); // on ship 3 in view 1
    w.player_bullets[0].assign(4, shot(300, 300));
    resolve_hits(w, 0.01f);
    EXPECT_TRUE(w.enemy_list.empty());
    EXPECT_TRUE(sounds().empty());
    EXPECT_LT(w.ship_records[3].armor, 0);
    EXPECT_EQ(w.ship_records[1].armor, 0);
}

TEST_F(CollisionsTest, RocksSplitIntoTwoPiecesThatJoinAfterThePass) {
    enemy& e = put('M', 300, 300);
    e.x = 500;
    e.y = 600;
    w.player_bullets[0].push_back(shot(300, 300, 0, 505, 605, 0.5f));
    forget_records();
    draws.next_floats = {5, -3, 0.1f, 2, -1, 4, 50, -0.2f, 4, 1, 4, 50};
    resolve_hits(w, 0.01f);
    const float r = 12.5f, j = 3.14159265f / 8;
    EXPECT_EQ(draws.float_draws, (std::vector<FloatDraw>{{-25, 25},
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
    ASSERT_EQ(w.big_list.size(), 2u);
    EXPECT_EQ(w.big_list[0].x, 497.0f);
    EXPECT_EQ(w.big_list[0].y, 605.0f);
    EXPECT_EQ(w.big_list[0].delay, w.settings.anim_kaboom_delay);
    EXPECT_EQ(w.big_list[1].x, 500.0f);
    EXPECT_EQ(w.big_list[1].delay, 0.0f);
    EXPECT_EQ(w.small_list.at(0).x, 505.0f);
    EXPECT_TRUE(w.pending_list.empty());
    ASSERT_EQ(w.enemy_list.size(), 2u);
    const enemy& a = w.enemy_list[0];
    const enemy& b = w.enemy_list[1];
    EXPECT_EQ(a.kind, KIND_METEOR_MEDIUM);
    EXPECT_EQ(a.x, 499.0f);
    EXPECT_EQ(a.y, 602.0f);
    EXPECT_EQ(a.angle, 0.5f + 1.5707964f + 0.1f);
    EXPECT_EQ(b.x, 501.0f);
    EXPECT_EQ(b.y, 604.0f);
    EXPECT_EQ(b.angle, 0.5f - 1.5707964f - 0.2f);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_BIG_BOOM});
}

TEST_F(CollisionsTest, RammingDestroysAnyEnemyAndTheShipOnceThoughABulletHitsToo) {
    w.ship_records[0].shield = w.ship_records[0].armor = 5;
    w.ship_records[0].ships = w.ship_records[1].ships = 3;
    put('Z', 405, 400); // armor 7
    w.enemy_bullets.push_back(shot(400, 400));
    resolve_hits(w, 0.01f);
    EXPECT_TRUE(w.enemy_list.empty());
    EXPECT_EQ(w.ship_records[0].armor, 5 - 100);
    // The bullet still strikes the wreck and goes, with its small flash...
    EXPECT_TRUE(w.enemy_bullets.empty());
    EXPECT_EQ(w.small_list.size(), 1u);
    // ...but the ship dies once: one loss, the enemy's bang and one death's.
    EXPECT_EQ(w.ship_records[0].ships, 2);
    EXPECT_EQ(w.ship_records[1].ships, 2);
    EXPECT_EQ(sounds(), std::vector<Sound>(2, SOUND_BIG_BOOM));
    EXPECT_EQ(w.big_list.size(), 2u + 3u);
}

TEST_F(CollisionsTest, OnlyTheFirstOfTwoRammersGoes) {
    put('R', 400, 410).x = 1;
    put('R', 400, 390).x = 2;
    resolve_hits(w, 0.01f);
    ASSERT_EQ(w.enemy_list.size(), 1u);
    EXPECT_EQ(w.enemy_list[0].x, 2.0f);
}

TEST_F(CollisionsTest, AnUnseenEnemyIsNeverHit) {
    put('R', 400, 400).visible[0] = false;
    w.player_bullets[0].push_back(shot(400, 400));
    resolve_hits(w, 0.01f);
    EXPECT_EQ(w.enemy_list.size(), 1u);
    EXPECT_EQ(w.player_bullets[0].size(), 1u);
    EXPECT_EQ(w.ship_records[0].armor, 0);
}

TEST_F(CollisionsTest, UntouchableShipBlinksAndPassesThroughButItsBulletsHit) {
    w.ship_records[0].invul_timer = 0.5f;
    put('R', 400, 400);
    put('R', 300, 300);
    w.player_bullets[0].push_back(shot(300, 300));
    resolve_hits(w, 0.01f);
    EXPECT_FLOAT_EQ(w.ship_records[0].invul_timer, 0.51f);
    ASSERT_EQ(w.enemy_list.size(), 1u);
    EXPECT_EQ(w.enemy_list[0].screen_x[0], 400.0f);
    EXPECT_EQ(w.ship_records[0].armor, 0);
    w.ship_records[0].armor = -1; // a destroyed ship's bullets still hit
    w.player_bullets[0].push_back(shot(400, 400));
    resolve_hits(w, 0.01f);
    EXPECT_TRUE(w.enemy_list.empty());
}

TEST_F(CollisionsTest, ViewOneOnlyWhenASecondPlayerTakesPart) {
    put('R', 200, 400, 1);
    w.player_bullets[1].push_back(shot(200, 400, 1));
    resolve_hits(w, 0.01f);
    EXPECT_EQ(w.enemy_list.size(), 1u);
    two_players();
    resolve_hits(w, 0.01f);
    EXPECT_TRUE(w.enemy_list.empty());
    EXPECT_LT(w.ship_records[1].armor, 0);
    EXPECT_EQ(w.ship_records[0].armor, 0);
    EXPECT_EQ(w.player_bullets[1].size(), 1u); // the rammer was gone before the bullets
}

TEST_F(CollisionsTest, RivalsShootAndRamEachOtherButNeverThemselves) {
    two_players();
    w.game_mode = MODE_COMPETITION;
    w.ship_records[0].armor = w.ship_records[0].ships = 1;
    w.ship_records[1].armor = w.ship_records[1].ships = 3;
    w.ship_records[0].partner_screen_x = 600; // far apart: no ram
    // Ship 1's bullets, on both ships' anchors, strike ship 0 one per frame.
    w.player_bullets[1].assign(2, shot(200, 400));
    for (bullet& b : w.player_bullets[1])
        b.screen_x[1] = 200, b.screen_y[1] = 400, b.visible[1] = 1;
    resolve_hits(w, 0.01f);
    EXPECT_EQ(w.ship_records[0].armor, 0);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_ARMOR});
    resolve_hits(w, 0.01f);
    EXPECT_LT(w.ship_records[0].armor, 0);
    EXPECT_TRUE(w.player_bullets[1].empty());
    // Only the destroyed rival's own stock pays for the loss.
    EXPECT_EQ(w.ship_records[0].ships, 0);
    EXPECT_EQ(w.ship_records[1].ships, 3);
    EXPECT_EQ(w.ship_records[1].armor, 3);

    // A ram costs each one point once per contact: bodies 25 apart, and ship
    // 1's nose (it heads as ship 0 does) reaches up into ship 0.
    w.ship_records[0].armor = 2;
    w.ship_records[0].partner_screen_x = 200;
    w.ship_records[0].partner_screen_y = 425;
    resolve_hits(w, 0.01f);
    resolve_hits(w, 0.01f);
    EXPECT_EQ(w.ship_records[0].armor, 1);
    EXPECT_EQ(w.ship_records[1].armor, 2);
    w.ship_records[0].partner_screen_y = 460;
    resolve_hits(w, 0.01f);
    w.ship_records[0].partner_screen_y = 410;
    resolve_hits(w, 0.01f);
    EXPECT_EQ(w.ship_records[1].armor, 1);
}

TEST_F(CollisionsTest, SmallEndsAndUnknownKindsMakeNoPieces) {
    destroy_enemy(w, KIND_FIREROCKET, 10, 20, 0, false);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_SMALL_BOOM});
    EXPECT_EQ(w.big_list.size(), 1u);
    EXPECT_TRUE(draws.float_draws.empty());
    destroy_enemy(w, 99, 10, 20, 0, true);
    destroy_enemy(w, -3, 10, 20, 0, true);
    EXPECT_EQ(w.big_list.size(), 5u);
    EXPECT_EQ(sounds().size(), 1u);
    EXPECT_TRUE(w.pending_list.empty());
}

} // namespace
