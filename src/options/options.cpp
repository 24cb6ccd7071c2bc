#include "options/options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "engine/engine.h"

const char* const OPTIONS_FILE = "data/Options.ini";

namespace {

// One value of the file: where it lives, its range, and its field.
struct OptionField {
    const char* name; // section.key, lower case
    int min, max;
    bool is_flag;
    int player_options::*number;
    bool player_options::*flag;
};

const OptionField FIELDS[] = {
    {"sound.volume", 0, 100, false, &player_options::volume, nullptr},
    {"display.fullscreen", 0, 1, true, nullptr, &player_options::fullscreen},
    {"display.scale", 1, 8, false, &player_options::scale, nullptr},
    {"display.integer_scaling", 0, 1, true, nullptr, &player_options::integer_scaling},
    {"display.vsync", 0, 1, true, nullptr, &player_options::vsync},
    {"display.pause_when_unfocused", 0, 1, true, nullptr, &player_options::pause_when_unfocused},
};

const char* const AID_NAMES[AID_COUNT] = {"aids.status_strip", "aids.radar", "aids.feedback",
                                          "aids.prompts"};
const char* const ROLE_NAMES[ROLE_COUNT] = {"left", "right", "up", "down", "fire"};

// Keys that keep their own meaning and cannot fly a ship.
bool bindable(int key) {
    return key > 0 && key < 256 && key != HGEK_ESCAPE && key != HGEK_PAUSE;
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    size_t a = 0, b = s.size();
    while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
    return s.substr(a, b - a);
}

bool parse_int(const std::string& text, int& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -1000000 || v > 1000000) return false;
    out = static_cast<int>(v);
    return true;
}

// Sends one display value to the engine.
void apply_display(Engine* engine, const player_options& o, int row) {
    switch (row) {
    case ROW_FULLSCREEN: engine->System_SetState(HGE_WINDOWED, !o.fullscreen); break;
    case ROW_SCALE: engine->System_SetState(HGE_SCALE, o.scale); break;
    case ROW_INTEGER_SCALING: engine->System_SetState(HGE_INTEGERSCALING, o.integer_scaling); break;
    case ROW_VSYNC: engine->System_SetState(HGE_VSYNC, o.vsync); break;
    case ROW_PAUSE_UNFOCUSED:
        engine->System_SetState(HGE_PAUSEUNFOCUSED, o.pause_when_unfocused);
        break;
    case ROW_VOLUME: engine->System_SetState(HGE_FXVOLUME, o.volume); break;
    default: break;
    }
}

} // namespace

player_options default_options(Engine* engine) {
    player_options o;
    auto flag = [engine](const char* key, bool def) {
        int v = engine->Ini_GetInt("Display", key, def ? 1 : 0);
        return v == 0 || v == 1 ? v == 1 : def;
    };
    o.fullscreen = flag("fullscreen", o.fullscreen);
    int scale = engine->Ini_GetInt("Display", "scale", o.scale);
    if (scale >= 1 && scale <= 8) o.scale = scale;
    o.integer_scaling = flag("integer_scaling", o.integer_scaling);
    o.vsync = flag("vsync", o.vsync);
    o.pause_when_unfocused = flag("pause_when_unfocused", o.pause_when_unfocused);
    return o;
}

namespace {

void change_row(Engine* engine, player_options& o, int row, int step) {
    if (row >= ROW_AIDS && row < ROW_AIDS + AID_COUNT) {
        o.aids[row - ROW_AIDS] = !o.aids[row - ROW_AIDS];
        return;
    }
    switch (row) {
    case ROW_VOLUME: o.volume = std::max(0, std::min(100, o.volume + 10 * step)); break;
    case ROW_FULLSCREEN: o.fullscreen = !o.fullscreen; break;
    case ROW_SCALE: o.scale = (o.scale - 1 + step + 4) % 4 + 1; break;
    case ROW_INTEGER_SCALING: o.integer_scaling = !o.integer_scaling; break;
    case ROW_VSYNC: o.vsync = !o.vsync; break;
    case ROW_PAUSE_UNFOCUSED: o.pause_when_unfocused = !o.pause_when_unfocused; break;
    default: return;
    }
    apply_display(engine, o, row);
}

// A new key for one role; a key that another role of the same player had
// moves there, so no key ever does two things for one player.
void bind_key(player_options& o, const Settings& file, int p, int role, int key) {
    int old = player_key(o, file, p, role);
    for (int r = 0; r < ROLE_COUNT; ++r)
        if (r != role && player_key(o, file, p, r) == key) o.keys[p][r] = old;
    o.keys[p][role] = key;
}

} // namespace

