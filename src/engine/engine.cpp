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
