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
    // The first frame's rectangle in texels; fps frames per second.
    Animation(HTEXTURE texture, int frames, float fps, float x, float y, float w, float h);
    Animation(const Animation& other) = default;
    Animation& operator=(const Animation& other) = default;

    // Starts from the first frame of the current direction.
    void play();
    void stop() { playing = false; }
    void resume() { playing = true; }
    bool is_playing() const { return playing; }
    // Advances by dt seconds; the first update after play adds no time.
    void update(float dt);

    // Any integer, taken modulo the frame count.
    void set_frame(int n);
    // Sum of ANIM_ flags; rewinds to the first frame of its direction.
    void set_mode(int new_mode);
    void set_speed(float fps) { frame_time = 1.0f / fps; }
    void set_texture(HTEXTURE texture);

    int get_frame() const { return current_frame; }
    int get_frames() const { return frame_count; }
    int get_mode() const { return mode; }
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
