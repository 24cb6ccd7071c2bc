// A host in this process offers the game again after each session: two
// korvane-headless joiners, one after the other, play the same keys and
// must see the same game; one who comes during a session is sent away.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "online/net_play.h"
#include "support/headless_run.h"
#include "render/resources.h"

TEST(HostAgain, AfterOnePlayerLeavesTheNextOneGetsAWholeNewSession) {
    engine_set_backend(create_sdl_engine);
    configure_engine();
    engine->System_SetState(HGE_HEADLESS, true);
    engine->System_SetState(HGE_DATADIR, KORVANE_BINARY_DIR "/data");
    ASSERT_TRUE(start_game());
    AppRunner game;

    OnlineOptions options;
    options.settings = app.world.file_settings;
    options.host = true;
    options.port = 40000 + static_cast<int>(getpid() % 20000);
    options.seed = 4321;
    OnlinePlay play;
    std::string error;
    ASSERT_TRUE(play.open(options, error)) << error;

    const std::string script =
        "frames 3\ntap ENTER\nframes 5\ntap ENTER\npress UP\nframes 120\ndump\n";
    std::string dumps[2];
    for (int session = 0; session < 2; ++session) {
        SCOPED_TRACE("session " + std::to_string(session + 1));
        std::future<HeadlessResult> joiner = std::async(std::launch::async, [&options, &script] {
            return run_headless_script(script, "--join 127.0.0.1:" + std::to_string(options.port));
        });
        for (int i = 0; i < 1500 && !play.greeted() && play.phase() != PHASE_ENDED; ++i)
            play.pump(20);
        ASSERT_TRUE(play.greeted());
        play.begin(&game, nullptr);
        if (session == 0) {
            // Someone else who comes meanwhile is sent away at once.
            std::unique_ptr<NetLink> late(
                net_connect("127.0.0.1", options.port, NetConditions(), error));
            ASSERT_TRUE(late);
            static uint8_t in[MAX_MESSAGE];
            size_t size = 0;
            NetPeer from = 0;
            NetEvent e = NET_NONE;
            for (int i = 0; i < 1000 && e != NET_BUSY && e != NET_DISCONNECTED; ++i) {
                play.pump(1);
                e = late->service(5, in, sizeof in, size, from);
            }
            EXPECT_EQ(e, NET_BUSY);
            ASSERT_EQ(play.phase(), PHASE_PLAYING);
        }
        // The host holds no key; it plays until the joiner has gone.
        for (int i = 0; i < 200000 && play.phase() == PHASE_PLAYING; ++i) {
            if (play.wants_local()) play.add_local(KeyFrame());
            if (!play.step()) play.pump(1);
        }
        EXPECT_EQ(play.end_message(), "THE OTHER PLAYER LEFT");
        // The ended session's link goes on being serviced, as the window does.
        while (joiner.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
            play.pump(10);
        HeadlessResult j = joiner.get();
        EXPECT_EQ(j.status, 0) << j.err;
        ASSERT_EQ(j.dumps.size(), 1u) << j.err;
        dumps[session] = j.out;
        if (session == 0) {
            ASSERT_TRUE(play.listen_again());
        }
    }
    EXPECT_EQ(dumps[0], dumps[1]);
    EXPECT_NE(dumps[1].find("\"game_mode\":1,"), std::string::npos) << dumps[1];
    shutdown_program();
}
