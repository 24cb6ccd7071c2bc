#include "engine/sdl/display.h"

#include <climits>

namespace {

const char* const kSection = "Display";
// Beyond this no desktop could show the window; it also keeps sizes in range.
const int kMaxScale = 64;

bool read_flag(IniFile& ini, const char* key, bool def) {
    int v = ini.get_int(kSection, key, def ? 1 : 0);
    return (v == 0 || v == 1) ? v == 1 : def;
}

} // namespace

DisplayOptions read_display_options(IniFile& ini) {
    DisplayOptions d;
    d.fullscreen = read_flag(ini, "fullscreen", d.fullscreen);
    int scale = ini.get_int(kSection, "scale", d.scale);
    if (scale >= 1) d.scale = scale < kMaxScale ? scale : kMaxScale;
    d.integer_scaling = read_flag(ini, "integer_scaling", d.integer_scaling);
    d.vsync = read_flag(ini, "vsync", d.vsync);
    d.pause_when_unfocused = read_flag(ini, "pause_when_unfocused", d.pause_when_unfocused);
    return d;
}

int fitting_scale(int pic_w, int pic_h, int scale, int desk_w, int desk_h) {
    long long s = scale < 1 ? 1 : (scale > kMaxScale ? kMaxScale : scale);
    if (pic_w <= 0 || pic_h <= 0) return static_cast<int>(s);
    // No desktop size: only keep the product an int.
    long long limit_w = desk_w > 0 ? desk_w : INT_MAX;
    long long limit_h = desk_h > 0 ? desk_h : INT_MAX;
    while (s > 1 && (pic_w * s > limit_w || pic_h * s > limit_h)) --s;
    return static_cast<int>(s);
}

WindowSize window_size(int pic_w, int pic_h, int scale, int desk_w, int desk_h) {
    if (pic_w <= 0 || pic_h <= 0) return {pic_w, pic_h};
    long long s = fitting_scale(pic_w, pic_h, scale, desk_w, desk_h);
    long long limit_w = desk_w > 0 ? desk_w : INT_MAX;
    long long limit_h = desk_h > 0 ? desk_h : INT_MAX;
    if (pic_w * s <= limit_w && pic_h * s <= limit_h)
        return {static_cast<int>(pic_w * s), static_cast<int>(pic_h * s)};
    Letterbox fit =
        letterbox_rect(static_cast<int>(limit_w), static_cast<int>(limit_h), pic_w, pic_h);
    return {fit.w > 0 ? fit.w : 1, fit.h > 0 ? fit.h : 1};
}
