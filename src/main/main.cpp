#include "engine/engine.h"
#include "main/program.h"

int main() {
    engine_set_backend(create_sdl_engine);
    return run_program();
}
