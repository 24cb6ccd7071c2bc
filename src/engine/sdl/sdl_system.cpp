#include <SDL_image.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "engine/sdl/frame_math.h"
#include "engine/sdl/paths.h"
#include "engine/sdl/sdl_engine_impl.h"

Engine* create_sdl_engine() {
    return new SdlEngine();
}

SdlEngine::SdlEngine()
    : verts_(kBatchQuads * 4), indices_(kBatchQuads * 6), saved_colors_(kBatchQuads * 4),
      triangles_(kBatchQuads * 6) {
    // Two triangles per quad, corners in the quad's order; the pattern never changes.
    for (int q = 0; q < kBatchQuads; ++q) {
        int* i = &indices_[q * 6];
        int v = q * 4;
        i[0] = v, i[1] = v + 1, i[2] = v + 2, i[3] = v, i[4] = v + 2, i[5] = v + 3;
    }
    data_dir_ = default_data_dir();
    pcg32_seed(rng_, 0); // fixed until the game seeds, so nothing depends on the clock by accident
}

SdlEngine::~SdlEngine() {
    System_Shutdown();
}

void SdlEngine::System_SetState(hgeBoolState state, bool value) {
    switch (state) {
    case HGE_WINDOWED:
        if (window_ && value != windowed_)
            SDL_SetWindowFullscreen(window_, value ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        windowed_ = value;
        break;
    case HGE_HIDEMOUSE:
        hide_mouse_ = value;
        if (window_) SDL_ShowCursor(value ? SDL_DISABLE : SDL_ENABLE);
        break;
    case HGE_SHOWSPLASH: break; // there is no splash
    case HGE_HEADLESS:
        if (!initiated_) headless_ = value; // the kind of output cannot change once open
        break;
    }
}

void SdlEngine::System_SetState(hgeFuncState state, hgeCallback value) {
    switch (state) {
    case HGE_FRAMEFUNC: frame_func_ = value; break;
    case HGE_RENDERFUNC: render_func_ = value; break;
    case HGE_GFXRESTOREFUNC: restore_func_ = value; break;
    }
}

void SdlEngine::System_SetState(hgeIntState state, int value) {
    switch (state) {
    case HGE_SCREENWIDTH:
        if (!initiated_ && value > 0) screen_w_ = value;
        break;
    case HGE_SCREENHEIGHT:
        if (!initiated_ && value > 0) screen_h_ = value;
        break;
    case HGE_SCREENBPP: bpp_ = value; break;
    case HGE_FPS: fps_ = value; break;
    case HGE_SEED: seed_ = value; break;
    }
}

void SdlEngine::System_SetState(hgeStringState state, const char* value) {
    std::string text = value ? value : "";
    switch (state) {
    case HGE_TITLE:
        title_ = text;
        if (window_) SDL_SetWindowTitle(window_, title_.c_str());
        break;
    case HGE_INIFILE: ini_name_ = text; break;
    case HGE_LOGFILE: log_name_ = text; break;
    case HGE_DATADIR: data_dir_setting_ = text; break;
    }
    update_paths();
}

int SdlEngine::System_GetStateInt(hgeIntState state) {
    switch (state) {
    case HGE_SCREENWIDTH: return screen_w_;
    case HGE_SCREENHEIGHT: return screen_h_;
    case HGE_SCREENBPP: return bpp_;
    case HGE_FPS: return fps_;
    case HGE_SEED: return seed_;
    }
    return 0;
}

void SdlEngine::update_paths() {
    data_dir_ = data_dir_setting_.empty() ? default_data_dir() : data_dir_setting_;
    std::string ini = ini_name_.empty() ? std::string() : resolve(ini_name_.c_str());
    if (ini != ini_.path()) ini_.set_path(ini);
    log_path_ = log_name_.empty() ? std::string() : resolve(log_name_.c_str());
}

std::string SdlEngine::resolve(const char* name) const {
    return resolve_data_path(data_dir_, name);
}

bool SdlEngine::System_Initiate() {
    if (initiated_) return true;
    error_.clear();
    Uint32 flags = SDL_INIT_EVENTS | (headless_ ? 0 : SDL_INIT_VIDEO);
    if (SDL_Init(flags) != 0) {
        error_ = std::string("Can't initialize SDL: ") + SDL_GetError();
        SDL_Quit();
        return false;
    }
    initiated_ = true; // from here System_Shutdown undoes what was done
    if (!start_video() || !create_screen()) {
        std::string why = error_;
        System_Shutdown();
        error_ = why;
        return false;
    }
    IMG_Init(IMG_INIT_PNG);
    start_audio();
    last_counter_ = SDL_GetPerformanceCounter();
    return true;
}

bool SdlEngine::start_video() {
    if (headless_) {
        offscreen_ =
            SDL_CreateRGBSurfaceWithFormat(0, screen_w_, screen_h_, 32, SDL_PIXELFORMAT_RGB888);
        if (offscreen_) renderer_ = SDL_CreateSoftwareRenderer(offscreen_);
    } else {
        Uint32 wflags = SDL_WINDOW_RESIZABLE | (windowed_ ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   screen_w_, screen_h_, wflags);
        if (window_) {
            renderer_ = SDL_CreateRenderer(window_, -1,
                                           SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
            if (!renderer_)
                renderer_ = SDL_CreateRenderer(window_, -1,
                                               SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
            SDL_ShowCursor(hide_mouse_ ? SDL_DISABLE : SDL_ENABLE);
            SDL_StopTextInput(); // the game reads keys, not text; no input-method popups
        }
    }
    if (!renderer_) {
        error_ = std::string(window_ || headless_ ? "Can't create the renderer: "
                                                  : "Can't open the window: ") +
                 SDL_GetError();
        return false;
    }
    SDL_RendererInfo info;
    software_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    return true;
}

void SdlEngine::start_audio() {
    // Headless runs must not depend on a sound card, and a desktop without one
    // still plays the game silently: both end up on SDL's dummy driver.
    for (int attempt = headless_ ? 1 : 0; attempt < 2 && !audio_open_; ++attempt) {
        if (attempt == 1) SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            audio_subsystem_ = true;
            if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0) {
                audio_open_ = true;
            } else {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                audio_subsystem_ = false;
            }
        }
        if (attempt == 1) SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    }
    if (!audio_open_) return;
    Mix_Init(MIX_INIT_MP3);
    Mix_AllocateChannels(kChannels);
    Uint16 format = 0;
    Mix_QuerySpec(&mix_freq_, &format, &mix_channels_);
    mix_bytes_ = SDL_AUDIO_BITSIZE(format) / 8;
}

void SdlEngine::System_Shutdown() {
    if (!initiated_) return;
    free_all_effects();
    if (audio_open_) {
        Mix_CloseAudio();
        Mix_Quit();
        audio_open_ = false;
    }
    if (audio_subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_subsystem_ = false;
    free_all_graphics();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    if (offscreen_) SDL_FreeSurface(offscreen_);
    offscreen_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    IMG_Quit();
    SDL_Quit();
    initiated_ = false;
}

bool SdlEngine::System_Start() {
    if (!initiated_ || !frame_func_) {
        error_ = initiated_ ? "No frame function" : "System_Initiate was not called";
        return false;
    }
    last_counter_ = SDL_GetPerformanceCounter();
    while (!run_frame()) {
    }
    return true;
}

bool SdlEngine::System_RunFrames(int n) {
    if (!initiated_ || !frame_func_) return false;
    for (int i = 0; i < n; ++i)
        if (run_frame()) return true;
    return false;
}

bool SdlEngine::run_frame() {
    uint64_t frame_begin = SDL_GetPerformanceCounter();
    begin_input_frame();
    pump_events();
    if (quit_requested_) { // the window was closed
        quit_requested_ = false;
        return true;
    }
    advance_clock();
    screen_presented_ = false;
    if (frame_func_()) return true;
    if (render_func_) render_func_();
    if (in_scene_) Gfx_EndScene(); // a scene left open would block every later frame
    if (!screen_presented_) present();
    if (!headless_) limit_frame_rate(frame_begin);
    return false;
}

void SdlEngine::advance_clock() {
    uint64_t now = SDL_GetPerformanceCounter();
    double real = static_cast<double>(now - last_counter_) /
                  static_cast<double>(SDL_GetPerformanceFrequency());
    last_counter_ = now;
    dt_ = fixed_dt_ > 0.0f ? fixed_dt_ : clamp_frame_delta(static_cast<float>(real));
    sim_time_ += dt_;
}

void SdlEngine::limit_frame_rate(uint64_t frame_begin) {
    if (fps_ <= 0) return;
    double freq = static_cast<double>(SDL_GetPerformanceFrequency());
    double spent = static_cast<double>(SDL_GetPerformanceCounter() - frame_begin) / freq;
    double rest = 1.0 / fps_ - spent;
    if (rest > 0.0) std::this_thread::sleep_for(std::chrono::duration<double>(rest));
}

void SdlEngine::Timer_SetFixedDelta(float seconds) {
    fixed_dt_ = (seconds > 0.0f && seconds < 1e30f) ? seconds : 0.0f;
}

void SdlEngine::System_Log(const char* format, ...) {
    if (log_path_.empty() || !format) return;
    FILE* f = std::fopen(log_path_.c_str(), "a");
    if (!f) return; // a log that cannot be written is not worth stopping the game for
    va_list args;
    va_start(args, format);
    std::vfprintf(f, format, args);
    va_end(args);
    std::fputc('\n', f);
    std::fclose(f);
}

void SdlEngine::System_MessageBox(const char* text, const char* caption) {
    if (!text) text = "";
    if (!caption) caption = "";
    if (!headless_ && SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, window_) == 0)
        return;
    std::fprintf(stderr, "%s: %s\n", caption, text);
}

void* SdlEngine::Resource_Load(const char* filename, uint32_t* size) {
    if (size) *size = 0;
    if (!filename) return nullptr;
    std::string path = resolve(filename);
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    void* data = nullptr;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    if (length >= 0 && length <= 0x7FFFFFFF && std::fseek(f, 0, SEEK_SET) == 0) {
        data = std::malloc(length > 0 ? static_cast<size_t>(length) : 1);
        if (data &&
            std::fread(data, 1, static_cast<size_t>(length), f) != static_cast<size_t>(length)) {
            std::free(data);
            data = nullptr;
        }
    }
    std::fclose(f);
    if (data && size) *size = static_cast<uint32_t>(length);
    return data;
}

void SdlEngine::Resource_Free(void* resource) {
    std::free(resource);
}

int SdlEngine::Ini_GetInt(const char* section, const char* name, int def) {
    return ini_.get_int(section, name, def);
}

float SdlEngine::Ini_GetFloat(const char* section, const char* name, float def) {
    return ini_.get_float(section, name, def);
}

void SdlEngine::Random_Seed(int seed) {
    uint64_t s = static_cast<uint32_t>(seed);
    if (seed == 0) {
        s = seed_ != 0 ? static_cast<uint32_t>(seed_)
                       : SDL_GetPerformanceCounter() ^ static_cast<uint64_t>(std::time(nullptr));
    }
    pcg32_seed(rng_, s);
}

int SdlEngine::Random_Int(int min, int max) {
    return pcg32_int(rng_, min, max);
}

float SdlEngine::Random_Float(float min, float max) {
    return pcg32_float(rng_, min, max);
}
