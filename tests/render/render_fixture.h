// Shared set-up for the drawing tests: an engine that also records which
// scene each quad and clear went to, and globals reset to a known start.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "world/globals.h"
#include "settings/settings.h"
#include "support/fake_engine.h"

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

// Puts every global the renderer reads back to a neutral start; the test
// then adds only what it looks at.
inline void reset_render_globals() {
    read_settings(true);
    game_state = STATE_PLAY;
    game_mode = MODE_ONE_PLAYER;
    for (ship& s : ship_records) s = ship{};
    money = bonus = level_index = iteration = 0;
    std::snprintf(password, sizeof password, "%s", "AAAAAAAAA");
    clear_screen_once = false;
    view_anchor[0] = 200;
    view_anchor[1] = 400;
    half_width = 399;
    clear_world_lists();
    view_target[0] = view_target[1] = 0;
    view_sprite[0] = view_sprite[1] = nullptr;
    sprite_logo = sprite_star = sprite_ship0 = sprite_ship1 = nullptr;
    sprite_enemy_bullet = sprite_player_bullet = sprite_dot = nullptr;
    kaboom_anim = boom_anim = nullptr;
    for (Animation*& picture : images) picture = nullptr;
    font1 = font2 = nullptr;
}

// Heap allocations made while counting_allocations is set (alloc_counter.cpp).
extern long counted_allocations;
extern bool counting_allocations;

inline bool near(float a, float b) { return std::fabs(a - b) < 1e-3f; }
