// The running game: the world, the player's options and the hud, and the
// engine's frame and render callbacks over them.
#pragma once

#include "base/keys.h"
#include "engine/engine.h"
#include "options/options.h"
#include "render/hud.h"
#include "world/world.h"

struct App {
    World world;
    player_options options;
    Hud hud;
    HCHANNEL intro_channel = 0; // the channel the intro last started on
    bool save_options = false;  // closing the options screen writes the options file
};

extern App app;

// One frame with these keys and time: the options screen, or the game's frame
// with its events played and the hud kept up. True ends the program.
bool app_frame(App& a, const KeyFrame& keys, float dt);
// The world's last events: sounds to the engine, feedback to the hud (dt:
// the frame's time).
void take_events(App& a, float dt);
// The player's options from now on; the players' keys go to the ships.
void use_options(App& a, const player_options& o);

// The engine's callbacks over `app`: the frame's keys and time from the engine.
bool frame_func();
bool render_func();
