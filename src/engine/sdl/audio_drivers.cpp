#include "engine/sdl/audio_drivers.h"

std::vector<std::string> audio_driver_order(const std::vector<std::string>& available,
                                            const char* requested, bool sound_devices) {
    std::vector<std::string> order;
    if (requested && *requested) {
        order.push_back(requested);
    } else {
        for (const std::string& name : available) {
            if (name == "disk" || name == "dummy") continue;
            if (name == "alsa" && !sound_devices) continue;
            order.push_back(name);
        }
    }
    if (order.empty() || order.back() != "dummy") order.push_back("dummy");
    return order;
}
