#include "main/command_line.h"

#ifndef KORVANE_VERSION
#define KORVANE_VERSION "unknown"
#endif

bool parse_options(int argc, const char* const* argv, ProgramOptions& out, std::string& error) {
    out = ProgramOptions();
    bool have_mode = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        RunMode mode;
        if (arg == "--help" || arg == "-h") {
            mode = RUN_HELP;
        } else if (arg == "--version") {
            mode = RUN_VERSION;
        } else if (arg == "--record" || arg == "--replay") {
            mode = arg == "--record" ? RUN_RECORD : RUN_REPLAY;
            if (i + 1 >= argc || !argv[i + 1] || argv[i + 1][0] == '\0') {
                error = "missing file name after " + arg;
                return false;
            }
            out.file = argv[++i];
        } else {
            error = "unknown option " + arg;
            return false;
        }
        // Help and version answer at once, whatever else was asked.
        if (mode == RUN_HELP || mode == RUN_VERSION) {
            out.mode = mode;
            return true;
        }
        if (have_mode) {
            error = "--record and --replay are one at a time";
            return false;
        }
        have_mode = true;
        out.mode = mode;
    }
    return true;
}

std::string usage_text() {
    return "usage: korvane [--record FILE | --replay FILE | --help | --version]\n"
           "  --record FILE  play, writing the session to FILE as a korvane-headless script\n"
           "  --replay FILE  show a recording in the window at its recorded pace\n"
           "  --host [PORT]  online: wait for a player (port 6464 by default)\n"
           "  --join HOST[:PORT]  online: join a waiting player\n"
           "  --help         this text\n"
           "  --version      the version\n";
}

const char* program_version() {
    return KORVANE_VERSION;
}

std::string version_text() {
    return std::string("korvane ") + program_version();
}
