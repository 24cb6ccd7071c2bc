#include "engine/sdl/sdl_engine_impl.h"

void SdlEngine::start_gamepads() {
    if (gamepads_on_) return;
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        return; // no pads: the keyboard still plays
    gamepads_on_ = true;
    for (int p = 0; p < 2; ++p) pad_keys_[p] = pad_keys_for(ini_, p);
    // Pads present at start-up also arrive as "added" events; opening them
    // here as well lets the very first frame see them.
    for (int i = 0; i < SDL_NumJoysticks(); ++i) open_pad(i);
}

void SdlEngine::stop_gamepads() {
    if (!gamepads_on_) return;
    release_all_pads();
    for (Pad& p : pads_) SDL_GameControllerClose(p.controller);
    pads_.clear();
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    gamepads_on_ = false;
}

void SdlEngine::on_pad_event(const SDL_Event& ev) {
    if (!gamepads_on_) return;
    if (ev.type == SDL_CONTROLLERDEVICEADDED) {
        open_pad(ev.cdevice.which);
        return;
    }
    if (ev.type == SDL_CONTROLLERDEVICEREMOVED) {
        close_pad(ev.cdevice.which);
        return;
    }
    SDL_JoystickID id = ev.type == SDL_CONTROLLERAXISMOTION ? ev.caxis.which : ev.cbutton.which;
    for (Pad& pad : pads_) {
        if (pad.id != id) continue;
        PadInput& in = pad.input;
        if (ev.type == SDL_CONTROLLERAXISMOTION) {
            if (ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) in.stick_x = ev.caxis.value;
            if (ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) in.stick_y = ev.caxis.value;
        } else {
            // Buttons follow their events, so a tap between two frames still counts.
            bool down = ev.type == SDL_CONTROLLERBUTTONDOWN;
            switch (ev.cbutton.button) {
            case SDL_CONTROLLER_BUTTON_DPAD_LEFT: in.dpad_left = down; break;
            case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: in.dpad_right = down; break;
            case SDL_CONTROLLER_BUTTON_DPAD_UP: in.dpad_up = down; break;
            case SDL_CONTROLLER_BUTTON_DPAD_DOWN: in.dpad_down = down; break;
            case SDL_CONTROLLER_BUTTON_A: in.a = down; break;
            case SDL_CONTROLLER_BUTTON_B: in.b = down; break;
            case SDL_CONTROLLER_BUTTON_START: in.start = down; break;
            case SDL_CONTROLLER_BUTTON_BACK: in.back = down; break;
            default: break;
            }
        }
        apply_pad(pad);
        return;
    }
}

void SdlEngine::open_pad(int device_index) {
    if (!SDL_IsGameController(device_index)) return;
    // A pad plugged in later follows the settings file as it is now.
    for (int p = 0; p < 2; ++p) pad_keys_[p] = pad_keys_for(ini_, p);
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
    for (const Pad& p : pads_)
        if (p.id == id) return; // already open: the start-up scan saw it
    SDL_GameController* c = SDL_GameControllerOpen(device_index);
    if (!c) return;
    Pad pad;
    pad.controller = c;
    pad.id = id;
    pads_.push_back(pad);
    give_free_players();
}

void SdlEngine::close_pad(SDL_JoystickID id) {
    for (size_t i = 0; i < pads_.size(); ++i) {
        if (pads_[i].id != id) continue;
        release_pad(pads_[i]); // an unplugged pad lets go of its keys
        SDL_GameControllerClose(pads_[i].controller);
        pads_.erase(pads_.begin() + static_cast<long>(i));
        give_free_players();
        return;
    }
}

void SdlEngine::give_free_players() {
    for (int player = 0; player < 2; ++player) {
        bool taken = false;
        for (const Pad& p : pads_) taken = taken || p.player == player;
        if (taken) continue;
        for (Pad& p : pads_) {
            if (p.player >= 0) continue;
            p.player = player; // pads in the order they came: first pad, first player
            p.input = PadInput();
            reread_pads();
            break;
        }
    }
}

void SdlEngine::apply_pad(Pad& pad) {
    if (pad.player < 0) return;
    unsigned want = (device_input_applied_ && focused_) ? pad_actions(pad.input) : 0u;
    for (int a = 0; a < PAD_ACTIONS; ++a) {
        unsigned bit = 1u << a;
        if ((want & bit) && !(pad.held & bit)) {
            int key = pad_keys_[pad.player].key[a];
            pad.held |= bit;
            pad.held_key[a] = key;
            if (key > 0 && key < 256) keys_.press(key);
        } else if (!(want & bit) && (pad.held & bit)) {
            // The key it pressed, even if the settings named another since.
            int key = pad.held_key[a];
            pad.held &= ~bit;
            pad.held_key[a] = 0;
            if (key > 0 && key < 256) keys_.release(key);
        }
    }
}

void SdlEngine::release_pad(Pad& pad) {
    PadInput keep = pad.input;
    pad.input = PadInput();
    apply_pad(pad);
    pad.input = keep;
}

void SdlEngine::release_all_pads() {
    for (Pad& p : pads_) release_pad(p);
}

void SdlEngine::reread_pads() {
    for (Pad& p : pads_) {
        if (!p.controller) continue;
        PadInput& in = p.input;
        SDL_GameController* c = p.controller;
        in.stick_x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        in.stick_y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        auto button = [c](SDL_GameControllerButton b) {
            return SDL_GameControllerGetButton(c, b) != 0;
        };
        in.dpad_left = button(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        in.dpad_right = button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        in.dpad_up = button(SDL_CONTROLLER_BUTTON_DPAD_UP);
        in.dpad_down = button(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
        in.a = button(SDL_CONTROLLER_BUTTON_A);
        in.b = button(SDL_CONTROLLER_BUTTON_B);
        in.start = button(SDL_CONTROLLER_BUTTON_START);
        in.back = button(SDL_CONTROLLER_BUTTON_BACK);
        apply_pad(p);
    }
}
