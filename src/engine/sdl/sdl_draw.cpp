#include <SDL_image.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/frame_math.h"
#include "engine/sdl/sdl_engine_impl.h"
#include "engine/sdl/startup_trace.h"

namespace {

// KORVANE_EXIT_AFTER_FIRST_FRAME=1 ends a windowed run after its first
// presented frame, with the usual shutdown, so start-up can be measured.
bool exit_after_first_frame() {
    static const bool on = [] {
        const char* v = std::getenv("KORVANE_EXIT_AFTER_FIRST_FRAME");
        return v && std::strcmp(v, "1") == 0;
    }();
    return on;
}

// Every vertex opaque white: the texture's own colours come through unchanged.
bool untinted(const SDL_Vertex* v, int n) {
    for (int i = 0; i < n; ++i) {
        const SDL_Color& c = v[i].color;
        if ((c.r & c.g & c.b & c.a) != 255) return false;
    }
    return true;
}

void clear_black(SDL_Renderer* r) {
    SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
    SDL_RenderClear(r);
}

} // namespace

bool SdlEngine::Gfx_BeginScene(HTARGET target) {
    if (!renderer_ || in_scene_) return false; // scenes never nest
    if (target) {
        TargetSlot* ts = targets_.find(target);
        TextureSlot* tex = ts ? textures_.find(ts->texture) : nullptr;
        // A parked picture taken again is cleared here, on the switch made anyway.
        bool clear = tex && tex->needs_clear;
        if (clear) tex->needs_clear = false;
        SDL_Texture* t = tex ? texture_of(*tex) : nullptr;
        if (!t || SDL_SetRenderTarget(renderer_, t) != 0) {
            if (tex) tex->needs_clear = clear;
            return false;
        }
        if (clear) clear_black(renderer_);
        map_x_ = map_y_ = 0.0f;
        map_sx_ = map_sy_ = 1.0f;
    } else if (!begin_screen()) {
        return false;
    }
    in_scene_ = true;
    scene_target_ = target;
    return true;
}

// Nothing of an earlier frame is kept: a window's back buffer holds nothing
// that can be relied on, and the screen picture (headless, or a window's frame
// drawn again to be read back) begins black.
bool SdlEngine::begin_screen() {
    if (!window_ || capturing_) {
        if (!make_screen_picture() || SDL_SetRenderTarget(renderer_, screen_) != 0) return false;
        map_x_ = map_y_ = 0.0f;
        map_sx_ = map_sy_ = 1.0f;
        screen_box_ = Letterbox{0, 0, screen_w_, screen_h_};
        screen_bars_ = false;
        captured_ = captured_ || capturing_;
        clear_black(renderer_);
        return true;
    }
    if (SDL_SetRenderTarget(renderer_, nullptr) != 0) return false;
    // SDL moves the window's viewport only when a resize event reaches it,
    // which a switch to or from fullscreen does not always bring in time:
    // it is taken afresh from the output's size every frame.
    SDL_RenderSetViewport(renderer_, nullptr);
    int out_w = 0, out_h = 0;
    SDL_GetRendererOutputSize(renderer_, &out_w, &out_h);
    Letterbox box = output_rect(out_w, out_h); // whole multiples when integer scaling is on
    if (box.w <= 0 || box.h <= 0) return false;
    screen_box_ = box;
    screen_bars_ = box.x > 0 || box.y > 0 || box.w < out_w || box.h < out_h;
    map_x_ = static_cast<float>(box.x);
    map_y_ = static_cast<float>(box.y);
    map_sx_ = static_cast<float>(box.w) / static_cast<float>(screen_w_);
    map_sy_ = static_cast<float>(box.h) / static_cast<float>(screen_h_);
    SDL_RenderSetClipRect(renderer_, nullptr);
    if (screen_bars_) {
        // The bars alone are blackened: a clear of the whole window costs a
        // software GL driver a good part of a frame. The game covers the rest.
        const SDL_Rect sides[4] = {{0, 0, out_w, box.y},
                                   {0, box.y + box.h, out_w, out_h - box.y - box.h},
                                   {0, box.y, box.x, box.h},
                                   {box.x + box.w, box.y, out_w - box.x - box.w, box.h}};
        SDL_Rect bars[4];
        int n = 0;
        for (const SDL_Rect& r : sides)
            if (r.w > 0 && r.h > 0) bars[n++] = r;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
        SDL_RenderFillRects(renderer_, bars, n);
        // Quads reaching past the picture's edge stay out of the bars.
        SDL_Rect clip{box.x, box.y, box.w, box.h};
        SDL_RenderSetClipRect(renderer_, &clip);
    }
    return true;
}

