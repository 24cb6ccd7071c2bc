// The back end's small pure parts: key table, random numbers, paths, frame sums,
// the order of sound drivers.
#include <SDL_scancode.h>
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "engine/sdl/audio_drivers.h"
#include "engine/frame_math.h"
#include "engine/sdl/keys.h"
#include "engine/sdl/paths.h"

TEST(Keys, ScancodesMapToWindowsKeyCodes) {
    const std::pair<int, int> pairs[] = {
        {SDL_SCANCODE_A, 65},           {SDL_SCANCODE_Z, 90},
        {SDL_SCANCODE_0, 48},           {SDL_SCANCODE_1, 49},
        {SDL_SCANCODE_9, 57},           {SDL_SCANCODE_LEFT, 37},
        {SDL_SCANCODE_UP, 38},          {SDL_SCANCODE_RIGHT, 39},
        {SDL_SCANCODE_DOWN, 40},        {SDL_SCANCODE_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, 13},    {SDL_SCANCODE_ESCAPE, 27},
        {SDL_SCANCODE_SPACE, 32},       {SDL_SCANCODE_BACKSPACE, 8},
        {SDL_SCANCODE_F1, 112},         {SDL_SCANCODE_F12, 123},
        {SDL_SCANCODE_KP_0, 96},        {SDL_SCANCODE_KP_9, 105},
        {SDL_SCANCODE_KP_PERIOD, 110},  {SDL_SCANCODE_KP_DIVIDE, 111},
        {SDL_SCANCODE_SEMICOLON, 186},  {SDL_SCANCODE_GRAVE, 192},
        {SDL_SCANCODE_APOSTROPHE, 222}, {SDL_SCANCODE_CAPSLOCK, 20},
        {SDL_SCANCODE_PAUSE, 19},       {SDL_SCANCODE_PAGEDOWN, 34},
        {SDL_SCANCODE_HOME, 36},
    };
    for (const auto& p : pairs) EXPECT_EQ(key_from_scancode(p.first), p.second) << p.first;
}

TEST(Keys, BothSidesOfModifiersShareOneCode) {
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_LSHIFT), 16);
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_RSHIFT), 16);
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_LCTRL), 17);
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_RCTRL), 17);
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_LALT), 18);
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_RALT), 18);
}

TEST(Keys, EveryCodeFitsTheKeyTablesAndUnknownScancodesGiveZero) {
    EXPECT_EQ(key_from_scancode(SDL_SCANCODE_UNKNOWN), 0);
    EXPECT_EQ(key_from_scancode(-1), 0);
    EXPECT_EQ(key_from_scancode(SDL_NUM_SCANCODES), 0);
    std::set<int> letters;
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        int key = key_from_scancode(sc);
        EXPECT_GE(key, 0) << sc;
        EXPECT_LT(key, 256) << sc;
        if (key >= 65 && key <= 90) letters.insert(key);
    }
    EXPECT_EQ(letters.size(), 26u);
}

TEST(Paths, DataNamesResolveAgainstTheDataFolder) {
    EXPECT_EQ(resolve_data_path("/games/k/data", "data/tex.png"), "/games/k/data/tex.png");
    EXPECT_EQ(resolve_data_path("/games/k/data/", "data/tex.png"), "/games/k/data/tex.png");
    EXPECT_EQ(resolve_data_path("/games/k/data", "font1.png"), "/games/k/data/font1.png");
    EXPECT_EQ(resolve_data_path("/games/k/data", "data\\fonts\\a.png"),
              "/games/k/data/fonts/a.png");
    EXPECT_EQ(resolve_data_path("/games/k/data", "/etc/abs.ini"), "/etc/abs.ini");
    EXPECT_EQ(resolve_data_path("/d", "./data/x"), "/d/data/x");
    EXPECT_EQ(resolve_data_path("/d", "datax/y"), "/d/datax/y");
    EXPECT_EQ(resolve_data_path("/d", nullptr), "");
}

TEST(Paths, DefaultDataFolderIsBesideTheExecutable) {
    std::string dir = default_data_dir();
    ASSERT_GE(dir.size(), 5u);
    EXPECT_EQ(dir.substr(dir.size() - 5), "/data");
    EXPECT_EQ(dir[0], '/');
}

