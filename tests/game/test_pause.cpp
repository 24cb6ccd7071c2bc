#include "game_fixture.h"

namespace {

class PauseTest : public GameTest {
  protected:
    void to_play() {
        set_game_state(w, ACTION_TITLE);
        frame_with({'X'});
        frame_with({HGEK_ENTER});
        frame_with({HGEK_ENTER});
        ASSERT_EQ(w.game_state, STATE_PLAY);
    }
};

TEST_F(PauseTest, PauseHoldsTheSimulationAndTheSound) {
    to_play();
    frames(20);
    ship before = w.ship_records[0];
    size_t enemies = w.enemy_list.size();
    float spawn = w.spawn_timer;
    frame_with({'P'});
    ASSERT_TRUE(w.paused);
    const AnimClock loop = w.loops[0];
    EXPECT_TRUE(emitted(EVENT_PAUSE));
    EXPECT_TRUE(fake.channels_paused);
    fake.press(HGEK_UP);
    frames(50);
    EXPECT_EQ(w.ship_records[0].x, before.x);
    EXPECT_EQ(w.ship_records[0].y, before.y);
    EXPECT_EQ(w.ship_records[0].invul_timer, before.invul_timer);
    EXPECT_EQ(w.enemy_list.size(), enemies);
    EXPECT_EQ(w.spawn_timer, spawn);
    // Even the looping pictures stand still.
    EXPECT_EQ(w.loops[0].frame, loop.frame);
    EXPECT_EQ(w.loops[0].time_since, loop.time_since);
    // The Pause key goes on too; the first frame after moves by one frame's time.
    frame_with({HGEK_PAUSE});
    EXPECT_FALSE(w.paused);
    EXPECT_TRUE(emitted(EVENT_RESUME));
    EXPECT_FALSE(fake.channels_paused);
    frames(1);
    EXPECT_FLOAT_EQ(w.ship_records[0].invul_timer, before.invul_timer + fake.delta);

    // A player flying with P pauses only with the Pause key; Escape in a pause leaves.
    w.ship_records[0].key_fire = 'P';
    frame_with({'P'});
    EXPECT_FALSE(w.paused);
    EXPECT_FALSE(emitted(EVENT_PAUSE));
    frame_with({HGEK_PAUSE});
    ASSERT_TRUE(w.paused);
    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_FALSE(w.paused);
    EXPECT_TRUE(emitted(EVENT_RESUME));
    EXPECT_FALSE(fake.channels_paused);
}

} // namespace
