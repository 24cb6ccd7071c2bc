#include "enemies/behaviours.h"

#include <cmath>
#include <utility>
#include <vector>

#include "enemies_fixture.h"
#include "ships/field.h"

namespace {

using IntDraw = std::pair<int, int>;
const float AIM_AHEAD = 3.1415927f; // aim of an enemy straight ahead of a ship heading 0

class BehavioursTest : public EnemiesTest {
  protected:
    // One behaviour pass with the records of making the enemies forgotten.
    void step(float dt) { update_enemy_behaviours(w, dt); }
    void fresh() { forget_records(); }
    void at_distance(enemy& e, float dist) { e.screen_y[0] = anchor_y(w, 0) - dist; }
};

TEST_F(BehavioursTest, AngleToCoversEveryQuadrantAndTheSamePoint) {
    EXPECT_FLOAT_EQ(angle_to(0, 0, 1, 0), 0.0f);
    EXPECT_FLOAT_EQ(angle_to(0, 0, 0, 1), 1.5707964f);
    EXPECT_FLOAT_EQ(angle_to(0, 0, -1, 0), 3.1415927f);
    EXPECT_FLOAT_EQ(angle_to(5, 5, 5, 2), 4.712389f);
    EXPECT_FLOAT_EQ(angle_to(0, 0, 1, -1), 5.497787f);
    EXPECT_FLOAT_EQ(angle_to(0, 0, -1, -1), 3.9269908f);
    EXPECT_EQ(angle_to(5, 5, 5, 5), 0.0f); // no direction, and never NaN
}

TEST_F(BehavioursTest, SteerTakesTheShortWayAndClamps) {
    enemy e = {};
    e.angle = 0.1f;
    steer(e, 6.2f, 1, 0.05f);
    EXPECT_FLOAT_EQ(e.angle, 0.05f);
    e.angle = 0.1f;
    steer(e, 0.1f + 4 * 3.1415927f + 0.01f, 1, 0.05f);
    EXPECT_NEAR(e.angle, 0.11f, 1e-5);
    e.angle = 6.2f;
    steer(e, -0.05f, 1, 0.05f); // the other way round, not reduced by steer
    EXPECT_NEAR(e.angle, 6.2f + (6.2831855f - 6.25f), 1e-5);
}

TEST_F(BehavioursTest, NearerShipUsesTheActiveViewsAndTheirShips) {
    w.settings.enemy[FAMILY_RUNNER].rotate = 100; // reach the flee direction at once
    auto flee_angle = [this](float sx0, float sy0) {
        w.enemy_list.clear();
        create_enemy(w, 'R', 0, 0, 0, false);
        enemy& e = w.enemy_list[0];
        e.screen_x[0] = sx0;
        e.screen_y[0] = sy0;
        e.screen_x[1] = anchor_x(w, 1);
        e.screen_y[1] = anchor_y(w, 1) - 100; // 100 ahead of the view-1 ship
        update_enemy_behaviours(w, 0.1f);
        return std::fmod(w.enemy_list[0].angle + 6.2831855f, 6.2831855f);
    };
    place_ship(1, 0, 0, 1.0f);
    place_ship(3, 0, 0, 2.0f);
    // ONE PLAYER: view 1 is nearer but does not count; flee from ship 0 (heading 0).
    EXPECT_NEAR(std::fmod(flee_angle(400, 200) + 0.5f, 6.2831855f), 0.5f, 1e-4);
    two_players();
    EXPECT_NEAR(flee_angle(200, 200), 1.0f, 1e-4);
    w.game_state = STATE_MENU; // ships 2 and 3, and the second view always
    w.game_mode = MODE_ONE_PLAYER;
    EXPECT_NEAR(flee_angle(200, 200), 2.0f, 1e-4);
}

TEST_F(BehavioursTest, HunterTurnsAwayInsideTurnOutAndBackOnlyBeyondTurnTo) {
    enemy& e = ahead('E', 100); // d 10000 < turn_out 22000
    ASSERT_EQ(e.mode, MODE_APPROACH);
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_RETREAT);
    EXPECT_NEAR(e.angle, 0.0f, 1e-5); // turned 0.4 towards, then 0.4 away in the same frame
    at_distance(e, 500);              // d exactly turn_to
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_RETREAT);
    at_distance(e, 600);
    e.fire_timer = 5;
    fresh();
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_APPROACH);
    EXPECT_TRUE(draws.int_draws.empty()); // the approach block waits for the next frame
    at_distance(e, 300);
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_APPROACH);
    EXPECT_EQ(draws.int_draws, (std::vector<IntDraw>{{0, 100}}));
}

