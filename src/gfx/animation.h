// A sprite that steps through equally sized frames laid out left to right,
// continuing on the next row (from x = 0) where a frame would pass the
// image's width.
#pragma once

#include "base/anim_clock.h"
#include "gfx/sprite.h"

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
    void stop() { clock_.playing = false; }
    // Goes on from the current frame and the time already gathered.
    void resume() { clock_.playing = true; }
    // True between play and a stop (by call or by a non-looping end).
    bool is_playing() const { return clock_.playing; }
    // Advances by dt seconds; the first update after play adds no time; a speed of
    // zero or less never advances.
    void update(float dt);

    // Any integer, taken modulo the frame count.
    void set_frame(int n);
    // Sum of ANIM_ flags; rewinds to the first frame of its direction.
    void set_mode(int new_mode);
    // Frames per second; zero or less halts the time-based stepping.
    void set_speed(float fps) { clock_.frame_time = 1.0f / fps; }
    // As the sprite's, and later frames wrap at the new image's width.
    void set_texture(HTEXTURE texture);

    // 0 .. frame count - 1.
    int get_frame() const { return clock_.frame; }
    // The number of frames.
    int get_frames() const { return frame_count(); }
    int frame_count() const { return clock_.frame_count; }
    // The ANIM_ flags as last set.
    int get_mode() const { return clock_.mode; }
    // Frames per second.
    float get_speed() const { return 1.0f / clock_.frame_time; }
    // Where it stands in time: a copy plays on alone, and set_frame shows its frame.
    const AnimClock& clock() const { return clock_; }

  private:
    // The texture rectangle of the clock's frame.
    void show_frame();

    int strip_width;
    AnimClock clock_;
};
