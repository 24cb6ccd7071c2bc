// The headless runner's script reader: any text. What it accepts must hold
// usable values and read back the same when written out again; what it
// refuses must name a line of the text.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "harness/script.h"

namespace {

int count_lines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines + (text.empty() || text.back() == '\n' ? 0 : 1);
}

// The command as a line of the script language; false for a command this
// target does not know how to write.
bool write_command(const ScriptCommand& c, std::string& out) {
    char buf[64];
    switch (c.op) {
    case OP_DT: std::snprintf(buf, sizeof buf, "dt %.9g\n", c.dt); break;
    // Key codes always as three digits: a single digit would name the digit key.
    case OP_PRESS: std::snprintf(buf, sizeof buf, "press %03d\n", c.key); break;
    case OP_RELEASE: std::snprintf(buf, sizeof buf, "release %03d\n", c.key); break;
    case OP_TAP: std::snprintf(buf, sizeof buf, "tap %03d\n", c.key); break;
    case OP_FRAMES: std::snprintf(buf, sizeof buf, "frames %ld\n", c.frames); break;
    case OP_DUMP: std::snprintf(buf, sizeof buf, "dump\n"); break;
    case OP_SCREENSHOT: out += "screenshot " + c.file + "\n"; return true;
    default: return false;
    }
    out += buf;
    return true;
}

// A NUL byte outside a comment: C string functions would stop at it and read
// only part of a word.
bool nul_in_a_command(const std::string& text) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        size_t hash = line.find('#');
        if (line.substr(0, hash).find('\0') != std::string::npos) return true;
        start = end + 1;
    }
    return false;
}

bool same(const ScriptCommand& a, const ScriptCommand& b) {
    return a.op == b.op && a.key == b.key && a.frames == b.frames && a.dt == b.dt &&
           a.file == b.file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<ScriptCommand> commands;
    std::string error;
    bool ok = parse_script(text, commands, error);
    int lines = count_lines(text);
    if (!ok) {
        int line = 0;
        fuzz_check(std::sscanf(error.c_str(), "line %d:", &line) == 1, "an error names its line");
        fuzz_check(line >= 1 && line <= lines, "the line named is in the text");
        return 0;
    }

    fuzz_check(!nul_in_a_command(text), "a NUL byte inside a command is refused");

    std::string again;
    bool writable = true;
    int previous_line = 0;
    for (const ScriptCommand& c : commands) {
        fuzz_check(c.line > previous_line && c.line <= lines, "commands in line order");
        previous_line = c.line;
        switch (c.op) {
        case OP_PRESS:
        case OP_RELEASE:
        case OP_TAP: fuzz_check(c.key >= 0 && c.key <= 255, "a key code in 0..255"); break;
        case OP_FRAMES: fuzz_check(c.frames >= 0, "a frame count not negative"); break;
        case OP_DT: fuzz_check(std::isfinite(c.dt) && c.dt > 0, "a frame time above 0"); break;
        case OP_SCREENSHOT:
            fuzz_check(!c.file.empty(), "a file name");
            fuzz_check(c.file.find_first_of(" \t\r\n#") == std::string::npos,
                       "a file name is one word");
            break;
        default: break;
        }
        writable = writable && write_command(c, again);
    }
    if (!writable) return 0;

    std::vector<ScriptCommand> reread;
    fuzz_check(parse_script(again, reread, error), "a script written from commands reads back");
    fuzz_check(reread.size() == commands.size(), "as many commands read back");
    for (size_t i = 0; i < commands.size(); ++i)
        fuzz_check(same(commands[i], reread[i]), "the same commands read back");
    return 0;
}
