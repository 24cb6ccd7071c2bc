#include "render/screens.h"

#include <climits>
#include <string>

#include "gfx/font.h"
#include "render_fixture.h"

namespace {

class ScreensTest : public RenderFixture {
  protected:
    TextLine lines[SCREEN_MAX_LINES];

    std::vector<std::string> texts(int count) const {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) out.push_back(lines[i].text);
        return out;
    }
    // The text of the line that starts with `prefix`, or "" when absent.
    std::string line_starting(int count, const std::string& prefix) const {
        for (int i = 0; i < count; ++i)
            if (std::string(lines[i].text).compare(0, prefix.size(), prefix) == 0)
                return lines[i].text;
        return "";
    }
    void set_level(int number) {
        w.iteration = number / 50;
        w.level_index = number % 50;
    }
};

void expect_line(const TextLine& line, const char* text, float x, float y, int align) {
    EXPECT_STREQ(line.text, text);
    EXPECT_FLOAT_EQ(line.x, x) << text;
    EXPECT_FLOAT_EQ(line.y, y) << text;
    EXPECT_EQ(line.align, align) << text;
}

TEST_F(ScreensTest, QualityNames) {
    const char* names[] = {"VERY LOW", "LOW", "AVERAGE", "IMPROVED", "GOOD", "BEST"};
    for (int level = 0; level <= 5; ++level) {
        EXPECT_EQ(quality_name(level), names[level]);
        EXPECT_STREQ(quality_label(level), names[level]);
    }
    for (int level : {6, -1, 100, INT_MIN, INT_MAX}) {
        EXPECT_EQ(quality_name(level), "ERROR_LEVEL");
        EXPECT_STREQ(quality_label(level), "ERROR_LEVEL");
    }
}

TEST_F(ScreensTest, CompetitionShopShowsEachRivalOverItsOwnView) {
    w.game_mode = MODE_COMPETITION;
    w.purse[0] = 40;
    w.purse[1] = 7;
    w.ship_records[0].shield = 5;
    w.ship_records[1].ships = 99;
    const int n = shop_lines(w, lines);
    ASSERT_LE(n, SCREEN_MAX_LINES);
    std::string left, right;
    for (int i = 0; i < n; ++i)
        if (lines[i].align == TEXT_LEFT)
            (lines[i].x < 400 ? left : right) += lines[i].text + std::string("|");
    EXPECT_NE(left.find("CREDITS    7.000|1  SHIPS:       99|2  FLEXIBILITY: VERY LOW|"),
              std::string::npos) << left;
    EXPECT_NE(right.find("CREDITS   40.000|F1 SHIPS:       00|PRICE  10.000|"), std::string::npos);
    EXPECT_NE(right.find("|F4 SHIELD:      BEST|"), std::string::npos) << right;
}

TEST_F(ScreensTest, MenuInOnePlayer) {
    w.game_mode = MODE_ONE_PLAYER;
    std::snprintf(w.password, sizeof w.password, "%s", "KORVANEAB");
    int n = menu_lines(scene(), lines);
    ASSERT_EQ(n, 4);
    expect_line(lines[0], "ONE PLAYER", 200, 435, TEXT_CENTER);
    expect_line(lines[1], "SPACE CHANGE GAMEMODE", 200, 455, TEXT_CENTER);
    expect_line(lines[2], "PASSWORD:\nKORVANEAB\nLEVEL: 000", 520, 435, TEXT_LEFT);
    expect_line(lines[3], "ARROWS AND CTRL", 600, 560, TEXT_CENTER);
}

TEST_F(ScreensTest, MenuInTeamworkAndCompetition) {
    w.game_mode = MODE_TEAMWORK;
    int n = menu_lines(scene(), lines);
    ASSERT_EQ(n, 5);
    EXPECT_STREQ(lines[0].text, "TEAMWORK");
    EXPECT_STREQ(lines[2].text, "PASSWORD:\nAAAAAAAAA\nLEVEL: 000");
    expect_line(lines[4], "WASD AND Q", 200, 560, TEXT_CENTER);

    // COMPETITION hides the password block but keeps both key lines.
    w.game_mode = MODE_COMPETITION;
    n = menu_lines(scene(), lines);
    EXPECT_EQ(texts(n), (std::vector<std::string>{"COMPETITION", "SPACE CHANGE GAMEMODE",
                                                  "ARROWS AND CTRL", "WASD AND Q"}));

    // An unknown mode has an empty name; everything else shows.
    w.game_mode = 7;
    n = menu_lines(scene(), lines);
    ASSERT_EQ(n, 5);
    EXPECT_STREQ(lines[0].text, "");
}

