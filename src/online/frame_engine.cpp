#include "online/frame_engine.h"

#include <cstdarg>
#include <cstdio>

void FrameEngine::System_Log(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    real_->System_Log("%s", line);
}

HCHANNEL FrameEngine::Effect_Play(HEFFECT e) {
    int slot = -1;
    for (int i = 0; i < REMEMBERED; ++i) {
        if (effects_[i] == e) {
            slot = i;
            break;
        }
        if (slot < 0 && effects_[i] == 0) slot = i;
    }
    if (silent_) return slot >= 0 && effects_[slot] == e ? channels_[slot] : 0;
    HCHANNEL c = real_->Effect_Play(e);
    if (slot >= 0) {
        effects_[slot] = e;
        channels_[slot] = c;
    }
    return c;
}
