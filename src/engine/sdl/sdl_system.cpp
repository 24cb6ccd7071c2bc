#include <SDL_image.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "engine/whole_file.h"
#include "engine/sdl/audio_drivers.h"
#include "engine/frame_math.h"
#include "engine/sdl/paths.h"
#include "engine/sdl/sdl_engine.h"
#include "engine/sdl/sdl_engine_impl.h"
#include "engine/sdl/startup_trace.h"

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
    parked_.reserve(kParkedTextures); // parking never allocates
}

SdlEngine::~SdlEngine() {
    System_Shutdown();
}

void SdlEngine::System_SetState(hgeBoolState state, bool value) {
    switch (state) {
    case HGE_WINDOWED:
        if (window_ && value != windowed_) set_fullscreen(!value);
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
    case HGE_INTEGERSCALING:
    case HGE_VSYNC:
    case HGE_PAUSEUNFOCUSED: set_display_flag(state, value); break;
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
    case HGE_FXVOLUME: set_volume(value); break;
    case HGE_SCALE: set_scale(value); break;
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
    case HGE_FXVOLUME: return volume_;
    case HGE_SCALE: return window_ ? scale_fits_ : display_.scale; // what a window can show
    }
    return 0;
}

// The player's display choices apply at once; the settings file's [Display]
// is read at start-up and these follow it.
void SdlEngine::set_display_flag(hgeBoolState state, bool value) {
    if (!initiated_) display_chosen_ |= 1u << state;
    switch (state) {
    case HGE_INTEGERSCALING: display_.integer_scaling = value; break;
    case HGE_PAUSEUNFOCUSED: display_.pause_when_unfocused = value; break;
    case HGE_VSYNC:
        display_.vsync = value;
        // Some renderers cannot change it: pace_frame then keeps the display's rate.
        if (renderer_ && window_)
            vsync_active_ = SDL_RenderSetVSync(renderer_, value ? 1 : 0) == 0 && value;
        vsync_check_.reset();
        last_present_ = 0;
        break;
    default: break;
    }
}

void SdlEngine::set_scale(int scale) {
    if (scale < 1) return;
    display_.scale = scale;
    if (!initiated_) display_chosen_ |= kScaleChosen;
    if (!window_) return;
    SDL_Rect desk = desktop();
    scale_fits_ = fitting_scale(screen_w_, screen_h_, display_.scale, desk.w, desk.h);
    if (windowed_)
        apply_scale();
    else
        scale_pending_ = true; // for when the window comes back
}

