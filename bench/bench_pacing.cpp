// Frame pacing in a real window: the teamwork replay, then the stress scene,
// played through the engine's own loop (its frame limiter, or the display's
// vsync), timing every frame from one presented frame to the next.
// bench_pacing [--vsync] [--frames N]: one line of JSON on standard output.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "harness/replay.h"
#include "harness/script.h"
#include "main/app.h"
#include "render/resources.h"
#include "scenes.h"

namespace {

const char* const REPLAY = KORVANE_SOURCE_DIR "/tests/replays/teamwork_level.rec";
const double SKIPPED_SECONDS = 1.0; // the first second: windows mapping, caches filling
const int SPELL = 1000;             // stress frames before the level begins again
const char* const PHASES[] = {"replay", "stress TEAMWORK", "stress ONE PLAYER"};

double thread_seconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Pacing {
    std::vector<double> at;  // seconds from the start at each frame's end, room made up front
    std::vector<double> cpu; // the main thread's processor time by then: the game's own work
    std::vector<int> phase;  // index into PHASES
    int levels_started = 0;
    double freq = static_cast<double>(SDL_GetPerformanceFrequency());
    Uint64 start = SDL_GetPerformanceCounter();

    bool full() const { return at.size() == at.capacity(); }
    void mark(int p) {
        at.push_back(static_cast<double>(SDL_GetPerformanceCounter() - start) / freq);
        cpu.push_back(thread_seconds());
        phase.push_back(p);
    }
};

double percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    size_t i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

bool read_file(const char* path, std::string* out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    std::ostringstream s;
    s << f.rdbuf();
    *out = s.str();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    bool vsync = false;
    long frames = 10000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--vsync") == 0) {
            vsync = true;
        } else if (std::strcmp(argv[i], "--frames") == 0 && i + 1 < argc) {
            frames = std::strtol(argv[++i], nullptr, 10);
        } else {
            std::fprintf(stderr, "usage: bench_pacing [--vsync] [--frames N]\n");
            return 2;
        }
    }
    if (frames < 600) {
        std::fprintf(stderr, "bench_pacing: --frames must be at least 600\n");
        return 2;
    }
    std::string text, error;
    std::vector<ScriptCommand> script;
    if (!read_file(REPLAY, &text) || !parse_script(text, script, error)) {
        std::fprintf(stderr, "bench_pacing: %s: %s\n", REPLAY,
                     error.empty() ? "unreadable" : error.c_str());
        return 1;
    }
    // Only the frames and keys: no dumps or screenshots, and no more frames than asked for.
    long left = frames;
    std::vector<ScriptCommand> played;
    for (const ScriptCommand& c : script) {
        if (c.op == OP_DUMP || c.op == OP_SCREENSHOT || left == 0) continue;
        played.push_back(c);
        if (c.op != OP_FRAMES) continue;
        played.back().frames = std::min(c.frames, left);
        left -= played.back().frames;
    }
    GameStart how;
    how.windowed = true;
    how.record = false;
    how.vsync = vsync ? 1 : 0;
    if (!start_game(script_seed(script), KORVANE_DATA_DIR, how)) return 1;

    Pacing pacing;
    pacing.at.reserve(static_cast<size_t>(frames));
    pacing.phase.reserve(static_cast<size_t>(frames));
    pacing.cpu.reserve(static_cast<size_t>(frames));
    pacing.start = SDL_GetPerformanceCounter();
    run_script_commands(played, [&](float) { pacing.mark(0); });
    int replay_frames = static_cast<int>(pacing.at.size());
    // Then the stress scene. Every SPELL frames, or when a level (or a game)
    // ends, the level begins again in the other mode, so the views are rebuilt.
    engine->Timer_SetFixedDelta(1.0f / 60.0f);
    bool one_player = false;
    bool ok = start_stress_level(one_player);
    int level_frame = 0;
    while (ok && !pacing.full()) {
        if (app.world.game_state != STATE_PLAY || level_frame == SPELL) {
            one_player = !one_player;
            ok = start_stress_level(one_player);
            ++pacing.levels_started;
            level_frame = 0;
            continue;
        }
        stress_keys(++level_frame);
        if (engine->System_RunFrames(1)) break;
        pacing.mark(one_player ? 2 : 1);
    }
    SDL_DisplayMode mode{};
    int refresh = SDL_GetCurrentDisplayMode(0, &mode) == 0 ? mode.refresh_rate : 0;
    stop_game();
    if (!ok) {
        std::fprintf(stderr, "bench_pacing: the stress scene did not begin\n");
        return 1;
    }

    // Frame times after the first second, and the worst ones with where they fell.
    std::vector<double> times, work;
    std::vector<size_t> index;
    for (size_t i = 1; i < pacing.at.size(); ++i) {
        if (pacing.at[i - 1] < SKIPPED_SECONDS) continue;
        times.push_back((pacing.at[i] - pacing.at[i - 1]) * 1000.0);
        work.push_back((pacing.cpu[i] - pacing.cpu[i - 1]) * 1000.0);
        index.push_back(i);
    }
    if (times.size() < 100) {
        std::fprintf(stderr, "bench_pacing: only %zu frames were timed\n", times.size());
        return 1;
    }
    double median = percentile(times, 0.5);
    std::vector<size_t> worst(times.size());
    for (size_t i = 0; i < worst.size(); ++i) worst[i] = i;
    std::partial_sort(worst.begin(), worst.begin() + 5, worst.end(),
                      [&](size_t a, size_t b) { return times[a] > times[b]; });
    int over_twice = 0, over_half_again = 0, under_half = 0;
    for (double t : times) {
        over_twice += t > 2.0 * median ? 1 : 0;
        over_half_again += t > 1.5 * median ? 1 : 0; // with vsync: a refresh skipped
        under_half += t < 0.5 * median ? 1 : 0;      // with vsync: two frames in one refresh
    }
    std::printf(
        "{\"vsync\": %s, \"refresh_hz\": %d, \"frames\": %zu, \"replay_frames\": %d, "
        "\"levels_begun_again\": %d, \"seconds\": %.3f, \"timed\": %zu, "
        "\"median_ms\": %.3f, \"p99_ms\": %.3f, \"max_ms\": %.3f, \"over_twice_median\": %d, "
        "\"over_1_5_median\": %d, \"under_half_median\": %d, \"work_median_ms\": %.3f, "
        "\"work_p99_ms\": %.3f, "
        "\"work_max_ms\": %.3f, "
        "\"worst\": [",
        vsync ? "true" : "false", refresh, pacing.at.size(), replay_frames, pacing.levels_started,
        pacing.at.back(), times.size(), median, percentile(times, 0.99), times[worst[0]],
        over_twice, over_half_again, under_half, percentile(work, 0.5), percentile(work, 0.99),
        *std::max_element(work.begin(), work.end()));
    for (int k = 0; k < 5; ++k) {
        size_t i = index[worst[k]];
        std::printf("%s{\"frame\": %zu, \"ms\": %.3f, \"work_ms\": %.3f, \"at_s\": %.3f, "
                    "\"phase\": \"%s\"}",
                    k ? ", " : "", i, times[worst[k]], work[worst[k]], pacing.at[i],
                    PHASES[pacing.phase[i]]);
    }
    size_t heaviest =
        static_cast<size_t>(std::max_element(work.begin(), work.end()) - work.begin());
    std::printf(
        "], \"heaviest\": {\"frame\": %zu, \"work_ms\": %.3f, \"ms\": %.3f, \"phase\": \"%s\"}}\n",
        index[heaviest], work[heaviest], times[heaviest], PHASES[pacing.phase[index[heaviest]]]);
    return 0;
}
