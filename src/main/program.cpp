#include "main/program.h"

#include <chrono>
#include <ctime>

#include "game/states.h"
#include "main/app.h"
#include "main/resources.h"
#include "render/resources.h"

uint64_t start_seed() {
    int seed = engine->System_GetStateInt(HGE_SEED);
    if (seed != 0) return static_cast<uint32_t>(seed);
    uint64_t clock =
        static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    return clock ^ static_cast<uint64_t>(std::time(nullptr));
}

bool start_game(const std::string& settings) {
    if (!engine->System_Initiate()) {
        engine->System_MessageBox(engine->System_GetErrorMessage(), "Error");
        shutdown_program();
        return false;
    }
    if (!load_resources()) return false;
    Settings file{};
    read_settings(file, true);
    if (!settings.empty()) read_settings_text(file, settings);
    new_world(app.world, file, start_seed(), engine->System_GetStateInt(HGE_SCREENWIDTH),
              engine->System_GetStateInt(HGE_SCREENHEIGHT));
    take_events(app, 0);
    return true;
}

int run_program() {
    configure_engine();
    if (!start_game()) return 0;
    use_options(app, load_options(engine));
    app.save_options = true;
    engine->System_Start();
    shutdown_program();
    return 0;
}
