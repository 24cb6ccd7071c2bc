#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/web/web_engine_impl.h"

namespace {

// Web Audio lives in the page's script: the browser decodes the effects
// (decodeAudioData) and plays each channel as a buffer source. Browsers start
// sound only after a key or a click, so until then the context waits
// suspended and a sound played meanwhile waits with it, from its beginning.
EM_JS(void, kv_audio_start, (), {
    var A = Module.korvaneAudio = {ctx : null, buffers : {}, failed : {}, channels : {},
                                   unlocked : false, paused : false};
    var Ctx = window.AudioContext || window.webkitAudioContext;
    if (!Ctx) return;
    try {
        A.ctx = new Ctx();
    } catch (e) {
        A.ctx = null;
        return;
    }
    A.out = A.ctx.createGain();
    A.out.connect(A.ctx.destination);
    A.unlock = function() {
        A.unlocked = true;
        if (!A.paused && A.ctx.state !== 'running') A.ctx.resume().catch(function() {});
    };
    ['keydown', 'mousedown', 'pointerdown', 'touchstart'].forEach(function(t) {
        window.addEventListener(t, A.unlock, true);
    });
    A.begin = function(id, c) {
        var src = A.ctx.createBufferSource();
        src.buffer = A.buffers[id];
        src.connect(A.out);
        src.onended = function() {
            if (A.channels[c.serial] === c) delete A.channels[c.serial];
        };
        c.src = src;
        c.pending = false;
        src.start();
    };
});

EM_JS(void, kv_audio_stop, (), {
    var A = Module.korvaneAudio;
    if (!A || !A.ctx) return;
    ['keydown', 'mousedown', 'pointerdown', 'touchstart'].forEach(function(t) {
        window.removeEventListener(t, A.unlock, true);
    });
    A.ctx.close().catch(function() {});
    Module.korvaneAudio = null;
});

EM_JS(void, kv_audio_load, (int id, const char* name, const unsigned char* bytes, int size), {
    var A = Module.korvaneAudio;
    if (!A || !A.ctx) return;
    var file = UTF8ToString(name);
    var copy = HEAPU8.slice(bytes, bytes + size);
    A.ctx.decodeAudioData(copy.buffer, function(buffer) {
        A.buffers[id] = buffer;
        for (var s in A.channels) {
            var c = A.channels[s];
            if (c.pending && c.effect === id) A.begin(id, c);
        }
    }, function() {
        A.failed[id] = true;
        console.warn('Korvane: the browser cannot decode ' + file + '; it stays silent');
        for (var s in A.channels)
            if (A.channels[s].effect === id) delete A.channels[s];
    });
});

EM_JS(void, kv_audio_free, (int id), {
    var A = Module.korvaneAudio;
    if (!A) return;
    for (var s in A.channels) {
        var c = A.channels[s];
        if (c.effect !== id) continue;
        if (c.src) {
            c.src.onended = null;
            try { c.src.stop(); } catch (e) {}
        }
        delete A.channels[s];
    }
    delete A.buffers[id];
    delete A.failed[id];
});

EM_JS(void, kv_audio_play, (int serial, int id), {
    var A = Module.korvaneAudio;
    if (!A || !A.ctx || A.failed[id]) return;
    var c = {serial : serial, effect : id, src : null, pending : true};
    A.channels[serial] = c;
    // Not decoded yet: it starts when its decode is done.
    if (A.buffers[id]) A.begin(id, c);
});

EM_JS(int, kv_audio_playing, (int serial), {
    var A = Module.korvaneAudio;
    return A && A.channels[serial] ? 1 : 0;
});

EM_JS(void, kv_audio_stop_all, (), {
    var A = Module.korvaneAudio;
    if (!A) return;
    for (var s in A.channels) {
        var c = A.channels[s];
        if (c.src) {
            c.src.onended = null;
            try { c.src.stop(); } catch (e) {}
        }
    }
    A.channels = {};
});

EM_JS(void, kv_audio_pause, (int paused), {
    var A = Module.korvaneAudio;
    if (!A || !A.ctx) return;
    A.paused = !!paused;
    if (paused)
        A.ctx.suspend().catch(function() {});
    else if (A.unlocked)
        A.ctx.resume().catch(function() {});
});

// An MP3 begins, after an optional ID3 tag, with a frame header whose fields
// are all in range. The browser decodes later and alone, so this is the check
// that lets a missing or broken sound stop the game at start-up as it does on
// the desktop.
bool looks_like_mp3(const unsigned char* b, size_t n) {
    size_t at = 0;
    if (n >= 10 && b[0] == 'I' && b[1] == 'D' && b[2] == '3') {
        size_t tag = (size_t(b[6] & 0x7F) << 21) | (size_t(b[7] & 0x7F) << 14) |
                     (size_t(b[8] & 0x7F) << 7) | size_t(b[9] & 0x7F);
        at = 10 + tag + ((b[5] & 0x10) ? 10 : 0);
    }
    if (at + 4 > n) return false;
    const unsigned char* h = b + at;
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
    int version = (h[1] >> 3) & 3, layer = (h[1] >> 1) & 3;
    int bitrate = h[2] >> 4, rate = (h[2] >> 2) & 3;
    return version != 1 && layer != 0 && bitrate != 0 && bitrate != 15 && rate != 3;
}

EM_JS(void, kv_audio_volume, (int percent), {
    var A = Module.korvaneAudio;
    if (A && A.out) A.out.gain.value = percent / 100;
});

} // namespace

