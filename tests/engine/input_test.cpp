// Keyboard edges as the game sees them, from injected changes and from SDL events.
#include <SDL.h>
#include <gtest/gtest.h>

#include "headless.h"

namespace {

struct Seen {
    bool down, up, held;
    int key;
};

Engine* g_engine = nullptr;
int g_watch = 0;
std::vector<Seen> g_frames;

bool record_frame() {
    g_frames.push_back({g_engine->Input_KeyDown(g_watch), g_engine->Input_KeyUp(g_watch),
                        g_engine->Input_GetKeyState(g_watch), g_engine->Input_GetKey()});
    return false;
}

void push_key(SDL_Scancode sc, bool down, bool repeat = false, Uint16 mod = KMOD_NONE) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.repeat = repeat ? 1 : 0;
    ev.key.keysym.scancode = sc;
    ev.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&ev), 1);
}

class InputTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        g_engine = e;
        g_frames.clear();
        e->System_SetState(HGE_FRAMEFUNC, record_frame);
        e->Timer_SetFixedDelta(1.0f / 60.0f);
    }
    void watch(int key) { g_watch = key; }
};

TEST_F(InputTest, InjectedPressHoldsUntilReleaseWithEdgesInTheirFramesOnly) {
    watch(HGEK_SPACE);
    e->Input_Inject(HGEK_SPACE, true);
    e->System_RunFrames(3);
    e->Input_Inject(HGEK_SPACE, false);
    e->System_RunFrames(2);
    ASSERT_EQ(g_frames.size(), 5u);
    EXPECT_TRUE(g_frames[0].down && g_frames[0].held && !g_frames[0].up);
    EXPECT_EQ(g_frames[0].key, HGEK_SPACE);
    EXPECT_TRUE(!g_frames[1].down && g_frames[1].held && !g_frames[1].up);
    EXPECT_EQ(g_frames[1].key, 0);
    EXPECT_TRUE(!g_frames[2].down && g_frames[2].held);
    EXPECT_TRUE(g_frames[3].up && !g_frames[3].held && !g_frames[3].down);
    EXPECT_TRUE(!g_frames[4].up && !g_frames[4].held);
}

TEST_F(InputTest, PressAndReleaseInOneFrameGiveBothEdges) {
    watch('Q');
    e->Input_Inject('Q', true);
    e->Input_Inject('Q', false);
    e->System_RunFrames(2);
    EXPECT_TRUE(g_frames[0].down);
    EXPECT_TRUE(g_frames[0].up);
    EXPECT_FALSE(g_frames[0].held);
    EXPECT_EQ(g_frames[0].key, 'Q');
    EXPECT_FALSE(g_frames[1].down || g_frames[1].up || g_frames[1].held);
}

TEST_F(InputTest, SeveralKeysChangeInOneFrame) {
    watch(HGEK_LEFT);
    e->Input_Inject(HGEK_LEFT, true);
    e->Input_Inject(HGEK_CTRL, true);
    e->Input_Inject('W', true);
    e->System_RunFrames(1);
    EXPECT_TRUE(g_frames[0].down);
    EXPECT_TRUE(e->Input_KeyDown(HGEK_CTRL));
    EXPECT_TRUE(e->Input_KeyDown('W'));
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_CTRL));
    EXPECT_FALSE(e->Input_KeyDown(HGEK_RIGHT));
    EXPECT_NE(e->Input_GetKey(), 0);
}

TEST_F(InputTest, OutOfRangeKeysAreIgnored) {
    e->Input_Inject(0, true);
    e->Input_Inject(256, true);
    e->Input_Inject(-5, true);
    watch(0);
    e->System_RunFrames(1);
    EXPECT_EQ(g_frames[0].key, 0);
    EXPECT_FALSE(e->Input_GetKeyState(256));
    EXPECT_FALSE(e->Input_KeyDown(-5));
}

TEST_F(InputTest, SdlKeyEventsArriveAsVirtualKeys) {
    watch('A');
    push_key(SDL_SCANCODE_A, true);
    e->System_RunFrames(1);
    push_key(SDL_SCANCODE_A, true, true); // repeats are not presses
    e->System_RunFrames(1);
    push_key(SDL_SCANCODE_A, false);
    push_key(SDL_SCANCODE_KP_ENTER, true);
    e->System_RunFrames(1);
    ASSERT_EQ(g_frames.size(), 3u);
    EXPECT_TRUE(g_frames[0].down && g_frames[0].held);
    EXPECT_EQ(g_frames[0].key, 'A');
    EXPECT_FALSE(g_frames[1].down);
    EXPECT_TRUE(g_frames[1].held);
    EXPECT_EQ(g_frames[1].key, 0);
    EXPECT_TRUE(g_frames[2].up && !g_frames[2].held);
    EXPECT_TRUE(e->Input_KeyDown(HGEK_ENTER));
    EXPECT_EQ(g_frames[2].key, HGEK_ENTER);
}

