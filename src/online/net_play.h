// One online session over a NetLink: the greeting, the keys going both
// ways, rollback, the desync check and the end.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/net.h"
#include "online/protocol.h"
#include "online/rollback.h"

class Recorder;

const int DEFAULT_PORT = 6464;
const int DEFAULT_INPUT_DELAY = 2;
const int PROLOGUE_FRAMES = 2; // title -> menu, then TEAMWORK: the same on both sides
const float ONLINE_DT = 1.0f / 60.0f;
const uint32_t SILENCE_LIMIT_MS = 10000;
const uint32_t HELLO_EVERY_MS = 100; // the joiner greets again until it is answered
// The host's WELCOME goes again until keys come, after a usual round trip.
const uint32_t WELCOME_EVERY_MS = 250;

// The input delay for a round trip (ms): enough that the other side's keys are
// late by no more than prediction covers, keeping 60 frames a second.
int input_delay_for(int round_trip_ms);

struct OnlineOptions {
    bool host = true;
    std::string address = "127.0.0.1";
    int port = DEFAULT_PORT;
    int input_delay = -1; // frames; below 0 chosen from the round trip measured at the start
    int seed = 0; // the host's; 0 from the clock
    NetConditions net;
    Settings settings{}; // the host's settings file, which both sides play with
};

enum SessionPhase { PHASE_GREETING, PHASE_PLAYING, PHASE_ENDED };

class OnlinePlay : public FinalFrameObserver {
  public:
    OnlinePlay();
    ~OnlinePlay() override;

    // Listens or connects. False with error set.
    bool open(const OnlineOptions& options, std::string& error);
    // A host whose session has ended offers the game again on the same port:
    // phase() is PHASE_GREETING until the next player has greeted. False for
    // a joiner or a session that has not ended.
    bool listen_again();
    // Services the network for up to timeout_ms: greeting, keys, goodbye.
    // After the end it still finishes the goodbye and turns strangers away.
    // Once the greeting is done, phase() turns to PHASE_PLAYING and the
    // game stands at frame 0 of the session: call begin().
    void pump(int timeout_ms);
    SessionPhase phase() const { return phase_; }
    // The greeting is done: the joiner has the host's settings; the host has
    // heard the joiner begin, with the input delay it chose.
    bool greeted() const { return greeted_ && (side_ == 1 || joiner_began_); }
    // The round trip measured in the greeting, ms; -1 before.
    int round_trip_ms() const { return round_trip_; }
    // Frames a side's keys wait before they act.
    int input_delay() const { return input_delay_; }
    // The host begins when the joiner's first keys reach it, half a round
    // trip after the joiner began: the joiner holds that long, so neither stalls.
    int begin_wait_ms() const { return side_ == 1 && round_trip_ > 0 ? round_trip_ / 2 : 0; }
    int seed() const { return seed_; }
    // The host's settings as INI text (the joiner has it after the greeting).
    const std::string& settings_text() const { return settings_text_; }
    // The settings both sides play with: the host's file.
    const Settings& settings() const { return options_.settings; }

    // Resets the runner's world to the session's start and plays the
    // prologue. recorder, when set, gets every final frame.
    void begin(FrameRunner* runner, Recorder* recorder);
    // This side's keys for the next frame it adds (input delay frames ahead).
    void add_local(const KeyFrame& keys);
    // The next local frame may be added: not further ahead than the delay.
    bool wants_local() const;
    // Runs the next frame if it may; true when it ran.
    bool step();
    // Brings the live state up to date with all known keys.
    void settle() { rollback_.settle(); }
    // Sends this side's unconfirmed keys now.
    void send_keys();

    Rollback& rollback() { return rollback_; }
    long frame() const { return rollback_.frame(); }
    // This side leaves: says so to the peer and closes, without waiting.
    void leave();
    // Before the program exits: services the network until the goodbye is
    // confirmed or ms have passed.
    void linger(int ms);
    // After PHASE_ENDED: why, in the words the menu shows.
    const std::string& end_message() const { return end_message_; }
    // The local player asked to end the program (Escape in a final frame).
    bool quit_asked() const { return quit_asked_; }
    // The peer has every key of this side up to this frame.
    long acked() const { return acked_; }
    // Frames the local side runs ahead of the peer (half the difference of
    // both sides' views), for pacing a real-time loop.
    float ahead() const;
    uint64_t bytes_sent() const { return link_ ? link_->bytes_sent() : 0; }

    void final_frame(long frame, const KeyFrame& keys, bool ended, uint32_t sum) override;

  private:
    void on_message(const uint8_t* data, size_t size);
    void on_stranger(NetPeer from, const uint8_t* data, size_t size);
    void on_welcome(const Message& m);
    void send_welcome();
    void reset_session();
    void on_input(const InputMessage& m);
    void end(const std::string& message, int bye_reason, uint32_t frame);
    void check_sum(long frame);
    void send(const uint8_t* data, size_t size, bool reliable);
    void send_to(NetPeer to, const uint8_t* data, size_t size);
    std::string host_settings();

    OnlineOptions options_;
    std::unique_ptr<NetLink> link_;
    SessionPhase phase_ = PHASE_GREETING;
    NetPeer peer_ = 0; // the other player: the joiner's host, the host's greeted joiner
    std::vector<NetPeer> candidates_; // a joiner's connections to its host, greeting
    bool greeted_ = false;
    int side_ = 0;
    int seed_ = 0;
    std::string settings_text_;
    std::string end_message_;
    bool quit_asked_ = false;
    FrameRunner* runner_ = nullptr;
    Recorder* recorder_ = nullptr;
    Rollback rollback_;
    long acked_ = 0;          // the peer has our keys up to here
    long peer_frame_ = 0;     // the peer's frame count as last heard
    int peer_advantage_ = 0;
    uint32_t last_heard_ms_ = 0;
    uint32_t last_sent_ms_ = 0;
    uint32_t last_hello_ms_ = 0;
    uint32_t last_welcome_ms_ = 0;
    bool joiner_began_ = false; // the host has had keys from its joiner
    int round_trip_ = -1;
    int input_delay_ = DEFAULT_INPUT_DELAY;
    uint32_t hello_stamp_ = 0, hello_at_ = 0; // the newest HELLO's stamp, and when it came
    void note_hello(const Message& m);
    uint16_t held_since_hello() const {
        uint32_t held = link_->now_ms() - hello_at_;
        return static_cast<uint16_t>(held > 65535 ? 65535 : held);
    }
    // The joiner's WELCOME pieces as they come.
    std::string welcome_text_;
    std::vector<bool> welcome_got_;
    size_t welcome_missing_ = 0;
    int32_t welcome_seed_ = 0;
    long remote_ended_ = 0;   // a final frame ended by the peer's keys
    bool peer_left_ = false;  // said goodbye: frames its keys cover still run
    // Own and the peer's checksums of final frames, by frame.
    static const int SUM_RING = 256;
    long own_frame_[SUM_RING] = {};
    uint32_t own_sum_[SUM_RING] = {};
    long peer_frame_sum_[SUM_RING] = {};
    uint32_t peer_sum_[SUM_RING] = {};
    long last_final_ = 0;
    uint32_t last_final_sum_ = 0;
    uint8_t in_[MAX_MESSAGE];
    uint8_t out_[MAX_MESSAGE];
    InputMessage outgoing_;
    Message incoming_;
};
