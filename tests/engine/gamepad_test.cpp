// Gamepads hold down the players' keys: a virtual pad (SDL's virtual joystick
// driver) stands in for a real one.
#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/sdl/gamepads.h"
#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

TEST(PadActions, StickBeyondTheDeadZoneOrDpadTurnAndThrustButtonsFireAndNavigate) {
    PadInput in;
    EXPECT_EQ(pad_actions(in), 0u);
    in.stick_x = -kPadDeadZone; // on the edge: not yet
    in.stick_y = kPadDeadZone;
    EXPECT_EQ(pad_actions(in), 0u);
    in.stick_x = -kPadDeadZone - 1;
    in.stick_y = -32768;
    EXPECT_EQ(pad_actions(in), (1u << PAD_LEFT) | (1u << PAD_UP));
    in = PadInput();
    in.stick_x = 32767;
    in.stick_y = 32767;
    EXPECT_EQ(pad_actions(in), (1u << PAD_RIGHT) | (1u << PAD_DOWN));
    in = PadInput();
    in.dpad_left = in.dpad_down = true;
    EXPECT_EQ(pad_actions(in), (1u << PAD_LEFT) | (1u << PAD_DOWN));
    in = PadInput();
    in.b = true;
    EXPECT_EQ(pad_actions(in), 1u << PAD_FIRE);
    in.a = true;
    in.start = true;
    in.back = true;
    EXPECT_EQ(pad_actions(in), (1u << PAD_FIRE) | (1u << PAD_ENTER) | (1u << PAD_ESCAPE));
}

TEST(PadKeys, ThePlayersKeysFromTheSettingsFileWithTheGamesDefaults) {
    TempDir dir;
    IniFile ini;
    ini.set_path(dir.file("none.ini"));
    PadKeys p0 = pad_keys_for(ini, 0), p1 = pad_keys_for(ini, 1);
    const int want0[PAD_ACTIONS] = {37, 39, 38, 40, 17, 13, 27};
    const int want1[PAD_ACTIONS] = {65, 68, 87, 83, 81, 13, 27};
    for (int a = 0; a < PAD_ACTIONS; ++a) {
        EXPECT_EQ(p0.key[a], want0[a]) << a;
        EXPECT_EQ(p1.key[a], want1[a]) << a;
    }
    dir.write("keys.ini", "[Player1]\nfire=16\nleft=300\nright=x\n[Player0]\nup=0\n");
    ini.set_path(dir.file("keys.ini"));
    p0 = pad_keys_for(ini, 0);
    p1 = pad_keys_for(ini, 1);
    EXPECT_EQ(p1.key[PAD_FIRE], 16);
    EXPECT_EQ(p1.key[PAD_LEFT], 0);   // no such key: the action presses nothing
    EXPECT_EQ(p1.key[PAD_RIGHT], 68); // not a number: the default
    EXPECT_EQ(p0.key[PAD_UP], 0);
}

Engine* g_engine = nullptr;
int g_frames = 0;
bool count_frame() {
    ++g_frames;
    return false;
}

class PadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir.path().empty());
        engine_set_backend(create_sdl_engine);
        e = hgeCreate(ENGINE_VERSION);
        ASSERT_NE(e, nullptr);
        e->System_SetState(HGE_HEADLESS, true);
        e->System_SetState(HGE_DATADIR, dir.path().c_str());
        settings();
        e->System_SetState(HGE_INIFILE, "Settings.ini");
        ASSERT_TRUE(sdl_engine_set_gamepads(e, true));
        ASSERT_TRUE(e->System_Initiate()) << e->System_GetErrorMessage();
        EXPECT_FALSE(sdl_engine_set_gamepads(e, false)); // too late once started
        e->System_SetState(HGE_FRAMEFUNC, count_frame);
        e->Timer_SetFixedDelta(1.0f / 60.0f);
        g_engine = e;
    }
    void TearDown() override {
        for (SDL_Joystick* j : sticks) SDL_JoystickClose(j);
        for (int index : attached) SDL_JoystickDetachVirtual(index);
        if (!e) return;
        e->System_Shutdown();
        e->Release();
        engine_set_backend(nullptr);
    }
    virtual void settings() { dir.write("Settings.ini", "[Player1]\nfire=16\n"); }
    // A virtual pad with every standard button and axis; its joystick, or null.
    SDL_Joystick* plug() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Virtual Pad";
        int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        if (index < 0) return nullptr;
        attached.push_back(index);
        SDL_Joystick* j = SDL_JoystickOpen(index);
        EXPECT_NE(j, nullptr) << SDL_GetError();
        if (j) sticks.push_back(j);
        return j;
    }
    void unplug(SDL_Joystick* j) {
        int index = -1;
        SDL_JoystickID id = SDL_JoystickInstanceID(j);
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) index = i;
        ASSERT_GE(index, 0);
        for (size_t i = 0; i < sticks.size(); ++i)
            if (sticks[i] == j) sticks.erase(sticks.begin() + static_cast<long>(i));
        SDL_JoystickClose(j);
        ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0) << SDL_GetError();
        attached.clear(); // indices shift; whatever is left is detached by hand
    }
    void button(SDL_Joystick* j, SDL_GameControllerButton b, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(j, b, down ? 1 : 0), 0) << SDL_GetError();
    }
    void axis(SDL_Joystick* j, SDL_GameControllerAxis a, int16_t v) {
        ASSERT_EQ(SDL_JoystickSetVirtualAxis(j, a, v), 0) << SDL_GetError();
    }
    int pads() {
        SdlDisplayState s;
        EXPECT_TRUE(sdl_engine_display_state(e, &s));
        return s.pads;
    }

    TempDir dir;
    Engine* e = nullptr;
    std::vector<int> attached;
    std::vector<SDL_Joystick*> sticks;
};

