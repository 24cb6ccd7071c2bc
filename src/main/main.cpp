#include "engine/engine.h"
#include "main/session.h"

int main(int argc, char** argv) {
    engine_set_backend(create_sdl_engine);
    return run_korvane(argc, argv);
}
