#include "engine/sdl/startup_trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

// Set while the program's statics are made, before main: near enough to its start
// that what comes before is only the loader's work.
const Clock::time_point program_start = Clock::now();
Clock::time_point last_step = program_start;

double ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

bool startup_trace_on() {
    static const bool on = [] {
        const char* v = std::getenv("KORVANE_STARTUP_TRACE");
        return v && std::strcmp(v, "1") == 0;
    }();
    return on;
}

void startup_step(const char* what, const char* detail) {
    if (!startup_trace_on()) return;
    Clock::time_point now = Clock::now();
    std::fprintf(stderr, "startup %8.1f ms %+7.1f  %s%s%s\n", ms(now - program_start),
                 ms(now - last_step), what, detail ? " " : "", detail ? detail : "");
    last_step = now;
}
