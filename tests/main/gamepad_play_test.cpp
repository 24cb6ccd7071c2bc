// A gamepad flies ship 0 through the whole game, which sees only its keys.
#include <SDL.h>
#include <gtest/gtest.h>

#include "engine/sdl/sdl_engine.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "render/resources.h"

namespace {

class GamepadPlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        engine_set_backend(create_sdl_engine);
        configure_engine();
        engine->System_SetState(HGE_HEADLESS, true);
        engine->System_SetState(HGE_SEED, 99);
        engine->System_SetState(HGE_DATADIR, KORVANE_BINARY_DIR "/data");
        ASSERT_TRUE(sdl_engine_set_gamepads(engine, true));
        ASSERT_TRUE(start_game());
        loaded = true;
        engine->Timer_SetFixedDelta(1.0f / 60.0f);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Virtual Pad";
        index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        pad = SDL_JoystickOpen(index);
        ASSERT_NE(pad, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        if (pad) SDL_JoystickClose(pad);
        if (index >= 0) SDL_JoystickDetachVirtual(index);
        if (loaded) shutdown_program();
        engine_set_backend(nullptr);
    }
    void press(SDL_GameControllerButton b, bool down) {
        ASSERT_EQ(SDL_JoystickSetVirtualButton(pad, b, down ? 1 : 0), 0);
    }
    void tap(SDL_GameControllerButton b) {
        press(b, true);
        engine->System_RunFrames(1);
        press(b, false);
        engine->System_RunFrames(2);
    }

    bool loaded = false;
    int index = -1;
    SDL_Joystick* pad = nullptr;
};

TEST_F(GamepadPlayTest, StartLeadsIntoPlayWhereTheStickThrustsAndAFires) {
    engine->System_RunFrames(2);
    tap(SDL_CONTROLLER_BUTTON_START); // title: any key
    ASSERT_EQ(app.world.game_state, STATE_MENU);
    tap(SDL_CONTROLLER_BUTTON_START); // menu: Enter to the shop
    ASSERT_EQ(app.world.game_state, STATE_SHOP);
    tap(SDL_CONTROLLER_BUTTON_START); // shop: Enter starts the level
    ASSERT_EQ(app.world.game_state, STATE_PLAY);
    engine->System_RunFrames(5);
    EXPECT_EQ(app.world.ship_records[0].speed, 0.0f);
    EXPECT_TRUE(app.world.player_bullets[0].empty());
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32768), 0);
    press(SDL_CONTROLLER_BUTTON_A, true);
    engine->System_RunFrames(20);
    EXPECT_GT(app.world.ship_records[0].speed, 0.0f);
    EXPECT_FALSE(app.world.player_bullets[0].empty());
    float angle = app.world.ship_records[0].angle;
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767), 0);
    engine->System_RunFrames(20);
    EXPECT_GT(app.world.ship_records[0].rotate_speed, 0.0f); // turning right
    EXPECT_NE(app.world.ship_records[0].angle, angle);
    tap(SDL_CONTROLLER_BUTTON_BACK); // Escape: back to the menu
    EXPECT_EQ(app.world.game_state, STATE_MENU);
}

} // namespace
