// Runs korvane-headless on a script and collects what it prints.
#pragma once

#include <string>
#include <vector>

#include "support/json.h"

struct HeadlessResult {
    int status = -1;           // exit status
    std::vector<Json> dumps;   // one per dump command, in order
    std::string out, err;      // everything printed
};

// The script is written to a temporary file; extra_args go after it.
HeadlessResult run_headless_script(const std::string& script, const std::string& extra_args = "");

// A fresh temporary folder that disappears with the test program.
std::string make_temp_dir();
