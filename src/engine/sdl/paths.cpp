#include "engine/sdl/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef KORVANE_DATA_FROM_BIN
#define KORVANE_DATA_FROM_BIN "../share/games/korvane/data"
#endif

namespace {

bool is_dir(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string last_part(const std::string& name) {
    std::string n = name;
    for (char& c : n)
        if (c == '\\') c = '/';
    size_t slash = n.rfind('/');
    return slash == std::string::npos ? n : n.substr(slash + 1);
}

std::string user_file(const char* var, const char* fallback, const std::string& name) {
    if (name.empty()) return std::string();
    std::string base = xdg_base_dir(var, fallback);
    std::string part = last_part(name);
    if (base.empty() || part.empty()) return std::string();
    return base + "/korvane/" + part;
}

} // namespace

std::string executable_dir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return std::string();
    buf[n] = '\0';
    char* slash = std::strrchr(buf, '/');
    if (!slash) return std::string();
    slash[1] = '\0';
    return buf;
}

std::string default_data_dir() {
    std::string dir = executable_dir();
    if (dir.empty()) return "data";
    std::string installed = installed_data_dir(dir, KORVANE_DATA_FROM_BIN);
    return installed.empty() ? dir + "data" : installed;
}

std::string installed_data_dir_of_program() {
    return installed_data_dir(executable_dir(), KORVANE_DATA_FROM_BIN);
}

std::string installed_data_dir(const std::string& exe_dir, const std::string& from_bin) {
    if (exe_dir.empty() || from_bin.empty()) return std::string();
    std::string base = exe_dir.back() == '/' ? exe_dir : exe_dir + "/";
    if (is_dir(base + "data")) return std::string(); // a build tree: its own data wins
    std::string installed = from_bin[0] == '/' ? from_bin : base + from_bin;
    return is_dir(installed) ? installed : std::string();
}

std::string xdg_base_dir(const char* var, const char* home_fallback) {
    const char* value = var ? std::getenv(var) : nullptr;
    // Relative values are invalid by the XDG rules and must be ignored.
    if (value && value[0] == '/') return value;
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/' || !home_fallback) return std::string();
    return std::string(home) + "/" + home_fallback;
}

UserFiles user_files(const std::string& ini_name, const std::string& log_name) {
    UserFiles f;
    if (!ini_name.empty() && ini_name[0] != '/')
        f.ini = user_file("XDG_CONFIG_HOME", ".config", ini_name);
    if (!log_name.empty() && log_name[0] != '/')
        f.log = user_file("XDG_STATE_HOME", ".local/state", log_name);
    return f;
}

bool make_dirs(const std::string& path) {
    if (path.empty()) return false;
    if (is_dir(path)) return true;
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !make_dirs(path.substr(0, slash))) return false;
    return (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) && is_dir(path);
}

bool seed_file(const std::string& src, const std::string& dst) {
    if (dst.empty()) return false;
    if (exists(dst)) return true; // the player's own file is never replaced
    FILE* in = std::fopen(src.c_str(), "rb");
    if (!in) return false;
    std::string temp = dst + ".new";
    FILE* out = std::fopen(temp.c_str(), "wb");
    bool ok = out != nullptr;
    char buf[8192];
    size_t n;
    while (ok && (n = std::fread(buf, 1, sizeof buf, in)) > 0)
        ok = std::fwrite(buf, 1, n, out) == n;
    ok = ok && !std::ferror(in);
    if (out && std::fclose(out) != 0) ok = false;
    std::fclose(in);
    ok = ok && std::rename(temp.c_str(), dst.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok && exists(dst);
}

std::string resolve_data_path(const std::string& data_dir, const char* name) {
    if (!name) return std::string();
    std::string rel(name);
    // Names written on Windows use backslashes, which Linux takes as letters.
    for (char& c : rel)
        if (c == '\\') c = '/';
    if (rel.empty() || rel[0] == '/') return rel;
    if (rel.compare(0, 5, "data/") == 0) rel.erase(0, 5);
    while (rel.compare(0, 2, "./") == 0) rel.erase(0, 2);
    if (data_dir.empty()) return rel;
    if (data_dir.back() == '/') return data_dir + rel;
    return data_dir + "/" + rel;
}
