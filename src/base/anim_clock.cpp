#include "base/anim_clock.h"

#include <cmath>

namespace {

enum EndAction { END_NOTHING, END_STOP, END_REVERSE };

// What a mode does when the next step would pass the last frame.
EndAction past_last(int mode) {
    switch (mode & 7) {
    case 0:
    case 3: return END_STOP;
    case 2:
    case 6:
    case 7: return END_REVERSE;
    case 1:
    case 4:
    case 5: return END_NOTHING;
    }
    return END_NOTHING;
}

// What a mode does when the next step would go before the first frame.
EndAction before_first(int mode) {
    switch (mode & 7) {
    case 1:
    case 2: return END_STOP;
    case 3:
    case 6:
    case 7: return END_REVERSE;
    case 0:
    case 4:
    case 5: return END_NOTHING;
    }
    return END_NOTHING;
}

} // namespace

AnimClock anim_clock(int frames, float fps) {
    AnimClock c;
    c.frame_time = 1.0f / fps;
    c.frame_count = frames > 0 ? frames : 1;
    return c;
}

void anim_play(AnimClock& c) {
    c.playing = true;
    c.time_since = -1.0f;
    anim_set_mode(c, c.mode);
}

void anim_set_mode(AnimClock& c, int mode) {
    c.mode = mode;
    if (mode & ANIM_REVERSE) {
        c.step = -1;
        anim_set_frame(c, c.frame_count - 1);
    } else {
        c.step = 1;
        anim_set_frame(c, 0);
    }
}

void anim_set_frame(AnimClock& c, int n) {
    n %= c.frame_count;
    if (n < 0) n += c.frame_count;
    c.frame = n;
}

int anim_update(AnimClock& c, float dt) {
    if (!c.playing) return 0;
    if (c.time_since == -1.0f) {
        c.time_since = 0.0f;
    } else {
        c.time_since += dt;
    }
    if (!(c.frame_time > 0.0f) || !std::isfinite(c.frame_time)) return 0;
    int stepped = 0;

    while (c.time_since >= c.frame_time) {
        float before = c.time_since;
        c.time_since -= c.frame_time;
        if (!(c.time_since < before)) {
            // Too much time for float steps to count down: drop it rather than spin.
            c.time_since = 0.0f;
            break;
        }
        EndAction action = END_NOTHING;
        if (c.frame + c.step == c.frame_count) {
            action = past_last(c.mode);
        } else if (c.frame + c.step < 0) {
            action = before_first(c.mode);
        }
        switch (action) {
        case END_STOP: c.playing = false; break;
        case END_REVERSE: c.step = -c.step; break;
        case END_NOTHING: break;
        }
        if (c.playing) {
            anim_set_frame(c, c.frame + c.step);
            ++stepped;
        }
    }
    return stepped;
}
