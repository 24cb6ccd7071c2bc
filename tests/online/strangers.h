// Datagrams no player sends, aimed at a port on 127.0.0.1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A connect request as ENet's handshake begins, with a valid checksum, that
// never goes on: the host keeps a place for it until its time runs out.
std::vector<uint8_t> raw_connect_request(uint32_t connect_id);

// Sends `count` datagrams from one socket; false when none could be sent.
bool send_datagrams(int port, const std::vector<std::vector<uint8_t>>& datagrams);

// For `seconds`, about `per_second` datagrams of junk: random bytes, ENet
// headers aimed at each peer slot with commands after them, connect requests
// with a wrong checksum, and now and then a whole connect request. Returns
// the number sent.
long flood_junk(int port, int seconds, int per_second, uint32_t seed);
