// The program's life: configure, start, load, run, shut down.
#pragma once

// What the program entry runs; 0 on every path.
int run_program();
