#include <condition_variable>
#include <cstdio>
#include <mutex>

#include "engine/sdl/sdl_engine_impl.h"
#include "engine/sdl/startup_trace.h"

bool SdlEngine::open_mixer() {
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) return false;
    audio_open_ = true;
    Mix_AllocateChannels(kChannels);
    Uint16 format = 0;
    Mix_QuerySpec(&mix_freq_, &format, &mix_channels_);
    mix_bytes_ = SDL_AUDIO_BITSIZE(format) / 8;
    set_volume(volume_); // a reopened device keeps the player's volume
    return true;
}

void SdlEngine::set_volume(int volume) {
    volume_ = volume < 0 ? 0 : (volume > 100 ? 100 : volume);
    if (!audio_open_) return;
    Mix_Volume(-1, volume_ * MIX_MAX_VOLUME / 100);
    Mix_VolumeMusic(volume_ * MIX_MAX_VOLUME / 100);
}

void SdlEngine::Channel_PauseAll() {
    if (channels_paused_) return;
    channels_paused_ = true;
    if (!paused_) pause_sound(true);
}

void SdlEngine::Channel_ResumeAll() {
    if (!channels_paused_) return;
    channels_paused_ = false;
    if (!paused_) pause_sound(false);
}

namespace {

SDL_RWops* open_effect(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.size() > 0x7FFFFFFF) return nullptr;
    return bytes.empty() ? SDL_RWFromFile(path.c_str(), "rb")
                         : SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
}

Mix_Chunk* decode_whole(const std::string& path, const std::vector<uint8_t>& bytes) {
    SDL_RWops* rw = open_effect(path, bytes);
    if (!rw) return nullptr;
    // Closed here: the mixer leaks the stream of some files it rejects.
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 0);
    SDL_RWclose(rw);
    return chunk;
}

} // namespace

// Lets a test hold decodes back, so that it knows which effects are still
// decoding. Whoever must wait for a decode opens it again.
struct SdlEngine::DecodeGate {
    std::mutex m;
    std::condition_variable cv;
    bool held = false;
    void pass() {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [this] { return !held; });
    }
    void hold(bool on) {
        {
            std::lock_guard<std::mutex> lock(m);
            held = on;
        }
        cv.notify_all();
    }
};

// Decoding a whole effect is slow (the intro is 46 s of music), so it runs on
// a thread of its own. Those threads start once the first frame is shown, so
// that they do not slow it down. An effect played before its decode is done
// is streamed meanwhile (start_stream); a headless run decodes it there and
// then instead, since its sounds are timed by their lengths.
struct SdlEngine::EffectDecode {
    std::string path;
    std::vector<uint8_t> bytes;
    Mix_Chunk* chunk = nullptr;
    SDL_Thread* thread = nullptr; // none yet, or none to be had
    std::shared_ptr<DecodeGate> gate;
    static int run(void* self) {
        // The game goes on meanwhile and must not wait for a core.
        SDL_SetThreadPriority(SDL_THREAD_PRIORITY_LOW);
        EffectDecode* d = static_cast<EffectDecode*>(self);
        d->gate->pass();
        d->chunk = decode_whole(d->path, d->bytes);
        return 0;
    }
    void start() {
        if (!thread) thread = SDL_CreateThread(run, "effect decode", this);
    }
    // False when the thread never ran.
    bool join() {
        if (!thread) return false;
        gate->hold(false);
        SDL_WaitThread(thread, nullptr);
        thread = nullptr;
        return true;
    }
    // The decoded chunk, from the thread or, if it never ran, decoded here.
    Mix_Chunk* finish() {
        if (!join()) chunk = decode_whole(path, bytes);
        Mix_Chunk* c = chunk;
        chunk = nullptr;
        return c;
    }
    ~EffectDecode() {
        // Never outlives its thread, nor leaks a chunk nobody collected.
        join();
        if (chunk) Mix_FreeChunk(chunk);
    }
};

Mix_Chunk* SdlEngine::load_chunk(const EffectSlot& e) {
    return decode_whole(e.path, e.bytes);
}

void SdlEngine::set_length(EffectSlot& e) {
    double frame_bytes = static_cast<double>(mix_channels_) * mix_bytes_;
    if (e.chunk && mix_freq_ > 0 && frame_bytes > 0)
        e.length = static_cast<float>(e.chunk->alen / frame_bytes / mix_freq_);
}

