#include <gtest/gtest.h>

#include <vector>

#include "support/draws.h"
#include "world/world.h"

namespace {

std::vector<int> draws_of(World& w, int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(random_int(w, 0, 100));
    return out;
}

TEST(WorldRandom, EqualSeedsDrawAlikeWithinTheirRangeAndCopiesGoOnAlike) {
    World a, b;
    pcg32_seed(a.rng, 12345);
    pcg32_seed(b.rng, 12345);
    std::vector<int> first = draws_of(a, 50);
    EXPECT_EQ(draws_of(b, 50), first);
    EXPECT_EQ(random_float(a, -1.0f, 1.0f), random_float(b, -1.0f, 1.0f));
    // A copy is a saved game: it draws what the original draws next.
    World copy = a;
    EXPECT_EQ(draws_of(copy, 20), draws_of(a, 20));
    pcg32_seed(b.rng, 999);
    std::vector<int> other = draws_of(b, 50);
    int same = 0;
    for (int i = 0; i < 50; ++i) same += other[i] == first[i];
    EXPECT_LT(same, 10);
    bool low = false, high = false;
    for (int v : draws_of(a, 3000)) {
        ASSERT_TRUE(v >= 0 && v <= 100);
        low |= v == 0;
        high |= v == 100;
    }
    EXPECT_TRUE(low && high);
}

TEST(WorldRandom, ATapChoosesDrawsAndSeesTheirRangesWithoutMovingTheGenerator) {
    World w;
    pcg32_seed(w.rng, 7);
    const uint64_t before = w.rng.state;
    ScriptedDraws draws;
    draws.next_ints = {42};
    w.tap = &draws;
    EXPECT_EQ(random_int(w, 0, 100), 42);
    EXPECT_EQ(random_int(w, 3, 9), 3); // an empty queue gives the low end
    EXPECT_EQ(random_float(w, 2.0f, 4.0f), 3.0f);
    EXPECT_EQ(w.rng.state, before);
    EXPECT_EQ(draws.int_draws, (std::vector<std::pair<int, int>>{{0, 100}, {3, 9}}));
    draws.use_prng = true;
    random_int(w, 0, 1);
    EXPECT_NE(w.rng.state, before);
}

TEST(WorldEvents, AFrameGivesOutWhatItEmitsInOrder) {
    World w;
    play_sound(w, SOUND_ARMOR);
    emit(w, EVENT_STOP_SOUNDS);
    ASSERT_EQ(w.events.size(), 2u);
    EXPECT_EQ(w.events[0].kind, EVENT_SOUND);
    EXPECT_EQ(w.events[0].sound, SOUND_ARMOR);
    EXPECT_EQ(w.events[1].kind, EVENT_STOP_SOUNDS);
}

} // namespace
