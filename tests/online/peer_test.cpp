// A peer of our own making against a korvane-headless host: one that
// computes another game, and one that sends bytes no game would.
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
#include "support/headless_run.h"

namespace {

struct HostRun {
    int status = -1;
    std::string err;
};

// Starts a host that plays 300 frames; the result once it has exited.
std::future<HostRun> start_host(int port) {
    static const std::string dir = make_temp_dir();
    std::string base = dir + "/host" + std::to_string(port);
    std::ofstream(base + ".txt") << "frames 300\ndump\n";
    std::string command = "SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " +
                          std::string(KORVANE_BINARY_DIR) + "/korvane-headless --host " +
                          std::to_string(port) + " --script " + base + ".txt > /dev/null 2> " +
                          base + ".err";
    return std::async(std::launch::async, [command, base] {
        HostRun r;
        int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        std::ifstream in(base + ".err");
        std::ostringstream all;
        all << in.rdbuf();
        r.err = all.str();
        return r;
    });
}

// Connects and greets; then `talk` sends what it likes. Returns the host's
// goodbye (reason, frame), or (-1, 0) when none came within 20 s.
template <class Talk>
std::pair<int, uint32_t> as_peer(int port, Talk talk) {
    std::string error;
    std::unique_ptr<NetLink> link;
    static uint8_t in[MAX_MESSAGE];
    Message m;
    size_t size = 0;
    // The host needs a moment to start listening.
    for (int attempt = 0; attempt < 40 && !link; ++attempt) {
        link.reset(net_connect("127.0.0.1", port, NetConditions(), error));
        NetEvent e = NET_NONE;
        for (int i = 0; i < 50 && e == NET_NONE; ++i) e = link->service(20, in, sizeof in, size);
        if (e != NET_CONNECTED) link.reset();
    }
    if (!link) return {-1, 0};
    uint8_t out[64];
    link->send(out, write_hello(out, sizeof out), true);
    bool welcomed = false;
    for (int i = 0; i < 1000; ++i) {
        NetEvent e = link->service(20, in, sizeof in, size);
        if (e == NET_RECEIVED && read_message(in, size, m) && m.type == MSG_WELCOME) {
            welcomed = true;
            break;
        }
        if (e == NET_DISCONNECTED) break;
    }
    if (!welcomed) return {-1, 0};
    for (int i = 0; i < 1000; ++i) {
        talk(*link);
        NetEvent e = link->service(20, in, sizeof in, size);
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
    auto bye = as_peer(port, [](NetLink& link) {
        InputMessage m;
        m.ack = 2;
        m.frame = 40;
        m.first = 3;
        m.count = 40;
        m.sum_frame = 5;
        m.sum = 0x0BADC0DE;
        static const uint8_t none[32] = {};
        uint8_t out[1024];
        link.send(out, write_input(m, none, out, sizeof out), false);
    });
    HostRun r = host.get();
    EXPECT_EQ(bye.first, BYE_DESYNC);
    EXPECT_EQ(bye.second, 5u);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("DESYNC AT FRAME 5"), std::string::npos) << r.err;

    host = start_host(port + 1);
    bye = as_peer(port + 1, [](NetLink& link) {
        const uint8_t garbage[] = {MSG_INPUT, 1, 2, 3};
        link.send(garbage, sizeof garbage, false);
    });
    r = host.get();
    EXPECT_EQ(bye.first, BYE_BAD_DATA);
    EXPECT_EQ(r.status, 3) << r.err;
    EXPECT_NE(r.err.find("CANNOT READ"), std::string::npos) << r.err;
}