TEST_F(ScreensTest, MenuShowsTheHudsNoticeLastAtTheTopAndTheQuitQuestionFirst) {
    w.game_state = STATE_MENU;
    std::snprintf(hud.notice, sizeof hud.notice, "%s", "PARTNER LEFT");
    int n = menu_lines(scene(), lines);
    ASSERT_EQ(n, 5);
    expect_line(lines[4], "PARTNER LEFT", NOTICE_X, NOTICE_Y, TEXT_CENTER);
    w.quit_timer = 1;
    ASSERT_EQ(menu_lines(scene(), lines), 5);
    EXPECT_STREQ(lines[4].text, "PRESS ESCAPE AGAIN TO QUIT");
    w.quit_timer = 0;
    hud.notice[0] = '\0';
    EXPECT_EQ(menu_lines(scene(), lines), 4);
}

TEST_F(ScreensTest, MenuHintsNameThePlayersOwnKeys) {
    w.game_mode = MODE_TEAMWORK;
    w.ship_records[0].key_fire = 'M';
    ship& s = w.ship_records[1];
    s.key_left = 'J', s.key_right = 'L', s.key_up = 'I', s.key_down = 'K', s.key_fire = HGEK_SPACE;
    int n = menu_lines(scene(), lines);
    EXPECT_EQ(line_starting(n, "ARROWS"), "ARROWS AND M");
    EXPECT_EQ(line_starting(n, "J "), "J L I K AND SPACE");
}

TEST_F(ScreensTest, MenuLevelHasLeadingZeros) {
    struct {
        int number;
        const char* shown;
    } cases[] = {{0, "000"}, {9, "009"}, {10, "010"}, {99, "099"}, {100, "100"}, {449, "449"}};
    for (auto& c : cases) {
        set_level(c.number);
        int n = menu_lines(scene(), lines);
        EXPECT_EQ(line_starting(n, "PASSWORD"), std::string("PASSWORD:\nAAAAAAAAA\nLEVEL: ") +
                                                     c.shown);
    }
}

TEST_F(ScreensTest, ShopWithDefaults) {
    w.bonus = 7;
    w.money = 123;
    w.ship_records[0].ships = 3;
    w.ship_records[0].flexibility = 0;
    w.ship_records[0].firepower = 2;
    w.ship_records[0].shield = 4;
    // Ship 1's grades never show.
    w.ship_records[1].ships = 50;
    w.ship_records[1].firepower = 5;
    int n = shop_lines(w, lines);
    ASSERT_EQ(n, 10);
    expect_line(lines[0], "BONUS          7.000   CREDITS 123.000", 116, 57, TEXT_LEFT);
    expect_line(lines[1], "F1 SHIPS:       03", 68, 137, TEXT_LEFT);
    expect_line(lines[2], "PRICE  10.000", 516, 137, TEXT_LEFT);
    expect_line(lines[3], "F2 FLEXIBILITY: VERY LOW", 68, 166, TEXT_LEFT);
    expect_line(lines[4], "PRICE  50.000", 516, 166, TEXT_LEFT);
    expect_line(lines[5], "F3 FIREPOWER:   AVERAGE", 68, 197, TEXT_LEFT);
    expect_line(lines[6], "PRICE 250.000", 516, 197, TEXT_LEFT);
    expect_line(lines[7], "F4 SHIELD:      GOOD", 68, 227, TEXT_LEFT);
    expect_line(lines[8], "PRICE 200.000", 516, 227, TEXT_LEFT);
    expect_line(lines[9], "PUSH FIRE FOR LEVEL 000", 400, 297, TEXT_CENTER);

    w.bonus = 0;
    w.money = 5;
    shop_lines(w, lines);
    EXPECT_STREQ(lines[0].text, "BONUS          0.000   CREDITS   5.000");
    // Values wider than their columns are shown whole.
    w.bonus = INT_MIN;
    w.money = 10000;
    shop_lines(w, lines);
    EXPECT_STREQ(lines[0].text, "BONUS-2147483648.000   CREDITS10000.000");
}