int read_options_text(const char* text, player_options& out) {
    if (!text) return 0;
    int bad = 0;
    std::string section;
    const char* p = text;
    while (*p) {
        const char* end = std::strchr(p, '\n');
        std::string line = end ? std::string(p, end) : std::string(p);
        p = end ? end + 1 : p + line.size();
        size_t comment = line.find_first_of("#;");
        if (comment != std::string::npos) line.erase(comment);
        line = trim(line);
        if (line.empty()) continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                ++bad;
                section.clear();
                continue;
            }
            section = lower(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        size_t eq = line.find('=');
        int value = 0;
        if (eq == std::string::npos || section.empty() ||
            !parse_int(trim(line.substr(eq + 1)), value) ||
            !set_option(section + "." + lower(trim(line.substr(0, eq))), value, out))
            ++bad;
    }
    return bad;
}

bool set_option(const std::string& name_in, int value, player_options& o) {
    std::string name = lower(name_in);
    for (const OptionField& f : FIELDS) {
        if (name != f.name) continue;
        if (value < f.min || value > f.max) return false;
        if (f.is_flag)
            o.*f.flag = value == 1;
        else
            o.*f.number = value;
        return true;
    }
    for (int a = 0; a < AID_COUNT; ++a) {
        if (name != AID_NAMES[a]) continue;
        if (value != 0 && value != 1) return false;
        o.aids[a] = value == 1;
        return true;
    }
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < ROLE_COUNT; ++r) {
            if (name != std::string(p == 0 ? "player0." : "player1.") + ROLE_NAMES[r]) continue;
            // 0 gives the key back to the settings file.
            if (value != 0 && !bindable(value)) return false;
            o.keys[p][r] = value;
            return true;
        }
    return false;
}

std::string options_text(const player_options& o) {
    std::string out = "# Korvane options, written by the options screen (Tab in the menu).\n";
    std::string section;
    auto put = [&](const std::string& name, int value) {
        size_t dot = name.find('.');
        std::string s = name.substr(0, dot);
        if (s != section) {
            out += "\n[" + s + "]\n";
            section = s;
        }
        out += name.substr(dot + 1) + " = " + std::to_string(value) + "\n";
    };
    for (int a = 0; a < AID_COUNT; ++a) put(AID_NAMES[a], o.aids[a] ? 1 : 0);
    for (const OptionField& f : FIELDS) put(f.name, f.is_flag ? (o.*f.flag ? 1 : 0) : o.*f.number);
    // Keys as the settings file writes them: virtual-key codes.
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < ROLE_COUNT; ++r)
            if (o.keys[p][r] != 0)
                put(std::string(p == 0 ? "player0." : "player1.") + ROLE_NAMES[r], o.keys[p][r]);
    return out;
}

int player_key(const player_options& o, const Settings& file, int p, int role) {
    if (p < 0 || p > 1 || role < 0 || role >= ROLE_COUNT) return 0;
    int key = o.keys[p][role];
    return key > 0 && key < 256 ? key : file.player_keys[p][role];
}

void apply_key_bindings(World& w, const player_options& o) {
    for (int p = 0; p < 2; ++p) {
        ship& s = w.ship_records[p];
        s.key_left = player_key(o, w.file_settings, p, ROLE_LEFT);
        s.key_right = player_key(o, w.file_settings, p, ROLE_RIGHT);
        s.key_up = player_key(o, w.file_settings, p, ROLE_UP);
        s.key_down = player_key(o, w.file_settings, p, ROLE_DOWN);
        s.key_fire = player_key(o, w.file_settings, p, ROLE_FIRE);
    }
}

