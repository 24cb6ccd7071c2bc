// Shared set-up of the ships tests: default settings in a fresh world,
// scripted random draws, a recording engine for the keys, and on request the
// explosion templates.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "settings/settings.h"
#include "support/draws.h"
#include "support/fake_engine.h"
#include "world/world.h"

class ShipsTest : public ::testing::Test {
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
        w.bonus = 7;
        w.game_over_timer = 3.0f;
        w.map_index = 0;
        w.field_half = w.settings.map_max[0] * 0.5f;
        w.view_anchor[0] = w.settings.split_screen_player0_x;
        w.view_anchor[1] = w.settings.split_screen_player0_y;
    }

    // The sounds the simulation gave out, in order.
    std::vector<Sound> sounds() const {
        std::vector<Sound> out;
        for (const Event& e : w.events)
            if (e.kind == EVENT_SOUND) out.push_back(static_cast<Sound>(e.sound));
        return out;
    }

    // Non-looping like the game's templates: 20 big frames at 60 fps, 8 small at 30.
    void use_explosion_templates() {
        w.big_explosion = anim_clock(20, 60);
        w.small_explosion = anim_clock(8, 30);
        anim_set_mode(w.big_explosion, ANIM_FWD | ANIM_NOLOOP);
        anim_set_mode(w.small_explosion, ANIM_FWD | ANIM_NOLOOP);
    }

    void use_view_size(float width, float height) {
        w.view_width[0] = width;
        w.view_height = height;
    }

    // The player's keys as the full settings load hands them out.
    void give_keys(int index) {
        const int32_t* k = w.settings.player_keys[index];
        ship& s = w.ship_records[index];
        s.key_left = k[0];
        s.key_right = k[1];
        s.key_up = k[2];
        s.key_down = k[3];
        s.key_fire = k[4];
    }
};
