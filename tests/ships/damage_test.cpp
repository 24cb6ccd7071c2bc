#include "ships/damage.h"

#include <vector>

#include "ships_fixture.h"

namespace {

class DamageTest : public ShipsTest {
  protected:
    void SetUp() override {
        ShipsTest::SetUp();
        for (ship& s : w.ship_records) s.ships = 3;
    }
    // Runs the destroyed-ship step until the ship is back or the game is over.
    void wait_out_death(int index) {
        for (int i = 0; i < 100 && w.ship_records[index].armor < 0 && w.game_state == STATE_PLAY;
             ++i)
            destroyed_ship_step(w, index, 0.5f);
    }
};

TEST_F(DamageTest, ShieldZeroDiesOnTheFirstBulletWithTheBigBoom) {
    ship& s = w.ship_records[0];
    s.speed = 200.0f;
    s.rotate_speed = 1.0f;
    s.death_timer = 9.0f;
    damage_ship(w, 0, 1);
    EXPECT_EQ(s.armor, -1);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_BIG_BOOM});
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.rotate_speed, 0.0f);
    EXPECT_EQ(s.death_timer, 0.0f);
    EXPECT_FALSE(ship_can_be_hit(w, 0));
}

TEST_F(DamageTest, ShieldThreeTakesThreeArmorHitsThenDies) {
    ship& s = w.ship_records[0];
    s.armor = 3;
    for (int expected = 2; expected >= 0; --expected) {
        damage_ship(w, 0, 1);
        EXPECT_EQ(s.armor, expected);
    }
    EXPECT_EQ(sounds(), std::vector<Sound>(3, SOUND_ARMOR));
    EXPECT_EQ(s.ships, 3);
    damage_ship(w, 0, 1);
    EXPECT_LT(s.armor, 0);
    EXPECT_EQ(sounds().back(), SOUND_BIG_BOOM);

    w.ship_records[1].armor = 5;
    damage_ship(w, 1, 100); // ramming
    EXPECT_LT(w.ship_records[1].armor, 0);
}

TEST_F(DamageTest, ALossCostsBothShipsOfThePairOnly) {
    damage_ship(w, 1, 1);
    EXPECT_EQ(w.ship_records[0].ships, 2);
    EXPECT_EQ(w.ship_records[1].ships, 2);
    EXPECT_EQ(w.ship_records[2].ships, 3);

    w.game_state = STATE_MENU;
    w.events.clear();
    w.ship_records[3].armor = 1;
    damage_ship(w, 3, 1);
    damage_ship(w, 2, 1);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(w.ship_records[2].ships, 2);
    EXPECT_EQ(w.ship_records[3].ships, 2);
    EXPECT_EQ(w.ship_records[0].ships, 2);

    // A player ship lost in the frame that leaves for the menu is still the players' loss.
    damage_ship(w, 0, 100);
    EXPECT_EQ(w.ship_records[0].ships, 1);
    EXPECT_EQ(w.ship_records[1].ships, 1);
    EXPECT_EQ(w.ship_records[2].ships, 2);
    EXPECT_TRUE(sounds().empty());
}

TEST_F(DamageTest, DeathScattersThreeBigExplosionsDyBeforeDx) {
    use_explosion_templates();
    ship& s = w.ship_records[0];
    s.x = 300.0f;
    s.y = 200.0f;
    draws.next_floats = {1.0f, 2.0f, 3.0f, 4.0f};
    damage_ship(w, 0, 1);
    ASSERT_EQ(draws.float_draws.size(), 4u);
    for (const auto& d : draws.float_draws) {
        EXPECT_EQ(d.first, -25.0f);
        EXPECT_EQ(d.second, 25.0f);
    }
    ASSERT_EQ(w.big_list.size(), 3u);
    EXPECT_EQ(w.big_list[0].x, 302.0f);
    EXPECT_EQ(w.big_list[0].y, 201.0f);
    EXPECT_FLOAT_EQ(w.big_list[0].delay, 0.16f);
    EXPECT_EQ(w.big_list[1].x, 304.0f);
    EXPECT_EQ(w.big_list[1].y, 203.0f);
    EXPECT_FLOAT_EQ(w.big_list[1].delay, 0.08f);
    EXPECT_EQ(w.big_list[2].x, 300.0f);
    EXPECT_EQ(w.big_list[2].y, 200.0f);
    EXPECT_EQ(w.big_list[2].delay, 0.0f);
    EXPECT_TRUE(w.small_list.empty());
}

TEST_F(DamageTest, ThreeShipsLastThreeLossesThenGameOverRaisesTheCount) {
    ship& s = w.ship_records[0];
    s.shield = 2;
    for (int loss = 1; loss <= 2; ++loss) {
        damage_ship(w, 0, 100);
        wait_out_death(0);
        EXPECT_EQ(s.armor, 2);
        EXPECT_EQ(s.invul_timer, 0.0f);
        EXPECT_EQ(s.ships, 3 - loss);
        EXPECT_EQ(w.game_state, STATE_PLAY);
    }
    damage_ship(w, 0, 100);
    destroyed_ship_step(w, 0, 1.5f); // the delay is compared strictly
    EXPECT_EQ(w.game_state, STATE_PLAY);
    destroyed_ship_step(w, 0, 0.01f);
    EXPECT_EQ(w.game_state, STATE_GAME_OVER);
    EXPECT_EQ(s.ships, 1);
    EXPECT_EQ(w.ship_records[1].ships, 1);
    EXPECT_EQ(w.bonus, 0);
    EXPECT_EQ(w.game_over_timer, 0.0f);
}

