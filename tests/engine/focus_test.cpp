// A window that loses its focus or is minimised stops the game: no frames, no
// time, no sound, until it comes back. A lost sound device is replaced. An
// effect played before its decode is done streams meanwhile.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

Engine* g_engine = nullptr;
std::atomic<int> g_frames{0};
float g_last_dt = 0;

bool count_frame() {
    ++g_frames;
    g_last_dt = g_engine->Timer_GetDelta();
    return false;
}

class FocusTest : public ::testing::Test {
  protected:
    void start(const std::string& settings) {
        ASSERT_FALSE(dir.path().empty());
        dir.write("Settings.ini", settings);
        std::filesystem::copy_file(std::string(KORVANE_SOURCE_DIR) + "/data/intro.mp3",
                                   dir.file("intro.mp3"));
        engine_set_backend(create_sdl_engine);
        e = hgeCreate(ENGINE_VERSION);
        ASSERT_NE(e, nullptr);
        g_engine = e;
        g_frames = 0;
        e->System_SetState(HGE_DATADIR, dir.path().c_str());
        e->System_SetState(HGE_INIFILE, "Settings.ini");
        e->System_SetState(HGE_FRAMEFUNC, count_frame);
        ASSERT_TRUE(e->System_Initiate()) << e->System_GetErrorMessage();
        for (Uint32 id = 1; id < 64 && !window_id; ++id)
            if (SDL_GetWindowFromID(id)) window_id = id; // the engine's only window
        ASSERT_NE(window_id, 0u);
    }
    void TearDown() override {
        if (!e) return;
        e->System_Shutdown();
        e->Release();
        engine_set_backend(nullptr);
    }
    void push_window(Uint8 what) {
        SDL_Event ev{};
        ev.type = SDL_WINDOWEVENT;
        ev.window.event = what;
        ev.window.windowID = window_id;
        ASSERT_EQ(SDL_PushEvent(&ev), 1);
    }
    // Runs one frame while a helper thread waits for the pause, notes what it
    // saw, holds the pause a moment and then brings the window back.
    struct Seen {
        bool paused = false;
        int frames_during = -1;
        int sound_paused = -1;
        int music_paused = -1;
    };
    Seen frame_across_pause(Uint8 away, Uint8 back) {
        Seen seen;
        push_window(away);
        std::thread helper([&] {
            auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            while (!sdl_engine_paused(e) && std::chrono::steady_clock::now() < give_up)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            seen.paused = sdl_engine_paused(e);
            if (seen.paused) {
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                seen.frames_during = g_frames;
                seen.sound_paused = Mix_Paused(-1);
                seen.music_paused = Mix_PausedMusic();
            }
            push_window(back);
        });
        e->System_RunFrames(1);
        helper.join();
        return seen;
    }

    TempDir dir;
    Engine* e = nullptr;
    Uint32 window_id = 0;
};

TEST_F(FocusTest, LosingFocusStopsFramesTimeAndSoundUntilItReturns) {
    start("");
    // One effect still decoding when played, so streamed, and one decoded.
    ASSERT_TRUE(sdl_engine_hold_decodes(e, true));
    HEFFECT streamed = e->Effect_Load("data/intro.mp3", 0);
    HEFFECT decoded = e->Effect_Load("data/intro.mp3", 0);
    ASSERT_NE(streamed, 0u);
    ASSERT_NE(decoded, 0u);
    e->System_RunFrames(2);
    HCHANNEL ch = e->Effect_Play(streamed);
    HCHANNEL ch2 = e->Effect_Play(decoded);
    ASSERT_TRUE(sdl_engine_channel_streamed(e, ch));
    ASSERT_NE(ch2, 0u);
    Seen seen = frame_across_pause(SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_TRUE(seen.paused);
    EXPECT_EQ(seen.frames_during, 2); // the frame waited for the window
    EXPECT_GE(seen.sound_paused, 1);
    EXPECT_EQ(seen.music_paused, 1);
    EXPECT_EQ(g_frames, 3);
    EXPECT_EQ(Mix_Paused(-1), 0); // the sound goes on where it stopped
    EXPECT_EQ(Mix_PausedMusic(), 0);
    EXPECT_TRUE(e->Channel_IsPlaying(ch));
    EXPECT_TRUE(e->Channel_IsPlaying(ch2));
    // The 300 ms away would have been a clamped 0.1 s step.
    EXPECT_LT(g_last_dt, 0.1f);
    EXPECT_FALSE(sdl_engine_paused(e));
}

TEST_F(FocusTest, AMinimisedWindowPausesToo) {
    start("");
    e->System_RunFrames(1);
    Seen seen = frame_across_pause(SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED);
    EXPECT_TRUE(seen.paused);
    EXPECT_EQ(seen.frames_during, 1);
    EXPECT_EQ(g_frames, 2);
}

TEST_F(FocusTest, WithTheOptionOffTheGameRunsOnUnfocused) {
    start("[Display]\npause_when_unfocused=0\n");
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    e->System_RunFrames(3); // would wait for ever if it paused
    EXPECT_EQ(g_frames, 3);
    EXPECT_FALSE(sdl_engine_paused(e));
}

TEST_F(FocusTest, ClosingThePausedWindowEndsTheLoop) {
    start("");
    push_window(SDL_WINDOWEVENT_FOCUS_LOST);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    std::thread helper([&] {
        auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!sdl_engine_paused(e) && std::chrono::steady_clock::now() < give_up)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        SDL_PushEvent(&quit);
    });
    EXPECT_TRUE(e->System_RunFrames(1));
    helper.join();
    EXPECT_EQ(g_frames, 0);
}

