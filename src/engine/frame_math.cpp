#include "engine/frame_math.h"

float clamp_frame_delta(float seconds) {
    if (!(seconds > 0.0f)) return 0.0f; // also NaN
    return seconds > 0.1f ? 0.1f : seconds;
}

Letterbox letterbox_rect(int out_w, int out_h, int pic_w, int pic_h) {
    if (out_w <= 0 || out_h <= 0 || pic_w <= 0 || pic_h <= 0) return {0, 0, 0, 0};
    // Compare out_w / out_h with pic_w / pic_h without rounding.
    long long wide = static_cast<long long>(out_w) * pic_h;
    long long tall = static_cast<long long>(out_h) * pic_w;
    Letterbox r;
    if (wide > tall) { // bars left and right
        r.h = out_h;
        r.w = static_cast<int>(tall / pic_h);
    } else {
        r.w = out_w;
        r.h = static_cast<int>(wide / pic_w);
    }
    r.x = (out_w - r.w) / 2;
    r.y = (out_h - r.h) / 2;
    return r;
}

Letterbox whole_multiple_rect(int out_w, int out_h, int pic_w, int pic_h) {
    if (out_w <= 0 || out_h <= 0 || pic_w <= 0 || pic_h <= 0) return {0, 0, 0, 0};
    int k = out_w / pic_w < out_h / pic_h ? out_w / pic_w : out_h / pic_h;
    if (k < 1) return letterbox_rect(out_w, out_h, pic_w, pic_h);
    Letterbox r;
    r.w = pic_w * k;
    r.h = pic_h * k;
    r.x = (out_w - r.w) / 2;
    r.y = (out_h - r.h) / 2;
    return r;
}

uint64_t FramePacer::wait(uint64_t now, uint64_t period) {
    if (period == 0) {
        started_ = false;
        return 0;
    }
    due_ += period;
    if (!started_ || now > due_ + period || due_ > now + 2 * period) {
        // First frame, a stall, or a clock that moved back: count from now.
        started_ = true;
        due_ = now;
        return 0;
    }
    return due_ > now ? due_ - now : 0;
}

void VsyncCheck::add(double seconds, double refresh_period) {
    if (!waits_ || !(refresh_period > 0.0)) return;
    ++seen_;
    total_ += seconds;
    if (seen_ < kFrames) return;
    // Frames may queue up for a moment, but on average vsync cannot present
    // more often than the display shows them.
    waits_ = total_ >= kFrames * refresh_period * 0.75;
    seen_ = 0;
    total_ = 0.0;
}
