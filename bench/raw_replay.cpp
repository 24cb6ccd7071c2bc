#include "raw_replay.h"

#include <SDL_image.h>

namespace {

SDL_Color color_of(uint32_t argb) {
    return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8),
                     static_cast<Uint8>(argb), static_cast<Uint8>(argb >> 24)};
}

bool all_white(const hgeQuad& q) {
    for (const hgeVertex& v : q.v)
        if (v.col != 0xFFFFFFFFu) return false;
    return true;
}

} // namespace

RawReplay::RawReplay(int width, int height) : width_(width), height_(height) {
    surface_ = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_RGB888);
    if (surface_) renderer_ = SDL_CreateSoftwareRenderer(surface_);
    if (renderer_) screen_ = make_target(width, height);
    if (renderer_) make_white();
    if (!screen_ || !white_) error_ = std::string("no software renderer: ") + SDL_GetError();
}

RawReplay::RawReplay(int width, int height, int x, int y, bool keep_screen)
    : width_(width), height_(height) {
    window_ = SDL_CreateWindow("raw", x, y, width, height, 0);
    if (window_)
        renderer_ =
            SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (renderer_) make_white();
    if (renderer_ && keep_screen) {
        screen_ = make_target(width, height);
        if (screen_) SDL_SetTextureScaleMode(screen_, SDL_ScaleModeNearest);
    }
    if (!white_ || (keep_screen && !screen_))
        error_ = std::string("no window renderer: ") + SDL_GetError();
}

