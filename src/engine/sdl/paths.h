// Where the game's files are: names like "data/x.png" are found in the data
// folder, whatever the working directory. An installed game reads its data
// from the shared folder and keeps the player's settings and log in the
// user's own configuration and state folders.
#pragma once

#include <string>

// The folder holding the running executable, with a trailing slash; "" when unknown.
std::string executable_dir();
// The folder "data" beside the running executable, or the installed data
// folder when there is none beside it; "data" when the executable is unknown.
std::string default_data_dir();
// name resolved against data_dir: absolute names stay; a leading "data/" is
// dropped and the rest joined to data_dir; backslashes become slashes.
std::string resolve_data_path(const std::string& data_dir, const char* name);

// The installed data folder of an executable in exe_dir: exe_dir joined with
// from_bin when that folder exists and exe_dir has no "data" folder of its
// own (a build tree); "" otherwise.
std::string installed_data_dir(const std::string& exe_dir, const std::string& from_bin);
// installed_data_dir for the running executable and the install layout it was built for.
std::string installed_data_dir_of_program();
// The XDG base folder in environment variable var when it holds an absolute
// path, else $HOME/home_fallback; "" when neither is known.
std::string xdg_base_dir(const char* var, const char* home_fallback);

// Where the settings file and the log go for an installed game.
struct UserFiles {
    std::string ini; // $XDG_CONFIG_HOME/korvane/<name>, "" when no folder is known
    std::string log; // $XDG_STATE_HOME/korvane/<name>, "" when no folder is known
};
// The user's copies of the files named ini_name and log_name (their last
// path parts); absolute names are the caller's own choice and stay as given.
UserFiles user_files(const std::string& ini_name, const std::string& log_name);

// Makes a folder and its missing parents (new ones private to the user);
// true when the folder exists afterwards.
bool make_dirs(const std::string& path);
// Copies src to dst when dst does not exist yet, through a temporary file so
// that a half copy never stands; true when dst exists afterwards.
bool seed_file(const std::string& src, const std::string& dst);
