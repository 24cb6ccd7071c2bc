#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstring>

#include "engine/web/web_engine_impl.h"
#include "engine/web/web_keys.h"

namespace {

const char* kCanvas = "#canvas";

// Fullscreen the whole page: the canvas follows the window's size.
EM_JS(void, kv_toggle_fullscreen, (), {
    if (Module.korvaneToggleFullscreen) Module.korvaneToggleFullscreen();
});

EM_BOOL on_key_down(int, const EmscriptenKeyboardEvent* e, void* engine) {
    return static_cast<WebEngine*>(engine)->on_key(true, e->code, e->key, e->repeat != 0,
                                                   e->altKey != 0);
}

EM_BOOL on_key_up(int, const EmscriptenKeyboardEvent* e, void* engine) {
    return static_cast<WebEngine*>(engine)->on_key(false, e->code, e->key, false, e->altKey != 0);
}

} // namespace

void WebEngine::start_input() {
    held_codes_.reserve(16);
    // On the canvas: while it has the focus the game has the keys, and the
    // browser does not scroll on arrows or Space, open help on F1, go back on
    // Backspace or search on letters.
    emscripten_set_keydown_callback(kCanvas, this, EM_TRUE, on_key_down);
    emscripten_set_keyup_callback(kCanvas, this, EM_TRUE, on_key_up);
}

void WebEngine::stop_input() {
    emscripten_set_keydown_callback(kCanvas, nullptr, EM_TRUE, nullptr);
    emscripten_set_keyup_callback(kCanvas, nullptr, EM_TRUE, nullptr);
}

bool WebEngine::on_key(bool down, const char* code, const char* key, bool repeat, bool alt) {
    int pos = key_from_dom_code(code);
    if (pos == 0) return false; // not the game's: the browser may act on it
    bool handled = !browser_keeps_key(pos);
    if (down) {
        if (pos == HGEK_ENTER && alt) {
            kv_toggle_fullscreen(); // a window command, not the game's Enter
            return true;
        }
        if (repeat) return handled; // a held key is one press
        for (const auto& h : held_codes_)
            if (h.first == code) return handled;
        held_codes_.emplace_back(code, pos);
        // Keys go by position, so flying keeps to where the hands are on any
        // layout; the letter typed is the one the layout gives, so a password
        // comes out as the player typed it.
        const int letter = letter_from_dom_key(key);
        press_key(pos, letter ? letter : (pos >= HGEK_A && pos <= HGEK_A + 25 ? pos : 0));
        return handled;
    }
    for (size_t i = 0; i < held_codes_.size(); ++i) {
        if (held_codes_[i].first != code) continue;
        release_key(held_codes_[i].second);
        held_codes_.erase(held_codes_.begin() + static_cast<long>(i));
        break;
    }
    return handled;
}

void WebEngine::release_all_keys() {
    for (const auto& h : held_codes_) release_key(h.second);
    held_codes_.clear();
}

void WebEngine::Input_Inject(int key, bool down) {
    if (key > 0 && key < 256) injected_.push_back({key, down, key >= 'A' && key <= 'Z' ? key : 0});
}

void WebEngine::Input_InjectTyped(int key, int letter) {
    if (key > 0 && key < 256) injected_.push_back({key, true, letter >= 'A' && letter <= 'Z' ? letter : 0});
}

void WebEngine::begin_input_frame() {
    for (const auto& change : injected_) {
        const int key = change.key;
        if (change.down == injected_held_[key]) continue;
        injected_held_[key] = change.down;
        if (change.down)
            press_key(key, change.letter);
        else
            release_key(key);
    }
    injected_.clear();
}

// Keys reach the engine between frames; their edges last one frame.
void WebEngine::end_input_frame() {
    std::memset(down_, 0, sizeof(down_));
    std::memset(up_, 0, sizeof(up_));
    std::memset(typed_, 0, sizeof(typed_));
    last_key_ = 0;
}

void WebEngine::press_key(int key, int letter) {
    if (holds_[key]++ == 0) {
        down_[key] = true;
        last_key_ = key;
        if (letter >= 'A' && letter <= 'Z') typed_[letter] = true;
    }
}

void WebEngine::release_key(int key) {
    if (key <= 0 || key > 255 || holds_[key] == 0) return;
    if (--holds_[key] == 0) up_[key] = true;
}