TEST(FrameMath, DeltaIsClampedToATenthOfASecond) {
    EXPECT_FLOAT_EQ(clamp_frame_delta(0.016f), 0.016f);
    EXPECT_FLOAT_EQ(clamp_frame_delta(0.1f), 0.1f);
    EXPECT_FLOAT_EQ(clamp_frame_delta(0.1001f), 0.1f);
    EXPECT_FLOAT_EQ(clamp_frame_delta(30.0f), 0.1f);
    EXPECT_FLOAT_EQ(clamp_frame_delta(-0.5f), 0.0f);
    EXPECT_FLOAT_EQ(clamp_frame_delta(std::nanf("")), 0.0f);
}

// A loop whose work takes 3 ticks and whose sleeps overshoot by 2 keeps one
// frame per 10 ticks on average; a stall starts the count afresh.
TEST(FrameMath, PacerKeepsTheRateAndDoesNotHurryAfterAStall) {
    FramePacer pacer;
    uint64_t now = 1000;
    EXPECT_EQ(pacer.wait(now, 10), 0u); // the first frame counts from itself
    for (int frame = 1; frame <= 100; ++frame) {
        now += 3;
        uint64_t w = pacer.wait(now, 10);
        now += w > 0 ? w + 2 : 0;
    }
    EXPECT_GE(now, 1000u + 100 * 10);
    EXPECT_LE(now, 1000u + 100 * 10 + 2);
    now += 500; // stalled for fifty frames
    EXPECT_EQ(pacer.wait(now, 10), 0u);
    EXPECT_EQ(pacer.wait(now + 3, 10), 7u); // then one period after the stall, not at once
    EXPECT_EQ(pacer.wait(now + 3, 0), 0u);  // no limit
}

TEST(FrameMath, VsyncThatDoesNotWaitIsFound) {
    const double hz60 = 1.0 / 60.0;
    VsyncCheck real, fake;
    for (int i = 0; i < 5 * VsyncCheck::kFrames; ++i) {
        // Queued frames come at once, then wait; now and then one is a refresh late.
        real.add(i % 3 == 2 ? 3 * hz60 : i % 7 == 0 ? 2 * hz60 : 0.001, hz60);
        fake.add(i % 5 == 0 ? 2 * hz60 : 0.004, hz60); // the slow ones are the game's own
    }
    EXPECT_TRUE(real.waits());
    EXPECT_FALSE(fake.waits());
    fake.reset();
    EXPECT_TRUE(fake.waits());
}

TEST(FrameMath, LetterboxKeepsTheAspectRatioCentred) {
    Letterbox same = letterbox_rect(800, 590, 800, 590);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.y, 0);
    EXPECT_EQ(same.w, 800);
    EXPECT_EQ(same.h, 590);
    Letterbox wide = letterbox_rect(1920, 1080, 800, 590); // bars left and right
    EXPECT_EQ(wide.h, 1080);
    EXPECT_EQ(wide.w, 1464); // 1080 * 800 / 590 = 1464.4
    EXPECT_EQ(wide.x, (1920 - 1464) / 2);
    EXPECT_EQ(wide.y, 0);
    Letterbox tall = letterbox_rect(800, 1000, 800, 590); // bars above and below
    EXPECT_EQ(tall.w, 800);
    EXPECT_EQ(tall.h, 590);
    EXPECT_EQ(tall.y, 205);
    Letterbox none = letterbox_rect(0, 500, 800, 590);
    EXPECT_EQ(none.w, 0);
    EXPECT_EQ(none.h, 0);
}

TEST(AudioDrivers, SdlsOrderThenSilenceOrWhatThePlayerNamed) {
    const std::vector<std::string> sdl{"pulseaudio", "alsa", "sndio", "pipewire",
                                       "dsp",        "disk", "dummy"};
    using List = std::vector<std::string>;
    EXPECT_EQ(audio_driver_order(sdl, nullptr, true),
              (List{"pulseaudio", "alsa", "sndio", "pipewire", "dsp", "dummy"}));
    // No device files: ALSA is skipped, the servers are still tried.
    EXPECT_EQ(audio_driver_order(sdl, nullptr, false),
              (List{"pulseaudio", "sndio", "pipewire", "dsp", "dummy"}));
    EXPECT_EQ(audio_driver_order(sdl, "", false), audio_driver_order(sdl, nullptr, false));
    // A named driver is used alone, even ALSA without device files, then silence.
    EXPECT_EQ(audio_driver_order(sdl, "alsa", false), (List{"alsa", "dummy"}));
    EXPECT_EQ(audio_driver_order(sdl, "disk", true), (List{"disk", "dummy"}));
    EXPECT_EQ(audio_driver_order(sdl, "dummy", true), (List{"dummy"}));
    EXPECT_EQ(audio_driver_order({}, nullptr, true), (List{"dummy"}));
}
