// The whole game is one value: a copy taken in the middle of a level plays on
// exactly as the original does.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "game/states.h"
#include "harness/dump.h"
#include "support/fake_engine.h"
#include "world/checksum.h"

namespace {

KeyFrame tapped(int key) {
    KeyFrame k;
    apply_key_change(k, key, true);
    return k;
}

// Random changes of both players' flight keys from the keys before.
KeyFrame fly(std::mt19937& rng, const KeyFrame& before) {
    const int keys[] = {HGEK_LEFT, HGEK_RIGHT, HGEK_UP, HGEK_CTRL, 'A', 'D', 'W', HGEK_SHIFT};
    KeyFrame k = held_only(before);
    if (rng() % 3 == 0) {
        int key = keys[rng() % 8];
        apply_key_change(k, key, !k.is_held(key));
    }
    return k;
}

TEST(WorldCopy, ACopyTakenMidLevelPlaysOnLikeTheOriginal) {
    FakeEngine fake; // the settings file's defaults
    Settings file{};
    read_settings(file, true);
    World original;
    new_world(original, file, 777, 800, 590);
    const KeyFrame none;
    // Title, TEAMWORK, the shop, the level.
    for (int key : {HGEK_SPACE, HGEK_F1, HGEK_ENTER, HGEK_ENTER}) {
        simulate(original, tapped(key), 1.0f / 60);
        simulate(original, none, 1.0f / 60);
    }
    ASSERT_EQ(original.game_state, STATE_PLAY);
    ASSERT_EQ(original.game_mode, MODE_TEAMWORK);
    std::mt19937 rng(5);
    KeyFrame keys;
    for (int f = 0; f < 300; ++f) simulate(original, keys = fly(rng, keys), 1.0f / 60);

    World copy = original;
    const std::string at_copy = dump_state(original, 300);
    EXPECT_EQ(dump_state(copy, 300), at_copy);
    std::vector<KeyFrame> rest;
    for (int f = 0; f < 900; ++f) rest.push_back(keys = fly(rng, keys));
    size_t events = 0;
    for (size_t f = 0; f < rest.size(); ++f) {
        const float dt = f % 3 == 0 ? 0.02f : 1.0f / 60; // uneven frames, as a window has them
        simulate(original, rest[f], dt);
        simulate(copy, rest[f], dt);
        ASSERT_EQ(world_checksum(copy), world_checksum(original)) << "frame " << f;
        ASSERT_EQ(copy.events.size(), original.events.size()) << "frame " << f;
        events += original.events.size();
        if (f % 150 == 149) {
            ASSERT_EQ(dump_state(copy, 0), dump_state(original, 0)) << "frame " << f;
        }
    }
    // The game went somewhere: shots, sounds and a changed field.
    EXPECT_GT(events, 20u);
    EXPECT_NE(dump_state(original, 300), at_copy);
}

} // namespace
