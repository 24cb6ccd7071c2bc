// Rollback: the game runs ahead on a guess of the other side's keys and,
// when the true keys differ, goes back to the last sure frame and runs the
// frames again. Frames count from 1; state 0 is the state at start.
#pragma once

#include <cstdint>

#include "online/keys.h"
#include "world/world.h"

const int MAX_PREDICTION = 8;  // frames run past the last known remote keys
const int MAX_INPUT_DELAY = 10;
const int INPUT_RING = 128;    // keys kept, both sides
const int STATE_RING = 16;     // saved states, more than a rollback reaches back

// Told of each frame once it is final: run with both sides' true keys, in order.
class FinalFrameObserver {
  public:
    virtual ~FinalFrameObserver() = default;
    // keys: the merged keyboard the frame saw; ended: the frame asked to end
    // the game (and changed nothing); sum: the checksum of the state after it.
    virtual void final_frame(long frame, const KeyFrame& keys, bool ended, uint32_t sum) = 0;
};

// Runs the game's frames for the rollback.
class FrameRunner {
  public:
    virtual ~FrameRunner() = default;
    // The game's world, which the rollback saves and puts back.
    virtual World& world() = 0;
    // One frame with the merged keys; silent when it runs again, so that its
    // sounds and feedback are not given twice. True: the game asked to end.
    virtual bool run_frame(const KeyFrame& keys, float dt, bool silent) = 0;
};

// The program's game (`app`): its world, whose events sound and show only the
// first time a frame runs.
class AppRunner final : public FrameRunner {
  public:
    World& world() override;
    bool run_frame(const KeyFrame& keys, float dt, bool silent) override;
};

class Rollback {
  public:
    // side 0 is the host, 1 the joiner. The runner's world stands where both
    // sides start.
    void start(int side, FrameRunner* runner, float dt, FinalFrameObserver* observer);

    long frame() const { return frame_; }
    long final_frame() const { return final_; }
    long local_known() const { return local_known_; }
    long remote_known() const { return remote_known_; }
    const KeyFrame& local_keys(long f) const { return local_[f % INPUT_RING]; }

    // The next frame's keys of this side. False when f is not the next.
    bool add_local(long f, const KeyFrame& keys);
    // The other side's keys of frame f; only the next unknown frame is taken
    // (messages repeat every unconfirmed frame, so nothing is lost).
    bool add_remote(long f, const KeyFrame& keys);
    // The next frame may run: its local keys are known and it is no further
    // than MAX_PREDICTION past the known remote keys.
    bool can_run() const;
    // Mends any wrong guess, then runs the next frame.
    void run_next();
    // Runs again the frames that a wrong guess spoilt, and reports finals.
    void settle();
    // Goes back to the last final frame, dropping the guessed ones after it.
    void restore_final();
    // Rollbacks done and frames run again, since start.
    long rollbacks() const { return rollbacks_; }
    long frames_rerun() const { return rerun_; }
    // Runs the last state ring_back frames back again with the keys it had:
    // for measuring and tests, the live state must come out the same.
    void rerun_last(int back);

  private:
    void run_frame(long f, bool silent);
    KeyFrame remote_for(long f) const;
    void report_finals();

    int side_ = 0;
    FrameRunner* runner_ = nullptr;
    float dt_ = 1.0f / 60.0f;
    FinalFrameObserver* observer_ = nullptr;
    long frame_ = 0, final_ = 0, local_known_ = 0, remote_known_ = 0, ran_ = 0;
    long redo_from_ = 0; // 0: nothing to mend
    long rollbacks_ = 0, rerun_ = 0;
    KeyFrame local_[INPUT_RING], remote_[INPUT_RING], used_[INPUT_RING], merged_[INPUT_RING];
    bool ended_[INPUT_RING] = {};
    uint32_t sums_[INPUT_RING] = {};
    bool summed_[INPUT_RING] = {}; // sums_ holds the frame's checksum
    long slot_frame_[STATE_RING] = {}; // the frame each saved state follows
    World states_[STATE_RING];         // saved copies of the world, kept with room to spare
};
