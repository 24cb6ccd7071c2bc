// The SDL back end's engine object, shared by the files of this folder.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/key_state.h"
#include "engine/sdl/display.h"
#include "engine/frame_math.h"
#include "engine/sdl/gamepads.h"
#include "engine/sdl/ini_file.h"
#include "engine/sdl/picture_loads.h"
#include "engine/slots.h"

struct SdlDisplayState;

class SdlEngine final : public Engine {
  public:
    SdlEngine();
    ~SdlEngine() override;

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
    void* UserFile_Load(const char* filename, uint32_t* size) override;
    bool UserFile_Save(const char* filename, const void* data, uint32_t size) override;

    int Ini_GetInt(const char* section, const char* name, int def) override;
    float Ini_GetFloat(const char* section, const char* name, float def) override;

    float Timer_GetDelta() override { return dt_; }

    HEFFECT Effect_Load(const char* filename, uint32_t size) override;
    void Effect_Free(HEFFECT eff) override;
    HCHANNEL Effect_Play(HEFFECT eff) override;
    bool Channel_IsPlaying(HCHANNEL chn) override;
    void Channel_StopAll() override;
    void Channel_PauseAll() override;
    void Channel_ResumeAll() override;

    bool Input_KeyDown(int key) override { return keys_.down(key); }
    bool Input_KeyUp(int key) override { return keys_.up(key); }
    bool Input_GetKeyState(int key) override { return keys_.held(key); }
    int Input_GetKey() override { return keys_.last(); }
    bool Input_LetterDown(int letter) override { return keys_.letter_down(letter); }

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
    void Input_Inject(int key, bool down) override;
    void Input_InjectTyped(int key, int letter) override;
    void Timer_SetFixedDelta(float seconds) override;
    bool Gfx_SaveScreenshot(const char* filename) override;

    // Recreates what a lost device took (see sdl_engine_simulate_device_reset).
    bool restore_graphics(bool whole_device);
    // The pixels of a target or the screen (0) as 0xAARRGGBB; false if unknown.
    bool read_pixels(HTARGET target, std::vector<uint32_t>* pixels, int* w, int* h);
    // Where the picture goes in an out_w x out_h output: the letterbox, or
    // whole multiples only when "integer_scaling" is on.
    Letterbox output_rect(int out_w, int out_h) const;

    // Hooks of sdl_engine.h.
    void set_device_input(bool enabled);
    void set_gamepads(bool enabled) {
        if (!initiated_) gamepads_setting_ = enabled ? 1 : 0;
    }
    void set_deferred_loads(bool enabled) {
        if (!initiated_) defer_setting_ = enabled ? 1 : 0;
    }
    bool started() const { return initiated_; }
    bool paused() const { return paused_.load(); }
    void hold_decodes(bool held);
    bool channel_streamed(HCHANNEL chn) const;
    void describe(SdlDisplayState* out) const;
    // The sound device went away: reopen the default one, or go on silently.
    void reopen_audio();

  private:
    struct TextureSlot {
        bool used = false;
        uint32_t gen = 0;
        SDL_Texture* tex = nullptr;
        SDL_Texture* mask = nullptr; // white with the image's alpha, made for colour add
        bool no_mask = false;        // its image could not be read again
        int w = 0, h = 0;
        bool is_target = false;     // owned by its target, not by Texture_Free
        bool target_pending = false; // a target not made yet
        bool needs_clear = false;    // a parked picture taken again: black from its first use
        // A picture not uploaded yet: its decode, done or to come.
        std::shared_ptr<PictureLoads::Job> decode;
        std::string path;           // the file it came from, for a device reset
        std::vector<uint8_t> bytes; // or its bytes, when it was loaded from memory
    };
    struct TargetSlot {
        bool used = false;
        uint32_t gen = 0;
        HTEXTURE texture = 0;
        int w = 0, h = 0;
    };
    struct EffectDecode;
    struct DecodeGate;
    struct EffectSlot {
        bool used = false;
        uint32_t gen = 0;
        Mix_Chunk* chunk = nullptr; // nullptr without a mixer: it plays silently
        float length = 0.0f;        // seconds
        // A decode not yet collected; chunk and length wait for it.
        std::shared_ptr<EffectDecode> decode;
        std::string path;           // the file it came from, to load again on a new device
        std::vector<uint8_t> bytes; // or its bytes, when it was loaded from memory
    };
    struct Pad {
        SDL_GameController* controller = nullptr;
        SDL_JoystickID id = -1;
        int player = -1; // 0 or 1; -1 waits for a free player
        PadInput input;
        unsigned held = 0;              // actions whose keys this pad holds down
        int held_key[PAD_ACTIONS] = {}; // the key each held action pressed
    };
    struct ChannelState {
        uint32_t generation = 0; // of the last play on this channel
        HEFFECT effect = 0;
        bool active = false; // simulated sound: started and not stopped
        double start = 0.0;  // simulated time of the start
        float length = 0.0f;
    };

