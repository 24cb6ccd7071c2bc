// The engine as an online frame sees it: the merged keyboard of both sides,
// the session's fixed frame time, and silence while a frame runs again.
// Everything else goes to the real engine.
#pragma once

#include "engine/engine.h"
#include "online/keys.h"

class FrameEngine final : public Engine {
  public:
    explicit FrameEngine(Engine* real) : real_(real) {}

    Engine* real() const { return real_; }
    // The keys and time of the frame about to run; silent frames play no sound.
    void set_frame(const KeyFrame& keys, float dt, bool silent) {
        keys_ = keys;
        dt_ = dt;
        silent_ = silent;
    }

    void System_SetState(hgeBoolState s, bool v) override { real_->System_SetState(s, v); }
    void System_SetState(hgeFuncState s, hgeCallback v) override { real_->System_SetState(s, v); }
    void System_SetState(hgeIntState s, int v) override { real_->System_SetState(s, v); }
    void System_SetState(hgeStringState s, const char* v) override { real_->System_SetState(s, v); }
    int System_GetStateInt(hgeIntState s) override { return real_->System_GetStateInt(s); }
    bool System_Initiate() override { return real_->System_Initiate(); }
    const char* System_GetErrorMessage() override { return real_->System_GetErrorMessage(); }
    bool System_Start() override { return real_->System_Start(); }
    void System_Shutdown() override { real_->System_Shutdown(); }
    void System_Log(const char* format, ...) override;
    void System_MessageBox(const char* text, const char* caption) override {
        real_->System_MessageBox(text, caption);
    }
    void* Resource_Load(const char* f, uint32_t* size) override { return real_->Resource_Load(f, size); }
    void Resource_Free(void* r) override { real_->Resource_Free(r); }
    int Ini_GetInt(const char* s, const char* n, int d) override { return real_->Ini_GetInt(s, n, d); }
    float Ini_GetFloat(const char* s, const char* n, float d) override {
        return real_->Ini_GetFloat(s, n, d);
    }
    void Random_Seed(int seed) override { real_->Random_Seed(seed); }
    int Random_Int(int lo, int hi) override { return real_->Random_Int(lo, hi); }
    float Random_Float(float lo, float hi) override { return real_->Random_Float(lo, hi); }
    uint64_t Random_GetState() override { return real_->Random_GetState(); }
    void Random_SetState(uint64_t s) override { real_->Random_SetState(s); }
    float Timer_GetDelta() override { return dt_; }
    HEFFECT Effect_Load(const char* f, uint32_t size) override { return real_->Effect_Load(f, size); }
    void Effect_Free(HEFFECT e) override { real_->Effect_Free(e); }
    HCHANNEL Effect_Play(HEFFECT e) override;
    bool Channel_IsPlaying(HCHANNEL c) override { return real_->Channel_IsPlaying(c); }
    void Channel_StopAll() override {
        if (!silent_) real_->Channel_StopAll();
    }
    bool Input_KeyDown(int key) override { return keys_.went_down(key); }
    bool Input_KeyUp(int key) override { return keys_.went_up(key); }
    bool Input_GetKeyState(int key) override { return keys_.is_held(key); }
    int Input_GetKey() override { return keys_.last_key; }
    HTEXTURE Texture_Load(const char* f, uint32_t size, bool mip) override {
        return real_->Texture_Load(f, size, mip);
    }
    void Texture_Free(HTEXTURE t) override { real_->Texture_Free(t); }
    int Texture_GetWidth(HTEXTURE t, bool o) override { return real_->Texture_GetWidth(t, o); }
    int Texture_GetHeight(HTEXTURE t, bool o) override { return real_->Texture_GetHeight(t, o); }
    HTARGET Target_Create(int w, int h, bool z) override { return real_->Target_Create(w, h, z); }
    void Target_Free(HTARGET t) override { real_->Target_Free(t); }
    HTEXTURE Target_GetTexture(HTARGET t) override { return real_->Target_GetTexture(t); }
    bool Gfx_BeginScene(HTARGET t) override { return real_->Gfx_BeginScene(t); }
    void Gfx_EndScene() override { real_->Gfx_EndScene(); }
    void Gfx_Clear(uint32_t c) override { real_->Gfx_Clear(c); }
    void Gfx_RenderQuad(const hgeQuad* q) override { real_->Gfx_RenderQuad(q); }
    bool System_RunFrames(int n) override { return real_->System_RunFrames(n); }
    void Input_Inject(int key, bool down) override { real_->Input_Inject(key, down); }
    void Timer_SetFixedDelta(float s) override { real_->Timer_SetFixedDelta(s); }
    bool Gfx_SaveScreenshot(const char* f) override { return real_->Gfx_SaveScreenshot(f); }

  private:
    static const int REMEMBERED = 16;

    Engine* real_;
    KeyFrame keys_;
    float dt_ = 1.0f / 60.0f;
    bool silent_ = false;
    // The channel each effect last really started: a silent frame hands it
    // out again, so the game's note of a playing sound stays true.
    HEFFECT effects_[REMEMBERED] = {};
    HCHANNEL channels_[REMEMBERED] = {};
};
