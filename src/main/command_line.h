// The command line of the windowed game.
#pragma once

#include <string>

enum RunMode { RUN_PLAY, RUN_RECORD, RUN_REPLAY, RUN_HELP, RUN_VERSION };

struct ProgramOptions {
    RunMode mode = RUN_PLAY;
    std::string file; // the recording written or shown
};

// Reads argv[1..]; false with error set for an unknown option, a missing
// file name, or more than one of --record and --replay.
bool parse_options(int argc, const char* const* argv, ProgramOptions& out, std::string& error);
// The usage text, one option a line.
std::string usage_text();
// The project's version, as both programs print it.
const char* program_version();
// "korvane VERSION".
std::string version_text();
