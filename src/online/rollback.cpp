#include "online/rollback.h"

#include "game/states.h"
#include "main/app.h"
#include "world/checksum.h"

World& AppRunner::world() {
    return app.world;
}

bool AppRunner::run_frame(const KeyFrame& keys, float dt, bool silent) {
    bool ended = simulate(app.world, keys, dt);
    if (!silent) take_events(app, dt);
    return ended;
}

void Rollback::start(int side, FrameRunner* runner, float dt, FinalFrameObserver* observer) {
    side_ = side;
    runner_ = runner;
    dt_ = dt;
    observer_ = observer;
    frame_ = final_ = local_known_ = remote_known_ = ran_ = 0;
    redo_from_ = 0;
    rollbacks_ = rerun_ = 0;
    for (int i = 0; i < INPUT_RING; ++i) {
        local_[i] = remote_[i] = used_[i] = merged_[i] = KeyFrame();
        ended_[i] = false;
        sums_[i] = 0;
        summed_[i] = false;
    }
    for (long& f : slot_frame_) f = 0;
    for (World& s : states_) reserve_world(s);
    states_[0] = runner_->world();
}

bool Rollback::add_local(long f, const KeyFrame& keys) {
    if (f != local_known_ + 1) return false;
    local_[f % INPUT_RING] = keys;
    local_known_ = f;
    return true;
}

bool Rollback::add_remote(long f, const KeyFrame& keys) {
    // Far ahead of this side's frames is more than the ring can hold.
    if (f != remote_known_ + 1 || f > frame_ + INPUT_RING / 2) return false;
    remote_[f % INPUT_RING] = keys;
    remote_known_ = f;
    if (f <= frame_ && used_[f % INPUT_RING] != keys && (redo_from_ == 0 || f < redo_from_))
        redo_from_ = f;
    return true;
}

bool Rollback::can_run() const {
    return local_known_ > frame_ && frame_ + 1 <= remote_known_ + MAX_PREDICTION;
}

KeyFrame Rollback::remote_for(long f) const {
    if (f <= remote_known_) return remote_[f % INPUT_RING];
    // The last known keys stay held.
    return remote_known_ > 0 ? held_only(remote_[remote_known_ % INPUT_RING]) : KeyFrame();
}

void Rollback::run_frame(long f, bool silent) {
    KeyFrame remote = remote_for(f);
    const KeyFrame& local = local_[f % INPUT_RING];
    static const KeyFrame nothing;
    const uint8_t* prev_held = f > 1 ? merged_[(f - 1) % INPUT_RING].held : nothing.held;
    KeyFrame& merged = merged_[f % INPUT_RING];
    const World& w = runner_->world();
    if (side_ == 0)
        merge_keys(w, local, remote, prev_held, merged);
    else
        merge_keys(w, remote, local, prev_held, merged);
    used_[f % INPUT_RING] = remote;
    ended_[f % INPUT_RING] = runner_->run_frame(merged, dt_, silent);
    // The checksum waits until the frame is final, so frames run again are not hashed; a
    // state about to be overwritten while its frame is not final yet is hashed first.
    World& slot = states_[f % STATE_RING];
    long held = slot_frame_[f % STATE_RING];
    if (held != f && held > final_ && !summed_[held % INPUT_RING]) {
        sums_[held % INPUT_RING] = world_checksum(slot);
        summed_[held % INPUT_RING] = true;
    }
    slot = runner_->world();
    slot_frame_[f % STATE_RING] = f;
    summed_[f % INPUT_RING] = false;
    if (f > ran_) ran_ = f;
}

void Rollback::settle() {
    if (redo_from_ != 0 && redo_from_ <= frame_) {
        runner_->world() = states_[(redo_from_ - 1) % STATE_RING];
        ++rollbacks_;
        for (long f = redo_from_; f <= frame_; ++f) {
            run_frame(f, true);
            ++rerun_;
        }
    }
    redo_from_ = 0;
    report_finals();
}

void Rollback::run_next() {
    settle();
    long f = frame_ + 1;
    run_frame(f, f <= ran_);
    frame_ = f;
    report_finals();
}

void Rollback::rerun_last(int back) {
    if (back < 1 || back >= STATE_RING || back > frame_) return;
    runner_->world() = states_[(frame_ - back) % STATE_RING];
    ++rollbacks_;
    for (long f = frame_ - back + 1; f <= frame_; ++f) {
        run_frame(f, true);
        ++rerun_;
    }
}

void Rollback::report_finals() {
    long limit = remote_known_ < frame_ ? remote_known_ : frame_;
    if (redo_from_ != 0 && redo_from_ - 1 < limit) limit = redo_from_ - 1;
    while (final_ < limit) {
        long f = ++final_;
        if (!summed_[f % INPUT_RING]) {
            sums_[f % INPUT_RING] = world_checksum(states_[f % STATE_RING]);
            summed_[f % INPUT_RING] = true;
        }
        if (observer_)
            observer_->final_frame(f, merged_[f % INPUT_RING], ended_[f % INPUT_RING],
                                   sums_[f % INPUT_RING]);
    }
}

void Rollback::restore_final() {
    settle();
    if (final_ == frame_) return;
    runner_->world() = states_[final_ % STATE_RING];
    frame_ = final_;
}