TEST_F(InputTest, BothShiftsHoldOneKeyUntilTheLastIsReleased) {
    watch(HGEK_SHIFT);
    push_key(SDL_SCANCODE_LSHIFT, true);
    e->System_RunFrames(1);
    push_key(SDL_SCANCODE_RSHIFT, true);
    e->System_RunFrames(1);
    push_key(SDL_SCANCODE_LSHIFT, false);
    e->System_RunFrames(1);
    push_key(SDL_SCANCODE_RSHIFT, false);
    e->System_RunFrames(1);
    EXPECT_TRUE(g_frames[0].down);
    EXPECT_FALSE(g_frames[1].down); // already held
    EXPECT_TRUE(g_frames[2].held);
    EXPECT_FALSE(g_frames[2].up);
    EXPECT_TRUE(g_frames[3].up);
    EXPECT_FALSE(g_frames[3].held);
}

TEST_F(InputTest, LosingFocusReleasesHeldKeysButNotInjectedOnes) {
    watch(HGEK_UP);
    push_key(SDL_SCANCODE_UP, true);
    e->Input_Inject(HGEK_DOWN, true);
    e->System_RunFrames(1);
    SDL_Event ev{};
    ev.type = SDL_WINDOWEVENT;
    ev.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    SDL_PushEvent(&ev);
    e->System_RunFrames(1);
    EXPECT_TRUE(g_frames[0].held);
    EXPECT_TRUE(g_frames[1].up);
    EXPECT_FALSE(g_frames[1].held);
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_DOWN)); // a replay's keys are not the window's
    push_key(SDL_SCANCODE_UP, false);             // its release, arriving late, changes nothing
    e->System_RunFrames(1);
    EXPECT_FALSE(g_frames[2].up);
}

TEST_F(InputTest, LettersFollowTheLabelUnlessTheLayoutHasNoLatinOnes) {
    auto press = [](SDL_Scancode sc, SDL_Keycode sym) {
        SDL_Event ev{};
        ev.type = SDL_KEYDOWN;
        ev.key.state = SDL_PRESSED;
        ev.key.keysym.scancode = sc;
        ev.key.keysym.sym = sym;
        ASSERT_EQ(SDL_PushEvent(&ev), 1);
    };
    press(SDL_SCANCODE_Q, SDLK_a);     // AZERTY's A
    press(SDL_SCANCODE_M, SDLK_COMMA); // AZERTY's comma: no letter
    press(SDL_SCANCODE_E, 0x0443);     // Cyrillic: the letter of the place
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_KeyDown('Q') && e->Input_KeyDown('M') && e->Input_KeyDown('E'));
    std::string typed;
    for (int l = 'A'; l <= 'Z'; ++l)
        if (e->Input_LetterDown(l)) typed += static_cast<char>(l);
    EXPECT_EQ(typed, "AE");
    e->System_RunFrames(1); // a held key types once
    EXPECT_FALSE(e->Input_LetterDown('A'));
}

TEST_F(InputTest, AltEnterWithoutAWindowIsStillEnter) {
    watch(HGEK_ENTER);
    push_key(SDL_SCANCODE_RETURN, true, false, KMOD_LALT);
    e->System_RunFrames(1);
    EXPECT_TRUE(g_frames[0].down); // headless has no fullscreen to toggle
}

// A real window on SDL's dummy video driver: no display needed.
TEST(WindowedInput, AltEnterTogglesFullscreenAndIsNotEnter) {
    TempDir dir;
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    e->System_SetState(HGE_DATADIR, dir.path().c_str());
    e->System_SetState(HGE_TITLE, "Korvane");
    e->System_SetState(HGE_SCREENWIDTH, 800);
    e->System_SetState(HGE_SCREENHEIGHT, 590);
    e->System_SetState(HGE_FRAMEFUNC, record_frame);
    if (!e->System_Initiate()) {
        std::string why = e->System_GetErrorMessage();
        e->Release();
        engine_set_backend(nullptr);
        GTEST_SKIP() << "no video driver: " << why;
    }
    g_engine = e;
    g_watch = HGEK_ENTER;
    g_frames.clear();
    SDL_Window* window = SDL_GetWindowFromID(1);
    for (Uint32 id = 1; !window && id < 64; ++id) window = SDL_GetWindowFromID(id);
    ASSERT_NE(window, nullptr);
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Korvane");
    EXPECT_TRUE(SDL_GetWindowFlags(window) & SDL_WINDOW_RESIZABLE);
    bool was_full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    push_key(SDL_SCANCODE_LALT, true, false, KMOD_LALT);
    push_key(SDL_SCANCODE_RETURN, true, false, KMOD_LALT);
    e->System_RunFrames(1);
    push_key(SDL_SCANCODE_RETURN, false, false, KMOD_LALT);
    e->System_RunFrames(1);
    EXPECT_FALSE(g_frames[0].down);
    EXPECT_FALSE(g_frames[1].up);
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_ALT));
    EXPECT_NE((SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0, was_full);
    e->System_Shutdown();
    e->Release();
    engine_set_backend(nullptr);
}

} // namespace
