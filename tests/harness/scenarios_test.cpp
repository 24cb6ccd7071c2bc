#include <cmath>
#include <set>

#include "scenario_fixture.h"

namespace {

std::string repeat(const std::string& block, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += block;
    return s;
}

std::string type_letters(const std::string& letters) {
    std::string s;
    for (char c : letters) s += std::string("tap ") + c + "\nframes 1\n";
    return s;
}

TEST(ScenarioTest, TitleMenuShopPlayAndQuit) {
    HeadlessResult r = run_headless_script(std::string(TO_MENU) + "dump\n"
                                                                  "tap ENTER\nframes 2\ndump\n"
                                                                  "tap SPACE\nframes 2\ndump\n"
                                                                  "tap ESCAPE\nframes 2\ndump\n"
                                                                  "tap ESCAPE\nframes 2\n"
                                                                  "tap ESCAPE\nframes 2\ndump\n",
                                           "--seed 3");
    EXPECT_EQ(r.status, 0) << r.err;
    ASSERT_EQ(r.dumps.size(), 4u) << r.out;
    EXPECT_EQ(r.dumps[0]["game_state"].as_int(), 1);
    EXPECT_EQ(r.dumps[0]["password"].text.size(), 9u); // the new game's own
    EXPECT_EQ(r.dumps[1]["game_state"].as_int(), 3);
    EXPECT_EQ(r.dumps[2]["game_state"].as_int(), 2);
    EXPECT_EQ(r.dumps[3]["game_state"].as_int(), 1);
    // The dump carries every promised key.
    for (const char* key : {"frame",           "game_mode",
                            "money",           "bonus",
                            "level_index",     "iteration",
                            "password_cursor", "map_index",
                            "spawning",        "spawn_index",
                            "spawn_pass",      "spawn_timer",
                            "level_end_timer", "game_over_timer",
                            "view_anchor",     "view_width",
                            "ships",           "enemies",
                            "pending",         "player_bullets",
                            "enemy_bullets",   "big",
                            "small",           "stars",
                            "settings"})
        EXPECT_TRUE(r.dumps[0].has(key)) << key;
    EXPECT_EQ(r.dumps[0]["ships"].size(), 4u);
    EXPECT_TRUE(r.dumps[0]["ships"][0].has("rotate_speed"));
    EXPECT_FLOAT_EQ(r.dumps[0]["settings"]["enemy_bull_speed"].as_float(), 90);
    EXPECT_FLOAT_EQ(r.dumps[0]["settings"]["map_max[2]"].as_float(), 3300);
    EXPECT_EQ(r.dumps[0]["settings"]["price_firepower_3"].as_int(), 320);
    EXPECT_TRUE(r.dumps[0]["settings"].has("spawn_delay"));
}

TEST(ScenarioTest, BadScriptsStopWithStatusTwo) {
    HeadlessResult r = run_headless_script("frames 1\nfly away\ndump\n");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err;
    EXPECT_TRUE(r.dumps.empty());
    EXPECT_EQ(run_headless_script("dump\n", "--bogus").status, 2);
}

TEST(ScenarioTest, SameSeedSameGame) {
    std::string script = std::string(TO_MENU) + "frames 600\ndump\n";
    HeadlessResult a = run_headless_script(script, "--seed 11");
    HeadlessResult b = run_headless_script(script, "--seed 11");
    ASSERT_EQ(a.status, 0);
    EXPECT_EQ(a.out, b.out);
    HeadlessResult c = run_headless_script(script, "--seed 12");
    EXPECT_NE(a.out, c.out);
}

TEST(ScenarioTest, HeldThrustFollowsTheFlightModel) {
    HeadlessResult r = run_headless_script(std::string(TO_MENU) + MENU_TO_PLAY +
                                               "dt 0.02\npress UP\nframes 25\ndump\n"
                                               "frames 25\ndump\n",
                                           "--seed 5");
    ASSERT_EQ(r.dumps.size(), 2u) << r.err;
    float speed = 0, x = 0;
    const float dt = 0.02f;
    for (int i = 0; i < 50; ++i) {
        speed += 550.0f * dt;
        if (speed > 280.0f) speed = 280.0f;
        x += std::cos(0.0f) * (dt * speed);
        if (i == 24) {
            const Json& s = r.dumps[0]["ships"][0];
            EXPECT_FLOAT_EQ(s["speed"].as_float(), speed);
            EXPECT_FLOAT_EQ(s["x"].as_float(), x);
            EXPECT_FLOAT_EQ(s["y"].as_float(), 0);
        }
    }
    const Json& s = r.dumps[1]["ships"][0];
    EXPECT_FLOAT_EQ(s["speed"].as_float(), 280);
    EXPECT_NEAR(s["x"].as_float(), x, 1e-3);
}

TEST(ScenarioTest, TheDemoShipsFlyFireDieAndComeBack) {
    // Over two minutes of the menu's demonstration (coarse frames, run 1.5 times as fast),
    // sampled every 0.75 s.
    HeadlessResult r = run_headless_script(
        std::string(TO_MENU) + "dt 0.05\n" + repeat("frames 10\ndump\n", 180), "--seed 21");
    ASSERT_EQ(r.dumps.size(), 180u) << r.err;
    for (int i = 2; i < 4; ++i) {
        bool moved = false, fired = false, died = false, came_back = false;
        for (const Json& d : r.dumps) {
            const Json& s = d["ships"][i];
            moved = moved || s["speed"].as_float() != 0;
            fired = fired || d["player_bullets"][i - 2].size() > 0;
            if (s["armor"].as_int() < 0)
                died = true;
            else if (died)
                came_back = true;
        }
        EXPECT_TRUE(moved) << "ship " << i;
        EXPECT_TRUE(fired) << "ship " << i;
        EXPECT_TRUE(died) << "ship " << i;
        EXPECT_TRUE(came_back) << "ship " << i;
    }
    EXPECT_EQ(r.dumps.back()["game_state"].as_int(), 1);
}

TEST(ScenarioTest, APasswordRestoresProgressAndTheShopSells) {
    std::string pw = password_for(12, 2, 500, 7, 3, 2, 1, 1);
    HeadlessResult r = run_headless_script(std::string(TO_MENU) + type_letters(pw) +
                                               "dump\ntap ENTER\nframes 2\n"
                                               "tap F2\nframes 1\ntap F4\nframes 1\ndump\n",
                                           "--seed 9");
    ASSERT_EQ(r.dumps.size(), 2u) << r.err;
    const Json& d = r.dumps[0];
    EXPECT_EQ(d["password"].text, pw);
    EXPECT_EQ(d["money"].as_int(), 500);
    EXPECT_EQ(d["level_index"].as_int(), 12);
    EXPECT_EQ(d["iteration"].as_int(), 2);
    EXPECT_EQ(d["game_mode"].as_int(), 1);
    const Json& s0 = d["ships"][0];
    EXPECT_EQ(s0["ships"].as_int(), 7);
    EXPECT_EQ(s0["firepower"].as_int(), 3);
    EXPECT_EQ(s0["flexibility"].as_int(), 2);
    EXPECT_EQ(s0["shield"].as_int(), 1);
    float bull = 90.0f;
    bull *= 1.05f;
    bull *= 1.05f;
    EXPECT_FLOAT_EQ(d["settings"]["enemy_bull_speed"].as_float(), bull);
    EXPECT_EQ(d["settings"]["start_enemy"].as_int(), 8);

    const Json& shop = r.dumps[1];
    EXPECT_EQ(shop["game_state"].as_int(), 3);
    EXPECT_EQ(shop["money"].as_int(), 500 - 120 - 50);
    EXPECT_EQ(shop["ships"][0]["flexibility"].as_int(), 3);
    EXPECT_EQ(shop["ships"][0]["shield"].as_int(), 2);
}

TEST(ScenarioTest, ALevelStartsWithItsFirstGroupOutOfSight) {
    std::string pw = password_for(1, 0, 0, 3, 0, 0, 0, 0);
    HeadlessResult r = run_headless_script(
        std::string(TO_MENU) + type_letters(pw) + MENU_TO_PLAY + "dump\n", "--seed 17");
    ASSERT_EQ(r.dumps.size(), 1u) << r.err;
    const Json& d = r.dumps[0];
    ASSERT_EQ(d["game_state"].as_int(), 2);
    const Json& enemies = d["enemies"];
    ASSERT_EQ(enemies.size(), 6u); // "0MBBBBB": all six at once
    std::multiset<int> kinds;
    for (const Json& e : enemies.items) {
        kinds.insert(e["kind"].as_int());
        // Ship 0 at (0, 0) heading along +x on a field of 1100, its view 800 x 590 at (400, 400).
        float x = e["x"].as_float(), y = e["y"].as_float();
        if (x > 550) x -= 1100;
        if (y > 550) y -= 1100;
        float sx = 400 + y, sy = 400 - x;
        bool seen = sx > -35 && sx < 835 && sy > -35 && sy < 625;
        EXPECT_FALSE(seen) << x << "," << y;
    }
    EXPECT_EQ(kinds, (std::multiset<int>{0, 6, 6, 6, 6, 6}));
}

TEST(ScenarioTest, FiringIntoTheMeteorsSplitsThemAndClearsTheLevel) {
    // Level 0 with every upgrade: turn in circles with the fire key held.
    std::string pw = password_for(0, 0, 0, 99, 5, 5, 5, 0);
    HeadlessResult r = run_headless_script(std::string(TO_MENU) + type_letters(pw) + MENU_TO_PLAY +
                                               "dt 0.05\npress LEFT\npress CTRL\n" +
                                               repeat("frames 20\ndump\n", 120),
                                           "--seed 4");
    ASSERT_FALSE(r.dumps.empty()) << r.err;
    bool split = false, cleared = false;
    for (const Json& d : r.dumps) {
        for (const Json& e : d["enemies"].items) split = split || e["kind"].as_int() != 0;
        if (d["game_state"].as_int() == 3 && d["level_index"].as_int() == 1) cleared = true;
    }
    EXPECT_TRUE(split);
    EXPECT_TRUE(cleared);
    const Json& last = r.dumps.back();
    EXPECT_GE(last["money"].as_int(), 4);
    EXPECT_LE(last["money"].as_int(), 10);
    EXPECT_EQ(last["bonus"].as_int(), last["money"].as_int());
}

} // namespace
