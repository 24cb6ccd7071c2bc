// Recordings: what the game saw, written so that korvane-headless replays it
// to the very same state.
#include <SDL.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "engine/engine.h"
#include "game/states.h"
#include "harness/dump.h"
#include "harness/recording.h"
#include "harness/script.h"
#include "main/app.h"
#include "main/program.h"
#include "main/resources.h"
#include "options/options.h"
#include "render/resources.h"
#include "support/headless_run.h"

extern char** environ;

namespace {

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The "# final" line of a recording: the state the live game ended in.
std::string final_state(const std::string& recording) {
    std::istringstream lines(recording);
    std::string line, found;
    while (std::getline(lines, line))
        if (line.compare(0, 8, "# final ") == 0) found = line.substr(8);
    return found;
}

// Runs body in a child process, so the game's globals of this one stay
// untouched; its exit status.
int in_child(const std::function<int()>& body) {
    std::fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) _exit(body());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST(ScriptKeyNameTest, EveryKeyCodeReadsBackAsItself) {
    for (int key = 1; key < 256; ++key) {
        std::string name = script_key_name(key);
        EXPECT_EQ(parse_key(name), key) << name;
    }
    EXPECT_EQ(script_key_name(0), "");
    EXPECT_EQ(script_key_name(256), "");
}

TEST(RecordingScriptTest, SeedLinesAndFrameTimesTheRunnerCanHoldFixed) {
    std::vector<ScriptCommand> c;
    std::string error;
    ASSERT_TRUE(parse_script("# seed 77\nseed 77\ndt 4.0537001e-05\nframes 1\n", c, error))
        << error;
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[0].op, OP_SEED);
    EXPECT_EQ(c[0].seed, 77);
    EXPECT_EQ(c[1].dt, 4.0537001e-05f);
    for (const char* bad : {"frames 1\nseed 5\n", "seed\n", "seed x\n", "seed 3000000000\n",
                            "dt 0\n", "dt 0.0\n", "dt 1e30\n", "dt 1e-50\n"}) {
        c.clear();
        EXPECT_FALSE(parse_script(bad, c, error)) << bad;
    }
}

TEST(RecordingScriptTest, ASeedLineSeedsLikeTheOptionAndTheOptionWins) {
    const std::string play =
        "tap SPACE\nframes 3\ntap ENTER\nframes 3\ntap ENTER\nframes 90\ndump\n";
    HeadlessResult by_line = run_headless_script("seed 4242\n" + play);
    HeadlessResult by_option = run_headless_script(play, "--seed 4242");
    HeadlessResult overridden = run_headless_script("seed 1\n" + play, "--seed 4242");
    HeadlessResult other = run_headless_script("seed 4243\n" + play);
    ASSERT_EQ(by_line.status, 0) << by_line.err;
    ASSERT_EQ(by_line.dumps.size(), 1u);
    EXPECT_EQ(by_line.out, by_option.out);
    EXPECT_EQ(by_line.out, overridden.out);
    EXPECT_NE(by_line.out, other.out); // the seed does reach the game
}

// What a frame showed of the keyboard.
struct Frame {
    KeyEdges keys[256];
    int last = 0;
    bool operator==(const Frame& o) const {
        if (last != o.last) return false;
        for (int k = 1; k < 256; ++k)
            if (keys[k].down != o.keys[k].down || keys[k].up != o.keys[k].up ||
                keys[k].held != o.keys[k].held)
                return false;
        return true;
    }
};

Engine* g_engine = nullptr;
std::vector<Frame>* g_seen = nullptr;

bool note_frame() {
    Frame f;
    for (int k = 1; k < 256; ++k)
        f.keys[k] = {g_engine->Input_KeyDown(k), g_engine->Input_KeyUp(k),
                     g_engine->Input_GetKeyState(k)};
    f.last = g_engine->Input_GetKey();
    g_seen->push_back(f);
    return false;
}

Engine* start_plain_engine(std::vector<Frame>* seen) {
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    e->System_SetState(HGE_HEADLESS, true);
    e->System_SetState(HGE_FRAMEFUNC, note_frame);
    if (!e->System_Initiate()) return nullptr;
    e->Timer_SetFixedDelta(0.01f);
    g_engine = e;
    g_seen = seen;
    return e;
}