TEST_F(BehavioursTest, HuntersFireTheirOwnVolleysAfterTheFireCheck) {
    struct Case {
        char letter;
        size_t bullets;
        float spread, outrange, lifetime;
        Sound sound;
    };
    const Case cases[] = {{'E', 2, 0.9f, 15, 0.6f, SOUND_ENEMY_FIRE_KHH},
                          {'H', 2, 0.07f, 9, 0.6f, SOUND_ENEMY_FIRE_KHH},
                          {'K', 1, 0, 15, 0.8f, SOUND_ENEMY_FIRE_PIU},
                          {'D', 1, 0, 15, 1.1f, SOUND_ENEMY_FIRE_PIU}};
    for (const Case& c : cases) {
        w.enemy_list.clear();
        w.enemy_bullets.clear();
        enemy& e = ahead(c.letter, 200);
        e.x = 100;
        e.y = 50;
        e.angle = AIM_AHEAD;
        e.fire_timer = 0.35f;
        fresh();
        draws.next_ints = {24};
        step(0.1f);
        EXPECT_EQ(e.fire_timer, 0.0f) << c.letter;
        EXPECT_EQ(sounds(), std::vector<Sound>{c.sound}) << c.letter;
        ASSERT_EQ(w.enemy_bullets.size(), c.bullets) << c.letter;
        const bullet& b = w.enemy_bullets[0];
        float theta = e.angle + c.spread;
        EXPECT_EQ(b.angle, theta) << c.letter;
        EXPECT_EQ(b.x, 100 + std::cos(theta) * c.outrange) << c.letter;
        EXPECT_EQ(b.y, 50 + std::sin(theta) * c.outrange) << c.letter;
        EXPECT_EQ(b.lifetime, c.lifetime) << c.letter;
        if (c.bullets == 2) {
            EXPECT_EQ(w.enemy_bullets[1].angle, e.angle - c.spread) << c.letter;
        }
    }
}

TEST_F(BehavioursTest, FailedOrOutOfRangeChecksStillResetTheTimer) {
    enemy& e = ahead('E', 200);
    e.fire_timer = 1;
    fresh();
    draws.next_ints = {25}; // not below 25
    step(0.1f);
    EXPECT_EQ(e.fire_timer, 0.0f);
    at_distance(e, 450); // d 202500 beyond fire_radius
    e.fire_timer = 1;
    draws.next_ints = {0};
    step(0.1f);
    EXPECT_EQ(e.fire_timer, 0.0f);
    EXPECT_EQ(draws.int_draws.size(), 2u);
    EXPECT_TRUE(w.enemy_bullets.empty());
}

TEST_F(BehavioursTest, NoEnemySoundInTheMenu) {
    w.game_state = STATE_MENU;
    ahead('E', 200).fire_timer = 1;
    ahead('b', 200).fire_timer = 1;
    ahead('C', 200).fire_timer = 3;
    step(0.1f);
    EXPECT_EQ(w.enemy_bullets.size(), 3u);
    EXPECT_EQ(w.enemy_list.size(), 4u); // the chiken's rocket joined
    EXPECT_TRUE(sounds().empty());
}

