// The game's pictures, fonts, sounds and view targets: every engine handle
// the game holds, from start-up to shutdown. 0 / nullptr: not loaded.
#pragma once

#include "engine/engine.h"
#include "gfx/animation.h"
#include "gfx/font.h"
#include "gfx/sprite.h"
#include "world/world.h"

struct Resources {
    HEFFECT sounds[SOUND_COUNT] = {};
    HTEXTURE tex_main = 0, tex_logo = 0, tex_kaboom = 0;
    Font* font1 = nullptr;
    Font* font2 = nullptr;
    HTARGET view_target[2] = {0, 0};
    Sprite* view_sprite[2] = {nullptr, nullptr};
    Sprite* sprite_logo = nullptr;
    Sprite* sprite_star = nullptr;
    Sprite* sprite_ship0 = nullptr;
    Sprite* sprite_ship1 = nullptr;
    Sprite* sprite_enemy_bullet = nullptr;
    Sprite* sprite_player_bullet = nullptr;
    Sprite* sprite_dot = nullptr;
    Animation* kaboom_anim = nullptr;   // picture of the large explosion
    Animation* boom_anim = nullptr;     // picture of the small explosion
    Animation* images[KIND_COUNT] = {}; // one picture per enemy kind
};

extern Engine* engine; // the engine handle
extern Resources resources;

// View 0's target and picture take the world's width; a target of the same
// size is kept as it is (every view is cleared before it is drawn).
void fit_views(const World& w);

// Plays a frame's events on the engine: sounds, stopping, pausing, and the
// intro, whose channel is kept in intro_channel.
void play_events(const std::vector<Event>& events, HCHANNEL& intro_channel);
