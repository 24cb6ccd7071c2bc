#include <cstring>

#include "base/pcg32.h"

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

Progress current(const World& w) {
    const ship& s = w.ship_records[0];
    return {w.level_index, w.iteration,   w.money,  s.ships,
            s.firepower,   s.flexibility, s.shield, w.game_mode};
}

void set(World& w, const Progress& p) {
    w.level_index = p.level_index;
    w.iteration = p.iteration;
    w.money = p.money;
    ship& s = w.ship_records[0];
    s.ships = p.ships;
    s.firepower = p.firepower;
    s.flexibility = p.flexibility;
    s.shield = p.shield;
    w.game_mode = p.game_mode;
}

TEST_F(PasswordTest, EveryEncodingOfAStateDecodesToIt) {
    // States from a generator of the test's own, apart from the world's draws.
    Pcg32 rng;
    pcg32_seed(rng, 7);
    for (int round = 0; round < 300; ++round) {
        Progress p{pcg32_int(rng, 0, 49), pcg32_int(rng, 0, 8), pcg32_int(rng, 0, 1023),
                   pcg32_int(rng, 0, 99), pcg32_int(rng, 0, 5), pcg32_int(rng, 0, 5),
                   pcg32_int(rng, 0, 5),  pcg32_int(rng, 0, 1)};
        set(w, p);
        make_password(w);
        set(w, Progress{});
        ASSERT_TRUE(apply_password(w)) << w.password;
        ASSERT_EQ(current(w), p) << w.password;
    }
}

TEST_F(PasswordTest, TwinLettersDecodeAlike) {
    for (char c : std::string("UKVBLJQIXCYH"))
        EXPECT_LE(password_value(c), 15) << c;
    EXPECT_EQ(password_value('U'), password_value('K'));
    EXPECT_EQ(password_value('Y'), password_value('H'));
    for (char c : std::string("ADSW")) EXPECT_EQ(password_value(c), 200) << c;
    // A 1 picks the first letter, a 0 the second.
    draws.next_ints = {1, 0};
    EXPECT_EQ(password_letter(w, 1), 'U');
    EXPECT_EQ(password_letter(w, 1), 'K');
    EXPECT_EQ(password_letter(w, 0), 'T');
}

TEST_F(PasswordTest, TheSameStateCanEncodeDifferently) {
    set(w, {7, 1, 300, 12, 3, 2, 1, 1});
    make_password(w);
    std::string first = w.password;
    bool differed = false;
    for (int i = 0; i < 20 && !differed; ++i) {
        make_password(w);
        differed = first != w.password;
    }
    EXPECT_TRUE(differed);
}

TEST_F(PasswordTest, RejectedPasswordsChangeNothing) {
    set(w, {3, 0, 55, 4, 1, 1, 1, 0});
    std::strcpy(w.password, "AAAAAAAAA");
    EXPECT_FALSE(apply_password(w));
    EXPECT_EQ(current(w), (Progress{3, 0, 55, 4, 1, 1, 1, 0}));

    // A ship count of -1 encodes its low 7 bits (127) and is refused when typed back.
    set(w, {3, 0, 55, -1, 1, 1, 1, 0});
    make_password(w);
    set(w, {3, 0, 55, 4, 1, 1, 1, 0});
    EXPECT_FALSE(apply_password(w));
    EXPECT_EQ(current(w), (Progress{3, 0, 55, 4, 1, 1, 1, 0}));

    // Upgrade levels above 5 are refused.
    set(w, {3, 0, 55, 4, 6, 1, 1, 0});
    make_password(w);
    set(w, {0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(apply_password(w));
}

TEST_F(PasswordTest, HighLevelsAndLargeSums) {
    // L = 420: ninth pass.
    set(w, {20, 8, 1024 + 77, 3, 0, 0, 0, 0});
    make_password(w);
    set(w, Progress{});
    ASSERT_TRUE(apply_password(w));
    EXPECT_EQ(w.iteration, 8);
    EXPECT_EQ(w.level_index, 20);
    EXPECT_EQ(w.money, 77);
}

TEST_F(PasswordTest, ApplyingRestoresAndScalesTheEnemies) {
    w.settings.enemy[FAMILY_BULL].speed = 1;
    w.settings.start_enemy = 6;
    set(w, {5, 2, 0, 3, 0, 0, 0, 0});
    make_password(w);
    w.ship_records[1].firepower = 4;
    ASSERT_TRUE(apply_password(w));
    float expected = 90.0f;
    expected *= 1.05f;
    expected *= 1.05f;
    EXPECT_EQ(w.settings.enemy[FAMILY_BULL].speed, expected);
    EXPECT_EQ(w.settings.start_enemy, 8);
    EXPECT_EQ(w.ship_records[1].firepower, 4);
}

TEST_F(PasswordTest, RetypingAPasswordRestoresTheSameGameEveryTime) {
    // LMTTTTVUT is level 0 of the second pass; TTTTTTTTT level 0 of the first.
    for (int round = 0; round < 3; ++round) {
        for (char c : std::string("LMTTTTVUT")) type_password_letter(w, c);
        EXPECT_EQ(w.iteration, 1);
        EXPECT_EQ(w.settings.start_enemy, 7) << "round " << round;
        EXPECT_FLOAT_EQ(w.settings.enemy[FAMILY_BULL].speed, 90 * 1.05f);
    }
    for (char c : std::string("TTTTTTTTT")) type_password_letter(w, c);
    EXPECT_EQ(w.iteration, 0);
    EXPECT_EQ(w.settings.start_enemy, 6);
    EXPECT_EQ(w.settings.spawn_delay, 0);
}

TEST_F(PasswordTest, TheNinthLetterApplies) {
    set(w, {9, 0, 100, 5, 2, 3, 4, 1});
    make_password(w);
    std::string typed = w.password;
    set(w, Progress{});
    std::strcpy(w.password, "TTTTTTTTT");
    for (int i = 0; i < 8; ++i) type_password_letter(w, typed[i]);
    EXPECT_EQ(w.password_cursor, 8);
    EXPECT_EQ(w.money, 0);
    type_password_letter(w, typed[8]);
    EXPECT_EQ(w.password_cursor, 0);
    EXPECT_EQ(current(w), (Progress{9, 0, 100, 5, 2, 3, 4, 1}));
    EXPECT_EQ(std::string(w.password), typed);
    // Further letters start over at the first position.
    type_password_letter(w, 'A');
    EXPECT_EQ(w.password[0], 'A');
    EXPECT_EQ(w.password_cursor, 1);
}

TEST_F(PasswordTest, AnOutOfRangeCursorNeverWritesOutsideThePassword) {
    w.password_cursor = 42;
    type_password_letter(w, 'T');
    EXPECT_EQ(w.password[0], 'T');
    EXPECT_EQ(w.password_cursor, 1);
    EXPECT_EQ(w.password[9], '\0');
}

} // namespace