bool SdlEngine::start_decode(EffectSlot& e) {
    // Only MP3 is checked cheaply: opening it as music reads just its start.
    // Naming the type keeps the check off the other decoders, which a running
    // decode may be looking at.
    SDL_RWops* rw = open_effect(e.path, e.bytes);
    if (!rw) return false;
    Mix_Music* probe = Mix_LoadMUSType_RW(rw, MUS_MP3, 0);
    if (probe) Mix_FreeMusic(probe);
    SDL_RWclose(rw);
    if (!probe) return false;
    auto d = std::make_shared<EffectDecode>();
    d->path = e.path;
    d->bytes = e.bytes;
    d->gate = decode_gate();
    if (decodes_started_) d->start();
    e.decode = std::move(d);
    return true;
}

void SdlEngine::start_pending_decodes() {
    decodes_started_ = true;
    for (EffectSlot& e : effects_.items())
        if (e.used && e.decode) e.decode->start();
}

void SdlEngine::finish_decode(EffectSlot& e) {
    if (!e.decode) return;
    e.chunk = e.decode->finish();
    e.decode.reset();
    // A file that passed the check but failed whole plays silently, for no time.
    set_length(e);
}

void SdlEngine::drop_all_decodes() {
    for (EffectSlot& e : effects_.items()) e.decode.reset();
}

// The title's music would otherwise hold the first frame until it was decoded
// whole. The mixer streams one music at a time, so only one effect can be
// played this way; later ones wait for their decodes.
bool SdlEngine::start_stream(HEFFECT eff, const EffectSlot& e) {
    if (stream_ && Mix_PlayingMusic()) return false;
    stop_stream();
    SDL_RWops* rw = open_effect(e.path, e.bytes);
    if (!rw) return false;
    Mix_Music* music = Mix_LoadMUSType_RW(rw, MUS_MP3, 1);
    if (!music) return false;
    if (Mix_PlayMusic(music, 0) != 0) {
        Mix_FreeMusic(music);
        return false;
    }
    stream_ = music;
    stream_effect_ = eff;
    return true;
}

void SdlEngine::stop_stream() {
    if (stream_) Mix_FreeMusic(stream_); // halts it first
    stream_ = nullptr;
    stream_effect_ = 0;
    channels_[kStreamChannel].active = false;
}

bool SdlEngine::mixer_playing(int ch) const {
    if (ch == kStreamChannel) return stream_ && Mix_PlayingMusic();
    return Mix_Playing(ch) != 0;
}

void SdlEngine::reopen_audio() {
    if (!audio_subsystem_) return; // never had a device: nothing was lost
    stop_stream();
    for (ChannelState& c : channels_) c.active = false;
    drop_all_decodes(); // they decode for the device about to close
    for (EffectSlot& e : effects_.items()) {
        if (e.used && e.chunk) Mix_FreeChunk(e.chunk);
        e.chunk = nullptr;
    }
    if (audio_open_) Mix_CloseAudio();
    audio_open_ = false;
    // The default device now, which may be a new one; failing that the game
    // goes on silently, its sounds timed as if they played.
    if (!open_mixer()) return;
    for (EffectSlot& e : effects_.items()) {
        if (!e.used) continue;
        e.chunk = load_chunk(e);
        set_length(e);
    }
    if (paused_) Mix_Pause(-1);
}

void SdlEngine::pause_sound(bool paused) {
    if (!audio_open_ || headless_) return;
    if (paused) {
        Mix_Pause(-1);
        Mix_PauseMusic();
    } else {
        Mix_Resume(-1);
        Mix_ResumeMusic();
    }
}

HEFFECT SdlEngine::Effect_Load(const char* filename, uint32_t size) {
    if (!initiated_ || !filename) return 0;
    EffectSlot e;
    // A size means the bytes are in memory, as with textures; kept for a new device.
    if (size > 0)
        e.bytes.assign(reinterpret_cast<const uint8_t*>(filename),
                       reinterpret_cast<const uint8_t*>(filename) + size);
    else
        e.path = resolve(filename);
    if (audio_open_) {
        if (!start_decode(e)) {
            // Not an MP3 that opens, or no thread: decode now, which also
            // gives the final word on whether the file is sound at all.
            e.chunk = load_chunk(e);
            if (!e.chunk) return 0;
            set_length(e);
        }
    } else if (size == 0) {
        // No mixer at all: the game still runs, silently, if the file is there.
        FILE* f = std::fopen(resolve(filename).c_str(), "rb");
        if (!f) return 0;
        std::fclose(f);
    }
    HEFFECT h = effects_.add(e);
    if (!h && e.chunk) Mix_FreeChunk(e.chunk);
    startup_step("effect", size > 0 ? "(from memory)" : filename);
    return h;
}

