#include <cstdio>

#include "engine/sdl/sdl_engine_impl.h"

HEFFECT SdlEngine::Effect_Load(const char* filename, uint32_t size) {
    if (!initiated_ || !filename) return 0;
    EffectSlot e;
    if (audio_open_) {
        // A size means the bytes are in memory, as with textures.
        SDL_RWops* rw = size > 0 ? SDL_RWFromConstMem(filename, static_cast<int>(size))
                                 : SDL_RWFromFile(resolve(filename).c_str(), "rb");
        if (!rw) return 0;
        e.chunk = Mix_LoadWAV_RW(rw, 1);
        if (!e.chunk) return 0;
        double frame_bytes = static_cast<double>(mix_channels_) * mix_bytes_;
        if (mix_freq_ > 0 && frame_bytes > 0)
            e.length = static_cast<float>(e.chunk->alen / frame_bytes / mix_freq_);
    } else if (size == 0) {
        // No mixer at all: the game still runs, silently, if the file is there.
        FILE* f = std::fopen(resolve(filename).c_str(), "rb");
        if (!f) return 0;
        std::fclose(f);
    }
    HEFFECT h = effects_.add(e);
    if (!h && e.chunk) Mix_FreeChunk(e.chunk);
    return h;
}

void SdlEngine::Effect_Free(HEFFECT eff) {
    EffectSlot* e = effects_.find(eff);
    if (!e) return;
    for (ChannelState& c : channels_)
        if (c.effect == eff) c.active = false;
    if (e->chunk) Mix_FreeChunk(e->chunk); // halts the channels still playing it
    effects_.remove(eff);
}

void SdlEngine::free_all_effects() {
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
    if (simulated_audio()) {
        // Sound follows the frames' time, so a headless run repeats exactly.
        for (int i = 0; i < kChannels && ch < 0; ++i)
            if (!simulated_playing(channels_[i])) ch = i;
    } else if (e->chunk) {
        ch = Mix_PlayChannel(-1, e->chunk, 0);
    }
    if (ch < 0 || ch >= kChannels) return 0; // every channel busy
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
    if (ch < 0 || ch >= kChannels) return false;
    const ChannelState& c = channels_[ch];
    if (!c.active || c.generation != (chn >> 8)) return false;
    // A later play on this channel would have changed the generation.
    return simulated_audio() ? simulated_playing(c) : Mix_Playing(ch) != 0;
}

void SdlEngine::Channel_StopAll() {
    if (audio_open_) Mix_HaltChannel(-1);
    for (ChannelState& c : channels_) c.active = false;
}
