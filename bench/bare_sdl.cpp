// The start-up reference for korvane: SDL2 opens the same window with the same
// renderer choice, draws one frame the way any real program must and presents
// it, says so and exits.
//
// It draws rather than only clears because the first drawing on a renderer
// pays for set-up that no program can skip (the shaders compiled and bound, a
// texture uploaded, a target texture made): counting that on both sides leaves
// in the comparison only what korvane itself adds.
#include <SDL.h>

#include <cstdio>

namespace {

// A small picture of its own, so that no image library is needed: 16 x 16
// squares of two colours, as a sprite sheet's corner would be.
SDL_Texture* make_picture(SDL_Renderer* renderer) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 16, 16, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return nullptr;
    SDL_LockSurface(s);
    for (int y = 0; y < 16; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < 16; ++x) row[x] = ((x ^ y) & 4) ? 0xFFFFC040u : 0x80204080u;
    }
    SDL_UnlockSurface(s);
    SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, s);
    SDL_FreeSurface(s);
    return t;
}

void draw_quad(SDL_Renderer* renderer, SDL_Texture* texture, float x, float y, float side) {
    SDL_Vertex v[4] = {};
    const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int i = 0; i < 4; ++i) {
        v[i].position = SDL_FPoint{x + side * corners[i][0], y + side * corners[i][1]};
        v[i].color = SDL_Color{255, 255, 255, 255};
        v[i].tex_coord = SDL_FPoint{corners[i][0], corners[i][1]};
    }
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(renderer, texture, v, 4, indices, 6);
}

} // namespace

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "bare_sdl: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          800, 590, SDL_WINDOW_RESIZABLE);
    SDL_Renderer* renderer =
        window
            ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE)
            : nullptr;
    if (window && !renderer)
        renderer =
            SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    SDL_Texture* picture = renderer ? make_picture(renderer) : nullptr;
    SDL_Texture* target = renderer ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888,
                                                       SDL_TEXTUREACCESS_TARGET, 800, 590)
                                   : nullptr;
    if (!picture || !target) {
        std::fprintf(stderr, "bare_sdl: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
    }
    SDL_SetRenderTarget(renderer, target);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    SDL_SetTextureBlendMode(picture, SDL_BLENDMODE_BLEND);
    draw_quad(renderer, picture, 368, 263, 64);
    SDL_SetRenderTarget(renderer, nullptr);
    SDL_RenderClear(renderer);
    SDL_RenderCopy(renderer, target, nullptr, nullptr);
    SDL_RenderPresent(renderer);
    std::fprintf(stdout, "first frame presented\n");
    std::fflush(stdout);
    SDL_DestroyTexture(target);
    SDL_DestroyTexture(picture);
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