// The window at the largest whole scale, up to the chosen one, that its
// display can hold.
void SdlEngine::apply_scale() {
    scale_pending_ = false;
    SDL_Rect desk = desktop();
    scale_fits_ = fitting_scale(screen_w_, screen_h_, display_.scale, desk.w, desk.h);
    WindowSize size = window_size(screen_w_, screen_h_, display_.scale, desk.w, desk.h);
    SDL_SetWindowSize(window_, size.w, size.h);
    SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

// The usable part of the window's display (of the first before there is a
// window); 0 x 0 when unknown.
SDL_Rect SdlEngine::desktop() const {
    int index = window_ ? SDL_GetWindowDisplayIndex(window_) : 0;
    SDL_Rect desk{0, 0, 0, 0};
    if (index < 0 || SDL_GetDisplayUsableBounds(index, &desk) != 0) desk = SDL_Rect{0, 0, 0, 0};
    return desk;
}

void SdlEngine::set_fullscreen(bool on) {
    SDL_SetWindowFullscreen(window_, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    windowed_ = !on;
    if (!on && scale_pending_) apply_scale();
}

std::string SdlEngine::user_path(const char* name) const {
    if (!name || !*name) return std::string();
    if (installed()) return user_files(name, std::string()).ini;
    return resolve(name);
}

void* SdlEngine::UserFile_Load(const char* filename, uint32_t* size) {
    std::string path = user_path(filename);
    if (path.empty()) return nullptr;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return nullptr;
    std::vector<char> bytes;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0 && bytes.size() < (1u << 20))
        bytes.insert(bytes.end(), buf, buf + n);
    bool bad = std::ferror(f) != 0;
    std::fclose(f);
    if (bad) return nullptr;
    // One byte more, zero, so a text can be read as a C string.
    char* data = static_cast<char*>(std::malloc(bytes.size() + 1));
    if (!data) return nullptr;
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    data[bytes.size()] = '\0';
    if (size) *size = static_cast<uint32_t>(bytes.size());
    return data;
}

bool SdlEngine::UserFile_Save(const char* filename, const void* data, uint32_t size) {
    std::string path = user_path(filename);
    if (path.empty() || (size > 0 && !data)) return false;
    size_t slash = path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !make_dirs(path.substr(0, slash)))
        return false;
    // Written beside and renamed over, so a crash never leaves half a file.
    std::string temp = path + ".new";
    FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

void SdlEngine::update_paths() {
    data_dir_ = data_dir_setting_.empty() ? default_data_dir() : data_dir_setting_;
    std::string ini = ini_name_.empty() ? std::string() : resolve(ini_name_.c_str());
    log_path_ = log_name_.empty() ? std::string() : resolve(log_name_.c_str());
    if (installed()) {
        // The shared data folder is read-only; the player's own files live apart.
        UserFiles user = user_files(ini_name_, log_name_);
        if (!user.ini.empty()) ini = user.ini;
        if (!user.log.empty()) log_path_ = user.log;
    }
    if (ini != ini_.path()) ini_.set_path(ini);
}

bool SdlEngine::installed() const {
    return data_dir_setting_.empty() && !installed_data_dir_of_program().empty();
}

void SdlEngine::prepare_user_files() {
    if (!installed()) return;
    UserFiles user = user_files(ini_name_, log_name_);
    if (!user.ini.empty()) {
        std::string folder = user.ini.substr(0, user.ini.rfind('/'));
        std::string shipped = resolve(ini_name_.c_str());
        // Without a writable copy the shipped defaults still apply.
        if (!make_dirs(folder) || !seed_file(shipped, user.ini)) ini_.set_path(shipped);
    }
    if (!user.log.empty()) make_dirs(user.log.substr(0, user.log.rfind('/')));
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
    startup_step("SDL_Init");
    prepare_user_files();
    if (!headless_) {
        // What the program chose before the start wins over the file.
        DisplayOptions chosen = display_;
        display_ = read_display_options(ini_);
        if (display_.fullscreen) windowed_ = false;
        if (display_chosen_ & (1u << HGE_INTEGERSCALING))
            display_.integer_scaling = chosen.integer_scaling;
        if (display_chosen_ & (1u << HGE_VSYNC)) display_.vsync = chosen.vsync;
        if (display_chosen_ & (1u << HGE_PAUSEUNFOCUSED))
            display_.pause_when_unfocused = chosen.pause_when_unfocused;
        if (display_chosen_ & kScaleChosen) display_.scale = chosen.scale;
    }
    startup_step("settings read");
    if (!start_video() || !create_screen()) {
        std::string why = error_;
        System_Shutdown();
        error_ = why;
        return false;
    }
    startup_step(window_ ? "white texel" : "screen target");
    IMG_Init(IMG_INIT_PNG);
    start_audio();
    startup_step("sound device");
    // With a window they wait for the second frame: opening them can take a
    // while, and no pad can press anything in time for the first.
    if (gamepads_setting_ == 1)
        start_gamepads();
    else if (gamepads_setting_ < 0 && !headless_)
        pads_deferred_ = true;
    last_counter_ = SDL_GetPerformanceCounter();
    return true;
}

bool SdlEngine::start_video() {
    if (headless_) {
        offscreen_ =
            SDL_CreateRGBSurfaceWithFormat(0, screen_w_, screen_h_, 32, SDL_PIXELFORMAT_RGB888);
        if (offscreen_) renderer_ = SDL_CreateSoftwareRenderer(offscreen_);
    } else {
        // High-DPI displays get a drawable of their own pixel count, so the
        // picture is scaled once, sharply, rather than by the desktop as well.
        Uint32 wflags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI |
                        (windowed_ ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_Rect desk = desktop();
        scale_fits_ = fitting_scale(screen_w_, screen_h_, display_.scale, desk.w, desk.h);
        WindowSize size = window_size(screen_w_, screen_h_, display_.scale, desk.w, desk.h);
        window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   size.w, size.h, wflags);
        startup_step("window");
        if (window_) {
            Uint32 vsync = display_.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
            renderer_ = SDL_CreateRenderer(
                window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE | vsync);
            if (!renderer_)
                renderer_ = SDL_CreateRenderer(
                    window_, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE | vsync);
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
    bool known = SDL_GetRendererInfo(renderer_, &info) == 0;
    startup_step("renderer", known ? info.name : nullptr);
    software_ = known && (info.flags & SDL_RENDERER_SOFTWARE);
    // A renderer that cannot wait for the display is paced by pace_frame;
    // some report waiting although nobody asked, and are paced as asked.
    vsync_active_ = display_.vsync && window_ && known && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    return true;
}

void SdlEngine::start_audio() {
    // Each driver in turn until one opens a device. Headless runs must not
    // depend on a sound card, and a desktop without one still plays the game
    // silently: both end up on SDL's dummy driver.
    std::vector<std::string> drivers{"dummy"};
    if (!headless_) {
        std::vector<std::string> available;
        for (int i = 0; i < SDL_GetNumAudioDrivers(); ++i)
            available.push_back(SDL_GetAudioDriver(i));
        drivers = audio_driver_order(available, SDL_GetHint(SDL_HINT_AUDIODRIVER),
                                     access("/dev/snd", F_OK) == 0);
    }
    for (const std::string& driver : drivers) {
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver.c_str(), SDL_HINT_OVERRIDE);
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            audio_subsystem_ = true;
            if (!open_mixer()) {
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
                audio_subsystem_ = false;
            }
        }
        if (audio_open_) break;
    }
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    if (audio_open_) Mix_Init(MIX_INIT_MP3);
}

void SdlEngine::System_Shutdown() {
    if (!initiated_) return;
    startup_step("shutdown begins");
    pads_deferred_ = false;
    stop_gamepads();
    free_all_effects();
    startup_step("gamepads and effects freed");
    if (audio_open_) {
        Mix_CloseAudio();
        Mix_Quit();
        audio_open_ = false;
    }
    if (audio_subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audio_subsystem_ = false;
    startup_step("sound device closed");
    free_all_graphics();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
    if (offscreen_) SDL_FreeSurface(offscreen_);
    offscreen_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
    IMG_Quit();
    SDL_Quit();
    startup_step("window closed, SDL_Quit");
    initiated_ = false;
    decodes_started_ = false;
    focused_ = true;
    minimized_ = false;
    paused_ = false;
    channels_paused_ = false;
    vsync_active_ = false;
}

bool SdlEngine::System_Start() {
    if (!initiated_ || !frame_func_) {
        error_ = initiated_ ? "No frame function" : "System_Initiate was not called";
        return false;
    }
    startup_step("the game set up, frames begin");
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
    begin_input_frame();
    pump_events();
    if (should_pause()) wait_while_paused();
    if (quit_requested_) { // the window was closed
        quit_requested_ = false;
        return true;
    }
    advance_clock();
    screen_presented_ = false;
    if (frame_func_()) return true;
    if (render_func_) render_func_();
    if (in_scene_) Gfx_EndScene(); // a scene left open would block every later frame
    // A frame that drew no screen still shows one: black.
    if (!screen_presented_ && Gfx_BeginScene(0)) {
        Gfx_Clear(0);
        Gfx_EndScene();
    }
    if (!screen_presented_) present();
    if (!headless_) pace_frame();
    return false;
}

bool SdlEngine::should_pause() const {
    return window_ && display_.pause_when_unfocused && (!focused_ || minimized_);
}

void SdlEngine::wait_while_paused() {
    paused_ = true;
    pause_sound(true);
    while (should_pause() && !quit_requested_) {
        SDL_WaitEventTimeout(nullptr, 250); // sleeps; the next event wakes it
        pump_events();
    }
    if (!channels_paused_) pause_sound(false); // the game's own pause keeps its sound held
    // Time away is not game time: the next frame measures from here.
    last_counter_ = SDL_GetPerformanceCounter();
    paused_ = false;
}

void SdlEngine::advance_clock() {
    uint64_t now = SDL_GetPerformanceCounter();
    // A frame of zero length could not be recorded and replayed exactly.
    while (fixed_dt_ <= 0.0f && now == last_counter_) now = SDL_GetPerformanceCounter();
    double real = static_cast<double>(now - last_counter_) /
                  static_cast<double>(SDL_GetPerformanceFrequency());
    last_counter_ = now;
    dt_ = fixed_dt_ > 0.0f ? fixed_dt_ : clamp_frame_delta(static_cast<float>(real));
    sim_time_ += dt_;
}

void SdlEngine::pace_frame() {
    const double freq = static_cast<double>(SDL_GetPerformanceFrequency());
    uint64_t now = SDL_GetPerformanceCounter();
    int fps = fps_;
    if (display_.vsync && window_) {
        SDL_DisplayMode mode{};
        int hz = SDL_GetWindowDisplayMode(window_, &mode) == 0 && mode.refresh_rate > 0
                     ? mode.refresh_rate
                     : 60;
        if (vsync_active_ && last_present_ != 0)
            vsync_check_.add(static_cast<double>(now - last_present_) / freq, 1.0 / hz);
        last_present_ = now;
        // Vsync paces the frames; where the driver refuses it, or only claims
        // to wait, the display's rate is kept here instead.
        fps = vsync_active_ && vsync_check_.waits() ? 0 : hz;
    }
    uint64_t period = fps > 0 ? static_cast<uint64_t>(freq / fps) : 0;
    uint64_t ticks = pacer_.wait(now, period);
    if (ticks > 0) std::this_thread::sleep_for(std::chrono::duration<double>(ticks / freq));
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
    return load_whole_file(resolve(filename).c_str(), size);
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

Letterbox SdlEngine::output_rect(int out_w, int out_h) const {
    return display_.integer_scaling ? whole_multiple_rect(out_w, out_h, screen_w_, screen_h_)
                                    : letterbox_rect(out_w, out_h, screen_w_, screen_h_);
}

void SdlEngine::set_device_input(bool enabled) {
    device_input_ = enabled; // acted on with the next frame's input, so its edges show
}

void SdlEngine::apply_device_input() {
    if (device_input_ == device_input_applied_) return;
    device_input_applied_ = device_input_;
    if (device_input_) {
        reread_pads();
    } else {
        release_physical_keys();
        release_all_pads();
    }
}

void SdlEngine::describe(SdlDisplayState* out) const {
    *out = SdlDisplayState();
    if (window_) {
        SDL_GetWindowSize(window_, &out->window_w, &out->window_h);
        out->fullscreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    }
    out->vsync = vsync_active_;
    out->integer_scaling = display_.integer_scaling;
    out->pause_when_unfocused = display_.pause_when_unfocused;
    out->pads = static_cast<int>(pads_.size());
}

bool sdl_engine_set_device_input(Engine* e, bool enabled) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    if (sdl) sdl->set_device_input(enabled);
    return sdl != nullptr;
}

bool sdl_engine_set_gamepads(Engine* e, bool enabled) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    if (!sdl || sdl->started()) return false;
    sdl->set_gamepads(enabled);
    return true;
}

bool sdl_engine_set_deferred_loads(Engine* e, bool enabled) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    if (!sdl || sdl->started()) return false;
    sdl->set_deferred_loads(enabled);
    return true;
}

bool sdl_engine_display_state(Engine* e, SdlDisplayState* out) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    if (!sdl || !out || !sdl->started()) return false;
    sdl->describe(out);
    return true;
}

bool sdl_engine_paused(Engine* e) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    return sdl && sdl->paused();
}
