#include "ships/control.h"

#include <utility>
#include <vector>

#include "ships_fixture.h"

namespace {

class ControlTest : public ShipsTest {
  protected:
    void SetUp() override {
        ShipsTest::SetUp();
        give_keys(0);
        give_keys(1);
    }
    void hold(int key) {
        fake.press(key);
        fake.begin_frame();
    }
};

TEST_F(ControlTest, EachPlayerReadsTheKeysInItsOwnRecord) {
    ship_records[0].key_up = HGEK_A + 10; // not the default layout
    hold(HGEK_UP);
    update_ship_controls(0, 0.02f);
    EXPECT_EQ(ship_records[0].speed, 0.0f);
    hold(HGEK_A + 10);
    update_ship_controls(0, 0.02f);
    update_ship_controls(1, 0.02f);
    EXPECT_FLOAT_EQ(ship_records[0].speed, 11.0f);
    EXPECT_EQ(ship_records[1].speed, 0.0f);
    hold(HGEK_A + 'D' - 'A'); // player 1 turns right
    update_ship_controls(1, 0.02f);
    EXPECT_FLOAT_EQ(ship_records[1].rotate_speed, 0.4f);
}

TEST_F(ControlTest, BothTurnKeysCancelAndSuppressDecay) {
    ship_records[0].rotate_speed = 0.5f;
    hold(HGEK_LEFT);
    hold(HGEK_RIGHT);
    update_ship_controls(0, 0.02f);
    EXPECT_FLOAT_EQ(ship_records[0].rotate_speed, 0.5f);
}

TEST_F(ControlTest, DestroyedShipIgnoresKeysAndOnlyWaits) {
    ship& s = ship_records[0];
    s.armor = -1;
    s.ships = 2;
    s.fire_timer = 1.0f;
    hold(HGEK_UP);
    hold(HGEK_CTRL);
    update_ship_controls(0, 0.25f);
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.fire_timer, 1.0f);
    EXPECT_EQ(s.death_timer, 0.25f);
    EXPECT_TRUE(player_bullets[0].empty());
    EXPECT_TRUE(fake.played.empty());
}

TEST_F(ControlTest, PlayersFireWithSoundIntoTheirViewsList) {
    ship_records[0].fire_timer = 1.0f;
    ship_records[1].fire_timer = 1.0f;
    hold(HGEK_A + 'Q' - 'A');
    update_ship_controls(0, 0.02f);
    update_ship_controls(1, 0.02f);
    EXPECT_TRUE(player_bullets[0].empty());
    EXPECT_EQ(player_bullets[1].size(), 1u);
    EXPECT_EQ(fake.played, std::vector<HEFFECT>{snd_player_fire});
}

TEST_F(ControlTest, HeldTimeEndsAtZeroInTheReleaseFrame) {
    ship& s = ship_records[0];
    hold(HGEK_CTRL);
    for (int i = 0; i < 5; ++i) update_ship_controls(0, 0.02f);
    EXPECT_GT(s.fire_held, 0.09f);
    fake.release(HGEK_CTRL);
    fake.begin_frame();
    update_ship_controls(0, 0.02f);
    EXPECT_EQ(s.fire_held, 0.0f);
}

class DemoPilotTest : public ShipsTest {
  protected:
    void SetUp() override {
        ShipsTest::SetUp();
        game_state = STATE_MENU;
    }
    std::vector<std::pair<int, int>> draws(std::initializer_list<std::pair<int, int>> l) {
        return l;
    }
};

TEST_F(DemoPilotTest, SecondDrawOnlyAfterAZero) {
    fake.next_ints = {5, 9, 3};
    update_ship_controls(2, 0.02f);
    EXPECT_EQ(fake.int_draws, draws({{0, 100}, {0, 100}, {0, 70}}));
    const ship& s = ship_records[2];
    EXPECT_EQ(s.key_up + s.key_down + s.key_left + s.key_right + s.key_fire, 0);

    fake.int_draws.clear();
    fake.next_ints = {0, 2, 7, 0, 1};
    update_ship_controls(2, 0.02f);
    EXPECT_EQ(fake.int_draws, draws({{0, 100}, {0, 2}, {0, 100}, {0, 70}, {0, 2}}));
    EXPECT_EQ(s.key_up, 1);
    EXPECT_EQ(s.key_fire, 1);
    EXPECT_EQ(s.key_left + s.key_right, 0);
}

TEST_F(DemoPilotTest, ChoicesSetTheFlagsAndNeverThrustBackwards) {
    ship& s = ship_records[3];
    s.key_down = 1;
    fake.next_ints = {0, 1, 0, 2, 0, 0};
    update_ship_controls(3, 0.02f);
    EXPECT_EQ(s.key_up, 1);
    EXPECT_EQ(s.key_down, 0);
    EXPECT_EQ(s.key_left, 1);
    EXPECT_EQ(s.key_right, 0);
    EXPECT_EQ(s.key_fire, 0);
    EXPECT_FLOAT_EQ(s.speed, 11.0f);
    EXPECT_FLOAT_EQ(s.rotate_speed, -0.4f);

    fake.next_ints = {0, 0, 0, 1, 9};
    update_ship_controls(3, 0.02f);
    EXPECT_EQ(s.key_up, 0);
    EXPECT_EQ(s.key_left, 0);
    EXPECT_EQ(s.key_right, 1);
}

TEST_F(DemoPilotTest, FiresSilentlyIntoItsViewsListAndKeepsFlagsWhileDestroyed) {
    ship& s = ship_records[3];
    s.key_fire = 1;
    s.key_up = 1;
    s.fire_timer = 1.0f;
    fake.next_ints = {1, 1, 1};
    update_ship_controls(3, 0.02f);
    EXPECT_EQ(player_bullets[1].size(), 1u);
    EXPECT_TRUE(player_bullets[0].empty());
    EXPECT_TRUE(fake.played.empty());

    s.armor = -1;
    fake.int_draws.clear();
    update_ship_controls(3, 0.02f);
    EXPECT_TRUE(fake.int_draws.empty());
    EXPECT_EQ(s.key_fire, 1);
    EXPECT_EQ(s.key_up, 1);
}

} // namespace
