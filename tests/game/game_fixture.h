// A game as start-up makes it from a fake engine's settings file, no data
// files; frames run as the program runs them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "base/keys.h"
#include "game/hud.h"
#include "game/states.h"
#include "render/hud.h"
#include "render/resources.h"
#include "settings/settings.h"
#include "support/draws.h"
#include "support/fake_engine.h"
#include "world/world.h"

class GameTest : public ::testing::Test {
protected:
  // The settings file is read through the engine, so it comes first.
  FakeEngine fake;
  World w;
  Hud hud;
  ScriptedDraws draws; // scripted draws first, then the world's generator
  HCHANNEL intro_channel = 0;
  KeyFrame keys;

  void SetUp() override {
      engine = hgeCreate(ENGINE_VERSION);
      start_world();
    }

    void TearDown() override {
        engine->Release();
        engine = nullptr;
    }

    // A new world from the fake settings file as it stands now.
    void start_world() {
        Settings file{};
        read_settings(file, true);
        new_world(w, file, 1, 800, 590);
        draws.use_prng = true;
        w.tap = &draws;
        w.events.clear(); // start-up's intro is no test's business
        hud = Hud{};
    }

    // One frame with these keys going down before it (and up after it).
    bool frame_with(std::initializer_list<int> pressed) {
        for (int k : pressed) fake.press(k);
        bool ended = step();
        for (int k : pressed) fake.release(k);
        return ended;
    }

    bool frames(int n) {
        for (int i = 0; i < n; ++i)
            if (step()) return true;
        return false;
    }

    // The last frame gave out this kind of event.
    bool emitted(EventKind kind) const {
        return std::any_of(w.events.begin(), w.events.end(),
                           [kind](const Event& e) { return e.kind == kind; });
    }

  private:
    // As the program's frame: the engine's keys, the simulation, its sounds
    // played on the engine and the hud kept up.
    bool step() {
        fake.begin_frame();
        read_key_frame(&fake, keys);
        bool ended = simulate(w, keys, fake.delta);
        play_events(w.events, intro_channel);
        hud_frame(hud, w, fake.delta);
        return ended;
    }
};
