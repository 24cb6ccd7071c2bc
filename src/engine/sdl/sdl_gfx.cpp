#include <cstddef>
#include <cstdlib>

#include "engine/whole_file.h"
#include "engine/frame_math.h"
#include "engine/sdl/sdl_engine.h"
#include "engine/sdl/sdl_engine_impl.h"
#include "engine/sdl/startup_trace.h"

namespace {

// Target pictures have no alpha channel, like a display: they clear opaque,
// so drawing one with a sprite covers what lies below.
void clear_opaque(SDL_Renderer* r, uint32_t argb) {
    SDL_SetRenderDrawColor(r, static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                           static_cast<Uint8>(argb), 255);
    SDL_RenderClear(r);
}

} // namespace

SDL_Texture* SdlEngine::create_target_texture(int w, int h) {
    SDL_Texture* t =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (!t) return nullptr;
    SDL_SetTextureScaleMode(t, SDL_ScaleModeLinear);
    SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
    SDL_SetRenderTarget(renderer_, t);
    clear_opaque(renderer_, 0);
    SDL_SetRenderTarget(renderer_, previous);
    return t;
}

// A parked texture of this size, still holding its old picture (*parked
// says so), or a new one, black.
SDL_Texture* SdlEngine::take_target_texture(int w, int h, bool* parked) {
    *parked = false;
    for (size_t i = 0; i < parked_.size(); ++i) {
        if (parked_[i].w != w || parked_[i].h != h) continue;
        SDL_Texture* t = parked_[i].tex;
        parked_.erase(parked_.begin() + static_cast<std::ptrdiff_t>(i));
        *parked = true;
        return t;
    }
    return create_target_texture(w, h);
}

void SdlEngine::park_target_texture(SDL_Texture* t, int w, int h) {
    if (parked_.size() == kParkedTextures) { // the longest parked goes
        SDL_DestroyTexture(parked_.front().tex);
        parked_.erase(parked_.begin());
    }
    parked_.push_back(ParkedTexture{t, w, h});
}

void SdlEngine::drop_parked_textures() {
    for (const ParkedTexture& p : parked_) SDL_DestroyTexture(p.tex);
    parked_.clear();
}

// The white texel, and headless the screen picture; a window draws its
// screen straight into itself.
bool SdlEngine::create_screen() {
    // Untextured quads go through the textured path too: SDL's software
    // renderer fills untextured rectangles without additive blending.
    if (white_) SDL_DestroyTexture(white_);
    white_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    const Uint32 texel = 0xFFFFFFFFu;
    if (white_) SDL_UpdateTexture(white_, nullptr, &texel, 4);
    return window_ || make_screen_picture();
}

bool SdlEngine::make_screen_picture() {
    if (!screen_) screen_ = create_target_texture(screen_w_, screen_h_);
    if (!screen_) error_ = std::string("Can't create the screen: ") + SDL_GetError();
    return screen_ != nullptr;
}

// The slot's image as ARGB8888, from its file or its bytes.
SDL_Surface* SdlEngine::decode_image(const TextureSlot& slot) {
    return decode_picture(
        slot.bytes.empty()
            ? SDL_RWFromFile(slot.path.c_str(), "rb")
            : SDL_RWFromConstMem(slot.bytes.data(), static_cast<int>(slot.bytes.size())));
}

bool SdlEngine::upload_texture(TextureSlot& slot) {
    return make_texture(slot, decode_image(slot));
}

// Takes the image, whatever comes of it.
bool SdlEngine::make_texture(TextureSlot& slot, SDL_Surface* image) {
    if (!image) return false;
    slot.no_mask = false;
    slot.tex = SDL_CreateTextureFromSurface(renderer_, image);
    slot.w = image->w;
    slot.h = image->h;
    SDL_FreeSurface(image);
    if (!slot.tex) return false;
    SDL_SetTextureScaleMode(slot.tex, SDL_ScaleModeLinear);
    return true;
}

// Made when colour-add first draws the texture, since few pictures ever are:
// the image again, white, keeping only its shape, through which colour-add
// quads add their vertex colour.
SDL_Texture* SdlEngine::texture_mask(TextureSlot& slot) {
    if (slot.mask || slot.no_mask || slot.is_target || !slot.tex) return slot.mask;
    SDL_Surface* image = decode_image(slot);
    slot.no_mask = !image;
    if (!image) return nullptr;
    SDL_LockSurface(image);
    for (int y = 0; y < image->h; ++y) {
        Uint32* row =
            reinterpret_cast<Uint32*>(static_cast<Uint8*>(image->pixels) + y * image->pitch);
        for (int x = 0; x < image->w; ++x) row[x] |= 0x00FFFFFFu;
    }
    SDL_UnlockSurface(image);
    slot.mask = SDL_CreateTextureFromSurface(renderer_, image);
    SDL_FreeSurface(image);
    if (slot.mask) SDL_SetTextureScaleMode(slot.mask, SDL_ScaleModeLinear);
    return slot.mask;
}

