#include "gfx/animation.h"

#include <climits>
#include <cmath>

namespace {

// Nearest integer, halves away from zero; out-of-range values clamp instead of overflowing.
int round_int(float v) {
    if (!(v > static_cast<float>(INT_MIN))) return v != v ? 0 : INT_MIN;
    if (!(v < static_cast<float>(INT_MAX))) return INT_MAX;
    return static_cast<int>(std::lround(v));
}

// The loaded image's width; no texture (or one the engine cannot size) counts as 1.
int image_width(Engine* engine, HTEXTURE texture) {
    int w = (texture != 0 && engine) ? engine->Texture_GetWidth(texture, true) : 0;
    return w > 0 ? w : 1;
}

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

Animation::Animation(HTEXTURE texture, int frames, float fps, float x, float y, float w, float h)
    : Sprite(texture, x, y, w, h), strip_width(image_width(engine, texture)), playing(false),
      frame_time(1.0f / fps), time_since(-1.0f), mode(ANIM_LOOP), step(1),
      frame_count(frames > 0 ? frames : 1), current_frame(0) {
    set_frame(0);
}

void Animation::set_texture(HTEXTURE texture) {
    Sprite::set_texture(texture);
    strip_width = image_width(engine, texture);
}

void Animation::play() {
    playing = true;
    time_since = -1.0f;
    set_mode(mode);
}

void Animation::set_mode(int new_mode) {
    mode = new_mode;
    if (mode & ANIM_REVERSE) {
        step = -1;
        set_frame(frame_count - 1);
    } else {
        step = 1;
        set_frame(0);
    }
}

void Animation::set_frame(int n) {
    int rounded_width = round_int(width);
    int columns = rounded_width > 0 ? strip_width / rounded_width : 0;

    n %= frame_count;
    if (n < 0) n += frame_count;
    current_frame = n;

    float x = n * width + tex_x;
    float y = tex_y;
    // A frame wider than the whole strip has nowhere to wrap to and stays in its row.
    if (columns > 0 && static_cast<float>(strip_width) - width < x) {
        int first_row = round_int(static_cast<float>(strip_width) - tex_x) / rounded_width;
        int k = n - first_row;
        x = (k % columns) * width;
        y = (k / columns + 1) * height + tex_y;
    }
    set_tex_coords(x, y, width, height);
    reapply_flips();
}

void Animation::update(float dt) {
    if (!playing) return;
    if (time_since == -1.0f) {
        time_since = 0.0f;
    } else {
        time_since += dt;
    }
    if (!(frame_time > 0.0f) || !std::isfinite(frame_time)) return;

    while (time_since >= frame_time) {
        float before = time_since;
        time_since -= frame_time;
        if (!(time_since < before)) {
            // Too much time for float steps to count down: drop it rather than spin.
            time_since = 0.0f;
            break;
        }
        EndAction action = END_NOTHING;
        if (current_frame + step == frame_count) {
            action = past_last(mode);
        } else if (current_frame + step < 0) {
            action = before_first(mode);
        }
        switch (action) {
        case END_STOP: playing = false; break;
        case END_REVERSE: step = -step; break;
        case END_NOTHING: break;
        }
        if (playing) set_frame(current_frame + step);
    }
}
