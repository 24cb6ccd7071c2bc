// A sprite that steps through equally sized frames laid out left to right,
// continuing on the next row (from x = 0) where a frame would pass the
// image's width.
#pragma once

#include "gfx/sprite.h"

enum {
    ANIM_FWD = 0,
    ANIM_REV = 1,
    ANIM_REVERSE = 1,
    ANIM_PINGPONG = 2,
    ANIM_NOPINGPONG = 0,
    ANIM_LOOP = 4,
    ANIM_NOLOOP = 0,
};

class Animation : public Sprite {
  public:
    // The first frame's rectangle in texels; fps frames per second; stopped, forward loop,
    // frame 0. Fewer than one frame counts as one.
    Animation(HTEXTURE texture, int frames, float fps, float x, float y, float w, float h);
    // A copy continues exactly where its source stands, with its own engine reference.
    Animation(const Animation& other) = default;
    // Takes every field of other; keeps this object's one engine reference.
    Animation& operator=(const Animation& other) = default;

    // Starts from the first frame of the current direction.
    void play();
    // Halts on the current frame.
    void stop() { playing = false; }
    // Goes on from the current frame and the time already gathered.
    void resume() { playing = true; }
    // True between play and a stop (by call or by a non-looping end).
    bool is_playing() const { return playing; }
    // Advances by dt seconds; the first update after play adds no time; a speed of
    // zero or less never advances.
    void update(float dt);

    // Any integer, taken modulo the frame count.
    void set_frame(int n);
    // Sum of ANIM_ flags; rewinds to the first frame of its direction.
    void set_mode(int new_mode);
    // Frames per second; zero or less halts the time-based stepping.
    void set_speed(float fps) { frame_time = 1.0f / fps; }
    // As the sprite's, and later frames wrap at the new image's width.
    void set_texture(HTEXTURE texture);

    // 0 .. frame count - 1.
    int get_frame() const { return current_frame; }
    // The number of frames.
    int get_frames() const { return frame_count; }
    // The ANIM_ flags as last set.
    int get_mode() const { return mode; }
    // Frames per second.
    float get_speed() const { return 1.0f / frame_time; }

  private:
    int strip_width;
    bool playing;
    float frame_time;
    float time_since; // -1 marks an animation that has just been started
    int mode;
    int step; // +1 or -1
    int frame_count;
    int current_frame;
};