TEST_F(BehavioursTest, DragonflyHoldsFireWhileApproachingThenShootsBackwards) {
    enemy& e = ahead('Y', 200);
    e.fire_timer = 10;
    fresh();
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_APPROACH);
    EXPECT_TRUE(draws.int_draws.empty() && w.enemy_bullets.empty());
    at_distance(e, 100);
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_RETREAT);
    EXPECT_FLOAT_EQ(e.fire_timer, -0.1f);
    step(0.35f);
    EXPECT_TRUE(draws.int_draws.empty());
    step(0.1f);
    ASSERT_EQ(w.enemy_bullets.size(), 1u);
    EXPECT_EQ(w.enemy_bullets[0].angle, e.angle + 3.14159265f);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_ENEMY_FIRE_KHH});
}

TEST_F(BehavioursTest, MozgAttacksForASecondAfterAClosePass) {
    enemy& e = ahead('Z', 100); // new: aux_a 10, aux_b 1
    step(0.1f);
    EXPECT_EQ(e.mode, MODE_APPROACH); // retreated and came straight back
    EXPECT_EQ(e.aux_a, 0.0f);
    EXPECT_EQ(e.aux_b, 1.0f);
    step(0.5f);
    EXPECT_EQ(e.mode, MODE_APPROACH);
    ASSERT_EQ(w.enemy_bullets.size(), 5u);
    const float f = 0.18f;
    const float fan[] = {e.angle, e.angle + f, e.angle + 2 * f, e.angle - f, e.angle - 2 * f};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(w.enemy_bullets[i].angle, fan[i]) << i;
    at_distance(e, std::sqrt(30000.0f));
    step(0.6f);
    EXPECT_EQ(e.mode, MODE_RETREAT);
}

TEST_F(BehavioursTest, ArrowReturnsOnlyByChanceAfterItsThinkDelay) {
    enemy& e = ahead('A', 300); // think delay 6.5, the midpoint of 3..10
    e.aux_a = 6.4f;
    fresh();
    draws.next_floats = {4.0f, 5.0f};
    draws.next_ints = {18, 17};
    step(0.2f);
    EXPECT_EQ(e.mode, MODE_RETREAT);
    EXPECT_EQ(e.aux_a, 0.0f);
    EXPECT_EQ(e.aux_b, 4.0f);
    step(4.1f);
    EXPECT_EQ(e.mode, MODE_APPROACH);
    EXPECT_EQ(draws.float_draws.size(), 2u);
    EXPECT_EQ(draws.int_draws.size(), 2u);
    EXPECT_TRUE(w.enemy_bullets.empty());
}

TEST_F(BehavioursTest, RocketsRunOutOfSpeedAndVanishSilently) {
    ahead('f', 300);
    create_enemy(w, 'M', 0, 0, 0, false);
    create_enemy(w, 'M', 0, 0, 0, false);
    w.enemy_list[2].rotate = 1.0f;
    float spun = 0;
    for (int i = 0; i < 57; ++i) {
        step(0.1f);
        spun += 1.0f * 0.1f;
    }
    ASSERT_EQ(w.enemy_list.size(), 3u); // 5.7 s: still flying
    EXPECT_GE(w.enemy_list[0].speed, 0.0f);
    fresh();
    step(0.1f);
    spun += 1.0f * 0.1f;
    ASSERT_EQ(w.enemy_list.size(), 2u);
    EXPECT_EQ(w.enemy_list[0].rotate, 1.0f); // the last one moved into the gap and still acted
    EXPECT_EQ(w.enemy_list[0].angle, spun);
    EXPECT_TRUE(sounds().empty() && w.big_list.empty() && w.small_list.empty());
}

TEST_F(BehavioursTest, RedgunFiresOnlyOnTargetAndCountsOutOfRange) {
    enemy& e = ahead('r', 100);
    e.fire_timer = 1;
    step(0.1f);
    EXPECT_FLOAT_EQ(e.angle, 0.1f); // one turn step towards pi
    EXPECT_EQ(e.fire_timer, 0.0f);
    EXPECT_TRUE(draws.int_draws.empty()); // off target: no draw
    e.angle = AIM_AHEAD - 0.05f;
    e.fire_timer = 1;
    step(0.1f);
    EXPECT_FLOAT_EQ(e.angle, AIM_AHEAD);
    ASSERT_EQ(w.enemy_bullets.size(), 1u);
    EXPECT_EQ(w.enemy_bullets[0].lifetime, 1.0f);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_ENEMY_FIRE_PIU});
    at_distance(e, 500);
    e.fire_timer = 1;
    step(0.1f);
    EXPECT_FLOAT_EQ(e.fire_timer, 1.1f);
    EXPECT_EQ(draws.int_draws.size(), 1u);
}

