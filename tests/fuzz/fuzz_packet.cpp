// What a peer sends: any bytes. A message read must hold values in range and
// write back to the same message; the reader keeps to the bytes it was given.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "online/protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the size given, so a read past it is caught.
    std::vector<uint8_t> bytes(data, data + size);
    Message m;
    if (!read_message(bytes.data(), bytes.size(), m)) return 0;
    fuzz_check(size <= MAX_MESSAGE, "a message within the largest size");
    static uint8_t out[MAX_MESSAGE];
    switch (m.type) {
    case MSG_WELCOME: {
        if (m.version != PROTOCOL_VERSION) break; // read no further than the version
        fuzz_check(m.text_total <= MAX_SETTINGS_TEXT, "settings within their bound");
        fuzz_check(m.text_size <= WELCOME_PIECE && m.text_offset + m.text_size <= m.text_total,
                   "a piece inside the settings");
        fuzz_check(m.text >= bytes.data() && m.text + m.text_size <= bytes.data() + bytes.size(),
                   "the piece lies inside the message");
        // A piece written from a text that holds it at its place reads back the same.
        std::vector<char> text(m.text_total);
        if (m.text_size > 0) std::memcpy(text.data() + m.text_offset, m.text, m.text_size);
        size_t written =
            write_welcome(m.seed, m.stamp, m.held, text.data(), text.size(), m.text_offset, out,
                          sizeof out);
        fuzz_check(written == size && std::memcmp(out, bytes.data(), size) == 0,
                   "a piece read writes back byte for byte");
        break;
    }
    case MSG_INPUT: {
        const InputMessage& in = m.input;
        fuzz_check(in.count >= 0 && in.count <= MAX_MESSAGE_FRAMES, "a frame count within bounds");
        fuzz_check(in.count == 0 || in.first > 0, "keys start at a frame above 0");
        size_t written = write_input(in, in.base_held, out, sizeof out);
        fuzz_check(written > 0, "a message read writes back");
        Message again;
        fuzz_check(read_message(out, written, again), "what was written reads back");
        fuzz_check(again.input.count == in.count && again.input.first == in.first &&
                       again.input.ack == in.ack && again.input.sum == in.sum &&
                       again.input.advantage == in.advantage && again.input.delay == in.delay &&
                       again.input.round_trip == in.round_trip,
                   "the same header reads back");
        for (int i = 0; i < in.count; ++i)
            fuzz_check(again.input.keys[i] == in.keys[i], "the same keys read back");
        break;
    }
    case MSG_BYE:
        fuzz_check(m.reason <= BYE_VERSION, "a known reason");
        break;
    default: break;
    }
    return 0;
}
