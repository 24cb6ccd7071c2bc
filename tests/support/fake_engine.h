// An engine for unit tests: records what the game asks of it and lets a test
// script random draws, keys and settings.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/engine.h"

class FakeEngine : public Engine {
public:
    // Installs itself behind hgeCreate for the life of the object.
    FakeEngine();
    ~FakeEngine() override;

    // What the game did.
    std::vector<hgeQuad> quads;            // every Gfx_RenderQuad, in order
    std::vector<HEFFECT> played;           // every Effect_Play, in order
    std::vector<std::string> log;          // every System_Log line
    std::vector<std::string> messages;     // every System_MessageBox text
    int stop_all_calls = 0;
    int clears = 0;
    uint32_t last_clear_color = 0;

    // What the game will see.
    std::map<std::string, std::string> ini; // "section.key" (lower case) -> text
    float delta = 1.0f / 60.0f;
    std::map<std::string, std::pair<int, int>> textures; // file name -> size; others are 256 x 512
    std::set<std::string> missing;                       // effects and textures that fail to load
    std::map<std::string, std::string> files;            // Resource_Load contents
    std::map<std::string, std::string> user_files;       // UserFile_Load / UserFile_Save contents
    bool user_files_writable = true;
    bool channels_paused = false;
    std::map<int, bool> bool_states;                     // hgeBoolState -> last value set
    std::map<int, int> int_states;                       // the other hgeIntStates set
    int screen_width = 800, screen_height = 590;

    // Key changes take effect at the next begin_frame().
    void press(int key) { pending_.push_back({key, true}); }
    void release(int key) { pending_.push_back({key, false}); }
    void begin_frame();
    void reset_records();

    void System_SetState(hgeBoolState state, bool value) override { bool_states[state] = value; }
    void System_SetState(hgeFuncState state, hgeCallback value) override;
    void System_SetState(hgeIntState state, int value) override;
    void System_SetState(hgeStringState, const char*) override {}
    int System_GetStateInt(hgeIntState state) override;
    bool System_Initiate() override { return true; }
    const char* System_GetErrorMessage() override { return ""; }
    bool System_Start() override { return true; }
    void System_Shutdown() override {}
    void System_Log(const char* format, ...) override;
    void System_MessageBox(const char* text, const char* caption) override;
    void* Resource_Load(const char* filename, uint32_t* size) override;
    void Resource_Free(void* resource) override;
    void* UserFile_Load(const char* filename, uint32_t* size) override;
    bool UserFile_Save(const char* filename, const void* data, uint32_t size) override;
    void Channel_PauseAll() override { channels_paused = true; }
    void Channel_ResumeAll() override { channels_paused = false; }
    int Ini_GetInt(const char* section, const char* name, int def) override;
    float Ini_GetFloat(const char* section, const char* name, float def) override;
    float Timer_GetDelta() override { return delta; }
    HEFFECT Effect_Load(const char* filename, uint32_t) override;
    void Effect_Free(HEFFECT) override {}
    HCHANNEL Effect_Play(HEFFECT eff) override;
    bool Channel_IsPlaying(HCHANNEL chn) override { return chn != 0 && chn == playing_channel; }
    void Channel_StopAll() override { ++stop_all_calls; playing_channel = 0; }
    bool Input_KeyDown(int key) override { return key >= 0 && key < 256 && down_[key]; }
    bool Input_KeyUp(int key) override { return key >= 0 && key < 256 && up_[key]; }
    bool Input_GetKeyState(int key) override { return key >= 0 && key < 256 && held_[key]; }
    int Input_GetKey() override { return last_key_; }
    HTEXTURE Texture_Load(const char* filename, uint32_t, bool) override;
    void Texture_Free(HTEXTURE) override {}
    int Texture_GetWidth(HTEXTURE tex, bool) override;
    int Texture_GetHeight(HTEXTURE tex, bool) override;
    HTARGET Target_Create(int width, int height, bool) override;
    void Target_Free(HTARGET) override {}
    HTEXTURE Target_GetTexture(HTARGET target) override;
    bool Gfx_BeginScene(HTARGET target) override { current_target = target; return true; }
    void Gfx_EndScene() override {}
    void Gfx_Clear(uint32_t color) override { ++clears; last_clear_color = color; }
    void Gfx_RenderQuad(const hgeQuad* quad) override { quads.push_back(*quad); }
    bool System_RunFrames(int n) override;
    void Input_Inject(int key, bool down) override { pending_.push_back({key, down}); }
    void Timer_SetFixedDelta(float seconds) override { delta = seconds; }
    bool Gfx_SaveScreenshot(const char*) override { return false; }

    HCHANNEL playing_channel = 0; // the one channel a test may treat as still sounding
    HTARGET current_target = 0;

private:
    std::vector<std::pair<int, int>> texture_sizes_; // by handle - 1
    std::vector<std::pair<int, int>> target_sizes_;  // by handle - 1
    std::map<HTARGET, HTEXTURE> target_textures_;
    std::vector<std::pair<int, bool>> pending_;
    bool held_[256] = {}, down_[256] = {}, up_[256] = {};
    int last_key_ = 0;
    hgeCallback frame_func_ = nullptr, render_func_ = nullptr;
    HCHANNEL next_channel_ = 1;
    Engine* self_ref_ = nullptr;
};
