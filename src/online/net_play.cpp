#include "online/net_play.h"

#include <cstdio>
#include <cstring>
#include <random>

#include "game/states.h"
#include "harness/recording.h"

namespace {

int clock_seed() {
    std::random_device device;
    int seed = static_cast<int>(device() & 0x7FFFFFFF);
    return seed == 0 ? 1 : seed;
}

// The values that differ from the defaults, which the joiner starts from:
// a greeting of a few lines, not the whole file again and again.
struct IniText {
    std::string text;
    std::string section;
    const Settings* values;
    Settings defaults;
};

void add_setting(const char* section, const char* key, const void* value, bool is_int, void* user) {
    IniText& ini = *static_cast<IniText*>(user);
    size_t at = static_cast<size_t>(static_cast<const char*>(value) -
                                    reinterpret_cast<const char*>(ini.values));
    if (std::memcmp(reinterpret_cast<const char*>(&ini.defaults) + at, value, 4) == 0) return;
    if (ini.section != section) {
        ini.section = section;
        ini.text += "[" + ini.section + "]\n";
    }
    char line[160];
    if (is_int)
        std::snprintf(line, sizeof line, "%s=%d\n", key, *static_cast<const int32_t*>(value));
    else
        std::snprintf(line, sizeof line, "%s=%.9g\n", key,
                      static_cast<double>(*static_cast<const float*>(value)));
    ini.text += line;
}

std::string frame_words(long frame) { return std::to_string(frame); }

const uint32_t RESEND_MS = 50;

} // namespace

OnlinePlay::OnlinePlay() = default;
OnlinePlay::~OnlinePlay() = default;

bool OnlinePlay::open(const OnlineOptions& options, std::string& error) {
    options_ = options;
    side_ = options.host ? 0 : 1;
    link_.reset(options.host ? net_listen(options.port, options.net, error)
                             : net_connect(options.address, options.port, options.net, error));
    if (!link_) return false;
    reset_session();
    return true;
}

void OnlinePlay::reset_session() {
    phase_ = PHASE_GREETING;
    peer_ = 0;
    greeted_ = false;
    seed_ = options_.host ? (options_.seed != 0 ? options_.seed : clock_seed()) : 0;
    settings_text_.clear();
    end_message_.clear();
    quit_asked_ = false;
    runner_ = nullptr;
    recorder_ = nullptr;
    acked_ = peer_frame_ = 0;
    peer_advantage_ = 0;
    last_heard_ms_ = last_sent_ms_ = last_hello_ms_ = link_->now_ms();
    remote_ended_ = 0;
    peer_left_ = false;
    for (int i = 0; i < SUM_RING; ++i) {
        own_frame_[i] = peer_frame_sum_[i] = 0;
        own_sum_[i] = peer_sum_[i] = 0;
    }
    last_final_ = 0;
    last_final_sum_ = 0;
    joiner_began_ = false;
    round_trip_ = -1;
    input_delay_ = options_.input_delay < 0 ? DEFAULT_INPUT_DELAY : options_.input_delay;
    hello_stamp_ = hello_at_ = 0;
    welcome_text_.clear();
    welcome_got_.clear();
    welcome_missing_ = 0;
    candidates_.clear();
}

bool OnlinePlay::listen_again() {
    if (!link_ || side_ != 0 || phase_ != PHASE_ENDED || !link_->listen_again()) return false;
    reset_session();
    return true;
}

std::string OnlinePlay::host_settings() {
    IniText ini{std::string(), std::string(), &options_.settings, default_settings()};
    visit_settings(options_.settings, add_setting, &ini, true);
    return ini.text;
}

void OnlinePlay::send(const uint8_t* data, size_t size, bool reliable) {
    if (link_ && peer_ != 0 && size > 0) link_->send(peer_, data, size, reliable);
}

void OnlinePlay::send_to(NetPeer to, const uint8_t* data, size_t size) {
    if (link_ && size > 0) link_->send(to, data, size, false);
}

