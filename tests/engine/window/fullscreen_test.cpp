// The game in a real X11 window on a virtual display with a window manager
// (run_with_wm.sh): what the display shows is read back from the X server and
// compared with the game's own picture, scaled into its letterbox, in the
// window, after Alt+Enter to fullscreen and after Alt+Enter back.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "data_copy.h"
#include "engine/frame_math.h"
#include "engine/sdl/sdl_engine.h"
#include "game/states.h"
#include "main/resources.h"
#include "main/app.h"
#include "main/program.h"
#include "render/resources.h"
#include "x_screen.h"

namespace {

int channel(uint32_t c, int shift) {
    return static_cast<int>((c >> shift) & 0xFF);
}

// The picture at (u, v) in its own pixels, filtered as a GPU magnifies it.
uint32_t sample(const std::vector<uint32_t>& pic, int w, int h, float u, float v) {
    u = std::min(std::max(u, 0.0f), w - 1.0f);
    v = std::min(std::max(v, 0.0f), h - 1.0f);
    int x0 = static_cast<int>(u), y0 = static_cast<int>(v);
    int x1 = std::min(x0 + 1, w - 1), y1 = std::min(y0 + 1, h - 1);
    float fx = u - x0, fy = v - y0;
    uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        auto c = [&](int x, int y) { return channel(pic[static_cast<size_t>(y) * w + x], shift); };
        float top = c(x0, y0) + (c(x1, y0) - c(x0, y0)) * fx;
        float bottom = c(x0, y1) + (c(x1, y1) - c(x0, y1)) * fx;
        out |= static_cast<uint32_t>(top + (bottom - top) * fy + 0.5f) << shift;
    }
    return out;
}

int difference(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        d = std::max(d, std::abs(channel(a, shift) - channel(b, shift)));
    return d;
}

// KORVANE_WINDOW_SHOTS=DIR keeps what the screen showed, to look at.
void keep(const Shot& shot, const char* name) {
    const char* dir = std::getenv("KORVANE_WINDOW_SHOTS");
    if (!dir || shot.w == 0) return;
    std::vector<uint32_t> px(shot.px);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(px.data(), shot.w, shot.h, 32, shot.w * 4,
                                                        SDL_PIXELFORMAT_RGB888);
    if (!s) return;
    IMG_SavePNG(s, (std::string(dir) + "/" + name + ".png").c_str());
    SDL_FreeSurface(s);
}

class WindowedGame : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(x_.open()) << "no X display: run under run_with_wm.sh";
        ASSERT_TRUE(x_.window_manager_up(10000)) << "no window manager came up";
        engine_set_backend(create_sdl_engine);
        configure_engine();
        engine->System_SetState(HGE_DATADIR, data_.dir().c_str());
        engine->System_SetState(HGE_SEED, 5);
        // The manager may not give the window the focus; the game must not wait for it.
        engine->System_SetState(HGE_PAUSEUNFOCUSED, false);
        engine->System_SetState(HGE_VSYNC, false);
        ASSERT_TRUE(start_game());
        started_ = true;
        engine->Timer_SetFixedDelta(1.0f / 60);
        for (Uint32 id = 1; id < 64 && !window_; ++id) window_ = SDL_GetWindowFromID(id);
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override {
        if (started_) shutdown_program();
        engine_set_backend(nullptr);
    }

    void frames(int n) {
        for (int i = 0; i < n; ++i) {
            ASSERT_FALSE(engine->System_RunFrames(1)) << "the game ended";
            SDL_Delay(5); // the window manager's moves arrive meanwhile
        }
    }
    void tap(int key) {
        engine->Input_Inject(key, true);
        frames(1);
        engine->Input_Inject(key, false);
    }
    void alt_enter() {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.windowID = SDL_GetWindowID(window_);
        e.key.state = SDL_PRESSED;
        e.key.keysym.scancode = SDL_SCANCODE_RETURN;
        e.key.keysym.sym = SDLK_RETURN;
        e.key.keysym.mod = KMOD_LALT;
        SDL_PushEvent(&e);
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        SDL_PushEvent(&e);
    }
    // The display shows the game's whole picture, its shape kept, black
    // around it, with the two views and the white gap between them.
    void shows_whole_picture(const char* when, bool fullscreen) {
        static int shots = 0;
        SCOPED_TRACE(when);
        frames(3);
        SDL_Delay(100);
        SdlDisplayState state;
        ASSERT_TRUE(sdl_engine_display_state(engine, &state));
        EXPECT_EQ(state.fullscreen, fullscreen);
        std::vector<uint32_t> pic;
        int pw = 0, ph = 0;
        ASSERT_TRUE(sdl_engine_read_pixels(engine, 0, &pic, &pw, &ph));
        Shot shot = x_.grab(window_);
        ASSERT_GT(shot.w, 0);
        keep(shot, ("screen" + std::to_string(++shots)).c_str());
        int screen_w = x_.width();
        if (fullscreen)
            EXPECT_EQ(shot.w, screen_w);
        else
            EXPECT_EQ(shot.w, pw);
        Letterbox box = letterbox_rect(shot.w, shot.h, pw, ph);
        int bars_lit = 0, inside = 0, wrong = 0, gap_rows = 0, gap_white = 0;
        float sx = static_cast<float>(pw) / box.w, sy = static_cast<float>(ph) / box.h;
        int gap_x = box.x + static_cast<int>(400.0f / sx); // the gap's columns are 399 and 400
        for (int y = 0; y < shot.h; ++y) {
            for (int x = 0; x < shot.w; ++x) {
                uint32_t c = shot.at(x, y);
                bool in_box = x >= box.x && x < box.x + box.w && y >= box.y && y < box.y + box.h;
                if (!in_box) {
                    bars_lit += c != 0;
                    continue;
                }
                ++inside;
                float u = (x - box.x + 0.5f) * sx - 0.5f, v = (y - box.y + 0.5f) * sy - 0.5f;
                wrong += difference(c, sample(pic, pw, ph, u, v)) > 48;
            }
            if (y >= box.y && y < box.y + box.h) {
                ++gap_rows;
                gap_white += difference(shot.at(gap_x, y), 0xFFFFFF) < 40;
            }
        }
        EXPECT_EQ(bars_lit, 0);
        EXPECT_LT(wrong, inside / 50) << wrong << " of " << inside << " pixels differ";
        EXPECT_GT(gap_white, gap_rows * 9 / 10) << gap_white << " of " << gap_rows;
    }

    DataCopy data_{KORVANE_DATA_DIR};
    XScreen x_;
    SDL_Window* window_ = nullptr;
    bool started_ = false;
};

TEST_F(WindowedGame, AltEnterShowsTheWholePictureEachWay) {
    tap(HGEK_SPACE);
    frames(30);
    ASSERT_EQ(app.world.game_state, STATE_MENU);
    shows_whole_picture("windowed", false);
    alt_enter();
    shows_whole_picture("after Alt+Enter", true);
    alt_enter();
    shows_whole_picture("after Alt+Enter again", false);
    alt_enter();
    shows_whole_picture("and fullscreen once more", true);
}

} // namespace
