// Small sums of the frame loop, kept apart so they can be checked alone.
#pragma once

#include <cstdint>

// The frame time handed to the game: negative clock steps become 0, and long
// stalls (a dragged window, a suspended machine) at most 0.1 s, so the
// simulation never takes one giant step.
float clamp_frame_delta(float seconds);

struct Letterbox {
    int x, y, w, h;
};

// The largest rectangle of the picture's aspect ratio centred in the output;
// the rest of the output is bars.
Letterbox letterbox_rect(int out_w, int out_h, int pic_w, int pic_h);

// The picture at the largest whole multiple of its size that fits the output,
// centred, for sharp pixels; when even one times does not fit, letterbox_rect.
Letterbox whole_multiple_rect(int out_w, int out_h, int pic_w, int pic_h);

// Frames at a steady rate: each frame is due one period after the one before
// was due, so a sleep that overshoots once does not slow the game down; a
// frame more than a period late (a stall, a pause) starts the count afresh
// instead of hurrying to catch up.
class FramePacer {
  public:
    // Clock ticks to wait now, at `now`, before the frame ends; `period` ticks
    // a frame, 0 for no limit.
    uint64_t wait(uint64_t now, uint64_t period);

  private:
    uint64_t due_ = 0;
    bool started_ = false;
};

// Whether vsync really waits for the display: some drivers accept it and
// present at once. Fed the time between presented frames, it decides from
// their average over a window of frames and keeps its answer until reset.
class VsyncCheck {
  public:
    static const int kFrames = 60;
    // One frame's time from present to present, and the display's period.
    void add(double seconds, double refresh_period);
    // False once a window's frames came, on average, well quicker than the display.
    bool waits() const { return waits_; }
    void reset() { *this = VsyncCheck(); }

  private:
    int seen_ = 0;
    double total_ = 0.0;
    bool waits_ = true;
};
