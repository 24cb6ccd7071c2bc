#include "harness/replay.h"

#include <cstdio>
#include <iostream>

#include "harness/dump.h"
#include "main/app.h"
#include "render/resources.h"

int script_seed(const std::vector<ScriptCommand>& commands) {
    int seed = 0;
    for (const ScriptCommand& c : commands)
        if (c.op == OP_SEED) seed = c.seed;
    return seed;
}

std::string script_settings(const std::vector<ScriptCommand>& commands) {
    std::string text;
    for (const ScriptCommand& c : commands) {
        if (c.op != OP_SETTING) continue;
        size_t dot = c.file.find('.');
        text += "[" + c.file.substr(0, dot) + "]\n" + c.file.substr(dot + 1) + "=" + c.text + "\n";
    }
    return text;
}

size_t run_script(const std::vector<ScriptCommand>& commands, ScriptTarget& target,
                  const std::function<void(float)>& after_frame, size_t from, long* frames_left) {
    long frame = 0;
    float dt = SCRIPT_DEFAULT_DT;
    std::vector<int> tapped; // keys to release before the frame after next
    target.frame_time(dt);
    for (size_t at = from; at < commands.size(); ++at) {
        const ScriptCommand& c = commands[at];
        switch (c.op) {
        case OP_DT:
            dt = c.dt;
            target.frame_time(dt);
            break;
        case OP_PRESS: target.key(c.key, true, c.letter); break;
        case OP_RELEASE: target.key(c.key, false, -1); break;
        case OP_TAP:
            target.key(c.key, true, c.letter);
            tapped.push_back(c.key);
            break;
        case OP_FRAMES:
            for (long i = 0; i < c.frames; ++i) {
                bool going = target.frame();
                ++frame;
                for (int key : tapped) target.key(key, false, -1);
                tapped.clear();
                if (!going) {
                    if (frames_left) *frames_left = c.frames - i;
                    return at;
                }
                if (after_frame) after_frame(dt);
            }
            break;
        case OP_DUMP: {
            std::string line;
            if (!target.dump(frame, line)) {
                if (frames_left) *frames_left = 0;
                return at;
            }
            std::cout << line << std::endl;
            break;
        }
        case OP_SCREENSHOT:
            if (!target.screenshot(c.file))
                std::fprintf(stderr, "korvane: line %d: cannot write %s\n", c.line, c.file.c_str());
            break;
        case OP_SEED: // taken before the engine started
        case OP_SETTING: break;
        case OP_OPTION: target.option(c.file, c.value); break;
        }
    }
    if (frames_left) *frames_left = 0;
    return commands.size();
}

namespace {

// The local game: keys go in through the engine, as a device's would.
class EngineTarget : public ScriptTarget {
  public:
    void key(int key, bool down, int letter) override {
        if (!down || letter < 0)
            engine->Input_Inject(key, down);
        else
            engine->Input_InjectTyped(key, letter);
    }
    void frame_time(float dt) override { engine->Timer_SetFixedDelta(dt); }
    bool frame() override { return !engine->System_RunFrames(1); }
    bool dump(long frame, std::string& out) override {
        out = dump_state(app.world, frame);
        return true;
    }
    bool screenshot(const std::string& file) override {
        return engine->Gfx_SaveScreenshot(file.c_str());
    }
    void option(const std::string& name, int value) override {
        player_options o = app.options;
        set_option(name, value, o);
        use_options(app, o);
    }
};

} // namespace

void run_script_commands(const std::vector<ScriptCommand>& commands,
                         const std::function<void(float)>& after_frame) {
    EngineTarget target;
    run_script(commands, target, after_frame);
}
