#include "options/options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/engine.h"

const char* const OPTIONS_FILE = "data/Options.ini";

namespace {

// A row of the options screen that holds a value: its line in the file, its
// words on the screen, and where the engine takes it. A new setting is a
// field of player_options, a row in the enum and a line here.
struct OptionField {
    int row;
    const char* name;  // section.key in the options file, lower case
    const char* label; // on the options screen
    int min, max;      // a flag is 0..1
    int step;          // Left and Right move by this, Enter by one step; 0 wraps round
    int player_options::*number;
    bool player_options::*flag;
    const char* format; // the number on the screen; a flag shows ON or OFF
    int int_state;      // the engine state it sets, or -1
    int bool_state;
    bool inverted;           // the engine's state is the opposite (windowed)
    const char* display_key; // its default from the settings file's [Display], or nullptr
};

const OptionField FIELDS[] = {
    {ROW_VOLUME, "sound.volume", "SOUND VOLUME", 0, 100, 10, &player_options::volume, nullptr,
     "%d%%", HGE_FXVOLUME, -1, false, nullptr},
    {ROW_FULLSCREEN, "display.fullscreen", "FULLSCREEN", 0, 1, 0, nullptr,
     &player_options::fullscreen, nullptr, -1, HGE_WINDOWED, true, "fullscreen"},
    // The screen offers the scales a window can usually take; the file any up to 8.
    {ROW_SCALE, "display.scale", "WINDOW SCALE", 1, 8, 0, &player_options::scale, nullptr, "%d X",
     HGE_SCALE, -1, false, "scale"},
    {ROW_INTEGER_SCALING, "display.integer_scaling", "INTEGER SCALING", 0, 1, 0, nullptr,
     &player_options::integer_scaling, nullptr, -1, HGE_INTEGERSCALING, false, "integer_scaling"},
    {ROW_VSYNC, "display.vsync", "VSYNC", 0, 1, 0, nullptr, &player_options::vsync, nullptr, -1,
     HGE_VSYNC, false, "vsync"},
    {ROW_PAUSE_UNFOCUSED, "display.pause_when_unfocused", "PAUSE WHEN UNFOCUSED", 0, 1, 0, nullptr,
     &player_options::pause_when_unfocused, nullptr, -1, HGE_PAUSEUNFOCUSED, false,
     "pause_when_unfocused"},
};
const int SCREEN_SCALES = 4;

const OptionField* field_of_row(int row) {
    for (const OptionField& f : FIELDS)
        if (f.row == row) return &f;
    return nullptr;
}

int get(const player_options& o, const OptionField& f) {
    return f.flag ? (o.*f.flag ? 1 : 0) : o.*f.number;
}

void put(player_options& o, const OptionField& f, int value) {
    if (f.flag)
        o.*f.flag = value == 1;
    else
        o.*f.number = value;
}

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

// Sends one value to the engine.
void apply_field(Engine* engine, const player_options& o, const OptionField& f) {
    int v = get(o, f);
    if (f.int_state >= 0) engine->System_SetState(static_cast<hgeIntState>(f.int_state), v);
    if (f.bool_state >= 0)
        engine->System_SetState(static_cast<hgeBoolState>(f.bool_state),
                                f.inverted ? v == 0 : v == 1);
}

} // namespace

player_options default_options(Engine* engine) {
    player_options o;
    for (const OptionField& f : FIELDS) {
        if (!f.display_key) continue;
        int v = engine->Ini_GetInt("Display", f.display_key, get(o, f));
        if (v >= f.min && v <= f.max) put(o, f, v);
    }
    return o;
}

namespace {

void change_row(Engine* engine, player_options& o, int row, int step) {
    if (row >= ROW_AIDS && row < ROW_AIDS + AID_COUNT) {
        o.aids[row - ROW_AIDS] = !o.aids[row - ROW_AIDS];
        return;
    }
    const OptionField* f = field_of_row(row);
    if (!f) return;
    int v = get(o, *f);
    if (f->step > 0) {
        v = std::max(f->min, std::min(f->max, v + f->step * step));
    } else {
        int top = f->flag ? 1 : std::min(f->max, f->min + SCREEN_SCALES - 1);
        int span = top - f->min + 1;
        v = ((v - f->min + step) % span + span) % span + f->min;
    }
    put(o, *f, v);
    apply_field(engine, o, *f);
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
        put(o, f, value);
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
    for (const OptionField& f : FIELDS) put(f.name, get(o, f));
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
    for (const OptionField& f : FIELDS)
        if (!f.display_key || get(o, f) != get(defaults, f)) apply_field(engine, o, f);
    return o;
}

bool save_options(Engine* engine, const player_options& o) {
    std::string text = options_text(o);
    if (engine->UserFile_Save(OPTIONS_FILE, text.data(), static_cast<uint32_t>(text.size())))
        return true;
    engine->System_Log("Could not write the options file %s", OPTIONS_FILE);
    return false;
}

const char* option_row_label(int row) {
    static const char* const AID_LABELS[AID_COUNT] = {"STATUS STRIP", "READABLE RADAR", "FEEDBACK",
                                                      "PROMPTS"};
    static const char* const KEY_LABELS[2][ROLE_COUNT] = {
        {"PLAYER 1 TURN LEFT", "PLAYER 1 TURN RIGHT", "PLAYER 1 THRUST", "PLAYER 1 BACK",
         "PLAYER 1 FIRE"},
        {"PLAYER 2 TURN LEFT", "PLAYER 2 TURN RIGHT", "PLAYER 2 THRUST", "PLAYER 2 BACK",
         "PLAYER 2 FIRE"}};
    if (row >= ROW_AIDS && row < ROW_AIDS + AID_COUNT) return AID_LABELS[row - ROW_AIDS];
    if (const OptionField* f = field_of_row(row)) return f->label;
    if (row >= ROW_KEYS && row < ROW_DEFAULT_KEYS)
        return KEY_LABELS[(row - ROW_KEYS) / ROLE_COUNT][(row - ROW_KEYS) % ROLE_COUNT];
    return row == ROW_DEFAULT_KEYS ? "KEYS FROM SETTINGS" : "";
}

bool option_row_value(const player_options& o, int row, int fits, char* out, size_t size) {
    if (row >= ROW_AIDS && row < ROW_AIDS + AID_COUNT) {
        std::snprintf(out, size, "%s", o.aids[row - ROW_AIDS] ? "ON" : "OFF");
        return true;
    }
    const OptionField* f = field_of_row(row);
    if (!f) return false;
    int v = get(o, *f);
    if (!f->format)
        std::snprintf(out, size, "%s", v ? "ON" : "OFF");
    else if (f->number == &player_options::scale && fits >= 1 && fits < v)
        std::snprintf(out, size, "%d X (%d X FITS)", v, fits);
    else
        std::snprintf(out, size, f->format, v);
    return true;
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
