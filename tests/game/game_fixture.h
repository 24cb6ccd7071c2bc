// A game with a fake engine, default settings and the level list, no data files.
#pragma once

#include <gtest/gtest.h>

#include "world/globals.h"
#include "world/options.h"
#include "game/levels.h"
#include "game/states.h"
#include "game/tuning.h"
#include "support/fake_engine.h"

class GameTest : public ::testing::Test {
protected:
    FakeEngine fake;

    void SetUp() override {
        engine = hgeCreate(ENGINE_VERSION);
        settings = Settings{};
        for (ship& s : ship_records) s = ship{};
        money = bonus = level_index = iteration = 0;
        game_state = STATE_TITLE;
        game_mode = MODE_ONE_PLAYER;
        password_cursor = 0;
        half_width = 399;
        game_options = player_options{};
        game_paused = options_open = options_waiting_key = false;
        load_settings(true);
        level_list.clear();
        load_levels();
        fake.use_prng = true;
    }

    void TearDown() override {
        for (int v = 0; v < 2; ++v) {
            delete view_sprite[v];
            view_sprite[v] = nullptr;
            view_target[v] = 0;
        }
        clear_world_lists();
        engine->Release();
        engine = nullptr;
    }

    // One frame with these keys going down before it (and up after it).
    bool frame_with(std::initializer_list<int> keys) {
        for (int k : keys) fake.press(k);
        fake.begin_frame();
        bool ended = frame_func();
        for (int k : keys) fake.release(k);
        return ended;
    }

    bool frames(int n) {
        for (int i = 0; i < n; ++i) {
            fake.begin_frame();
            if (frame_func()) return true;
        }
        return false;
    }

};
