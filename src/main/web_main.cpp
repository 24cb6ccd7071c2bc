// The page's entry: the game on the browser back end.
#include <string>

#include "engine/web/web_engine.h"
#include "main/dump.h"
#include "main/program.h"
#include "main/resources.h"
#include "world/globals.h"

// The page's test hook (window.korvane.dump()): the state as korvane-headless dumps it.
extern "C" const char* korvane_dump() {
    static std::string text;
    text = dump_state(web_engine_frames(engine));
    return text.c_str();
}

int main() {
    engine_set_backend(create_web_engine);
    configure_engine();
    // The browser's loop never returns here; the engine ends the program when the player quits.
    web_engine_on_quit(engine, shutdown_program);
    if (!start_game()) return 0;
    engine->System_Start();
    return 0;
}
