// Values the game cannot run with are replaced by the nearest usable one and
// logged once; everything else is used as read.
#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cmath>
#include <map>
#include <string>

#include "settings/settings.h"
#include "support/fake_engine.h"

namespace {

// The record the tests read into, as the game keeps its own.
Settings settings{};

class LimitsTest : public ::testing::Test {
  protected:
    FakeEngine fake;
    void SetUp() override { settings = Settings{}; }

    int log_lines_naming(const std::string& key) const {
        int n = 0;
        for (const std::string& line : fake.log)
            if (line.find(" " + key + " ") != std::string::npos) ++n;
        return n;
    }
};

struct Wanted {
    const char* key;
    float value;
};

// The float setting of that key name, NaN when there is none.
float float_setting(const char* key) {
    Wanted w{key, NAN};
    visit_settings(
        settings,
        [](const char*, const char* name, const void* value, bool is_int, void* user) {
            auto* want = static_cast<Wanted*>(user);
            if (!is_int && std::string(name) == want->key)
                want->value = *static_cast<const float*>(value);
        },
        &w);
    return w.value;
}

struct Visit {
    int non_finite = 0;
    int beyond_squared = 0;
};

void check_float(const char*, const char*, const void* value, bool is_int, void* user) {
    if (is_int) return;
    float v = *static_cast<const float*>(value);
    Visit& visit = *static_cast<Visit*>(user);
    if (!std::isfinite(v)) ++visit.non_finite;
    if (std::fabs(v) > 1e12f) ++visit.beyond_squared;
}

TEST_F(LimitsTest, DefaultsPassUnchangedAndSilently) {
    read_settings(settings, true);
    EXPECT_TRUE(fake.log.empty()) << fake.log.front();
    EXPECT_FLOAT_EQ(settings.radar_scale, 8);
    EXPECT_FLOAT_EQ(settings.anim_kaboom_fps, 60);
    EXPECT_EQ(settings.star_count, 70);
    EXPECT_FLOAT_EQ(settings.map_max[0], 1100);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_FIREROCKET].speed_down, 70);
}

struct BadValue {
    const char* ini_key; // "section.key" as the fake engine takes it
    const char* text;
    const char* key; // as the log names it
    float expected;
};

// Each row: a value that would crash, hang, overflow or pile up, and where it ends.
const BadValue BAD_FLOATS[] = {
    {"game.radar_scale", "0", "radar_scale", 0.001f},
    {"game.radar_scale", "-1e-9", "radar_scale", -0.001f},
    {"game.anim_kaboom_fps", "0", "anim_kaboom_fps", 60},
    {"game.anim_kaboom_fps", "-30", "anim_kaboom_fps", 60},
    {"game.anim_boom_fps", "1e9", "anim_boom_fps", 1000},
    {"game.anim_kaboom_delay", "1e9", "anim_kaboom_delay", 60},
    {"game.game_over_delay", "1e12", "game_over_delay", 3600},
    {"game.map_max[0]", "0", "map_max[0]", 1000},
    {"game.map_max[1]", "-2200", "map_max[1]", 1000},
    {"game.map_max[3]", "1e30", "map_max[3]", 1e6f},
    {"game.player_bullet_speed", "0", "player_bullet_speed", 1},
    {"game.player_bullet_speed", "-0.5", "player_bullet_speed", -1},
    {"game.player_bullet_radius", "5000", "player_bullet_radius", 99},
    {"game.one_player_x", "-3e38", "one_player_x", -1e6f},
    {"star.maxx", "1e20", "maxx", 1e6f},
    {"control.forward_speedup_2", "1e25", "forward_speedup_2", 1e6f},
    {"enemy.enemy_firerocket_speed_down", "0", "enemy_firerocket_speed_down", 1},
    {"enemy.enemy_chikenrocket_speed_down", "-34", "enemy_chikenrocket_speed_down", 1},
    {"enemy.enemy_bull_bullet_lifetime", "1e9", "enemy_bull_bullet_lifetime", 60},
    {"enemy.enemy_eagle_speed", "3e38", "enemy_eagle_speed", 1e6f},
    {"enemy.enemy_mozg_turn_out", "-1e30", "enemy_mozg_turn_out", -1e12f},
};

