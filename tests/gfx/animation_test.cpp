#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "counting_engine.h"
#include "gfx/animation.h"
#include "gfx_expect.h"
#include "support/fake_engine.h"

namespace {

class AnimationTest : public ::testing::Test {
  protected:
    HTEXTURE texture(const char* name, int w, int h) {
        fake.textures[name] = {w, h};
        return fake.Texture_Load(name, 0, false);
    }

    // The frame shown after each of n updates of exactly one frame time, from play on.
    static std::vector<int> frames_played(Animation& a, int n, std::vector<bool>* playing) {
        a.play();
        a.update(0.0f);
        std::vector<int> seen{a.get_frame()};
        playing->assign(1, a.is_playing());
        for (int i = 0; i < n; ++i) {
            a.update(0.1f);
            seen.push_back(a.get_frame());
            playing->push_back(a.is_playing());
        }
        return seen;
    }

    FakeEngine fake;
};

TEST_F(AnimationTest, FramesWrapOntoFollowingRows) {
    Animation a(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    EXPECT_FALSE(a.is_playing());
    EXPECT_EQ(a.get_mode(), ANIM_LOOP);
    expect_tex_rect(a.get_quad(), 0, 0, 64, 64, 320, 320);
    a.set_frame(4);
    expect_tex_rect(a.get_quad(), 256, 0, 64, 64, 320, 320);
    a.set_frame(5);
    expect_tex_rect(a.get_quad(), 0, 64, 64, 64, 320, 320);
    a.set_frame(12);
    expect_tex_rect(a.get_quad(), 128, 128, 64, 64, 320, 320);
    a.set_frame(19);
    expect_tex_rect(a.get_quad(), 256, 192, 64, 64, 320, 320);
}

TEST_F(AnimationTest, TheGamesExplosionStripsLayOutAsDrawn) {
    HTEXTURE kaboom = texture("kaboom.png", 512, 256);
    Animation big(kaboom, 20, 10.0f, 0, 0, 64, 64);
    big.set_frame(7);
    expect_tex_rect(big.get_quad(), 448, 0, 64, 64, 512, 256);
    big.set_frame(8);
    expect_tex_rect(big.get_quad(), 0, 64, 64, 64, 512, 256);
    big.set_frame(19);
    expect_tex_rect(big.get_quad(), 192, 128, 64, 64, 512, 256);

    Animation small(kaboom, 8, 10.0f, 0, 192, 32, 32);
    small.set_frame(7);
    expect_tex_rect(small.get_quad(), 224, 192, 32, 32, 512, 256);
}

TEST_F(AnimationTest, StripStartingLowOnTheAtlasContinuesBelowIt) {
    // Eight 34 x 14 frames from (0, 234) on a 256-wide atlas: seven fit in the row.
    Animation a(texture("tex.png", 256, 256), 8, 30.0f, 0, 234, 34, 14);
    for (int n = 0; n < 7; ++n) {
        a.set_frame(n);
        expect_tex_rect(a.get_quad(), 34.0f * n, 234, 34, 14, 256, 256);
    }
    a.set_frame(7);
    expect_tex_rect(a.get_quad(), 0, 248, 34, 14, 256, 256);
}

TEST_F(AnimationTest, SetFrameTakesAnyIntegerModuloTheCount) {
    Animation a(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    a.set_frame(-1);
    EXPECT_EQ(a.get_frame(), 19);
    a.set_frame(20);
    EXPECT_EQ(a.get_frame(), 0);
    expect_tex_rect(a.get_quad(), 0, 0, 64, 64, 320, 320);
    a.set_frame(-21);
    EXPECT_EQ(a.get_frame(), 19);
    a.set_frame(45);
    EXPECT_EQ(a.get_frame(), 5);
}

TEST_F(AnimationTest, DegenerateSizesStayInTheirRowWithoutDividingByZero) {
    // No texture: a 1-texel strip, so every frame is wider than the strip.
    Animation none(0, 4, 10.0f, 0, 0, 64, 64);
    none.set_frame(3);
    expect_tex_rect(none.get_quad(), 192, 0, 64, 64, 1, 1);
    // Frames of zero width.
    Animation flat(texture("t.png", 320, 320), 4, 10.0f, 16, 8, 0, 10);
    flat.set_frame(3);
    EXPECT_EQ(flat.get_frame(), 3);
    expect_tex_rect(flat.get_quad(), 16, 8, 0, 10, 320, 320);
    // No frames at all counts as one.
    Animation empty(texture("u.png", 320, 320), 0, 10.0f, 0, 0, 64, 64);
    EXPECT_EQ(empty.get_frames(), 1);
    empty.set_frame(5);
    EXPECT_EQ(empty.get_frame(), 0);
    empty.play();
    empty.update(0.0f);
    empty.update(1.0f);
    EXPECT_EQ(empty.get_frame(), 0);
}

TEST_F(AnimationTest, FramesKeepTheirFlips) {
    Animation a(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    a.set_flip(true, false, false);
    a.set_frame(6);
    // Frame 6 is at (64, 64): mirrored, vertex 0 takes the right edge.
    EXPECT_FLOAT_EQ(a.get_quad().v[0].tx * 320.0f, 128.0f);
    EXPECT_FLOAT_EQ(a.get_quad().v[1].tx * 320.0f, 64.0f);
    EXPECT_FLOAT_EQ(a.get_quad().v[0].ty * 320.0f, 64.0f);
}

TEST_F(AnimationTest, FirstUpdateAfterPlayNeverAdvances) {
    Animation a(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    a.play();
    a.update(100.0f);
    EXPECT_EQ(a.get_frame(), 0);
    EXPECT_TRUE(a.is_playing());
    a.update(0.1f);
    EXPECT_EQ(a.get_frame(), 1);
    // A second play starts over, again without counting its first update.
    a.play();
    EXPECT_EQ(a.get_frame(), 0);
    a.update(5.0f);
    EXPECT_EQ(a.get_frame(), 0);
}

TEST_F(AnimationTest, EveryModePlaysItsSequence) {
    struct Case {
        int mode;
        std::vector<int> frames;
        int stops_after; // index in frames where playing turns false, -1 never
    };
    const Case cases[] = {
        {0, {0, 1, 2, 3, 3, 3}, 4},
        {1, {3, 2, 1, 0, 0, 0}, 4},
        {2, {0, 1, 2, 3, 2, 1, 0, 0, 0}, 7},
        {3, {3, 2, 1, 0, 1, 2, 3, 3, 3}, 7},
        {4, {0, 1, 2, 3, 0, 1, 2, 3, 0}, -1},
        {5, {3, 2, 1, 0, 3, 2, 1, 0, 3}, -1},
        {6, {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2}, -1},
        {7, {3, 2, 1, 0, 1, 2, 3, 2, 1, 0, 1}, -1},
    };
    for (const Case& c : cases) {
        Animation a(texture("t.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
        a.set_mode(c.mode);
        std::vector<bool> playing;
        std::vector<int> seen = frames_played(a, static_cast<int>(c.frames.size()) - 1, &playing);
        EXPECT_EQ(seen, c.frames) << "mode " << c.mode;
        for (size_t i = 0; i < playing.size(); ++i) {
            bool expected = c.stops_after < 0 || static_cast<int>(i) < c.stops_after;
            EXPECT_EQ(playing[i], expected) << "mode " << c.mode << " update " << i;
        }
    }
}

TEST_F(AnimationTest, OneLongUpdateHandlesEveryEndOnTheWay) {
    Animation a(texture("t.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
    a.set_mode(ANIM_PINGPONG);
    a.play();
    a.update(0.0f);
    a.update(0.65f); // six steps: up to 3 and back down to 0
    EXPECT_EQ(a.get_frame(), 0);
    EXPECT_TRUE(a.is_playing());
    a.update(0.1f); // the step before frame 0 ends a non-looping ping-pong
    EXPECT_EQ(a.get_frame(), 0);
    EXPECT_FALSE(a.is_playing());

    Animation b(texture("u.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
    b.set_mode(ANIM_PINGPONG | ANIM_LOOP);
    b.play();
    b.update(0.0f);
    b.update(0.95f); // nine steps: 1 2 3 2 1 0 1 2 3
    EXPECT_EQ(b.get_frame(), 3);
    b.update(0.1f);
    EXPECT_EQ(b.get_frame(), 2);

    Animation c(texture("v.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
    c.set_mode(ANIM_NOLOOP);
    c.play();
    c.update(0.0f);
    c.update(1.0f); // far past the end: halts on the last frame
    EXPECT_EQ(c.get_frame(), 3);
    EXPECT_FALSE(c.is_playing());
}

TEST_F(AnimationTest, StoppedAnimationKeepsItsFrame) {
    Animation a(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    a.play();
    a.update(0.0f);
    a.update(0.35f);
    EXPECT_EQ(a.get_frame(), 3);
    a.stop();
    for (int i = 0; i < 50; ++i) a.update(0.5f);
    EXPECT_EQ(a.get_frame(), 3);
    EXPECT_FALSE(a.is_playing());
    // A never-started one keeps frame 0.
    Animation b(texture("u.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    b.update(3.0f);
    EXPECT_EQ(b.get_frame(), 0);
}

TEST_F(AnimationTest, SetModeRewindsWithoutStartingOrStopping) {
    Animation a(texture("t.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
    a.set_frame(2);
    a.set_mode(ANIM_REVERSE);
    EXPECT_EQ(a.get_frame(), 3);
    EXPECT_FALSE(a.is_playing());
    a.play();
    a.update(0.0f);
    a.update(0.1f);
    EXPECT_EQ(a.get_frame(), 2);
    a.set_mode(ANIM_LOOP);
    EXPECT_EQ(a.get_frame(), 0);
    EXPECT_TRUE(a.is_playing());
    a.update(0.1f);
    EXPECT_EQ(a.get_frame(), 1);
}

TEST_F(AnimationTest, SpeedOfZeroOrLessNeverLoopsForever) {
    Animation a(texture("t.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
    a.play();
    a.update(0.0f);
    a.update(0.1f);
    EXPECT_EQ(a.get_frame(), 1);
    a.set_speed(0.0f);
    a.update(5.0f);
    EXPECT_EQ(a.get_frame(), 1);
    a.set_speed(-10.0f);
    a.update(5.0f);
    a.update(0.1f);
    EXPECT_EQ(a.get_frame(), 1);
    EXPECT_TRUE(a.is_playing());

    Animation b(texture("u.png", 640, 64), 4, 0.0f, 0, 0, 64, 64);
    b.play();
    b.update(0.0f);
    b.update(1.0f);
    EXPECT_EQ(b.get_frame(), 0);
}

TEST_F(AnimationTest, TimeBeyondFloatResolutionIsDroppedNotSpunOn) {
    Animation a(texture("t.png", 640, 64), 4, 10.0f, 0, 0, 64, 64);
    a.play();
    a.update(0.0f);
    a.update(1e30f);
    a.update(std::numeric_limits<float>::infinity());
    // The gathered time was dropped: the next normal update steps once.
    int before = a.get_frame();
    a.update(0.1f);
    EXPECT_EQ(a.get_frame(), (before + 1) % 4);
    a.update(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(a.is_playing());
}

TEST_F(AnimationTest, CopiesPlayIndependently) {
    Animation templ(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    templ.set_mode(ANIM_NOLOOP);
    templ.set_hot_spot(32, 32);

    Animation first(templ);
    Animation second(templ);
    first.play();
    first.update(0.0f);
    first.update(0.3f);
    EXPECT_EQ(first.get_frame(), 3);
    EXPECT_EQ(second.get_frame(), 0);
    EXPECT_FALSE(second.is_playing());
    EXPECT_FALSE(templ.is_playing());
    EXPECT_EQ(templ.get_frame(), 0);

    // A copy continues exactly where its source stands, timing included.
    first.update(0.05f);
    Animation third(first);
    first.update(0.05f);
    third.update(0.05f);
    EXPECT_EQ(first.get_frame(), 4);
    EXPECT_EQ(third.get_frame(), 4);
    third.render(100, 100);
    EXPECT_EQ(fake.quads.back().v[0].x, 68.0f);
    expect_tex_rect(fake.quads.back(), 256, 0, 64, 64, 320, 320);

    second = first;
    EXPECT_EQ(second.get_frame(), 4);
    EXPECT_TRUE(second.is_playing());
}

TEST_F(AnimationTest, NewTextureChangesWhereRowsWrap) {
    Animation a(texture("t.png", 320, 320), 20, 10.0f, 0, 0, 64, 64);
    a.set_texture(texture("wide.png", 640, 320));
    a.set_frame(5);
    expect_tex_rect(a.get_quad(), 320, 0, 64, 64, 640, 320);
    a.set_frame(10);
    expect_tex_rect(a.get_quad(), 0, 64, 64, 64, 640, 320);
}

TEST(AnimationReferenceTest, EngineReferencesBalanceThroughCopiesAndAssignments) {
    bool destroyed = false;
    auto* engine = new CountingEngine(&destroyed);
    engine->textures["t.png"] = {320, 320};
    HTEXTURE tex = engine->Texture_Load("t.png", 0, false);
    {
        Animation templ(tex, 20, 10.0f, 0, 0, 64, 64);
        Sprite plain(tex, 0, 0, 8, 8);
        std::vector<Animation> running;
        for (int i = 0; i < 10; ++i) running.push_back(templ);
        running[3] = templ;
        running.erase(running.begin() + 2); // moves by assignment
        Animation* owned = new Animation(running.back());
        Sprite plain_copy(plain);
        plain_copy = plain;
        delete owned;
        running.clear();
    }
    EXPECT_FALSE(destroyed) << "a sprite gave back a reference it did not take";
    engine->Release(); // the engine's own reference is now the last one
    EXPECT_TRUE(destroyed) << "a sprite kept a reference";
    if (!destroyed) delete engine;
}

} // namespace
