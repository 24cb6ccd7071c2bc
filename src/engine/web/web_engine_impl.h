// The browser back end's engine object, shared by the files of this folder.
#pragma once

#include <GLES2/gl2.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/key_state.h"
#include "engine/slots.h"
#include "engine/web/web_ini.h"

class WebEngine final : public Engine {
  public:
    WebEngine();
    ~WebEngine() override;

    void System_SetState(hgeBoolState state, bool value) override;
    void System_SetState(hgeFuncState state, hgeCallback value) override;
    void System_SetState(hgeIntState state, int value) override;
    void System_SetState(hgeStringState state, const char* value) override;
    int System_GetStateInt(hgeIntState state) override;
    bool System_Initiate() override;
    const char* System_GetErrorMessage() override { return error_.c_str(); }
    bool System_Start() override;
    void System_Shutdown() override;
    void System_Log(const char* format, ...) override;
    void System_MessageBox(const char* text, const char* caption) override;

    void* Resource_Load(const char* filename, uint32_t* size) override;
    void Resource_Free(void* resource) override;

    int Ini_GetInt(const char* section, const char* name, int def) override;
    float Ini_GetFloat(const char* section, const char* name, float def) override;

    float Timer_GetDelta() override { return dt_; }

    HEFFECT Effect_Load(const char* filename, uint32_t size) override;
    void Effect_Free(HEFFECT eff) override;
    HCHANNEL Effect_Play(HEFFECT eff) override;
    bool Channel_IsPlaying(HCHANNEL chn) override;
    void Channel_StopAll() override;

    bool Input_KeyDown(int key) override { return keys_.down(key); }
    bool Input_LetterDown(int letter) override { return keys_.letter_down(letter); }
    bool Input_KeyUp(int key) override { return keys_.up(key); }
    bool Input_GetKeyState(int key) override { return keys_.held(key); }
    int Input_GetKey() override { return keys_.last(); }

    HTEXTURE Texture_Load(const char* filename, uint32_t size, bool mipmap) override;
    void Texture_Free(HTEXTURE tex) override;
    int Texture_GetWidth(HTEXTURE tex, bool original) override;
    int Texture_GetHeight(HTEXTURE tex, bool original) override;

    HTARGET Target_Create(int width, int height, bool zbuffer) override;
    void Target_Free(HTARGET target) override;
    HTEXTURE Target_GetTexture(HTARGET target) override;

    bool Gfx_BeginScene(HTARGET target) override;
    void Gfx_EndScene() override;
    void Gfx_Clear(uint32_t color) override;
    void Gfx_RenderQuad(const hgeQuad* quad) override;

    bool System_RunFrames(int n) override;
    void* UserFile_Load(const char* filename, uint32_t* size) override;
    bool UserFile_Save(const char* filename, const void* data, uint32_t size) override;
    void Channel_PauseAll() override;
    void Channel_ResumeAll() override;
    void Input_Inject(int key, bool down) override;
    void Input_InjectTyped(int key, int letter) override;
    void Timer_SetFixedDelta(float seconds) override;
    bool Gfx_SaveScreenshot(const char* filename) override;

    // One turn of the browser's animation loop.
    void animation_frame();
    void set_quit(void (*quit)()) { quit_ = quit; }
    long frames() const { return frames_; }

    // web_input.cpp, called from the browser's event handlers.
    bool on_key(bool down, const char* code, const char* key, bool repeat, bool alt);
    void release_all_keys();
    void on_visibility(bool hidden);
    // web_gfx.cpp: the context was lost and has come back.
    void restore_graphics();

  private:
    struct TextureSlot {
        bool used = false;
        uint32_t gen = 0;
        GLuint tex = 0;
        int w = 0, h = 0;
        bool is_target = false;
        std::string path;           // the file it came from, for a lost context
        std::vector<uint8_t> bytes; // or its bytes, when it was loaded from memory
    };
    struct TargetSlot {
        bool used = false;
        uint32_t gen = 0;
        HTEXTURE texture = 0;
        GLuint fbo = 0;
        int w = 0, h = 0;
    };
    struct EffectSlot {
        bool used = false;
        uint32_t gen = 0;
    };

    bool run_frame();
    std::string resolve(const char* name) const;
    void read_display_options();

    // web_input.cpp
    void start_input();
    void stop_input();
    void begin_input_frame();
    void end_input_frame();

    // web_sound.cpp
    void start_audio();
    void stop_audio();
    void pause_audio(bool paused);

    // web_gfx.cpp
    bool start_gl();
    bool create_screen();
    GLuint make_target_texture(int w, int h, GLuint* fbo);
    GLuint take_target_texture(int w, int h, GLuint* fbo);
    void drop_parked_targets(bool delete_them);
    bool upload_texture(TextureSlot& slot);
    void free_all_graphics();
    void bind_scene(GLuint fbo, int w, int h, bool flip);
    void flush();
    void present();

    // Configuration.
    std::string title_;
    bool windowed_ = true;
    int screen_w_ = 800, screen_h_ = 600, bpp_ = 32, fps_ = 0, seed_ = 0;
    hgeCallback frame_func_ = nullptr, render_func_ = nullptr, restore_func_ = nullptr;
    std::string ini_name_, log_name_, data_dir_ = "data";
    WebIni ini_;
    std::string error_;
    bool integer_scaling_ = false;
    bool pause_when_hidden_ = true;

    bool initiated_ = false;
    bool running_ = false;
    bool hidden_ = false;
    void (*quit_)() = nullptr;
    long frames_ = 0;

    // Clock.
    double last_ms_ = 0.0;
    float dt_ = 0.0f, fixed_dt_ = 0.0f;

    // Keyboard: the keys as the game sees them, and the code each held
    // physical key pressed, by its DOM code (both Shifts, Enter and keypad Enter).
    KeyState keys_;
    std::vector<std::pair<std::string, int>> held_codes_; // DOM code, key it holds

    bool audio_hidden_ = false, audio_game_paused_ = false;
    int volume_ = 100;
    int scale_ = 1;
    void set_volume(int percent);

    // Sound: effects and channels live in the page's script; these are the handles.
    Slots<EffectSlot> effects_;
    uint32_t play_serial_ = 0;

    // Graphics.
    int context_ = 0;
    GLuint program_ = 0, vbo_ = 0, ibo_ = 0, white_ = 0;
    GLint u_scale_ = -1, u_offset_ = -1, u_add_ = -1, u_tex_ = -1;
    GLuint screen_tex_ = 0, screen_fbo_ = 0;
    Slots<TextureSlot> textures_;
    Slots<TargetSlot> targets_;
    // Freed targets' pictures, for the next target of the same size: a view
    // changes width back and forth, and making one is slow and allocates.
    struct ParkedTarget {
        GLuint tex, fbo;
        int w, h;
    };
    static const size_t kParkedTargets = 4;
    std::vector<ParkedTarget> parked_;
    bool in_scene_ = false;
    HTARGET scene_target_ = 0;
    bool screen_presented_ = false;
    static const int kBatchQuads = 2048;
    struct Vertex {
        float x, y, u, v;
        uint32_t rgba; // bytes r, g, b, a in memory
    };
    std::vector<Vertex> verts_;
    int batch_quads_ = 0;
    HTEXTURE batch_tex_ = 0;
    int batch_blend_ = 0;
};
