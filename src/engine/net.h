// The network seam: one connection to one peer, messages in and out. Only
// src/engine/enet/ reaches the UDP library behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Bad weather made on purpose, for tests: applied to outgoing packets, drawn
// from a generator of its own so that a run repeats.
struct NetConditions {
    int delay_ms = 0;     // added to every packet
    int jitter_ms = 0;    // plus 0..jitter_ms more, drawn per packet
    int loss_percent = 0; // unreliable packets dropped
    uint32_t seed = 1;
};

enum NetEvent { NET_NONE, NET_CONNECTED, NET_RECEIVED, NET_DISCONNECTED };

class NetLink {
  public:
    virtual ~NetLink() = default;
    // Sends what is due and waits up to timeout_ms for one event. A received
    // message longer than capacity is dropped.
    virtual NetEvent service(int timeout_ms, uint8_t* buffer, size_t capacity, size_t& size) = 0;
    // Queues one message; reliable ones arrive once and in order, the others
    // may be lost or come in any order. False when there is no peer.
    virtual bool send(const uint8_t* data, size_t size, bool reliable) = 0;
    // Says goodbye and waits up to timeout_ms for the peer to hear it.
    virtual void close(int timeout_ms) = 0;
    virtual bool connected() const = 0;
    // Bytes handed to the network so far, protocol overhead included.
    virtual uint64_t bytes_sent() const = 0;
    // Milliseconds on a steady clock, for the caller's own timing.
    virtual uint32_t now_ms() const = 0;
};

// Waits for one peer on port (all interfaces). nullptr with error set on failure.
NetLink* net_listen(int port, const NetConditions& conditions, std::string& error);
// Starts connecting to host:port; NET_CONNECTED follows, or NET_DISCONNECTED.
NetLink* net_connect(const std::string& host, int port, const NetConditions& conditions,
                     std::string& error);
