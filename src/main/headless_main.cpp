#include "engine/engine.h"
#include "main/headless.h"

int main(int argc, char** argv) {
    engine_set_backend(create_sdl_engine);
    return run_headless(argc, argv);
}
