#include "engine/engine.h"

Engine* create_sdl_engine(); // sdl_engine.cpp

namespace {
Engine* (*factory)() = nullptr;
Engine* the_engine = nullptr;
} // namespace

void engine_set_factory(Engine* (*make)()) {
    factory = make;
    the_engine = nullptr;
}

Engine* hgeCreate(int version) {
    if (version != ENGINE_VERSION) return nullptr;
    if (!the_engine) {
        the_engine = factory ? factory() : create_sdl_engine();
        if (!the_engine) return nullptr;
        the_engine->refs_ = 0;
    }
    ++the_engine->refs_;
    return the_engine;
}

void Engine::Release() {
    if (--refs_ > 0) return;
    if (this == the_engine) the_engine = nullptr;
    // A test's engine belongs to the test, not to its last user.
    if (!factory) delete this;
}
