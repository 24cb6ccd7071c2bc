// Pictures decoded on a thread of their own, so that start-up does not wait
// for the ones its first frame does not show.
#pragma once

#include <SDL.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// Whether the bytes are a whole PNG file: signature, header first, chunks
// that reach the end with right checksums, image data and an end chunk. w and
// h get the image's size. Checked before a decode is left for later, so a
// bad file still fails where it is loaded.
bool png_whole(const uint8_t* data, size_t size, int* w, int* h);

// The picture read from rw (closed here) as ARGB8888, or nullptr.
SDL_Surface* decode_picture(SDL_RWops* rw);

class PictureLoads {
  public:
    struct Job;
    PictureLoads() = default;
    PictureLoads(const PictureLoads&) = delete;
    PictureLoads& operator=(const PictureLoads&) = delete;
    ~PictureLoads() { stop(); }

    // Queues a file's bytes; the thread starts with the first.
    std::shared_ptr<Job> add(std::vector<uint8_t> bytes);
    // Whether take would not have to wait for the thread.
    bool done(const Job& job);
    // The decoded picture, the caller's to free, or nullptr if it is bad. A
    // picture the thread has not begun is decoded here; one it is decoding
    // is waited for.
    SDL_Surface* take(Job& job);
    // Ends the thread after the decode in hand; take decodes what is left.
    void stop();
    // For tests: while held, the thread begins no decode, so take does it.
    void hold(bool held);

  private:
    static int run(void* self);

    std::mutex m_;
    std::condition_variable cv_;
    std::deque<std::shared_ptr<Job>> queue_;
    SDL_Thread* thread_ = nullptr;
    bool stopping_ = false;
    bool held_ = false;
};
