#include "online/online_main.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "game/states.h"
#include "harness/dump.h"
#include "harness/recording.h"
#include "harness/replay.h"
#include "harness/script.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "online/net_play.h"
#include "render/resources.h"

namespace {

struct CommandLine {
    OnlineOptions online;
    bool chosen = false;
    std::string script = "-";
    std::string data_dir;
    std::string record;
    bool realtime = false; // headless: frames at 60 a second, as a player would have them
};

bool parse_int(const char* text, long lo, long hi, int& out) {
    if (!text || !*text) return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
    out = static_cast<int>(v);
    return true;
}

// HOST[:PORT]
bool parse_address(const std::string& text, OnlineOptions& o) {
    size_t colon = text.rfind(':');
    o.address = colon == std::string::npos ? text : text.substr(0, colon);
    if (o.address.empty()) return false;
    return colon == std::string::npos || parse_int(text.c_str() + colon + 1, 1, 65535, o.port);
}

// False with error set. Network conditions are for tests and only headless.
bool parse_command_line(int argc, char** argv, bool headless, CommandLine& c, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        bool has_value = value && value[0] != '-';
        if (headless && arg == "--realtime") {
            c.realtime = true;
            continue;
        }
        if (arg == "--host" || arg == "--join") {
            if (c.chosen) {
                error = "--host and --join are one at a time";
                return false;
            }
            c.chosen = true;
            c.online.host = arg == "--host";
            if (c.online.host) {
                if (has_value) {
                    if (!parse_int(value, 1, 65535, c.online.port)) {
                        error = "--host takes a port 1..65535";
                        return false;
                    }
                    ++i;
                } else if (headless) {
                    error = "--host takes a port";
                    return false;
                }
            } else {
                if (!has_value || !parse_address(value, c.online)) {
                    error = "--join takes HOST[:PORT]";
                    return false;
                }
                ++i;
            }
            continue;
        }
        if (!value) {
            error = "missing value after " + arg;
            return false;
        }
        ++i;
        bool ok = true;
        if (arg == "--input-delay") {
            ok = parse_int(value, 0, MAX_INPUT_DELAY, c.online.input_delay);
        } else if (arg == "--record") {
            c.record = value;
        } else if (headless && arg == "--script") {
            c.script = value;
        } else if (headless && arg == "--data") {
            c.data_dir = value;
        } else if (headless && arg == "--seed") {
            ok = parse_int(value, 1, 2147483647L, c.online.seed);
        } else if (headless && arg == "--net-delay") {
            ok = parse_int(value, 0, 5000, c.online.net.delay_ms);
        } else if (headless && arg == "--net-jitter") {
            ok = parse_int(value, 0, 5000, c.online.net.jitter_ms);
        } else if (headless && arg == "--net-loss") {
            ok = parse_int(value, 0, 100, c.online.net.loss_percent);
        } else if (headless && arg == "--net-seed") {
            int seed = 0;
            ok = parse_int(value, 0, 2147483647L, seed);
            c.online.net.seed = static_cast<uint32_t>(seed);
        } else {
            error = "unknown option " + arg;
            return false;
        }
        if (!ok) {
            error = "bad value for " + arg + ": " + value;
            return false;
        }
    }
    if (!c.chosen) {
        error = "--host or --join is needed";
        return false;
    }
    return true;
}

// What the players are told of the session when it begins.
std::string session_words(const OnlinePlay& play) {
    return "ONLINE: ROUND TRIP " + std::to_string(play.round_trip_ms() < 0 ? 0 : play.round_trip_ms()) +
           " MS, INPUT DELAY " + std::to_string(play.input_delay()) + " FRAMES";
}

void note(const char* side, const std::string& text) {
    std::fprintf(stderr, "korvane-headless (%s): %s\n", side, text.c_str());
}

} // namespace

bool wants_online(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--host") == 0 || std::strcmp(argv[i], "--join") == 0) return true;
    return false;
}

namespace {

// One side of a headless session as a script drives it: its keys go to the
// session, a frame runs as far as the input delay lets it, a dump waits
// until the peer's keys have made the state sure.
void set_notice(const std::string& text) {
    std::snprintf(app.hud.notice, sizeof app.hud.notice, "%s", text.c_str());
}

class OnlineTarget final : public ScriptTarget {
  public:
    OnlineTarget(OnlinePlay& play, int input_delay, bool realtime, const char* side)
        : play_(play), input_delay_(input_delay), realtime_(realtime), side_(side),
          due_(clock::now() + std::chrono::milliseconds(play.begin_wait_ms())), began_(due_) {}

    bool online() const { return online_; }
    const KeyFrame& next() const { return next_; }
    // When this side's first frame was due: the joiner holds its start.
    std::chrono::steady_clock::time_point began() const { return began_; }

