#include "engine/key_state.h"

#include <cstring>

void KeyState::press(int key, int letter) {
    if (!valid(key) || holds_[key]++ != 0) return;
    down_[key] = true;
    last_key_ = key;
    // Only with the key's own press, so that a recording can pair them.
    if (letter >= 'A' && letter <= 'Z') letter_down_[letter - 'A'] = true;
}

void KeyState::release(int key) {
    if (!valid(key) || holds_[key] == 0) return;
    if (--holds_[key] == 0) up_[key] = true;
}

void KeyState::inject(int key, bool down, int letter) {
    if (!valid(key)) return;
    injected_.push_back({key, down, letter >= 'A' && letter <= 'Z' ? letter : 0});
}

void KeyState::apply_injected() {
    for (const Injected& change : injected_) {
        if (change.down == injected_held_[change.key]) continue;
        injected_held_[change.key] = change.down;
        if (change.down)
            press(change.key, change.letter);
        else
            release(change.key);
    }
    injected_.clear();
}

void KeyState::clear_edges() {
    std::memset(down_, 0, sizeof(down_));
    std::memset(up_, 0, sizeof(up_));
    std::memset(letter_down_, 0, sizeof(letter_down_));
    last_key_ = 0;
}
