// Which of SDL's sound drivers the engine tries, and in what order.
#pragma once

#include <string>
#include <vector>

// The driver the player named (SDL_AUDIODRIVER), or else every driver SDL
// has in SDL's own order, leaving out those SDL only uses when named; always
// ending in the silent "dummy" driver, so the game runs without sound rather
// than not at all. Without sound device files ALSA can only fail, and slowly
// (stopping its device watcher takes a tenth of a second), so it is left out.
std::vector<std::string> audio_driver_order(const std::vector<std::string>& available,
                                            const char* requested, bool sound_devices);
