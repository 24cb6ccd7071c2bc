// Two korvane-headless sides over 127.0.0.1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <thread>
#include <random>
#include <sstream>
#include <string>
#include <utility>

#include "strangers.h"
#include "support/headless_run.h"

namespace {

struct Side {
    int status = -1;
    std::vector<std::string> dumps;
    std::string err, recording;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

std::vector<std::string> dump_lines(const std::string& out) {
    std::vector<std::string> dumps;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line))
        if (!line.empty() && line[0] == '{') dumps.push_back(line);
    return dumps;
}

// Runs host and joiner at once; both record. alongside, when given, runs
// meanwhile with the host's port.
void run_pair(const std::string& host_script, const std::string& join_script,
              const std::string& args, Side& host, Side& join,
              std::function<void(int)> alongside = nullptr) {
    static const std::string dir = make_temp_dir();
    static int counter = 0;
    std::string base = dir + "/pair" + std::to_string(counter++);
    std::ofstream(base + ".host") << host_script;
    std::ofstream(base + ".join") << join_script;
    int port = 20000 + static_cast<int>(getpid() % 20000) + counter * 7;
    std::string program = std::string(KORVANE_BINARY_DIR) + "/korvane-headless";
    std::string command =
        "export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy; cd " + dir + "; (" + program +
        " --host " + std::to_string(port) + " --script " + base + ".host --record " + base +
        ".host.rec --seed 31337 --net-seed 1 " + args + " > " + base + ".host.out 2> " + base +
        ".host.err; echo $? > " + base + ".host.status) & " + program + " --join 127.0.0.1:" +
        std::to_string(port) + " --script " + base + ".join --record " + base + ".join.rec --net-seed 2 " +
        args + " > " + base + ".join.out 2> " + base + ".join.err; echo $? > " + base +
        ".join.status; wait";
    std::thread beside;
    if (alongside) beside = std::thread(alongside, port);
    if (std::system(command.c_str()) == -1) ADD_FAILURE() << "cannot run " << command;
    if (beside.joinable()) beside.join();
    for (Side* s : {&host, &join}) {
        std::string name = base + (s == &host ? ".host" : ".join");
        s->status = std::atoi(read_file(name + ".status").c_str());
        s->dumps = dump_lines(read_file(name + ".out"));
        s->err = read_file(name + ".err");
        s->recording = read_file(name + ".rec");
    }
}

// The state a recording ends on, replayed offline.
std::string replay_end(const std::string& recording) {
    HeadlessResult r = run_headless_script(recording);
    std::vector<std::string> dumps = dump_lines(r.out);
    return dumps.empty() ? "" : dumps.back();
}

// From the menu through the shop into play, then one side's keys at random,
// with a dump every 250 frames.
std::string random_keys(unsigned seed, const std::vector<std::string>& keys, long frames) {
    std::mt19937 rng(seed);
    std::string s = "frames 3\ntap ENTER\nframes 5\ntap ENTER\n";
    long f = 8, next = f + 1 + rng() % 20;
    std::vector<bool> held(keys.size());
    while (f < frames) {
        long step = std::min({next, (f / 250 + 1) * 250, frames}) - f;
        s += "frames " + std::to_string(step) + "\n";
        f += step;
        if (f % 250 == 0) s += "dump\n";
        if (f == next) {
            size_t k = rng() % keys.size();
            s += (held[k] ? "release " : "press ") + keys[k] + "\n";
            held[k] = !held[k];
            next = f + 1 + rng() % 20;
        }
    }
    return s + "dump\n";
}

} // namespace

TEST(Loopback, BadWeatherGivesBothSidesTheSameGameAndARecordingThatReplays) {
    Side host, join;
    run_pair(random_keys(1, {"LEFT", "RIGHT", "UP", "DOWN", "CTRL"}, 3000),
             random_keys(2, {"A", "D", "W", "S", "SHIFT", "LEFT", "CTRL"}, 3000),
             "--net-delay 60 --net-jitter 20 --net-loss 5", host, join);
    EXPECT_EQ(host.status, 0) << host.err;
    EXPECT_EQ(join.status, 0) << join.err;
    ASSERT_EQ(host.dumps.size(), 13u) << host.err;
    EXPECT_EQ(host.dumps, join.dumps);
    EXPECT_EQ(host.dumps.back().rfind("{\"frame\":3002,", 0), 0u);
    EXPECT_NE(host.dumps.back().find("\"game_mode\":1,"), std::string::npos);
    EXPECT_EQ(replay_end(host.recording), host.dumps.back());
}

