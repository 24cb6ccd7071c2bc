#include <cstring>

#include "game/passwords.h"
#include "game_fixture.h"

namespace {

class PasswordTest : public GameTest {};

struct Progress {
    int level_index, iteration, money, ships, firepower, flexibility, shield, game_mode;
    bool operator==(const Progress& o) const {
        return std::memcmp(this, &o, sizeof o) == 0;
    }
};

Progress current() {
    const ship& s = ship_records[0];
    return {level_index, iteration, money, s.ships, s.firepower, s.flexibility, s.shield, game_mode};
}

void set(const Progress& p) {
    level_index = p.level_index;
    iteration = p.iteration;
    money = p.money;
    ship& s = ship_records[0];
    s.ships = p.ships;
    s.firepower = p.firepower;
    s.flexibility = p.flexibility;
    s.shield = p.shield;
    game_mode = p.game_mode;
}

TEST_F(PasswordTest, EveryEncodingOfAStateDecodesToIt) {
    for (int round = 0; round < 300; ++round) {
        Progress p{fake.Random_Int(0, 49), fake.Random_Int(0, 8), fake.Random_Int(0, 1023),
                   fake.Random_Int(0, 99), fake.Random_Int(0, 5), fake.Random_Int(0, 5),
                   fake.Random_Int(0, 5), fake.Random_Int(0, 1)};
        set(p);
        make_password();
        set(Progress{});
        ASSERT_TRUE(apply_password()) << password;
        ASSERT_EQ(current(), p) << password;
    }
}

TEST_F(PasswordTest, TwinLettersDecodeAlike) {
    for (char c : std::string("UKVBLJQIXCYH"))
        EXPECT_LE(password_value(c), 15) << c;
    EXPECT_EQ(password_value('U'), password_value('K'));
    EXPECT_EQ(password_value('Y'), password_value('H'));
    for (char c : std::string("ADSW")) EXPECT_EQ(password_value(c), 200) << c;
    // A 1 picks the first letter, a 0 the second.
    fake.next_ints = {1, 0};
    EXPECT_EQ(password_letter(1), 'U');
    EXPECT_EQ(password_letter(1), 'K');
    EXPECT_EQ(password_letter(0), 'T');
}

TEST_F(PasswordTest, TheSameStateCanEncodeDifferently) {
    set({7, 1, 300, 12, 3, 2, 1, 1});
    make_password();
    std::string first = password;
    bool differed = false;
    for (int i = 0; i < 20 && !differed; ++i) {
        make_password();
        differed = first != password;
    }
    EXPECT_TRUE(differed);
}

TEST_F(PasswordTest, RejectedPasswordsChangeNothing) {
    set({3, 0, 55, 4, 1, 1, 1, 0});
    std::strcpy(password, "AAAAAAAAA");
    EXPECT_FALSE(apply_password());
    EXPECT_EQ(current(), (Progress{3, 0, 55, 4, 1, 1, 1, 0}));

    // A ship count of -1 encodes its low 7 bits (127) and is refused when typed back.
    set({3, 0, 55, -1, 1, 1, 1, 0});
    make_password();
    set({3, 0, 55, 4, 1, 1, 1, 0});
    EXPECT_FALSE(apply_password());
    EXPECT_EQ(current(), (Progress{3, 0, 55, 4, 1, 1, 1, 0}));

    // Upgrade levels above 5 are refused.
    set({3, 0, 55, 4, 6, 1, 1, 0});
    make_password();
    set({0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(apply_password());
}

TEST_F(PasswordTest, HighLevelsAndLargeSums) {
    // L = 420: ninth pass.
    set({20, 8, 1024 + 77, 3, 0, 0, 0, 0});
    make_password();
    set(Progress{});
    ASSERT_TRUE(apply_password());
    EXPECT_EQ(iteration, 8);
    EXPECT_EQ(level_index, 20);
    EXPECT_EQ(money, 77);
}

TEST_F(PasswordTest, ApplyingRestoresAndScalesTheEnemies) {
    settings.enemy[FAMILY_BULL].speed = 1;
    settings.start_enemy = 6;
    set({5, 2, 0, 3, 0, 0, 0, 0});
    make_password();
    ship_records[1].firepower = 4;
    ASSERT_TRUE(apply_password());
    float expected = 90.0f;
    expected *= 1.05f;
    expected *= 1.05f;
    EXPECT_EQ(settings.enemy[FAMILY_BULL].speed, expected);
    EXPECT_EQ(settings.start_enemy, 8);
    EXPECT_EQ(ship_records[1].firepower, 4);
}

TEST_F(PasswordTest, RetypingAPasswordRestoresTheSameGameEveryTime) {
    // LMTTTTVUT is level 0 of the second pass; TTTTTTTTT level 0 of the first.
    for (int round = 0; round < 3; ++round) {
        for (char c : std::string("LMTTTTVUT")) type_password_letter(c);
        EXPECT_EQ(iteration, 1);
        EXPECT_EQ(settings.start_enemy, 7) << "round " << round;
        EXPECT_FLOAT_EQ(settings.enemy[FAMILY_BULL].speed, 90 * 1.05f);
    }
    for (char c : std::string("TTTTTTTTT")) type_password_letter(c);
    EXPECT_EQ(iteration, 0);
    EXPECT_EQ(settings.start_enemy, 6);
    EXPECT_EQ(settings.spawn_delay, 0);
}

TEST_F(PasswordTest, TheNinthLetterApplies) {
    set({9, 0, 100, 5, 2, 3, 4, 1});
    make_password();
    std::string typed = password;
    set(Progress{});
    std::strcpy(password, "TTTTTTTTT");
    for (int i = 0; i < 8; ++i) type_password_letter(typed[i]);
    EXPECT_EQ(password_cursor, 8);
    EXPECT_EQ(money, 0);
    type_password_letter(typed[8]);
    EXPECT_EQ(password_cursor, 0);
    EXPECT_EQ(current(), (Progress{9, 0, 100, 5, 2, 3, 4, 1}));
    EXPECT_EQ(std::string(password), typed);
    // Further letters start over at the first position.
    type_password_letter('A');
    EXPECT_EQ(password[0], 'A');
    EXPECT_EQ(password_cursor, 1);
}

TEST_F(PasswordTest, AnOutOfRangeCursorNeverWritesOutsideThePassword) {
    password_cursor = 42;
    type_password_letter('T');
    EXPECT_EQ(password[0], 'T');
    EXPECT_EQ(password_cursor, 1);
    EXPECT_EQ(password[9], '\0');
}

} // namespace
