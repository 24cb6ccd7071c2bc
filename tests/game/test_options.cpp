#include <cstring>

#include "game/options.h"
#include "game_fixture.h"

namespace {

class OptionsTest : public GameTest {
  protected:
    void to_menu() {
        set_game_state(ACTION_TITLE);
        frame_with({'X'});
        ASSERT_EQ(game_state, STATE_MENU);
    }
    void to_play() {
        to_menu();
        frame_with({HGEK_ENTER});
        frame_with({HGEK_ENTER});
        ASSERT_EQ(game_state, STATE_PLAY);
    }
    bool logged(const char* words) {
        for (const std::string& line : fake.log)
            if (line.find(words) != std::string::npos) return true;
        return false;
    }
};

TEST_F(OptionsTest, TheOptionsFileComesBackAsItWasSaved) {
    player_options o;
    o.aids[AID_RADAR] = o.aids[AID_PROMPTS] = true;
    o.volume = 40;
    o.scale = 3;
    o.pause_when_unfocused = false;
    o.keys[1][ROLE_FIRE] = 'E';
    game_options = o;
    set_options_saved(true);
    ASSERT_TRUE(save_options());
    game_options = player_options{};
    load_options();
    const player_options& back = game_options;
    EXPECT_TRUE(back.aids[AID_RADAR] && back.aids[AID_PROMPTS]);
    EXPECT_FALSE(back.aids[AID_STATUS] || back.aids[AID_FEEDBACK]);
    EXPECT_EQ(back.volume, 40);
    EXPECT_EQ(back.scale, 3);
    EXPECT_FALSE(back.pause_when_unfocused);
    EXPECT_EQ(back.keys[1][ROLE_FIRE], 'E');
    EXPECT_EQ(back.keys[0][ROLE_FIRE], 0);
    // Loading sends what differs from the settings file to the engine, and the keys to the ships.
    EXPECT_EQ(fake.int_states[HGE_SCALE], 3);
    EXPECT_EQ(fake.int_states[HGE_FXVOLUME], 40);
    EXPECT_EQ(ship_records[1].key_fire, 'E');
    EXPECT_EQ(ship_records[0].key_fire, settings.player_keys[0][ROLE_FIRE]);
    set_options_saved(false);
}

TEST_F(OptionsTest, ABrokenOrMissingFileGivesTheDefaultsAndALogLine) {
    fake.ini["display.scale"] = "2"; // the settings file's [Display] is the default
    load_options();
    EXPECT_EQ(game_options.scale, 2);
    EXPECT_TRUE(logged("No options file"));

    fake.user_files[OPTIONS_FILE] =
        "[Aids]\nradar = 1\nprompts = yes\nnonsense\n[Sound\n"
        "[Player0]\nfire = 27\nup = 300\nleft = 74\n[Sound]\nvolume = 500\n";
    load_options();
    EXPECT_TRUE(game_options.aids[AID_RADAR]);
    EXPECT_FALSE(game_options.aids[AID_PROMPTS]);
    EXPECT_EQ(game_options.volume, 100);
    EXPECT_EQ(game_options.keys[0][ROLE_FIRE], 0); // Escape keeps its own meaning
    EXPECT_EQ(game_options.keys[0][ROLE_UP], 0);
    EXPECT_EQ(game_options.keys[0][ROLE_LEFT], 74);
    EXPECT_TRUE(logged("6 line(s) that were left out"));

    fake.user_files[OPTIONS_FILE] = std::string("[Aids]\nradar = 1\n\0\x01\xff", 20);
    load_options();
    EXPECT_FALSE(game_options.aids[AID_RADAR]);
    EXPECT_TRUE(logged("is not text"));

    // Nothing is written unless the game allows it; a failed write says so.
    fake.user_files.clear();
    EXPECT_TRUE(save_options());
    EXPECT_TRUE(fake.user_files.empty());
    set_options_saved(true);
    fake.user_files_writable = false;
    EXPECT_FALSE(save_options());
    EXPECT_TRUE(logged("Could not write"));
    set_options_saved(false);
}

TEST_F(OptionsTest, TheOptionsScreenTogglesAidsAndRemapsKeys) {
    to_menu();
    frame_with({HGEK_TAB});
    ASSERT_TRUE(options_open);
    EXPECT_EQ(game_state, STATE_MENU);
    frame_with({HGEK_DOWN}); // readable radar
    frame_with({HGEK_ENTER});
    EXPECT_TRUE(game_options.aids[AID_RADAR]);
    frame_with({HGEK_RIGHT});
    EXPECT_FALSE(game_options.aids[AID_RADAR]);

    // Player 0's thrust: Enter waits, the next key is taken.
    while (options_row != ROW_KEYS + ROLE_UP) frame_with({HGEK_DOWN});
    frame_with({HGEK_ENTER});
    ASSERT_TRUE(options_waiting_key);
    frame_with({'I'});
    EXPECT_FALSE(options_waiting_key);
    EXPECT_EQ(ship_records[0].key_up, 'I');
    // A key another role had moves there: turning left takes Up back.
    frame_with({HGEK_UP});
    frame_with({HGEK_UP});
    ASSERT_EQ(options_row, ROW_KEYS + ROLE_LEFT);
    frame_with({HGEK_ENTER});
    frame_with({'I'});
    EXPECT_EQ(ship_records[0].key_left, 'I');
    EXPECT_EQ(ship_records[0].key_up, HGEK_LEFT);
    // Escape while waiting keeps the key; the next Escape leaves, not the program.
    frame_with({HGEK_ENTER});
    EXPECT_FALSE(frame_with({HGEK_ESCAPE}));
    EXPECT_EQ(ship_records[0].key_left, 'I');
    EXPECT_FALSE(frame_with({HGEK_ESCAPE}));
    EXPECT_FALSE(options_open);
    EXPECT_EQ(game_state, STATE_MENU);

    // In play the remapped key flies; in the menu it still types the password.
    frame_with({'I'});
    EXPECT_EQ(password[password_cursor - 1], 'I');
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ENTER});
    ASSERT_EQ(game_state, STATE_PLAY);
    fake.press('I');
    frames(30);
    EXPECT_NE(ship_records[0].rotate_speed, 0.0f);
    EXPECT_EQ(ship_records[0].speed, 0.0f);
}