RawReplay::~RawReplay() {
    for (SDL_Texture* t : owned_) SDL_DestroyTexture(t);
    if (white_) SDL_DestroyTexture(white_);
    if (screen_) SDL_DestroyTexture(screen_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (surface_) SDL_FreeSurface(surface_);
    if (window_) SDL_DestroyWindow(window_);
}

void RawReplay::make_white() {
    white_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    const Uint32 texel = 0xFFFFFFFFu;
    if (white_) SDL_UpdateTexture(white_, nullptr, &texel, 4);
}

SDL_Texture* RawReplay::make_target(int w, int h) {
    SDL_Texture* t =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
    if (!t) return nullptr;
    SDL_SetTextureScaleMode(t, SDL_ScaleModeLinear);
    SDL_SetRenderTarget(renderer_, t);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    SDL_SetRenderTarget(renderer_, nullptr);
    return t;
}

SDL_Texture* RawReplay::texture_for(HTEXTURE handle, const RecordingEngine& source) {
    if (handle == 0) return white_;
    auto found = textures_.find(handle);
    if (found != textures_.end()) return found->second;
    const TextureOrigin* origin = source.texture_origin(handle);
    if (!origin) return nullptr;
    SDL_Texture* t = nullptr;
    if (origin->file.empty()) {
        t = make_target(origin->width, origin->height);
    } else {
        // Loaded as the engine loads its pictures, so both sample the same texels.
        SDL_Surface* loaded = IMG_Load(origin->file.c_str());
        SDL_Surface* image =
            loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
        if (loaded) SDL_FreeSurface(loaded);
        if (image) {
            t = SDL_CreateTextureFromSurface(renderer_, image);
            SDL_FreeSurface(image);
        }
        if (t) SDL_SetTextureScaleMode(t, SDL_ScaleModeLinear);
    }
    if (!t) return nullptr;
    owned_.push_back(t);
    textures_[handle] = t;
    return t;
}

bool RawReplay::prepare(const std::vector<DrawOp>& ops, const RecordingEngine& source) {
    if (!renderer_) return false;
    scenes_.clear();
    quads_ = 0;
    Scene* scene = nullptr;
    HTEXTURE run_tex = 0;
    int run_blend = -1;
    for (const DrawOp& op : ops) {
        switch (op.kind) {
        case DrawOp::BEGIN: {
            scenes_.emplace_back();
            scene = &scenes_.back();
            scene->target =
                op.target ? texture_for(source.target_texture(op.target), source) : screen_;
            if (!scene->target && (op.target || !window_)) {
                error_ = "no picture for a recorded target";
                return false;
            }
            run_blend = -1;
            break;
        }
        case DrawOp::CLEAR:
            if (!scene) break;
            scene->steps.emplace_back();
            scene->steps.back().clear = true;
            scene->steps.back().clear_color = color_of(op.color | 0xFF000000u);
            run_blend = -1;
            break;
        case DrawOp::QUAD: {
            if (!scene) break;
            // Colour-add quads are submitted as colour-multiplied ones: a lower bound.
            int blend =
                (op.quad.blend & BLEND_ALPHABLEND) ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_ADD;
            // A target's picture has no transparent texel: untinted, blending it is copying it.
            const TextureOrigin* origin = source.texture_origin(op.quad.tex);
            if (blend == SDL_BLENDMODE_BLEND && origin && origin->file.empty() &&
                all_white(op.quad))
                blend = SDL_BLENDMODE_NONE;
            if (run_blend != blend || run_tex != op.quad.tex) {
                SDL_Texture* tex = texture_for(op.quad.tex, source);
                if (!tex) {
                    error_ = "no picture for a recorded texture";
                    return false;
                }
                scene->steps.emplace_back();
                Step& s = scene->steps.back();
                s.texture = tex;
                s.mode = static_cast<SDL_BlendMode>(blend);
                run_tex = op.quad.tex;
                run_blend = blend;
            }
            Step& s = scene->steps.back();
            static const SDL_FPoint corners[4] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            SDL_Vertex v[4];
            for (int i = 0; i < 4; ++i) {
                const hgeVertex& q = op.quad.v[i];
                v[i].position = SDL_FPoint{q.x, q.y};
                v[i].color = color_of(q.col);
                v[i].tex_coord = op.quad.tex ? SDL_FPoint{q.tx, q.ty} : corners[i];
            }
            static const int order[6] = {0, 1, 2, 0, 2, 3};
            if (s.mode == SDL_BLENDMODE_ADD && !window_) {
                // SDL's software renderer blends only unshared triangles additively.
                for (int i : order) s.vertices.push_back(v[i]);
            } else {
                int base = static_cast<int>(s.vertices.size());
                for (const SDL_Vertex& c : v) s.vertices.push_back(c);
                for (int i : order) s.indices.push_back(base + i);
            }
            ++quads_;
            break;
        }
        case DrawOp::END:
            scene = nullptr;
            run_blend = -1;
            break;
        }
    }
    return true;
}

void RawReplay::draw(bool present) {
    for (const Scene& scene : scenes_) {
        SDL_SetRenderTarget(renderer_, scene.target);
        for (const Step& s : scene.steps) {
            if (s.clear) {
                SDL_SetRenderDrawColor(renderer_, s.clear_color.r, s.clear_color.g, s.clear_color.b,
                                       255);
                SDL_RenderClear(renderer_);
                continue;
            }
            SDL_SetTextureBlendMode(s.texture, s.mode);
            SDL_RenderGeometry(
                renderer_, s.texture, s.vertices.data(), static_cast<int>(s.vertices.size()),
                s.indices.empty() ? nullptr : s.indices.data(), static_cast<int>(s.indices.size()));
        }
    }
    SDL_RenderFlush(renderer_);
    if (!window_ || !present) return;
    if (screen_) {
        SDL_SetRenderTarget(renderer_, nullptr);
        SDL_SetTextureBlendMode(screen_, SDL_BLENDMODE_NONE);
        SDL_RenderCopy(renderer_, screen_, nullptr, nullptr);
    }
    SDL_RenderPresent(renderer_);
}

void RawReplay::profile(int rounds, FILE* out) {
    size_t steps = 0;
    for (const Scene& scene : scenes_) steps += scene.steps.size();
    std::vector<double> seconds(steps, 0.0);
    const double freq = static_cast<double>(SDL_GetPerformanceFrequency());
    for (int r = 0; r < rounds; ++r) {
        size_t k = 0;
        for (const Scene& scene : scenes_) {
            SDL_SetRenderTarget(renderer_, scene.target);
            SDL_RenderFlush(renderer_);
            for (const Step& s : scene.steps) {
                Uint64 start = SDL_GetPerformanceCounter();
                if (s.clear) {
                    SDL_SetRenderDrawColor(renderer_, s.clear_color.r, s.clear_color.g,
                                           s.clear_color.b, 255);
                    SDL_RenderClear(renderer_);
                } else {
                    SDL_SetTextureBlendMode(s.texture, s.mode);
                    SDL_RenderGeometry(renderer_, s.texture, s.vertices.data(),
                                       static_cast<int>(s.vertices.size()),
                                       s.indices.empty() ? nullptr : s.indices.data(),
                                       static_cast<int>(s.indices.size()));
                }
                SDL_RenderFlush(renderer_);
                seconds[k++] += static_cast<double>(SDL_GetPerformanceCounter() - start) / freq;
            }
        }
    }
    size_t k = 0;
    for (size_t i = 0; i < scenes_.size(); ++i) {
        int w = 0, h = 0;
        SDL_QueryTexture(scenes_[i].target, nullptr, nullptr, &w, &h);
        for (const Step& s : scenes_[i].steps) {
            double us = seconds[k++] / rounds * 1e6;
            if (s.clear) {
                std::fprintf(out, "  scene %zu (%dx%d) clear            %9.1f us\n", i, w, h, us);
                continue;
            }
            int tw = 0, th = 0;
            SDL_QueryTexture(s.texture, nullptr, nullptr, &tw, &th);
            size_t quads = s.indices.empty() ? s.vertices.size() / 6 : s.indices.size() / 6;
            const char* how = s.mode == SDL_BLENDMODE_ADD    ? "add  "
                              : s.mode == SDL_BLENDMODE_NONE ? "copy "
                                                             : "blend";
            std::fprintf(out, "  scene %zu (%dx%d) %4zu quads of %dx%d %s %9.1f us\n", i, w, h,
                         quads, tw, th, how, us);
        }
    }
}

int RawReplay::geometry_calls() const {
    int n = 0;
    for (const Scene& scene : scenes_)
        for (const Step& s : scene.steps) n += s.clear ? 0 : 1;
    return n;
}

bool RawReplay::read_screen(std::vector<uint32_t>* pixels) {
    int w = width_, h = height_;
    if (!renderer_) return false;
    pixels->assign(static_cast<size_t>(w) * h, 0);
    SDL_SetRenderTarget(renderer_, screen_);
    bool ok = SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, pixels->data(),
                                   w * 4) == 0;
    SDL_SetRenderTarget(renderer_, nullptr);
    return ok;
}

bool RawReplay::write_screen(const std::vector<uint32_t>& pixels) {
    int w = width_, h = height_;
    if (!renderer_) return false;
    if (pixels.size() != static_cast<size_t>(w) * h) return false;
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint32_t*>(pixels.data()), w, h,
                                                        32, w * 4, SDL_PIXELFORMAT_ARGB8888);
    SDL_Texture* t = s ? SDL_CreateTextureFromSurface(renderer_, s) : nullptr;
    if (s) SDL_FreeSurface(s);
    if (!t) return false;
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
    SDL_SetRenderTarget(renderer_, screen_);
    bool ok = SDL_RenderCopy(renderer_, t, nullptr, nullptr) == 0;
    SDL_SetRenderTarget(renderer_, nullptr);
    SDL_DestroyTexture(t);
    return ok;
}
