// The settings file reader: defaults, case, bad values, changes on disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include "engine/sdl/ini_file.h"
#include "headless.h"

TEST(IniValues, IntsAreWholeDecimalNumbersInRange) {
    int v = -7;
    EXPECT_TRUE(parse_ini_int("42", &v));
    EXPECT_EQ(v, 42);
    EXPECT_TRUE(parse_ini_int("  -17  ", &v));
    EXPECT_EQ(v, -17);
    EXPECT_TRUE(parse_ini_int("+5", &v));
    EXPECT_EQ(v, 5);
    EXPECT_TRUE(parse_ini_int("2147483647", &v));
    EXPECT_EQ(v, 2147483647);
    EXPECT_TRUE(parse_ini_int("-2147483648", &v));
    EXPECT_EQ(v, -2147483647 - 1);
    v = 99;
    for (const char* bad : {"", "  ", "abc", "12abc", "1.5", "0x10", "- 3", "--3", "2147483648",
                            "-2147483649", "99999999999999999999"}) {
        EXPECT_FALSE(parse_ini_int(bad, &v)) << bad;
        EXPECT_EQ(v, 99) << bad;
    }
}

TEST(IniValues, FloatsTakeStrtofFormButNotInfinityOrNan) {
    float v = 0;
    EXPECT_TRUE(parse_ini_float("1.5", &v));
    EXPECT_EQ(v, 1.5f);
    EXPECT_TRUE(parse_ini_float(" -0.08 ", &v));
    EXPECT_EQ(v, -0.08f);
    EXPECT_TRUE(parse_ini_float("250000", &v));
    EXPECT_EQ(v, 250000.0f);
    EXPECT_TRUE(parse_ini_float("1e3", &v));
    EXPECT_EQ(v, 1000.0f);
    EXPECT_TRUE(parse_ini_float(".5", &v));
    EXPECT_EQ(v, 0.5f);
    v = 3.25f;
    for (const char* bad : {"", "  ", "x", "1.5x", "1,5", "inf", "-infinity", "nan", "1e60"}) {
        EXPECT_FALSE(parse_ini_float(bad, &v)) << bad;
        EXPECT_EQ(v, 3.25f) << bad;
    }
}

class IniFileTest : public ::testing::Test {
  protected:
    TempDir dir;
    IniFile ini;
};

TEST_F(IniFileTest, ReadsValuesWithoutRegardToCaseAndWithBracketKeys) {
    dir.write("s.ini", "[Game]\nstart_enemy = 9\nclear_radius=12.5\nmap_max[2] = 3000\n"
                       "; a comment\n[Player0]\nLeft=65\n");
    ini.set_path(dir.file("s.ini"));
    EXPECT_EQ(ini.get_int("Game", "start_enemy", 6), 9);
    EXPECT_EQ(ini.get_int("GAME", "START_ENEMY", 6), 9);
    EXPECT_EQ(ini.get_float("game", "Clear_Radius", 35.0f), 12.5f);
    EXPECT_EQ(ini.get_float("Game", "map_max[2]", 3300.0f), 3000.0f);
    EXPECT_EQ(ini.get_float("Game", "map_max[3]", 4400.0f), 4400.0f);
    EXPECT_EQ(ini.get_int("player0", "left", 37), 65);
    EXPECT_EQ(ini.get_int("Player1", "left", 65), 65);
}

TEST_F(IniFileTest, MissingFileSectionOrKeyAndBadValuesGiveTheDefault) {
    ini.set_path(dir.file("absent.ini"));
    EXPECT_EQ(ini.get_int("Game", "start_enemy", 6), 6);
    EXPECT_EQ(ini.get_float("Game", "clear_radius", 35.0f), 35.0f);
    dir.write("s.ini", "[Game]\na = lots\nb = 99999999999\nc = 4.5\nd = nan\ne =\n");
    ini.set_path(dir.file("s.ini"));
    EXPECT_EQ(ini.get_int("Game", "a", 1), 1);
    EXPECT_EQ(ini.get_int("Game", "b", 2), 2);
    EXPECT_EQ(ini.get_int("Game", "c", 3), 3);
    EXPECT_EQ(ini.get_float("Game", "c", 0.0f), 4.5f);
    EXPECT_EQ(ini.get_float("Game", "d", 7.0f), 7.0f);
    EXPECT_EQ(ini.get_float("Game", "e", 8.0f), 8.0f);
    EXPECT_EQ(ini.get_int("Nope", "a", 4), 4);
    EXPECT_EQ(ini.get_int("Game", "zzz", 5), 5);
    EXPECT_EQ(ini.get_int(nullptr, "a", 6), 6);
    ini.set_path("");
    EXPECT_EQ(ini.get_int("Game", "c", 9), 9);
}

TEST_F(IniFileTest, TheFirstOfDuplicateKeysCounts) {
    dir.write("s.ini", "[Game]\nx = 1\nx = 2\n[game]\nx = 3\n");
    ini.set_path(dir.file("s.ini"));
    EXPECT_EQ(ini.get_int("Game", "x", 0), 1);
}

TEST_F(IniFileTest, ChangesOnDiskAreSeen) {
    dir.write("s.ini", "[Enemy]\nenemy_bull_speed = 90\n");
    ini.set_path(dir.file("s.ini"));
    EXPECT_EQ(ini.get_float("Enemy", "enemy_bull_speed", 0), 90.0f);
    dir.write("s.ini", "[Enemy]\nenemy_bull_speed = 120.5\n"); // other size
    EXPECT_EQ(ini.get_float("Enemy", "enemy_bull_speed", 0), 120.5f);
    // Same size, other contents: only the modification time tells.
    dir.write("s.ini", "[Enemy]\nenemy_bull_speed = 777.5\n");
    struct utimbuf times = {1000000000, 1000000000};
    ASSERT_EQ(utime(dir.file("s.ini").c_str(), &times), 0);
    EXPECT_EQ(ini.get_float("Enemy", "enemy_bull_speed", 0), 777.5f);
    std::remove(dir.file("s.ini").c_str());
    EXPECT_EQ(ini.get_float("Enemy", "enemy_bull_speed", 1.0f), 1.0f);
}

TEST(IniThroughEngine, TheIniNameResolvesInTheDataFolder) {
    TempDir dir;
    dir.write("Settings.ini", "[Game]\nstart_money = 250\n");
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    ASSERT_NE(e, nullptr);
    e->System_SetState(HGE_INIFILE, "data/Settings.ini");
    e->System_SetState(HGE_DATADIR, dir.path().c_str()); // after the name: still found
    EXPECT_EQ(e->Ini_GetInt("Game", "start_money", 0), 250);
    EXPECT_EQ(e->Ini_GetFloat("game", "START_MONEY", 0.0f), 250.0f);
    EXPECT_EQ(e->Ini_GetInt("Game", "start_level", 3), 3);
    e->System_SetState(HGE_INIFILE, "data/Other.ini");
    EXPECT_EQ(e->Ini_GetInt("Game", "start_money", 11), 11);
    e->Release();
    engine_set_backend(nullptr);
}