void SdlEngine::release_texture(TextureSlot& slot) {
    if (slot.tex) SDL_DestroyTexture(slot.tex);
    if (slot.mask) SDL_DestroyTexture(slot.mask);
    slot.tex = slot.mask = nullptr;
    slot.decode.reset();
    slot.target_pending = false;
}

// A PNG is read and checked whole here, so that a bad one still fails its
// Texture_Load, and decoded on the picture thread meanwhile; the first frame
// waits only for those it draws, the rest are uploaded in the frames after.
bool SdlEngine::queue_picture(TextureSlot& slot) {
    std::vector<uint8_t> bytes;
    if (slot.bytes.empty()) {
        uint32_t size = 0;
        void* data = load_whole_file(slot.path.c_str(), &size);
        if (!data) return false;
        bytes.assign(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        std::free(data);
    } else {
        bytes = slot.bytes;
    }
    int w = 0, h = 0;
    if (!png_whole(bytes.data(), bytes.size(), &w, &h))
        return upload_texture(slot); // other kinds, and the verdict on bad files, as always
    slot.w = w;
    slot.h = h;
    slot.decode = pictures_.add(std::move(bytes));
    deferred_work_ = true;
    return true;
}

// The slot's texture, finishing first whatever was left for later.
SDL_Texture* SdlEngine::texture_now(TextureSlot& slot) {
    if (slot.decode) {
        std::shared_ptr<PictureLoads::Job> job = std::move(slot.decode);
        bool waits = !pictures_.done(*job);
        // Making a large texture takes a while too: done while the decode is waited for.
        SDL_Texture* early = waits ? SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                                       SDL_TEXTUREACCESS_STATIC, slot.w, slot.h)
                                   : nullptr;
        SDL_Surface* image = pictures_.take(*job);
        bool made = false;
        if (early && image && image->w == slot.w && image->h == slot.h &&
            SDL_UpdateTexture(early, nullptr, image->pixels, image->pitch) == 0) {
            SDL_FreeSurface(image);
            SDL_SetTextureBlendMode(early, SDL_BLENDMODE_BLEND); // as made from a surface
            SDL_SetTextureScaleMode(early, SDL_ScaleModeLinear);
            slot.tex = early;
            slot.no_mask = false;
            made = true;
        } else {
            if (early) SDL_DestroyTexture(early);
            made = make_texture(slot, image);
        }
        size_t name = slot.path.rfind('/') + 1; // 0 without a folder
        startup_step(waits ? "picture waited for and uploaded" : "picture uploaded",
                     slot.path.empty() ? "(from memory)" : slot.path.c_str() + name);
        if (!made)
            System_Log("Can't decode the picture %s",
                       slot.path.empty() ? "(from memory)" : slot.path.c_str());
    } else if (slot.target_pending) {
        slot.target_pending = false;
        slot.tex = take_target_texture(slot.w, slot.h, &slot.needs_clear);
        startup_step("target made");
    }
    if (slot.needs_clear && slot.tex) {
        // Switching targets costs the graphics driver allocations: a scene
        // begun on it clears it without this, on the switch it makes anyway.
        slot.needs_clear = false;
        SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
        SDL_SetRenderTarget(renderer_, slot.tex);
        clear_opaque(renderer_, 0);
        SDL_SetRenderTarget(renderer_, previous);
    }
    return slot.tex;
}

// One piece of what start-up left for later, in each frame after the first,
// so that no frame takes it all.
void SdlEngine::finish_deferred_step() {
    bool left = false;
    for (TextureSlot& slot : textures_.items()) {
        if (!slot.used) continue;
        if (slot.target_pending || (slot.decode && pictures_.done(*slot.decode))) {
            texture_now(slot);
            return;
        }
        left = left || slot.decode; // not decoded yet: no waiting here
    }
    deferred_work_ = left;
}

HTEXTURE SdlEngine::Texture_Load(const char* filename, uint32_t size, bool) {
    if (!renderer_ || !filename) return 0;
    TextureSlot slot;
    if (size > 0) // then "filename" points at the image bytes themselves
        slot.bytes.assign(reinterpret_cast<const uint8_t*>(filename),
                          reinterpret_cast<const uint8_t*>(filename) + size);
    else
        slot.path = resolve(filename);
    if (!(deferring() ? queue_picture(slot) : upload_texture(slot))) return 0;
    startup_step(slot.decode ? "picture checked, left to decode" : "picture loaded",
                 size > 0 ? "(from memory)" : filename);
    HTEXTURE h = textures_.add(std::move(slot));
    if (!h) release_texture(slot);
    return h;
}

