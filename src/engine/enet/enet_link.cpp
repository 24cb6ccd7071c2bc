#include <enet/enet.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/net.h"

namespace {

const int CHANNELS = 1;
const size_t LISTEN_SLOTS = 8; // the player, and room for strangers who say nothing
// A fresh connect request goes this often while none is answered: ENet
// doubles the wait between resends of one, which under heavy loss leaves
// a joiner waiting for many seconds after a few unlucky losses.
const int JOIN_ATTEMPT_MS = 2000;
const size_t JOIN_SLOTS = NET_JOIN_LIMIT_MS / JOIN_ATTEMPT_MS + 3;
// The session's own silence limit says when a peer is gone. ENet's counts
// from one reliable command's doubling resends and under heavy loss ends a
// session whose messages still flow.
const enet_uint32 ENET_PATIENCE_MS = 3600000;
const int LEAVE_LIMIT_MS = 2000; // a peer let go has this long to hear the goodbye
const int GOODBYE_COPIES = 3;
// No message of ours comes near these; ENet's defaults let a stranger make
// it reserve 32 MB.
const size_t LARGEST_PACKET = 64 * 1024;
const size_t LARGEST_WAITING = 256 * 1024;
const enet_uint32 SENT_AWAY = 1; // a host's goodbye to a connection it does not want now
const int HELD_SLOTS = 256;
const enet_uint32 REKICK_MS = 20;

// enet_initialize once for the process; its counterpart runs at exit.
bool enet_ready() {
    static int result = [] {
        int r = enet_initialize();
        if (r == 0) std::atexit(enet_deinitialize);
        return r;
    }();
    return result == 0;
}

bool same_address(const ENetAddress& a, const ENetAddress& b) {
    return a.host == b.host && a.port == b.port;
}

enum SlotState {
    SLOT_FREE,
    SLOT_PENDING,   // a handshake we did not start, not through yet
    SLOT_ATTEMPT,   // our own connect request, not answered yet
    SLOT_CANDIDATE, // connected, not chosen
    SLOT_CHOSEN,
    SLOT_LEAVING, // let go, the goodbye on its way
};

struct Slot {
    SlotState state = SLOT_FREE;
    NetPeer id = 0;
    enet_uint32 since = 0;
};

class EnetLink;
// The link whose host is being serviced on this thread: ENet's intercept
// hook has no room for a pointer of ours.
thread_local EnetLink* servicing = nullptr;
int ENET_CALLBACK intercept_datagram(ENetHost* host, ENetEvent* event);

class EnetLink final : public NetLink {
  public:
    EnetLink(ENetHost* host, bool listening, const NetConditions& conditions)
        : host_(host), listening_(listening), accepting_(listening), conditions_(conditions),
          rng_(conditions.seed * 2654435761u + 1u), slots_(host->peerCount) {
        // Junk that is not ours fails the checksum before ENet reads a command of it.
        host_->checksum = enet_crc32;
        host_->maximumPacketSize = LARGEST_PACKET;
        host_->maximumWaitingData = LARGEST_WAITING;
    }

    ~EnetLink() override {
        if (kick_ != ENET_SOCKET_NULL) enet_socket_destroy(kick_);
        enet_host_destroy(host_);
    }

    // Bad weather on every datagram received: ENet hands each to the hook,
    // which drops it, lets it through, or keeps it to hand in later in place
    // of a kick, a datagram of our own sent to our own port when it is due.
    bool start_conditions(std::string& error) {
        const NetConditions& c = conditions_;
        if (c.loss_percent <= 0 && c.delay_ms <= 0 && c.jitter_ms <= 0) return true;
        host_->intercept = intercept_datagram;
        if (c.delay_ms <= 0 && c.jitter_ms <= 0) return true;
        held_.resize(HELD_SLOTS);
        ENetAddress own;
        kick_ = enet_socket_create(ENET_SOCKET_TYPE_DATAGRAM);
        if (kick_ == ENET_SOCKET_NULL || enet_address_set_host_ip(&kick_from_, "127.0.0.1") != 0 ||
            enet_socket_bind(kick_, &kick_from_) < 0 ||
            enet_socket_get_address(kick_, &kick_from_) < 0 ||
            enet_socket_get_address(host_->socket, &own) < 0 ||
            enet_address_set_host_ip(&kick_to_, "127.0.0.1") != 0) {
            error = "cannot open a socket for the simulated network";
            return false;
        }
        kick_to_.port = own.port;
        for (size_t i = 0; i < sizeof kick_token_; ++i)
            kick_token_[i] = static_cast<uint8_t>(next_random());
        return true;
    }

