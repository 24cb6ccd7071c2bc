// The network seam: a listening or joining link and the peers on it, messages
// in and out. Only src/engine/enet/ reaches the UDP library behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Bad weather made on purpose, for tests: applied to every datagram this side
// receives (the library's own handshakes, acknowledgements and pings as well
// as our messages), drawn from a generator of its own so that a run repeats.
// Given to both sides, it acts on both directions.
struct NetConditions {
    int delay_ms = 0;     // added to every datagram
    int jitter_ms = 0;    // plus 0..jitter_ms more, drawn per datagram
    int loss_percent = 0; // datagrams dropped
    uint32_t seed = 1;
};

// NET_BUSY: a joining link was sent away by a host that has its player (or
// offers no game now), and has given up.
enum NetEvent { NET_NONE, NET_CONNECTED, NET_RECEIVED, NET_DISCONNECTED, NET_BUSY };

// A peer as a link names it; never 0, never given to two peers.
typedef uint32_t NetPeer;

// A listening link lets several peers in at once, so that a stranger who
// connects and says nothing cannot keep a player out. A joining link makes
// a fresh connection to its host every few seconds, since a handshake can
// stall half way under heavy loss. On both, a peer must be chosen within
// NET_GREETING_LIMIT_MS of connecting (twice that on a joining link) or is
// let go; once one is chosen the others go and no more come in (on a
// listening link, until listen_again()).
const int NET_GREETING_LIMIT_MS = 3000;
// A joining link that has chosen no peer by then gives up.
const int NET_JOIN_LIMIT_MS = 20000;

class NetLink {
  public:
    virtual ~NetLink() = default;
    // Sends what is due and waits up to timeout_ms for one event; peer names
    // whom it concerns (0: a joining link that gave up). A received message
    // longer than capacity is dropped.
    virtual NetEvent service(int timeout_ms, uint8_t* buffer, size_t capacity, size_t& size,
                             NetPeer& peer) = 0;
    // Queues one message to peer; reliable ones arrive once and in order, the
    // others may be lost or come in any order. False when there is no such peer.
    virtual bool send(NetPeer peer, const uint8_t* data, size_t size, bool reliable) = 0;
    // peer is the one: every other peer is let go, none is let in.
    virtual void choose(NetPeer peer) = 0;
    // Lets peer go. goodbye (when size > 0) goes out at once, more than once
    // so that one lost datagram does not lose it; the link finishes in later
    // services and never waits here.
    virtual void drop(NetPeer peer, const uint8_t* goodbye, size_t size) = 0;
    // A peer let go has not yet confirmed the goodbye (nor run out of time).
    virtual bool leaving() const = 0;
    // A listening link lets new peers in again; false for a joining one.
    virtual bool listen_again() = 0;
    // Bytes handed to the network so far, protocol overhead included.
    virtual uint64_t bytes_sent() const = 0;
    // Milliseconds on a steady clock, for the caller's own timing.
    virtual uint32_t now_ms() const = 0;
};

// Listens on port (all interfaces). nullptr with error set on failure.
NetLink* net_listen(int port, const NetConditions& conditions, std::string& error);
// Starts connecting to host:port; NET_CONNECTED follows, or NET_DISCONNECTED.
NetLink* net_connect(const std::string& host, int port, const NetConditions& conditions,
                     std::string& error);
