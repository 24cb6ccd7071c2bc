// The keyboard as the game sees it, kept alike by every back end: how many
// sources hold each key, the edges of the current frame, the letters typed,
// and the keys a script injects between frames.
#pragma once

#include <vector>

class KeyState {
  public:
    KeyState() { injected_.reserve(64); }

    bool down(int key) const { return valid(key) && down_[key]; }
    bool up(int key) const { return valid(key) && up_[key]; }
    bool held(int key) const { return valid(key) && holds_[key] > 0; }
    bool letter_down(int letter) const {
        return letter >= 'A' && letter <= 'Z' && letter_down_[letter - 'A'];
    }
    int last() const { return last_key_; }

    // A source presses the key, typing letter ('A'..'Z', else none).
    void press(int key, int letter = 0);
    void release(int key);
    // Queued until apply_injected, as a script's key between two frames.
    void inject(int key, bool down, int letter);
    void apply_injected();
    // The edges last one frame.
    void clear_edges();

  private:
    static bool valid(int key) { return key > 0 && key < 256; }

    unsigned char holds_[256] = {}; // both Shifts, a pad and a key, an injected press
    bool down_[256] = {}, up_[256] = {};
    bool letter_down_[26] = {};
    bool injected_held_[256] = {};
    int last_key_ = 0;
    struct Injected {
        int key;
        bool down;
        int letter;
    };
    std::vector<Injected> injected_;
};
