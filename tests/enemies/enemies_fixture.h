// Shared set-up of the enemies tests: default settings in a fresh world,
// scripted random draws, explosion templates, and helpers that place enemies
// in a view.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "enemies/spawn.h"
#include "settings/settings.h"
#include "support/draws.h"
#include "support/fake_engine.h"
#include "world/world.h"

class EnemiesTest : public ::testing::Test {
  protected:
    // The settings file is read through the engine, so it comes first.
    FakeEngine fake;
    World w;
    ScriptedDraws draws;

    void SetUp() override {
        read_settings(w.settings, true);
        w.tap = &draws;
        w.game_state = STATE_PLAY;
        w.game_mode = MODE_ONE_PLAYER;
        w.iteration = 0;
        w.map_index = 0;
        w.field_half = w.settings.map_max[0] * 0.5f;
        for (int i = 0; i < 4; ++i) place_ship(i, 0, 0, 0);
        w.view_anchor[0] = w.settings.one_player_x;
        w.view_anchor[1] = w.settings.one_player_y;
        w.spawn_index = 1;
        w.spawn_pass = 0;
        w.spawn_timer = 5;
        // 20 big frames at 60 fps, 8 small at 30.
        w.big_explosion = anim_clock(20, 60);
        w.small_explosion = anim_clock(8, 30);
    }

    // The sounds the simulation gave out, in order.
    std::vector<Sound> sounds() const {
        std::vector<Sound> out;
        for (const Event& e : w.events)
            if (e.kind == EVENT_SOUND) out.push_back(static_cast<Sound>(e.sound));
        return out;
    }

    // Forgets the sounds and draws so far; scripted draws stay queued.
    void forget_records() {
        w.events.clear();
        draws.int_draws.clear();
        draws.float_draws.clear();
    }

    // A ship at (x, y) with its side vector refreshed, alive and hittable.
    void place_ship(int i, float x, float y, float angle) {
        ship& s = w.ship_records[i];
        s = ship{};
        s.x = x;
        s.y = y;
        s.angle = angle;
        s.side_x = -std::sin(angle);
        s.side_y = std::cos(angle);
        s.invul_timer = 100;
    }

    void two_players() {
        w.game_mode = MODE_TEAMWORK;
        w.view_anchor[0] = w.settings.split_screen_player0_x;
        w.view_anchor[1] = w.settings.split_screen_player0_y;
    }

    // The enemy of the letter, seen in view v at (sx, sy) as the last movement pass left it.
    enemy& put(char letter, float sx, float sy, int v = 0) {
        create_enemy(w, letter, 0, 0, 0, false);
        enemy& e = w.enemy_list.back();
        e.screen_x[v] = sx;
        e.screen_y[v] = sy;
        e.visible[v] = true;
        return e;
    }

    // The enemy `dist` pixels straight ahead of the ship of view 0.
    enemy& ahead(char letter, float dist) {
        return put(letter, anchor_x(w, 0), anchor_y(w, 0) - dist);
    }
};