void WebEngine::start_audio() {
    kv_audio_start();
    kv_audio_volume(volume_);
}

void WebEngine::stop_audio() {
    kv_audio_stop();
    effects_ = Slots<EffectSlot>();
}


void WebEngine::set_volume(int percent) {
    kv_audio_volume(percent);
}

// A hidden tab and the game's own pause each hold the sound; it goes on when
// neither does.
void WebEngine::pause_audio(bool paused) {
    audio_hidden_ = paused;
    kv_audio_pause(audio_hidden_ || audio_game_paused_ ? 1 : 0);
}

void WebEngine::Channel_PauseAll() {
    audio_game_paused_ = true;
    kv_audio_pause(1);
}

void WebEngine::Channel_ResumeAll() {
    audio_game_paused_ = false;
    kv_audio_pause(audio_hidden_ ? 1 : 0);
}

HEFFECT WebEngine::Effect_Load(const char* filename, uint32_t size) {
    if (!initiated_ || !filename) return 0;
    const unsigned char* bytes = nullptr;
    void* file = nullptr;
    std::string name = "an effect in memory";
    if (size > 0) { // then "filename" points at the sound's bytes themselves
        bytes = reinterpret_cast<const unsigned char*>(filename);
    } else {
        name = filename;
        file = Resource_Load(filename, &size);
        bytes = static_cast<const unsigned char*>(file);
    }
    HEFFECT h = 0;
    if (bytes && looks_like_mp3(bytes, size)) {
        h = effects_.add(EffectSlot());
        if (h) kv_audio_load(static_cast<int>(h), name.c_str(), bytes, static_cast<int>(size));
    }
    Resource_Free(file);
    return h;
}

void WebEngine::Effect_Free(HEFFECT eff) {
    if (!effects_.find(eff)) return;
    kv_audio_free(static_cast<int>(eff));
    effects_.remove(eff);
}

HCHANNEL WebEngine::Effect_Play(HEFFECT eff) {
    if (!effects_.find(eff)) return 0;
    // Serial numbers: a channel handle never names a later sound.
    if (++play_serial_ > 0x7FFFFFFFu) play_serial_ = 1;
    kv_audio_play(static_cast<int>(play_serial_), static_cast<int>(eff));
    return play_serial_;
}

bool WebEngine::Channel_IsPlaying(HCHANNEL chn) {
    return chn != 0 && chn <= 0x7FFFFFFFu && kv_audio_playing(static_cast<int>(chn)) != 0;
}

void WebEngine::Channel_StopAll() {
    kv_audio_stop_all();
}