TEST_F(PadTest, TheFirstPadFliesPlayerZeroWithItsKeysWhileTheKeyboardStillWorks) {
    SDL_Joystick* pad = plug();
    ASSERT_NE(pad, nullptr);
    e->System_RunFrames(1);
    EXPECT_EQ(pads(), 1);
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768); // stick forward
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    e->Input_Inject(HGEK_SPACE, true); // the keyboard at the same time
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_UP));
    EXPECT_TRUE(e->Input_KeyDown(HGEK_CTRL));
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_SPACE));
    EXPECT_FALSE(e->Input_GetKeyState(HGEK_DOWN));
    EXPECT_FALSE(e->Input_GetKeyState('W')); // player 1's keys stay up
    axis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_KeyUp(HGEK_UP));
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_RIGHT));
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_CTRL));
    EXPECT_FALSE(e->Input_KeyDown(HGEK_CTRL)); // still the same press
}

TEST_F(PadTest, ATapBetweenTwoFramesStillGivesBothEdges) {
    SDL_Joystick* pad = plug();
    ASSERT_NE(pad, nullptr);
    e->System_RunFrames(1);
    button(pad, SDL_CONTROLLER_BUTTON_START, true);
    SDL_PumpEvents(); // the press reaches the queue before the release
    button(pad, SDL_CONTROLLER_BUTTON_START, false);
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_KeyDown(HGEK_ENTER));
    EXPECT_TRUE(e->Input_KeyUp(HGEK_ENTER));
    EXPECT_FALSE(e->Input_GetKeyState(HGEK_ENTER));
    EXPECT_EQ(e->Input_GetKey(), HGEK_ENTER);
}

TEST_F(PadTest, TheSecondPadFliesPlayerOneAndUnpluggingLetsGoOfItsKeys) {
    SDL_Joystick* first = plug();
    SDL_Joystick* second = plug();
    ASSERT_TRUE(first && second);
    e->System_RunFrames(1);
    EXPECT_EQ(pads(), 2);
    button(second, SDL_CONTROLLER_BUTTON_B, true);
    button(second, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
    button(first, SDL_CONTROLLER_BUTTON_BACK, true);
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_GetKeyState(16));  // player 1's fire from the settings file
    EXPECT_TRUE(e->Input_GetKeyState('A')); // player 1's left
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_ESCAPE));
    EXPECT_FALSE(e->Input_GetKeyState(HGEK_CTRL));
    unplug(second);
    e->System_RunFrames(1);
    EXPECT_EQ(pads(), 1);
    EXPECT_TRUE(e->Input_KeyUp(16));
    EXPECT_TRUE(e->Input_KeyUp('A'));
    EXPECT_FALSE(e->Input_GetKeyState(16));
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_ESCAPE)); // the other pad goes on
    EXPECT_GT(g_frames, 0);
}

TEST_F(PadTest, AKeyHeldByThePadAndTheKeyboardStaysDownUntilBothLetGo) {
    SDL_Joystick* pad = plug();
    ASSERT_NE(pad, nullptr);
    e->System_RunFrames(1);
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    e->Input_Inject(HGEK_CTRL, true);
    e->System_RunFrames(1);
    button(pad, SDL_CONTROLLER_BUTTON_A, false);
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_CTRL));
    EXPECT_FALSE(e->Input_KeyUp(HGEK_CTRL));
    e->Input_Inject(HGEK_CTRL, false);
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_KeyUp(HGEK_CTRL));
}

TEST_F(PadTest, WithDeviceInputOffPadsPressNothingAndTheirKeysAreLetGo) {
    SDL_Joystick* pad = plug();
    ASSERT_NE(pad, nullptr);
    button(pad, SDL_CONTROLLER_BUTTON_A, true);
    e->System_RunFrames(1);
    ASSERT_TRUE(e->Input_GetKeyState(HGEK_CTRL));
    ASSERT_TRUE(sdl_engine_set_device_input(e, false));
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_KeyUp(HGEK_CTRL));
    button(pad, SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    e->System_RunFrames(1);
    EXPECT_FALSE(e->Input_GetKeyState(HGEK_UP));
    ASSERT_TRUE(sdl_engine_set_device_input(e, true));
    e->System_RunFrames(1);
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_UP)); // held buttons act again at once
    EXPECT_TRUE(e->Input_GetKeyState(HGEK_CTRL));
}

TEST(PadDefaults, HeadlessEnginesOpenNoPadsUnlessAsked) {
    TempDir dir;
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    ASSERT_NE(e, nullptr);
    e->System_SetState(HGE_HEADLESS, true);
    e->System_SetState(HGE_DATADIR, dir.path().c_str());
    ASSERT_TRUE(e->System_Initiate());
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    // Without the joystick subsystem the virtual driver is not there at all.
    int index = SDL_JoystickAttachVirtualEx(&desc);
    e->System_RunFrames(1);
    SdlDisplayState s;
    ASSERT_TRUE(sdl_engine_display_state(e, &s));
    EXPECT_EQ(s.pads, 0);
    if (index >= 0) SDL_JoystickDetachVirtual(index);
    e->System_Shutdown();
    e->Release();
    engine_set_backend(nullptr);
}

} // namespace
