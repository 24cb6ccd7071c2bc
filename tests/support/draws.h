// Random draws a test chooses and sees, through the world's tap.
#pragma once

#include <deque>
#include <utility>
#include <vector>

#include "world/world.h"

class ScriptedDraws final : public RandomTap {
  public:
    std::vector<std::pair<int, int>> int_draws;       // (min, max) of each random_int
    std::vector<std::pair<float, float>> float_draws; // (min, max) of each random_float
    // Scripted results, used first; an empty queue falls back to the low end
    // (ints) or the midpoint (floats) unless use_prng is set, which leaves
    // the draw to the world's generator.
    std::deque<int> next_ints;
    std::deque<float> next_floats;
    bool use_prng = false;

    bool draw_int(int min, int max, int& out) override {
        int_draws.push_back({min, max});
        if (!next_ints.empty()) {
            out = next_ints.front();
            next_ints.pop_front();
            return true;
        }
        out = min;
        return !use_prng;
    }
    bool draw_float(float min, float max, float& out) override {
        float_draws.push_back({min, max});
        if (!next_floats.empty()) {
            out = next_floats.front();
            next_floats.pop_front();
            return true;
        }
        out = min + (max - min) * 0.5f;
        return !use_prng;
    }
};