    // sdl_system.cpp
    bool start_video();
    void start_audio();
    bool run_frame();
    void advance_clock();
    void pace_frame();
    bool should_pause() const;
    void set_display_flag(hgeBoolState state, bool value);
    void set_scale(int scale);
    void apply_scale();
    SDL_Rect desktop() const;
    void set_fullscreen(bool on);
    void set_volume(int volume);
    std::string user_path(const char* name) const;
    void wait_while_paused();
    void update_paths();
    bool installed() const; // data from the shared folder, player files in XDG folders
    void prepare_user_files();
    std::string resolve(const char* name) const;
    // sdl_input.cpp
    void begin_input_frame();
    void pump_events();
    void apply_device_input();
    void on_key_event(const SDL_KeyboardEvent& key);
    void release_physical_keys();
    void toggle_fullscreen();
    void on_window_event(const SDL_WindowEvent& event);
    // sdl_pads.cpp
    void start_gamepads();
    void stop_gamepads();
    void on_pad_event(const SDL_Event& event);
    void open_pad(int device_index);
    void close_pad(SDL_JoystickID id);
    void give_free_players();
    void apply_pad(Pad& pad);
    void release_pad(Pad& pad);
    void release_all_pads();
    void reread_pads();
    // sdl_sound.cpp
    bool simulated_audio() const { return headless_ || !audio_open_; }
    bool simulated_playing(const ChannelState& c) const;
    void free_all_effects();
    bool open_mixer();
    Mix_Chunk* load_chunk(const EffectSlot& e);
    bool start_decode(EffectSlot& e);
    void finish_decode(EffectSlot& e);
    void drop_all_decodes();
    const std::shared_ptr<DecodeGate>& decode_gate();
    void start_pending_decodes();
    void set_length(EffectSlot& e);
    bool start_stream(HEFFECT eff, const EffectSlot& e);
    void stop_stream();
    bool mixer_playing(int ch) const;
    void pause_sound(bool paused);
    // sdl_gfx.cpp
    bool create_screen();
    bool make_screen_picture();
    SDL_Texture* create_target_texture(int w, int h);
    SDL_Texture* take_target_texture(int w, int h, bool* parked);
    void park_target_texture(SDL_Texture* t, int w, int h);
    void drop_parked_textures();
    SDL_Surface* decode_image(const TextureSlot& slot);
    bool upload_texture(TextureSlot& slot);
    bool make_texture(TextureSlot& slot, SDL_Surface* image);
    bool queue_picture(TextureSlot& slot);
    SDL_Texture* texture_now(TextureSlot& slot);
    // The texture to draw with; cheap unless something was left for later.
    SDL_Texture* texture_of(TextureSlot& slot) {
        return slot.decode || slot.target_pending || slot.needs_clear ? texture_now(slot)
                                                                       : slot.tex;
    }
    void finish_deferred_step();
    // Start-up leaves pictures and targets for later, until the first frame is out.
    bool deferring() const {
        return !decodes_started_ && (defer_setting_ == 1 || (defer_setting_ < 0 && !headless_));
    }
    SDL_Texture* texture_mask(TextureSlot& slot);
    void release_texture(TextureSlot& slot);
    void free_all_graphics();
    void flush();
    void draw_batch(SDL_Texture* tex, int quads, bool additive);
    bool begin_screen();
    void present();
    void show_window();
    void redraw();

    // Configuration.
    std::string title_;
    bool windowed_ = true, hide_mouse_ = false, headless_ = false;
    int screen_w_ = 800, screen_h_ = 600, bpp_ = 32, fps_ = 0, seed_ = 0;
    hgeCallback frame_func_ = nullptr, render_func_ = nullptr, restore_func_ = nullptr;
    std::string ini_name_, log_name_, data_dir_setting_;
    std::string data_dir_; // in force: the setting, else data/ beside the executable
    std::string log_path_;
    IniFile ini_;
    std::string error_;

