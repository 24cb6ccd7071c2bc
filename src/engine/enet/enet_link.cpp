#include <enet/enet.h>

#include <cstring>

#include "engine/net.h"

namespace {

const int CHANNELS = 1;
const int SILENCE_MS = 10000; // a peer unheard for this long is gone
const size_t HELD_SIZE = 1200;
const int HELD_SLOTS = 256;

// enet_initialize once for the process; its counterpart runs at exit.
bool enet_ready() {
    static int result = [] {
        int r = enet_initialize();
        if (r == 0) std::atexit(enet_deinitialize);
        return r;
    }();
    return result == 0;
}

class EnetLink final : public NetLink {
  public:
    EnetLink(ENetHost* host, const NetConditions& conditions)
        : host_(host), conditions_(conditions), rng_(conditions.seed * 2654435761u + 1u) {}

    ~EnetLink() override {
        if (peer_) enet_peer_reset(peer_);
        enet_host_destroy(host_);
    }

    void set_peer(ENetPeer* peer) { peer_ = peer; }

    NetEvent service(int timeout_ms, uint8_t* buffer, size_t capacity, size_t& size) override {
        size = 0;
        release_due();
        // Wake in time for the next held packet.
        int wait = timeout_ms;
        uint32_t next = 0;
        if (next_due(next)) {
            uint32_t now = enet_time_get();
            int until = next > now ? static_cast<int>(next - now) : 0;
            if (until < wait) wait = until;
        }
        ENetEvent event;
        int got = enet_host_service(host_, &event, static_cast<enet_uint32>(wait < 0 ? 0 : wait));
        release_due();
        if (got <= 0) return NET_NONE;
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (peer_ && peer_ != event.peer) { // one peer at a time
                enet_peer_disconnect_now(event.peer, 0);
                return NET_NONE;
            }
            peer_ = event.peer;
            enet_peer_timeout(peer_, 0, SILENCE_MS, SILENCE_MS);
            return NET_CONNECTED;
        case ENET_EVENT_TYPE_RECEIVE: {
            NetEvent result = NET_NONE;
            if (event.peer == peer_ && event.packet->dataLength <= capacity) {
                std::memcpy(buffer, event.packet->data, event.packet->dataLength);
                size = event.packet->dataLength;
                result = NET_RECEIVED;
            }
            enet_packet_destroy(event.packet);
            return result;
        }
        case ENET_EVENT_TYPE_DISCONNECT:
            if (event.peer != peer_) return NET_NONE;
            peer_ = nullptr;
            held_count_ = 0;
            return NET_DISCONNECTED;
        default: return NET_NONE;
        }
    }

    bool send(const uint8_t* data, size_t size, bool reliable) override {
        if (!peer_) return false;
        if (!reliable && (conditions_.delay_ms > 0 || conditions_.jitter_ms > 0 ||
                          conditions_.loss_percent > 0)) {
            if (static_cast<int>(next_random() % 100) < conditions_.loss_percent) return true;
            uint32_t extra = conditions_.jitter_ms > 0
                                 ? next_random() % static_cast<uint32_t>(conditions_.jitter_ms + 1)
                                 : 0;
            return hold(data, size, enet_time_get() + static_cast<uint32_t>(conditions_.delay_ms) + extra);
        }
        return put(data, size, reliable);
    }

    void close(int timeout_ms) override {
        if (!peer_) return;
        enet_peer_disconnect_later(peer_, 0); // after what is queued, the goodbye first
        uint32_t end = enet_time_get() + static_cast<uint32_t>(timeout_ms);
        ENetEvent event;
        while (static_cast<int32_t>(end - enet_time_get()) > 0) {
            int got = enet_host_service(host_, &event, 10);
            if (got < 0) break;
            if (got == 0) continue;
            if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
            if (event.type == ENET_EVENT_TYPE_DISCONNECT && event.peer == peer_) {
                peer_ = nullptr;
                return;
            }
        }
        enet_peer_reset(peer_);
        peer_ = nullptr;
    }

    bool connected() const override { return peer_ != nullptr && peer_->state == ENET_PEER_STATE_CONNECTED; }
    uint64_t bytes_sent() const override { return host_->totalSentData; }
    uint32_t now_ms() const override { return enet_time_get(); }

  private:
    struct Held {
        uint32_t due;
        size_t size;
        uint8_t data[HELD_SIZE];
    };

    bool put(const uint8_t* data, size_t size, bool reliable) {
        ENetPacket* packet = enet_packet_create(
            data, size, reliable ? ENET_PACKET_FLAG_RELIABLE : ENET_PACKET_FLAG_UNSEQUENCED);
        if (!packet) return false;
        if (enet_peer_send(peer_, 0, packet) != 0) {
            enet_packet_destroy(packet);
            return false;
        }
        enet_host_flush(host_);
        return true;
    }

    // A packet that the held slots cannot take is lost, as on a full router.
    bool hold(const uint8_t* data, size_t size, uint32_t due) {
        if (size > HELD_SIZE || held_count_ >= HELD_SLOTS) return true;
        Held& h = held_[held_count_++];
        h.due = due;
        h.size = size;
        std::memcpy(h.data, data, size);
        return true;
    }

    bool next_due(uint32_t& due) const {
        if (held_count_ == 0) return false;
        due = held_[0].due;
        for (int i = 1; i < held_count_; ++i)
            if (static_cast<int32_t>(held_[i].due - due) < 0) due = held_[i].due;
        return true;
    }

    void release_due() {
        uint32_t now = enet_time_get();
        for (int i = 0; i < held_count_;) {
            if (static_cast<int32_t>(held_[i].due - now) <= 0) {
                if (peer_) put(held_[i].data, held_[i].size, false);
                held_[i] = held_[--held_count_];
            } else {
                ++i;
            }
        }
    }

    uint32_t next_random() { // xorshift32
        rng_ ^= rng_ << 13;
        rng_ ^= rng_ >> 17;
        rng_ ^= rng_ << 5;
        return rng_;
    }

    ENetHost* host_;
    ENetPeer* peer_ = nullptr;
    NetConditions conditions_;
    uint32_t rng_;
    Held held_[HELD_SLOTS];
    int held_count_ = 0;
};

} // namespace

NetLink* net_listen(int port, const NetConditions& conditions, std::string& error) {
    if (!enet_ready()) {
        error = "the network library did not start";
        return nullptr;
    }
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = static_cast<enet_uint16>(port);
    ENetHost* host = enet_host_create(&address, 1, CHANNELS, 0, 0);
    if (!host) {
        error = "cannot listen on port " + std::to_string(port);
        return nullptr;
    }
    return new EnetLink(host, conditions);
}

NetLink* net_connect(const std::string& name, int port, const NetConditions& conditions,
                     std::string& error) {
    if (!enet_ready()) {
        error = "the network library did not start";
        return nullptr;
    }
    ENetAddress address;
    if (enet_address_set_host(&address, name.c_str()) != 0) {
        error = "cannot find the host " + name;
        return nullptr;
    }
    address.port = static_cast<enet_uint16>(port);
    ENetHost* host = enet_host_create(nullptr, 1, CHANNELS, 0, 0);
    if (!host) {
        error = "cannot open a network socket";
        return nullptr;
    }
    EnetLink* link = new EnetLink(host, conditions);
    ENetPeer* peer = enet_host_connect(host, &address, CHANNELS, 0);
    if (!peer) {
        delete link;
        error = "cannot connect to " + name;
        return nullptr;
    }
    link->set_peer(peer);
    return link;
}
