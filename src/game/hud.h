// Keeping the hud in step with the game: the aids' feedback after each frame.
#pragma once

#include "render/hud.h"
#include "world/world.h"

// After a frame that took dt: the frame's events (a refused password, a level
// begun) and the armor lost in play.
void hud_frame(Hud& hud, const World& w, float dt);
