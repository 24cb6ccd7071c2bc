#include "engine/sdl/keys.h"
#include "engine/sdl/sdl_engine_impl.h"

void SdlEngine::Input_Inject(int key, bool down) {
    // A script's keys are a US keyboard's: the letter keys type their own letters.
    keys_.inject(key, down, key);
}

void SdlEngine::Input_InjectTyped(int key, int letter) {
    keys_.inject(key, true, letter);
}

void SdlEngine::begin_input_frame() {
    keys_.clear_edges();
    keys_.apply_injected();
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
        if (paused_) redraw();
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
        keys_.press(key, letter_from_keysym(event.keysym.sym, sc));
    } else {
        if (!scancode_held_[sc]) return; // its press was never the game's
        scancode_held_[sc] = false;
        keys_.release(key_from_scancode(sc));
    }
}

void SdlEngine::release_physical_keys() {
    for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
        if (!scancode_held_[sc]) continue;
        scancode_held_[sc] = false;
        keys_.release(key_from_scancode(sc));
    }
}

void SdlEngine::toggle_fullscreen() {
    set_fullscreen((SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) == 0);
}
