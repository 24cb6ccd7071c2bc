// Rollback against a straight run: the same keys, one side's arriving late
// and guessed, with extra rollbacks thrown in, must give the same game.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/states.h"
#include "harness/dump.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "online/rollback.h"
#include "render/resources.h"
#include "world/checksum.h"

namespace {

const long FRAMES = 1500;
const long DUMP_EVERY = 100;

struct Keys {
    std::vector<KeyFrame> host, joiner; // index = frame; 0 unused
};

// Both sides leave the title, take TEAMWORK, go through the shop into play,
// then hold and let go flight keys of both key sets at random.
Keys make_keys(unsigned seed) {
    const int flight[] = {HGEK_LEFT, HGEK_RIGHT, HGEK_UP, HGEK_DOWN, HGEK_CTRL,
                          'A',       'D',        'W',     'S',       HGEK_SHIFT};
    Keys k;
    k.host.resize(FRAMES + 1);
    k.joiner.resize(FRAMES + 1);
    std::mt19937 rng(seed);
    KeyFrame h, j;
    for (long f = 1; f <= FRAMES; ++f) {
        h = held_only(h);
        j = held_only(j);
        if (f == 1 || f == 5 || f == 9) apply_key_change(h, HGEK_ENTER, true);
        if (f == 2 || f == 6 || f == 10) apply_key_change(h, HGEK_ENTER, false);
        if (f == 3) apply_key_change(j, HGEK_F1, true);
        if (f == 4) apply_key_change(j, HGEK_F1, false);
        if (f > 12) {
            KeyFrame& side = rng() % 2 ? h : j;
            if (rng() % 4 == 0) {
                int key = flight[rng() % 10];
                apply_key_change(side, key, !side.is_held(key));
            }
        }
        k.host[f] = h;
        k.joiner[f] = j;
    }
    return k;
}

// The game alone, with no device and no sound: the world and its frames.
class WorldRunner final : public FrameRunner {
  public:
    World w;
    World& world() override { return w; }
    bool run_frame(const KeyFrame& keys, float dt, bool) override { return simulate(w, keys, dt); }
};

class SumLog : public FinalFrameObserver {
  public:
    std::vector<uint32_t> sums;
    void final_frame(long frame, const KeyFrame&, bool, uint32_t sum) override {
        EXPECT_EQ(frame, static_cast<long>(sums.size()) + 1);
        sums.push_back(sum);
    }
};

struct Outcome {
    std::vector<std::string> dumps;
    std::vector<uint32_t> sums;
    long rollbacks = 0;
    long unlike_live = 0; // final sums that differ from the checksum of the game after the frame
};

// lagged: the joiner's keys arrive up to MAX_PREDICTION frames late, and now
// and then the last frames are run again for no reason at all.
Outcome play(WorldRunner& game, const Keys& keys, bool lagged) {
    new_world(game.w, app.world.file_settings, 4242, 800, 590);
    Rollback rb;
    SumLog log;
    rb.start(0, &game, 1.0f / 60.0f, &log);
    std::mt19937 rng(7);
    Outcome run;
    for (long f = 1; f <= FRAMES; ++f) {
        rb.add_local(f, keys.host[f]);
        long arrived = lagged ? f - static_cast<long>(rng() % (MAX_PREDICTION + 1)) : f;
        while (rb.remote_known() < arrived) rb.add_remote(rb.remote_known() + 1, keys.joiner[rb.remote_known() + 1]);
        EXPECT_TRUE(rb.can_run()) << "frame " << f;
        rb.run_next();
        // Without lag each frame is final at once: its sum must be that of the live state.
        if (!lagged && (log.sums.size() != static_cast<size_t>(f) ||
                        log.sums.back() != world_checksum(game.w)))
            ++run.unlike_live;
        if (lagged && f > 20 && rng() % 7 == 0) rb.rerun_last(1 + static_cast<int>(rng() % 8));
        if (f % DUMP_EVERY == 0) {
            while (rb.remote_known() < f) rb.add_remote(rb.remote_known() + 1, keys.joiner[rb.remote_known() + 1]);
            rb.settle();
            run.dumps.push_back(dump_state(game.w, f));
        }
    }
    run.sums = log.sums;
    run.rollbacks = rb.rollbacks();
    return run;
}

} // namespace

TEST(Rollback, GuessedAndReplayedFramesEndWhereAStraightRunEnds) {
    engine_set_backend(create_sdl_engine);
    configure_engine();
    engine->System_SetState(HGE_HEADLESS, true);
    engine->System_SetState(HGE_DATADIR, KORVANE_BINARY_DIR "/data");
    ASSERT_TRUE(start_game());

    Keys keys = make_keys(99);
    WorldRunner game;
    Outcome straight = play(game, keys, false);
    Outcome lagged = play(game, keys, true);

    EXPECT_EQ(straight.rollbacks, 0);
    EXPECT_GT(lagged.rollbacks, 100);
    ASSERT_EQ(straight.dumps.size(), lagged.dumps.size());
    for (size_t i = 0; i < straight.dumps.size(); ++i)
        ASSERT_EQ(straight.dumps[i], lagged.dumps[i]) << "dump " << i;
    EXPECT_EQ(straight.sums, lagged.sums);
    EXPECT_EQ(straight.unlike_live, 0);
    EXPECT_NE(straight.sums.front(), straight.sums.back());
    // The keys reached play with both ships, and the frames did something.
    EXPECT_EQ(game.w.game_state, STATE_PLAY);
    EXPECT_EQ(game.w.game_mode, MODE_TEAMWORK);
    EXPECT_NE(straight.dumps.front(), straight.dumps.back());

    shutdown_program();
}