    // SDL objects.
    bool initiated_ = false;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Surface* offscreen_ = nullptr; // headless drawing surface
    // The screen scene headless; with a window, which keeps nothing between
    // frames, the frame drawn again to be read back.
    SDL_Texture* screen_ = nullptr;
    SDL_Texture* white_ = nullptr;     // one white texel: untextured quads draw with it
    bool audio_open_ = false;
    bool audio_subsystem_ = false;
    int mix_freq_ = 0, mix_channels_ = 0, mix_bytes_ = 0;
    bool quit_requested_ = false;

    // Display, focus and devices.
    DisplayOptions display_;
    unsigned display_chosen_ = 0; // bits of (1 << hgeBoolState) and kScaleChosen set before the start
    static const unsigned kScaleChosen = 1u << 31;
    bool vsync_active_ = false;
    int scale_fits_ = 1;         // the window's scale in force: the chosen one, or less to fit
    bool scale_pending_ = false; // chosen while fullscreen, for the window when it comes back
    bool focused_ = true, minimized_ = false;
    std::atomic<bool> paused_{false};
    bool channels_paused_ = false; // the game's pause holds the sound
    int volume_ = 100;
    bool device_input_ = true; // physical keys and pads reach the game
    bool device_input_applied_ = true;
    int gamepads_setting_ = -1; // -1: pads with a window only; 0 never; 1 always
    bool gamepads_on_ = false;
    bool pads_deferred_ = false; // opened after the first frame
    std::vector<Pad> pads_;
    PadKeys pad_keys_[2] = {};

    // Clock.
    uint64_t last_counter_ = 0;
    FramePacer pacer_;
    VsyncCheck vsync_check_;
    uint64_t last_present_ = 0; // when the frame before was out, for vsync_check_
    float dt_ = 0.0f, fixed_dt_ = 0.0f;
    double sim_time_ = 0.0; // sum of the frame times handed out

    KeyState keys_;
    bool scancode_held_[SDL_NUM_SCANCODES] = {};

    // Sound.
    Slots<EffectSlot> effects_;
    static const int kChannels = 32;
    // One more, past the mixer's channels, for an effect streamed as music.
    static const int kStreamChannel = kChannels;
    ChannelState channels_[kChannels + 1];
    Mix_Music* stream_ = nullptr;
    HEFFECT stream_effect_ = 0;
    std::shared_ptr<DecodeGate> decode_gate_;
    bool decodes_started_ = false; // the first frame is out
    uint32_t play_generation_ = 0;

    // Graphics.
    Slots<TextureSlot> textures_;
    Slots<TargetSlot> targets_;
    // Freed targets' textures, for the next target of the same size: a view
    // changes width back and forth, and making a texture is slow and allocates.
    struct ParkedTexture {
        SDL_Texture* tex;
        int w, h;
    };
    static const size_t kParkedTextures = 4;
    std::vector<ParkedTexture> parked_;
    bool in_scene_ = false;
    HTARGET scene_target_ = 0;
    bool screen_presented_ = false;
    bool traced_present_ = false;
    static const int kBatchQuads = 2048;
    std::vector<SDL_Vertex> verts_;
    std::vector<int> indices_;
    std::vector<SDL_Color> saved_colors_;
    std::vector<SDL_Vertex> triangles_; // six corners a quad, for the software renderer
    bool software_ = false;             // SDL's software renderer draws the output
    // The screen scene's picture pixels to the output's: the letterbox's
    // place and scale in a window, the identity elsewhere.
    float map_x_ = 0.0f, map_y_ = 0.0f, map_sx_ = 1.0f, map_sy_ = 1.0f;
    Letterbox screen_box_{0, 0, 0, 0};
    bool screen_bars_ = false; // the window shows bars beside the picture
    bool capturing_ = false;   // the screen scene goes to screen_, not to the window
    bool captured_ = false;    // a screen scene was drawn while capturing
    PictureLoads pictures_;
    int defer_setting_ = -1;     // -1: with a window only; 0 never; 1 always
    bool deferred_work_ = false; // pictures or targets still to finish
    int batch_quads_ = 0;
    HTEXTURE batch_tex_ = 0;
    int batch_blend_ = 0;
};
