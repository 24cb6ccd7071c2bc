// The game under faults of its surroundings: no sound device, the window
// minimised, the focus lost and regained, the graphics device reset. The game
// runs in this process on the SDL back end (dummy video driver, or X11 under
// Xvfb) and must keep running through each.
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "data_copy.h"
#include "engine/sdl/sdl_engine.h"
#include "game/states.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "render/resources.h"

namespace {

class GameUnderFaults : public ::testing::Test {
  protected:
    DataCopy data{KORVANE_DATA_DIR};

    // The game as the program starts it, windowed unless headless.
    void start(bool headless) {
        engine_set_backend(create_sdl_engine);
        configure_engine();
        engine->System_SetState(HGE_HEADLESS, headless);
        engine->System_SetState(HGE_DATADIR, data.dir().c_str());
        engine->System_SetState(HGE_SEED, 77);
        ASSERT_TRUE(start_game());
        engine->Timer_SetFixedDelta(1.0f / 60);
        started = true;
    }
    void TearDown() override {
        if (started) shutdown_program();
        engine_set_backend(nullptr);
    }
    void frames(int n) { ASSERT_FALSE(engine->System_RunFrames(n)) << "the game ended"; }
    void tap(int key) {
        engine->Input_Inject(key, true);
        frames(1);
        engine->Input_Inject(key, false);
    }
    void to_menu() {
        tap(HGEK_SPACE);
        frames(30);
        ASSERT_EQ(app.world.game_state, STATE_MENU);
    }
    void to_play() {
        tap(HGEK_ENTER);
        tap(HGEK_SPACE);
        frames(10);
        ASSERT_EQ(app.world.game_state, STATE_PLAY);
    }
    // Lit pixels of the screen between columns x0 and x1.
    int lit(int x0, int x1) {
        std::vector<uint32_t> px;
        int w = 0, h = 0;
        if (!sdl_engine_read_pixels(engine, 0, &px, &w, &h)) return -1;
        int n = 0;
        for (int y = 0; y < h; ++y)
            for (int x = x0; x < x1 && x < w; ++x) n += (px[y * w + x] & 0xFFFFFF) != 0;
        return n;
    }
    // A window event for the game's window, as the system would send it.
    void push_window_event(Uint8 event) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = event;
        for (Uint32 id = 1; id < 64; ++id)
            if (SDL_GetWindowFromID(id)) {
                e.window.windowID = id;
                break;
            }
        SDL_PushEvent(&e);
    }
    // Sends `back` from another thread once the engine has paused; the
    // frames run here meanwhile. True when the pause happened.
    bool pause_then(Uint8 away, Uint8 back, int n) {
        std::atomic<bool> paused{false};
        push_window_event(away);
        std::thread helper([&] {
            auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!sdl_engine_paused(engine) && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            paused = sdl_engine_paused(engine);
            push_window_event(back);
        });
        frames(n);
        helper.join();
        return paused;
    }
    // The menu's two views and then play's one are drawn again after a reset.
    void views_come_back(bool whole_device) {
        to_menu();
        int left = lit(0, 399), right = lit(401, 800);
        ASSERT_GT(left, 0);
        ASSERT_GT(right, 0);
        ASSERT_TRUE(sdl_engine_simulate_device_reset(engine, whole_device));
        for (int v = 0; v < 2; ++v)
            EXPECT_EQ(resources.view_sprite[v]->get_texture(),
                      engine->Target_GetTexture(resources.view_target[v]));
        frames(2);
        // The same kind of picture as before: stars, ships and blips in both halves.
        EXPECT_GT(lit(0, 399), left / 4);
        EXPECT_GT(lit(401, 800), right / 4);
        to_play();
        EXPECT_GT(lit(0, 800), 0);
    }
    // Where the menu's demonstration stands: it must go on after a fault.
    float demo_position() const {
        return app.world.ship_records[2].x + app.world.ship_records[2].y +
               app.world.ship_records[3].x;
    }

    bool started = false;
};

TEST_F(GameUnderFaults, NoSoundDeviceTheGamePlaysSilently) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    start(false);
    unsetenv("SDL_AUDIODRIVER");
    to_menu();
    float before = demo_position();
    frames(60);
    EXPECT_NE(demo_position(), before);
    to_play();
    engine->Input_Inject(HGEK_UP, true);
    frames(60);
    EXPECT_GT(app.world.ship_records[0].speed, 0);
    EXPECT_EQ(app.world.game_state, STATE_PLAY);
}

TEST_F(GameUnderFaults, MinimisedAndRestoredTheDemoGoesOn) {
    start(false);
    to_menu();
    float before = demo_position();
    EXPECT_TRUE(pause_then(SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED, 30));
    EXPECT_FALSE(sdl_engine_paused(engine));
    EXPECT_NE(demo_position(), before);
    EXPECT_EQ(app.world.game_state, STATE_MENU);
    EXPECT_GT(lit(0, 399), 0);
    EXPECT_GT(lit(401, 800), 0);
}

TEST_F(GameUnderFaults, FocusLostLetsGoOfHeldKeysAndPlayGoesOn) {
    start(false);
    to_menu();
    to_play();
    // A key held on the keyboard when the focus goes: its release never arrives.
    SDL_Event down{};
    down.type = SDL_KEYDOWN;
    down.key.state = SDL_PRESSED;
    down.key.keysym.scancode = SDL_SCANCODE_UP;
    down.key.keysym.sym = SDLK_UP;
    SDL_PushEvent(&down);
    frames(30);
    float thrusting = app.world.ship_records[0].speed;
    EXPECT_GT(thrusting, 0);
    EXPECT_TRUE(pause_then(SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED, 30));
    EXPECT_EQ(app.world.game_state, STATE_PLAY);
    EXPECT_LT(app.world.ship_records[0].speed, thrusting) << "the key must count as released";
}

TEST_F(GameUnderFaults, BothViewsComeBackAfterTheTargetsAreLost) {
    start(false);
    views_come_back(false);
}

TEST_F(GameUnderFaults, BothViewsComeBackAfterTheDeviceIsReset) {
    start(false);
    views_come_back(true);
}

TEST_F(GameUnderFaults, HeadlessDeviceResetInPlay) {
    start(true);
    to_menu();
    to_play();
    int before = lit(0, 800);
    ASSERT_GT(before, 0);
    ASSERT_TRUE(sdl_engine_simulate_device_reset(engine, true));
    frames(2);
    EXPECT_GT(lit(0, 800), before / 4);
    EXPECT_EQ(app.world.game_state, STATE_PLAY);
}

} // namespace
