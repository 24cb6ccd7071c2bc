// Where the game's files are: names like "data/x.png" are found in the data
// folder, whatever the working directory.
#pragma once

#include <string>

// The folder "data" beside the running executable; "data" when that is unknown.
std::string default_data_dir();
// name resolved against data_dir: absolute names stay; a leading "data/" is
// dropped and the rest joined to data_dir; backslashes become slashes.
std::string resolve_data_path(const std::string& data_dir, const char* name);
