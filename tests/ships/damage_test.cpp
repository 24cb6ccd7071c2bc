#include "ships/damage.h"

#include <vector>

#include "ships_fixture.h"

namespace {

class DamageTest : public ShipsTest {
  protected:
    void SetUp() override {
        ShipsTest::SetUp();
        for (ship& s : ship_records) s.ships = 3;
    }
    // Runs the destroyed-ship step until the ship is back or the game is over.
    void wait_out_death(int index) {
        for (int i = 0; i < 100 && ship_records[index].armor < 0 && game_state == STATE_PLAY; ++i)
            destroyed_ship_step(index, 0.5f);
    }
};

TEST_F(DamageTest, ShieldZeroDiesOnTheFirstBulletWithTheBigBoom) {
    ship& s = ship_records[0];
    s.speed = 200.0f;
    s.rotate_speed = 1.0f;
    s.death_timer = 9.0f;
    damage_ship(0, 1);
    EXPECT_EQ(s.armor, -1);
    EXPECT_EQ(fake.played, std::vector<HEFFECT>{snd_big_boom});
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.rotate_speed, 0.0f);
    EXPECT_EQ(s.death_timer, 0.0f);
    EXPECT_FALSE(ship_can_be_hit(0));
}

TEST_F(DamageTest, ShieldThreeTakesThreeArmorHitsThenDies) {
    ship& s = ship_records[0];
    s.armor = 3;
    for (int expected = 2; expected >= 0; --expected) {
        damage_ship(0, 1);
        EXPECT_EQ(s.armor, expected);
    }
    EXPECT_EQ(fake.played, std::vector<HEFFECT>(3, snd_armor));
    EXPECT_EQ(s.ships, 3);
    damage_ship(0, 1);
    EXPECT_LT(s.armor, 0);
    EXPECT_EQ(fake.played.back(), snd_big_boom);

    ship_records[1].armor = 5;
    damage_ship(1, 100); // ramming
    EXPECT_LT(ship_records[1].armor, 0);
}

TEST_F(DamageTest, ALossCostsBothShipsOfThePairOnly) {
    damage_ship(1, 1);
    EXPECT_EQ(ship_records[0].ships, 2);
    EXPECT_EQ(ship_records[1].ships, 2);
    EXPECT_EQ(ship_records[2].ships, 3);

    game_state = STATE_MENU;
    fake.played.clear();
    ship_records[3].armor = 1;
    damage_ship(3, 1);
    damage_ship(2, 1);
    EXPECT_TRUE(fake.played.empty());
    EXPECT_EQ(ship_records[2].ships, 2);
    EXPECT_EQ(ship_records[3].ships, 2);
    EXPECT_EQ(ship_records[0].ships, 2);

    // A player ship lost in the frame that leaves for the menu is still the players' loss.
    damage_ship(0, 100);
    EXPECT_EQ(ship_records[0].ships, 1);
    EXPECT_EQ(ship_records[1].ships, 1);
    EXPECT_EQ(ship_records[2].ships, 2);
    EXPECT_TRUE(fake.played.empty());
}

TEST_F(DamageTest, DeathScattersThreeBigExplosionsDyBeforeDx) {
    use_explosion_templates();
    ship& s = ship_records[0];
    s.x = 300.0f;
    s.y = 200.0f;
    fake.next_floats = {1.0f, 2.0f, 3.0f, 4.0f};
    damage_ship(0, 1);
    ASSERT_EQ(fake.float_draws.size(), 4u);
    for (const auto& d : fake.float_draws) {
        EXPECT_EQ(d.first, -25.0f);
        EXPECT_EQ(d.second, 25.0f);
    }
    ASSERT_EQ(big_list.size(), 3u);
    EXPECT_EQ(big_list[0].x, 302.0f);
    EXPECT_EQ(big_list[0].y, 201.0f);
    EXPECT_FLOAT_EQ(big_list[0].delay, 0.16f);
    EXPECT_EQ(big_list[1].x, 304.0f);
    EXPECT_EQ(big_list[1].y, 203.0f);
    EXPECT_FLOAT_EQ(big_list[1].delay, 0.08f);
    EXPECT_EQ(big_list[2].x, 300.0f);
    EXPECT_EQ(big_list[2].y, 200.0f);
    EXPECT_EQ(big_list[2].delay, 0.0f);
    EXPECT_TRUE(small_list.empty());
}

TEST_F(DamageTest, ThreeShipsLastThreeLossesThenGameOverRaisesTheCount) {
    ship& s = ship_records[0];
    s.shield = 2;
    for (int loss = 1; loss <= 2; ++loss) {
        damage_ship(0, 100);
        wait_out_death(0);
        EXPECT_EQ(s.armor, 2);
        EXPECT_EQ(s.invul_timer, 0.0f);
        EXPECT_EQ(s.ships, 3 - loss);
        EXPECT_EQ(game_state, STATE_PLAY);
    }
    damage_ship(0, 100);
    destroyed_ship_step(0, 1.5f); // the delay is compared strictly
    EXPECT_EQ(game_state, STATE_PLAY);
    destroyed_ship_step(0, 0.01f);
    EXPECT_EQ(game_state, STATE_GAME_OVER);
    EXPECT_EQ(s.ships, 1);
    EXPECT_EQ(ship_records[1].ships, 1);
    EXPECT_EQ(bonus, 0);
    EXPECT_EQ(game_over_timer, 0.0f);
}

