#include <cstring>

#include "game/passwords.h"
#include "render/screens.h"
#include "ships/damage.h"
#include "game_fixture.h"

namespace {

class StatesTest : public GameTest {
protected:
    void to_menu() {
        set_game_state(ACTION_TITLE);
        frame_with({'X'});
        ASSERT_EQ(game_state, STATE_MENU);
    }
};

TEST_F(StatesTest, TitleEndsOnEscapeEvenWithAnotherKey) {
    set_game_state(ACTION_TITLE);
    EXPECT_TRUE(frame_with({'X', HGEK_ESCAPE}));
    EXPECT_EQ(game_state, STATE_TITLE);
}

TEST_F(StatesTest, AnyKeyStartsANewGameInTheMenu) {
    money = 40;
    level_index = 7;
    ship_records[0].firepower = 3;
    set_game_state(ACTION_TITLE);
    EXPECT_FALSE(frames(3));
    EXPECT_EQ(game_state, STATE_TITLE);
    frame_with({HGEK_SPACE});
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_STREQ(password, "AAAAAAAAA");
    EXPECT_EQ(password_cursor, 0);
    EXPECT_EQ(ship_records[0].firepower, 0);
    EXPECT_EQ(ship_records[0].ships, 3);
    EXPECT_EQ(ship_records[1].ships, 3);
    // A new game keeps the purse and the level.
    EXPECT_EQ(money, 40);
    EXPECT_EQ(level_index, 7);
    EXPECT_EQ(half_width, static_cast<int>(view_sprite[0]->get_width()));
}

TEST_F(StatesTest, MenuStepsThroughThreeModesAndCompetitionIgnoresLetters) {
    to_menu();
    frame_with({HGEK_F1});
    EXPECT_EQ(game_mode, MODE_TEAMWORK);
    frame_with({HGEK_SPACE});
    EXPECT_EQ(game_mode, MODE_COMPETITION);
    const std::string shown = password;
    frame_with({'U', 'K', 'T'});
    EXPECT_EQ(std::string(password), shown);
    EXPECT_EQ(password_cursor, 0);
    // Both keys in one frame still step once.
    frame_with({HGEK_F1, HGEK_SPACE});
    EXPECT_EQ(game_mode, MODE_ONE_PLAYER);
    frame_with({'U'});
    EXPECT_EQ(password_cursor, 1);
}

TEST_F(StatesTest, LettersOfOneFrameAreTypedAlphabetically) {
    to_menu();
    frame_with({'Z', 'B', 'M'});
    EXPECT_EQ(std::string(password, 3), "BMZ");
    EXPECT_EQ(password_cursor, 3);
}

TEST_F(StatesTest, EscapeInTheMenuEnds) {
    to_menu();
    EXPECT_FALSE(frames(30));
    EXPECT_TRUE(frame_with({HGEK_ESCAPE}));
}

TEST_F(StatesTest, EnterLeadsToTheShopAndFireToPlay) {
    to_menu();
    frame_with({HGEK_ENTER});
    EXPECT_EQ(game_state, STATE_SHOP);
    EXPECT_FLOAT_EQ(view_anchor[0], 400);
    EXPECT_FLOAT_EQ(view_sprite[0]->get_width(), 800);
    frame_with({HGEK_CTRL});
    EXPECT_EQ(game_state, STATE_PLAY);
    EXPECT_EQ(map_index, 0);
    EXPECT_FLOAT_EQ(ship_records[0].x, 0);
    EXPECT_FALSE(clear_screen_once);
    EXPECT_EQ(static_cast<int>(enemy_list.size()), 3); // "0MMM": three meteors at once
    EXPECT_FALSE(spawning);
}

TEST_F(StatesTest, TeamworkSplitsTheScreenAndCopiesTheShips) {
    to_menu();
    frame_with({HGEK_F1});
    ship_records[0].ships = 7;
    frame_with({HGEK_SHIFT});
    EXPECT_FLOAT_EQ(view_sprite[0]->get_width(), 399);
    EXPECT_FLOAT_EQ(view_anchor[0], 200);
    frame_with({HGEK_ENTER});
    EXPECT_EQ(ship_records[1].ships, 7);
    EXPECT_FLOAT_EQ(ship_records[1].y, 590);
    EXPECT_FLOAT_EQ(ship_records[1].angle, -3.14f);
    EXPECT_TRUE(clear_screen_once);
}

TEST_F(StatesTest, EscapeInPlayKeepsProgressAndShowsItsPassword) {
    money = 123;
    level_index = 11;
    to_menu();
    frame_with({HGEK_ENTER});
    frame_with({HGEK_SPACE});
    ASSERT_EQ(game_state, STATE_PLAY);
    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_EQ(money, 123);
    EXPECT_EQ(level_index, 11);
    std::string shown = password;
    money = level_index = 0;
    ASSERT_TRUE(apply_password());
    EXPECT_EQ(money, 123);
    EXPECT_EQ(level_index, 11);
    EXPECT_NE(shown, "AAAAAAAAA");
}

TEST_F(StatesTest, CompletingLevelsPaysAndMovesOn) {
    game_state = STATE_PLAY;
    level_index = 3;
    fake.int_draws.clear();
    complete_level();
    ASSERT_FALSE(fake.int_draws.empty());
    EXPECT_EQ(fake.int_draws.back(), std::make_pair(4, 10));
    EXPECT_EQ(level_index, 4);
    EXPECT_EQ(game_state, STATE_SHOP);
    EXPECT_EQ(money, bonus);

    game_mode = MODE_TEAMWORK;
    complete_level();
    EXPECT_EQ(fake.int_draws.back(), std::make_pair(3, 7));
    iteration = 7;
    complete_level();
    EXPECT_EQ(fake.int_draws.back(), std::make_pair(13, 23));
    game_mode = MODE_ONE_PLAYER;
    complete_level();
    EXPECT_EQ(fake.int_draws.back(), std::make_pair(18, 31));
}

TEST_F(StatesTest, TheFiftiethLevelStartsTheNextPass) {
    level_index = 49;
    iteration = 0;
    complete_level();
    EXPECT_EQ(level_index, 0);
    EXPECT_EQ(iteration, 1);
    EXPECT_EQ(settings.start_enemy, 7);
    EXPECT_EQ(game_state, STATE_SHOP);
}

TEST_F(StatesTest, TheNinthPassReturnsToTheTitleWithEverythingReloaded) {
    fake.ini["game.start_money"] = "5";
    level_index = 30;
    iteration = 8;
    money = 900;
    settings.start_enemy = 40;
    complete_level();
    EXPECT_EQ(game_state, STATE_TITLE);
    EXPECT_EQ(money, 5);
    EXPECT_EQ(level_index, 0);
    EXPECT_EQ(iteration, 0);
    EXPECT_EQ(settings.start_enemy, 6);
}

TEST_F(StatesTest, StartValuesOutsideTheLevelListAreClamped) {
    fake.ini["game.start_level"] = "75";
    fake.ini["game.start_level_iteration"] = "-3";
    load_settings(true);
    EXPECT_EQ(level_index, 49);
    EXPECT_EQ(iteration, 0);
}

TEST_F(StatesTest, GameOverReturnsToTheMenuAfterItsDelay) {
    to_menu();
    game_state = STATE_GAME_OVER;
    game_over_timer = 0;
    fake.delta = 0.5f;
    frames(3);
    EXPECT_EQ(game_state, STATE_GAME_OVER);
    frames(1);
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_EQ(game_over_timer, 0);
}

TEST_F(StatesTest, ShopEscapeReturnsToTheMenu) {
    to_menu();
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_FLOAT_EQ(view_sprite[0]->get_width(), 399);
}

TEST_F(StatesTest, CompetitionStartsFreshPaysEachRivalAndGivesTheGameBack) {
    fake.ini["game.start_money"] = "20";
    fake.ini["game.start_level"] = "2";
    load_settings(true);
    to_menu();
    // The game that the match sets aside.
    money = 500;
    level_index = 11;
    iteration = 1;
    scale_up_difficulty();
    const int scaled_enemy = settings.start_enemy;
    ship_records[0].firepower = 3;
    ship_records[0].ships = ship_records[1].ships = 7;
    frame_with({HGEK_SPACE});
    frame_with({HGEK_SPACE});
    frame_with({HGEK_ENTER});
    ASSERT_EQ(game_state, STATE_SHOP);
    EXPECT_EQ(level_index, 2);
    EXPECT_EQ(iteration, 0);
    EXPECT_LT(settings.start_enemy, scaled_enemy);
    EXPECT_EQ(purse[1], 20);
    EXPECT_EQ(ship_records[0].firepower, 0);
    ship_records[0].ships = 5; // bought by ship 0 alone: ship 1 keeps its own stock
    frame_with({HGEK_ENTER});
    EXPECT_EQ(ship_records[1].ships, 3);

    // Each rival gets an own draw from the ONE PLAYER range, ship 0 first.
    fake.int_draws.clear();
    fake.next_ints = {9, 4};
    complete_level();
    EXPECT_EQ(fake.int_draws, (std::vector<std::pair<int, int>>{{4, 10}, {4, 10}}));
    EXPECT_EQ(purse[0], 29);
    EXPECT_EQ(purse[1], 24);

    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_EQ(game_mode, MODE_COMPETITION);
    EXPECT_EQ(money, 500);
    EXPECT_EQ(level_index, 11);
    EXPECT_EQ(iteration, 1);
    EXPECT_EQ(settings.start_enemy, scaled_enemy);
    EXPECT_EQ(ship_records[0].firepower, 3);
    EXPECT_EQ(ship_records[1].ships, 7);
}

TEST_F(StatesTest, AMatchEndsInAWinOrADrawShownUntilTheMenu) {
    const char* const shown[3] = {"RIGHT PLAYER WINS", "LEFT PLAYER WINS", "DRAW"};
    for (int outcome = 0; outcome < 3; ++outcome) {
        SCOPED_TRACE(outcome);
        fake.delta = 1.0f / 60.0f;
        to_menu();
        frame_with({HGEK_SPACE});
        frame_with({HGEK_SPACE});
        frame_with({HGEK_ENTER});
        frame_with({HGEK_ENTER});
        ASSERT_EQ(game_state, STATE_PLAY);
        ship_records[0].ships = ship_records[1].ships = 1;
        if (outcome != 0) damage_ship(0, 100);
        if (outcome != 1) damage_ship(1, 100);
        frames(1);
        EXPECT_EQ(winner, outcome);
        fake.delta = 0.5f;
        frames(4);
        ASSERT_EQ(game_state, STATE_GAME_OVER);
        TextLine lines[SCREEN_MAX_LINES];
        ASSERT_EQ(game_over_lines(lines), 2);
        EXPECT_STREQ(lines[1].text, shown[outcome]);
        frames(4);
        EXPECT_EQ(game_state, STATE_MENU);
        EXPECT_EQ(game_mode, MODE_COMPETITION);
    }
}

TEST_F(StatesTest, UnknownActionsAndStatesDoNothing) {
    game_state = STATE_SHOP;
    set_game_state(5);
    set_game_state(-1);
    EXPECT_EQ(game_state, STATE_SHOP);
    game_state = 9;
    EXPECT_FALSE(frames(2));
    EXPECT_EQ(game_state, 9);
}

} // namespace
