#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "base/keys.h"
#include "options/options.h"
#include "settings/settings.h"
#include "support/fake_engine.h"
#include "world/world.h"

namespace {

class OptionsTest : public ::testing::Test {
  protected:
    // The settings file is read through the engine, so it comes first.
    FakeEngine fake;
    Settings file{};
    World w;
    player_options o;
    OptionsScreen screen;

    void SetUp() override {
        read_settings(file, true);
        w.settings = w.file_settings = file;
    }

    bool logged(const char* words) const {
        for (const std::string& line : fake.log)
            if (line.find(words) != std::string::npos) return true;
        return false;
    }

    // One frame of the open screen with these keys going down before it (and
    // up after it); changed keys go to the ships, as the game passes them on.
    OptionsOutcome frame_with(std::initializer_list<int> pressed) {
        for (int k : pressed) fake.press(k);
        fake.begin_frame();
        KeyFrame keys;
        read_key_frame(&fake, keys);
        OptionsOutcome outcome = options_frame(screen, o, file, keys, &fake);
        if (outcome == OPTIONS_KEYS_CHANGED) apply_key_bindings(w, o);
        for (int k : pressed) fake.release(k);
        return outcome;
    }
};

TEST_F(OptionsTest, TheOptionsFileComesBackAsItWasSaved) {
    o.aids[AID_RADAR] = o.aids[AID_PROMPTS] = true;
    o.volume = 40;
    o.scale = 3;
    o.pause_when_unfocused = false;
    o.keys[1][ROLE_FIRE] = 'E';
    ASSERT_TRUE(save_options(&fake, o));
    const player_options back = load_options(&fake);
    EXPECT_TRUE(back.aids[AID_RADAR] && back.aids[AID_PROMPTS]);
    EXPECT_FALSE(back.aids[AID_STATUS] || back.aids[AID_FEEDBACK]);
    EXPECT_EQ(back.volume, 40);
    EXPECT_EQ(back.scale, 3);
    EXPECT_FALSE(back.pause_when_unfocused);
    EXPECT_EQ(back.keys[1][ROLE_FIRE], 'E');
    EXPECT_EQ(back.keys[0][ROLE_FIRE], 0);
    // Loading sends what differs from the settings file to the engine.
    EXPECT_EQ(fake.int_states[HGE_SCALE], 3);
    EXPECT_EQ(fake.int_states[HGE_FXVOLUME], 40);
    // The keys reach the ships: the remapped one, else the settings file's.
    apply_key_bindings(w, back);
    EXPECT_EQ(w.ship_records[1].key_fire, 'E');
    EXPECT_EQ(w.ship_records[0].key_fire, file.player_keys[0][ROLE_FIRE]);
    EXPECT_EQ(player_key(back, file, 1, ROLE_FIRE), 'E');
    EXPECT_EQ(player_key(back, file, 0, ROLE_FIRE), file.player_keys[0][ROLE_FIRE]);
}

TEST_F(OptionsTest, ABrokenOrMissingFileGivesTheDefaultsAndALogLine) {
    fake.ini["display.scale"] = "2"; // the settings file's [Display] is the default
    player_options got = load_options(&fake);
    EXPECT_EQ(got.scale, 2);
    EXPECT_EQ(default_options(&fake).scale, 2);
    EXPECT_TRUE(logged("No options file"));

    fake.user_files[OPTIONS_FILE] =
        "[Aids]\nradar = 1\nprompts = yes\nnonsense\n[Sound\n"
        "[Player0]\nfire = 27\nup = 300\nleft = 74\n[Sound]\nvolume = 500\n";
    got = load_options(&fake);
    EXPECT_TRUE(got.aids[AID_RADAR]);
    EXPECT_FALSE(got.aids[AID_PROMPTS]);
    EXPECT_EQ(got.volume, 100);
    EXPECT_EQ(got.keys[0][ROLE_FIRE], 0); // Escape keeps its own meaning
    EXPECT_EQ(got.keys[0][ROLE_UP], 0);
    EXPECT_EQ(got.keys[0][ROLE_LEFT], 74);
    EXPECT_TRUE(logged("6 line(s) that were left out"));

    fake.user_files[OPTIONS_FILE] = std::string("[Aids]\nradar = 1\n\0\x01\xff", 20);
    got = load_options(&fake);
    EXPECT_FALSE(got.aids[AID_RADAR]);
    EXPECT_TRUE(logged("is not text"));

    // A failed write says so.
    fake.user_files.clear();
    EXPECT_TRUE(save_options(&fake, got));
    EXPECT_EQ(fake.user_files.count(OPTIONS_FILE), 1u);
    fake.user_files.clear();
    fake.user_files_writable = false;
    EXPECT_FALSE(save_options(&fake, got));
    EXPECT_TRUE(logged("Could not write"));
}

TEST_F(OptionsTest, TheOptionsScreenTogglesAidsAndRemapsKeys) {
    apply_key_bindings(w, o);
    open_options(screen);
    ASSERT_TRUE(screen.open);
    EXPECT_EQ(screen.row, 0);
    EXPECT_FALSE(screen.waiting_key);
    frame_with({HGEK_DOWN}); // readable radar
    frame_with({HGEK_ENTER});
    EXPECT_TRUE(o.aids[AID_RADAR]);
    frame_with({HGEK_RIGHT});
    EXPECT_FALSE(o.aids[AID_RADAR]);

    // Player 0's thrust: Enter waits, the next key is taken.
    while (screen.row != ROW_KEYS + ROLE_UP) frame_with({HGEK_DOWN});
    EXPECT_EQ(frame_with({HGEK_ENTER}), OPTIONS_UNCHANGED);
    ASSERT_TRUE(screen.waiting_key);
    EXPECT_EQ(frame_with({'I'}), OPTIONS_KEYS_CHANGED);
    EXPECT_FALSE(screen.waiting_key);
    EXPECT_EQ(w.ship_records[0].key_up, 'I');
    // A key another role had moves there: turning left takes Up back.
    frame_with({HGEK_UP});
    frame_with({HGEK_UP});
    ASSERT_EQ(screen.row, ROW_KEYS + ROLE_LEFT);
    frame_with({HGEK_ENTER});
    frame_with({'I'});
    EXPECT_EQ(w.ship_records[0].key_left, 'I');
    EXPECT_EQ(w.ship_records[0].key_up, HGEK_LEFT);
    // Escape while waiting keeps the key and the screen; the next Escape closes it.
    frame_with({HGEK_ENTER});
    EXPECT_EQ(frame_with({HGEK_ESCAPE}), OPTIONS_UNCHANGED);
    EXPECT_TRUE(screen.open);
    EXPECT_FALSE(screen.waiting_key);
    EXPECT_EQ(w.ship_records[0].key_left, 'I');
    EXPECT_EQ(o.keys[0][ROLE_LEFT], 'I');
    EXPECT_EQ(frame_with({HGEK_ESCAPE}), OPTIONS_CLOSED);
    EXPECT_FALSE(screen.open);
}

} // namespace
