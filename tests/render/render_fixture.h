// Shared set-up for the drawing tests: an engine that also records which
// scene each quad and clear went to, a world in a known start, and no
// pictures until a test adds them.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "options/options.h"
#include "render/hud.h"
#include "render/render.h"
#include "render/resources.h"
#include "settings/settings.h"
#include "support/fake_engine.h"
#include "world/world.h"

struct SceneEvent {
    enum Kind { BEGIN, CLEAR, QUAD, END } kind;
    HTARGET target; // the scene's target (0: the screen)
    uint32_t color; // CLEAR only
    hgeQuad quad;   // QUAD only
};

class RecordingEngine : public FakeEngine {
public:
    std::vector<SceneEvent> events;

    bool Gfx_BeginScene(HTARGET target) override {
        FakeEngine::Gfx_BeginScene(target);
        events.push_back({SceneEvent::BEGIN, target, 0, {}});
        return true;
    }
    void Gfx_EndScene() override { events.push_back({SceneEvent::END, current_target, 0, {}}); }
    void Gfx_Clear(uint32_t color) override {
        FakeEngine::Gfx_Clear(color);
        events.push_back({SceneEvent::CLEAR, current_target, color, {}});
    }
    void Gfx_RenderQuad(const hgeQuad* quad) override {
        FakeEngine::Gfx_RenderQuad(quad);
        events.push_back({SceneEvent::QUAD, current_target, 0, *quad});
    }

    // Quads drawn into one target, in order.
    std::vector<hgeQuad> quads_in(HTARGET target) const {
        std::vector<hgeQuad> out;
        for (const SceneEvent& e : events)
            if (e.kind == SceneEvent::QUAD && e.target == target) out.push_back(e.quad);
        return out;
    }
    std::vector<HTEXTURE> textures_in(HTARGET target) const {
        std::vector<HTEXTURE> out;
        for (const hgeQuad& q : quads_in(target)) out.push_back(q.tex);
        return out;
    }
    int clears_in(HTARGET target, uint32_t color) const {
        int n = 0;
        for (const SceneEvent& e : events)
            if (e.kind == SceneEvent::CLEAR && e.target == target && e.color == color) ++n;
        return n;
    }
    int scenes_on(HTARGET target) const {
        int n = 0;
        for (const SceneEvent& e : events)
            if (e.kind == SceneEvent::BEGIN && e.target == target) ++n;
        return n;
    }
};

// A world, the player's options and a hud in a neutral start (play, ONE
// PLAYER, default settings, view 0's ship at (200, 400)); the test then adds
// only what it looks at. The pictures are none until a test makes them.
class RenderFixture : public ::testing::Test {
  protected:
    // The settings file is read through the engine, so it comes first.
    RecordingEngine fake;
    World w;
    player_options options;
    Hud hud;

    void SetUp() override {
        engine = hgeCreate(ENGINE_VERSION);
        resources = Resources{};
        read_settings(w.settings, true);
        w.file_settings = w.settings;
        // The players' keys as the settings file gives them.
        for (int p = 0; p < 2; ++p) {
            const int32_t* k = w.settings.player_keys[p];
            ship& s = w.ship_records[p];
            s.key_left = k[0], s.key_right = k[1], s.key_up = k[2], s.key_down = k[3];
            s.key_fire = k[4];
        }
        w.game_state = STATE_PLAY;
        w.game_mode = MODE_ONE_PLAYER;
        w.view_anchor[0] = 200;
        w.view_anchor[1] = 400;
    }

    void TearDown() override {
        resources = Resources{}; // the pictures die with the test
        engine->Release();
        engine = nullptr;
    }

    Scene scene() const { return {w, options, hud}; }
    void render() { render_frame(scene()); }
};

// Heap allocations made while counting_allocations is set (alloc_counter.cpp).
extern long counted_allocations;
extern bool counting_allocations;

inline bool near(float a, float b) { return std::fabs(a - b) < 1e-3f; }
