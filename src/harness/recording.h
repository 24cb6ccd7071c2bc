// Recordings: a session written while it is played, as a korvane-headless
// script that replays it exactly (seed, frame times, key changes).
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "base/keys.h"
#include "options/options.h"

// A script name for a virtual-key code 1..255 that parse_key reads back as
// that same code; "" outside that range.
std::string script_key_name(int key);

// What one key did in a frame, as the game saw it.
struct KeyEdges {
    bool down = false, up = false, held = false;
};

// The press (true) and release (false) commands that take the keys from
// held (their state before the frame) to the frame's edges, ordered so that
// injected they give the same edges, states and Input_GetKey (last_key);
// held becomes the frame's state. Index = virtual-key code; 0 is unused.
std::vector<std::pair<int, bool>> key_changes(bool held[256], const KeyEdges edges[256],
                                              int last_key);

// The script lines of a frame's key changes. typed holds the letters the
// frame's presses typed ('A'..'Z' at 0..25); a press whose key types another
// letter than its own, or none, names it ("press Q A", "press M -"), so the
// replay types the same letters on any layout.
std::string key_change_lines(const std::vector<std::pair<int, bool>>& changes,
                             const bool typed[26]);

class Recorder {
  public:
    Recorder() = default;
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;
    ~Recorder();

    // Creates the file and writes its seed lines; false with error set when
    // it cannot be written.
    bool open(const std::string& path, int seed, std::string& error);
    // Writes the players' remapped keys as option lines, so the recording
    // replays alike whatever keys the one who plays it back has chosen.
    void write_key_bindings(const player_options& o);
    // Writes every value of the settings as setting lines, so that the
    // recording plays alike whatever settings file the one replaying it has.
    void write_settings(const Settings& s);
    // Notes what the frame about to run sees: its time and its key edges.
    void before_frame(const KeyFrame& keys, float dt);
    // Writes and flushes the noted frame, unless it ended the game: a
    // quitting frame changes nothing and is left out so the replay ends on
    // the state the player left.
    void after_frame(bool ended);
    // Ends the file with a dump command and the live state as a comment, and
    // closes it. False when any write failed, with error set.
    bool finish(const std::string& final_state, std::string& error);
    // Frames written so far.
    long frames() const { return frames_; }

  private:
    void write(const std::string& text);

    FILE* file_ = nullptr;
    std::string path_;
    bool held_[256] = {};
    float last_dt_ = -1.0f;
    long frames_ = 0;
    std::string pending_; // the noted frame's lines
    int write_error_ = 0; // errno of the first failed write
};

// Makes the engine's frame function record through r: the game's own frame
// function between before_frame and after_frame. r must outlive the loop.
void record_frames_with(Recorder* r);