void SdlEngine::Gfx_EndScene() {
    if (!in_scene_) return;
    flush();
    in_scene_ = false;
    if (scene_target_ == 0 && !capturing_) present();
}

void SdlEngine::Gfx_Clear(uint32_t color) {
    if (!in_scene_) return;
    flush();
    // Alpha 255 whatever the colour: targets and the screen keep no alpha.
    SDL_SetRenderDrawColor(renderer_, static_cast<Uint8>(color >> 16),
                           static_cast<Uint8>(color >> 8), static_cast<Uint8>(color), 255);
    if (scene_target_ == 0 && screen_bars_) {
        // The picture's part of the window only; the bars stay black.
        SDL_Rect r{screen_box_.x, screen_box_.y, screen_box_.w, screen_box_.h};
        SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
        SDL_RenderFillRect(renderer_, &r);
        return;
    }
    SDL_RenderClear(renderer_);
}

void SdlEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (!in_scene_ || !quad) return;
    if (quad->tex) {
        TextureSlot* slot = textures_.find(quad->tex);
        if (!slot || !texture_of(*slot)) return; // a freed or lost texture draws nothing
    }
    int blend = quad->blend & (BLEND_COLORADD | BLEND_ALPHABLEND); // depth is not kept
    if (batch_quads_ > 0 && (quad->tex != batch_tex_ || blend != batch_blend_)) flush();
    if (batch_quads_ == kBatchQuads) flush();
    batch_tex_ = quad->tex;
    batch_blend_ = blend;
    // Untextured quads stretch the one white texel over themselves; SDL's
    // software renderer takes equal coordinates on all corners as a plain
    // fill, which forgets additive blending.
    static const SDL_FPoint kCorners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    SDL_Vertex* v = &verts_[static_cast<size_t>(batch_quads_) * 4];
    for (int i = 0; i < 4; ++i) {
        const hgeVertex& q = quad->v[i];
        v[i].position = SDL_FPoint{map_x_ + q.x * map_sx_, map_y_ + q.y * map_sy_};
        v[i].color = SDL_Color{static_cast<Uint8>(q.col >> 16), static_cast<Uint8>(q.col >> 8),
                               static_cast<Uint8>(q.col), static_cast<Uint8>(q.col >> 24)};
        v[i].tex_coord = quad->tex ? SDL_FPoint{q.tx, q.ty} : kCorners[i];
    }
    ++batch_quads_;
}

void SdlEngine::draw_batch(SDL_Texture* tex, int quads, bool additive) {
    if (!(software_ && additive)) {
        SDL_RenderGeometry(renderer_, tex, verts_.data(), quads * 4, indices_.data(), quads * 6);
        return;
    }
    // SDL's software renderer draws quads it recognises through its rectangle
    // code, which ignores additive blending when it scales; unshared
    // triangles are not recognised.
    for (int i = 0; i < quads * 6; ++i) triangles_[i] = verts_[indices_[i]];
    SDL_RenderGeometry(renderer_, tex, triangles_.data(), quads * 6, nullptr, 0);
}