player_options load_options(Engine* engine) {
    player_options defaults = default_options(engine);
    player_options o = defaults;
    uint32_t size = 0;
    char* text = static_cast<char*>(engine->UserFile_Load(OPTIONS_FILE, &size));
    if (!text) {
        engine->System_Log("No options file yet (%s): the defaults apply", OPTIONS_FILE);
    } else {
        // The engine ends the bytes with a zero; a zero inside is a broken file.
        int bad = std::strlen(text) != size ? -1 : read_options_text(text, o);
        engine->Resource_Free(text);
        if (bad < 0) {
            o = defaults;
            engine->System_Log("The options file %s is not text: the defaults apply", OPTIONS_FILE);
        } else if (bad > 0) {
            engine->System_Log("The options file %s has %d line(s) that were left out",
                               OPTIONS_FILE, bad);
        }
    }
    // The engine opened with the settings file's display: send only what differs.
    if (o.fullscreen != defaults.fullscreen) apply_display(engine, o, ROW_FULLSCREEN);
    if (o.scale != defaults.scale) apply_display(engine, o, ROW_SCALE);
    if (o.integer_scaling != defaults.integer_scaling)
        apply_display(engine, o, ROW_INTEGER_SCALING);
    if (o.vsync != defaults.vsync) apply_display(engine, o, ROW_VSYNC);
    if (o.pause_when_unfocused != defaults.pause_when_unfocused)
        apply_display(engine, o, ROW_PAUSE_UNFOCUSED);
    apply_display(engine, o, ROW_VOLUME);
    return o;
}

bool save_options(Engine* engine, const player_options& o) {
    std::string text = options_text(o);
    if (engine->UserFile_Save(OPTIONS_FILE, text.data(), static_cast<uint32_t>(text.size())))
        return true;
    engine->System_Log("Could not write the options file %s", OPTIONS_FILE);
    return false;
}

void open_options(OptionsScreen& screen) {
    screen.open = true;
    screen.row = 0;
    screen.waiting_key = false;
}

OptionsOutcome options_frame(OptionsScreen& screen, player_options& o, const Settings& file,
                             const KeyFrame& keys, Engine* engine) {
    if (screen.waiting_key) {
        int key = keys.last_key;
        if (key == 0) return OPTIONS_UNCHANGED;
        screen.waiting_key = false;
        if (key == HGEK_ESCAPE || !bindable(key)) return OPTIONS_UNCHANGED; // keeps the key it had
        int k = screen.row - ROW_KEYS;
        bind_key(o, file, k / ROLE_COUNT, k % ROLE_COUNT, key);
        return OPTIONS_KEYS_CHANGED;
    }
    if (keys.went_down(HGEK_ESCAPE)) {
        screen.open = false;
        return OPTIONS_CLOSED;
    }
    if (keys.went_down(HGEK_UP)) screen.row = (screen.row + ROW_COUNT - 1) % ROW_COUNT;
    if (keys.went_down(HGEK_DOWN)) screen.row = (screen.row + 1) % ROW_COUNT;
    bool enter = keys.went_down(HGEK_ENTER);
    int step = keys.went_down(HGEK_RIGHT) ? 1 : keys.went_down(HGEK_LEFT) ? -1 : 0;
    if (!enter && step == 0) return OPTIONS_UNCHANGED;
    if (screen.row >= ROW_KEYS && screen.row < ROW_DEFAULT_KEYS) {
        // The key itself comes in a later frame: this frame's Enter is no answer.
        if (enter) screen.waiting_key = true;
    } else if (screen.row == ROW_DEFAULT_KEYS) {
        if (enter) {
            std::memset(o.keys, 0, sizeof o.keys);
            return OPTIONS_KEYS_CHANGED;
        }
    } else {
        change_row(engine, o, screen.row, step != 0 ? step : 1);
    }
    return OPTIONS_UNCHANGED;
}
