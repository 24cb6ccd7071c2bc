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

struct IniText {
    std::string text;
    std::string section;
};

void add_setting(const char* section, const char* key, const void* value, bool is_int, void* user) {
    IniText& ini = *static_cast<IniText*>(user);
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
    seed_ = options.host ? (options.seed != 0 ? options.seed : clock_seed()) : 0;
    last_heard_ms_ = link_->now_ms();
    return true;
}

std::string OnlinePlay::host_settings() {
    IniText ini;
    visit_settings(options_.settings, add_setting, &ini, true);
    return ini.text;
}

void OnlinePlay::send(const uint8_t* data, size_t size, bool reliable) {
    if (link_ && size > 0) link_->send(data, size, reliable);
}

void OnlinePlay::pump(int timeout_ms) {
    if (!link_ || phase_ == PHASE_ENDED) return;
    size_t size = 0;
    for (int i = 0; i < 256 && phase_ != PHASE_ENDED; ++i) {
        NetEvent event = link_->service(i == 0 ? timeout_ms : 0, in_, sizeof in_, size);
        if (event == NET_NONE) break;
        if (event == NET_CONNECTED) {
            connected_ = true;
            last_heard_ms_ = link_->now_ms();
            if (side_ == 1) send(out_, write_hello(out_, sizeof out_), true);
        } else if (event == NET_RECEIVED) {
            last_heard_ms_ = link_->now_ms();
            on_message(in_, size);
        } else if (event == NET_DISCONNECTED) {
            if (greeted_)
                end("THE CONNECTION WAS LOST", -1, 0);
            else if (side_ == 1)
                end("NO GAME ANSWERED AT " + options_.address + ":" +
                        std::to_string(options_.port), -1, 0);
        }
        // A greeting finished: the caller begins before keys are read.
        if (greeted_ && !runner_) break;
    }
    if (phase_ == PHASE_ENDED) return;
    uint32_t now = link_->now_ms();
    if (greeted_ && now - last_heard_ms_ > SILENCE_LIMIT_MS) {
        end("THE CONNECTION WAS LOST", -1, 0);
        return;
    }
    // Keys go again while this side waits; running, every frame sends them.
    if (runner_ && now - last_sent_ms_ >= RESEND_MS) send_keys();
}

void OnlinePlay::on_message(const uint8_t* data, size_t size) {
    if (!read_message(data, size, incoming_)) {
        end("THE OTHER PLAYER SENT DATA THIS GAME CANNOT READ", BYE_BAD_DATA, 0);
        return;
    }
    const Message& m = incoming_;
    switch (m.type) {
    case MSG_HELLO:
        if (side_ != 0 || greeted_) return;
        if (m.version != PROTOCOL_VERSION) {
            end("THE OTHER PLAYER HAS ANOTHER VERSION OF THE GAME", BYE_VERSION, 0);
            return;
        }
        settings_text_ = host_settings();
        send(out_, write_welcome(seed_, settings_text_.data(), settings_text_.size(), out_, sizeof out_),
             true);
        greeted_ = true;
        phase_ = PHASE_PLAYING;
        break;
    case MSG_WELCOME:
        if (side_ != 1 || greeted_) return;
        if (m.version != PROTOCOL_VERSION) {
            end("THE HOST HAS ANOTHER VERSION OF THE GAME", BYE_VERSION, 0);
            return;
        }
        seed_ = m.seed;
        settings_text_.assign(reinterpret_cast<const char*>(m.text), m.text_size);
        // The host's values, read over the defaults a missing key would have.
        options_.settings = default_settings();
        read_settings_text(options_.settings, settings_text_);
        greeted_ = true;
        phase_ = PHASE_PLAYING;
        break;
    case MSG_INPUT:
        if (runner_) on_input(m.input);
        break;
    case MSG_BYE:
        switch (m.reason) {
        case BYE_LEFT: end("THE OTHER PLAYER LEFT", -1, 0); break;
        case BYE_DESYNC:
            end("DESYNC AT FRAME " + frame_words(m.frame) + ": THE GAMES WENT APART", -1, 0);
            break;
        case BYE_BAD_DATA: end("THE OTHER PLAYER COULD NOT READ OUR DATA", -1, 0); break;
        case BYE_VERSION: end("THE OTHER PLAYER HAS ANOTHER VERSION OF THE GAME", -1, 0); break;
        }
        break;
    }
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
    for (int i = 0; i < options_.input_delay; ++i) add_local(released);
    for (int f = 1; f <= PROLOGUE_FRAMES; ++f) rollback_.run_next();
    last_heard_ms_ = link_->now_ms();
    send_keys();
}

void OnlinePlay::add_local(const KeyFrame& keys) {
    rollback_.add_local(rollback_.local_known() + 1, keys);
}

bool OnlinePlay::wants_local() const {
    return rollback_.local_known() < rollback_.frame() + 1 + options_.input_delay;
}

bool OnlinePlay::step() {
    if (phase_ != PHASE_PLAYING || !runner_ || quit_asked_ || remote_ended_ != 0) return false;
    if (!rollback_.can_run()) return false;
    rollback_.run_next();
    send_keys();
    return true;
}

void OnlinePlay::send_keys() {
    if (!link_ || !connected_ || phase_ != PHASE_PLAYING || !runner_) return;
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
    if (link_ && bye_reason >= 0 && connected_) {
        send(out_, write_bye(static_cast<ByeReason>(bye_reason), frame, out_, sizeof out_), true);
    }
    if (link_) link_->close(bye_reason >= 0 ? 500 : 0);
}

void OnlinePlay::leave() {
    if (phase_ == PHASE_ENDED) return;
    end("YOU LEFT THE ONLINE GAME", BYE_LEFT, 0);
}