void SdlEngine::flush() {
    if (batch_quads_ == 0) return;
    int quads = batch_quads_, nv = batch_quads_ * 4;
    batch_quads_ = 0;
    bool add = !(batch_blend_ & BLEND_ALPHABLEND);
    SDL_BlendMode mode = add ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
    TextureSlot* slot = batch_tex_ ? textures_.find(batch_tex_) : nullptr;
    if (!slot || !slot->tex) {
        if (white_) SDL_SetTextureBlendMode(white_, mode);
        SDL_SetRenderDrawBlendMode(renderer_, mode);
        draw_batch(white_, quads, add);
        return;
    }
    // A target's picture is opaque, so drawn untinted its blend is a copy, which
    // SDL's software renderer does some fifty times faster.
    if (!add && !(batch_blend_ & BLEND_COLORADD) && slot->is_target && untinted(verts_.data(), nv))
        mode = SDL_BLENDMODE_NONE;
    SDL_SetTextureBlendMode(slot->tex, mode);
    if (!(batch_blend_ & BLEND_COLORADD)) {
        draw_batch(slot->tex, quads, add);
        return;
    }
    // Colour add is texture + vertex colour. In two passes: the texture weighted
    // by the vertex alpha, then the vertex colour added through the image's shape.
    SDL_Vertex* v = verts_.data();
    for (int i = 0; i < nv; ++i) {
        saved_colors_[i] = v[i].color;
        v[i].color.r = v[i].color.g = v[i].color.b = 255;
    }
    draw_batch(slot->tex, quads, add);
    for (int i = 0; i < nv; ++i) v[i].color = saved_colors_[i];
    // Loaded images have a mask; a target picture has no transparent parts.
    if (SDL_Texture* mask = texture_mask(*slot)) {
        SDL_SetTextureBlendMode(mask, SDL_BLENDMODE_ADD);
        draw_batch(mask, quads, true);
    } else {
        if (white_) SDL_SetTextureBlendMode(white_, SDL_BLENDMODE_ADD);
        SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_ADD);
        draw_batch(white_, quads, true);
    }
}

void SdlEngine::present() {
    screen_presented_ = true;
    if (window_ && renderer_) show_window();
    // Effects decode once the first frame is out, so as not to hold it up; the
    // rest of what start-up left for later follows a piece a frame.
    if (!decodes_started_) {
        start_pending_decodes();
    } else if (pads_deferred_) {
        pads_deferred_ = false;
        start_gamepads();
        startup_step("gamepads, after the first frame");
    } else if (deferred_work_) {
        finish_deferred_step();
    }
}

void SdlEngine::show_window() {
    SDL_RenderPresent(renderer_);
    if (!traced_present_) startup_step("presented");
    traced_present_ = true;
    if (exit_after_first_frame()) {
        // The start-up benchmark times the process up to this line.
        std::fputs("first frame presented\n", stdout);
        std::fflush(stdout);
        quit_requested_ = true;
    }
}

// The frame as it stands drawn again, for a window uncovered while the game
// is paused: the window kept nothing of it.
void SdlEngine::redraw() {
    if (!window_ || in_scene_) return;
    screen_presented_ = false;
    if (render_func_) render_func_();
    if (in_scene_) Gfx_EndScene();
    if (!screen_presented_ && Gfx_BeginScene(0)) {
        Gfx_Clear(0);
        Gfx_EndScene();
    }
}

bool SdlEngine::read_pixels(HTARGET target, std::vector<uint32_t>* pixels, int* w, int* h) {
    if (!renderer_) return false;
    SDL_Texture* t = screen_;
    if (target) {
        TargetSlot* ts = targets_.find(target);
        TextureSlot* tex = ts ? textures_.find(ts->texture) : nullptr;
        t = tex ? texture_of(*tex) : nullptr;
    } else if (window_) {
        // The window keeps no picture to read: the render callback draws the
        // frame again, into the screen picture instead of the window.
        if (in_scene_ || !render_func_) return false;
        capturing_ = true;
        captured_ = false;
        render_func_();
        if (in_scene_) Gfx_EndScene();
        if (!captured_ && Gfx_BeginScene(0)) Gfx_EndScene();
        capturing_ = false;
        if (!captured_) return false;
        t = screen_;
    }
    int tw = 0, th = 0;
    if (!t || SDL_QueryTexture(t, nullptr, nullptr, &tw, &th) != 0) return false;
    flush();
    SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
    pixels->assign(static_cast<size_t>(tw) * th, 0);
    bool ok = SDL_SetRenderTarget(renderer_, t) == 0 &&
              SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels->data(),
                                   tw * 4) == 0;
    SDL_SetRenderTarget(renderer_, previous);
    if (w) *w = tw;
    if (h) *h = th;
    return ok;
}

bool SdlEngine::Gfx_SaveScreenshot(const char* filename) {
    std::vector<uint32_t> pixels;
    int w = 0, h = 0;
    if (!filename || !read_pixels(0, &pixels, &w, &h)) return false;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), w, h, 32, w * 4,
                                                        SDL_PIXELFORMAT_ARGB8888);
    if (!s) return false;
    bool ok = IMG_SavePNG(s, filename) == 0;
    SDL_FreeSurface(s);
    return ok;
}
