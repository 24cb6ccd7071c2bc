#include <cstring>

#include "game/passwords.h"
#include "game_fixture.h"
#include "options/options.h"
#include "render/screens.h"
#include "ships/damage.h"

namespace {

class StatesTest : public GameTest {
protected:
    void to_menu() {
        set_game_state(w, ACTION_TITLE);
        frame_with({'X'});
        ASSERT_EQ(w.game_state, STATE_MENU);
    }
};

TEST_F(StatesTest, TitleEndsOnEscapeEvenWithAnotherKey) {
    set_game_state(w, ACTION_TITLE);
    EXPECT_TRUE(frame_with({'X', HGEK_ESCAPE}));
    EXPECT_EQ(w.game_state, STATE_TITLE);
}

TEST_F(StatesTest, AnyKeyStartsANewGameInTheMenu) {
    w.money = 40;
    w.level_index = 7;
    w.ship_records[0].firepower = 3;
    set_game_state(w, ACTION_TITLE);
    EXPECT_FALSE(frames(3));
    EXPECT_EQ(w.game_state, STATE_TITLE);
    frame_with({HGEK_SPACE});
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_EQ(w.password_cursor, 0);
    EXPECT_EQ(w.ship_records[0].firepower, 0);
    EXPECT_EQ(w.ship_records[0].ships, 3);
    EXPECT_EQ(w.ship_records[1].ships, 3);
    // A new game keeps the purse and the level.
    EXPECT_EQ(w.money, 40);
    EXPECT_EQ(w.level_index, 7);
    EXPECT_FLOAT_EQ(w.view_width[0], static_cast<float>(half_width(w)));
}

TEST_F(StatesTest, MenuStepsThroughThreeModesAndCompetitionIgnoresLetters) {
    to_menu();
    frame_with({HGEK_F1});
    EXPECT_EQ(w.game_mode, MODE_TEAMWORK);
    frame_with({HGEK_SPACE});
    EXPECT_EQ(w.game_mode, MODE_COMPETITION);
    const std::string shown = w.password;
    frame_with({'U', 'K', 'T'});
    EXPECT_EQ(std::string(w.password), shown);
    EXPECT_EQ(w.password_cursor, 0);
    // Both keys in one frame still step once.
    frame_with({HGEK_F1, HGEK_SPACE});
    EXPECT_EQ(w.game_mode, MODE_ONE_PLAYER);
    frame_with({'U'});
    EXPECT_EQ(w.password_cursor, 1);
}

TEST_F(StatesTest, LettersOfOneFrameAreTypedAlphabetically) {
    to_menu();
    frame_with({'Z', 'B', 'M'});
    EXPECT_EQ(std::string(w.password, 3), "BMZ");
    EXPECT_EQ(w.password_cursor, 3);
}

TEST_F(StatesTest, EscapeInTheMenuEndsWhenAskedTwice) {
    to_menu();
    EXPECT_FALSE(frames(30));
    EXPECT_FALSE(frame_with({HGEK_ESCAPE}));
    EXPECT_TRUE(frame_with({HGEK_ESCAPE}));
}

TEST_F(StatesTest, EnterLeadsToTheShopAndFireToPlay) {
    to_menu();
    frame_with({HGEK_ENTER});
    EXPECT_EQ(w.game_state, STATE_SHOP);
    EXPECT_FLOAT_EQ(w.view_anchor[0], 400);
    EXPECT_FLOAT_EQ(w.view_width[0], 800);
    frame_with({HGEK_CTRL});
    EXPECT_EQ(w.game_state, STATE_PLAY);
    EXPECT_EQ(w.map_index, 0);
    EXPECT_FLOAT_EQ(w.ship_records[0].x, 0);
    // One view over the whole screen: no second view, no white gap beside it.
    EXPECT_FALSE(second_view_active(w));
    EXPECT_FLOAT_EQ(w.view_width[0], 800);
    EXPECT_EQ(static_cast<int>(w.enemy_list.size()), 3); // "0MMM": three meteors at once
    EXPECT_FALSE(w.spawning);
}

TEST_F(StatesTest, TeamworkSplitsTheScreenAndCopiesTheShips) {
    to_menu();
    frame_with({HGEK_F1});
    w.ship_records[0].ships = 7;
    frame_with({HGEK_SHIFT});
    EXPECT_FLOAT_EQ(w.view_width[0], 399);
    EXPECT_FLOAT_EQ(w.view_anchor[0], 200);
    frame_with({HGEK_ENTER});
    EXPECT_EQ(w.ship_records[1].ships, 7);
    EXPECT_FLOAT_EQ(w.ship_records[1].y, 590);
    EXPECT_FLOAT_EQ(w.ship_records[1].angle, -3.14f);
    // Both views in play, split by the white gap.
    EXPECT_TRUE(second_view_active(w));
    EXPECT_FLOAT_EQ(w.view_width[0], 399);
}

TEST_F(StatesTest, EscapeInPlayKeepsProgressAndShowsItsPassword) {
    w.money = 123;
    w.level_index = 11;
    to_menu();
    frame_with({HGEK_ENTER});
    frame_with({HGEK_SPACE});
    ASSERT_EQ(w.game_state, STATE_PLAY);
    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_EQ(w.money, 123);
    EXPECT_EQ(w.level_index, 11);
    std::string shown = w.password;
    w.money = w.level_index = 0;
    ASSERT_TRUE(apply_password(w));
    EXPECT_EQ(w.money, 123);
    EXPECT_EQ(w.level_index, 11);
    EXPECT_NE(shown, "AAAAAAAAA");
}

TEST_F(StatesTest, CompletingLevelsPaysAndMovesOn) {
    w.game_state = STATE_PLAY;
    w.level_index = 3;
    draws.int_draws.clear();
    complete_level(w);
    ASSERT_FALSE(draws.int_draws.empty());
    EXPECT_EQ(draws.int_draws.back(), std::make_pair(4, 10));
    EXPECT_EQ(w.level_index, 4);
    EXPECT_EQ(w.game_state, STATE_SHOP);
    EXPECT_EQ(w.money, w.bonus);

    w.game_mode = MODE_TEAMWORK;
    complete_level(w);
    EXPECT_EQ(draws.int_draws.back(), std::make_pair(3, 7));
    w.iteration = 7;
    complete_level(w);
    EXPECT_EQ(draws.int_draws.back(), std::make_pair(13, 23));
    w.game_mode = MODE_ONE_PLAYER;
    complete_level(w);
    EXPECT_EQ(draws.int_draws.back(), std::make_pair(18, 31));
}

TEST_F(StatesTest, TheFiftiethLevelStartsTheNextPass) {
    w.level_index = 49;
    w.iteration = 0;
    complete_level(w);
    EXPECT_EQ(w.level_index, 0);
    EXPECT_EQ(w.iteration, 1);
    EXPECT_EQ(w.settings.start_enemy, 7);
    EXPECT_EQ(w.game_state, STATE_SHOP);
}

TEST_F(StatesTest, TheNinthPassReturnsToTheTitleWithEverythingReloaded) {
    fake.ini["game.start_money"] = "5";
    start_world(); // the file is read at start-up
    w.level_index = 30;
    w.iteration = 8;
    w.money = 900;
    w.settings.start_enemy = 40;
    w.settings.enemy[FAMILY_BULL].speed = 1;
    complete_level(w);
    EXPECT_EQ(w.game_state, STATE_TITLE);
    EXPECT_EQ(w.settings.enemy[FAMILY_BULL].speed, 90);
    EXPECT_EQ(w.money, 5);
    EXPECT_EQ(w.level_index, 0);
    EXPECT_EQ(w.iteration, 0);
    EXPECT_EQ(w.settings.start_enemy, 6);
}

TEST_F(StatesTest, StartValuesOutsideTheLevelListAreClamped) {
    fake.ini["game.start_level"] = "75";
    fake.ini["game.start_level_iteration"] = "-3";
    start_world();
    EXPECT_EQ(w.level_index, 49);
    EXPECT_EQ(w.iteration, 0);
}

TEST_F(StatesTest, GameOverReturnsToTheMenuAfterItsDelay) {
    to_menu();
    w.game_state = STATE_GAME_OVER;
    w.game_over_timer = 0;
    fake.delta = 0.5f;
    frames(3);
    EXPECT_EQ(w.game_state, STATE_GAME_OVER);
    frames(1);
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_EQ(w.game_over_timer, 0);
}

TEST_F(StatesTest, ShopEscapeReturnsToTheMenu) {
    to_menu();
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_FLOAT_EQ(w.view_width[0], 399);
}

TEST_F(StatesTest, CompetitionStartsFreshPaysEachRivalAndGivesTheGameBack) {
    fake.ini["game.start_money"] = "20";
    fake.ini["game.start_level"] = "2";
    start_world();
    to_menu();
    // The game that the match sets aside.
    w.money = 500;
    w.level_index = 11;
    w.iteration = 1;
    scale_up_difficulty(w.settings);
    const int scaled_enemy = w.settings.start_enemy;
    w.ship_records[0].firepower = 3;
    w.ship_records[0].ships = w.ship_records[1].ships = 7;
    frame_with({HGEK_SPACE});
    frame_with({HGEK_SPACE});
    frame_with({HGEK_ENTER});
    ASSERT_EQ(w.game_state, STATE_SHOP);
    EXPECT_EQ(w.level_index, 2);
    EXPECT_EQ(w.iteration, 0);
    EXPECT_LT(w.settings.start_enemy, scaled_enemy);
    EXPECT_EQ(w.purse[1], 20);
    EXPECT_EQ(w.ship_records[0].firepower, 0);
    w.ship_records[0].ships = 5; // bought by ship 0 alone: ship 1 keeps its own stock
    frame_with({HGEK_ENTER});
    EXPECT_EQ(w.ship_records[1].ships, 3);

    // Each rival gets an own draw from the ONE PLAYER range, ship 0 first.
    draws.int_draws.clear();
    draws.next_ints = {9, 4};
    complete_level(w);
    EXPECT_EQ(draws.int_draws, (std::vector<std::pair<int, int>>{{4, 10}, {4, 10}}));
    EXPECT_EQ(w.purse[0], 29);
    EXPECT_EQ(w.purse[1], 24);

    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(w.game_state, STATE_MENU);
    EXPECT_EQ(w.game_mode, MODE_COMPETITION);
    EXPECT_EQ(w.money, 500);
    EXPECT_EQ(w.level_index, 11);
    EXPECT_EQ(w.iteration, 1);
    EXPECT_EQ(w.settings.start_enemy, scaled_enemy);
    EXPECT_EQ(w.ship_records[0].firepower, 3);
    EXPECT_EQ(w.ship_records[1].ships, 7);
}

TEST_F(StatesTest, AMatchEndsInAWinOrADrawShownUntilTheMenu) {
    const char* const shown[3] = {"PLAYER 1 WINS", "PLAYER 2 WINS", "DRAW"};
    for (int outcome = 0; outcome < 3; ++outcome) {
        SCOPED_TRACE(outcome);
        fake.delta = 1.0f / 60.0f;
        to_menu();
        frame_with({HGEK_SPACE});
        frame_with({HGEK_SPACE});
        frame_with({HGEK_ENTER});
        frame_with({HGEK_ENTER});
        ASSERT_EQ(w.game_state, STATE_PLAY);
        w.ship_records[0].ships = w.ship_records[1].ships = 1;
        if (outcome != 0) damage_ship(w, 0, 100);
        if (outcome != 1) damage_ship(w, 1, 100);
        frames(1);
        EXPECT_EQ(w.winner, outcome);
        fake.delta = 0.5f;
        frames(4);
        ASSERT_EQ(w.game_state, STATE_GAME_OVER);
        TextLine lines[SCREEN_MAX_LINES];
        ASSERT_EQ(game_over_lines(w, lines), 2);
        EXPECT_STREQ(lines[1].text, shown[outcome]);
        frames(4);
        EXPECT_EQ(w.game_state, STATE_MENU);
        EXPECT_EQ(w.game_mode, MODE_COMPETITION);
    }
}

TEST_F(StatesTest, UnknownActionsAndStatesDoNothing) {
    w.game_state = STATE_SHOP;
    set_game_state(w, 5);
    set_game_state(w, -1);
    EXPECT_EQ(w.game_state, STATE_SHOP);
    w.game_state = 9;
    EXPECT_FALSE(frames(2));
    EXPECT_EQ(w.game_state, 9);
}

TEST_F(StatesTest, RemappedKeysFlyInPlayAndTypeInTheMenu) {
    to_menu();
    // As the options screen leaves them: turning left on I, thrust on the old left key.
    player_options o;
    o.keys[0][ROLE_LEFT] = 'I';
    o.keys[0][ROLE_UP] = HGEK_LEFT;
    apply_key_bindings(w, o);
    frame_with({'I'});
    EXPECT_EQ(w.game_state, STATE_MENU);
    ASSERT_GT(w.password_cursor, 0);
    EXPECT_EQ(w.password[w.password_cursor - 1], 'I');
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ENTER});
    ASSERT_EQ(w.game_state, STATE_PLAY);
    fake.press('I');
    frames(30);
    EXPECT_NE(w.ship_records[0].rotate_speed, 0.0f);
    EXPECT_EQ(w.ship_records[0].speed, 0.0f);
}

TEST_F(StatesTest, AFireKeyOfAPlayerOfTheModeLeavesTheMenu) {
    fake.ini["player1.fire"] = std::to_string(HGEK_INSERT);
    start_world();
    to_menu();
    // ONE PLAYER: the second player's key means nothing here.
    frame_with({HGEK_INSERT});
    EXPECT_EQ(w.game_state, STATE_MENU);
    frame_with({HGEK_SPACE}); // TEAMWORK
    frame_with({HGEK_INSERT});
    EXPECT_EQ(w.game_state, STATE_SHOP);
    frame_with({HGEK_ESCAPE});
    ASSERT_EQ(w.game_state, STATE_MENU);
    // A key remapped on the options screen is the player's fire key from then on.
    player_options o;
    o.keys[1][ROLE_FIRE] = HGEK_HOME;
    apply_key_bindings(w, o);
    frame_with({HGEK_INSERT});
    EXPECT_EQ(w.game_state, STATE_MENU);
    frame_with({HGEK_HOME});
    EXPECT_EQ(w.game_state, STATE_SHOP);
}

} // namespace
