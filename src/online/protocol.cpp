#include "online/protocol.h"

#include <cstring>

namespace {

const uint16_t NO_SUM = 0xFFFF;
const uint8_t FLAG_DOWN = 1, FLAG_UP = 2, FLAG_HELD = 4, FLAG_LAST = 8;
// A key that went down and typed a letter, which follows as one byte: the
// letters the sender's layout printed, at no cost when none was typed.
const uint8_t FLAG_TYPED = 16;

class Writer {
  public:
    Writer(uint8_t* out, size_t capacity) : out_(out), capacity_(capacity) {}
    void u8(uint8_t v) {
        if (size_ < capacity_) out_[size_] = v;
        ++size_;
    }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) u8(static_cast<uint8_t>(v >> (8 * i)));
    }
    void bytes(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        for (size_t i = 0; i < n; ++i) u8(b[i]);
    }
    size_t done() const { return size_ <= capacity_ ? size_ : 0; }

  private:
    uint8_t* out_;
    size_t capacity_;
    size_t size_ = 0;
};

class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool u8(uint8_t& v) {
        if (at_ >= size_) return false;
        v = data_[at_++];
        return true;
    }
    bool u16(uint16_t& v) {
        uint8_t lo, hi;
        if (!u8(lo) || !u8(hi)) return false;
        v = static_cast<uint16_t>(lo | hi << 8);
        return true;
    }
    bool u32(uint32_t& v) {
        if (size_ - at_ < 4 || at_ > size_) return false;
        v = 0;
        for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(data_[at_ + i]) << (8 * i);
        at_ += 4;
        return true;
    }
    const uint8_t* take(size_t n) {
        if (n > size_ - at_) return nullptr;
        const uint8_t* p = data_ + at_;
        at_ += n;
        return p;
    }
    bool at_end() const { return at_ == size_; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The keys that changed or have an edge, against the held keys before; each
// letter typed rides on one of the keys that went down.
int frame_entries(const KeyFrame& k, const uint8_t prev_held[32]) {
    int count = 0;
    for (int key = 1; key < 256; ++key)
        if (k.went_down(key) || k.went_up(key) || k.is_held(key) != KeyFrame::bit(prev_held, key) ||
            key == k.last_key)
            ++count;
    return count;
}

// A frame with entries; frames where nothing happened go as runs.
void write_frame(Writer& w, const KeyFrame& k, const uint8_t prev_held[32], int count) {
    uint32_t letters = k.letters;
    w.u8(static_cast<uint8_t>(count));
    for (int key = 1; key < 256; ++key) {
        bool held = k.is_held(key);
        if (!(k.went_down(key) || k.went_up(key) || held != KeyFrame::bit(prev_held, key) ||
              key == k.last_key))
            continue;
        int letter = -1;
        if (k.went_down(key) && letters != 0) {
            letter = 0;
            while (!(letters >> letter & 1u)) ++letter;
            letters &= ~(1u << letter);
        }
        w.u8(static_cast<uint8_t>(key));
        w.u8(static_cast<uint8_t>((k.went_down(key) ? FLAG_DOWN : 0) | (k.went_up(key) ? FLAG_UP : 0) |
                                  (held ? FLAG_HELD : 0) | (key == k.last_key ? FLAG_LAST : 0) |
                                  (letter >= 0 ? FLAG_TYPED : 0)));
        if (letter >= 0) w.u8(static_cast<uint8_t>('A' + letter));
    }
}

bool read_frame(Reader& r, KeyFrame& k, const uint8_t prev_held[32], uint8_t count) {
    k = KeyFrame();
    std::memcpy(k.held, prev_held, sizeof k.held);
    for (int i = 0; i < count; ++i) {
        uint8_t key, flags;
        if (!r.u8(key) || !r.u8(flags) || key == 0 || flags > 31) return false;
        if (flags & FLAG_TYPED) {
            uint8_t letter;
            if (!(flags & FLAG_DOWN) || !r.u8(letter) || letter < 'A' || letter > 'Z') return false;
            k.set_typed(letter, true);
        }
        KeyFrame::set(k.down, key, flags & FLAG_DOWN);
        KeyFrame::set(k.up, key, flags & FLAG_UP);
        KeyFrame::set(k.held, key, flags & FLAG_HELD);
        if (flags & FLAG_LAST) k.last_key = key;
    }
    return true;
}

bool read_input(Reader& r, InputMessage& m) {
    // Frame numbers go as the sender's frame and short distances back from it.
    uint8_t advantage, count, held_count;
    uint16_t ack_back, first_back, sum_back;
    uint8_t round_trip4;
    if (!r.u32(m.frame) || !r.u8(advantage) || !r.u16(ack_back) || !r.u16(first_back) ||
        !r.u8(count) || !r.u16(sum_back) || !r.u32(m.sum) || !r.u8(m.delay) ||
        !r.u8(round_trip4) || !r.u8(held_count))
        return false;
    m.round_trip = static_cast<uint16_t>(round_trip4 * 4);
    m.advantage = static_cast<int8_t>(advantage);
    // Frames count far below 2^31, so nothing below can wrap.
    if (m.frame > 0x40000000u) return false;
    int64_t ack = static_cast<int64_t>(m.frame) - static_cast<int16_t>(ack_back);
    int64_t first = static_cast<int64_t>(m.frame) - static_cast<int16_t>(first_back);
    if (ack < 0 || (count > 0 && first < 1) || count > MAX_MESSAGE_FRAMES) return false;
    m.ack = static_cast<uint32_t>(ack);
    m.first = count > 0 ? static_cast<uint32_t>(first) : 0;
    if (sum_back == NO_SUM) {
        m.sum_frame = 0;
    } else {
        if (sum_back >= m.frame) return false;
        m.sum_frame = m.frame - sum_back;
    }
    m.count = count;
    uint8_t held[32] = {};
    for (int i = 0; i < held_count; ++i) {
        uint8_t key;
        if (!r.u8(key) || key == 0) return false;
        KeyFrame::set(held, key, true);
    }
    std::memcpy(m.base_held, held, sizeof held);
    for (int i = 0; i < count;) {
        uint8_t entries, run = 1;
        if (!r.u8(entries)) return false;
        if (entries == 0 && (!r.u8(run) || run == 0 || run > count - i)) return false;
        for (int end = i + run; i < end; ++i) {
            if (!read_frame(r, m.keys[i], held, entries)) return false;
            std::memcpy(held, m.keys[i].held, sizeof held);
        }
    }
    return true;
}

} // namespace

