#include "game/options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "world/globals.h"

const char* const OPTIONS_FILE = "data/Options.ini";

namespace {

bool saving_allowed = false;

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
void apply_display(int row) {
    const player_options& o = game_options;
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

// The settings file's [Display], which the engine opened the window with.
player_options defaults_from_settings() {
    player_options o;
    auto flag = [](const char* key, bool def) {
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

void change_row(int row, int step) {
    player_options& o = game_options;
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
    apply_display(row);
}

// A new key for one role; a key that another role of the same player had
// moves there, so no key ever does two things for one player.
void bind_key(int p, int role, int key) {
    int old = player_key(p, role);
    for (int r = 0; r < ROLE_COUNT; ++r)
        if (r != role && player_key(p, r) == key) game_options.keys[p][r] = old;
    game_options.keys[p][role] = key;
    apply_key_bindings();
}

int last_armor[2] = {-1, -1};

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

void load_options() {
    player_options defaults = defaults_from_settings();
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
    game_options = o;
    // The engine opened with the settings file's display: send only what differs.
    if (o.fullscreen != defaults.fullscreen) apply_display(ROW_FULLSCREEN);
    if (o.scale != defaults.scale) apply_display(ROW_SCALE);
    if (o.integer_scaling != defaults.integer_scaling) apply_display(ROW_INTEGER_SCALING);
    if (o.vsync != defaults.vsync) apply_display(ROW_VSYNC);
    if (o.pause_when_unfocused != defaults.pause_when_unfocused) apply_display(ROW_PAUSE_UNFOCUSED);
    apply_display(ROW_VOLUME);
    apply_key_bindings();
}

void set_options_saved(bool saved) {
    saving_allowed = saved;
}

bool save_options() {
    if (!saving_allowed) return true;
    std::string text = options_text(game_options);
    if (engine->UserFile_Save(OPTIONS_FILE, text.data(), static_cast<uint32_t>(text.size())))
        return true;
    engine->System_Log("Could not write the options file %s", OPTIONS_FILE);
    return false;
}

void apply_key_bindings() {
    for (int p = 0; p < 2; ++p) {
        ship& s = ship_records[p];
        s.key_left = player_key(p, ROLE_LEFT);
        s.key_right = player_key(p, ROLE_RIGHT);
        s.key_up = player_key(p, ROLE_UP);
        s.key_down = player_key(p, ROLE_DOWN);
        s.key_fire = player_key(p, ROLE_FIRE);
    }
}

void open_options() {
    options_open = true;
    options_row = 0;
    options_waiting_key = false;
}

void options_frame() {
    if (options_waiting_key) {
        int key = engine->Input_GetKey();
        if (key == 0) return;
        options_waiting_key = false;
        if (key == HGEK_ESCAPE || !bindable(key)) return; // keeps the key it had
        int k = options_row - ROW_KEYS;
        bind_key(k / ROLE_COUNT, k % ROLE_COUNT, key);
        return;
    }
    if (engine->Input_KeyDown(HGEK_ESCAPE)) {
        options_open = false;
        clear_screen_once = true; // the menu's gap columns are white again
        save_options();
        return;
    }
    if (engine->Input_KeyDown(HGEK_UP)) options_row = (options_row + ROW_COUNT - 1) % ROW_COUNT;
    if (engine->Input_KeyDown(HGEK_DOWN)) options_row = (options_row + 1) % ROW_COUNT;
    bool enter = engine->Input_KeyDown(HGEK_ENTER);
    int step = engine->Input_KeyDown(HGEK_RIGHT) ? 1 : engine->Input_KeyDown(HGEK_LEFT) ? -1 : 0;
    if (!enter && step == 0) return;
    if (options_row >= ROW_KEYS && options_row < ROW_DEFAULT_KEYS) {
        // The key itself comes in a later frame: this frame's Enter is no answer.
        if (enter) options_waiting_key = true;
    } else if (options_row == ROW_DEFAULT_KEYS) {
        if (enter) {
            std::memset(game_options.keys, 0, sizeof game_options.keys);
            apply_key_bindings();
        }
    } else {
        change_row(options_row, step != 0 ? step : 1);
    }
}

bool pause_key_down() {
    if (engine->Input_KeyDown(HGEK_PAUSE)) return true;
    if (!engine->Input_KeyDown('P')) return false;
    int players = game_mode == MODE_ONE_PLAYER ? 1 : 2;
    for (int p = 0; p < players; ++p) {
        const ship& s = ship_records[p];
        for (int key : {s.key_left, s.key_right, s.key_up, s.key_down, s.key_fire})
            if (key == 'P') return false;
    }
    return true;
}

void set_paused(bool paused) {
    if (paused == game_paused) return;
    game_paused = paused;
    if (paused)
        engine->Channel_PauseAll();
    else
        engine->Channel_ResumeAll();
}

void track_feedback(float dt) {
    for (int v = 0; v < 2; ++v) {
        if (armor_flash[v] > 0) armor_flash[v] = std::max(0.0f, armor_flash[v] - dt);
        int armor = ship_records[v].armor;
        // A hit that takes armor away, whether or not it destroys the ship.
        if (armor < last_armor[v]) armor_flash[v] = 0.35f;
        last_armor[v] = armor;
    }
}

void reset_feedback() {
    for (int v = 0; v < 2; ++v) {
        armor_flash[v] = 0;
        last_armor[v] = ship_records[v].armor;
    }
}