void SdlEngine::Effect_Free(HEFFECT eff) {
    EffectSlot* e = effects_.find(eff);
    if (!e) return;
    if (stream_effect_ == eff) stop_stream(); // it reads the slot's bytes
    e->decode.reset();
    for (ChannelState& c : channels_)
        if (c.effect == eff) c.active = false;
    if (e->chunk) Mix_FreeChunk(e->chunk); // halts the channels still playing it
    effects_.remove(eff);
}

void SdlEngine::free_all_effects() {
    stop_stream();
    drop_all_decodes();
    for (EffectSlot& e : effects_.items())
        if (e.used && e.chunk) Mix_FreeChunk(e.chunk);
    effects_ = Slots<EffectSlot>();
    for (ChannelState& c : channels_) c = ChannelState();
}

bool SdlEngine::simulated_playing(const ChannelState& c) const {
    return c.active && sim_time_ - c.start <= static_cast<double>(c.length);
}

HCHANNEL SdlEngine::Effect_Play(HEFFECT eff) {
    EffectSlot* e = effects_.find(eff);
    if (!e) return 0;
    int ch = -1;
    bool streamed = !simulated_audio() && e->decode && start_stream(eff, *e);
    if (streamed) {
        ch = kStreamChannel;
    } else {
        finish_decode(*e);
        if (simulated_audio()) {
            // Sound follows the frames' time, so a headless run repeats exactly.
            for (int i = 0; i < kChannels && ch < 0; ++i)
                if (!simulated_playing(channels_[i])) ch = i;
        } else if (e->chunk) {
            ch = Mix_PlayChannel(-1, e->chunk, 0);
        }
    }
    if (ch < 0 || ch > kStreamChannel) return 0; // every channel busy
    ChannelState& c = channels_[ch];
    c.generation = ++play_generation_ & 0xFFFFFFu;
    if (c.generation == 0) c.generation = play_generation_ = 1;
    c.effect = eff;
    c.active = true;
    c.start = sim_time_;
    c.length = e->length;
    // The generation tells this sound from later ones on the same channel.
    return (static_cast<HCHANNEL>(c.generation) << 8) | static_cast<HCHANNEL>(ch + 1);
}

bool SdlEngine::Channel_IsPlaying(HCHANNEL chn) {
    int ch = static_cast<int>(chn & 0xFFu) - 1;
    if (ch < 0 || ch > kStreamChannel) return false;
    const ChannelState& c = channels_[ch];
    if (!c.active || c.generation != (chn >> 8)) return false;
    // A later play on this channel would have changed the generation.
    return simulated_audio() ? simulated_playing(c) : mixer_playing(ch);
}

void SdlEngine::Channel_StopAll() {
    Channel_ResumeAll(); // nothing stays held for sounds played later
    if (audio_open_) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
    }
    for (ChannelState& c : channels_) c.active = false;
}

const std::shared_ptr<SdlEngine::DecodeGate>& SdlEngine::decode_gate() {
    if (!decode_gate_) decode_gate_ = std::make_shared<DecodeGate>();
    return decode_gate_;
}

void SdlEngine::hold_decodes(bool held) {
    decode_gate()->hold(held);
    pictures_.hold(held);
}

bool SdlEngine::channel_streamed(HCHANNEL chn) const {
    const ChannelState& c = channels_[kStreamChannel];
    return (chn & 0xFFu) == kStreamChannel + 1u && c.active && c.generation == (chn >> 8);
}

bool sdl_engine_hold_decodes(Engine* e, bool held) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    if (!sdl) return false;
    sdl->hold_decodes(held);
    return true;
}

bool sdl_engine_channel_streamed(Engine* e, HCHANNEL chn) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    return sdl && sdl->channel_streamed(chn);
}