    bool start_joining(const ENetAddress& to) {
        to_ = to;
        join_started_ = enet_time_get();
        return attempt(join_started_);
    }

    NetEvent service(int timeout_ms, uint8_t* buffer, size_t capacity, size_t& size,
                     NetPeer& peer) override {
        size = 0;
        peer = 0;
        enet_uint32 deadline =
            enet_time_get() + static_cast<enet_uint32>(timeout_ms < 0 ? 0 : timeout_ms);
        for (int round = 0; round < 256; ++round) {
            enet_uint32 now = enet_time_get();
            NetEvent e = look_after_peers(now, peer);
            if (e != NET_NONE) return e;
            kick_due(now);
            int32_t left = static_cast<int32_t>(deadline - now);
            enet_uint32 wait = left > 0 ? static_cast<enet_uint32>(left) : 0;
            enet_uint32 wake = 0;
            if (next_wake(now, wake) && wake < wait) wait = wake;
            ENetEvent event;
            servicing = this;
            int got = enet_host_service(host_, &event, wait);
            servicing = nullptr;
            count_sent();
            if (got < 0) return NET_NONE;
            if (got > 0) {
                e = translate(event, buffer, capacity, size, peer);
                if (e != NET_NONE) return e;
            } else if (static_cast<int32_t>(deadline - enet_time_get()) <= 0) {
                return NET_NONE;
            }
        }
        return NET_NONE;
    }

    bool send(NetPeer id, const uint8_t* data, size_t size, bool reliable) override {
        ENetPeer* p = find(id);
        if (!p || p->state != ENET_PEER_STATE_CONNECTED) return false;
        return put(p, data, size, reliable);
    }

    void choose(NetPeer id) override {
        ENetPeer* chosen = find(id);
        if (!chosen) return;
        for (size_t i = 0; i < slots_.size(); ++i) {
            Slot& s = slots_[i];
            ENetPeer* p = &host_->peers[i];
            if (p == chosen) {
                s.state = SLOT_CHOSEN;
            } else if (s.state == SLOT_CANDIDATE) {
                enet_peer_disconnect_now(p, 0);
                s = Slot();
            } else if (s.state == SLOT_PENDING || s.state == SLOT_ATTEMPT) {
                enet_peer_reset(p);
                s = Slot();
            }
        }
        chosen_ = id;
        accepting_ = false;
        joined_ = !listening_;
    }

    void drop(NetPeer id, const uint8_t* goodbye, size_t size) override {
        ENetPeer* p = find(id);
        if (!p) return;
        if (size > 0 && p->state == ENET_PEER_STATE_CONNECTED) {
            // Once reliably, which ENet repeats until it is heard, and as
            // copies of their own at once, for a side about to exit.
            put(p, goodbye, size, true);
            for (int i = 1; i < GOODBYE_COPIES; ++i) put(p, goodbye, size, false);
        }
        enet_peer_disconnect_later(p, 0);
        Slot& s = slot_of(p);
        s.state = SLOT_LEAVING;
        s.since = enet_time_get();
        if (chosen_ == id) chosen_ = 0;
    }

    bool leaving() const override { return any(SLOT_LEAVING); }

    bool listen_again() override {
        if (!listening_) return false;
        if (chosen_ != 0) drop(chosen_, nullptr, 0);
        accepting_ = true;
        return true;
    }

    uint64_t bytes_sent() const override { return sent_ + host_->totalSentData; }
    uint32_t now_ms() const override { return enet_time_get(); }

    int on_datagram();

  private:
    struct Held {
        bool used = false;
        bool kicked = false;
        enet_uint32 due = 0, kicked_at = 0;
        ENetAddress from = {};
        size_t size = 0;
        uint8_t data[ENET_PROTOCOL_MAXIMUM_MTU];
    };