void stop_plain_engine(Engine* e) {
    e->System_Shutdown();
    e->Release();
    engine_set_backend(nullptr);
}

TEST(KeyChangesTest, InjectedChangesGiveTheFramesTheLiveKeyboardGave) {
    // Keys that share codes (both Shifts, both Enters) and several changes of
    // one key in a frame are the hard cases.
    const SDL_Scancode codes[] = {
        SDL_SCANCODE_LSHIFT,   SDL_SCANCODE_RSHIFT, SDL_SCANCODE_RETURN,
        SDL_SCANCODE_KP_ENTER, SDL_SCANCODE_LEFT,   SDL_SCANCODE_A,
        SDL_SCANCODE_F1,       SDL_SCANCODE_1,      SDL_SCANCODE_BACKSPACE};
    std::vector<Frame> live, replayed;
    std::vector<std::vector<std::pair<int, bool>>> changes;
    Engine* e = start_plain_engine(&live);
    ASSERT_NE(e, nullptr);
    uint32_t rng = 12345;
    auto next = [&rng](uint32_t n) {
        rng = rng * 1664525u + 1013904223u;
        return (rng >> 8) % n;
    };
    bool held[256] = {};
    for (int frame = 0; frame < 400; ++frame) {
        int events = static_cast<int>(next(5));
        for (int i = 0; i < events; ++i) {
            SDL_Event ev{};
            bool down = next(2) == 0;
            ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
            ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
            ev.key.keysym.scancode = codes[next(sizeof codes / sizeof codes[0])];
            SDL_PushEvent(&ev);
        }
        e->System_RunFrames(1);
        changes.push_back(key_changes(held, live.back().keys, live.back().last));
    }
    stop_plain_engine(e);
    e = start_plain_engine(&replayed);
    ASSERT_NE(e, nullptr);
    for (const auto& frame : changes) {
        for (const auto& c : frame) e->Input_Inject(c.first, c.second);
        e->System_RunFrames(1);
    }
    stop_plain_engine(e);
    ASSERT_EQ(replayed.size(), live.size());
    int busy = 0;
    for (size_t i = 0; i < live.size(); ++i) {
        EXPECT_TRUE(live[i] == replayed[i]) << "frame " << i;
        busy += live[i].last != 0;
    }
    EXPECT_GT(busy, 50); // the random keyboard did press keys
}

TEST(RecorderTest, AFileThatCannotBeWrittenIsReportedNotHidden) {
    Recorder r;
    std::string error;
    EXPECT_FALSE(r.open("/nonexistent/folder/rec.txt", 1, error));
    EXPECT_NE(error.find("cannot write /nonexistent/folder/rec.txt"), std::string::npos) << error;
    // A disk that fills up mid-session: the end cannot be kept, and finish
    // says so rather than report success. (A file size limit stands in for it.)
    std::string path = make_temp_dir() + "/rec.txt";
    int status = in_child([&] {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        Recorder r;
        std::string why;
        if (!r.open(path, 1, why)) return 1;
        if (r.finish(std::string(10000, 'x'), why)) return 2;
        return why.find("is incomplete") != std::string::npos ? 0 : 3;
    });
    EXPECT_EQ(status, 0);
}