void OnlinePlay::pump(int timeout_ms) {
    if (!link_) return;
    size_t size = 0;
    NetPeer from = 0;
    if (phase_ == PHASE_ENDED) {
        for (int i = 0; i < 256; ++i)
            if (link_->service(i == 0 ? timeout_ms : 0, in_, sizeof in_, size, from) == NET_NONE)
                break;
        return;
    }
    for (int i = 0; i < 256 && phase_ != PHASE_ENDED; ++i) {
        NetEvent event = link_->service(i == 0 ? timeout_ms : 0, in_, sizeof in_, size, from);
        if (event == NET_NONE) break;
        if (event == NET_CONNECTED) {
            // A host waits for the newcomer's HELLO; a joiner greets on each
            // connection to its host until the host answers on one.
            if (side_ == 1 && peer_ == 0) {
                candidates_.push_back(from);
                send_to(from, out_, write_hello(link_->now_ms(), out_, sizeof out_));
            }
        } else if (event == NET_RECEIVED) {
            if (peer_ != 0 && from == peer_) {
                last_heard_ms_ = link_->now_ms();
                on_message(in_, size);
            } else if (!greeted_) {
                on_stranger(from, in_, size);
            }
        } else if (event == NET_DISCONNECTED) {
            for (size_t c = 0; c < candidates_.size(); ++c)
                if (candidates_[c] == from)
                    candidates_.erase(candidates_.begin() + static_cast<long>(c));
            if (from == peer_ && greeted_)
                end("THE CONNECTION WAS LOST", -1, 0);
            else if (side_ == 1 && (from == peer_ || from == 0))
                end("NO GAME ANSWERED AT " + options_.address + ":" + std::to_string(options_.port),
                    -1, 0);
        } else if (event == NET_BUSY && side_ == 1) {
            end("THE HOST HAS ANOTHER PLAYER", -1, 0);
        }
        // A greeting finished: the caller begins before keys are read.
        if (greeted() && !runner_) break;
    }
    if (phase_ == PHASE_ENDED) return;
    uint32_t now = link_->now_ms();
    if (peer_ != 0 && now - last_heard_ms_ > SILENCE_LIMIT_MS) {
        end(greeted_
                ? "THE CONNECTION WAS LOST"
                : "NO GAME ANSWERED AT " + options_.address + ":" + std::to_string(options_.port),
            -1, 0);
        return;
    }
    // HELLO goes unreliably and again until WELCOME comes: ENet's doubling
    // resends would leave a greeting waiting for seconds under heavy loss.
    if (side_ == 1 && peer_ == 0 && now - last_hello_ms_ >= HELLO_EVERY_MS) {
        last_hello_ms_ = now;
        for (NetPeer c : candidates_) send_to(c, out_, write_hello(now, out_, sizeof out_));
    }
    if (side_ == 0 && greeted_ && !joiner_began_ && now - last_welcome_ms_ >= WELCOME_EVERY_MS)
        send_welcome();
    // Keys go again while this side waits; running, every frame sends them.
    if (runner_ && now - last_sent_ms_ >= RESEND_MS) send_keys();
}

// A connection not yet the session's. For a host, someone who has
// connected: a HELLO of our version makes the session; anything else turns
// them away and the game stays offered. For a joiner, one of its
// connections to the host: the first WELCOME makes it the session's.
void OnlinePlay::on_stranger(NetPeer from, const uint8_t* data, size_t size) {
    bool readable = read_message(data, size, incoming_);
    const Message& m = incoming_;
    if (side_ == 1) {
        if (!readable || m.type == MSG_WELCOME || m.type == MSG_BYE) {
            link_->choose(from);
            peer_ = from;
            candidates_.clear();
            last_heard_ms_ = link_->now_ms();
            on_message(data, size);
        }
        return; // keys of a session not begun yet
    }
    if (!readable) {
        link_->drop(from, out_, write_bye(BYE_BAD_DATA, 0, out_, sizeof out_));
        return;
    }
    if (m.type != MSG_HELLO) return;
    if (m.version != PROTOCOL_VERSION) {
        link_->drop(from, out_, write_bye(BYE_VERSION, 0, out_, sizeof out_));
        return;
    }
    link_->choose(from);
    peer_ = from;
    last_heard_ms_ = link_->now_ms();
    note_hello(m);
    settings_text_ = host_settings();
    send_welcome();
    greeted_ = true;
    phase_ = PHASE_PLAYING;
}

