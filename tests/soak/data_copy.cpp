#include "data_copy.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

void remove_tree(const std::string& dir) {
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            std::string p = dir + "/" + name;
            struct stat st;
            if (lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
                remove_tree(p);
            else
                unlink(p.c_str());
        }
        closedir(d);
    }
    chmod(dir.c_str(), 0755);
    rmdir(dir.c_str());
}

DataCopy::DataCopy(const std::string& shipped) : shipped_(shipped) {
    char name[] = "/tmp/korvane-data-XXXXXX";
    if (!mkdtemp(name)) return;
    dir_ = name;
    if (DIR* d = opendir(shipped.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n == "." || n == ".." || n == "Korvane.log") continue;
            if (symlink((shipped + "/" + n).c_str(), path(n).c_str()) != 0) std::perror("symlink");
        }
        closedir(d);
    }
}

DataCopy::~DataCopy() {
    if (!dir_.empty()) remove_tree(dir_);
}

std::string DataCopy::shipped_bytes(const std::string& name) const {
    return read_file(shipped_ + "/" + name);
}

void DataCopy::remove(const std::string& name) const {
    unlink(path(name).c_str());
}

void DataCopy::write(const std::string& name, const std::string& bytes) const {
    remove(name);
    std::ofstream out(path(name), std::ios::binary);
    out << bytes;
}

std::string DataCopy::log() const {
    return read_file(path("Korvane.log"));
}

std::string noise_bytes() {
    std::mt19937 rng(20240601);
    std::string bytes(20000, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    return bytes;
}

HeadlessRun run_headless(const std::string& headless, const std::string& script,
                         const std::string& data, int seed, const std::string& env) {
    char name[] = "/tmp/korvane-run-XXXXXX";
    HeadlessRun r;
    if (!mkdtemp(name)) return r;
    std::string base = name;
    {
        std::ofstream out(base + "/script");
        out << script;
    }
    std::string command = "env SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + env + " " +
                          headless + " --script " + base + "/script --seed " +
                          std::to_string(seed) + " --data " + data + " > " + base + "/out 2> " +
                          base + "/err";
    int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = read_file(base + "/out");
    r.err = read_file(base + "/err");
    remove_tree(base);
    return r;
}
