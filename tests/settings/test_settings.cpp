#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "support/fake_engine.h"

namespace {

// The record the tests read into, as the game keeps its own.
Settings settings{};

class SettingsTest : public ::testing::Test {
protected:
    FakeEngine fake;
    void SetUp() override { settings = Settings{}; }
};

TEST_F(SettingsTest, MissingFileGivesEveryDefault) {
    read_settings(settings, true);
    EXPECT_FLOAT_EQ(settings.game_over_delay, 1.5f);
    EXPECT_EQ(settings.start_enemy, 6);
    EXPECT_FLOAT_EQ(settings.anim_kaboom_delay, 0.08f);
    EXPECT_EQ(settings.player_keys[0][0], 37);
    EXPECT_EQ(settings.player_keys[0][4], 17);
    EXPECT_EQ(settings.player_keys[1][2], 87);
    EXPECT_EQ(settings.player_keys[1][4], 81);
    EXPECT_EQ(settings.price_flexibility[4], 250);
    EXPECT_EQ(settings.price_firepower[1], 180);
    EXPECT_EQ(settings.price_shield[0], 25);
    EXPECT_EQ(settings.price_ships, 10);
    EXPECT_EQ(settings.star_count, 70);
    EXPECT_FLOAT_EQ(settings.star_maxx, 1100);
    EXPECT_FLOAT_EQ(settings.split_screen_player1_y, 400);
    EXPECT_FLOAT_EQ(settings.player_fire_reaction_delay, 0.6f);
    EXPECT_FLOAT_EQ(settings.speed_vert_min[5], -140);
    EXPECT_FLOAT_EQ(settings.rotate_left_max[2], -2.1f);
    EXPECT_FLOAT_EQ(settings.backward_speeddown[3], -230);
    EXPECT_FLOAT_EQ(settings.rotate_speeddown[0], 7.5f);
    EXPECT_FLOAT_EQ(settings.radar_scale, 8);
    EXPECT_FLOAT_EQ(settings.map_max[3], 4400);
    EXPECT_FLOAT_EQ(settings.player_ship_radius, 14);
    EXPECT_FLOAT_EQ(settings.enemy_bullet_speed, 250);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_METEOR].speed_max, 120);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_HULL].bullet_angle, 0.07f);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_ANANASGUN].fire_sensetivity, 0.6f);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_ARROW].turn_to_think_delay_max, 10);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_CHIKEN].fire_outrange, 15);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_MOZG].bullet_outrange, 33);
    EXPECT_FLOAT_EQ(settings.spawn_delay, 0);
}

TEST_F(SettingsTest, FileValuesReplaceDefaultsByKeyName) {
    fake.ini["game.map_max[2]"] = "1234.5";
    fake.ini["player1.fire"] = "16";
    fake.ini["upgrade.price_shield_4"] = "7";
    fake.ini["control.forward_speedup_5"] = "1";
    fake.ini["enemy.enemy_bull_speed"] = "99";
    read_settings(settings, true);
    EXPECT_FLOAT_EQ(settings.map_max[2], 1234.5f);
    EXPECT_EQ(settings.player_keys[1][4], 16);
    EXPECT_EQ(settings.price_shield[4], 7);
    EXPECT_FLOAT_EQ(settings.forward_speedup[5], 1);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_BULL].speed, 99);
}

TEST_F(SettingsTest, PartialReloadTouchesOnlyTheEnemySection) {
    read_settings(settings, true);
    settings.price_ships = 77;
    settings.player_keys[0][0] = 5;
    settings.start_enemy = 12;
    settings.enemy[FAMILY_EAGLE].speed = 1;
    settings.enemy_bullet_speed = 2;
    read_settings(settings, false);
    EXPECT_EQ(settings.price_ships, 77);
    EXPECT_EQ(settings.player_keys[0][0], 5);
    EXPECT_EQ(settings.start_enemy, 12);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_EAGLE].speed, 110);
    EXPECT_FLOAT_EQ(settings.enemy_bullet_speed, 250);
}

TEST_F(SettingsTest, DifficultyStepsCompoundInSinglePrecision) {
    read_settings(settings, true);
    std::vector<int> start_enemy;
    for (int i = 0; i < 4; ++i) {
        scale_up_difficulty(settings);
        start_enemy.push_back(settings.start_enemy);
    }
    EXPECT_EQ(start_enemy, (std::vector<int>{7, 8, 10, 12}));

    read_settings(settings, true);
    scale_up_difficulty(settings);
    scale_up_difficulty(settings);
    EXPECT_EQ(settings.start_enemy, 8);
    float up = 90.0f;
    up *= 1.05f;
    up *= 1.05f;
    EXPECT_EQ(settings.enemy[FAMILY_BULL].speed, up);
    float down = 1.5f;
    down *= 0.9f;
    down *= 0.9f;
    EXPECT_EQ(settings.enemy[FAMILY_BULL].fire_cooldown, down);
    // Unmarked values never change, marked ones move the marked way.
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_BULL].bullet_outrange, 15);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_METEOR].rotate_max, 6);
    EXPECT_FLOAT_EQ(settings.enemy[FAMILY_DISK].turn_to, 290000);
    EXPECT_GT(settings.enemy[FAMILY_ANANASGUN].fire_cooldown, 0.2f);
    EXPECT_LT(settings.enemy[FAMILY_DRAGONFLY].turn_to, 290000);
    EXPECT_GT(settings.enemy_bullet_speed, 250);
    EXPECT_FLOAT_EQ(settings.enemy_bullet_radius, 4);
    EXPECT_EQ(settings.spawn_delay, 0);
    // Game-section values are not the enemies'.
    EXPECT_FLOAT_EQ(settings.player_bullet_speed, 777);
}

struct Visit {
    std::vector<std::string> names;
    int ints = 0;
};

void collect(const char* section, const char* key, const void*, bool is_int, void* user) {
    Visit& v = *static_cast<Visit*>(user);
    v.names.push_back(std::string(section) + "." + key);
    v.ints += is_int;
}

TEST_F(SettingsTest, KeysAreVisitedInReadingOrder) {
    Visit v;
    visit_settings(settings, collect, &v);
    ASSERT_FALSE(v.names.empty());
    EXPECT_EQ(v.names.front(), "Game.game_over_delay");
    EXPECT_EQ(v.names[14], "Player0.left");
    EXPECT_EQ(v.names[24], "Upgrade.price_flexibility_0");
    EXPECT_EQ(v.names.back(), "Enemy.enemy_mozg_bullet_outrange");
    auto index = [&](const std::string& n) {
        for (size_t i = 0; i < v.names.size(); ++i)
            if (v.names[i] == n) return static_cast<int>(i);
        return -1;
    };
    EXPECT_LT(index("Star.count"), index("Game.one_player_x"));
    EXPECT_LT(index("Control.speed_vert_max_5"), index("Control.speed_vert_min_0"));
    EXPECT_LT(index("Control.rotate_speeddown_5"), index("Game.radar_scale"));
    EXPECT_LT(index("Game.map_max[3]"), index("Game.player_bullet_radius"));
    EXPECT_EQ(index("Enemy.enemy_bullet_speed") + 1, index("Enemy.enemy_bullet_radius"));
    // Integers: start_enemy, money, level, pass, ten keys, sixteen prices, star count.
    EXPECT_EQ(v.ints, 31);

    Visit enemy_only;
    visit_settings(settings, collect, &enemy_only, false);
    EXPECT_EQ(enemy_only.names.front(), "Enemy.enemy_bullet_speed");
}

} // namespace
