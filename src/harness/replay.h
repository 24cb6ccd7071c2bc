// Playing a script: the headless runner's commands, shared by korvane-headless,
// the windowed replay and online sessions, so all of them play alike.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "harness/script.h"

// The frame time a script starts with, until its first dt command.
const float SCRIPT_DEFAULT_DT = 0.0166667f;

// The seed a script's seed command asks for; 0 (the clock) when it has none.
int script_seed(const std::vector<ScriptCommand>& commands);
// The script's setting lines as INI text ("" for none), to lay over the settings file.
std::string script_settings(const std::vector<ScriptCommand>& commands);

// What a script drives.
class ScriptTarget {
  public:
    virtual ~ScriptTarget() = default;
    // A key goes down (typing letter: 'A'..'Z', 0 none, -1 a US key's own) or up
    // before the next frame.
    virtual void key(int key, bool down, int letter) = 0;
    // The frame time from now on.
    virtual void frame_time(float dt) = 0;
    // Runs one frame; false when the game ended (or can go no further).
    virtual bool frame() = 0;
    // The state after the frames so far, as one line; false when there is
    // none to give (the game can go no further).
    virtual bool dump(long frame, std::string& out) = 0;
    // False when the file could not be written.
    virtual bool screenshot(const std::string& file) = 0;
    // A player's key or an aid, as the options file names it.
    virtual void option(const std::string& name, int value) = 0;
};

// Runs the commands from `from` on: key changes before the next frame, dt
// for the frames after it, dump to standard output, screenshots; seed lines
// were taken at start-up. A tap lets go after its frame. after_frame, when
// set, runs after each frame with that frame's time. Returns the index of the
// command at which it stopped (commands.size() when all ran), with
// frames_left the frames of that command that did not run.
size_t run_script(const std::vector<ScriptCommand>& commands, ScriptTarget& target,
                  const std::function<void(float)>& after_frame = nullptr, size_t from = 0,
                  long* frames_left = nullptr);

// run_script on the started engine and `app`.
void run_script_commands(const std::vector<ScriptCommand>& commands,
                         const std::function<void(float)>& after_frame = nullptr);
