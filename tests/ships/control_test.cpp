#include "ships/control.h"

#include <utility>
#include <vector>

#include "engine/engine.h"
#include "ships_fixture.h"

namespace {

class ControlTest : public ShipsTest {
  protected:
    void SetUp() override {
        ShipsTest::SetUp();
        give_keys(0);
        give_keys(1);
    }
    KeyFrame keys;
    void hold(int key) {
        fake.press(key);
        next_frame();
    }
    void next_frame() {
        fake.begin_frame();
        read_key_frame(&fake, keys);
    }
    void control(int index, float dt) { update_ship_controls(w, index, keys, dt); }
};

TEST_F(ControlTest, EachPlayerReadsTheKeysInItsOwnRecord) {
    w.ship_records[0].key_up = HGEK_A + 10; // not the default layout
    hold(HGEK_UP);
    control(0, 0.02f);
    EXPECT_EQ(w.ship_records[0].speed, 0.0f);
    hold(HGEK_A + 10);
    control(0, 0.02f);
    control(1, 0.02f);
    EXPECT_FLOAT_EQ(w.ship_records[0].speed, 11.0f);
    EXPECT_EQ(w.ship_records[1].speed, 0.0f);
    hold(HGEK_A + 'D' - 'A'); // player 1 turns right
    control(1, 0.02f);
    EXPECT_FLOAT_EQ(w.ship_records[1].rotate_speed, 0.4f);
}

TEST_F(ControlTest, BothTurnKeysCancelAndSuppressDecay) {
    w.ship_records[0].rotate_speed = 0.5f;
    hold(HGEK_LEFT);
    hold(HGEK_RIGHT);
    control(0, 0.02f);
    EXPECT_FLOAT_EQ(w.ship_records[0].rotate_speed, 0.5f);
}

TEST_F(ControlTest, DestroyedShipIgnoresKeysAndOnlyWaits) {
    ship& s = w.ship_records[0];
    s.armor = -1;
    s.ships = 2;
    s.fire_timer = 1.0f;
    hold(HGEK_UP);
    hold(HGEK_CTRL);
    control(0, 0.25f);
    EXPECT_EQ(s.speed, 0.0f);
    EXPECT_EQ(s.fire_timer, 1.0f);
    EXPECT_EQ(s.death_timer, 0.25f);
    EXPECT_TRUE(w.player_bullets[0].empty());
    EXPECT_TRUE(sounds().empty());
}

TEST_F(ControlTest, PlayersFireWithSoundIntoTheirViewsList) {
    w.ship_records[0].fire_timer = 1.0f;
    w.ship_records[1].fire_timer = 1.0f;
    hold(HGEK_A + 'Q' - 'A');
    control(0, 0.02f);
    control(1, 0.02f);
    EXPECT_TRUE(w.player_bullets[0].empty());
    EXPECT_EQ(w.player_bullets[1].size(), 1u);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_PLAYER_FIRE});
}

TEST_F(ControlTest, HeldTimeEndsAtZeroInTheReleaseFrame) {
    ship& s = w.ship_records[0];
    hold(HGEK_CTRL);
    for (int i = 0; i < 5; ++i) control(0, 0.02f);
    EXPECT_GT(s.fire_held, 0.09f);
    fake.release(HGEK_CTRL);
    next_frame();
    control(0, 0.02f);
    EXPECT_EQ(s.fire_held, 0.0f);
}

class DemoPilotTest : public ShipsTest {
  protected:
    void SetUp() override {
        ShipsTest::SetUp();
        w.game_state = STATE_MENU;
    }
    // The demo pilot reads no keys.
    void control(int index, float dt) { update_ship_controls(w, index, KeyFrame{}, dt); }
    static std::vector<std::pair<int, int>> ranges(std::initializer_list<std::pair<int, int>> l) {
        return l;
    }
};

TEST_F(DemoPilotTest, SecondDrawOnlyAfterAZero) {
    draws.next_ints = {5, 9, 3};
    control(2, 0.02f);
    EXPECT_EQ(draws.int_draws, ranges({{0, 100}, {0, 100}, {0, 70}}));
    const ship& s = w.ship_records[2];
    EXPECT_EQ(s.key_up + s.key_down + s.key_left + s.key_right + s.key_fire, 0);

    draws.int_draws.clear();
    draws.next_ints = {0, 2, 7, 0, 1};
    control(2, 0.02f);
    EXPECT_EQ(draws.int_draws, ranges({{0, 100}, {0, 2}, {0, 100}, {0, 70}, {0, 2}}));
    EXPECT_EQ(s.key_up, 1);
    EXPECT_EQ(s.key_fire, 1);
    EXPECT_EQ(s.key_left + s.key_right, 0);
}

TEST_F(DemoPilotTest, ChoicesSetTheFlagsAndNeverThrustBackwards) {
    ship& s = w.ship_records[3];
    s.key_down = 1;
    draws.next_ints = {0, 1, 0, 2, 0, 0};
    control(3, 0.02f);
    EXPECT_EQ(s.key_up, 1);
    EXPECT_EQ(s.key_down, 0);
    EXPECT_EQ(s.key_left, 1);
    EXPECT_EQ(s.key_right, 0);
    EXPECT_EQ(s.key_fire, 0);
    EXPECT_FLOAT_EQ(s.speed, 11.0f);
    EXPECT_FLOAT_EQ(s.rotate_speed, -0.4f);

    draws.next_ints = {0, 0, 0, 1, 9};
    control(3, 0.02f);
    EXPECT_EQ(s.key_up, 0);
    EXPECT_EQ(s.key_left, 0);
    EXPECT_EQ(s.key_right, 1);
}

TEST_F(DemoPilotTest, FiresSilentlyIntoItsViewsListAndKeepsFlagsWhileDestroyed) {
    ship& s = w.ship_records[3];
    s.key_fire = 1;
    s.key_up = 1;
    s.fire_timer = 1.0f;
    draws.next_ints = {1, 1, 1};
    control(3, 0.02f);
    EXPECT_EQ(w.player_bullets[1].size(), 1u);
    EXPECT_TRUE(w.player_bullets[0].empty());
    EXPECT_TRUE(sounds().empty());

    s.armor = -1;
    draws.int_draws.clear();
    control(3, 0.02f);
    EXPECT_TRUE(draws.int_draws.empty());
    EXPECT_EQ(s.key_fire, 1);
    EXPECT_EQ(s.key_up, 1);
}

} // namespace
