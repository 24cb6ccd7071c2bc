// The page's entry: the game on the browser back end.
#include <string>

#include "engine/web/web_engine.h"
#include "harness/dump.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "render/resources.h"

// The page's test hook (window.korvane.dump()): the state as korvane-headless dumps it.
extern "C" const char* korvane_dump() {
    static std::string text;
    text = dump_state(app.world, web_engine_frames(engine));
    return text.c_str();
}

int main() {
    engine_set_backend(create_web_engine);
    configure_engine();
    // The browser's loop never returns here; the engine ends the program when the player quits.
    web_engine_on_quit(engine, shutdown_program);
    if (!start_game()) return 0;
    use_options(app, load_options(engine));
    app.save_options = true;
    engine->System_Start();
    return 0;
}