void OnlinePlay::on_message(const uint8_t* data, size_t size) {
    if (!read_message(data, size, incoming_)) {
        end("THE OTHER PLAYER SENT DATA THIS GAME CANNOT READ", BYE_BAD_DATA, 0);
        return;
    }
    const Message& m = incoming_;
    switch (m.type) {
    case MSG_HELLO: // WELCOME goes again on its own, answering the newest stamp
        if (side_ == 0 && m.version == PROTOCOL_VERSION) note_hello(m);
        break;
    case MSG_WELCOME:
        if (side_ != 1 || greeted_) return;
        if (m.version != PROTOCOL_VERSION) {
            end("THE HOST HAS ANOTHER VERSION OF THE GAME", BYE_VERSION, 0);
            return;
        }
        on_welcome(m);
        break;
    case MSG_INPUT:
        // The joiner has begun: it says how far apart the two are, and the
        // host plays with the input delay it chose from that.
        if (side_ == 0 && !joiner_began_) {
            joiner_began_ = true;
            round_trip_ = m.input.round_trip;
            if (options_.input_delay < 0) input_delay_ = m.input.delay;
        }
        if (runner_) on_input(m.input);
        break;
    case MSG_BYE:
        switch (m.reason) {
        case BYE_LEFT:
            end("THE OTHER PLAYER LEFT", -1, 0);
            peer_left_ = true;
            break;
        case BYE_DESYNC:
            end("DESYNC AT FRAME " + frame_words(m.frame) + ": THE GAMES WENT APART", -1, 0);
            break;
        case BYE_BAD_DATA: end("THE OTHER PLAYER COULD NOT READ OUR DATA", -1, 0); break;
        case BYE_VERSION: end("THE OTHER PLAYER HAS ANOTHER VERSION OF THE GAME", -1, 0); break;
        }
        break;
    }
}

void OnlinePlay::note_hello(const Message& m) {
    hello_stamp_ = m.stamp;
    hello_at_ = link_->now_ms();
}

int input_delay_for(int round_trip_ms) {
    // Keys from the other side come half a round trip late; the delay takes
    // what prediction cannot, with two frames for jitter to spare.
    int one_way = (round_trip_ms / 2 * 60 + 999) / 1000;
    int delay = one_way - MAX_PREDICTION + 2 + 1;
    return delay < DEFAULT_INPUT_DELAY ? DEFAULT_INPUT_DELAY
                                       : delay > MAX_INPUT_DELAY ? MAX_INPUT_DELAY : delay;
}

void OnlinePlay::on_welcome(const Message& m) {
    // Each piece answers a HELLO: the shortest round trip is the least disturbed.
    int sample = static_cast<int>(link_->now_ms() - m.stamp) - m.held;
    if (m.stamp != 0 && sample >= 0 && (round_trip_ < 0 || sample < round_trip_))
        round_trip_ = sample;
    size_t pieces = m.text_total == 0 ? 1 : (m.text_total + WELCOME_PIECE - 1) / WELCOME_PIECE;
    if (welcome_got_.empty() || welcome_text_.size() != m.text_total || welcome_seed_ != m.seed) {
        welcome_text_.assign(m.text_total, '\0');
        welcome_got_.assign(pieces, false);
        welcome_missing_ = pieces;
        welcome_seed_ = m.seed;
    }
    size_t piece = m.text_offset / WELCOME_PIECE;
    if (welcome_got_[piece]) return;
    welcome_got_[piece] = true;
    --welcome_missing_;
    welcome_text_.replace(m.text_offset, m.text_size, reinterpret_cast<const char*>(m.text),
                          m.text_size);
    if (welcome_missing_ > 0) return;
    seed_ = welcome_seed_;
    settings_text_ = welcome_text_;
    // The host's values, read over the defaults a missing key would have.
    options_.settings = default_settings();
    read_settings_text(options_.settings, settings_text_);
    if (options_.input_delay < 0) input_delay_ = input_delay_for(round_trip_ < 0 ? 0 : round_trip_);
    greeted_ = true;
    phase_ = PHASE_PLAYING;
}

