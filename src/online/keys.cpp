#include "online/keys.h"

#include <cstring>

#include "engine/engine.h"
#include "world/globals.h"

bool operator==(const KeyFrame& a, const KeyFrame& b) {
    return a.last_key == b.last_key && std::memcmp(a.held, b.held, sizeof a.held) == 0 &&
           std::memcmp(a.down, b.down, sizeof a.down) == 0 &&
           std::memcmp(a.up, b.up, sizeof a.up) == 0;
}

void read_keyboard(Engine* e, KeyFrame& out) {
    out = KeyFrame();
    for (int key = 1; key < 256; ++key) {
        KeyFrame::set(out.held, key, e->Input_GetKeyState(key));
        KeyFrame::set(out.down, key, e->Input_KeyDown(key));
        KeyFrame::set(out.up, key, e->Input_KeyUp(key));
    }
    int last = e->Input_GetKey();
    out.last_key = static_cast<uint8_t>(last > 0 && last < 256 ? last : 0);
}

KeyFrame held_only(const KeyFrame& k) {
    KeyFrame out;
    std::memcpy(out.held, k.held, sizeof out.held);
    return out;
}

void apply_key_change(KeyFrame& k, int key, bool press) {
    if (key <= 0 || key > 255 || k.is_held(key) == press) return;
    KeyFrame::set(k.held, key, press);
    if (press) {
        KeyFrame::set(k.down, key, true);
        k.last_key = static_cast<uint8_t>(key);
    } else {
        KeyFrame::set(k.up, key, true);
    }
}

namespace {

const int32_t ship::*const FLIGHT_KEYS[5] = {&ship::key_left, &ship::key_right, &ship::key_up,
                                             &ship::key_down, &ship::key_fire};

// Where a key of one side lands on the shared keyboard.
int target_key(int key, int side, bool playing) {
    if (!playing) return key;
    for (int set = 0; set < 2; ++set)
        for (int i = 0; i < 5; ++i)
            if (ship_records[set].*FLIGHT_KEYS[i] == key) return ship_records[side].*FLIGHT_KEYS[i];
    return key;
}

void add_side(const KeyFrame& k, int side, bool playing, KeyFrame& out) {
    for (int key = 1; key < 256; ++key) {
        bool held = k.is_held(key), down = k.went_down(key), up = k.went_up(key);
        if (!held && !down && !up) continue;
        int t = target_key(key, side, playing);
        if (held) KeyFrame::set(out.held, t, true);
        if (down) KeyFrame::set(out.down, t, true);
        if (up) KeyFrame::set(out.up, t, true);
    }
}

} // namespace

void make_consistent(KeyFrame& k, const uint8_t prev_held[32]) {
    int highest_down = 0;
    for (int key = 1; key < 256; ++key) {
        bool was = KeyFrame::bit(prev_held, key), held = k.is_held(key);
        bool down = k.went_down(key), up = k.went_up(key);
        if (held != was) {
            // The change needs its edge.
            if (held) down = true;
            else up = true;
        } else if (down != up) {
            // A lone edge without a change: one side let go while the other holds.
            down = up = false;
        }
        KeyFrame::set(k.down, key, down);
        KeyFrame::set(k.up, key, up);
        if (down) highest_down = key;
    }
    if (!k.went_down(k.last_key)) k.last_key = static_cast<uint8_t>(highest_down);
}

void merge_keys(const KeyFrame& host, const KeyFrame& joiner, const uint8_t prev_held[32],
                KeyFrame& out) {
    out = KeyFrame();
    bool playing = game_state == STATE_PLAY;
    add_side(host, 0, playing, out);
    add_side(joiner, 1, playing, out);
    int last = host.last_key ? host.last_key : joiner.last_key;
    int side = host.last_key ? 0 : 1;
    if (last) {
        int t = target_key(last, side, playing);
        out.last_key = static_cast<uint8_t>(t > 0 && t < 256 ? t : 0);
    }
    make_consistent(out, prev_held);
}
