#include "harness/script.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

#include "engine/engine.h"
#include "options/options.h"
#include "settings/settings.h"

namespace {

struct NamedKey {
    const char* name;
    int code;
};

const NamedKey NAMED_KEYS[] = {
    {"LEFT", HGEK_LEFT},   {"RIGHT", HGEK_RIGHT},   {"UP", HGEK_UP},
    {"DOWN", HGEK_DOWN},   {"CTRL", HGEK_CTRL},     {"SHIFT", HGEK_SHIFT},
    {"ENTER", HGEK_ENTER}, {"ESCAPE", HGEK_ESCAPE}, {"SPACE", HGEK_SPACE},
    {"ALT", HGEK_ALT},     {"TAB", HGEK_TAB},       {"BACKSPACE", HGEK_BACKSPACE},
};

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool parse_long(const std::string& s, long& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s.c_str(), &end, 10);
    // The whole word: a NUL byte inside it would otherwise end it early.
    if (errno != 0 || end == s.c_str() || end != s.c_str() + s.size()) return false;
    out = v;
    return true;
}

// A frame time the engine keeps fixed: 0 (or a value too large to hold)
// would hand the frames to the real clock and the run would not repeat.
bool parse_seconds(const std::string& s, float& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    float v = std::strtof(s.c_str(), &end);
    if (end == s.c_str() || end != s.c_str() + s.size()) return false; // the whole word
    if (!std::isfinite(v) || !(v > 0.0f) || v >= 1e30f) return false;
    out = v;
    return true;
}

bool parse_seed(const std::string& s, int& out) {
    long v;
    if (!parse_long(s, v) || v < -2147483647L || v > 2147483647L) return false;
    out = static_cast<int>(v);
    return true;
}

// "A".."Z" (either case) for a letter, "-" for none; -1 if neither.
int parse_letter(const std::string& s) {
    if (s == "-") return 0;
    if (s.size() != 1) return -1;
    if (s[0] >= 'a' && s[0] <= 'z') return s[0] - 'a' + 'A';
    if (s[0] >= 'A' && s[0] <= 'Z') return s[0];
    return -1;
}

} // namespace

int parse_key(const std::string& raw) {
    std::string name = upper(raw);
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) return name[0];
    for (const NamedKey& k : NAMED_KEYS)
        if (name == k.name) return k.code;
    if (name.size() >= 2 && name[0] == 'F' && std::isdigit(static_cast<unsigned char>(name[1]))) {
        long n;
        if (parse_long(name.substr(1), n) && n >= 1 && n <= 12)
            return HGEK_F1 + static_cast<int>(n) - 1;
        return -1;
    }
    long code;
    if (parse_long(name, code) && code >= 0 && code <= 255) return static_cast<int>(code);
    return -1;
}

bool read_script_text(const std::string& name, std::string& text) {
    std::ostringstream all;
    if (name == "-") {
        all << std::cin.rdbuf();
    } else {
        std::ifstream in(name, std::ios::binary);
        if (!in) return false;
        all << in.rdbuf();
    }
    text = all.str();
    return true;
}

bool parse_script(const std::string& text, std::vector<ScriptCommand>& commands,
                  std::string& error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    bool framed = false;
    while (std::getline(in, line)) {
        ++number;
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string word, arg, arg2, extra, more;
        if (!(words >> word)) continue;
        words >> arg;
        // Only option takes two words; for the others a second one is extra.
        if (word == "option" || word == "setting") words >> arg2;
        bool has_extra = static_cast<bool>(words >> extra);
        bool has_more = static_cast<bool>(words >> more);
        ScriptCommand c;
        c.op = OP_DUMP;
        c.line = number;
        bool ok = !has_extra;
        if ((word == "press" || word == "tap") && has_extra && !has_more) {
            // The letter the key types on the player's layout.
            c.op = word == "press" ? OP_PRESS : OP_TAP;
            c.key = parse_key(arg);
            c.letter = parse_letter(extra);
            ok = c.key >= 0 && c.letter >= 0;
        } else if (word == "dt") {
            c.op = OP_DT;
            ok = ok && parse_seconds(arg, c.dt);
        } else if (word == "press" || word == "release" || word == "tap") {
            c.op = word == "press" ? OP_PRESS : word == "release" ? OP_RELEASE : OP_TAP;
            c.key = parse_key(arg);
            ok = ok && c.key >= 0;
        } else if (word == "frames") {
            c.op = OP_FRAMES;
            ok = ok && parse_long(arg, c.frames) && c.frames >= 0;
            framed = true;
        } else if (word == "seed") {
            // The seed is taken before the game starts; later it could not act.
            c.op = OP_SEED;
            ok = ok && !framed && parse_seed(arg, c.seed);
        } else if (word == "dump") {
            c.op = OP_DUMP;
            ok = ok && arg.empty();
        } else if (word == "screenshot") {
            c.op = OP_SCREENSHOT;
            c.file = arg;
            // A NUL byte would cut the name short where the file is opened.
            ok = ok && !arg.empty() && arg.find('\0') == std::string::npos;
        } else if (word == "setting") {
            c.op = OP_SETTING;
            c.file = arg;
            c.text = arg2;
            size_t dot = arg.find('.');
            char* end = nullptr;
            std::strtod(arg2.c_str(), &end);
            ok = ok && !framed && dot != std::string::npos &&
                 is_settings_key(arg.substr(0, dot), arg.substr(dot + 1)) && !arg2.empty() &&
                 end == arg2.c_str() + arg2.size();
        } else if (word == "option") {
            // A player's key or an aid, as the options file names it.
            c.op = OP_OPTION;
            c.file = arg;
            long value = 0;
            player_options scratch;
            ok = ok && parse_long(arg2, value) && value >= -1000000 && value <= 1000000 &&
                 set_option(arg, static_cast<int>(value), scratch);
            c.value = static_cast<int>(value);
        } else {
            ok = false;
        }
        if (!ok) {
            error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
            return false;
        }
        commands.push_back(c);
    }
    return true;
}
