// The program's frame around the game: the options screen over the menu.
#include <gtest/gtest.h>

#include "game/states.h"
#include "main/app.h"
#include "render/resources.h"
#include "support/fake_engine.h"

namespace {

class AppTest : public ::testing::Test {
  protected:
    FakeEngine fake;
    void SetUp() override {
        engine = hgeCreate(ENGINE_VERSION);
        Settings file{};
        read_settings(file, true);
        app = App();
        new_world(app.world, file, 3, 800, 590);
    }
    void TearDown() override {
        app = App();
        engine->Release();
        engine = nullptr;
    }
    bool frame(int key = 0) {
        KeyFrame k;
        if (key) apply_key_change(k, key, true);
        return app_frame(app, k, 1.0f / 60);
    }
};

TEST_F(AppTest, TabOpensTheOptionsOnlyInTheMenuAndTheGameWaitsBehindThem) {
    frame(HGEK_TAB); // the title: Tab is any key
    ASSERT_EQ(app.world.game_state, STATE_MENU);
    EXPECT_FALSE(app.hud.options.open);
    frame(HGEK_TAB);
    ASSERT_TRUE(app.hud.options.open);
    const World before = app.world;
    frame(HGEK_DOWN);
    EXPECT_EQ(app.hud.options.row, 1);
    EXPECT_EQ(app.world.ship_records[2].x, before.ship_records[2].x); // the demo waits
    // Escape shuts the screen rather than the game, and writes nothing unless allowed.
    EXPECT_FALSE(frame(HGEK_ESCAPE));
    EXPECT_FALSE(app.hud.options.open);
    EXPECT_TRUE(fake.user_files.empty());
    frame(HGEK_TAB);
    app.save_options = true;
    frame(HGEK_ESCAPE);
    EXPECT_EQ(fake.user_files.count(OPTIONS_FILE), 1u);
    // Online both machines run the menu: no options screen.
    app.hud.online = true;
    frame(HGEK_TAB);
    EXPECT_FALSE(app.hud.options.open);
    // Tab with Escape is Escape's: the menu asks, and does not open the options.
    app.hud.online = false;
    KeyFrame both;
    apply_key_change(both, HGEK_TAB, true);
    apply_key_change(both, HGEK_ESCAPE, true);
    EXPECT_FALSE(app_frame(app, both, 1.0f / 60));
    EXPECT_FALSE(app.hud.options.open);
    EXPECT_GT(app.world.quit_timer, 0);
}

TEST_F(AppTest, AKeyBoundOnTheOptionsScreenFliesTheShip) {
    frame(HGEK_SPACE);
    frame(HGEK_TAB);
    app.hud.options.row = ROW_KEYS + ROLE_UP; // player 0 thrust
    frame(HGEK_ENTER);
    frame('I');
    EXPECT_EQ(app.world.ship_records[0].key_up, 'I');
    EXPECT_EQ(app.options.keys[0][ROLE_UP], 'I');
}

} // namespace
