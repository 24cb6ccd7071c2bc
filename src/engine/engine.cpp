#include "engine/engine.h"

namespace {
Engine* (*backend)() = nullptr;
Engine* the_engine = nullptr;
} // namespace

void engine_set_backend(Engine* (*make)()) {
    backend = make;
    the_engine = nullptr;
}

Engine* hgeCreate(int version) {
    if (version != ENGINE_VERSION) return nullptr;
    if (!the_engine) {
        if (!backend) return nullptr;
        the_engine = backend();
        if (!the_engine) return nullptr;
        the_engine->refs_ = 0;
    }
    ++the_engine->refs_;
    return the_engine;
}

void Engine::Release() {
    if (--refs_ > 0) return;
    if (this == the_engine) the_engine = nullptr;
    delete this;
}

void read_key_frame(Engine* e, KeyFrame& out) {
    out = KeyFrame();
    for (int key = 1; key < 256; ++key) {
        KeyFrame::set(out.held, key, e->Input_GetKeyState(key));
        KeyFrame::set(out.down, key, e->Input_KeyDown(key));
        KeyFrame::set(out.up, key, e->Input_KeyUp(key));
    }
    for (int letter = 'A'; letter <= 'Z'; ++letter)
        out.set_typed(letter, e->Input_LetterDown(letter));
    int last = e->Input_GetKey();
    out.last_key = static_cast<uint8_t>(last > 0 && last < 256 ? last : 0);
}
