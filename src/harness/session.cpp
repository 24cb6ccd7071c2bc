#include "harness/session.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "engine/sdl/sdl_engine.h"
#include "harness/dump.h"
#include "harness/recording.h"
#include "harness/replay.h"
#include "harness/script.h"
#include "main/app.h"
#include "main/command_line.h"
#include "main/program.h"
#include "main/resources.h"
#include "render/resources.h"

namespace {

// A seed like the clock's, but one the recording can name: positive and below 2^31.
int fresh_seed() {
    std::random_device device;
    uint64_t mix =
        (static_cast<uint64_t>(device()) << 32) ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    int seed = static_cast<int>((mix ^ (mix >> 31)) & 0x7FFFFFFF);
    return seed == 0 ? 1 : seed;
}

int record_session(const std::string& path) {
    Recorder recorder;
    std::string error;
    int seed = fresh_seed();
    if (!recorder.open(path, seed, error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return 1;
    }
    configure_engine();
    engine->System_SetState(HGE_SEED, seed);
    record_frames_with(&recorder);
    if (!start_game()) return 0;
    use_options(app, load_options(engine));
    app.save_options = true;
    recorder.write_settings(app.world.file_settings);
    recorder.write_key_bindings(app.options);
    engine->System_Start();
    std::string final_state = dump_state(app.world, recorder.frames());
    record_frames_with(nullptr);
    shutdown_program();
    if (!recorder.finish(final_state, error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int show_replay(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "korvane: cannot read %s\n", path.c_str());
        return 2;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<ScriptCommand> commands;
    std::string error;
    if (!parse_script(text.str(), commands, error)) {
        std::fprintf(stderr, "korvane: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    configure_engine();
    int seed = script_seed(commands);
    if (seed != 0) engine->System_SetState(HGE_SEED, seed);
    // The recording alone plays: keys and pads would make it go elsewhere.
    sdl_engine_set_device_input(engine, false);
    if (!start_game(script_settings(commands))) return 0;
    // The viewer's aids and display; the keys are the recording's own.
    player_options viewer = load_options(engine);
    std::memset(viewer.keys, 0, sizeof viewer.keys);
    use_options(app, viewer);
    using clock = std::chrono::steady_clock;
    clock::time_point due = clock::now();
    run_script_commands(commands, [&due](float dt) {
        due += std::chrono::duration_cast<clock::duration>(std::chrono::duration<double>(dt));
        clock::time_point now = clock::now();
        // Far behind (a pause, a slow machine): go on from now rather than rush.
        if (now > due + std::chrono::milliseconds(250))
            due = now;
        else
            std::this_thread::sleep_until(due);
    });
    shutdown_program();
    return 0;
}

} // namespace

int run_korvane(int argc, char** argv) {
    ProgramOptions options;
    std::string error;
    if (!parse_options(argc, argv, options, error)) {
        std::fprintf(stderr, "korvane: %s\n%s", error.c_str(), usage_text().c_str());
        return 2;
    }
    switch (options.mode) {
    case RUN_HELP: std::fputs(usage_text().c_str(), stdout); return 0;
    case RUN_VERSION: std::printf("%s\n", version_text().c_str()); return 0;
    case RUN_RECORD: return record_session(options.file);
    case RUN_REPLAY: return show_replay(options.file);
    case RUN_PLAY: break;
    }
    return run_program();
}
