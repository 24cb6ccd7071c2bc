#include "soak_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

long status_field_kb(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    size_t n = std::strlen(field);
    while (std::getline(in, line))
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::strtol(line.c_str() + n + 1, nullptr, 10);
    return -1;
}

// The number right after "key": at the top level of the dump.
long number_after(const std::string& line, const char* key) {
    std::string k = std::string("\"") + key + "\":";
    size_t at = line.find(k);
    if (at == std::string::npos) return -1;
    return std::strtol(line.c_str() + at + k.size(), nullptr, 10);
}

// Objects at the given depth inside the array that follows "key":
// depth 1 for a list of records, 2 for a list of lists.
long objects_in(const std::string& line, const char* key, int depth) {
    std::string k = std::string("\"") + key + "\":[";
    size_t at = line.find(k);
    if (at == std::string::npos) return -1;
    long count = 0;
    int level = 0;
    for (size_t i = at + k.size() - 1; i < line.size(); ++i) {
        char c = line[i];
        if (c == '[' || c == '{') {
            ++level;
            if (c == '{' && level == depth + 1) ++count;
        } else if (c == ']' || c == '}') {
            if (--level == 0) break;
        }
    }
    return count;
}

} // namespace

bool read_dump(const std::string& line, SoakSample& s) {
    if (line.empty() || line[0] != '{' || line.find("\"frame\":") == std::string::npos)
        return false;
    s.frame = number_after(line, "frame");
    s.game_state = static_cast<int>(number_after(line, "game_state"));
    s.game_mode = static_cast<int>(number_after(line, "game_mode"));
    s.level_index = static_cast<int>(number_after(line, "level_index"));
    s.iteration = static_cast<int>(number_after(line, "iteration"));
    s.enemies = objects_in(line, "enemies", 1);
    s.player_bullets = objects_in(line, "player_bullets", 2);
    s.enemy_bullets = objects_in(line, "enemy_bullets", 1);
    s.big = number_after(line, "big");
    s.small = number_after(line, "small");
    s.stars = number_after(line, "stars");
    // The dump prints a number that is not finite as null, and nothing else so.
    s.finite = line.find("null") == std::string::npos;
    return true;
}

std::string sanitizer_report(const std::string& text) {
    static const char* const MARKS[] = {"ERROR: AddressSanitizer", "ERROR: LeakSanitizer",
                                        "runtime error:", "SUMMARY: AddressSanitizer",
                                        "SUMMARY: UndefinedBehaviorSanitizer"};
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        for (const char* mark : MARKS)
            if (line.find(mark) != std::string::npos) return line;
    return "";
}

SoakRun run_soak(const std::string& headless, const std::vector<std::string>& args,
                 const std::string& stderr_file, void (*on_sample)(const SoakSample&)) {
    SoakRun run;
    int out[2];
    if (pipe(out) != 0) return run;
    auto start = std::chrono::steady_clock::now();
    pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        return run;
    }
    if (pid == 0) {
        int err = open(stderr_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out[1], 1);
        if (err >= 0) dup2(err, 2);
        close(out[0]);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(headless.c_str()));
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(headless.c_str(), argv.data());
        _exit(127);
    }
    run.started = true;
    close(out[1]);
    FILE* in = fdopen(out[0], "r");
    char* buf = nullptr;
    size_t cap = 0;
    ssize_t n;
    while (in && (n = getline(&buf, &cap, in)) > 0) {
        SoakSample s;
        if (!read_dump(std::string(buf, static_cast<size_t>(n)), s)) continue;
        s.rss_kb = status_field_kb(pid, "VmRSS");
        s.hwm_kb = status_field_kb(pid, "VmHWM");
        s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.samples.push_back(s);
        if (on_sample) on_sample(s);
    }
    std::free(buf);
    if (in) fclose(in);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.exit_status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
    std::ifstream err(stderr_file);
    std::ostringstream all;
    all << err.rdbuf();
    run.errors = all.str();
    return run;
}