TEST_F(BehavioursTest, RedgunFoldsAnAimBeyondThreePi) {
    place_ship(0, 0, 0, 6.0f);
    enemy& e = put('r', 500, 399); // aim about 10.7
    e.angle = 0.1f;
    step(0.1f);
    EXPECT_NEAR(e.angle, 0.0f, 1e-6); // the short way, backwards
}

TEST_F(BehavioursTest, AnanasgunComparesThePlainAimSmallgunTheReducedOne) {
    place_ship(0, 0, 0, 6.0f); // aim = pi + 6, past 2pi
    const float reduced = std::fmod(AIM_AHEAD + 6.0f, 6.2831855f);
    ahead('a', 100).angle = reduced;
    ahead('s', 100).angle = reduced;
    w.enemy_list[0].fire_timer = w.enemy_list[1].fire_timer = 1;
    fresh();
    step(0.01f);
    EXPECT_EQ(draws.int_draws.size(), 2u);
    ASSERT_EQ(w.enemy_bullets.size(), 1u); // the smallgun's
    EXPECT_EQ(w.enemy_bullets[0].lifetime, 1.8f);
}

TEST_F(BehavioursTest, FirestationRocketsJoinAfterThePassAtAnyDistance) {
    enemy& e = ahead('F', 2000);
    e.x = 70;
    e.y = 80;
    e.angle = AIM_AHEAD;
    e.fire_timer = 1;
    step(0.1f);
    ASSERT_EQ(w.enemy_list.size(), 2u);
    EXPECT_TRUE(w.pending_list.empty());
    const enemy& rocket = w.enemy_list[1];
    EXPECT_EQ(rocket.kind, KIND_FIREROCKET);
    EXPECT_EQ(rocket.x, 70.0f);
    EXPECT_EQ(rocket.angle, AIM_AHEAD);
    EXPECT_EQ(rocket.speed, 400.0f); // not yet slowed: no behaviour step this frame
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_ENEMY_ROCKET});
}

TEST_F(BehavioursTest, ChikenThinksThenLaunchesAheadOfItself) {
    enemy& e = ahead('C', 200); // think delay 2, turning -0.55
    e.x = 100;
    e.y = 100;
    e.angle = 0;
    e.aux_a = 1.95f;
    e.fire_timer = 1.95f;
    fresh();
    draws.next_floats = {3.0f};
    draws.next_ints = {2, 0};
    step(0.1f);
    EXPECT_EQ(draws.float_draws, (std::vector<std::pair<float, float>>{{0.8f, 4.0f}}));
    EXPECT_EQ(draws.int_draws, (std::vector<IntDraw>{{1, 2}, {0, 100}}));
    EXPECT_EQ(w.enemy_list[0].rotate, 0.55f);
    EXPECT_EQ(w.enemy_list[0].aux_b, 3.0f);
    ASSERT_EQ(w.enemy_list.size(), 2u);
    EXPECT_EQ(w.enemy_list[1].kind, KIND_CHIKENROCKET);
    EXPECT_EQ(w.enemy_list[1].x, 115.0f);
    EXPECT_EQ(w.enemy_list[1].y, 100.0f);
}

TEST_F(BehavioursTest, BullTurnsAtRandomAndFiresOnlyWhenSeenInViewZero) {
    two_players();
    enemy& e = put('B', 0, 0, 1); // seen in view 1 only; think delay 0.55
    e.aux_a = 0.5f;
    e.fire_timer = 2;
    fresh();
    draws.next_ints = {-1, 0};
    step(0.1f);
    EXPECT_EQ(e.rotate, -1.5f);
    EXPECT_EQ(draws.int_draws, (std::vector<IntDraw>{{-1, 1}, {0, 100}}));
    EXPECT_TRUE(w.enemy_bullets.empty());
    e.visible[0] = true;
    e.fire_timer = 2;
    step(0.1f);
    ASSERT_EQ(w.enemy_bullets.size(), 2u);
    EXPECT_EQ(w.enemy_bullets[1].angle, e.angle - 0.6f);
    EXPECT_EQ(w.enemy_bullets[1].lifetime, 0.5f);
}

