#include "support/headless_run.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#ifndef KORVANE_BINARY_DIR
#error "tests need KORVANE_BINARY_DIR"
#endif

namespace {

std::string read_file(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

} // namespace

std::string make_temp_dir() {
    char name[] = "/tmp/korvane-test-XXXXXX";
    const char* dir = mkdtemp(name);
    return dir ? dir : "/tmp";
}

HeadlessResult run_headless_script(const std::string& script, const std::string& extra_args) {
    static const std::string dir = make_temp_dir();
    static int counter = 0;
    std::string base = dir + "/run" + std::to_string(counter++);
    {
        std::ofstream out(base + ".script");
        out << script;
    }
    std::string command = std::string("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ") +
                          KORVANE_BINARY_DIR + "/korvane-headless --script " + base + ".script " +
                          extra_args + " > " + base + ".out 2> " + base + ".err";
    HeadlessResult r;
    int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = read_file(base + ".out");
    r.err = read_file(base + ".err");
    std::istringstream lines(r.out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] != '{') continue;
        Json j;
        if (parse_json(line, j)) r.dumps.push_back(std::move(j));
    }
    return r;
}
