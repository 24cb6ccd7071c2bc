#include "online/keys.h"

#include <cstring>

namespace {

const int32_t ship::*const FLIGHT_KEYS[5] = {&ship::key_left, &ship::key_right, &ship::key_up,
                                             &ship::key_down, &ship::key_fire};

// A side's purchase keys in the COMPETITION shop: F1 to F4 or 1 to 4 buy for
// its own ship, the host's with F1 to F4, the joiner's with 1 to 4.
int purchase_key(int key, int side) {
    for (int i = 0; i < 4; ++i)
        if (key == HGEK_F1 + i || key == HGEK_0 + 1 + i) return side == 0 ? HGEK_F1 + i : HGEK_0 + 1 + i;
    return key;
}

// Where a key of one side lands on the shared keyboard.
int target_key(const World& w, int key, int side, bool playing) {
    if (w.game_state == STATE_SHOP && competing(w)) return purchase_key(key, side);
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
    // Each side's letters as its own layout typed them.
    out.letters = host.letters | joiner.letters;
}

void add_canonical_keys(KeyFrame& k, const player_options& o, const Settings& file) {
    const KeyFrame physical = k;
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < ROLE_COUNT; ++r) {
            int key = player_key(o, file, p, r), canon = file.player_keys[p][r];
            if (key == canon) continue;
            if (physical.is_held(key)) KeyFrame::set(k.held, canon, true);
            if (physical.went_down(key)) KeyFrame::set(k.down, canon, true);
            if (physical.went_up(key) && !physical.is_held(canon)) KeyFrame::set(k.up, canon, true);
        }
}
