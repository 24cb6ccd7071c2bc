// The messages two sides exchange. Everything a peer sends is read by
// read_message, which takes any bytes and never trusts a length it has not checked.
#pragma once

#include <cstddef>
#include <cstdint>

#include "online/keys.h"

const uint8_t PROTOCOL_VERSION = 4;
const int MAX_MESSAGE_FRAMES = 48;
const size_t MAX_SETTINGS_TEXT = 60000;
// The settings text goes in pieces that each fit one datagram, so that a lost
// datagram costs one piece, not the whole greeting.
const size_t WELCOME_PIECE = 1000;
const size_t MAX_MESSAGE = MAX_SETTINGS_TEXT + 64;

enum MessageType : uint8_t {
    MSG_HELLO = 1,   // joiner -> host, unreliable and repeated: the version, a time stamp
    MSG_WELCOME = 2, // host -> joiner, unreliable and repeated: version, the joiner's last
                     // stamp and how long it waited, seed, a piece of the host's settings
    MSG_INPUT = 3,   // both ways, unreliable: keys of every frame the peer lacks
    MSG_BYE = 4,     // reliable: the session ends
};

enum ByeReason : uint8_t { BYE_LEFT = 0, BYE_DESYNC = 1, BYE_BAD_DATA = 2, BYE_VERSION = 3 };

struct InputMessage {
    uint32_t ack = 0;       // the sender has the receiver's keys up to this frame
    uint32_t frame = 0;     // the frames the sender has run
    int32_t advantage = 0;  // the sender's frames minus the receiver's as the sender knows them
    uint32_t first = 0;     // the frame of keys[0]; 0 when count is 0
    uint8_t base_held[32] = {}; // read: the held keys before first
    int count = 0;
    KeyFrame keys[MAX_MESSAGE_FRAMES];
    uint32_t sum_frame = 0; // the frame of sum; 0 for none
    uint32_t sum = 0;       // the checksum of the state after sum_frame
    uint8_t delay = 0;      // the input delay the sender plays with, frames
    uint16_t round_trip = 0; // the sender's measure of the round trip, ms (at most 1020)
};

struct Message {
    MessageType type = MSG_HELLO;
    uint8_t version = 0;
    int32_t seed = 0;
    uint32_t stamp = 0;  // HELLO: the joiner's clock, ms; WELCOME: that stamp sent back
    uint16_t held = 0;   // WELCOME: ms between that HELLO's coming and this WELCOME
    // WELCOME: the piece of text_total bytes at text_offset; text points into the bytes read.
    const uint8_t* text = nullptr;
    size_t text_size = 0;
    size_t text_total = 0;
    size_t text_offset = 0;
    ByeReason reason = BYE_LEFT;
    uint32_t frame = 0; // BYE: the frame it names
    InputMessage input;
};

// Each writes into out and returns the size, 0 when it does not fit.
size_t write_hello(uint32_t stamp, uint8_t* out, size_t capacity);
// The piece of text at offset, a multiple of WELCOME_PIECE below text_size
// (0 for an empty text); stamp and held answer the joiner's last HELLO.
size_t write_welcome(int32_t seed, uint32_t stamp, uint16_t held, const char* text,
                     size_t text_size, size_t offset, uint8_t* out, size_t capacity);
// base_held: the sender's held keys before m.first.
size_t write_input(const InputMessage& m, const uint8_t base_held[32], uint8_t* out,
                   size_t capacity);
size_t write_bye(ByeReason reason, uint32_t frame, uint8_t* out, size_t capacity);

// False for anything that is not one whole well-formed message. A HELLO or
// WELCOME of another version is read as far as its version.
bool read_message(const uint8_t* data, size_t size, Message& out);