void OnlinePlay::send_welcome() {
    last_welcome_ms_ = link_->now_ms();
    size_t total = settings_text_.size();
    for (size_t offset = 0; offset < total || offset == 0; offset += WELCOME_PIECE)
        send(out_,
             write_welcome(seed_, hello_stamp_, held_since_hello(), settings_text_.data(), total,
                           offset, out_, sizeof out_),
             false);
}

void OnlinePlay::on_input(const InputMessage& m) {
    long ack = static_cast<long>(m.ack);
    if (ack > acked_ && ack <= rollback_.local_known()) acked_ = ack;
    peer_frame_ = static_cast<long>(m.frame);
    peer_advantage_ = m.advantage;
    for (int i = 0; i < m.count; ++i) {
        long f = static_cast<long>(m.first) + i;
        if (f == rollback_.remote_known() + 1) rollback_.add_remote(f, m.keys[i]);
    }
    if (m.sum_frame > 0) {
        long f = static_cast<long>(m.sum_frame);
        peer_frame_sum_[f % SUM_RING] = f;
        peer_sum_[f % SUM_RING] = m.sum;
        check_sum(f);
    }
}

void OnlinePlay::check_sum(long f) {
    int i = static_cast<int>(f % SUM_RING);
    if (own_frame_[i] == f && peer_frame_sum_[i] == f && own_sum_[i] != peer_sum_[i])
        end("DESYNC AT FRAME " + frame_words(f) + ": THE GAMES WENT APART", BYE_DESYNC,
            static_cast<uint32_t>(f));
}

void OnlinePlay::final_frame(long frame, const KeyFrame& keys, bool ended, uint32_t sum) {
    int i = static_cast<int>(frame % SUM_RING);
    own_frame_[i] = frame;
    own_sum_[i] = sum;
    last_final_ = frame;
    last_final_sum_ = sum;
    if (recorder_) {
        recorder_->before_frame(keys, ONLINE_DT);
        recorder_->after_frame(ended);
    }
    if (ended && !quit_asked_ && remote_ended_ == 0) {
        const KeyFrame& mine = rollback_.local_keys(frame);
        if (mine.went_down(HGEK_ESCAPE) || mine.is_held(HGEK_ESCAPE))
            quit_asked_ = true;
        else
            remote_ended_ = frame;
    }
    check_sum(frame);
}

void OnlinePlay::begin(FrameRunner* runner, Recorder* recorder) {
    runner_ = runner;
    recorder_ = recorder;
    World& w = runner->world();
    new_world(w, options_.settings, static_cast<uint32_t>(seed_), w.screen_width, w.screen_height);
    w.online = true;
    rollback_.start(side_, runner, ONLINE_DT, this);
    // Both sides open on the same two frames: any key leaves the title, F1 picks TEAMWORK.
    KeyFrame enter, f1, none;
    apply_key_change(enter, HGEK_ENTER, true);
    f1 = held_only(enter);
    apply_key_change(f1, HGEK_ENTER, false);
    apply_key_change(f1, HGEK_F1, true);
    const KeyFrame* host_keys[PROLOGUE_FRAMES] = {&enter, &f1};
    for (int f = 1; f <= PROLOGUE_FRAMES; ++f) {
        rollback_.add_local(f, side_ == 0 ? *host_keys[f - 1] : none);
        rollback_.add_remote(f, side_ == 0 ? none : *host_keys[f - 1]);
    }
    acked_ = PROLOGUE_FRAMES;
    KeyFrame released = side_ == 0 ? held_only(f1) : none;
    for (int i = 0; i < input_delay_; ++i) add_local(released);
    for (int f = 1; f <= PROLOGUE_FRAMES; ++f) rollback_.run_next();
    last_heard_ms_ = link_->now_ms();
    send_keys();
}

