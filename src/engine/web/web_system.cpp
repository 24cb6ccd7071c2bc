#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "engine/whole_file.h"
#include "engine/frame_math.h"
#include "engine/web/web_engine.h"
#include "engine/web/web_engine_impl.h"

namespace {

// The page shows start-up errors itself: an alert would stop the page dead.
EM_JS(void, kv_show_message, (const char* caption, const char* text), {
    var c = UTF8ToString(caption), t = UTF8ToString(text);
    if (Module.korvaneMessage) Module.korvaneMessage(c, t);
});

EM_JS(void, kv_log_line, (const char* line), { console.log(UTF8ToString(line)); });

EM_JS(void, kv_page_quit, (), {
    if (Module.korvaneQuit) Module.korvaneQuit();
});

EM_JS(void, kv_set_title, (const char* title), { document.title = UTF8ToString(title); });

void loop_turn(void* engine) {
    static_cast<WebEngine*>(engine)->animation_frame();
}

EM_BOOL on_visibility_change(int, const EmscriptenVisibilityChangeEvent* event, void* engine) {
    static_cast<WebEngine*>(engine)->on_visibility(event->hidden != 0);
    return EM_FALSE;
}

EM_BOOL on_blur(int, const EmscriptenFocusEvent*, void* engine) {
    // Keys let go while the focus is elsewhere (another window, the page's
    // button) never send their release here.
    static_cast<WebEngine*>(engine)->release_all_keys();
    return EM_FALSE;
}

} // namespace

Engine* create_web_engine() {
    return new WebEngine();
}

void web_engine_on_quit(Engine* e, void (*quit)()) {
    if (WebEngine* web = dynamic_cast<WebEngine*>(e)) web->set_quit(quit);
}

long web_engine_frames(Engine* e) {
    WebEngine* web = dynamic_cast<WebEngine*>(e);
    return web ? web->frames() : 0;
}

WebEngine::WebEngine() : verts_(kBatchQuads * 4) {
    parked_.reserve(kParkedTargets); // parking never allocates
}

WebEngine::~WebEngine() {
    System_Shutdown();
}

void WebEngine::System_SetState(hgeBoolState state, bool value) {
    if (state == HGE_WINDOWED) windowed_ = value; // the page decides; Alt+Enter switches
}

void WebEngine::System_SetState(hgeFuncState state, hgeCallback value) {
    switch (state) {
    case HGE_FRAMEFUNC: frame_func_ = value; break;
    case HGE_RENDERFUNC: render_func_ = value; break;
    case HGE_GFXRESTOREFUNC: restore_func_ = value; break;
    }
}

void WebEngine::System_SetState(hgeIntState state, int value) {
    switch (state) {
    case HGE_SCREENWIDTH:
        if (!initiated_ && value > 0) screen_w_ = value;
        break;
    case HGE_SCREENHEIGHT:
        if (!initiated_ && value > 0) screen_h_ = value;
        break;
    case HGE_SCREENBPP: bpp_ = value; break;
    case HGE_FPS: fps_ = value; break; // the browser paces the frames
    case HGE_SEED: seed_ = value; break;
    case HGE_FXVOLUME:
        volume_ = value < 0 ? 0 : value > 100 ? 100 : value;
        set_volume(volume_);
        break;
    case HGE_SCALE: // the canvas follows the window: nothing narrows the choice
        if (value >= 1) scale_ = value;
        break;
    }
}

void WebEngine::System_SetState(hgeStringState state, const char* value) {
    std::string text = value ? value : "";
    switch (state) {
    case HGE_TITLE:
        title_ = text;
        kv_set_title(title_.c_str());
        break;
    case HGE_INIFILE: ini_name_ = text; break;
    case HGE_LOGFILE: log_name_ = text; break;
    case HGE_DATADIR: data_dir_ = text.empty() ? "data" : text; break;
    }
    ini_.set_path(ini_name_.empty() ? std::string() : resolve(ini_name_.c_str()));
}

int WebEngine::System_GetStateInt(hgeIntState state) {
    switch (state) {
    case HGE_SCREENWIDTH: return screen_w_;
    case HGE_SCREENHEIGHT: return screen_h_;
    case HGE_SCREENBPP: return bpp_;
    case HGE_FPS: return fps_;
    case HGE_SEED: return seed_;
    case HGE_FXVOLUME: return volume_;
    case HGE_SCALE: return scale_;
    }
    return 0;
}

// "data/..." names live in the data folder preloaded into the page's files.
std::string WebEngine::resolve(const char* name) const {
    std::string rel(name ? name : "");
    for (char& c : rel)
        if (c == '\\') c = '/';
    if (rel.empty() || rel[0] == '/') return rel;
    if (rel.compare(0, 5, "data/") == 0) rel.erase(0, 5);
    return data_dir_ + "/" + rel;
}

void WebEngine::read_display_options() {
    // Of the desktop's display options only these mean something in a page.
    integer_scaling_ = ini_.get_int("Display", "integer_scaling", 0) == 1;
    pause_when_hidden_ = ini_.get_int("Display", "pause_when_unfocused", 1) != 0;
}

bool WebEngine::System_Initiate() {
    if (initiated_) return true;
    error_.clear();
    read_display_options();
    if (!start_gl() || !create_screen()) {
        std::string why = error_;
        System_Shutdown();
        error_ = why;
        return false;
    }
    initiated_ = true;
    start_audio();
    start_input();
    emscripten_set_visibilitychange_callback(this, EM_FALSE, on_visibility_change);
    emscripten_set_blur_callback("#canvas", this, EM_FALSE, on_blur);
    last_ms_ = emscripten_get_now();
    return true;
}

