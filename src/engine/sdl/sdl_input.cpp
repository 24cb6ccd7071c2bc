#include <cstring>

#include "engine/sdl/keys.h"
#include "engine/sdl/sdl_engine_impl.h"

void SdlEngine::Input_Inject(int key, bool down) {
    // A script's keys are a US keyboard's: the letter keys type their own letters.
    int letter = key >= 'A' && key <= 'Z' ? key : 0;
    if (key > 0 && key < 256) injected_.push_back({key, down, letter});
}

void SdlEngine::Input_InjectTyped(int key, int letter) {
    if (letter < 'A' || letter > 'Z') letter = 0;
    if (key > 0 && key < 256) injected_.push_back({key, true, letter});
}

void SdlEngine::begin_input_frame() {
    std::memset(down_, 0, sizeof(down_));
    std::memset(up_, 0, sizeof(up_));
    std::memset(letter_down_, 0, sizeof(letter_down_));
    last_key_ = 0;
    for (const InjectedKey& change : injected_) {
        int key = change.key;
        if (change.down == injected_held_[key]) continue;
        injected_held_[key] = change.down;
        if (change.down)
            press_key(key, change.letter);
        else
            release_key(key);
    }
    injected_.clear();
}

void SdlEngine::pump_events() {
    apply_device_input();
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        switch (ev.type) {
        case SDL_QUIT: quit_requested_ = true; break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (device_input_applied_) on_key_event(ev.key);
            break;
        case SDL_WINDOWEVENT: on_window_event(ev.window); break;
        case SDL_AUDIODEVICEREMOVED:
            if (!ev.adevice.iscapture) reopen_audio();
            break;
        case SDL_CONTROLLERDEVICEADDED:
        case SDL_CONTROLLERDEVICEREMOVED:
        case SDL_CONTROLLERAXISMOTION:
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: on_pad_event(ev); break;
        case SDL_RENDER_TARGETS_RESET: restore_graphics(false); break;
        case SDL_RENDER_DEVICE_RESET: restore_graphics(true); break;
        default: break;
        }
    }
}

void SdlEngine::on_window_event(const SDL_WindowEvent& event) {
    if (window_ && event.windowID != SDL_GetWindowID(window_)) return;
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_LOST:
        focused_ = false;
        // Keys and buttons let go in another window never send their release here.
        release_physical_keys();
        release_all_pads();
        break;
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        focused_ = true;
        reread_pads(); // buttons held on the way back act at once
        break;
    case SDL_WINDOWEVENT_MINIMIZED:
    case SDL_WINDOWEVENT_HIDDEN: minimized_ = true; break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_SHOWN: minimized_ = false; break;
    case SDL_WINDOWEVENT_EXPOSED:
        // A paused game draws no frames, but its window must not show garbage.
        if (paused_) present();
        break;
    default: break;
    }
}

void SdlEngine::on_key_event(const SDL_KeyboardEvent& event) {
    if (event.repeat) return; // a held key is one press
    int sc = event.keysym.scancode;
    if (sc <= 0 || sc >= SDL_NUM_SCANCODES) return;
    if (event.type == SDL_KEYDOWN) {
        bool enter = sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER;
        if (enter && (event.keysym.mod & KMOD_ALT) && window_) {
            toggle_fullscreen(); // a window command, not the game's Enter
            return;
        }
        int key = key_from_scancode(sc);
        if (key == 0 || scancode_held_[sc]) return;
        scancode_held_[sc] = true;
        press_key(key, letter_from_keysym(event.keysym.sym, sc));
    } else {
        if (!scancode_held_[sc]) return; // its press was never the game's
        scancode_held_[sc] = false;
        release_key(key_from_scancode(sc));
    }
}

void SdlEngine::press_key(int key, int letter) {
    if (holds_[key]++ == 0) {
        down_[key] = true;
        last_key_ = key;
        // Only with the key's own press, so that a recording can pair them.
        if (letter >= 'A' && letter <= 'Z') letter_down_[letter - 'A'] = true;
    }
}

void SdlEngine::release_key(int key) {
    if (holds_[key] == 0) return;
    if (--holds_[key] == 0) up_[key] = true;
}

void SdlEngine::release_physical_keys() {
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        if (!scancode_held_[sc]) continue;
        scancode_held_[sc] = false;
        release_key(key_from_scancode(sc));
    }
}

void SdlEngine::toggle_fullscreen() {
    bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    windowed_ = full;
}
