// The platform seam. Game code reaches the window, clock, keyboard, sound,
// textures, render targets, settings file and log only
// through this interface; only src/engine/ includes SDL.
#pragma once

#include <cstdint>

#include "base/keys.h"

#define ENGINE_VERSION 0x180

// Handles are opaque; 0 always means "nothing".
typedef uintptr_t HTEXTURE;
typedef uintptr_t HTARGET;
typedef uintptr_t HEFFECT;
typedef uintptr_t HCHANNEL;

// Blend bits. BLEND_DEFAULT multiplies the texture by the vertex colour and
// alpha-blends, without depth writes.
enum {
    BLEND_COLORMUL = 0,
    BLEND_COLORADD = 1,
    BLEND_ALPHAADD = 0,
    BLEND_ALPHABLEND = 2,
    BLEND_NOZWRITE = 0,
    BLEND_ZWRITE = 4,
    BLEND_DEFAULT = BLEND_COLORMUL | BLEND_ALPHABLEND | BLEND_NOZWRITE,
};

struct hgeVertex {
    float x, y;   // screen pixels of the current scene
    float z;      // depth 0..1 (kept, not used for sorting)
    uint32_t col; // ARGB
    float tx, ty; // texture coordinates 0..1
};

// Vertex 0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left.
struct hgeQuad {
    hgeVertex v[4];
    HTEXTURE tex;
    int blend;
};

enum hgeBoolState {
    HGE_WINDOWED,
    HGE_HIDEMOUSE,
    HGE_SHOWSPLASH,
    HGE_HEADLESS, // no window, no sound device, software drawing off screen
    // The player's display choices; before System_Initiate they win over the
    // settings file's, after it they apply at once where the platform can.
    HGE_INTEGERSCALING,
    HGE_VSYNC,
    HGE_PAUSEUNFOCUSED,
};

enum hgeFuncState {
    HGE_FRAMEFUNC,      // bool(): true ends the loop
    HGE_RENDERFUNC,     // bool(): result ignored
    HGE_GFXRESTOREFUNC, // bool(): called after render targets were lost
};

enum hgeIntState {
    HGE_SCREENWIDTH,
    HGE_SCREENHEIGHT,
    HGE_SCREENBPP,
    HGE_FPS,      // frame limiter, frames per second
    HGE_SEED,     // non-zero: a new game's random numbers start from it instead of the clock
    HGE_FXVOLUME, // sound volume 0..100, at once
    HGE_SCALE,    // window size as a whole multiple of the picture (as HGE_INTEGERSCALING)
};

enum hgeStringState {
    HGE_TITLE,
    HGE_INIFILE,
    HGE_LOGFILE,
    HGE_DATADIR, // where "data/..." names resolve; default: data/ beside the executable
};

typedef bool (*hgeCallback)();

class Engine {
public:
    // Gives back one reference taken by hgeCreate; the last one destroys the engine.
    void Release();

    virtual void System_SetState(hgeBoolState state, bool value) = 0;
    virtual void System_SetState(hgeFuncState state, hgeCallback value) = 0;
    virtual void System_SetState(hgeIntState state, int value) = 0;
    virtual void System_SetState(hgeStringState state, const char* value) = 0;
    virtual int System_GetStateInt(hgeIntState state) = 0;
    virtual bool System_Initiate() = 0;
    virtual const char* System_GetErrorMessage() = 0;
    // Runs frame and render callbacks until the frame callback returns true.
    virtual bool System_Start() = 0;
    virtual void System_Shutdown() = 0;
    // Appends one line (printf format) to the log file.
    virtual void System_Log(const char* format, ...) = 0;
    // A modal error report; without a display the words go to stderr.
    virtual void System_MessageBox(const char* text, const char* caption) = 0;

    // Whole files; the name resolves like every "data/..." name. nullptr on failure.
    virtual void* Resource_Load(const char* filename, uint32_t* size = nullptr) = 0;
    virtual void Resource_Free(void* resource) = 0;

    // The player's own files (options): beside the player's settings, in the
    // user's config folder when installed, else in the data folder. Load
    // gives nullptr when missing (free with Resource_Free); Save replaces the
    // whole file at once and is false when it could not.
    virtual void* UserFile_Load(const char* filename, uint32_t* size = nullptr) {
        (void)filename;
        (void)size;
        return nullptr;
    }
    virtual bool UserFile_Save(const char* filename, const void* data, uint32_t size) {
        (void)filename;
        (void)data;
        (void)size;
        return false;
    }

