// The "Display" section, window sizes and the picture's place in the window.
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>

#include "engine/sdl/display.h"
#include "engine/frame_math.h"
#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

DisplayOptions read_text(const std::string& text) {
    TempDir dir;
    dir.write("s.ini", text);
    IniFile ini;
    ini.set_path(dir.file("s.ini"));
    return read_display_options(ini);
}

TEST(DisplayOptionsTest, MissingSectionOrKeysGiveTheDefaults) {
    for (const char* text : {"", "[Game]\nscale=3\n", "[Display]\n"}) {
        DisplayOptions d = read_text(text);
        EXPECT_FALSE(d.fullscreen) << text;
        EXPECT_EQ(d.scale, 1) << text;
        EXPECT_FALSE(d.integer_scaling) << text;
        EXPECT_FALSE(d.vsync) << text;
        EXPECT_TRUE(d.pause_when_unfocused) << text;
    }
}

TEST(DisplayOptionsTest, GoodValuesAreTaken) {
    DisplayOptions d = read_text("[display]\nFullscreen = 1\nscale=3\ninteger_scaling=1\n"
                                 "vsync=1\npause_when_unfocused=0\n");
    EXPECT_TRUE(d.fullscreen);
    EXPECT_EQ(d.scale, 3);
    EXPECT_TRUE(d.integer_scaling);
    EXPECT_TRUE(d.vsync);
    EXPECT_FALSE(d.pause_when_unfocused);
}

TEST(DisplayOptionsTest, BadValuesFallBackToTheDefaults) {
    DisplayOptions d = read_text("[Display]\nfullscreen=2\nscale=0\ninteger_scaling=-1\n"
                                 "vsync=yes\npause_when_unfocused=0x0\n");
    EXPECT_FALSE(d.fullscreen);
    EXPECT_EQ(d.scale, 1);
    EXPECT_FALSE(d.integer_scaling);
    EXPECT_FALSE(d.vsync);
    EXPECT_TRUE(d.pause_when_unfocused);
    EXPECT_EQ(read_text("[Display]\nscale=-4\n").scale, 1);
    EXPECT_EQ(read_text("[Display]\nscale=2.5\n").scale, 1);
    EXPECT_EQ(read_text("[Display]\nscale=99999999999\n").scale, 1); // beyond int
    // Far beyond any desktop, yet a number: the desktop clamps it later.
    EXPECT_EQ(read_text("[Display]\nscale=2000000000\n").scale, 64);
}

TEST(WindowSizeTest, WholeScalesThatFitTheDesktop) {
    WindowSize w = window_size(800, 590, 2, 3840, 2160);
    EXPECT_EQ(w.w, 1600);
    EXPECT_EQ(w.h, 1180);
    w = window_size(800, 590, 3, 1920, 1080); // 2 and 3 are too tall
    EXPECT_EQ(w.w, 800);
    EXPECT_EQ(w.h, 590);
    w = window_size(800, 590, 5, 2560, 1600); // 5 and 3 are too big, 2 fits
    EXPECT_EQ(w.w, 1600);
    EXPECT_EQ(w.h, 1180);
    w = window_size(800, 590, 1, 800, 590);
    EXPECT_EQ(w.w, 800);
    EXPECT_EQ(w.h, 590);
    EXPECT_EQ(fitting_scale(800, 590, 2, 1920, 1050), 1); // a 1080-high screen less its panel
    EXPECT_EQ(fitting_scale(800, 590, 5, 2560, 1600), 2);
    EXPECT_EQ(fitting_scale(800, 590, 1, 640, 480), 1); // not even 1: still 1
    EXPECT_EQ(fitting_scale(800, 590, 3, 0, 0), 3);
}

TEST(WindowSizeTest, ASmallDesktopGetsTheLargestWindowOfThePicturesShape) {
    WindowSize w = window_size(800, 590, 1, 640, 480);
    EXPECT_EQ(w.w, 640);
    EXPECT_EQ(w.h, 472);
    w = window_size(800, 590, 4, 1000, 400);
    EXPECT_EQ(w.h, 400);
    EXPECT_EQ(w.w, 542);
}

TEST(WindowSizeTest, AnUnknownDesktopTakesTheScaleWithoutOverflow) {
    WindowSize w = window_size(800, 590, 3, 0, 0);
    EXPECT_EQ(w.w, 2400);
    EXPECT_EQ(w.h, 1770);
    w = window_size(800, 590, 2000000000, 0, 0);
    EXPECT_GT(w.w, 0);
    EXPECT_GT(w.h, 0);
    EXPECT_EQ(static_cast<long long>(w.w) * 590, static_cast<long long>(w.h) * 800);
    w = window_size(800, 590, -7, 0, 0);
    EXPECT_EQ(w.w, 800);
}

TEST(WholeMultipleRectTest, TheLargestWholeMultipleCentredElseTheLetterbox) {
    Letterbox r = whole_multiple_rect(1920, 1080, 800, 590);
    EXPECT_EQ(r.w, 800);
    EXPECT_EQ(r.h, 590);
    EXPECT_EQ(r.x, 560);
    EXPECT_EQ(r.y, 245);
    r = whole_multiple_rect(3840, 2160, 800, 590);
    EXPECT_EQ(r.w, 2400);
    EXPECT_EQ(r.h, 1770);
    EXPECT_EQ(r.x, 720);
    EXPECT_EQ(r.y, 195);
    r = whole_multiple_rect(700, 500, 800, 590); // smaller than the picture
    Letterbox l = letterbox_rect(700, 500, 800, 590);
    EXPECT_EQ(r.x, l.x);
    EXPECT_EQ(r.y, l.y);
    EXPECT_EQ(r.w, l.w);
    EXPECT_EQ(r.h, l.h);
    r = whole_multiple_rect(0, 500, 800, 590);
    EXPECT_EQ(r.w, 0);
}