    void key(int key, bool down, int letter) override {
        apply_key_change(next_, key, down, letter < 0 ? key : letter);
    }
    void frame_time(float) override {} // an online frame is always 1/60 s
    bool frame() override {
        if (!online_) return false;
        if (realtime_) {
            // The wait until the frame is due serves the network, so keys
            // and ENet's acknowledgements come and go on time.
            due_ += std::chrono::microseconds(16667);
            for (auto now = clock::now(); now < due_ && online_; now = clock::now()) {
                long ms = std::chrono::duration_cast<std::chrono::milliseconds>(due_ - now).count();
                if (ms < 1) {
                    std::this_thread::sleep_until(due_);
                    break;
                }
                play_.pump(static_cast<int>(ms));
            }
        } else {
            play_.pump(0);
        }
        // The keys this player remapped reach the other side as the file's.
        KeyFrame keys = next_;
        add_canonical_keys(keys, options_, play_.settings());
        play_.add_local(keys);
        next_ = held_only(next_);
        long target = play_.rollback().local_known() - input_delay_;
        while (play_.frame() < target && online_) {
            if (!play_.step() && !wait_a_little()) online_ = false;
            if (play_.quit_asked()) online_ = false;
        }
        // A side that had to wait a frame or more goes on from now, as a
        // player's would; being a little late is made up in the next wait.
        if (realtime_ && clock::now() > due_ + std::chrono::microseconds(16667))
            due_ = clock::now();
        return online_;
    }
    bool dump(long, std::string& out) override {
        // The peer's last keys may come with its goodbye: what came still counts.
        while (online_ && play_.rollback().remote_known() < play_.frame())
            if (!wait_a_little()) online_ = false;
        if (play_.rollback().remote_known() < play_.frame()) return false;
        play_.settle();
        out = dump_state(app.world, play_.frame());
        return true;
    }
    bool screenshot(const std::string& file) override {
        render_func(); // frames online are run, not drawn: draw the one shown now
        return engine->Gfx_SaveScreenshot(file.c_str());
    }
    // A player's own keys, which the other side sees as the file's; the
    // rest of the options only draw.
    void option(const std::string& name, int value) override { set_option(name, value, options_); }

  private:
    using clock = std::chrono::steady_clock;

    // Waits for the network while the session lasts; false once it has ended.
    bool wait_a_little() {
        play_.pump(1);
        return play_.phase() == PHASE_PLAYING;
    }

    OnlinePlay& play_;
    int input_delay_;
    bool realtime_;
    const char* side_;
    bool online_ = true;
    KeyFrame next_;
    player_options options_;
    clock::time_point due_, began_;
};

} // namespace