TEST_F(BehavioursTest, MovementFollowsTheModes) {
    draws.next_floats = {4, 50, 2, 60};
    create_enemy(w, 'M', 100, 100, 0, false);
    create_enemy(w, 'G', 100, 100, 0, false);
    w.enemy_list[1].aux_b = 1.5707964f;
    create_enemy(w, 'B', 100, 100, 0, false);
    w.enemy_list[2].rotate = 1;
    create_enemy(w, 's', 100, 100, 0, false);
    move_enemies(w, 0.1f);
    EXPECT_FLOAT_EQ(w.enemy_list[0].x, 105);
    EXPECT_EQ(w.enemy_list[0].angle, 0.0f); // a meteor's spin is its behaviour, not its motion
    EXPECT_FLOAT_EQ(w.enemy_list[1].x, 112);
    EXPECT_FLOAT_EQ(w.enemy_list[1].y, 106);
    EXPECT_FLOAT_EQ(w.enemy_list[2].angle, 0.1f);
    EXPECT_FLOAT_EQ(w.enemy_list[2].x, 100 + std::cos(0.1f) * 9);
    EXPECT_FLOAT_EQ(w.enemy_list[3].angle, 0.08f);
    EXPECT_EQ(w.enemy_list[3].x, 100.0f);
}

TEST_F(BehavioursTest, MovementWrapsAndNormalisesOnceAndStrayKindsAndModesStandStill) {
    create_enemy(w, 'M', 2300, 20, 0, false);
    w.enemy_list[0].mode = 99;
    w.enemy_list[0].kind = 99; // neither acts nor moves, but still wraps
    update_enemy_behaviours(w, 0.1f);
    EXPECT_EQ(w.enemy_list[0].angle, 0.0f);
    create_enemy(w, 'r', 2300, -5, -0.5f, false);
    create_enemy(w, 'r', 10, 10, 13, false);
    move_enemies(w, 0.1f);
    EXPECT_EQ(w.enemy_list[0].x, 1200.0f);
    EXPECT_EQ(w.enemy_list[0].y, 20.0f);
    EXPECT_EQ(w.enemy_list[1].x, 1200.0f);
    EXPECT_EQ(w.enemy_list[1].y, 1095.0f);
    EXPECT_EQ(w.enemy_list[1].angle, -0.5f + 6.2831855f);
    EXPECT_EQ(w.enemy_list[2].angle, 13 - 6.2831855f);
}

TEST_F(BehavioursTest, ProjectionWritesViewsWithTheMarginStrict) {
    create_enemy(w, 'r', 0, -428.5f, 0, false); // seen at x -28.5, inside the margin 29
    create_enemy(w, 'r', 0, -429, 0, false);    // exactly on it
    for (enemy& e : w.enemy_list) e.screen_x[1] = e.radar_x[1] = 123;
    move_enemies(w, 0.1f);
    const enemy& in = w.enemy_list[0];
    ViewPoint p = project_to_view(w, w.ship_records[0], anchor_x(w, 0), anchor_y(w, 0), in.x, in.y);
    EXPECT_EQ(in.screen_x[0], p.screen_x);
    EXPECT_EQ(in.screen_y[0], p.screen_y);
    EXPECT_EQ(in.radar_x[0], p.radar_x);
    EXPECT_TRUE(in.visible[0]);
    EXPECT_FALSE(w.enemy_list[1].visible[0]);
    EXPECT_EQ(in.screen_x[1], 123.0f); // ONE PLAYER: view 1 left alone
    two_players();
    move_enemies(w, 0.1f);
    EXPECT_NE(in.screen_x[1], 123.0f);
    EXPECT_NE(in.radar_x[1], 123.0f);
}

} // namespace
