// Peers of our own making against a korvane-headless host: one that
// computes another game, one that sends bytes no game would, and strangers
// who never become players.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>

#include "engine/net.h"
#include "online/protocol.h"
#include "strangers.h"
#include "support/headless_run.h"

namespace {

struct HostRun {
    int status = -1;
    std::string out, err;
};

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Starts a host that plays 300 frames; the result once it has exited.
std::future<HostRun> start_host(int port) {
    static const std::string dir = make_temp_dir();
    std::string base = dir + "/host" + std::to_string(port);
    std::ofstream(base + ".txt") << "frames 300\ndump\n";
    std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
                          std::string(KORVANE_BINARY_DIR) + "/korvane-headless --host " +
                          std::to_string(port) + " --script " + base + ".txt > " + base +
                          ".out 2> " + base + ".err";
    return std::async(std::launch::async, [command, base] {
        HostRun r;
        int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = read_file(base + ".out");
        r.err = read_file(base + ".err");
        return r;
    });
}

// A link connected to the host at port (which may still be starting), or
// nullptr; host names the host on it.
std::unique_ptr<NetLink> connect_to(int port, NetPeer& host) {
    static uint8_t in[MAX_MESSAGE];
    size_t size = 0;
    std::string error;
    for (int attempt = 0; attempt < 40; ++attempt) {
        std::unique_ptr<NetLink> link(net_connect("127.0.0.1", port, NetConditions(), error));
        if (!link) return nullptr;
        NetEvent e = NET_NONE;
        for (int i = 0; i < 50 && e == NET_NONE; ++i)
            e = link->service(20, in, sizeof in, size, host);
        if (e == NET_CONNECTED) return link;
    }
    return nullptr;
}

// Connects and greets; then `talk` sends what it likes. Returns the host's
// goodbye (reason, frame), or (-1, 0) when none came within 20 s.
template <class Talk>
std::pair<int, uint32_t> as_peer(int port, Talk talk) {
    static uint8_t in[MAX_MESSAGE];
    Message m;
    size_t size = 0;
    NetPeer from = 0, host = 0;
    std::unique_ptr<NetLink> link = connect_to(port, host);
    if (!link) return {-1, 0};
    uint8_t out[64];
    link->send(host, out, write_hello(1, out, sizeof out), true);
    bool welcomed = false;
    for (int i = 0; i < 1000; ++i) {
        NetEvent e = link->service(20, in, sizeof in, size, from);
        if (e == NET_RECEIVED && read_message(in, size, m) && m.type == MSG_WELCOME) {
            welcomed = true;
            break;
        }
        if (e == NET_DISCONNECTED) break;
    }
    if (!welcomed) return {-1, 0};
    for (int i = 0; i < 1000; ++i) {
        talk(*link, host);
        NetEvent e = link->service(20, in, sizeof in, size, from);
        if (e == NET_RECEIVED && read_message(in, size, m) && m.type == MSG_BYE)
            return {m.reason, m.frame};
        if (e == NET_DISCONNECTED) break;
    }
    return {-1, 0};
}

} // namespace

TEST(HostilePeer, AnotherGameAndUnreadableBytesEndTheSessionWithTheirReason) {
    int port = 30000 + static_cast<int>(getpid() % 20000);

    // Idle keys, but a checksum for frame 5 that no game has.
    std::future<HostRun> host = start_host(port);
    auto bye = as_peer(port, [](NetLink& link, NetPeer to) {
        InputMessage m;
        m.ack = 2;
        m.frame = 40;
        m.first = 3;
        m.count = 40;
        m.sum_frame = 5;
        m.sum = 0x0BADC0DE;
        static const uint8_t none[32] = {};
        uint8_t out[1024];
        link.send(to, out, write_input(m, none, out, sizeof out), false);
    });
    HostRun r = host.get();
    EXPECT_EQ(bye.first, BYE_DESYNC);
    EXPECT_EQ(bye.second, 5u);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("DESYNC AT FRAME 5"), std::string::npos) << r.err;

    host = start_host(port + 1);
    bye = as_peer(port + 1, [](NetLink& link, NetPeer to) {
        const uint8_t garbage[] = {MSG_INPUT, 1, 2, 3};
        link.send(to, garbage, sizeof garbage, false);
    });
    r = host.get();
    EXPECT_EQ(bye.first, BYE_BAD_DATA);
    // Unreadable keys before any that were sound: the session never began.
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("CANNOT READ"), std::string::npos) << r.err;
}

TEST(HostilePeer, StrangersWhoNeverGreetOrSpeakAnotherVersionDoNotKeepAPlayerOut) {
    int port = 30000 + static_cast<int>(getpid() % 20000) + 2;
    std::future<HostRun> host = start_host(port);
    static uint8_t in[MAX_MESSAGE];
    size_t size = 0;
    NetPeer from = 0;

    // Another version hears so, and the game stays offered.
    NetPeer to = 0;
    std::unique_ptr<NetLink> other = connect_to(port, to);
    ASSERT_TRUE(other);
    const uint8_t hello[] = {MSG_HELLO, PROTOCOL_VERSION + 1};
    int reason = -1;
    for (int i = 0; i < 500 && reason < 0; ++i) {
        if (i % 10 == 0) other->send(to, hello, sizeof hello, false);
        Message m;
        if (other->service(20, in, sizeof in, size, from) == NET_RECEIVED &&
            read_message(in, size, m) && m.type == MSG_BYE)
            reason = m.reason;
    }
    EXPECT_EQ(reason, BYE_VERSION);

    // One who connects and says nothing, and bare connect requests, more
    // than the host has places for, that never go on.
    NetPeer silent_host = 0;
    std::unique_ptr<NetLink> silent = connect_to(port, silent_host);
    ASSERT_TRUE(silent);
    std::vector<std::vector<uint8_t>> knocks;
    for (uint32_t i = 0; i < 12; ++i) knocks.push_back(raw_connect_request(1000 + i));
    ASSERT_TRUE(send_datagrams(port, knocks));

    // The player gets in and plays the host's script through.
    std::future<HeadlessResult> joiner = std::async(std::launch::async, [port] {
        return run_headless_script("frames 300\ndump\n",
                                   "--join 127.0.0.1:" + std::to_string(port));
    });
    bool let_go = false;
    for (int i = 0; i < 1000 && !let_go; ++i)
        let_go = silent->service(20, in, sizeof in, size, from) == NET_DISCONNECTED;
    HeadlessResult j = joiner.get();
    HostRun h = host.get();
    EXPECT_TRUE(let_go);
    EXPECT_EQ(j.status, 0) << j.err;
    EXPECT_EQ(h.status, 0) << h.err;
    ASSERT_EQ(j.dumps.size(), 1u) << j.err;
    EXPECT_EQ(h.out, j.out);
}
