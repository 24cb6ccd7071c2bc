#include "base/keys.h"

#include <cstring>

bool operator==(const KeyFrame& a, const KeyFrame& b) {
    return a.last_key == b.last_key && a.letters == b.letters &&
           std::memcmp(a.held, b.held, sizeof a.held) == 0 &&
           std::memcmp(a.down, b.down, sizeof a.down) == 0 &&
           std::memcmp(a.up, b.up, sizeof a.up) == 0;
}

KeyFrame held_only(const KeyFrame& k) {
    KeyFrame out;
    std::memcpy(out.held, k.held, sizeof out.held);
    return out;
}

void apply_key_change(KeyFrame& k, int key, bool press, int letter) {
    if (key <= 0 || key > 255 || k.is_held(key) == press) return;
    KeyFrame::set(k.held, key, press);
    if (press) {
        KeyFrame::set(k.down, key, true);
        k.last_key = static_cast<uint8_t>(key);
        k.set_typed(letter, true);
    } else {
        KeyFrame::set(k.up, key, true);
    }
}
