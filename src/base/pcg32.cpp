#include "base/pcg32.h"

#include <algorithm>

namespace {
const uint64_t kMultiplier = 6364136223846793005ULL;
const uint64_t kStream = 0xda3e39cb94b95bdbULL; // the reference implementation's default stream
} // namespace

void pcg32_seed(Pcg32& rng, uint64_t seed) {
    rng.state = 0;
    rng.inc = (kStream << 1u) | 1u;
    pcg32_next(rng);
    rng.state += seed;
    pcg32_next(rng);
}

uint32_t pcg32_next(Pcg32& rng) {
    uint64_t old = rng.state;
    rng.state = old * kMultiplier + rng.inc;
    uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((0u - rot) & 31u));
}

int pcg32_int(Pcg32& rng, int min, int max) {
    if (max <= min) return min;
    uint64_t span = static_cast<uint64_t>(static_cast<int64_t>(max) - min) + 1u;
    if (span > 0xFFFFFFFFull)
        return static_cast<int>(static_cast<int64_t>(pcg32_next(rng)) + INT32_MIN);
    uint32_t bound = static_cast<uint32_t>(span);
    // Draws below the threshold would make the low results more likely.
    uint32_t threshold = (0u - bound) % bound;
    uint32_t r;
    do {
        r = pcg32_next(rng);
    } while (r < threshold);
    return static_cast<int>(static_cast<int64_t>(min) + r % bound);
}

float pcg32_float(Pcg32& rng, float min, float max) {
    return pcg32_bits_to_float(pcg32_next(rng), min, max);
}

float pcg32_bits_to_float(uint32_t r, float min, float max) {
    uint32_t bits = r >> 8;
    if (bits == 0xFFFFFFu) return max; // the sum below may miss max by rounding
    float v = min + (max - min) * (static_cast<float>(bits) / 16777215.0f);
    return std::clamp(v, std::min(min, max), std::max(min, max));
}