void WebEngine::System_Shutdown() {
    if (!initiated_ && !context_) return;
    if (running_) emscripten_cancel_main_loop();
    running_ = false;
    stop_input();
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, nullptr);
    emscripten_set_blur_callback("#canvas", nullptr, EM_FALSE, nullptr);
    stop_audio();
    free_all_graphics();
    initiated_ = false;
}

bool WebEngine::System_Start() {
    if (!initiated_ || !frame_func_) {
        error_ = initiated_ ? "No frame function" : "System_Initiate was not called";
        return false;
    }
    last_ms_ = emscripten_get_now();
    running_ = true;
    // At the display's rate; this never returns, the page's loop carries on.
    emscripten_set_main_loop_arg(loop_turn, this, 0, 1);
    return true;
}

void WebEngine::animation_frame() {
    if (hidden_ && pause_when_hidden_) return;
    if (!run_frame()) return;
    // The player quit: the loop stops, and the program's ending runs, which
    // may release this engine, so nothing after it touches a member.
    emscripten_cancel_main_loop();
    running_ = false;
    void (*quit)() = quit_;
    kv_page_quit();
    if (quit) quit();
}

bool WebEngine::System_RunFrames(int n) {
    if (!initiated_ || !frame_func_) return false;
    for (int i = 0; i < n; ++i)
        if (run_frame()) return true;
    return false;
}

bool WebEngine::run_frame() {
    begin_input_frame();
    double now = emscripten_get_now();
    float real = static_cast<float>((now - last_ms_) / 1000.0);
    last_ms_ = now;
    dt_ = fixed_dt_ > 0.0f ? fixed_dt_ : clamp_frame_delta(real);
    screen_presented_ = false;
    bool quit = frame_func_();
    if (!quit) {
        if (render_func_) render_func_();
        if (in_scene_) Gfx_EndScene(); // a scene left open would block every later frame
        if (!screen_presented_) present();
        ++frames_;
    }
    end_input_frame();
    return quit;
}

void WebEngine::on_visibility(bool hidden) {
    if (hidden == hidden_) return;
    hidden_ = hidden;
    if (!pause_when_hidden_) return;
    pause_audio(hidden);
    if (hidden) release_all_keys();
    // Time away is not game time: the next frame measures from here.
    last_ms_ = emscripten_get_now();
}

void WebEngine::Timer_SetFixedDelta(float seconds) {
    fixed_dt_ = (seconds > 0.0f && seconds < 1e30f) ? seconds : 0.0f;
}

void WebEngine::System_Log(const char* format, ...) {
    if (log_name_.empty() || !format) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    kv_log_line(line);
}

void WebEngine::System_MessageBox(const char* text, const char* caption) {
    if (!text) text = "";
    if (!caption) caption = "";
    std::fprintf(stderr, "%s: %s\n", caption, text);
    kv_show_message(caption, text);
}

void* WebEngine::Resource_Load(const char* filename, uint32_t* size) {
    if (size) *size = 0;
    if (!filename) return nullptr;
    return load_whole_file(resolve(filename).c_str(), size);
}

void WebEngine::Resource_Free(void* resource) {
    std::free(resource);
}

// The player's own files live in the page's local storage, one item each,
// a byte to a character.
EM_JS(int, kv_user_size, (const char* name), {
    try {
        var s = window.localStorage.getItem("korvane/" + UTF8ToString(name));
        return s === null ? -1 : s.length;
    } catch (e) {
        return -1;
    }
});

EM_JS(void, kv_user_read, (const char* name, unsigned char* out, int size), {
    var s = window.localStorage.getItem("korvane/" + UTF8ToString(name)) || "";
    for (var i = 0; i < size && i < s.length; ++i) HEAPU8[out + i] = s.charCodeAt(i) & 255;
});

EM_JS(int, kv_user_write, (const char* name, const unsigned char* data, int size), {
    try {
        var s = "";
        for (var i = 0; i < size; ++i) s += String.fromCharCode(HEAPU8[data + i]);
        window.localStorage.setItem("korvane/" + UTF8ToString(name), s);
        return 1;
    } catch (e) {
        return 0; // storage full or refused (a private window)
    }
});

void* WebEngine::UserFile_Load(const char* filename, uint32_t* size) {
    if (!filename) return nullptr;
    const int length = kv_user_size(filename);
    if (length < 0 || length > (1 << 20)) return nullptr;
    // One byte more, zero, so a text can be read as a C string.
    unsigned char* data = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (!data) return nullptr;
    kv_user_read(filename, data, length);
    data[length] = 0;
    if (size) *size = static_cast<uint32_t>(length);
    return data;
}

bool WebEngine::UserFile_Save(const char* filename, const void* data, uint32_t size) {
    if (!filename || (size > 0 && !data) || size > (1u << 20)) return false;
    return kv_user_write(filename, static_cast<const unsigned char*>(data), static_cast<int>(size)) != 0;
}

int WebEngine::Ini_GetInt(const char* section, const char* name, int def) {
    return ini_.get_int(section, name, def);
}

float WebEngine::Ini_GetFloat(const char* section, const char* name, float def) {
    return ini_.get_float(section, name, def);
}
