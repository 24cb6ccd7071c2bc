#include "harness/headless.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "harness/replay.h"
#include "harness/script.h"
#include "main/app.h"
#include "main/command_line.h"
#include "main/program.h"
#include "main/resources.h"
#include "render/resources.h"

namespace {

struct Options {
    std::string script = "-";
    std::string data_dir;
    int seed = 0; // 0: from the clock
    bool aids = false;
};

const char* const headless_usage =
    "usage: korvane-headless [--script FILE|-] [--seed N] [--data DIR] [--aids] | --help | "
    "--version\n"
    "  --script FILE  run the script in FILE (-: standard input, the default)\n"
    "  --seed N       seed the random numbers with N (0: the script's seed or the clock)\n"
    "  --data DIR     read the game's data from DIR instead of the installed folder\n"
    "  --aids         draw every player aid (the simulation is the same)\n"
    "  --help         this text\n"
    "  --version      the version\n";

int usage(const char* message) {
    std::fprintf(stderr, "korvane-headless: %s\n%s", message, headless_usage);
    return 2;
}

} // namespace

int run_headless(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        // Help and version answer at once, whatever else was asked, as korvane's do.
        if (arg == "--help" || arg == "-h") {
            std::fputs(headless_usage, stdout);
            return 0;
        }
        if (arg == "--version") {
            std::printf("korvane-headless %s\n", program_version());
            return 0;
        }
        if ((arg == "--script" || arg == "--seed" || arg == "--data") && i + 1 >= argc)
            return usage(("missing value after " + arg).c_str());
        if (arg == "--aids") {
            options.aids = true; // every player aid on; the simulation is the same
        } else if (arg == "--script") {
            options.script = argv[++i];
        } else if (arg == "--data") {
            options.data_dir = argv[++i];
        } else if (arg == "--seed") {
            char* end = nullptr;
            long seed = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || end == argv[i] || seed < -2147483647L || seed > 2147483647L)
                return usage("--seed takes a whole number");
            options.seed = static_cast<int>(seed);
        } else {
            return usage(("unknown option " + arg).c_str());
        }
    }

    std::string text, error;
    if (!read_script_text(options.script, text))
        return usage(("cannot read " + options.script).c_str());
    std::vector<ScriptCommand> commands;
    if (!parse_script(text, commands, error)) {
        std::fprintf(stderr, "korvane-headless: %s: %s\n", options.script.c_str(), error.c_str());
        return 2;
    }

    configure_engine();
    engine->System_SetState(HGE_HEADLESS, true);
    // A seed on the command line wins over the script's own.
    int seed = options.seed != 0 ? options.seed : script_seed(commands);
    if (seed != 0) engine->System_SetState(HGE_SEED, seed);
    if (!options.data_dir.empty()) engine->System_SetState(HGE_DATADIR, options.data_dir.c_str());
    if (!start_game(script_settings(commands))) return 0;
    // The player's own options file is never read here: a run is the same anywhere.
    for (bool& aid : app.options.aids) aid = options.aids;
    run_script_commands(commands);
    shutdown_program();
    return 0;
}
