// Where an animation stands in time: its frame, its direction and the time
// gathered toward the next frame. Plain data, so a saved game holds it by
// value; gfx's Animation draws the frame a clock shows.
#pragma once

enum {
    ANIM_FWD = 0,
    ANIM_REV = 1,
    ANIM_REVERSE = 1,
    ANIM_PINGPONG = 2,
    ANIM_NOPINGPONG = 0,
    ANIM_LOOP = 4,
    ANIM_NOLOOP = 0,
};

struct AnimClock {
    bool playing = false;
    float frame_time = 1.0f;  // seconds a frame shows: 1 / fps
    float time_since = -1.0f; // -1 marks a clock that has just been started
    int mode = ANIM_LOOP;     // ANIM_ flags
    int step = 1;             // +1 or -1
    int frame_count = 1;
    int frame = 0;
};

// Stopped, forward loop, frame 0; fewer than one frame counts as one.
AnimClock anim_clock(int frames, float fps);
// Starts from the first frame of the current direction.
void anim_play(AnimClock& c);
// Sum of ANIM_ flags; rewinds to the first frame of its direction.
void anim_set_mode(AnimClock& c, int mode);
// Any integer, taken modulo the frame count.
void anim_set_frame(AnimClock& c, int n);
// Advances by dt seconds; the first update after play adds no time; a frame
// time of zero, below or not finite never advances. Returns the frames stepped.
int anim_update(AnimClock& c, float dt);
