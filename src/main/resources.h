// Start-up and shutdown around the engine's loop.
#pragma once

// Creates the engine handle and sets its states (title, size, callbacks, files).
void configure_engine();
// Loads sounds, textures and fonts, makes targets, sprites, animations and the
// picture table. On a missing sound or texture: the error box, shutdown, false.
bool load_resources();
// Frees every resource that exists.
void free_resources();
// free_resources, then the engine's shutdown and release.
void shutdown_program();
// After lost render targets: views pick up their targets' new textures.
bool gfx_restore_func();
