#include "ships/weapons.h"

#include <cmath>
#include <vector>

#include "ships_fixture.h"

namespace {

class WeaponsTest : public ShipsTest {
  protected:
    ship s{};
    void SetUp() override {
        ShipsTest::SetUp();
        s.x = 500.0f;
        s.y = 400.0f;
        s.angle = 1.0f;
    }
    // Frames (1-based) at which a volley left while the control was held throughout.
    std::vector<int> volley_frames(int frames, float dt) {
        std::vector<int> out;
        for (int i = 1; i <= frames; ++i) {
            const size_t before = w.player_bullets[0].size();
            fire_step(w, s, 0, dt, true, false, true);
            if (w.player_bullets[0].size() != before) out.push_back(i);
        }
        return out;
    }
};

TEST_F(WeaponsTest, HoldingFiresFastThenAtHalfRateAfterTheReactionDelay) {
    // Level start: the timer must pass 0.1 s first. At 0.035 s a frame that is
    // every 3rd frame; from 0.6 s held, every 6th.
    const std::vector<int> got = volley_frames(40, 0.035f);
    ASSERT_GE(got.size(), 7u);
    EXPECT_EQ(got[0], 3);
    for (size_t i = 1; i < got.size(); ++i) {
        // Fast while the control is still short of 0.6 s when the next volley is due.
        const bool fast = (got[i - 1] + 3) * 0.035f < 0.6f;
        EXPECT_EQ(got[i] - got[i - 1], fast ? 3 : 6) << "volley " << i;
    }
    EXPECT_EQ(got[5] - got[4], 6);
}

TEST_F(WeaponsTest, PressFiresAtOnceWhenTheTimerHasGrownAndReleaseRestoresTheFastRate) {
    fire_step(w, s, 0, 0.5f, false, true, true);
    EXPECT_TRUE(w.player_bullets[0].empty());
    fire_step(w, s, 0, 0.01f, true, false, true);
    EXPECT_EQ(w.player_bullets[0].size(), 1u);
    EXPECT_EQ(s.fire_timer, 0.0f);
    EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_PLAYER_FIRE});

    s.fire_held = 1.0f;
    s.fire_timer = 0.15f;
    fire_step(w, s, 0, 0.0f, true, false, true);
    EXPECT_EQ(w.player_bullets[0].size(), 1u); // held long: 0.2 s needed
    fire_step(w, s, 0, 0.0f, false, true, true);
    fire_step(w, s, 0, 0.0f, true, false, true);
    EXPECT_EQ(w.player_bullets[0].size(), 2u);
}

TEST_F(WeaponsTest, CooldownAndReactionDelayComparisons) {
    s.fire_timer = 0.0f;
    fire_step(w, s, 0, 0.1f, true, false, true); // exactly the cooldown: not yet
    EXPECT_TRUE(w.player_bullets[0].empty());
    s.fire_held = 0.6f;
    s.fire_timer = 0.15f;
    fire_step(w, s, 0, 0.0f, true, false, true); // exactly the delay counts as held long
    EXPECT_TRUE(w.player_bullets[0].empty());
    s.fire_held = 0.59f;
    fire_step(w, s, 0, 0.0f, true, false, true);
    EXPECT_EQ(w.player_bullets[0].size(), 1u);
}

TEST_F(WeaponsTest, VolleySizesAndDirections) {
    const size_t sizes[6] = {1, 2, 3, 4, 5, 7};
    for (int level = 0; level < 6; ++level) {
        w.player_bullets[0].clear();
        s.firepower = level;
        s.fire_timer = 1.0f;
        fire_step(w, s, 0, 0.0f, true, false, true);
        ASSERT_EQ(w.player_bullets[0].size(), sizes[level]) << "firepower " << level;
        for (const bullet& b : w.player_bullets[0]) {
            // Each starts 16 units out along its own direction.
            EXPECT_NEAR(b.x, s.x + std::cos(b.angle) * 16.0f, 1e-3f);
            EXPECT_NEAR(b.y, s.y + std::sin(b.angle) * 16.0f, 1e-3f);
        }
    }
    const std::vector<bullet>& v = w.player_bullets[0];
    EXPECT_EQ(v[0].angle, s.angle);
    EXPECT_EQ(v[5].angle, s.angle + 3.1815f);
    EXPECT_EQ(v[6].angle, s.angle + 3.1015f);

    w.player_bullets[0].clear();
    s.firepower = 1;
    s.fire_timer = 1.0f;
    fire_step(w, s, 0, 0.0f, true, false, true);
    EXPECT_EQ(w.player_bullets[0][0].angle, s.angle + 0.04f);
    EXPECT_EQ(w.player_bullets[0][1].angle, s.angle - 0.04f);
}

TEST_F(WeaponsTest, FirepowerOutsideTheTableFiresNothingButCountsAsAVolley) {
    for (int level : {-1, 6, 1000}) {
        w.events.clear();
        s.firepower = level;
        s.fire_timer = 1.0f;
        fire_step(w, s, 0, 0.0f, true, false, true);
        EXPECT_TRUE(w.player_bullets[0].empty());
        EXPECT_EQ(s.fire_timer, 0.0f);
        EXPECT_EQ(sounds(), std::vector<Sound>{SOUND_PLAYER_FIRE});
    }
}

TEST_F(WeaponsTest, SilentVolleysAndAnUnknownListAreSafe) {
    s.fire_timer = 1.0f;
    fire_step(w, s, 1, 0.0f, true, false, false);
    EXPECT_EQ(w.player_bullets[1].size(), 1u);
    EXPECT_TRUE(sounds().empty());
    s.fire_timer = 1.0f;
    fire_step(w, s, 2, 0.0f, true, false, false);
    EXPECT_EQ(s.fire_timer, 0.0f);
    EXPECT_EQ(w.player_bullets[0].size() + w.player_bullets[1].size(), 1u);
}

} // namespace
