// The windowed program's life with its command line: play, record a
// session, or show a recording.
#pragma once

// Reads the options and runs what they ask. 0 after play, help or version;
// 1 when a recording could not be written in full; 2 for a bad option or an
// unreadable recording to show.
int run_korvane(int argc, char** argv);
