#include <emscripten.h>
#include <emscripten/html5.h>

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
        keys_.press(pos, letter ? letter : (pos >= HGEK_A && pos <= HGEK_A + 25 ? pos : 0));
        return handled;
    }
    for (size_t i = 0; i < held_codes_.size(); ++i) {
        if (held_codes_[i].first != code) continue;
        keys_.release(held_codes_[i].second);
        held_codes_.erase(held_codes_.begin() + static_cast<long>(i));
        break;
    }
    return handled;
}

void WebEngine::release_all_keys() {
    for (const auto& h : held_codes_) keys_.release(h.second);
    held_codes_.clear();
}

void WebEngine::Input_Inject(int key, bool down) {
    // A script's keys are a US keyboard's: the letter keys type their own letters.
    keys_.inject(key, down, key);
}

void WebEngine::Input_InjectTyped(int key, int letter) {
    keys_.inject(key, true, letter);
}

void WebEngine::begin_input_frame() {
    keys_.apply_injected();
}

// Keys reach the engine between frames; their edges last one frame.
void WebEngine::end_input_frame() {
    keys_.clear_edges();
}
