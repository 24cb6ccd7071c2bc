#include <gtest/gtest.h>

#include <climits>

#include "base/pcg32.h"

namespace {

TEST(Pcg32, MatchesTheReferenceSequence) {
    // pcg32-demo's first outputs for initstate 42, stream 54.
    Pcg32 rng;
    rng.state = 0;
    rng.inc = (54u << 1u) | 1u;
    pcg32_next(rng);
    rng.state += 42u;
    pcg32_next(rng);
    EXPECT_EQ(pcg32_next(rng), 0xa15c02b7u);
    EXPECT_EQ(pcg32_next(rng), 0x7b47f409u);
    EXPECT_EQ(pcg32_next(rng), 0xba1d3330u);
}

TEST(Pcg32, EqualSeedsGiveEqualSequencesAndOtherSeedsDiffer) {
    Pcg32 a, b, c;
    pcg32_seed(a, 1234);
    pcg32_seed(b, 1234);
    pcg32_seed(c, 1235);
    int same_as_c = 0;
    for (int i = 0; i < 100; ++i) {
        uint32_t x = pcg32_next(a);
        EXPECT_EQ(x, pcg32_next(b));
        if (x == pcg32_next(c)) ++same_as_c;
    }
    EXPECT_LT(same_as_c, 3);
}

TEST(Pcg32, IntsStayInTheirRangeAndHandleEdgeRanges) {
    Pcg32 rng;
    pcg32_seed(rng, 7);
    int counts[2] = {0, 0};
    for (int i = 0; i < 4000; ++i) ++counts[pcg32_int(rng, 0, 1)];
    EXPECT_GT(counts[0], 1800);
    EXPECT_GT(counts[1], 1800);
    EXPECT_EQ(pcg32_int(rng, 5, 5), 5);
    EXPECT_EQ(pcg32_int(rng, 5, 2), 5);
    bool negative = false, positive = false;
    for (int i = 0; i < 64; ++i) {
        int v = pcg32_int(rng, INT_MIN, INT_MAX);
        negative |= v < 0;
        positive |= v > 0;
    }
    EXPECT_TRUE(negative && positive);
    for (int i = 0; i < 64; ++i) EXPECT_GE(pcg32_int(rng, INT_MAX - 1, INT_MAX), INT_MAX - 1);
}

TEST(Pcg32, FloatsReachBothEndsExactly) {
    EXPECT_EQ(pcg32_bits_to_float(0x00000000u, -1.0f, 1.0f), -1.0f);
    EXPECT_EQ(pcg32_bits_to_float(0x000000FFu, -1.0f, 1.0f), -1.0f);
    EXPECT_EQ(pcg32_bits_to_float(0xFFFFFFFFu, -1.0f, 1.0f), 1.0f);
    EXPECT_EQ(pcg32_bits_to_float(0xFFFFFF00u, 0.1f, 0.3f), 0.3f);
    EXPECT_EQ(pcg32_bits_to_float(0x00000000u, 0.1f, 0.3f), 0.1f);
    float mid = pcg32_bits_to_float(0x80000000u, 0.0f, 2.0f);
    EXPECT_NEAR(mid, 1.0f, 1e-6f);
    float below_top = pcg32_bits_to_float(0xFFFFFE00u, 0.0f, 1.0f);
    EXPECT_LT(below_top, 1.0f);
    EXPECT_GT(below_top, 0.9999f);
    EXPECT_EQ(pcg32_bits_to_float(0x12345678u, 5.0f, 5.0f), 5.0f);
}

TEST(Pcg32, FloatsSpreadOverTheRangeAndStayInside) {
    Pcg32 rng;
    pcg32_seed(rng, 3);
    float lo = 2.0f, hi = -2.0f;
    for (int i = 0; i < 200000; ++i) {
        float v = pcg32_float(rng, -1.0f, 1.0f);
        ASSERT_GE(v, -1.0f);
        ASSERT_LE(v, 1.0f);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_LT(lo, -0.999f);
    EXPECT_GT(hi, 0.999f);
    for (int i = 0; i < 1000; ++i) {
        float v = pcg32_float(rng, 0.1f, 0.3f);
        ASSERT_GE(v, 0.1f);
        ASSERT_LE(v, 0.3f);
    }
}

} // namespace
