#include "game_fixture.h"

namespace {

class HudTest : public GameTest {};

TEST_F(HudTest, AWrongPasswordIsNoticedAndLostArmorFlashes) {
    set_game_state(w, ACTION_TITLE);
    frame_with({'X'});
    ASSERT_EQ(w.game_state, STATE_MENU);
    for (int i = 0; i < 9; ++i) frame_with({'A'}); // A is no password letter
    EXPECT_TRUE(emitted(EVENT_PASSWORD_REFUSED));
    EXPECT_GT(hud.invalid_password_time, 0.0f);
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ENTER});
    ASSERT_EQ(w.game_state, STATE_PLAY);
    frames(1);
    EXPECT_EQ(hud.armor_flash[0], 0.0f);
    w.ship_records[0].armor -= 1;
    frames(1);
    EXPECT_GT(hud.armor_flash[0], 0.0f);
}

} // namespace
