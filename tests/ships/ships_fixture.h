// Shared set-up of the ships tests: default settings, cleared globals, a
// recording engine, and on request the sprites and explosion templates.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "world/globals.h"
#include "support/fake_engine.h"

class ShipsTest : public ::testing::Test {
  protected:
    FakeEngine fake;
    // Declared after the engine so they give their references back before it goes.
    std::unique_ptr<Sprite> blink0, blink1, view_picture;
    std::unique_ptr<Animation> big_template, small_template;

    void SetUp() override {
        engine = hgeCreate(ENGINE_VERSION);
        read_settings(true);
        game_state = STATE_PLAY;
        game_mode = MODE_ONE_PLAYER;
        for (ship& s : ship_records) s = ship{};
        bonus = 7;
        game_over_timer = 3.0f;
        map_index = 0;
        field_half = settings.map_max[0] * 0.5f;
        view_anchor[0] = settings.split_screen_player0_x;
        view_anchor[1] = settings.split_screen_player0_y;
        blink_timer[0] = blink_timer[1] = 0.0f;
        player_bullets[0].clear();
        player_bullets[1].clear();
        stars.clear();
        // Distinct handles so a test can tell which sound played.
        snd_player_fire = 11;
        snd_armor = 12;
        snd_big_boom = 13;
    }

    void TearDown() override {
        big_list.clear();
        small_list.clear();
        kaboom_anim = boom_anim = nullptr;
        sprite_ship0 = sprite_ship1 = nullptr;
        view_sprite[0] = nullptr;
        engine->Release();
        engine = nullptr;
    }

    void use_blink_sprites() {
        blink0.reset(new Sprite(0, 0, 0, 32, 32));
        blink1.reset(new Sprite(0, 0, 0, 32, 32));
        sprite_ship0 = blink0.get();
        sprite_ship1 = blink1.get();
    }

    // Non-looping like the game's templates: 20 big frames at 60 fps, 8 small at 30.
    void use_explosion_templates() {
        HTEXTURE tex = fake.Texture_Load("data/kaboom.png", 0, false);
        big_template.reset(new Animation(tex, 20, 60, 0, 0, 64, 64));
        small_template.reset(new Animation(tex, 8, 30, 0, 192, 32, 32));
        big_template->set_mode(ANIM_FWD | ANIM_NOLOOP);
        small_template->set_mode(ANIM_FWD | ANIM_NOLOOP);
        kaboom_anim = big_template.get();
        boom_anim = small_template.get();
    }

    void use_view_picture(float w, float h) {
        view_picture.reset(new Sprite(0, 0, 0, w, h));
        view_sprite[0] = view_picture.get();
    }

    // The player's keys as the full settings load hands them out.
    void give_keys(int index) {
        const int32_t* k = settings.player_keys[index];
        ship& s = ship_records[index];
        s.key_left = k[0];
        s.key_right = k[1];
        s.key_up = k[2];
        s.key_down = k[3];
        s.key_fire = k[4];
    }
};
