#include "engine/sdl/paths.h"

#include <unistd.h>

#include <cstring>

std::string default_data_dir() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return "data";
    buf[n] = '\0';
    char* slash = std::strrchr(buf, '/');
    if (!slash) return "data";
    slash[1] = '\0';
    return std::string(buf) + "data";
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