TEST_F(OptionsTest, PauseHoldsTheSimulationAndTheSound) {
    to_play();
    frames(20);
    ship before = ship_records[0];
    size_t enemies = enemy_list.size();
    float spawn = spawn_timer;
    frame_with({'P'});
    ASSERT_TRUE(game_paused);
    EXPECT_TRUE(fake.channels_paused);
    fake.press(HGEK_UP);
    frames(50);
    EXPECT_EQ(ship_records[0].x, before.x);
    EXPECT_EQ(ship_records[0].y, before.y);
    EXPECT_EQ(ship_records[0].invul_timer, before.invul_timer);
    EXPECT_EQ(enemy_list.size(), enemies);
    EXPECT_EQ(spawn_timer, spawn);
    // The Pause key goes on too; the first frame after moves by one frame's time.
    frame_with({HGEK_PAUSE});
    EXPECT_FALSE(game_paused);
    EXPECT_FALSE(fake.channels_paused);
    frames(1);
    EXPECT_FLOAT_EQ(ship_records[0].invul_timer, before.invul_timer + fake.delta);

    // A player flying with P pauses only with the Pause key; Escape in a pause leaves.
    ship_records[0].key_fire = 'P';
    frame_with({'P'});
    EXPECT_FALSE(game_paused);
    frame_with({HGEK_PAUSE});
    ASSERT_TRUE(game_paused);
    frame_with({HGEK_ESCAPE});
    EXPECT_EQ(game_state, STATE_MENU);
    EXPECT_FALSE(game_paused);
    EXPECT_FALSE(fake.channels_paused);
}

TEST_F(OptionsTest, AWrongPasswordIsNoticedAndLostArmorFlashes) {
    to_menu();
    for (int i = 0; i < 9; ++i) frame_with({'A'}); // A is no password letter
    EXPECT_GT(invalid_password_time, 0.0f);
    frame_with({HGEK_ENTER});
    frame_with({HGEK_ENTER});
    ASSERT_EQ(game_state, STATE_PLAY);
    frames(1);
    EXPECT_EQ(armor_flash[0], 0.0f);
    ship_records[0].armor -= 1;
    frames(1);
    EXPECT_GT(armor_flash[0], 0.0f);
}

} // namespace
