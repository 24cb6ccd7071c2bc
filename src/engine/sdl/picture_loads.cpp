#include "engine/sdl/picture_loads.h"

#include <SDL_image.h>
#include <zlib.h>

#include <utility>

namespace {

uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

} // namespace

bool png_whole(const uint8_t* data, size_t size, int* w, int* h) {
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (!data || size < 8 || SDL_memcmp(data, kSignature, 8) != 0) return false;
    size_t at = 8;
    bool header = false, image = false;
    while (size - at >= 12) {
        uint32_t length = be32(data + at);
        if (length > size - at - 12) return false; // cut short
        const uint8_t* type = data + at + 4;
        if (crc32(0, type, static_cast<uInt>(length) + 4) != be32(type + 4 + length)) return false;
        bool is_header = SDL_memcmp(type, "IHDR", 4) == 0;
        if (is_header != (at == 8)) return false; // the header comes first, once
        if (is_header) {
            if (length != 13) return false;
            uint32_t width = be32(type + 4), height = be32(type + 8);
            if (width == 0 || height == 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF)
                return false;
            *w = static_cast<int>(width);
            *h = static_cast<int>(height);
            header = true;
        }
        if (SDL_memcmp(type, "IDAT", 4) == 0) image = true;
        if (SDL_memcmp(type, "IEND", 4) == 0) return header && image;
        at += 12 + length;
    }
    return false; // no end chunk
}

namespace {

SDL_Surface* as_argb(SDL_Surface* loaded) {
    if (!loaded) return nullptr;
    SDL_Surface* image = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(loaded);
    return image;
}

} // namespace

SDL_Surface* decode_picture(SDL_RWops* rw) {
    return as_argb(rw ? IMG_Load_RW(rw, 1) : nullptr);
}

struct PictureLoads::Job {
    enum State { QUEUED, DECODING, DONE };
    State state = QUEUED;
    std::vector<uint8_t> bytes; // dropped once decoded
    SDL_Surface* image = nullptr;
    Job() = default;
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;
    ~Job() {
        if (image) SDL_FreeSurface(image); // a picture freed before it was taken
    }
    SDL_Surface* decode() const {
        if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
        // Known to be a PNG: the other kinds' decoders are not even asked.
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
        if (!rw) return nullptr;
        SDL_Surface* loaded = IMG_LoadPNG_RW(rw);
        SDL_RWclose(rw);
        return as_argb(loaded);
    }
};

std::shared_ptr<PictureLoads::Job> PictureLoads::add(std::vector<uint8_t> bytes) {
    auto job = std::make_shared<Job>();
    job->bytes = std::move(bytes);
    std::lock_guard<std::mutex> lock(m_);
    queue_.push_back(job);
    // Without a thread, take decodes every picture itself.
    if (!thread_) thread_ = SDL_CreateThread(run, "picture decode", this);
    cv_.notify_one();
    return job;
}

int PictureLoads::run(void* self) {
    PictureLoads& loads = *static_cast<PictureLoads*>(self);
    std::unique_lock<std::mutex> lock(loads.m_);
    for (;;) {
        loads.cv_.wait(lock,
                       [&] { return loads.stopping_ || (!loads.held_ && !loads.queue_.empty()); });
        if (loads.stopping_) return 0;
        std::shared_ptr<Job> job = std::move(loads.queue_.front());
        loads.queue_.pop_front();
        if (job->state != Job::QUEUED) continue; // taken meanwhile
        job->state = Job::DECODING;
        lock.unlock();
        SDL_Surface* image = job->decode();
        lock.lock();
        job->image = image;
        job->state = Job::DONE;
        std::vector<uint8_t>().swap(job->bytes);
        loads.cv_.notify_all();
    }
}

bool PictureLoads::done(const Job& job) {
    std::lock_guard<std::mutex> lock(m_);
    return job.state == Job::DONE || (job.state == Job::QUEUED && !thread_);
}

SDL_Surface* PictureLoads::take(Job& job) {
    std::unique_lock<std::mutex> lock(m_);
    if (job.state == Job::QUEUED) {
        job.state = Job::DECODING; // the thread passes it by
        lock.unlock();
        SDL_Surface* image = job.decode();
        lock.lock();
        job.image = image;
        job.state = Job::DONE;
        std::vector<uint8_t>().swap(job.bytes);
    }
    cv_.wait(lock, [&] { return job.state == Job::DONE; });
    SDL_Surface* image = job.image;
    job.image = nullptr;
    return image;
}

void PictureLoads::hold(bool held) {
    std::lock_guard<std::mutex> lock(m_);
    held_ = held;
    cv_.notify_all();
}

void PictureLoads::stop() {
    SDL_Thread* thread = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_);
        stopping_ = true;
        thread = thread_;
        cv_.notify_all();
    }
    if (thread) SDL_WaitThread(thread, nullptr);
    std::lock_guard<std::mutex> lock(m_);
    thread_ = nullptr;
    stopping_ = false;
    queue_.clear();
}
