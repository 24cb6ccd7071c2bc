// korvane_soak: generates a soak script, runs korvane-headless on it and checks
// that it ends normally, reports nothing through the sanitizers, keeps every
// number finite and stops growing in memory.
//
//   korvane_soak --headless PATH [--mode demo|play] [--frames N] [--every N]
//                [--seed N] [--game-seed N] [--data DIR] [--settings FILE]
//                [--max-growth-mb N] [--work DIR] [--print-script]

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "data_copy.h"
#include "soak_run.h"
#include "soak_scripts.h"

namespace {

struct Options {
    std::string headless, mode = "demo", data, settings, work;
    SoakPlan plan;
    long game_seed = 1;
    long max_growth_mb = 16;
    bool print_script = false;
};

int usage(const char* why) {
    std::fprintf(stderr, "korvane_soak: %s\n", why);
    return 2;
}

bool to_long(const char* text, long& out) {
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0') return false;
    out = v;
    return true;
}

std::string dir_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

// A data folder like `from` whose Settings.ini is the given file instead.
bool data_with_settings(const std::string& from, const std::string& settings,
                        const std::string& to) {
    if (mkdir(to.c_str(), 0755) != 0) return false;
    DIR* d = opendir(from.c_str());
    if (!d) return false;
    char cwd[4096];
    std::string base = from;
    if (from[0] != '/' && getcwd(cwd, sizeof cwd)) base = std::string(cwd) + "/" + from;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || name == "Settings.ini" || name == "Korvane.log")
            continue;
        if (symlink((base + "/" + name).c_str(), (to + "/" + name).c_str()) != 0) {
            closedir(d);
            return false;
        }
    }
    closedir(d);
    std::ifstream in(settings, std::ios::binary);
    if (!in) return false;
    std::ofstream out(to + "/Settings.ini", std::ios::binary);
    out << in.rdbuf();
    return static_cast<bool>(out);
}

int parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--print-script") {
            o.print_script = true;
            continue;
        }
        if (i + 1 >= argc) return usage(("missing value after " + a).c_str());
        const char* v = argv[++i];
        long n = 0;
        bool number = to_long(v, n);
        if (a == "--headless")
            o.headless = v;
        else if (a == "--mode")
            o.mode = v;
        else if (a == "--data")
            o.data = v;
        else if (a == "--settings")
            o.settings = v;
        else if (a == "--work")
            o.work = v;
        else if (a == "--frames" && number && n > 0)
            o.plan.frames = n;
        else if (a == "--every" && number && n > 0)
            o.plan.sample_every = n;
        else if (a == "--seed" && number)
            o.plan.seed = static_cast<uint32_t>(n);
        else if (a == "--game-seed" && number && n != 0)
            o.game_seed = n;
        else if (a == "--max-growth-mb" && number && n >= 0)
            o.max_growth_mb = n;
        else
            return usage(("cannot use " + a + " " + v).c_str());
    }
    if (o.mode != "demo" && o.mode != "play") return usage("--mode is demo or play");
    if (o.headless.empty() && !o.print_script) return usage("--headless PATH is needed");
    return 0;
}

void print_header() {
    std::printf("%9s %5s %4s %6s %7s %8s %8s %6s %6s %6s %9s %9s %8s\n", "frame", "state", "mode",
                "level", "enemies", "p.bullet", "e.bullet", "big", "small", "stars", "rss_MB",
                "peak_MB", "seconds");
    std::fflush(stdout);
}

void print_sample(const SoakSample& s) {
    std::printf("%9ld %5d %4d %6d %7ld %8ld %8ld %6ld %6ld %6ld %9.1f %9.1f %8.0f%s\n", s.frame,
                s.game_state, s.game_mode, s.iteration * 50 + s.level_index, s.enemies,
                s.player_bullets, s.enemy_bullets, s.big, s.small, s.stars, s.rss_kb / 1024.0,
                s.hwm_kb / 1024.0, s.seconds, s.finite ? "" : "  NOT FINITE");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (int bad = parse(argc, argv, o)) return bad;
    std::string script = o.mode == "demo" ? demo_script(o.plan) : play_script(o.plan);
    if (o.print_script) {
        std::fputs(script.c_str(), stdout);
        return 0;
    }

    std::string work = o.work;
    if (work.empty()) {
        char name[] = "/tmp/korvane-soak-XXXXXX";
        if (!mkdtemp(name)) return usage("cannot make a work folder");
        work = name;
    }
    std::string script_file = work + "/soak.script";
    if (!write_file(script_file, script)) return usage("cannot write the script");
    std::string data = o.data.empty() ? dir_of(o.headless) + "/data" : o.data;
    if (!o.settings.empty()) {
        std::string copy = work + "/data";
        if (!data_with_settings(data, o.settings, copy))
            return usage("cannot make a data folder with those settings");
        data = copy;
    }

    // A small quarantine keeps freed blocks from looking like growth; leaks still count.
    std::string asan = "quarantine_size_mb=16";
    if (const char* prev = std::getenv("ASAN_OPTIONS")) asan = std::string(prev) + ":" + asan;
    setenv("ASAN_OPTIONS", asan.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    std::printf("korvane_soak: %s, %ld frames, script seed %u, game seed %ld, data %s\n",
                o.mode.c_str(), o.plan.frames, o.plan.seed, o.game_seed, data.c_str());
    print_header();
    SoakRun run =
        run_soak(o.headless,
                 {"--script", script_file, "--seed", std::to_string(o.game_seed), "--data", data},
                 work + "/soak.stderr", print_sample);

    std::vector<std::string> failures;
    if (!run.started) failures.push_back("korvane-headless did not start");
    if (run.signal != 0) failures.push_back("ended by signal " + std::to_string(run.signal));
    if (run.exit_status != 0) failures.push_back("exit status " + std::to_string(run.exit_status));
    std::string report = sanitizer_report(run.errors);
    if (!report.empty()) failures.push_back("sanitizer: " + report);
    long expected = soak_samples(o.plan);
    if (static_cast<long>(run.samples.size()) != expected)
        failures.push_back("dumps: " + std::to_string(run.samples.size()) + " of " +
                           std::to_string(expected) + " (the game ended early?)");
    for (const SoakSample& s : run.samples)
        if (!s.finite) {
            failures.push_back("a number that is not finite at frame " + std::to_string(s.frame));
            break;
        }
    if (run.samples.size() >= 2) {
        const SoakSample& mid = run.samples[run.samples.size() / 2];
        const SoakSample& end = run.samples.back();
        long growth_kb = end.hwm_kb - mid.hwm_kb;
        std::printf(
            "peak memory: start %.1f MB, middle %.1f MB, end %.1f MB (second half +%.1f MB)\n",
            run.samples.front().hwm_kb / 1024.0, mid.hwm_kb / 1024.0, end.hwm_kb / 1024.0,
            growth_kb / 1024.0);
        if (growth_kb > o.max_growth_mb * 1024)
            failures.push_back("peak memory grew by " + std::to_string(growth_kb / 1024) +
                               " MB in the second half");
    }
    for (const std::string& f : failures) std::printf("FAIL: %s\n", f.c_str());
    if (failures.empty()) {
        std::printf("PASS\n");
        if (o.work.empty()) remove_tree(work); // a folder of its own making
    } else {
        std::printf("(script and stderr in %s)\n", work.c_str());
    }
    return failures.empty() ? 0 : 1;
}
