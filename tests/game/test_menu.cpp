// The menu as a new player meets it: the password shown is one that works,
// typing starts at the first letter, a refused password does not linger, a
// fire key never types by accident, and Escape asks before it quits.
#include <cstring>
#include <string>

#include "game/passwords.h"
#include "game_fixture.h"

namespace {

class MenuTest : public GameTest {
  protected:
    void to_menu() {
        frame_with({HGEK_SPACE});
        ASSERT_EQ(w.game_state, STATE_MENU);
    }
    void type(const std::string& letters) {
        for (char c : letters) frame_with({c});
    }
};

TEST_F(MenuTest, TheShownPasswordIsAcceptedAndTypingAlwaysStartsAtTheFirstLetter) {
    w.money = 300;
    w.level_index = 12;
    to_menu();
    const std::string shown = w.password;
    const int money = w.money, level = w.level_index;
    // Half a password, then to the shop and back: the menu starts afresh.
    type("QWER");
    EXPECT_EQ(w.password_cursor, 4);
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ESCAPE});
    ASSERT_EQ(w.game_state, STATE_MENU);
    EXPECT_EQ(w.password_cursor, 0);
    // The menu's own password typed back is taken and keeps the game.
    std::string again = w.password;
    type(again);
    EXPECT_FALSE(emitted(EVENT_PASSWORD_REFUSED));
    EXPECT_EQ(w.password, again);
    EXPECT_EQ(w.money, money);
    EXPECT_EQ(w.level_index, level);
    EXPECT_EQ(w.password_cursor, 0);
    EXPECT_NE(shown, "AAAAAAAAA");
}

TEST_F(MenuTest, ARefusedPasswordGivesBackTheGamesOwn) {
    to_menu();
    type("AAAAAAAA");
    frame_with({'A'});
    EXPECT_TRUE(emitted(EVENT_PASSWORD_REFUSED));
    EXPECT_GT(hud.invalid_password_time, 0);
    EXPECT_EQ(w.password_cursor, 0);
    // What stands in the menu is the game's password, which is taken as it is.
    World copy = w;
    EXPECT_TRUE(apply_password(copy));
    EXPECT_EQ(copy.money, w.money);
    EXPECT_EQ(copy.level_index, w.level_index);
}

TEST_F(MenuTest, AFireLetterLeavesTheMenuUnlessAPasswordIsBeingTyped) {
    w.ship_records[0].key_fire = 'M';
    to_menu();
    const std::string shown = w.password;
    frame_with({'M'}); // tapping fire to start, as in play
    EXPECT_EQ(w.game_state, STATE_SHOP);
    EXPECT_EQ(w.password, shown);
    frame_with({HGEK_ESCAPE});
    ASSERT_EQ(w.game_state, STATE_MENU);
    // Within a password the letter types, and Backspace steps back over a slip.
    type("TQ");
    frame_with({HGEK_BACKSPACE});
    type("M");
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_EQ(std::string(w.password, 2), "TM");
    EXPECT_EQ(w.password_cursor, 2);
    // Another player's fire key is no player's in ONE PLAYER: it types.
    w.ship_records[1].key_fire = 'R';
    type("R");
    EXPECT_EQ(w.password[2], 'R');
}

TEST_F(MenuTest, EscapeAsksOnceAndASecondOneQuits) {
    to_menu();
    EXPECT_FALSE(frame_with({HGEK_ESCAPE}));
    EXPECT_GT(w.quit_timer, 0);
    EXPECT_TRUE(frame_with({HGEK_ESCAPE}));
    // The question lapses: a lone Escape later asks again.
    w.quit_timer = 0.01f;
    EXPECT_FALSE(frames(2));
    EXPECT_EQ(w.quit_timer, 0);
    EXPECT_FALSE(frame_with({HGEK_ESCAPE}));
}

} // namespace