TEST_F(ScreensTest, ShopShipsCountAndItsPrice) {
    struct {
        int ships;
        const char* shown;
        bool price;
    } cases[] = {{0, "F1 SHIPS:       00", true},  {9, "F1 SHIPS:       09", true},
                 {10, "F1 SHIPS:       10", true}, {98, "F1 SHIPS:       98", true},
                 {99, "F1 SHIPS:       99", false}, {120, "F1 SHIPS:       120", false}};
    w.settings.price_ships = 7;
    for (auto& c : cases) {
        w.ship_records[0].ships = c.ships;
        int n = shop_lines(w, lines);
        EXPECT_STREQ(lines[1].text, c.shown);
        if (c.price) {
            ASSERT_EQ(n, 10);
            expect_line(lines[2], "PRICE   7.000", 516, 137, TEXT_LEFT);
        } else {
            ASSERT_EQ(n, 9);
            EXPECT_STREQ(lines[2].text, "F2 FLEXIBILITY: VERY LOW");
        }
    }
}

TEST_F(ScreensTest, ShopPricesFollowTheLevelAndStopAtTheTop) {
    for (int i = 0; i < 5; ++i) {
        w.settings.price_flexibility[i] = 10 + i;
        w.settings.price_firepower[i] = 20 + i;
        w.settings.price_shield[i] = 30 + i;
    }
    ship& s = w.ship_records[0];
    for (int level = 0; level < 5; ++level) {
        s.flexibility = s.firepower = s.shield = level;
        int n = shop_lines(w, lines);
        ASSERT_EQ(n, 10);
        EXPECT_EQ(std::string(lines[4].text), "PRICE  1" + std::to_string(level) + ".000");
        EXPECT_EQ(std::string(lines[6].text), "PRICE  2" + std::to_string(level) + ".000");
        EXPECT_EQ(std::string(lines[8].text), "PRICE  3" + std::to_string(level) + ".000");
        EXPECT_FLOAT_EQ(lines[8].y, 227);
    }
    // At the top, and for levels outside the tables, the name stays and the price goes.
    for (int level : {5, 6, -1, INT_MIN}) {
        s.flexibility = s.firepower = s.shield = level;
        int n = shop_lines(w, lines);
        const char* name = level == 5 ? "BEST" : "ERROR_LEVEL";
        EXPECT_EQ(texts(n), (std::vector<std::string>{
                                "BONUS          0.000   CREDITS   0.000",
                                "F1 SHIPS:       00", "PRICE  10.000",
                                std::string("F2 FLEXIBILITY: ") + name,
                                std::string("F3 FIREPOWER:   ") + name,
                                std::string("F4 SHIELD:      ") + name,
                                "PUSH FIRE FOR LEVEL 000"}))
            << level;
    }
    // Each upgrade's price line depends on its own level only.
    s.flexibility = 5;
    s.firepower = 1;
    s.shield = 5;
    int n = shop_lines(w, lines);
    ASSERT_EQ(n, 8);
    expect_line(lines[5], "PRICE  21.000", 516, 197, TEXT_LEFT);
}

TEST_F(ScreensTest, ShopLevelReadsAsTheMenusDoes) {
    struct {
        int number;
        const char* shown;
    } cases[] = {{0, "PUSH FIRE FOR LEVEL 000"},  {9, "PUSH FIRE FOR LEVEL 009"},
                 {10, "PUSH FIRE FOR LEVEL 010"}, {99, "PUSH FIRE FOR LEVEL 099"},
                 {100, "PUSH FIRE FOR LEVEL 100"}, {449, "PUSH FIRE FOR LEVEL 449"}};
    for (auto& c : cases) {
        set_level(c.number);
        int n = shop_lines(w, lines);
        expect_line(lines[n - 1], c.shown, 400, 297, TEXT_CENTER);
    }
}

TEST_F(ScreensTest, GameOver) {
    int n = game_over_lines(w, lines);
    ASSERT_EQ(n, 1);
    expect_line(lines[0], "G A M E     O V E R", 400, 100, TEXT_CENTER);
}

} // namespace
