// Checks on recorded quads shared by the toolkit tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "engine/engine.h"

// The quad addresses texels (x, y, w, h) of a tw x th texture, unflipped.
inline void expect_tex_rect(const hgeQuad& q, float x, float y, float w, float h, float tw,
                            float th) {
    EXPECT_FLOAT_EQ(q.v[0].tx * tw, x);
    EXPECT_FLOAT_EQ(q.v[0].ty * th, y);
    EXPECT_FLOAT_EQ(q.v[1].tx * tw, x + w);
    EXPECT_FLOAT_EQ(q.v[1].ty * th, y);
    EXPECT_FLOAT_EQ(q.v[2].tx * tw, x + w);
    EXPECT_FLOAT_EQ(q.v[2].ty * th, y + h);
    EXPECT_FLOAT_EQ(q.v[3].tx * tw, x);
    EXPECT_FLOAT_EQ(q.v[3].ty * th, y + h);
}

// Vertices 0..3 lie at the given points.
inline void expect_corners(const hgeQuad& q, std::initializer_list<std::pair<float, float>> pts,
                           float tolerance = 0.0f) {
    int i = 0;
    for (const auto& p : pts) {
        if (tolerance == 0.0f) {
            EXPECT_FLOAT_EQ(q.v[i].x, p.first) << "vertex " << i;
            EXPECT_FLOAT_EQ(q.v[i].y, p.second) << "vertex " << i;
        } else {
            EXPECT_NEAR(q.v[i].x, p.first, tolerance) << "vertex " << i;
            EXPECT_NEAR(q.v[i].y, p.second, tolerance) << "vertex " << i;
        }
        ++i;
    }
}
