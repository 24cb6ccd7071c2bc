#include "headless.h"

#include <SDL.h>
#include <SDL_image.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "engine/sdl/sdl_engine.h"

namespace {
// Whatever the shell says, these tests never need a display or a sound card.
const bool kDummyDrivers =
    setenv("SDL_VIDEODRIVER", "dummy", 0) == 0 && setenv("SDL_AUDIODRIVER", "dummy", 0) == 0;
} // namespace

TempDir::TempDir() {
    char pattern[] = "/tmp/korvane-engine-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "";
}

TempDir::~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

void TempDir::write(const std::string& name, const std::string& contents) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out << contents;
}

bool write_png(const std::string& path, int w, int h, const std::vector<uint32_t>& argb) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return false;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) row[x] = argb[static_cast<size_t>(y) * w + x];
    }
    bool ok = IMG_SavePNG(s, path.c_str()) == 0;
    SDL_FreeSurface(s);
    return ok;
}

void HeadlessTest::SetUp() {
    ASSERT_FALSE(dir.path().empty());
    engine_set_backend(create_sdl_engine);
    e = hgeCreate(ENGINE_VERSION);
    ASSERT_NE(e, nullptr);
    e->System_SetState(HGE_HEADLESS, true);
    e->System_SetState(HGE_DATADIR, dir.path().c_str());
    e->System_SetState(HGE_SCREENWIDTH, 800);
    e->System_SetState(HGE_SCREENHEIGHT, 590);
    before_initiate();
    ASSERT_TRUE(e->System_Initiate()) << e->System_GetErrorMessage();
}

void HeadlessTest::TearDown() {
    if (!e) return;
    e->System_Shutdown();
    e->Release();
    e = nullptr;
    engine_set_backend(nullptr);
}

uint32_t HeadlessTest::pixel(HTARGET target, int x, int y) {
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    if (!sdl_engine_read_pixels(e, target, &px, &w, &h)) {
        ADD_FAILURE() << "no pixels for target " << target;
        return 0xDEADBEEF;
    }
    if (x < 0 || y < 0 || x >= w || y >= h) {
        ADD_FAILURE() << "pixel outside " << w << " x " << h;
        return 0xDEADBEEF;
    }
    return px[static_cast<size_t>(y) * w + x] & 0xFFFFFFu;
}

hgeQuad solid_quad(float x0, float y0, float x1, float y1, uint32_t argb, int blend) {
    return texture_quad(0, x0, y0, x1, y1, argb, blend);
}

hgeQuad texture_quad(HTEXTURE tex, float x0, float y0, float x1, float y1, uint32_t argb,
                     int blend) {
    hgeQuad q{};
    const float xs[4] = {x0, x1, x1, x0}, ys[4] = {y0, y0, y1, y1};
    const float us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
    for (int i = 0; i < 4; ++i) q.v[i] = hgeVertex{xs[i], ys[i], 0.5f, argb, us[i], vs[i]};
    q.tex = tex;
    q.blend = blend;
    return q;
}