// Plays the game headless with the real clock for frame times and a made-up
// player, recording; ends by quitting from the menu.
int record_a_session(const std::string& path) {
    engine_set_backend(create_sdl_engine);
    Recorder recorder;
    std::string error;
    if (!recorder.open(path, 31337, error)) return 10;
    configure_engine();
    engine->System_SetState(HGE_HEADLESS, true);
    engine->System_SetState(HGE_SEED, 31337);
    // The data korvane-headless reads, beside it.
    engine->System_SetState(HGE_DATADIR, KORVANE_BINARY_DIR "/data");
    record_frames_with(&recorder);
    if (!start_game()) return 11;
    engine->Timer_SetFixedDelta(0); // the real clock, as a window has it
    auto frames = [](int n) {
        for (int i = 0; i < n; ++i) {
            if (engine->System_RunFrames(1)) return true;
            std::this_thread::sleep_for(std::chrono::microseconds(1500));
        }
        return false;
    };
    auto tap = [&](int key) {
        engine->Input_Inject(key, true);
        frames(1);
        engine->Input_Inject(key, false);
        frames(1);
    };
    tap(HGEK_SPACE);
    frames(5);
    tap(HGEK_ENTER);
    frames(5);
    tap(HGEK_ENTER);
    for (int i = 0; i < 500; ++i) {
        engine->Input_Inject(HGEK_UP, (i / 40) % 2 == 0);
        engine->Input_Inject(HGEK_RIGHT, (i / 25) % 3 == 0);
        engine->Input_Inject(HGEK_CTRL, i % 2 == 0);
        engine->Input_Inject(HGEK_SHIFT, i % 7 == 0);
        frames(1);
    }
    engine->Input_Inject(HGEK_UP, false);
    engine->Input_Inject(HGEK_RIGHT, false);
    engine->Input_Inject(HGEK_CTRL, false);
    tap(HGEK_ESCAPE); // to the menu
    frames(30);
    tap(HGEK_ESCAPE); // the menu asks
    engine->Input_Inject(HGEK_ESCAPE, true); // and out of the game
    bool ended = frames(3);
    std::string state = dump_state(app.world, recorder.frames());
    record_frames_with(nullptr);
    shutdown_program();
    if (!recorder.finish(state, error)) return 12;
    return ended ? 0 : 13;
}

TEST(RecorderTest, AHeadlessReplayEndsInTheLiveGamesStateByteForByte) {
    std::string path = make_temp_dir() + "/session.txt";
    ASSERT_EQ(in_child([&] { return record_a_session(path); }), 0);
    std::string recording = read_all(path);
    EXPECT_EQ(recording.compare(0, 14, "# seed 31337\n#"), 0) << recording.substr(0, 40);
    EXPECT_NE(recording.find("\nseed 31337\n"), std::string::npos);
    EXPECT_NE(recording.find("press 17\n"), std::string::npos);
    std::string live = final_state(recording);
    ASSERT_FALSE(live.empty());
    Json j;
    ASSERT_TRUE(parse_json(live, j));
    EXPECT_EQ(j["game_state"].as_int(), STATE_MENU); // the quitting frame is left out
    EXPECT_GT(j["frame"].as_int(), 500);
    std::ifstream in(path);
    std::ostringstream script;
    script << in.rdbuf();
    HeadlessResult replay = run_headless_script(script.str());
    ASSERT_EQ(replay.status, 0) << replay.err;
    std::string out = replay.out;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    EXPECT_EQ(out, live);
}

// An AZERTY keyboard: each key sends its place (scancode) and its label
// (keycode), which differ for A, Z, Q, W and M.
struct AzertyKey {
    SDL_Scancode place;
    SDL_Keycode label;
};

AzertyKey azerty(char letter) {
    switch (letter) {
    case 'A': return {SDL_SCANCODE_Q, SDLK_a};
    case 'Q': return {SDL_SCANCODE_A, SDLK_q};
    case 'Z': return {SDL_SCANCODE_W, SDLK_z};
    case 'W': return {SDL_SCANCODE_Z, SDLK_w};
    case 'M': return {SDL_SCANCODE_SEMICOLON, SDLK_m};
    default:
        return {static_cast<SDL_Scancode>(SDL_SCANCODE_A + (letter - 'A')),
                static_cast<SDL_Keycode>(SDLK_a + (letter - 'A'))};
    }
}

void push(AzertyKey key, bool down) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.keysym.scancode = key.place;
    ev.key.keysym.sym = key.label;
    SDL_PushEvent(&ev);
}

