#include "main/program.h"

#include "game/globals.h"
#include "game/states.h"
#include "main/resources.h"

int run_program() {
    configure_engine();
    if (!engine->System_Initiate()) {
        engine->System_MessageBox(engine->System_GetErrorMessage(), "Error");
        shutdown_program();
        return 0;
    }
    if (!load_resources()) return 0;
    set_game_state(0);
    engine->System_Start();
    shutdown_program();
    return 0;
}