    Slot& slot_of(const ENetPeer* p) { return slots_[static_cast<size_t>(p - host_->peers)]; }

    ENetPeer* find(NetPeer id) {
        if (id == 0) return nullptr;
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].id == id &&
                (slots_[i].state == SLOT_CANDIDATE || slots_[i].state == SLOT_CHOSEN))
                return &host_->peers[i];
        return nullptr;
    }

    // ENet's count is 32 bits and meant to be emptied now and then.
    void count_sent() {
        sent_ += host_->totalSentData;
        host_->totalSentData = 0;
    }

    bool any(SlotState state) const {
        for (const Slot& s : slots_)
            if (s.state == state) return true;
        return false;
    }

    void give_up() {
        for (size_t i = 0; i < slots_.size(); ++i)
            if (slots_[i].state == SLOT_ATTEMPT || slots_[i].state == SLOT_CANDIDATE) {
                enet_peer_reset(&host_->peers[i]);
                slots_[i] = Slot();
            }
        gave_up_ = true;
    }

    bool attempt(enet_uint32 now) {
        last_attempt_ = now;
        ENetPeer* p = enet_host_connect(host_, &to_, CHANNELS, 0);
        if (!p) return false;
        Slot& s = slot_of(p);
        s.state = SLOT_ATTEMPT;
        s.since = now;
        return true;
    }

    // Time limits on everyone who is not the chosen peer, and a joiner's
    // fresh attempts; a peer ENet let go without a word is reported here.
    NetEvent look_after_peers(enet_uint32 now, NetPeer& peer) {
        for (size_t i = 0; i < slots_.size(); ++i) {
            Slot& s = slots_[i];
            ENetPeer* p = &host_->peers[i];
            if (p->state == ENET_PEER_STATE_DISCONNECTED) {
                Slot was = s;
                s = Slot();
                if (was.state == SLOT_CANDIDATE || was.state == SLOT_CHOSEN) {
                    if (was.id == chosen_) chosen_ = 0;
                    peer = was.id;
                    return NET_DISCONNECTED;
                }
                continue;
            }
            if (s.state == SLOT_FREE) {
                s.state = SLOT_PENDING;
                s.since = now;
                continue;
            }
            enet_uint32 age = now - s.since;
            // A joiner waits longer on its connections than its host does on
            // a handshake, so that it never lets go of one its host has just
            // taken.
            enet_uint32 limit = static_cast<enet_uint32>(NET_GREETING_LIMIT_MS) *
                                (!listening_ && s.state == SLOT_CANDIDATE ? 2 : 1);
            if ((s.state == SLOT_PENDING || s.state == SLOT_CANDIDATE) && age > limit) {
                if (s.state == SLOT_CANDIDATE)
                    enet_peer_disconnect_now(p, 0);
                else
                    enet_peer_reset(p);
                s = Slot();
            } else if (s.state == SLOT_LEAVING && age > static_cast<enet_uint32>(LEAVE_LIMIT_MS)) {
                enet_peer_reset(p);
                s = Slot();
            }
        }
        // A joiner tries again until the host has answered on one of its
        // connections: under heavy loss a handshake can stall half way, on
        // either side.
        if (!listening_ && !joined_ && !gave_up_) {
            if (now - join_started_ >= static_cast<enet_uint32>(NET_JOIN_LIMIT_MS)) {
                give_up();
                return NET_DISCONNECTED;
            }
            if (now - last_attempt_ >= static_cast<enet_uint32>(JOIN_ATTEMPT_MS)) attempt(now);
        }
        return NET_NONE;
    }

    NetEvent translate(ENetEvent& event, uint8_t* buffer, size_t capacity, size_t& size,
                       NetPeer& peer) {
        Slot& s = slot_of(event.peer);
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT: {
            bool wanted = listening_ ? accepting_ && chosen_ == 0
                                     : s.state == SLOT_ATTEMPT && !joined_ && !gave_up_;
            if (!wanted) {
                enet_peer_disconnect_now(event.peer, listening_ ? SENT_AWAY : 0);
                s = Slot();
                return NET_NONE;
            }
            enet_peer_timeout(event.peer, ENET_PEER_TIMEOUT_LIMIT, ENET_PATIENCE_MS,
                              ENET_PATIENCE_MS);
            // ENet drops unreliable packets at the sender when round trips
            // grow; ours are small and each one counts.
            enet_peer_throttle_configure(event.peer, ENET_PEER_PACKET_THROTTLE_INTERVAL,
                                         ENET_PEER_PACKET_THROTTLE_SCALE, 0);
            s.id = next_id_++;
            s.since = enet_time_get();
            s.state = SLOT_CANDIDATE;
            peer = s.id;
            return NET_CONNECTED;
        }
        case ENET_EVENT_TYPE_RECEIVE: {
            NetEvent result = NET_NONE;
            if ((s.state == SLOT_CANDIDATE || s.state == SLOT_CHOSEN) &&
                event.packet->dataLength <= capacity) {
                std::memcpy(buffer, event.packet->data, event.packet->dataLength);
                size = event.packet->dataLength;
                peer = s.id;
                result = NET_RECEIVED;
            }
            enet_packet_destroy(event.packet);
            return result;
        }
        case ENET_EVENT_TYPE_DISCONNECT: {
            Slot was = s;
            s = Slot();
            // Sent away: final unless another of our connections is still
            // being greeted (the host may have chosen that one).
            if (!listening_ && was.state == SLOT_CANDIDATE && event.data == SENT_AWAY && !joined_ &&
                !gave_up_ && !any(SLOT_CANDIDATE)) {
                give_up();
                return NET_BUSY;
            }
            if (was.state != SLOT_CANDIDATE && was.state != SLOT_CHOSEN) return NET_NONE;
            if (was.id == chosen_) chosen_ = 0;
            peer = was.id;
            return NET_DISCONNECTED;
        }
        default: return NET_NONE;
        }
    }

    bool put(ENetPeer* p, const uint8_t* data, size_t size, bool reliable) {
        // A larger unreliable packet must say so, or ENet sends its pieces reliably.
        size_t whole = p->mtu - sizeof(ENetProtocolHeader) - sizeof(ENetProtocolSendFragment) -
                       sizeof(enet_uint32);
        enet_uint32 flags = reliable       ? ENET_PACKET_FLAG_RELIABLE
                            : size > whole ? ENET_PACKET_FLAG_UNRELIABLE_FRAGMENT
                                           : ENET_PACKET_FLAG_UNSEQUENCED;
        ENetPacket* packet = enet_packet_create(data, size, flags);
        if (!packet) return false;
        if (enet_peer_send(p, 0, packet) != 0) {
            enet_packet_destroy(packet);
            return false;
        }
        enet_host_flush(host_);
        count_sent();
        return true;
    }

    void kick_due(enet_uint32 now) {
        for (Held& h : held_) {
            if (!h.used || static_cast<int32_t>(h.due - now) > 0) continue;
            if (h.kicked && now - h.kicked_at < REKICK_MS) continue;
            ENetBuffer b;
            b.data = kick_token_;
            b.dataLength = sizeof kick_token_;
            enet_socket_send(kick_, &kick_to_, &b, 1);
            h.kicked = true;
            h.kicked_at = now;
        }
    }

    // When a held datagram wants a kick (sooner than that changes nothing).
    bool next_wake(enet_uint32 now, enet_uint32& wait) const {
        bool found = false;
        for (const Held& h : held_) {
            if (!h.used) continue;
            enet_uint32 at = h.kicked ? h.kicked_at + REKICK_MS : h.due;
            int32_t until = static_cast<int32_t>(at - now);
            enet_uint32 w = until > 0 ? static_cast<enet_uint32>(until) : 0;
            if (!found || w < wait) wait = w;
            found = true;
        }
        return found;
    }

    uint32_t next_random() { // xorshift32
        rng_ ^= rng_ << 13;
        rng_ ^= rng_ >> 17;
        rng_ ^= rng_ << 5;
        return rng_;
    }

    ENetHost* host_;
    bool listening_;
    bool accepting_;
    NetConditions conditions_;
    uint32_t rng_;
    std::vector<Slot> slots_;
    NetPeer next_id_ = 1;
    NetPeer chosen_ = 0;
    uint64_t sent_ = 0;
    // Joining.
    ENetAddress to_ = {};
    enet_uint32 join_started_ = 0, last_attempt_ = 0;
    bool joined_ = false; // once a peer is chosen a joiner never connects again
    bool gave_up_ = false;
    // The simulated network.
    std::vector<Held> held_;
    ENetSocket kick_ = ENET_SOCKET_NULL;
    ENetAddress kick_from_ = {}, kick_to_ = {};
    uint8_t kick_token_[8] = {};
};