int run_online_headless(int argc, char** argv) {
    CommandLine c;
    std::string error, text;
    if (!parse_command_line(argc, argv, true, c, error)) {
        std::fprintf(stderr,
                     "korvane-headless: %s\nusage: korvane-headless (--host PORT | --join HOST:PORT) "
                     "--script FILE [--seed N] [--data DIR] [--record FILE] [--input-delay N]\n"
                     "       [--net-delay MS] [--net-jitter MS] [--net-loss PERCENT] [--net-seed N]"
                     " [--realtime]\n",
                     error.c_str());
        return 2;
    }
    const char* side = c.online.host ? "host" : "join";
    std::vector<ScriptCommand> commands;
    if (!read_script_text(c.script, text)) {
        note(side, "cannot read " + c.script);
        return 2;
    }
    if (!parse_script(text, commands, error)) {
        note(side, c.script + ": " + error);
        return 2;
    }
    configure_engine();
    engine->System_SetState(HGE_HEADLESS, true);
    if (!c.data_dir.empty()) engine->System_SetState(HGE_DATADIR, c.data_dir.c_str());
    if (!start_game(script_settings(commands))) return 1;

    OnlinePlay play;
    c.online.settings = app.world.file_settings;
    if (!play.open(c.online, error)) {
        note(side, error);
        shutdown_program();
        return 1;
    }
    for (int waited = 0; !play.greeted() && play.phase() != PHASE_ENDED && waited < 30000; waited += 20)
        play.pump(20);
    if (!play.greeted()) {
        note(side, play.phase() == PHASE_ENDED ? play.end_message() : "no session within 30 s");
        shutdown_program();
        return 1;
    }
    Recorder recorder;
    bool recording = !c.record.empty();
    if (recording && !recorder.open(c.record, play.seed(), error)) {
        note(side, error);
        play.leave();
        shutdown_program();
        return 1;
    }
    // The host's settings, which both sides play with: the recording replays alone.
    if (recording) recorder.write_settings(play.settings());

    AppRunner runner;
    app.hud.online = true;
    note(side, session_words(play));
    set_notice(session_words(play)); // as a window shows it
    const World aside = app.world; // the game before the session comes back after it
    play.begin(&runner, recording ? &recorder : nullptr);

    long first_frame = play.frame();
    OnlineTarget target(play, play.input_delay(), c.realtime, side);
    long left_in_command = 0;
    size_t at = run_script(commands, target, nullptr, 0, &left_in_command);
    bool online = target.online();
    // The pace of play: up to the script's last frame, not the wait for the
    // last acknowledgements after it.
    const long script_frames = play.frame() - first_frame;
    const double script_wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - target.began()).count();
    int status = 0;
    if (online) {
        // Stay until the peer has every key of ours and ours are all final.
        for (int waited = 0; waited < 10000 && play.phase() == PHASE_PLAYING; waited += 1) {
            play.settle(); // keys that came while waiting make frames final
            if (play.acked() >= play.rollback().local_known() &&
                play.rollback().final_frame() >= play.frame())
                break;
            play.pump(1);
        }
        play.settle();
    }
    long played = play.rollback().final_frame() - first_frame;
    if (played > 0) {
        double seconds = static_cast<double>(played) / 60.0;
        char line[300];
        std::snprintf(line, sizeof line,
                      "%ld frames; %.0f bytes sent per second of play; %ld rollbacks, "
                      "%.1f frames run again per second of play; input delay %d for a round trip "
                      "of %d ms; %.1f frames a second",
                      played, static_cast<double>(play.bytes_sent()) / seconds,
                      play.rollback().rollbacks(),
                      static_cast<double>(play.rollback().frames_rerun()) / seconds,
                      play.input_delay(), play.round_trip_ms(),
                      script_wall > 0 ? static_cast<double>(script_frames) / script_wall : 0.0);
        note(side, line);
    }
    play.rollback().restore_final();
    // A peer that leaves once this side's script is done ends nothing early.
    bool ended_early = !online && play.phase() == PHASE_ENDED && !play.quit_asked();
    if (ended_early) {
        note(side, play.end_message());
        status = 3;
    }
    play.leave();
    play.linger(1000); // the goodbye, before the program is gone
    app.hud.online = false;
    if (recording) {
        std::string final_state = dump_state(app.world, recorder.frames());
        if (!recorder.finish(final_state, error)) {
            note(side, error);
            status = 1;
        }
    }
    if (ended_early && at < commands.size()) {
        // The game set aside goes on alone from the menu with the rest of the script.
        app.world = aside;
        set_game_state(app.world, ACTION_MENU);
        take_events(app, 0);
        std::snprintf(app.hud.notice, sizeof app.hud.notice, "%s", play.end_message().c_str());
        std::vector<ScriptCommand> rest;
        if (commands[at].op == OP_FRAMES && left_in_command > 0) {
            ScriptCommand more = commands[at];
            more.frames = left_in_command;
            rest.push_back(more);
        }
        rest.insert(rest.end(), commands.begin() + static_cast<long>(at) + 1, commands.end());
        for (int key = 1; key < 256; ++key)
            if (target.next().is_held(key)) engine->Input_Inject(key, true);
        run_script_commands(rest);
    }
    shutdown_program();
    return status;
}

