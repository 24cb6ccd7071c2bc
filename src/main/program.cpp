#include "main/program.h"

#include "world/globals.h"
#include "game/options.h"
#include "game/states.h"
#include "main/resources.h"

bool start_game() {
    if (!engine->System_Initiate()) {
        engine->System_MessageBox(engine->System_GetErrorMessage(), "Error");
        shutdown_program();
        return false;
    }
    if (!load_resources()) return false;
    set_game_state(0);
    return true;
}

int run_program() {
    configure_engine();
    if (!start_game()) return 0;
    load_options();
    set_options_saved(true);
    engine->System_Start();
    shutdown_program();
    return 0;
}
