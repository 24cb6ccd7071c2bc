// The headless runner's scripts: one command a line, '#' starts a comment.
#pragma once

#include <string>
#include <vector>

enum ScriptOp {
    OP_DT,
    OP_PRESS,
    OP_RELEASE,
    OP_TAP,
    OP_FRAMES,
    OP_DUMP,
    OP_SCREENSHOT,
    OP_SEED,
    OP_OPTION,
    OP_SETTING
};

struct ScriptCommand {
    ScriptOp op = OP_DUMP;
    int line = 0;     // 1-based, for messages
    int key = 0;      // press, release, tap: virtual-key code
    int letter = -1;  // press, tap: letter the layout types, 0 none, -1 a US key's own
    long frames = 0;  // frames
    float dt = 0;     // dt: above 0
    int seed = 0;     // seed: as korvane-headless --seed, 0 for the clock
    std::string file; // screenshot; option: its name in the options file; setting: Section.key
    int value = 0;    // option
    std::string text; // setting: its value as written
};

// A key name (LEFT, F1, A, 7, ...) or a virtual-key number 0..255; -1 if neither.
// A single letter or digit names that key; longer numbers are key codes.
int parse_key(const std::string& name);

// A press or tap may name the letter the key types on the player's layout:
// "press Q A" is AZERTY's A key, "press M -" its comma; without it a letter
// key types its own letter, as on a US keyboard.
// The whole text of a script file; "-" reads standard input. False when it cannot be read.
bool read_script_text(const std::string& name, std::string& text);

// A setting line gives one value of the settings file ("setting Game.start_money
// 500"), over the file's own, so that a recording plays with the values it was
// played with. Like seed, it must come before the first frames command.
// Parses a whole script. On a malformed line: false, and error names its line.
// A seed command must come before the first frames command.
bool parse_script(const std::string& text, std::vector<ScriptCommand>& commands,
                  std::string& error);
