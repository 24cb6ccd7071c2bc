#include "engine/engine.h"
#ifdef KORVANE_ONLINE
#include "online/online_main.h"
#endif
#include "harness/session.h"

int main(int argc, char** argv) {
    engine_set_backend(create_sdl_engine);
#ifdef KORVANE_ONLINE
    if (wants_online(argc, argv)) return run_online_window(argc, argv);
#endif
    return run_korvane(argc, argv);
}