void OnlinePlay::add_local(const KeyFrame& keys) {
    rollback_.add_local(rollback_.local_known() + 1, keys);
}

bool OnlinePlay::wants_local() const {
    return rollback_.local_known() < rollback_.frame() + 1 + input_delay_;
}

bool OnlinePlay::step() {
    if (!runner_ || quit_asked_ || remote_ended_ != 0) return false;
    // A peer that left sent its keys before its goodbye; the frames they
    // cover are the same game on both sides and still run.
    bool sure_only = phase_ == PHASE_ENDED && peer_left_;
    if (phase_ != PHASE_PLAYING && !sure_only) return false;
    if (!rollback_.can_run() || (sure_only && rollback_.frame() + 1 > rollback_.remote_known()))
        return false;
    rollback_.run_next();
    send_keys();
    return true;
}

void OnlinePlay::send_keys() {
    if (!link_ || peer_ == 0 || phase_ != PHASE_PLAYING || !runner_) return;
    InputMessage& m = outgoing_;
    m.ack = static_cast<uint32_t>(rollback_.remote_known());
    m.frame = static_cast<uint32_t>(rollback_.frame());
    m.advantage = static_cast<int32_t>(rollback_.frame() - peer_frame_);
    long first = acked_ + 1;
    long count = rollback_.local_known() - acked_;
    if (count > MAX_MESSAGE_FRAMES) count = MAX_MESSAGE_FRAMES;
    if (count < 0) count = 0;
    m.first = count > 0 ? static_cast<uint32_t>(first) : 0;
    m.count = static_cast<int>(count);
    for (int i = 0; i < m.count; ++i) m.keys[i] = rollback_.local_keys(first + i);
    m.sum_frame = static_cast<uint32_t>(last_final_);
    m.sum = last_final_sum_;
    m.delay = static_cast<uint8_t>(input_delay_);
    m.round_trip = static_cast<uint16_t>(round_trip_ < 0 ? 0 : round_trip_ > 1020 ? 1020 : round_trip_);
    static const uint8_t none[32] = {};
    const uint8_t* base = first > 1 ? rollback_.local_keys(first - 1).held : none;
    send(out_, write_input(m, base, out_, sizeof out_), false);
    last_sent_ms_ = link_->now_ms();
}

float OnlinePlay::ahead() const {
    float mine = static_cast<float>(rollback_.frame() - peer_frame_);
    return (mine - static_cast<float>(peer_advantage_)) / 2.0f;
}

void OnlinePlay::end(const std::string& message, int bye_reason, uint32_t frame) {
    if (phase_ == PHASE_ENDED) return;
    phase_ = PHASE_ENDED;
    end_message_ = message;
    if (link_ && peer_ != 0) {
        size_t size = bye_reason >= 0
                          ? write_bye(static_cast<ByeReason>(bye_reason), frame, out_, sizeof out_)
                          : 0;
        link_->drop(peer_, out_, size); // finished by later pumps, never waited for
    }
    if (link_)
        for (NetPeer c : candidates_) link_->drop(c, nullptr, 0);
    candidates_.clear();
    peer_ = 0;
}

void OnlinePlay::linger(int ms) {
    if (!link_) return;
    uint32_t start = link_->now_ms();
    while (link_->leaving() && static_cast<int>(link_->now_ms() - start) < ms) pump(5);
}

void OnlinePlay::leave() {
    if (phase_ == PHASE_ENDED) return;
    end("YOU LEFT THE ONLINE GAME", BYE_LEFT, 0);
}