TEST_F(LimitsTest, UnusableFloatsBecomeTheNearestUsableValueWithOneLogLine) {
    for (const BadValue& bad : BAD_FLOATS) {
        SCOPED_TRACE(std::string(bad.ini_key) + " = " + bad.text);
        settings = Settings{};
        fake.ini.clear();
        fake.log.clear();
        fake.ini[bad.ini_key] = bad.text;
        read_settings(settings, true);
        EXPECT_FLOAT_EQ(float_setting(bad.key), bad.expected);
        EXPECT_EQ(fake.log.size(), 1u);
        EXPECT_EQ(log_lines_naming(bad.key), 1);
    }
}

TEST_F(LimitsTest, UnusableIntegersBecomeTheNearestUsableValue) {
    fake.ini["game.start_money"] = "2147483647";
    fake.ini["game.start_level"] = "-7";
    fake.ini["game.start_level_iteration"] = "12";
    fake.ini["upgrade.price_ships"] = "-2147483648";
    fake.ini["upgrade.price_shield_3"] = "-1";
    fake.ini["star.count"] = "1000000000";
    read_settings(settings, true);
    EXPECT_EQ(settings.start_money, 1000000000);
    EXPECT_EQ(settings.start_level, 0);
    EXPECT_EQ(settings.start_level_iteration, 8);
    EXPECT_EQ(settings.price_ships, 0);
    EXPECT_EQ(settings.price_shield[3], 0);
    EXPECT_EQ(settings.star_count, 10000);
    EXPECT_EQ(fake.log.size(), 6u);
}

TEST_F(LimitsTest, OddButHarmlessValuesAreUsedAsRead) {
    fake.ini["game.radar_scale"] = "-8";   // a mirrored radar
    fake.ini["game.clear_radius"] = "-50"; // spawns may be seen
    fake.ini["player0.fire"] = "999";      // no such key: never fires
    fake.ini["upgrade.price_firepower_0"] = "2000000000";
    fake.ini["control.speed_vert_min_0"] = "60"; // flies forward on the back key
    fake.ini["enemy.enemy_bull_fire_cooldown"] = "-1";
    fake.ini["enemy.enemy_disk_fire_radius"] = "9e11";
    fake.ini["game.player_bullet_speed"] = "50";   // slow shots
    fake.ini["game.anim_kaboom_fps"] = "0.5";      // slow explosions
    fake.ini["game.player_bullet_radius"] = "80";  // shots kept in sight longer
    fake.ini["game.player_fire_cooldown"] = "-1";  // fires every frame
    fake.ini["game.start_enemy"] = "-4";           // no opening group
    fake.ini["star.count"] = "-3";                 // no stars
    read_settings(settings, true);
    EXPECT_FLOAT_EQ(settings.player_bullet_speed, 50);
    EXPECT_FLOAT_EQ(settings.anim_kaboom_fps, 0.5f);
    EXPECT_FLOAT_EQ(settings.player_bullet_radius, 80);
    EXPECT_FLOAT_EQ(settings.player_fire_cooldown, -1);
    EXPECT_EQ(settings.start_enemy, -4);
    EXPECT_EQ(settings.star_count, -3);
    EXPECT_FLOAT_EQ(settings.radar_scale, -8);
    fake.ini["game.radar_scale"] = "0.5"; // a wider radar
    read_settings(settings, true);
    EXPECT_FLOAT_EQ(settings.radar_scale, 0.5f);
    EXPECT_FLOAT_EQ(settings.clear_radius, -50);
    EXPECT_EQ(settings.player_keys[0][4], 999);
    EXPECT_EQ(settings.price_firepower[0], 2000000000);
    EXPECT_FLOAT_EQ(settings.speed_vert_min[0], 60);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_BULL].fire_cooldown, -1);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_DISK].fire_radius, 9e11f);
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(LimitsTest, LargeIntegersInRangeAreKeptExactlyAndSilently) {
    fake.ini["upgrade.price_ships"] = "2147483647";
    fake.ini["upgrade.price_shield_4"] = "16777217"; // not a float
    fake.ini["game.start_money"] = "999999999";
    read_settings(settings, true);
    EXPECT_EQ(settings.price_ships, 2147483647);
    EXPECT_EQ(settings.price_shield[4], 16777217);
    EXPECT_EQ(settings.start_money, 999999999);
    EXPECT_TRUE(fake.log.empty()) << fake.log.front();
}

