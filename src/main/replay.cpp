#include "main/replay.h"

#include <cstdio>
#include <iostream>

#include "world/globals.h"
#include "main/dump.h"
#include "game/options.h"

int script_seed(const std::vector<ScriptCommand>& commands) {
    int seed = 0;
    for (const ScriptCommand& c : commands)
        if (c.op == OP_SEED) seed = c.seed;
    return seed;
}

namespace {

void press(const ScriptCommand& c) {
    if (c.letter < 0)
        engine->Input_Inject(c.key, true);
    else
        engine->Input_InjectTyped(c.key, c.letter);
}

} // namespace

void run_script_commands(const std::vector<ScriptCommand>& commands,
                         const std::function<void(float)>& after_frame) {
    long frame = 0;
    float dt = SCRIPT_DEFAULT_DT;
    std::vector<int> tapped; // keys to release before the frame after next
    engine->Timer_SetFixedDelta(dt);
    for (const ScriptCommand& c : commands) {
        switch (c.op) {
        case OP_DT:
            dt = c.dt;
            engine->Timer_SetFixedDelta(dt);
            break;
        case OP_PRESS: press(c); break;
        case OP_RELEASE: engine->Input_Inject(c.key, false); break;
        case OP_TAP:
            press(c);
            tapped.push_back(c.key);
            break;
        case OP_FRAMES:
            for (long i = 0; i < c.frames; ++i) {
                bool ended = engine->System_RunFrames(1);
                ++frame;
                for (int key : tapped) engine->Input_Inject(key, false);
                tapped.clear();
                if (ended) return;
                if (after_frame) after_frame(dt);
            }
            break;
        case OP_DUMP: std::cout << dump_state(frame) << std::endl; break;
        case OP_SCREENSHOT:
            if (!engine->Gfx_SaveScreenshot(c.file.c_str()))
                std::fprintf(stderr, "korvane: line %d: cannot write %s\n", c.line, c.file.c_str());
            break;
        case OP_SEED: break; // taken before the engine started
        case OP_OPTION:
            set_option(c.file, c.value, game_options);
            apply_key_bindings();
            break;
        }
    }
}
