// Small sums of the frame loop, kept apart so they can be checked alone.
#pragma once

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
