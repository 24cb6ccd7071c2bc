// The "Display" section of the settings file: how the window opens and
// behaves. Only the windowed engine reads it; headless runs ignore it.
#pragma once

#include "engine/frame_math.h"
#include "engine/sdl/ini_file.h"

struct DisplayOptions {
    bool fullscreen = false;          // start fullscreen rather than windowed
    int scale = 1;                    // window size as a whole multiple of the picture
    bool integer_scaling = false;     // show the picture only at whole multiples
    bool vsync = false;               // wait for the display instead of the frame limiter
    bool pause_when_unfocused = true; // no frames and no sound while the window is away
};

// The section's values; a missing key or a value outside its range gives the default.
DisplayOptions read_display_options(IniFile& ini);

// The largest whole scale, up to the asked one, at which a pic_w x pic_h
// picture fits a desk_w x desk_h desktop; 1 when even that does not fit. A
// desktop of unknown size (0) takes the asked scale (kept within range).
int fitting_scale(int pic_w, int pic_h, int scale, int desk_w, int desk_h);

struct WindowSize {
    int w, h;
};

// The window for a pic_w x pic_h picture at the asked scale, clamped to a
// desk_w x desk_h desktop: the largest whole scale that fits, or, when even
// scale 1 does not, the largest size of the picture's shape. A desktop of
// unknown size (0) clamps nothing but keeps the size within the int range.
WindowSize window_size(int pic_w, int pic_h, int scale, int desk_w, int desk_h);