size_t write_hello(uint32_t stamp, uint8_t* out, size_t capacity) {
    Writer w(out, capacity);
    w.u8(MSG_HELLO);
    w.u8(PROTOCOL_VERSION);
    w.u32(stamp);
    return w.done();
}

size_t write_welcome(int32_t seed, uint32_t stamp, uint16_t held, const char* text,
                     size_t text_size, size_t offset, uint8_t* out, size_t capacity) {
    if (text_size > MAX_SETTINGS_TEXT || offset % WELCOME_PIECE != 0 ||
        (offset >= text_size && !(offset == 0 && text_size == 0)))
        return 0;
    size_t piece = text_size - offset < WELCOME_PIECE ? text_size - offset : WELCOME_PIECE;
    Writer w(out, capacity);
    w.u8(MSG_WELCOME);
    w.u8(PROTOCOL_VERSION);
    w.u32(stamp);
    w.u16(held);
    w.u32(static_cast<uint32_t>(seed));
    w.u32(static_cast<uint32_t>(text_size));
    w.u32(static_cast<uint32_t>(offset));
    w.u16(static_cast<uint16_t>(piece));
    w.bytes(text + offset, piece);
    return w.done();
}

size_t write_input(const InputMessage& m, const uint8_t base_held[32], uint8_t* out,
                   size_t capacity) {
    if (m.count < 0 || m.count > MAX_MESSAGE_FRAMES) return 0;
    Writer w(out, capacity);
    // What does not fit the short distances cannot be sent.
    int64_t ack_back = static_cast<int64_t>(m.frame) - m.ack;
    int64_t first_back = m.count > 0 ? static_cast<int64_t>(m.frame) - m.first : 0;
    int64_t sum_back = m.sum_frame > 0 ? static_cast<int64_t>(m.frame) - m.sum_frame : NO_SUM;
    if (ack_back < -32768 || ack_back > 32767 || first_back < -32768 || first_back > 32767 ||
        sum_back < 0 || sum_back > NO_SUM || (m.sum_frame > 0 && sum_back == NO_SUM) ||
        m.advantage < -128 || m.advantage > 127)
        return 0;
    w.u8(MSG_INPUT);
    w.u32(m.frame);
    w.u8(static_cast<uint8_t>(static_cast<int8_t>(m.advantage)));
    w.u16(static_cast<uint16_t>(static_cast<int16_t>(ack_back)));
    w.u16(static_cast<uint16_t>(static_cast<int16_t>(first_back)));
    w.u8(static_cast<uint8_t>(m.count));
    w.u16(static_cast<uint16_t>(sum_back));
    w.u32(m.sum);
    w.u8(m.delay);
    w.u8(static_cast<uint8_t>(m.round_trip >= 1020 ? 255 : (m.round_trip + 3) / 4));
    // The held keys before the first frame, so each message reads alone.
    uint8_t held_count = 0;
    for (int key = 1; key < 256; ++key)
        if (KeyFrame::bit(base_held, key)) ++held_count;
    w.u8(held_count);
    for (int key = 1; key < 256; ++key)
        if (KeyFrame::bit(base_held, key)) w.u8(static_cast<uint8_t>(key));
    // Most frames change nothing: a run of them costs two bytes, which keeps
    // a message small when a long round trip leaves many frames unacknowledged.
    const uint8_t* held = base_held;
    for (int i = 0; i < m.count;) {
        int count = frame_entries(m.keys[i], held);
        if (count > 0) {
            write_frame(w, m.keys[i], held, count);
            held = m.keys[i++].held;
            continue;
        }
        int run = 1;
        while (i + run < m.count && run < 255 && frame_entries(m.keys[i + run], held) == 0) ++run;
        w.u8(0);
        w.u8(static_cast<uint8_t>(run));
        i += run;
    }
    return w.done();
}

