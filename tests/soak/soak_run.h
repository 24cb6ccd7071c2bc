// Runs korvane-headless on a script and watches it: the dumps it prints and the
// process's memory at the moment of each dump.
#pragma once

#include <string>
#include <vector>

struct SoakSample {
    long frame = 0;
    int game_state = -1, game_mode = -1;
    int level_index = -1, iteration = -1;
    long enemies = 0, player_bullets = 0, enemy_bullets = 0, big = 0, small = 0, stars = 0;
    long rss_kb = 0;    // VmRSS when the dump arrived
    long hwm_kb = 0;    // VmHWM, the peak so far
    double seconds = 0; // since the start
    bool finite = true; // no number of the dump was infinite or NaN (printed as null)
};

struct SoakRun {
    bool started = false;
    int exit_status = -1; // -1 unless the program exited normally
    int signal = 0;       // the signal that ended it, or 0
    std::vector<SoakSample> samples;
    std::string errors; // everything it wrote to stderr
};

// args follow the program name; stderr goes to stderr_file. Each sample is
// also handed to on_sample (when given) as it arrives.
SoakRun run_soak(const std::string& headless, const std::vector<std::string>& args,
                 const std::string& stderr_file, void (*on_sample)(const SoakSample&) = nullptr);

// Fills a sample from one dump line (without the memory figures); false if it is no dump.
bool read_dump(const std::string& line, SoakSample& s);

// The first line of a sanitizer report in text, or "" when there is none.
std::string sanitizer_report(const std::string& text);