int EnetLink::on_datagram() {
    enet_uint32 now = enet_time_get();
    if (kick_ != ENET_SOCKET_NULL && same_address(host_->receivedAddress, kick_from_)) {
        if (host_->receivedDataLength != sizeof kick_token_ ||
            std::memcmp(host_->receivedData, kick_token_, sizeof kick_token_) != 0)
            return 1;
        // The held datagram due first goes to ENet in the kick's place.
        Held* first = nullptr;
        for (Held& h : held_)
            if (h.used && h.kicked && (!first || static_cast<int32_t>(h.due - first->due) < 0))
                first = &h;
        if (!first) return 1;
        std::memcpy(host_->receivedData, first->data, first->size);
        host_->receivedDataLength = first->size;
        host_->receivedAddress = first->from;
        first->used = false;
        return 0;
    }
    const NetConditions& c = conditions_;
    if (c.loss_percent > 0 && static_cast<int>(next_random() % 100) < c.loss_percent) return 1;
    if (c.delay_ms <= 0 && c.jitter_ms <= 0) return 0;
    enet_uint32 extra =
        c.jitter_ms > 0 ? next_random() % static_cast<uint32_t>(c.jitter_ms + 1) : 0;
    // What the held slots cannot take is lost, as on a full router.
    for (Held& h : held_) {
        if (h.used) continue;
        if (host_->receivedDataLength > sizeof h.data) return 1;
        h.used = true;
        h.kicked = false;
        h.due = now + static_cast<enet_uint32>(c.delay_ms) + extra;
        h.from = host_->receivedAddress;
        h.size = host_->receivedDataLength;
        std::memcpy(h.data, host_->receivedData, h.size);
        return 1;
    }
    return 1;
}