    // Missing file, section or key gives def; names compare without case.
    virtual int Ini_GetInt(const char* section, const char* name, int def) = 0;
    virtual float Ini_GetFloat(const char* section, const char* name, float def) = 0;

    // Seconds since the last frame, at most 0.1.
    virtual float Timer_GetDelta() = 0;

    virtual HEFFECT Effect_Load(const char* filename, uint32_t size = 0) = 0;
    virtual void Effect_Free(HEFFECT eff) = 0;
    // Plays once at default volume. The handle never aliases a later sound.
    virtual HCHANNEL Effect_Play(HEFFECT eff) = 0;
    virtual bool Channel_IsPlaying(HCHANNEL chn) = 0;
    virtual void Channel_StopAll() = 0;
    // Holds every sound where it is until Channel_ResumeAll (the game's pause).
    virtual void Channel_PauseAll() {}
    virtual void Channel_ResumeAll() {}

    // True only in the frame in which the key went down / up.
    virtual bool Input_KeyDown(int key) = 0;
    virtual bool Input_KeyUp(int key) = 0;
    virtual bool Input_GetKeyState(int key) = 0;
    // A key pressed this frame, 0 if none.
    virtual int Input_GetKey() = 0;
    // True only in the frame in which a key went down that the keyboard layout
    // labels with this letter ('A'..'Z'). The key codes above name keys by
    // their place on a US keyboard, so that flying stays under the same hand
    // on every layout; text typed goes by the label. A back end that cannot
    // tell the two apart takes the place for the label.
    virtual bool Input_LetterDown(int letter) {
        return letter >= 'A' && letter <= 'Z' && Input_KeyDown(letter);
    }

    virtual HTEXTURE Texture_Load(const char* filename, uint32_t size = 0, bool mipmap = false) = 0;
    virtual void Texture_Free(HTEXTURE tex) = 0;
    // original: the image's own size rather than the stored one (the same here).
    virtual int Texture_GetWidth(HTEXTURE tex, bool original = false) = 0;
    virtual int Texture_GetHeight(HTEXTURE tex, bool original = false) = 0;

    virtual HTARGET Target_Create(int width, int height, bool zbuffer) = 0;
    virtual void Target_Free(HTARGET target) = 0;
    // Changes after the graphics device is restored.
    virtual HTEXTURE Target_GetTexture(HTARGET target) = 0;

    // target 0 is the screen. Scenes never nest.
    virtual bool Gfx_BeginScene(HTARGET target = 0) = 0;
    virtual void Gfx_EndScene() = 0;
    virtual void Gfx_Clear(uint32_t color) = 0;
    virtual void Gfx_RenderQuad(const hgeQuad* quad) = 0;

    // Test and replay seam: used by the headless runner and recordings only.
    // Runs n frames; true when the frame callback ended the loop.
    virtual bool System_RunFrames(int n) = 0;
    // The key goes down / up before the next frame; a letter key types its
    // own letter, as on a US keyboard.
    virtual void Input_Inject(int key, bool down) = 0;
    // The key goes down before the next frame, typing letter ('A'..'Z', or 0
    // for none) as a key of another layout does.
    virtual void Input_InjectTyped(int key, int letter) {
        (void)letter;
        Input_Inject(key, true);
    }
    // Frame time of the following frames; 0 returns to the real clock.
    virtual void Timer_SetFixedDelta(float seconds) = 0;
    // Writes the screen as it would be presented to a PNG file.
    virtual bool Gfx_SaveScreenshot(const char* filename) = 0;

protected:
    Engine() = default;
    virtual ~Engine() = default;

private:
    friend Engine* hgeCreate(int version);
    int refs_ = 0;
};

// The process's engine with one more reference; the first call creates it
// with the chosen back end. nullptr for a wrong version or no back end.
Engine* hgeCreate(int version);

// The keyboard of the frame about to run, as one value.
void read_key_frame(Engine* e, KeyFrame& out);

// The program entry (or a test) chooses the back end before the first hgeCreate.
void engine_set_backend(Engine* (*make)());

// The SDL back end: a window, or with HGE_HEADLESS an off-screen software one.
Engine* create_sdl_engine();