void SdlEngine::Texture_Free(HTEXTURE tex) {
    TextureSlot* slot = textures_.find(tex);
    if (!slot || slot->is_target) return; // a target's texture goes with Target_Free
    flush();                              // queued quads may still use it
    release_texture(*slot);
    textures_.remove(tex);
}

int SdlEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    TextureSlot* slot = textures_.find(tex);
    return slot ? slot->w : 0;
}

int SdlEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    TextureSlot* slot = textures_.find(tex);
    return slot ? slot->h : 0;
}

HTARGET SdlEngine::Target_Create(int width, int height, bool) {
    if (!renderer_ || width <= 0 || height <= 0) return 0;
    flush();
    TextureSlot tex;
    // Made when first drawn or in a frame after the first, unless needed before.
    bool later = deferring();
    tex.target_pending = later;
    deferred_work_ = deferred_work_ || later;
    if (!later) tex.tex = take_target_texture(width, height, &tex.needs_clear);
    if (!tex.tex && !later) return 0;
    tex.w = width;
    tex.h = height;
    tex.is_target = true;
    SDL_Texture* raw = tex.tex;
    TargetSlot target;
    target.texture = textures_.add(std::move(tex));
    target.w = width;
    target.h = height;
    HTARGET h = target.texture ? targets_.add(target) : 0;
    startup_step(later ? "target, made later" : "target");
    if (!h) {
        textures_.remove(target.texture);
        if (raw) SDL_DestroyTexture(raw);
    }
    return h;
}

void SdlEngine::Target_Free(HTARGET target) {
    TargetSlot* t = targets_.find(target);
    if (!t) return;
    if (in_scene_ && scene_target_ == target) Gfx_EndScene();
    flush();
    TextureSlot* tex = textures_.find(t->texture);
    if (tex) {
        if (tex->tex) park_target_texture(tex->tex, tex->w, tex->h);
        tex->tex = nullptr;
        release_texture(*tex);
        textures_.remove(t->texture);
    }
    targets_.remove(target);
}

HTEXTURE SdlEngine::Target_GetTexture(HTARGET target) {
    TargetSlot* t = targets_.find(target);
    return t ? t->texture : 0;
}

void SdlEngine::free_all_graphics() {
    pictures_.stop(); // before the pictures it may be decoding go
    deferred_work_ = false;
    batch_quads_ = 0;
    in_scene_ = false;
    for (TextureSlot& slot : textures_.items()) release_texture(slot);
    drop_parked_textures();
    textures_ = Slots<TextureSlot>();
    targets_ = Slots<TargetSlot>();
    if (screen_) SDL_DestroyTexture(screen_);
    screen_ = nullptr;
    if (white_) SDL_DestroyTexture(white_);
    white_ = nullptr;
}

bool SdlEngine::restore_graphics(bool whole_device) {
    if (!renderer_) return false;
    if (in_scene_) { // the picture being drawn is lost anyway
        batch_quads_ = 0;
        in_scene_ = false;
    }
    SDL_SetRenderTarget(renderer_, nullptr);
    drop_parked_textures(); // their pictures went with the device's
    if (whole_device) {
        for (TextureSlot& slot : textures_.items()) {
            if (!slot.used || slot.is_target || slot.decode) continue; // still to come
            release_texture(slot);
            upload_texture(slot); // a file gone since start-up leaves the texture blank
        }
    }
    // Each target gets a fresh texture under a new handle, so the game sees
    // that it must re-attach its sprites.
    for (TargetSlot& t : targets_.items()) {
        if (!t.used) continue;
        TextureSlot* old = textures_.find(t.texture);
        if (old) {
            release_texture(*old);
            textures_.remove(t.texture);
        }
        TextureSlot fresh;
        fresh.tex = create_target_texture(t.w, t.h);
        fresh.w = t.w;
        fresh.h = t.h;
        fresh.is_target = true;
        SDL_Texture* raw = fresh.tex;
        HTEXTURE h = raw ? textures_.add(std::move(fresh)) : 0;
        if (!h && raw) SDL_DestroyTexture(raw);
        t.texture = h;
    }
    if (screen_) SDL_DestroyTexture(screen_);
    screen_ = nullptr;
    create_screen();
    if (restore_func_) restore_func_();
    return true;
}

bool sdl_engine_simulate_device_reset(Engine* e, bool whole_device) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    return sdl && sdl->restore_graphics(whole_device);
}

bool sdl_engine_read_pixels(Engine* e, HTARGET target, std::vector<uint32_t>* pixels, int* width,
                            int* height) {
    SdlEngine* sdl = dynamic_cast<SdlEngine*>(e);
    return sdl && pixels && sdl->read_pixels(target, pixels, width, height);
}