// A player on an AZERTY keyboard types a password in the menu, buys in the
// shop and flies both ships of a TEAMWORK level, recorded; ends by quitting.
int record_on_azerty(const std::string& path) {
    engine_set_backend(create_sdl_engine);
    Recorder recorder;
    std::string error;
    if (!recorder.open(path, 4242, error)) return 10;
    configure_engine();
    engine->System_SetState(HGE_HEADLESS, true);
    engine->System_SetState(HGE_SEED, 4242);
    engine->System_SetState(HGE_DATADIR, KORVANE_BINARY_DIR "/data");
    record_frames_with(&recorder);
    if (!start_game()) return 11;
    engine->Timer_SetFixedDelta(1.0f / 60.0f);
    auto tap = [](AzertyKey key) {
        push(key, true);
        engine->System_RunFrames(1);
        push(key, false);
        engine->System_RunFrames(1);
    };
    const AzertyKey space = {SDL_SCANCODE_SPACE, SDLK_SPACE};
    tap(space); // the title
    engine->System_RunFrames(5);
    // Level 3 of the second pass, 648 credits, three ships, TEAMWORK: its M,
    // Q and Z lie elsewhere than on a US keyboard.
    for (char c : std::string("HMTTMTQZE")) tap(azerty(c));
    const World& w = app.world;
    if (w.iteration != 1 || w.level_index != 3 || w.money != 648) return 20;
    if (w.settings.start_enemy != 7) return 21;
    tap({SDL_SCANCODE_RETURN, SDLK_RETURN}); // to the shop
    tap({SDL_SCANCODE_F2, SDLK_F2});         // flexibility 2 -> 3 for 120
    if (w.money != 528) return 22;
    tap(space); // the level
    // Player 1 thrusts with the key at W's place, labelled Z here; player 0
    // turns and thrusts with the arrows.
    push(azerty('Z'), true);
    push({SDL_SCANCODE_UP, SDLK_UP}, true);
    push({SDL_SCANCODE_LEFT, SDLK_LEFT}, true);
    engine->System_RunFrames(40);
    push(azerty('Z'), false);
    push({SDL_SCANCODE_UP, SDLK_UP}, false);
    push({SDL_SCANCODE_LEFT, SDLK_LEFT}, false);
    engine->System_RunFrames(2);
    if (w.ship_records[1].speed <= 0 || w.ship_records[0].speed <= 0 ||
        w.ship_records[0].angle == 0)
        return 23;
    tap({SDL_SCANCODE_ESCAPE, SDLK_ESCAPE}); // to the menu
    engine->System_RunFrames(10);
    tap({SDL_SCANCODE_ESCAPE, SDLK_ESCAPE}); // the menu asks
    push({SDL_SCANCODE_ESCAPE, SDLK_ESCAPE}, true); // and out of the game
    bool ended = engine->System_RunFrames(3);
    std::string state = dump_state(app.world, recorder.frames());
    record_frames_with(nullptr);
    shutdown_program();
    if (!recorder.finish(state, error)) return 12;
    return ended ? 0 : 13;
}

TEST(KeyboardLayoutTest, LettersFollowTheLabelsFlightThePlacesAndTheRecordingReplaysAnywhere) {
    std::string path = make_temp_dir() + "/azerty.txt";
    ASSERT_EQ(in_child([&] { return record_on_azerty(path); }), 0);
    std::string recording = read_all(path);
    // The letters the layout typed, by the keys' places.
    EXPECT_NE(recording.find("press 186 M\n"), std::string::npos);
    EXPECT_NE(recording.find("press A Q\n"), std::string::npos);
    EXPECT_NE(recording.find("press W Z\n"), std::string::npos);
    std::string live = final_state(recording);
    Json j;
    ASSERT_TRUE(parse_json(live, j));
    EXPECT_EQ(j["game_state"].as_int(), STATE_MENU);
    EXPECT_EQ(j["game_mode"].as_int(), 1);
    EXPECT_EQ(j["iteration"].as_int(), 1);
    EXPECT_EQ(j["money"].as_int(), 528);
    // The replay, as a US keyboard would send it, reaches the same state.
    HeadlessResult replay = run_headless_script(recording);
    ASSERT_EQ(replay.status, 0) << replay.err;
    std::string out = replay.out;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    EXPECT_EQ(out, live);
}

