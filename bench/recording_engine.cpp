#include "recording_engine.h"

#include <cstdarg>
#include <cstdio>

#include "engine/sdl/paths.h"

RecordingEngine::RecordingEngine() : inner_(create_sdl_engine()), data_dir_(default_data_dir()) {}

// The inner engine was never handed out by hgeCreate, so one Release deletes it.
RecordingEngine::~RecordingEngine() {
    inner_->Release();
}

void RecordingEngine::start_recording() {
    ops_.clear();
    recording_ = true;
}

std::vector<DrawOp> RecordingEngine::stop_recording() {
    recording_ = false;
    std::vector<DrawOp> out;
    out.swap(ops_);
    return out;
}

const TextureOrigin* RecordingEngine::texture_origin(HTEXTURE tex) const {
    auto it = textures_.find(tex);
    return it == textures_.end() ? nullptr : &it->second;
}

HTEXTURE RecordingEngine::target_texture(HTARGET target) const {
    auto it = target_textures_.find(target);
    return it == target_textures_.end() ? 0 : it->second;
}

void RecordingEngine::System_SetState(hgeBoolState state, bool value) {
    inner_->System_SetState(state, value);
}
void RecordingEngine::System_SetState(hgeFuncState state, hgeCallback value) {
    inner_->System_SetState(state, value);
}
void RecordingEngine::System_SetState(hgeIntState state, int value) {
    inner_->System_SetState(state, value);
}
void RecordingEngine::System_SetState(hgeStringState state, const char* value) {
    if (state == HGE_DATADIR) data_dir_ = value && *value ? std::string(value) : default_data_dir();
    inner_->System_SetState(state, value);
}
int RecordingEngine::System_GetStateInt(hgeIntState state) {
    return inner_->System_GetStateInt(state);
}
bool RecordingEngine::System_Initiate() {
    return inner_->System_Initiate();
}
const char* RecordingEngine::System_GetErrorMessage() {
    return inner_->System_GetErrorMessage();
}
bool RecordingEngine::System_Start() {
    return inner_->System_Start();
}
void RecordingEngine::System_Shutdown() {
    inner_->System_Shutdown();
}

void RecordingEngine::System_Log(const char* format, ...) {
    if (!format) return;
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    inner_->System_Log("%s", line);
}

void RecordingEngine::System_MessageBox(const char* text, const char* caption) {
    inner_->System_MessageBox(text, caption);
}
void* RecordingEngine::Resource_Load(const char* filename, uint32_t* size) {
    return inner_->Resource_Load(filename, size);
}
void RecordingEngine::Resource_Free(void* resource) {
    inner_->Resource_Free(resource);
}
int RecordingEngine::Ini_GetInt(const char* section, const char* name, int def) {
    return inner_->Ini_GetInt(section, name, def);
}
float RecordingEngine::Ini_GetFloat(const char* section, const char* name, float def) {
    return inner_->Ini_GetFloat(section, name, def);
}
float RecordingEngine::Timer_GetDelta() {
    return inner_->Timer_GetDelta();
}
HEFFECT RecordingEngine::Effect_Load(const char* filename, uint32_t size) {
    return inner_->Effect_Load(filename, size);
}
void RecordingEngine::Effect_Free(HEFFECT eff) {
    inner_->Effect_Free(eff);
}
HCHANNEL RecordingEngine::Effect_Play(HEFFECT eff) {
    return inner_->Effect_Play(eff);
}
bool RecordingEngine::Channel_IsPlaying(HCHANNEL chn) {
    return inner_->Channel_IsPlaying(chn);
}
void RecordingEngine::Channel_StopAll() {
    inner_->Channel_StopAll();
}
bool RecordingEngine::Input_KeyDown(int key) {
    return inner_->Input_KeyDown(key);
}
bool RecordingEngine::Input_KeyUp(int key) {
    return inner_->Input_KeyUp(key);
}
bool RecordingEngine::Input_GetKeyState(int key) {
    return inner_->Input_GetKeyState(key);
}
int RecordingEngine::Input_GetKey() {
    return inner_->Input_GetKey();
}

HTEXTURE RecordingEngine::Texture_Load(const char* filename, uint32_t size, bool mipmap) {
    HTEXTURE h = inner_->Texture_Load(filename, size, mipmap);
    // Images handed over as bytes cannot be loaded again by name; none of the game's are.
    if (h && size == 0 && filename) {
        TextureOrigin o;
        o.file = resolve_data_path(data_dir_, filename);
        o.width = inner_->Texture_GetWidth(h, false);
        o.height = inner_->Texture_GetHeight(h, false);
        textures_[h] = o;
    }
    return h;
}

void RecordingEngine::Texture_Free(HTEXTURE tex) {
    inner_->Texture_Free(tex);
    textures_.erase(tex);
}
int RecordingEngine::Texture_GetWidth(HTEXTURE tex, bool original) {
    return inner_->Texture_GetWidth(tex, original);
}
int RecordingEngine::Texture_GetHeight(HTEXTURE tex, bool original) {
    return inner_->Texture_GetHeight(tex, original);
}

HTARGET RecordingEngine::Target_Create(int width, int height, bool zbuffer) {
    HTARGET t = inner_->Target_Create(width, height, zbuffer);
    if (t) {
        TextureOrigin o;
        o.width = width;
        o.height = height;
        targets_[t] = o;
        Target_GetTexture(t);
    }
    return t;
}

void RecordingEngine::Target_Free(HTARGET target) {
    inner_->Target_Free(target);
    textures_.erase(target_texture(target));
    targets_.erase(target);
    target_textures_.erase(target);
}

HTEXTURE RecordingEngine::Target_GetTexture(HTARGET target) {
    HTEXTURE tex = inner_->Target_GetTexture(target);
    auto it = targets_.find(target);
    if (tex && it != targets_.end()) {
        textures_[tex] = it->second;
        target_textures_[target] = tex;
    }
    return tex;
}

bool RecordingEngine::Gfx_BeginScene(HTARGET target) {
    if (recording_) {
        DrawOp op{DrawOp::BEGIN};
        op.target = target;
        ops_.push_back(op);
    }
    return inner_->Gfx_BeginScene(target);
}

void RecordingEngine::Gfx_EndScene() {
    if (recording_) ops_.push_back(DrawOp{DrawOp::END});
    inner_->Gfx_EndScene();
}

void RecordingEngine::Gfx_Clear(uint32_t color) {
    if (recording_) {
        DrawOp op{DrawOp::CLEAR};
        op.color = color;
        ops_.push_back(op);
    }
    inner_->Gfx_Clear(color);
}

void RecordingEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (recording_ && quad) {
        DrawOp op{DrawOp::QUAD};
        op.quad = *quad;
        ops_.push_back(op);
    }
    inner_->Gfx_RenderQuad(quad);
}

bool RecordingEngine::System_RunFrames(int n) {
    return inner_->System_RunFrames(n);
}
void RecordingEngine::Input_Inject(int key, bool down) {
    inner_->Input_Inject(key, down);
}
void RecordingEngine::Timer_SetFixedDelta(float seconds) {
    inner_->Timer_SetFixedDelta(seconds);
}
bool RecordingEngine::Gfx_SaveScreenshot(const char* filename) {
    return inner_->Gfx_SaveScreenshot(filename);
}

Engine* create_recording_engine() {
    return new RecordingEngine();
}
