// KORVANE_STARTUP_TRACE=1 prints each start-up step, with the milliseconds
// since the program's own code began and the step's own share, to stderr.
#pragma once

// Whether the trace is on; read once.
bool startup_trace_on();
// The step that just ended, e.g. "window" or "picture data/logo.png".
void startup_step(const char* what, const char* detail = nullptr);