size_t write_bye(ByeReason reason, uint32_t frame, uint8_t* out, size_t capacity) {
    Writer w(out, capacity);
    w.u8(MSG_BYE);
    w.u8(reason);
    w.u32(frame);
    return w.done();
}

bool read_message(const uint8_t* data, size_t size, Message& out) {
    if (!data || size == 0 || size > MAX_MESSAGE) return false;
    Reader r(data, size);
    uint8_t type = 0;
    r.u8(type);
    out.type = static_cast<MessageType>(type);
    switch (type) {
    case MSG_HELLO:
        if (!r.u8(out.version)) return false;
        if (out.version != PROTOCOL_VERSION) return true; // the rest is another version's
        if (!r.u32(out.stamp)) return false;
        break;
    case MSG_WELCOME: {
        uint32_t seed, total, offset;
        uint16_t piece;
        if (!r.u8(out.version)) return false;
        if (out.version != PROTOCOL_VERSION) return true;
        if (!r.u32(out.stamp) || !r.u16(out.held) || !r.u32(seed) || !r.u32(total) || !r.u32(offset) || !r.u16(piece)) return false;
        // Whole pieces only, each in its place, so that pieces fit together.
        size_t whole = total - offset < WELCOME_PIECE ? total - offset : WELCOME_PIECE;
        if (total > MAX_SETTINGS_TEXT || offset % WELCOME_PIECE != 0 ||
            (offset >= total && !(offset == 0 && total == 0)) || piece != whole)
            return false;
        out.seed = static_cast<int32_t>(seed);
        out.text_total = total;
        out.text_offset = offset;
        out.text = r.take(piece);
        out.text_size = piece;
        if (!out.text) return false;
        break;
    }
    case MSG_INPUT:
        if (!read_input(r, out.input)) return false;
        break;
    case MSG_BYE: {
        uint8_t reason;
        if (!r.u8(reason) || reason > BYE_VERSION || !r.u32(out.frame)) return false;
        out.reason = static_cast<ByeReason>(reason);
        break;
    }
    default: return false;
    }
    return r.at_end();
}