// A real window, on SDL's dummy video driver (a 1024 x 768 desktop).
class WindowTest : public ::testing::Test {
  protected:
    void start(const std::string& settings, int w = 800, int h = 590) {
        ASSERT_FALSE(dir.path().empty());
        dir.write("Settings.ini", settings);
        engine_set_backend(create_sdl_engine);
        e = hgeCreate(ENGINE_VERSION);
        ASSERT_NE(e, nullptr);
        e->System_SetState(HGE_DATADIR, dir.path().c_str());
        e->System_SetState(HGE_INIFILE, "data/Settings.ini");
        e->System_SetState(HGE_SCREENWIDTH, w);
        e->System_SetState(HGE_SCREENHEIGHT, h);
        e->System_SetState(HGE_WINDOWED, true);
        if (before_start) before_start();
        ASSERT_TRUE(e->System_Initiate()) << e->System_GetErrorMessage();
        ASSERT_TRUE(sdl_engine_display_state(e, &state));
    }
    void TearDown() override {
        if (!e) return;
        e->System_Shutdown();
        e->Release();
        engine_set_backend(nullptr);
    }
    TempDir dir;
    Engine* e = nullptr;
    SdlDisplayState state;
    std::function<void()> before_start;
};

TEST_F(WindowTest, WithoutTheSectionAWindowOfThePicturesSize) {
    start("");
    EXPECT_EQ(state.window_w, 800);
    EXPECT_EQ(state.window_h, 590);
    EXPECT_FALSE(state.fullscreen);
    EXPECT_FALSE(state.vsync);
    EXPECT_TRUE(state.pause_when_unfocused);
}

TEST_F(WindowTest, TheScaleMultipliesTheWindowWithinTheDesktop) {
    start("[Display]\nscale=3\n", 300, 200);
    EXPECT_EQ(state.window_w, 900);
    EXPECT_EQ(state.window_h, 600);
    EXPECT_EQ(e->System_GetStateInt(HGE_SCREENWIDTH), 300); // the game's picture is unchanged
}

TEST_F(WindowTest, AScaleTooLargeForTheDesktopIsClamped) {
    start("[Display]\nscale=2\n");
    EXPECT_EQ(state.window_w, 800);
    EXPECT_EQ(state.window_h, 590);
    EXPECT_EQ(e->System_GetStateInt(HGE_SCALE), 1);
}

// The game shows the scale in force, which may be less than the one chosen.
TEST_F(WindowTest, TheScaleInForceIsTheLargestThatFitsAndWaitsOutFullscreen) {
    start("[Display]\nscale=4\n", 300, 200); // 1200 x 800 is too big for 1024 x 768
    EXPECT_EQ(state.window_w, 900);
    EXPECT_EQ(e->System_GetStateInt(HGE_SCALE), 3);
    e->System_SetState(HGE_SCALE, 1);
    EXPECT_EQ(e->System_GetStateInt(HGE_SCALE), 1);
    ASSERT_TRUE(sdl_engine_display_state(e, &state));
    EXPECT_EQ(state.window_w, 300);

    e->System_SetState(HGE_WINDOWED, false);
    e->System_SetState(HGE_SCALE, 2);
    EXPECT_EQ(e->System_GetStateInt(HGE_SCALE), 2);
    ASSERT_TRUE(sdl_engine_display_state(e, &state));
    EXPECT_TRUE(state.fullscreen);
    EXPECT_EQ(state.window_w, 1024); // fullscreen stays as it is
    e->System_SetState(HGE_WINDOWED, true);
    ASSERT_TRUE(sdl_engine_display_state(e, &state));
    EXPECT_FALSE(state.fullscreen);
    EXPECT_EQ(state.window_w, 600); // the window comes back at the scale chosen meanwhile
    EXPECT_EQ(state.window_h, 400);
}

TEST_F(WindowTest, FullscreenAndTheOtherSwitchesTakeEffect) {
    start("[Display]\nfullscreen=1\ninteger_scaling=1\npause_when_unfocused=0\n");
    EXPECT_TRUE(state.fullscreen);
    EXPECT_TRUE(state.integer_scaling);
    EXPECT_FALSE(state.pause_when_unfocused);
}

TEST_F(WindowTest, ChoicesMadeBeforeTheStartWinOverTheFile) {
    before_start = [this] {
        e->System_SetState(HGE_SCALE, 1);
        e->System_SetState(HGE_INTEGERSCALING, false);
        e->System_SetState(HGE_PAUSEUNFOCUSED, true);
    };
    start("[Display]\nscale=3\ninteger_scaling=1\npause_when_unfocused=0\n", 300, 200);
    EXPECT_EQ(state.window_w, 300);
    EXPECT_FALSE(state.integer_scaling);
    EXPECT_TRUE(state.pause_when_unfocused);
}

TEST(HeadlessDisplay, TheSectionIsIgnoredWithoutAWindow) {
    TempDir dir;
    dir.write("Settings.ini", "[Display]\nfullscreen=1\nscale=3\n");
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    e->System_SetState(HGE_HEADLESS, true);
    e->System_SetState(HGE_DATADIR, dir.path().c_str());
    e->System_SetState(HGE_INIFILE, "Settings.ini");
    ASSERT_TRUE(e->System_Initiate());
    SdlDisplayState s;
    ASSERT_TRUE(sdl_engine_display_state(e, &s));
    EXPECT_EQ(s.window_w, 0);
    EXPECT_FALSE(s.fullscreen);
    e->System_Shutdown();
    e->Release();
    engine_set_backend(nullptr);
}

} // namespace