int ENET_CALLBACK intercept_datagram(ENetHost*, ENetEvent*) {
    EnetLink* link = servicing;
    return link ? link->on_datagram() : 0;
}

} // namespace

NetLink* net_listen(int port, const NetConditions& conditions, std::string& error) {
    if (!enet_ready()) {
        error = "the network library did not start";
        return nullptr;
    }
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = static_cast<enet_uint16>(port);
    ENetHost* host = enet_host_create(&address, LISTEN_SLOTS, CHANNELS, 0, 0);
    if (!host) {
        error = "cannot listen on port " + std::to_string(port);
        return nullptr;
    }
    EnetLink* link = new EnetLink(host, true, conditions);
    if (!link->start_conditions(error)) {
        delete link;
        return nullptr;
    }
    return link;
}

NetLink* net_connect(const std::string& name, int port, const NetConditions& conditions,
                     std::string& error) {
    if (!enet_ready()) {
        error = "the network library did not start";
        return nullptr;
    }
    ENetAddress to;
    if (enet_address_set_host(&to, name.c_str()) != 0) {
        error = "cannot find the host " + name;
        return nullptr;
    }
    to.port = static_cast<enet_uint16>(port);
    // Bound now, so that the simulated network knows the port to kick.
    ENetAddress own;
    own.host = ENET_HOST_ANY;
    own.port = 0;
    ENetHost* host = enet_host_create(&own, JOIN_SLOTS, CHANNELS, 0, 0);
    if (!host) {
        error = "cannot open a network socket";
        return nullptr;
    }
    EnetLink* link = new EnetLink(host, false, conditions);
    if (!link->start_conditions(error)) {
        delete link;
        return nullptr;
    }
    if (!link->start_joining(to)) {
        delete link;
        error = "cannot connect to " + name;
        return nullptr;
    }
    return link;
}
