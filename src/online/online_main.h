// The entries of an online session, for the desktop programs only: the
// rest of the game links without the network.
#pragma once

// The command line asks for a session (--host or --join).
bool wants_online(int argc, char** argv);
// korvane-headless --host PORT | --join HOST:PORT --script FILE [...]: exit
// 0 after a whole session, 2 for bad options, 1 when no session could start,
// 3 when it ended early (the rest of the script then played alone).
int run_online_headless(int argc, char** argv);
// korvane --host [PORT] | --join HOST[:PORT] [--record FILE] [--input-delay N].
int run_online_window(int argc, char** argv);