namespace {

// The windowed session: the engine's loop calls window_frame, which plays
// the local game while waiting, then the session at 60 frames a second.
struct WindowSession {
    CommandLine line;
    OnlinePlay play;
    AppRunner runner;
    Recorder recorder;
    bool recording = false;
    bool begun = false;
    bool over = false;  // ended; the game goes on alone
    World aside;        // the game before the session, given back after it
    KeyFrame pending;   // local keys gathered since the last frame added
    double time = 0;    // real time not yet played
    int since_slowed = 0;
};

WindowSession* window = nullptr;

// Gathers another engine frame's keys into pending.
void gather(KeyFrame& pending, const KeyFrame& now) {
    for (int i = 0; i < 32; ++i) {
        pending.down[i] |= now.down[i];
        pending.up[i] |= now.up[i];
        pending.held[i] = now.held[i];
    }
    pending.letters |= now.letters;
    if (now.last_key) pending.last_key = now.last_key;
}

void finish_recording(WindowSession& w) {
    if (!w.recording) return;
    w.recording = false;
    std::string error;
    if (!w.recorder.finish(dump_state(app.world, w.recorder.frames()), error))
        engine->System_MessageBox(error.c_str(), "Error");
}

// The local game again, with a word on what happened; the session's link is
// still serviced, so that its goodbye gets through.
void go_alone(WindowSession& w, const std::string& notice) {
    w.over = true;
    app.hud.online = false;
    engine->System_SetState(HGE_PAUSEUNFOCUSED, app.options.pause_when_unfocused);
    set_notice(notice);
}

// Back to the last sure frame, then the menu with a word on what happened.
// A host offers the game again; the recording keeps the first session.
void end_session(WindowSession& w) {
    if (w.over) return;
    w.play.rollback().restore_final();
    w.play.leave();
    finish_recording(w);
    go_alone(w, w.play.end_message());
    app.world = w.aside;
    set_game_state(app.world, ACTION_MENU);
    take_events(app, 0);
    if (w.play.listen_again()) {
        w.begun = false;
        w.over = false;
        w.line.record.clear();
    }
}

bool window_frame() {
    WindowSession& w = *window;
    if (w.over) {
        w.play.pump(0); // the goodbye finishes while the game goes on alone
        return frame_func();
    }
    if (!w.begun) {
        w.play.pump(0);
        if (w.play.phase() == PHASE_ENDED) {
            go_alone(w, w.play.end_message());
            return frame_func();
        }
        if (!w.play.greeted()) return frame_func(); // the game goes on while waiting
        std::string error;
        if (!w.line.record.empty()) {
            w.recording = w.recorder.open(w.line.record, w.play.seed(), error);
            if (!w.recording) engine->System_MessageBox(error.c_str(), "Error");
            if (w.recording) w.recorder.write_settings(w.play.settings());
        }
        set_notice(session_words(w.play));
        app.hud.options.open = false;
        app.hud.online = true;
        engine->Channel_StopAll();
        w.aside = app.world;
        // A window in the background must not hold up the other machine's game.
        engine->System_SetState(HGE_PAUSEUNFOCUSED, false);
        w.play.begin(&w.runner, w.recording ? &w.recorder : nullptr);
        w.begun = true;
        w.time = -0.001f * static_cast<float>(w.play.begin_wait_ms());
        return false;
    }
    KeyFrame now;
    read_key_frame(engine, now);
    gather(w.pending, now);
    w.play.pump(0);
    w.time += engine->Timer_GetDelta();
    // Never more than a few frames at once after a stall.
    if (w.time > 4 * ONLINE_DT) w.time = 4 * ONLINE_DT;
    while (w.time >= ONLINE_DT && w.play.phase() == PHASE_PLAYING) {
        // Ahead of the peer: a frame left out now and then lets it catch up.
        if (w.play.ahead() > 1.0f && ++w.since_slowed >= 20) {
            w.since_slowed = 0;
            w.time -= ONLINE_DT;
            continue;
        }
        if (!w.play.rollback().can_run()) break; // waiting for the peer's keys
        if (w.play.wants_local()) {
            long last = w.play.rollback().local_known();
            KeyFrame keys = w.pending;
            add_canonical_keys(keys, app.options, w.play.settings());
            make_consistent(keys, w.play.rollback().local_keys(last).held);
            w.play.add_local(keys);
            w.pending = held_only(w.pending);
        }
        if (!w.play.step()) break;
        w.time -= ONLINE_DT;
    }
    if (w.play.quit_asked()) {
        w.play.rollback().restore_final();
        w.play.leave();
        return true;
    }
    if (w.play.phase() == PHASE_ENDED) end_session(w);
    return false;
}

} // namespace

int run_online_window(int argc, char** argv) {
    WindowSession w;
    std::string error;
    if (!parse_command_line(argc, argv, false, w.line, error)) {
        std::fprintf(stderr,
                     "korvane: %s\nusage: korvane --host [PORT] | --join HOST[:PORT] "
                     "[--record FILE] [--input-delay N]\n",
                     error.c_str());
        return 2;
    }
    configure_engine();
    if (!start_game()) return 0;
    // The player's own aids, sound and keys hold online too.
    use_options(app, load_options(engine));
    app.save_options = true;
    w.line.online.settings = app.world.file_settings;
    if (!w.play.open(w.line.online, error)) {
        engine->System_MessageBox(error.c_str(), "Error");
        shutdown_program();
        return 1;
    }
    set_notice(w.line.online.host
                   ? "WAITING FOR A PLAYER ON PORT " + std::to_string(w.line.online.port)
                   : "JOINING " + w.line.online.address + ":" + std::to_string(w.line.online.port));
    window = &w;
    engine->System_SetState(HGE_FRAMEFUNC, window_frame);
    engine->System_Start();
    // The window closed or the player quit: the peer hears of it.
    if (w.begun && !w.over) {
        w.play.rollback().restore_final();
        w.play.leave();
        finish_recording(w);
    }
    w.play.linger(1000);
    window = nullptr;
    shutdown_program();
    return 0;
}