TEST_F(DamageTest, GameOverThroughShipOneKeepsTheBonusAndLeavesThePairOneShip) {
    w.ship_records[0].ships = w.ship_records[1].ships = 1;
    damage_ship(w, 1, 1);
    wait_out_death(1);
    EXPECT_EQ(w.game_state, STATE_GAME_OVER);
    EXPECT_EQ(w.bonus, 7);
    EXPECT_EQ(w.ship_records[1].ships, 1);
    EXPECT_EQ(w.ship_records[0].ships, 1); // the count the shop shows

    // Both lost before either wait ran out: still one ship, never a negative count.
    w.game_state = STATE_PLAY;
    w.ship_records[0].armor = w.ship_records[1].armor = 0;
    damage_ship(w, 0, 100);
    damage_ship(w, 1, 100);
    EXPECT_EQ(w.ship_records[0].ships, -1);
    wait_out_death(0);
    EXPECT_EQ(w.game_state, STATE_GAME_OVER);
    EXPECT_EQ(w.ship_records[0].ships, 1);
    EXPECT_EQ(w.ship_records[1].ships, 1);
}

TEST_F(DamageTest, EachShipReturnsWithItsOwnShieldAndDemoShipsNeverRunOut) {
    w.ship_records[0].shield = 4;
    damage_ship(w, 0, 100);
    damage_ship(w, 1, 100);
    wait_out_death(0);
    wait_out_death(1);
    EXPECT_EQ(w.ship_records[0].armor, 4);
    EXPECT_EQ(w.ship_records[1].armor, 0);

    w.game_state = STATE_MENU;
    w.ship_records[2].ships = 0;
    w.ship_records[2].shield = 3;
    damage_ship(w, 2, 100);
    for (int i = 0; i < 4; ++i) destroyed_ship_step(w, 2, 0.5f);
    EXPECT_EQ(w.ship_records[2].armor, 3);
    EXPECT_EQ(w.game_state, STATE_MENU);
}

TEST_F(DamageTest, UntouchableShipBlinksItsViewsPictureAndEndsShown) {
    ship& s = w.ship_records[1];
    const float dt = 0.03f;
    int toggles = 0;
    bool last = w.ship_shown[1];
    while (!ship_can_be_hit(w, 1)) {
        invulnerability_step(w, 1, dt);
        if (w.ship_shown[1] != last) ++toggles;
        last = w.ship_shown[1];
        ASSERT_LT(s.invul_timer, 3.0f);
        if (s.invul_timer < 0.1f) {
            EXPECT_TRUE(last);
        }
        if (s.invul_timer > 0.11f && s.invul_timer < 0.13f) {
            EXPECT_FALSE(last);
        }
    }
    EXPECT_TRUE(w.ship_shown[1]);
    EXPECT_TRUE(w.ship_shown[0]);
    EXPECT_EQ(w.blink_timer[0], 0.0f);
    // About every fourth frame of 0.03 s over 2 s.
    EXPECT_GE(toggles, 14);
    EXPECT_LE(toggles, 17);

    // A toggle to hidden in the last untouchable frame is overruled.
    s.invul_timer = 1.99f;
    w.blink_timer[1] = 0.09f;
    invulnerability_step(w, 1, 0.02f);
    EXPECT_EQ(w.blink_timer[1], 0.0f);
    EXPECT_TRUE(w.ship_shown[1]);
}

TEST_F(DamageTest, DemoShipsBlinkThePictureOfTheirView) {
    w.blink_timer[0] = 0.09f;
    invulnerability_step(w, 2, 0.02f);
    EXPECT_EQ(w.blink_timer[0], 0.0f);
    EXPECT_FLOAT_EQ(w.ship_records[2].invul_timer, 0.02f);
    EXPECT_FALSE(w.ship_shown[0]);
    EXPECT_TRUE(w.ship_shown[1]);

    w.ship_shown[0] = true;
    w.blink_timer[0] = 0.09f;
    invulnerability_step(w, 2, 0.02f);
    EXPECT_FALSE(w.ship_shown[0]);
    EXPECT_TRUE(w.ship_shown[1]);
    w.blink_timer[1] = 0.0f;
    invulnerability_step(w, 3, 0.1f); // exactly the period: no toggle yet
    EXPECT_TRUE(w.ship_shown[1]);
}

TEST_F(DamageTest, BadShipIndexChangesNothing) {
    damage_ship(w, 4, 1);
    damage_ship(w, -1, 1);
    destroyed_ship_step(w, 7, 5.0f);
    invulnerability_step(w, -2, 5.0f);
    EXPECT_FALSE(ship_can_be_hit(w, 9));
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(w.blink_timer[0] + w.blink_timer[1], 0.0f);
    EXPECT_TRUE(w.ship_shown[0] && w.ship_shown[1]);
}

} // namespace
