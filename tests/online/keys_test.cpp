// How two machines' keyboards become the one the game reads.
#include <gtest/gtest.h>

#include "online/keys.h"
#include "settings/settings.h"

namespace {

KeyFrame pressed(int key, int letter = 0) {
    KeyFrame k;
    apply_key_change(k, key, true, letter);
    return k;
}

TEST(MergedKeys, EachSideBuysForItsOwnShipTypesWithItsOwnLayoutAndFliesWithItsOwnKeys) {
    World w;
    w.settings = w.file_settings = default_settings();
    const KeyFrame none;
    KeyFrame out;
    // The COMPETITION shop: either side's F1 or 1 buys for its own ship.
    w.game_state = STATE_SHOP;
    w.game_mode = MODE_COMPETITION;
    merge_keys(w, pressed(HGEK_0 + 2), none, none.held, out);
    EXPECT_TRUE(out.went_down(HGEK_F2));
    EXPECT_FALSE(out.went_down(HGEK_0 + 2));
    merge_keys(w, none, pressed(HGEK_F3), none.held, out);
    EXPECT_TRUE(out.went_down(HGEK_0 + 3));
    // In TEAMWORK's shop the keys stay as they are.
    w.game_mode = MODE_TEAMWORK;
    merge_keys(w, none, pressed(HGEK_F3), none.held, out);
    EXPECT_TRUE(out.went_down(HGEK_F3));
    // In the menu the letters are what each layout typed, not the keys' places.
    w.game_state = STATE_MENU;
    merge_keys(w, pressed('Q', 'A'), pressed('W', 'Z'), none.held, out);
    EXPECT_TRUE(out.typed('A') && out.typed('Z'));
    EXPECT_FALSE(out.typed('Q') || out.typed('W'));

    // A key this player remapped goes with the file's key of that role.
    player_options mine;
    mine.keys[0][ROLE_FIRE] = 'M';
    KeyFrame k = pressed('M');
    add_canonical_keys(k, mine, w.file_settings);
    EXPECT_TRUE(k.went_down(w.file_settings.player_keys[0][ROLE_FIRE]) && k.went_down('M'));
    KeyFrame plain = pressed('M');
    add_canonical_keys(plain, player_options(), w.file_settings);
    EXPECT_EQ(plain, pressed('M'));
}

} // namespace
