// Keys as the game reads them: codes that name a key by its place on a US
// keyboard, and one frame of a whole keyboard as plain bits.
#pragma once

#include <cstdint>

// Windows virtual-key codes, which the settings file uses.
enum {
    HGEK_BACKSPACE = 8,
    HGEK_TAB = 9,
    HGEK_ENTER = 13,
    HGEK_SHIFT = 16,
    HGEK_CTRL = 17,
    HGEK_ALT = 18,
    HGEK_PAUSE = 19,
    HGEK_CAPSLOCK = 20,
    HGEK_ESCAPE = 27,
    HGEK_SPACE = 32,
    HGEK_PGUP = 33,
    HGEK_PGDN = 34,
    HGEK_END = 35,
    HGEK_HOME = 36,
    HGEK_LEFT = 37,
    HGEK_UP = 38,
    HGEK_RIGHT = 39,
    HGEK_DOWN = 40,
    HGEK_INSERT = 45,
    HGEK_DELETE = 46,
    HGEK_0 = 48, // '0'..'9' are 48..57
    HGEK_A = 65, // 'A'..'Z' are 65..90
    HGEK_F1 = 112,
    HGEK_F2 = 113,
    HGEK_F3 = 114,
    HGEK_F4 = 115,
    HGEK_F12 = 123,
};

// One keyboard in one frame: what the simulation reads instead of asking a
// device, so a frame can be run again, sent over a network or recorded.
struct KeyFrame {
    uint8_t held[32] = {}; // virtual-key codes 1..255 as bits
    uint8_t down[32] = {};
    uint8_t up[32] = {};
    uint8_t last_key = 0; // a key that went down this frame, 0 for none
    uint32_t letters = 0; // bit l: the layout typed 'A' + l this frame

    bool is_held(int key) const { return bit(held, key); }
    bool went_down(int key) const { return bit(down, key); }
    bool went_up(int key) const { return bit(up, key); }
    bool typed(int letter) const {
        return letter >= 'A' && letter <= 'Z' && (letters >> (letter - 'A') & 1u) != 0;
    }
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
    void set_typed(int letter, bool on) {
        if (letter < 'A' || letter > 'Z') return;
        uint32_t b = 1u << (letter - 'A');
        letters = on ? letters | b : letters & ~b;
    }
};

bool operator==(const KeyFrame& a, const KeyFrame& b);
inline bool operator!=(const KeyFrame& a, const KeyFrame& b) {
    return !(a == b);
}
// Held keys stay held; no key goes down or up, nothing is typed.
KeyFrame held_only(const KeyFrame& k);
// The keys of a frame with a key going down (press) or up before it, as a
// device takes injected keys: a press of a held key or a release of a free
// one does nothing. A press types letter ('A'..'Z'), none for 0.
void apply_key_change(KeyFrame& k, int key, bool press, int letter = 0);