TEST_F(DamageTest, GameOverThroughShipOneKeepsTheBonusAndLeavesThePairOneShip) {
    ship_records[0].ships = ship_records[1].ships = 1;
    damage_ship(1, 1);
    wait_out_death(1);
    EXPECT_EQ(game_state, STATE_GAME_OVER);
    EXPECT_EQ(bonus, 7);
    EXPECT_EQ(ship_records[1].ships, 1);
    EXPECT_EQ(ship_records[0].ships, 1); // the count the shop shows

    // Both lost before either wait ran out: still one ship, never a negative count.
    game_state = STATE_PLAY;
    ship_records[0].armor = ship_records[1].armor = 0;
    damage_ship(0, 100);
    damage_ship(1, 100);
    EXPECT_EQ(ship_records[0].ships, -1);
    wait_out_death(0);
    EXPECT_EQ(game_state, STATE_GAME_OVER);
    EXPECT_EQ(ship_records[0].ships, 1);
    EXPECT_EQ(ship_records[1].ships, 1);
}

TEST_F(DamageTest, EachShipReturnsWithItsOwnShieldAndDemoShipsNeverRunOut) {
    ship_records[0].shield = 4;
    damage_ship(0, 100);
    damage_ship(1, 100);
    wait_out_death(0);
    wait_out_death(1);
    EXPECT_EQ(ship_records[0].armor, 4);
    EXPECT_EQ(ship_records[1].armor, 0);

    game_state = STATE_MENU;
    ship_records[2].ships = 0;
    ship_records[2].shield = 3;
    damage_ship(2, 100);
    for (int i = 0; i < 4; ++i) destroyed_ship_step(2, 0.5f);
    EXPECT_EQ(ship_records[2].armor, 3);
    EXPECT_EQ(game_state, STATE_MENU);
}

TEST_F(DamageTest, UntouchableShipBlinksItsViewsSpriteAndEndsOpaque) {
    use_blink_sprites();
    ship& s = ship_records[1];
    const float dt = 0.03f;
    int toggles = 0;
    uint32_t last = sprite_ship1->get_color(0);
    while (!ship_can_be_hit(1)) {
        invulnerability_step(1, dt);
        if (sprite_ship1->get_color(0) != last) ++toggles;
        last = sprite_ship1->get_color(0);
        ASSERT_LT(s.invul_timer, 3.0f);
        if (s.invul_timer < 0.1f) {
            EXPECT_EQ(last, 0xFFFFFFFFu);
        }
        if (s.invul_timer > 0.11f && s.invul_timer < 0.13f) {
            EXPECT_EQ(last, 0u);
        }
    }
    EXPECT_EQ(sprite_ship1->get_color(0), 0xFFFFFFFFu);
    EXPECT_EQ(sprite_ship1->get_color(3), 0xFFFFFFFFu);
    EXPECT_EQ(sprite_ship0->get_color(0), 0xFFFFFFFFu);
    EXPECT_EQ(blink_timer[0], 0.0f);
    // About every fourth frame of 0.03 s over 2 s.
    EXPECT_GE(toggles, 14);
    EXPECT_LE(toggles, 17);

    // A toggle to transparent in the last untouchable frame is overruled.
    s.invul_timer = 1.99f;
    blink_timer[1] = 0.09f;
    invulnerability_step(1, 0.02f);
    EXPECT_EQ(blink_timer[1], 0.0f);
    EXPECT_EQ(sprite_ship1->get_color(0), 0xFFFFFFFFu);
}

TEST_F(DamageTest, DemoShipsBlinkTheSpriteOfTheirViewAndNullSpritesAreSafe) {
    blink_timer[0] = 0.09f;
    invulnerability_step(2, 0.02f); // no sprites loaded
    EXPECT_EQ(blink_timer[0], 0.0f);
    EXPECT_FLOAT_EQ(ship_records[2].invul_timer, 0.02f);

    use_blink_sprites();
    blink_timer[0] = 0.09f;
    invulnerability_step(2, 0.02f);
    EXPECT_EQ(sprite_ship0->get_color(0), 0u);
    EXPECT_EQ(sprite_ship1->get_color(0), 0xFFFFFFFFu);
    blink_timer[1] = 0.0f;
    invulnerability_step(3, 0.1f); // exactly the period: no toggle yet
    EXPECT_EQ(sprite_ship1->get_color(0), 0xFFFFFFFFu);
}

TEST_F(DamageTest, BadShipIndexChangesNothing) {
    damage_ship(4, 1);
    damage_ship(-1, 1);
    destroyed_ship_step(7, 5.0f);
    invulnerability_step(-2, 5.0f);
    EXPECT_FALSE(ship_can_be_hit(9));
    EXPECT_TRUE(fake.played.empty());
    EXPECT_EQ(blink_timer[0] + blink_timer[1], 0.0f);
}

} // namespace