TEST_F(FocusTest, ALostSoundDeviceIsReopenedAndSoundsPlayOn) {
    start("");
    HEFFECT music = e->Effect_Load("data/intro.mp3", 0);
    ASSERT_NE(music, 0u);
    HCHANNEL before = e->Effect_Play(music);
    ASSERT_NE(before, 0u);
    SDL_Event ev{};
    ev.type = SDL_AUDIODEVICEREMOVED;
    ev.adevice.which = 2;
    ev.adevice.iscapture = 0;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
    EXPECT_FALSE(e->System_RunFrames(3)); // the game goes on
    EXPECT_EQ(g_frames, 3);
    EXPECT_FALSE(e->Channel_IsPlaying(before)); // what played went with the device
    HCHANNEL after = e->Effect_Play(music);
    EXPECT_NE(after, 0u);
    EXPECT_TRUE(e->Channel_IsPlaying(after));
    int freq = 0, channels = 0;
    Uint16 format = 0;
    EXPECT_EQ(Mix_QuerySpec(&freq, &format, &channels), 1); // a device is open again
}

TEST_F(FocusTest, ALostMicrophoneIsNoneOfTheGamesBusiness) {
    start("");
    HEFFECT music = e->Effect_Load("data/intro.mp3", 0);
    HCHANNEL ch = e->Effect_Play(music);
    ASSERT_NE(ch, 0u);
    SDL_Event ev{};
    ev.type = SDL_AUDIODEVICEREMOVED;
    ev.adevice.which = 7;
    ev.adevice.iscapture = 1;
    SDL_PushEvent(&ev);
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Channel_IsPlaying(ch));
}

// Waits, in real time, for a sound on the device to end; false after 10 s.
bool ends_within_seconds(Engine* e, HCHANNEL ch) {
    for (int i = 0; i < 1000 && e->Channel_IsPlaying(ch); ++i) SDL_Delay(10);
    return !e->Channel_IsPlaying(ch);
}

TEST_F(FocusTest, AnEffectPlayedWhileItDecodesStreamsAndIsHandledLikeAnyOther) {
    start("");
    std::filesystem::copy_file(std::string(KORVANE_SOURCE_DIR) + "/tests/engine/fixtures/beep.mp3",
                               dir.file("beep.mp3"));
    ASSERT_TRUE(sdl_engine_hold_decodes(e, true));
    HEFFECT beep = e->Effect_Load("data/beep.mp3", 0);
    HEFFECT intro = e->Effect_Load("data/intro.mp3", 0);
    ASSERT_NE(beep, 0u);
    ASSERT_NE(intro, 0u);

    HCHANNEL streamed = e->Effect_Play(beep);
    ASSERT_NE(streamed, 0u);
    EXPECT_TRUE(sdl_engine_channel_streamed(e, streamed));
    EXPECT_TRUE(e->Channel_IsPlaying(streamed));
    // One stream at a time: the next waits for its decode and takes a channel.
    // The stream is held meanwhile: on a busy machine that decode outlasts the beep.
    Mix_PauseMusic();
    HCHANNEL mixed = e->Effect_Play(intro);
    ASSERT_NE(mixed, 0u);
    EXPECT_FALSE(sdl_engine_channel_streamed(e, mixed));
    EXPECT_TRUE(e->Channel_IsPlaying(mixed));
    EXPECT_TRUE(e->Channel_IsPlaying(streamed));
    Mix_ResumeMusic();
    // 0.3 s of beep ends on its own while the intro plays on.
    EXPECT_TRUE(ends_within_seconds(e, streamed));
    EXPECT_TRUE(e->Channel_IsPlaying(mixed));

    // Its decode was never collected, so it streams again; the old handle
    // does not name the new sound.
    HCHANNEL again = e->Effect_Play(beep);
    EXPECT_TRUE(sdl_engine_channel_streamed(e, again));
    EXPECT_NE(again, streamed);
    EXPECT_FALSE(e->Channel_IsPlaying(streamed));
    EXPECT_TRUE(e->Channel_IsPlaying(again));
    e->Channel_StopAll();
    EXPECT_FALSE(e->Channel_IsPlaying(again));
    EXPECT_FALSE(e->Channel_IsPlaying(mixed));
    EXPECT_EQ(Mix_PlayingMusic(), 0);
}

TEST_F(FocusTest, FreeingAStreamedEffectStopsItsStream) {
    start("");
    std::string bytes;
    {
        std::ifstream in(std::string(KORVANE_SOURCE_DIR) + "/data/intro.mp3", std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(bytes.size(), 1000u);
    ASSERT_TRUE(sdl_engine_hold_decodes(e, true));
    // From memory, so the stream reads the effect's own copy of the bytes.
    HEFFECT intro = e->Effect_Load(bytes.data(), static_cast<uint32_t>(bytes.size()));
    bytes.assign(bytes.size(), '\0');
    HCHANNEL ch = e->Effect_Play(intro);
    ASSERT_TRUE(sdl_engine_channel_streamed(e, ch));
    SDL_Delay(50); // the device reads some of it
    EXPECT_TRUE(e->Channel_IsPlaying(ch));
    e->Effect_Free(intro);
    EXPECT_FALSE(e->Channel_IsPlaying(ch));
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    SDL_Delay(50); // nothing reads the freed bytes (the sanitizer watches)
    EXPECT_EQ(e->Effect_Play(intro), 0u);
}

} // namespace
