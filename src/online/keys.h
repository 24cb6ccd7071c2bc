// One side's keyboard in one frame, and how the two sides' keyboards become
// the one the game reads.
#pragma once

#include <cstdint>

class Engine;

// Virtual-key codes 1..255 as bits.
struct KeyFrame {
    uint8_t held[32] = {};
    uint8_t down[32] = {};
    uint8_t up[32] = {};
    uint8_t last_key = 0; // the key Input_GetKey names, 0 for none

    bool is_held(int key) const { return bit(held, key); }
    bool went_down(int key) const { return bit(down, key); }
    bool went_up(int key) const { return bit(up, key); }
    static bool bit(const uint8_t* bits, int key) {
        return key > 0 && key < 256 && (bits[key >> 3] >> (key & 7) & 1) != 0;
    }
    static void set(uint8_t* bits, int key, bool on) {
        if (key <= 0 || key > 255) return;
        if (on)
            bits[key >> 3] = static_cast<uint8_t>(bits[key >> 3] | 1 << (key & 7));
        else
            bits[key >> 3] = static_cast<uint8_t>(bits[key >> 3] & ~(1 << (key & 7)));
    }
};

bool operator==(const KeyFrame& a, const KeyFrame& b);
inline bool operator!=(const KeyFrame& a, const KeyFrame& b) { return !(a == b); }

// What the engine's keyboard shows this frame.
void read_keyboard(Engine* e, KeyFrame& out);
// Held keys stay held; no key goes down or up. A late peer's frame is guessed so.
KeyFrame held_only(const KeyFrame& k);
// The keys of a frame with a key going down (press) or up before it, as the
// engine takes injected keys: a press of a held key or a release of a free one
// does nothing.
void apply_key_change(KeyFrame& k, int key, bool press);

// Mends a frame so that it could come from one keyboard whose keys were
// prev_held before it: a key changes only with its edge, and edges without a
// change come in pairs. Input_GetKey names a key that went down, or none.
void make_consistent(KeyFrame& k, const uint8_t prev_held[32]);

// The frame's one keyboard from the host's and the joiner's, after a frame
// that left prev_held. In play each side's flight keys, from either key set,
// fly its own ship (the host ship 0, the joiner ship 1); everywhere else
// every key acts as at one keyboard. It reads the game's state, so both
// sides must call it at the same frame.
void merge_keys(const KeyFrame& host, const KeyFrame& joiner, const uint8_t prev_held[32],
                KeyFrame& out);
