#include "strangers.h"

#include <arpa/inet.h>
#include <enet/enet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <random>
#include <thread>

namespace {

class Sender {
  public:
    explicit Sender(int port) : fd_(socket(AF_INET, SOCK_DGRAM, 0)) {
        std::memset(&to_, 0, sizeof to_);
        to_.sin_family = AF_INET;
        to_.sin_port = htons(static_cast<uint16_t>(port));
        to_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~Sender() {
        if (fd_ >= 0) close(fd_);
    }
    bool send(const std::vector<uint8_t>& d) {
        return fd_ >= 0 &&
               sendto(fd_, d.data(), d.size(), 0, reinterpret_cast<const sockaddr*>(&to_),
                      sizeof to_) == static_cast<ssize_t>(d.size());
    }

  private:
    int fd_;
    sockaddr_in to_;
};

void put16(std::vector<uint8_t>& d, uint16_t v) {
    d.push_back(static_cast<uint8_t>(v >> 8));
    d.push_back(static_cast<uint8_t>(v));
}

void put32(std::vector<uint8_t>& d, uint32_t v) {
    put16(d, static_cast<uint16_t>(v >> 16));
    put16(d, static_cast<uint16_t>(v));
}

// Header (no peer yet, a send time), checksum, then the CONNECT command,
// all in network order as ENet lays them out.
std::vector<uint8_t> connect_request(uint32_t connect_id, bool good_checksum) {
    std::vector<uint8_t> d;
    put16(d, ENET_PROTOCOL_MAXIMUM_PEER_ID | ENET_PROTOCOL_HEADER_FLAG_SENT_TIME);
    put16(d, 1234);
    put32(d, 0); // the checksum, reckoned over the datagram with 0 in its place
    d.push_back(ENET_PROTOCOL_COMMAND_CONNECT | ENET_PROTOCOL_COMMAND_FLAG_ACKNOWLEDGE);
    d.push_back(0xFF);
    put16(d, 1);
    put16(d, 0);       // outgoing peer id
    d.push_back(0xFF); // incoming session
    d.push_back(0xFF); // outgoing session
    put32(d, 1400);    // mtu
    put32(d, 32768);   // window
    put32(d, 1);       // channels
    put32(d, 0);       // bandwidth in
    put32(d, 0);       // bandwidth out
    put32(d, ENET_PEER_PACKET_THROTTLE_INTERVAL);
    put32(d, ENET_PEER_PACKET_THROTTLE_ACCELERATION);
    put32(d, ENET_PEER_PACKET_THROTTLE_DECELERATION);
    put32(d, connect_id);
    put32(d, 0); // data
    ENetBuffer b;
    b.data = d.data();
    b.dataLength = d.size();
    enet_uint32 sum = enet_crc32(&b, 1);
    if (!good_checksum) sum ^= 0x5A5A5A5Au;
    std::memcpy(d.data() + 4, &sum, 4);
    return d;
}

} // namespace

std::vector<uint8_t> raw_connect_request(uint32_t connect_id) {
    return connect_request(connect_id, true);
}

bool send_datagrams(int port, const std::vector<std::vector<uint8_t>>& datagrams) {
    Sender s(port);
    bool any = false;
    for (const auto& d : datagrams) any = s.send(d) || any;
    return any;
}

long flood_junk(int port, int seconds, int per_second, uint32_t seed) {
    Sender s(port);
    std::mt19937 rng(seed);
    using clock = std::chrono::steady_clock;
    const auto start = clock::now(), end = start + std::chrono::seconds(seconds);
    const int burst = per_second / 100 > 0 ? per_second / 100 : 1;
    long sent = 0, made = 0;
    auto due = start;
    while (clock::now() < end) {
        for (int i = 0; i < burst; ++i, ++made) {
            std::vector<uint8_t> d;
            unsigned kind = rng() % 10;
            if (made % (per_second > 0 ? per_second : 1) == 0) {
                d = connect_request(rng(), true); // a stranger knocking, once a second
            } else if (kind < 6) {
                d.resize(1 + rng() % 1400);
                for (uint8_t& b : d) b = static_cast<uint8_t>(rng());
            } else if (kind < 9) {
                // Aimed at a peer: any slot, any session, a command of any kind after it.
                put16(d, static_cast<uint16_t>((rng() % 8) | (rng() % 4) << 12 |
                                               ENET_PROTOCOL_HEADER_FLAG_SENT_TIME));
                put16(d, static_cast<uint16_t>(rng()));
                put32(d, rng());
                d.push_back(static_cast<uint8_t>((1 + rng() % 12) | (rng() % 2 ? 0x80 : 0)));
                d.push_back(static_cast<uint8_t>(rng() % 2 ? 0 : 0xFF));
                size_t more = rng() % 64;
                for (size_t k = 0; k < more; ++k) d.push_back(static_cast<uint8_t>(rng()));
            } else {
                d = connect_request(rng(), false);
            }
            if (s.send(d)) ++sent;
        }
        due += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(due);
    }
    return sent;
}
