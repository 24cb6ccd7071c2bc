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

} // namespace

Animation::Animation(HTEXTURE texture, int frames, float fps, float x, float y, float w, float h)
    : Sprite(texture, x, y, w, h), strip_width(image_width(engine, texture)),
      clock_(anim_clock(frames, fps)) {
    set_frame(0);
}

void Animation::set_texture(HTEXTURE texture) {
    Sprite::set_texture(texture);
    strip_width = image_width(engine, texture);
}

void Animation::play() {
    anim_play(clock_);
    show_frame();
}

void Animation::set_mode(int new_mode) {
    anim_set_mode(clock_, new_mode);
    show_frame();
}

void Animation::set_frame(int n) {
    anim_set_frame(clock_, n);
    show_frame();
}

void Animation::show_frame() {
    int rounded_width = round_int(width);
    int columns = rounded_width > 0 ? strip_width / rounded_width : 0;
    int n = clock_.frame;
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
    if (anim_update(clock_, dt) > 0) show_frame();
}
