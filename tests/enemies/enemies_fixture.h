// Shared set-up of the enemies tests: default settings, cleared globals, a
// recording engine, explosion templates, and helpers that place enemies in a view.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "enemies/spawn.h"
#include "world/globals.h"
#include "support/fake_engine.h"

class EnemiesTest : public ::testing::Test {
  protected:
    FakeEngine fake;
    // Declared after the engine so they give their references back before it goes.
    std::unique_ptr<Animation> big_template, small_template;

    void SetUp() override {
        engine = hgeCreate(ENGINE_VERSION);
        read_settings(true);
        game_state = STATE_PLAY;
        game_mode = MODE_ONE_PLAYER;
        iteration = 0;
        map_index = 0;
        field_half = settings.map_max[0] * 0.5f;
        for (int i = 0; i < 4; ++i) place_ship(i, 0, 0, 0);
        view_anchor[0] = settings.one_player_x;
        view_anchor[1] = settings.one_player_y;
        view_sprite[0] = view_sprite[1] = nullptr;
        spawn_index = 1;
        spawn_pass = 0;
        spawn_timer = 5;
        enemy_list.clear();
        pending_list.clear();
        player_bullets[0].clear();
        player_bullets[1].clear();
        enemy_bullets.clear();
        // Distinct handles so a test can tell which sound played.
        snd_enemy_fire_khh = 21;
        snd_enemy_fire_piu = 22;
        snd_enemy_rocket = 23;
        snd_small_boom = 24;
        snd_big_boom = 25;
        snd_armor = 26;
        HTEXTURE tex = fake.Texture_Load("data/kaboom.png", 0, false);
        big_template.reset(new Animation(tex, 20, 60, 0, 0, 64, 64));
        small_template.reset(new Animation(tex, 8, 30, 0, 192, 32, 32));
        kaboom_anim = big_template.get();
        boom_anim = small_template.get();
    }

    void TearDown() override {
        big_list.clear();
        small_list.clear();
        enemy_list.clear();
        pending_list.clear();
        kaboom_anim = boom_anim = nullptr;
        engine->Release();
        engine = nullptr;
    }

    // A ship at (x, y) with its side vector refreshed, alive and hittable.
    static void place_ship(int i, float x, float y, float angle) {
        ship& s = ship_records[i];
        s = ship{};
        s.x = x;
        s.y = y;
        s.angle = angle;
        s.side_x = -std::sin(angle);
        s.side_y = std::cos(angle);
        s.invul_timer = 100;
    }

    void two_players() {
        game_mode = MODE_TEAMWORK;
        view_anchor[0] = settings.split_screen_player0_x;
        view_anchor[1] = settings.split_screen_player0_y;
    }

    // The enemy of the letter, seen in view v at (sx, sy) as the last movement pass left it.
    enemy& put(char letter, float sx, float sy, int v = 0) {
        create_enemy(letter, 0, 0, 0, false);
        enemy& e = enemy_list.back();
        e.screen_x[v] = sx;
        e.screen_y[v] = sy;
        e.visible[v] = true;
        return e;
    }

    // The enemy `dist` pixels straight ahead of the ship of view 0.
    enemy& ahead(char letter, float dist) { return put(letter, anchor_x(0), anchor_y(0) - dist); }
};