TEST(RecorderTest, RemappedKeysTravelWithTheRecording) {
    // The recorder writes the players' keys as option lines...
    std::string path = make_temp_dir() + "/keys.txt";
    player_options o;
    o.keys[0][ROLE_UP] = 'I';
    Recorder r;
    std::string why;
    ASSERT_TRUE(r.open(path, 5, why)) << why;
    r.write_key_bindings(o);
    ASSERT_TRUE(r.finish("{}", why)) << why;
    std::string recording = read_all(path);
    EXPECT_NE(recording.find("\noption player0.up 73\n"), std::string::npos) << recording;
    EXPECT_NE(recording.find("\noption player1.fire 0\n"), std::string::npos);

    // ...and a replay obeys them, whatever keys the one replaying it has.
    std::string fly = "seed 5\ntap SPACE\nframes 2\ntap ENTER\nframes 2\ntap ENTER\nframes 2\n"
                      "press I\nframes 30\ndump\n";
    HeadlessResult remapped = run_headless_script("option player0.up 73\n" + fly);
    HeadlessResult plain = run_headless_script(fly);
    ASSERT_EQ(remapped.dumps.size(), 1u) << remapped.err;
    ASSERT_EQ(plain.dumps.size(), 1u) << plain.err;
    EXPECT_EQ(remapped.dumps[0]["ships"][0]["key_up"].as_int(), 'I');
    EXPECT_GT(remapped.dumps[0]["ships"][0]["speed"].as_float(), 0.0f);
    EXPECT_EQ(plain.dumps[0]["ships"][0]["speed"].as_float(), 0.0f);
    // A bad option line is refused like any malformed line.
    EXPECT_EQ(run_headless_script("option player0.up 27\n" + fly).status, 2);
}

TEST(RecorderTest, TheSettingsPlayedWithTravelWithTheRecording) {
    std::string path = make_temp_dir() + "/settings.txt";
    Settings played = default_settings();
    played.start_money = 4321;
    played.map_max[0] = 1234.5f;
    Recorder r;
    std::string why;
    ASSERT_TRUE(r.open(path, 5, why)) << why;
    r.write_settings(played);
    ASSERT_TRUE(r.finish("{}", why)) << why;
    std::string recording = read_all(path);
    EXPECT_NE(recording.find("\nsetting Game.start_money 4321\n"), std::string::npos);
    // Replayed over the shipped settings file, the recording's values win.
    HeadlessResult replay = run_headless_script(recording + "tap SPACE\nframes 2\ndump\n");
    ASSERT_EQ(replay.dumps.size(), 2u) << replay.err;
    EXPECT_EQ(replay.dumps[1]["money"].as_int(), 4321);
    EXPECT_FLOAT_EQ(replay.dumps[1]["settings"]["map_max[0]"].as_float(), 1234.5f);
    // A setting after the first frame could no longer act: refused.
    EXPECT_EQ(run_headless_script("frames 1\nsetting Game.start_money 5\n").status, 2);
}

// Starts a program on SDL's dummy drivers; its pid.
pid_t spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

int wait_for(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(WindowedRecordingTest, TheWindowedGameRecordsAndBothReplaysReachItsState) {
    std::string dir = make_temp_dir();
    std::string path = dir + "/window.txt";
    pid_t pid = spawn({std::string(KORVANE_BINARY_DIR) + "/korvane", "--record", path});
    ASSERT_GT(pid, 0);
    // Some frames in, the window is closed the way a desktop asks it to
    // (SDL turns the signal into a quit event).
    auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (read_all(path).size() < 4000 && std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    kill(pid, SIGTERM);
    ASSERT_EQ(wait_for(pid), 0);
    std::string recording = read_all(path);
    std::string live = final_state(recording);
    ASSERT_FALSE(live.empty()) << recording.substr(recording.size() > 300 ? recording.size() - 300
                                                                          : 0);
    HeadlessResult replay = run_headless_script(recording);
    ASSERT_EQ(replay.status, 0) << replay.err;
    std::string out = replay.out;
    while (!out.empty() && out.back() == '\n') out.pop_back();
    EXPECT_EQ(out, live);
    // The window's own replay prints the same dump at the same point.
    std::string command = std::string("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ") +
                          KORVANE_BINARY_DIR + "/korvane --replay " + path + " > " + dir + "/shown";
    int raw = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw;
    std::string shown = read_all(dir + "/shown");
    while (!shown.empty() && shown.back() == '\n') shown.pop_back();
    EXPECT_EQ(shown, live);
}

} // namespace
