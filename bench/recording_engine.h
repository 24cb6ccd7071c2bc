// An engine that passes every call to the SDL back end and, while asked to,
// keeps a copy of what the game draws, so the same quads can be submitted raw.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/engine.h"

// One drawing call as the game made it.
struct DrawOp {
    enum Kind { BEGIN, CLEAR, QUAD, END } kind;
    HTARGET target = 0; // BEGIN: 0 is the screen
    uint32_t color = 0; // CLEAR
    hgeQuad quad = {};  // QUAD
};

// Where a texture handle's picture comes from.
struct TextureOrigin {
    std::string file; // resolved path of a loaded image; empty for a target's picture
    int width = 0, height = 0;
};

class RecordingEngine final : public Engine {
  public:
    // Wraps a new SDL engine; the wrapper owns it.
    RecordingEngine();
    ~RecordingEngine() override;

    // Starts a fresh recording of the drawing calls.
    void start_recording();
    // Stops recording and hands over what was drawn since start_recording.
    std::vector<DrawOp> stop_recording();
    // The origin of every texture handle the game has been given; empty for unknown handles.
    const TextureOrigin* texture_origin(HTEXTURE tex) const;
    // The texture handle of a target as last handed out, or 0.
    HTEXTURE target_texture(HTARGET target) const;
    // The SDL engine behind the wrapper.
    Engine* inner() const { return inner_; }
    // The folder "data/..." names resolve to.
    const std::string& data_dir() const { return data_dir_; }

    void System_SetState(hgeBoolState state, bool value) override;
    void System_SetState(hgeFuncState state, hgeCallback value) override;
    void System_SetState(hgeIntState state, int value) override;
    void System_SetState(hgeStringState state, const char* value) override;
    int System_GetStateInt(hgeIntState state) override;
    bool System_Initiate() override;
    const char* System_GetErrorMessage() override;
    bool System_Start() override;
    void System_Shutdown() override;
    void System_Log(const char* format, ...) override;
    void System_MessageBox(const char* text, const char* caption) override;
    void* Resource_Load(const char* filename, uint32_t* size) override;
    void Resource_Free(void* resource) override;
    int Ini_GetInt(const char* section, const char* name, int def) override;
    float Ini_GetFloat(const char* section, const char* name, float def) override;
    float Timer_GetDelta() override;
    HEFFECT Effect_Load(const char* filename, uint32_t size) override;
    void Effect_Free(HEFFECT eff) override;
    HCHANNEL Effect_Play(HEFFECT eff) override;
    bool Channel_IsPlaying(HCHANNEL chn) override;
    void Channel_StopAll() override;
    bool Input_KeyDown(int key) override;
    bool Input_KeyUp(int key) override;
    bool Input_GetKeyState(int key) override;
    int Input_GetKey() override;
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
    void Timer_SetFixedDelta(float seconds) override;
    bool Gfx_SaveScreenshot(const char* filename) override;

  private:
    Engine* inner_;
    bool recording_ = false;
    std::vector<DrawOp> ops_;
    std::string data_dir_;
    std::map<HTEXTURE, TextureOrigin> textures_;
    std::map<HTARGET, TextureOrigin> targets_;
    std::map<HTARGET, HTEXTURE> target_textures_;
};

// The backend maker for engine_set_backend.
Engine* create_recording_engine();
