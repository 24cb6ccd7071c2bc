// Random numbers: O'Neill's PCG32 (XSH RR, 64-bit state, 32-bit
// output), chosen because it is tiny, fast and gives the same sequence on
// every platform, which replays depend on.
#pragma once

#include <cstdint>

struct Pcg32 {
    uint64_t state = 0;
    uint64_t inc = 1;
};

// Restarts the generator; equal seeds give equal sequences.
void pcg32_seed(Pcg32& rng, uint64_t seed);
// The next 32 random bits.
uint32_t pcg32_next(Pcg32& rng);
// Uniform over min..max, both included, without modulo bias; min when max < min.
int pcg32_int(Pcg32& rng, int min, int max);
// Uniform over min..max with both ends reachable (24 bits of resolution).
float pcg32_float(Pcg32& rng, float min, float max);
// The float of pcg32_float for the 32 random bits r: the top 24 bits all 0
// give min, all 1 give max.
float pcg32_bits_to_float(uint32_t r, float min, float max);
