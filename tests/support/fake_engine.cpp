#include "support/fake_engine.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
FakeEngine* current_fake = nullptr;
Engine* make_fake() { return current_fake; }

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}
} // namespace

FakeEngine::FakeEngine() {
    current_fake = this;
    engine_set_backend(make_fake);
    // Hold one reference ourselves so game code releasing its own never deletes us.
    self_ref_ = hgeCreate(ENGINE_VERSION);
}

FakeEngine::~FakeEngine() {
    engine_set_backend(nullptr);
    current_fake = nullptr;
}

void FakeEngine::begin_frame() {
    std::memset(down_, 0, sizeof down_);
    std::memset(up_, 0, sizeof up_);
    last_key_ = 0;
    for (auto& change : pending_) {
        int k = change.first;
        if (k < 0 || k > 255) continue;
        if (change.second && !held_[k]) {
            down_[k] = true;
            last_key_ = k;
        } else if (!change.second && held_[k]) {
            up_[k] = true;
        }
        held_[k] = change.second;
    }
    pending_.clear();
}

void FakeEngine::reset_records() {
    quads.clear();
    played.clear();
    log.clear();
    messages.clear();
    stop_all_calls = 0;
    clears = 0;
}

void FakeEngine::System_SetState(hgeFuncState state, hgeCallback value) {
    if (state == HGE_FRAMEFUNC) frame_func_ = value;
    if (state == HGE_RENDERFUNC) render_func_ = value;
}

void FakeEngine::System_SetState(hgeIntState state, int value) {
    if (state == HGE_SCREENWIDTH) screen_width = value;
    if (state == HGE_SCREENHEIGHT) screen_height = value;
    int_states[state] = value;
}

int FakeEngine::System_GetStateInt(hgeIntState state) {
    if (state == HGE_SCREENWIDTH) return screen_width;
    if (state == HGE_SCREENHEIGHT) return screen_height;
    auto set = int_states.find(state); // as an engine answers: what was set
    return set != int_states.end() ? set->second : 0;
}

void FakeEngine::System_Log(const char* format, ...) {
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    log.emplace_back(buf);
}

void FakeEngine::System_MessageBox(const char* text, const char*) { messages.emplace_back(text); }

void* FakeEngine::Resource_Load(const char* filename, uint32_t* size) {
    auto it = files.find(filename);
    if (it == files.end()) return nullptr;
    void* data = std::malloc(it->second.size() + 1);
    std::memcpy(data, it->second.data(), it->second.size());
    if (size) *size = static_cast<uint32_t>(it->second.size());
    return data;
}

void FakeEngine::Resource_Free(void* resource) { std::free(resource); }

void* FakeEngine::UserFile_Load(const char* filename, uint32_t* size) {
    auto it = user_files.find(filename);
    if (it == user_files.end()) return nullptr;
    char* data = static_cast<char*>(std::malloc(it->second.size() + 1));
    std::memcpy(data, it->second.data(), it->second.size());
    data[it->second.size()] = '\0';
    if (size) *size = static_cast<uint32_t>(it->second.size());
    return data;
}

bool FakeEngine::UserFile_Save(const char* filename, const void* data, uint32_t size) {
    if (!user_files_writable) return false;
    user_files[filename] = std::string(static_cast<const char*>(data), size);
    return true;
}

int FakeEngine::Ini_GetInt(const char* section, const char* name, int def) {
    auto it = ini.find(lower(section) + "." + lower(name));
    if (it == ini.end()) return def;
    return std::atoi(it->second.c_str());
}

float FakeEngine::Ini_GetFloat(const char* section, const char* name, float def) {
    auto it = ini.find(lower(section) + "." + lower(name));
    if (it == ini.end()) return def;
    return std::strtof(it->second.c_str(), nullptr);
}

HEFFECT FakeEngine::Effect_Load(const char* filename, uint32_t) {
    if (missing.count(filename)) return 0;
    return std::hash<std::string>()(filename) | 1;
}

HCHANNEL FakeEngine::Effect_Play(HEFFECT eff) {
    played.push_back(eff);
    return next_channel_++;
}

HTEXTURE FakeEngine::Texture_Load(const char* filename, uint32_t, bool) {
    if (missing.count(filename)) return 0;
    auto it = textures.find(filename);
    texture_sizes_.push_back(it == textures.end() ? std::make_pair(256, 512) : it->second);
    return texture_sizes_.size();
}

int FakeEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    if (tex == 0 || tex > texture_sizes_.size()) return 0;
    return texture_sizes_[tex - 1].first;
}

int FakeEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    if (tex == 0 || tex > texture_sizes_.size()) return 0;
    return texture_sizes_[tex - 1].second;
}

HTARGET FakeEngine::Target_Create(int width, int height, bool) {
    target_sizes_.push_back({width, height});
    return target_sizes_.size();
}

HTEXTURE FakeEngine::Target_GetTexture(HTARGET target) {
    if (target == 0 || target > target_sizes_.size()) return 0;
    // A target's texture is a texture like any other.
    auto it = target_textures_.find(target);
    if (it != target_textures_.end()) return it->second;
    texture_sizes_.push_back(target_sizes_[target - 1]);
    return target_textures_[target] = texture_sizes_.size();
}

bool FakeEngine::System_RunFrames(int n) {
    for (int i = 0; i < n; ++i) {
        begin_frame();
        if (frame_func_ && frame_func_()) return true;
        if (render_func_) render_func_();
    }
    return false;
}
