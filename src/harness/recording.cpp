#include "harness/recording.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "harness/script.h"
#include "main/app.h"
#include "render/resources.h"

namespace {

Recorder* active_recorder = nullptr;

bool recording_frame_func() {
    KeyFrame keys;
    read_key_frame(engine, keys);
    float dt = engine->Timer_GetDelta();
    active_recorder->before_frame(keys, dt);
    bool ended = app_frame(app, keys, dt);
    active_recorder->after_frame(ended);
    return ended;
}

void add_key(std::vector<std::pair<int, bool>>& out, int key, bool was, const KeyEdges& e) {
    if (e.down && !e.up) {
        out.push_back({key, true});
    } else if (e.up && !e.down) {
        out.push_back({key, false});
    } else if (e.down && e.up) {
        // Both edges: go round once from where the key was, then end where it is.
        out.push_back({key, !was});
        out.push_back({key, was});
        if (e.held != was) out.push_back({key, e.held});
    }
}

} // namespace

std::string script_key_name(int key) {
    if (key <= 0 || key > 255) return std::string();
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        return std::string(1, static_cast<char>(key));
    // Two digits at least, so a code below 10 is not read as a digit key.
    return key < 10 ? "0" + std::to_string(key) : std::to_string(key);
}

std::vector<std::pair<int, bool>> key_changes(bool held[256], const KeyEdges edges[256],
                                              int last_key) {
    std::vector<std::pair<int, bool>> out;
    for (int key = 1; key < 256; ++key)
        if (key != last_key) add_key(out, key, held[key], edges[key]);
    // The last key pressed goes last, so Input_GetKey names it again.
    if (last_key > 0 && last_key < 256) add_key(out, last_key, held[last_key], edges[last_key]);
    for (int key = 1; key < 256; ++key) held[key] = edges[key].held;
    return out;
}

std::string key_change_lines(const std::vector<std::pair<int, bool>>& changes,
                             const bool typed[26]) {
    bool left[26];
    std::copy(typed, typed + 26, left);
    // A letter key that typed its own letter needs no mark; the replay pairs
    // the other letters with the other presses, which gives the frame the same
    // letters whatever the pairing was.
    std::vector<int> letter(changes.size(), -1);
    for (size_t i = 0; i < changes.size(); ++i) {
        int key = changes[i].first;
        if (changes[i].second && key >= 'A' && key <= 'Z' && left[key - 'A']) {
            left[key - 'A'] = false;
            letter[i] = key;
        }
    }
    std::string out;
    for (size_t i = 0; i < changes.size(); ++i) {
        int key = changes[i].first;
        std::string line = (changes[i].second ? "press " : "release ") + script_key_name(key);
        if (changes[i].second && letter[i] < 0) {
            int l = 0;
            while (l < 26 && !left[l]) ++l;
            if (l < 26) {
                left[l] = false;
                line += std::string(" ") + static_cast<char>('A' + l);
            } else if (key >= 'A' && key <= 'Z') {
                line += " -";
            }
        }
        out += line + "\n";
    }
    return out;
}

Recorder::~Recorder() {
    if (file_) std::fclose(file_);
}

bool Recorder::open(const std::string& path, int seed, std::string& error) {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    path_ = path;
    std::memset(held_, 0, sizeof held_);
    last_dt_ = -1.0f;
    frames_ = 0;
    write_error_ = 0;
    write("# seed " + std::to_string(seed) + "\n");
    write("# a Korvane session: korvane-headless --script FILE replays it\n");
    write("seed " + std::to_string(seed) + "\n");
    if (write_error_) {
        error = "cannot write " + path + ": " + std::strerror(write_error_);
        return false;
    }
    return true;
}

void Recorder::write(const std::string& text) {
    if (!file_ || write_error_) return;
    errno = 0;
    // Flushed at once, so a crash keeps everything played before it.
    if (std::fwrite(text.data(), 1, text.size(), file_) != text.size() || std::fflush(file_) != 0)
        write_error_ = errno ? errno : EIO;
}

void Recorder::write_key_bindings(const player_options& o) {
    static const char* const roles[ROLE_COUNT] = {"left", "right", "up", "down", "fire"};
    for (int p = 0; p < 2; ++p)
        for (int r = 0; r < ROLE_COUNT; ++r)
            write("option player" + std::to_string(p) + "." + roles[r] + " " +
                  std::to_string(o.keys[p][r]) + "\n");
}

namespace {

void add_setting_line(const char* section, const char* key, const void* value, bool is_int,
                      void* user) {
    char line[160];
    if (is_int)
        std::snprintf(line, sizeof line, "setting %s.%s %d\n", section, key,
                      *static_cast<const int32_t*>(value));
    else // exact for a float
        std::snprintf(line, sizeof line, "setting %s.%s %.9g\n", section, key,
                      static_cast<double>(*static_cast<const float*>(value)));
    *static_cast<std::string*>(user) += line;
}

} // namespace

void Recorder::write_settings(const Settings& s) {
    std::string lines;
    visit_settings(s, add_setting_line, &lines);
    write(lines);
}

void Recorder::before_frame(const KeyFrame& keys, float dt) {
    pending_.clear();
    if (dt != last_dt_) {
        char line[48];
        std::snprintf(line, sizeof line, "dt %.9g\n", static_cast<double>(dt)); // exact for a float
        pending_ += line;
        last_dt_ = dt;
    }
    KeyEdges edges[256];
    for (int key = 1; key < 256; ++key)
        edges[key] = {keys.went_down(key), keys.went_up(key), keys.is_held(key)};
    bool typed[26];
    for (int l = 0; l < 26; ++l) typed[l] = keys.typed('A' + l);
    pending_ += key_change_lines(key_changes(held_, edges, keys.last_key), typed);
    pending_ += "frames 1\n";
}

void Recorder::after_frame(bool ended) {
    if (ended) return;
    write(pending_);
    ++frames_;
}

bool Recorder::finish(const std::string& final_state, std::string& error) {
    write("dump\n");
    write("# final " + final_state + "\n");
    if (file_ && std::fclose(file_) != 0 && !write_error_) write_error_ = errno ? errno : EIO;
    file_ = nullptr;
    if (!write_error_) return true;
    error = "the recording " + path_ + " is incomplete: " + std::strerror(write_error_);
    return false;
}

void record_frames_with(Recorder* r) {
    active_recorder = r;
    engine->System_SetState(HGE_FRAMEFUNC, r ? recording_frame_func : frame_func);
}