TEST(Loopback, WhenOneSideLeavesMidLevelTheOtherGoesBackToTheMenu) {
    const std::string play = "frames 3\ntap ENTER\nframes 5\ntap ENTER\npress UP\nframes 150\n";
    for (bool host_leaves : {false, true}) {
        SCOPED_TRACE(host_leaves ? "the host leaves" : "the joiner leaves");
        std::string leaver = play + "dump\n";
        std::string stayer = play + "dump\nframes 200\ndump\n";
        Side host, join;
        run_pair(host_leaves ? leaver : stayer, host_leaves ? stayer : leaver, "", host, join);
        Side& left = host_leaves ? host : join;
        Side& stays = host_leaves ? join : host;
        EXPECT_EQ(left.status, 0) << left.err;
        EXPECT_EQ(stays.status, 3) << stays.err;
        EXPECT_NE(stays.err.find("THE OTHER PLAYER LEFT"), std::string::npos) << stays.err;
        ASSERT_EQ(stays.dumps.size(), 2u);
        EXPECT_EQ(stays.dumps[0], left.dumps[0]);
        EXPECT_NE(stays.dumps[1].find("\"game_state\":1"), std::string::npos);
        // The recording keeps the session up to its last sure frame.
        std::string recorded = replay_end(stays.recording);
        EXPECT_NE(recorded.find("\"game_state\":2"), std::string::npos);
        EXPECT_NE(stays.recording.find("# final " + recorded), std::string::npos);
    }
}

// Flight of the host's own, enough that its greeting goes in several pieces.
std::string host_flight() {
    std::string s;
    const std::pair<const char*, float> rows[] = {
        {"speed_vert_max_", 300}, {"speed_vert_min_", -70},     {"forward_speedup_", 560},
        {"backward_speedup_", 560}, {"rotate_speedup_", 22},    {"forward_speeddown_", 460},
        {"backward_speeddown_", -205}, {"rotate_speeddown_", 8}, {"rotate_right_max_", 1.9f}};
    for (const auto& row : rows)
        for (int i = 0; i < 6; ++i)
            s += "setting Control." + std::string(row.first) + std::to_string(i) + " " +
                 std::to_string(row.second * (1.0f + 0.05f * static_cast<float>(i))) + "\n";
    return s;
}

TEST(Loopback, FortyPercentLossOnEveryDatagramAndAJunkFloodStillGiveBothSidesTheSameGame) {
    Side host, join;
    long junk = 0;
    run_pair(host_flight() + random_keys(3, {"LEFT", "RIGHT", "UP", "DOWN", "CTRL"}, 1200),
             random_keys(4, {"A", "D", "W", "S", "SHIFT"}, 1200), "--net-loss 40 --realtime", host,
             join, [&junk](int port) { junk = flood_junk(port, 10, 5000, 77); });
    EXPECT_GT(junk, 10000);
    EXPECT_EQ(host.status, 0) << host.err;
    EXPECT_EQ(join.status, 0) << join.err;
    ASSERT_EQ(host.dumps.size(), 5u) << host.err;
    EXPECT_EQ(host.dumps, join.dumps);
    EXPECT_EQ(host.dumps.back().rfind("{\"frame\":1202,", 0), 0u) << host.dumps.back();
    EXPECT_EQ(replay_end(join.recording), join.dumps.back());
}

TEST(Loopback, ACompetitionMatchAcrossTwoMachinesEndsWithTheSameWinnerOnBoth) {
    // Where enemies are strong the match is soon decided, by them or by a rival.
    const std::string host =
        "setting Game.start_level 45\nsetting Game.start_level_iteration 8\n"
        "frames 3\ntap SPACE\nframes 3\ntap ENTER\nframes 5\ntap ENTER\nframes 10\ndump\n"
        "press CTRL\npress LEFT\nframes 1200\ndump\n";
    const std::string join = "frames 21\ndump\npress SHIFT\npress D\nframes 1200\ndump\n";
    Side h, j;
    run_pair(host, join, "--net-delay 30 --net-loss 5", h, j);
    EXPECT_EQ(h.status, 0) << h.err;
    EXPECT_EQ(j.status, 0) << j.err;
    ASSERT_EQ(h.dumps.size(), 2u) << h.err;
    EXPECT_EQ(h.dumps, j.dumps);
    EXPECT_NE(h.dumps[0].find("\"game_state\":2,\"game_mode\":2,"), std::string::npos) << h.dumps[0];
    // Both machines saw the match end, and name the same winner.
    size_t at = h.dumps[1].find("\"winner\":");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NE(h.dumps[1].compare(at, 12, "\"winner\":-1,"), 0) << h.dumps[1].substr(0, 200);
    EXPECT_EQ(replay_end(j.recording), j.dumps.back());
}
