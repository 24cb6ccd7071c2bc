// The browser back end: WebGL drawing, Web Audio sound and keyboard events,
// built with emscripten. The page's entry chooses it in place of SDL.
#pragma once

#include "engine/engine.h"

Engine* create_web_engine();

// Called once when the frame callback ends the loop (the player quit), since
// a browser's System_Start never returns to its caller.
void web_engine_on_quit(Engine* e, void (*quit)());

// Frames the engine has run (the page counts presented frames itself).
long web_engine_frames(Engine* e);