TEST_F(LimitsTest, EachBadValueIsLoggedOnceAcrossReloads) {
    fake.ini["enemy.enemy_hull_speed"] = "7e7";
    read_settings(settings, true);
    read_settings(settings, false);
    read_settings(settings, false);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_HULL].speed, 1e6f);
    EXPECT_EQ(log_lines_naming("enemy_hull_speed"), 1);
    // A different bad value is news.
    fake.ini["enemy.enemy_hull_speed"] = "-8e7";
    read_settings(settings, false);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_HULL].speed, -1e6f);
    EXPECT_EQ(log_lines_naming("enemy_hull_speed"), 2);
}

TEST_F(LimitsTest, PartialReloadAppliesTheLimitsToTheEnemySection) {
    read_settings(settings, true);
    fake.ini["enemy.enemy_firerocket_speed_down"] = "-1";
    fake.ini["game.radar_scale"] = "0"; // not read by a partial reload
    settings.radar_scale = 5;
    read_settings(settings, false);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_FIREROCKET].speed_down, 1);
    EXPECT_FLOAT_EQ(settings.radar_scale, 5);
}

TEST_F(LimitsTest, EveryValueIsFiniteAndBoundedWhateverTheFileSays) {
    const char* extremes[] = {"3.4e38", "-3.4e38", "1e-45", "0", "-1"};
    for (const char* text : extremes) {
        SCOPED_TRACE(text);
        fake.ini.clear();
        visit_settings(
            settings,
            [](const char* section, const char* key, const void*, bool, void* user) {
                auto& ini = *static_cast<std::map<std::string, std::string>*>(user);
                std::string s = section, k = key;
                for (char& c : s)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                for (char& c : k)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                ini[s + "." + k] = "";
            },
            &fake.ini);
        for (auto& entry : fake.ini) entry.second = text;
        read_settings(settings, true);
        Visit v;
        visit_settings(settings, check_float, &v);
        EXPECT_EQ(v.non_finite, 0);
        EXPECT_EQ(v.beyond_squared, 0);
        EXPECT_GE(settings.anim_kaboom_fps, 0.001f);
        EXPECT_GE(std::fabs(settings.radar_scale), 0.001f);
        EXPECT_LE(settings.star_count, 10000);
        for (float side : settings.map_max) EXPECT_GE(side, 1000);
        EXPECT_GE(settings.enemy[FAMILY_CHIKENROCKET].speed_down, 1);
        // Eight passes of scaling keep the values finite too.
        for (int i = 0; i < 8; ++i) scale_up_difficulty(settings);
        Visit scaled;
        visit_settings(settings, check_float, &scaled);
        EXPECT_EQ(scaled.non_finite, 0);
    }
}

TEST(DifficultyTest, StartEnemySaturatesInsteadOfOverflowing) {
    FakeEngine fake;
    settings = Settings{};
    read_settings(settings, true);
    // A password of pass 8 typed again and again repeats eight steps each time.
    int previous = settings.start_enemy;
    for (int i = 0; i < 200; ++i) {
        scale_up_difficulty(settings);
        EXPECT_GE(settings.start_enemy, previous);
        previous = settings.start_enemy;
    }
    EXPECT_EQ(settings.start_enemy, INT32_MAX);
    scale_up_difficulty(settings);
    EXPECT_EQ(settings.start_enemy, INT32_MAX);
}

} // namespace
