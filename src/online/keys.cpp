#include "online/keys.h"

#include <cstring>

namespace {

const int32_t ship::*const FLIGHT_KEYS[5] = {&ship::key_left, &ship::key_right, &ship::key_up,
                                             &ship::key_down, &ship::key_fire};

// Where a key of one side lands on the shared keyboard.
int target_key(const World& w, int key, int side, bool playing) {
    if (!playing) return key;
    const ship* ships = w.ship_records;
    for (int set = 0; set < 2; ++set)
        for (int i = 0; i < 5; ++i)
            if (ships[set].*FLIGHT_KEYS[i] == key) return ships[side].*FLIGHT_KEYS[i];
    return key;
}

void add_side(const World& w, const KeyFrame& k, int side, bool playing, KeyFrame& out) {
    for (int key = 1; key < 256; ++key) {
        bool held = k.is_held(key), down = k.went_down(key), up = k.went_up(key);
        if (!held && !down && !up) continue;
        int t = target_key(w, key, side, playing);
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

void merge_keys(const World& w, const KeyFrame& host, const KeyFrame& joiner,
                const uint8_t prev_held[32], KeyFrame& out) {
    out = KeyFrame();
    bool playing = w.game_state == STATE_PLAY;
    add_side(w, host, 0, playing, out);
    add_side(w, joiner, 1, playing, out);
    int last = host.last_key ? host.last_key : joiner.last_key;
    int side = host.last_key ? 0 : 1;
    if (last) {
        int t = target_key(w, last, side, playing);
        out.last_key = static_cast<uint8_t>(t > 0 && t < 256 ? t : 0);
    }
    make_consistent(out, prev_held);
    // Letters go by the keys' places on both machines.
    for (int letter = 'A'; letter <= 'Z'; ++letter) out.set_typed(letter, out.went_down(letter));
}
