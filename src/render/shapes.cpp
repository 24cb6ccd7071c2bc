#include "render/shapes.h"

#include "render/resources.h"

namespace {

void untextured(const float (&xs)[4], const float (&ys)[4], uint32_t color) {
    hgeQuad q;
    for (int i = 0; i < 4; ++i) q.v[i] = {xs[i], ys[i], 0.5f, color, 0.0f, 0.0f};
    q.tex = 0;
    q.blend = BLEND_DEFAULT;
    engine->Gfx_RenderQuad(&q);
}

} // namespace

void fill_rect(float x1, float y1, float x2, float y2, uint32_t color) {
    untextured({x1, x2, x2, x1}, {y1, y1, y2, y2}, color);
}

void fill_arrow(float x, float y, float dx, float dy, float size, uint32_t color) {
    float bx = x - dx * size, by = y - dy * size;
    float px = -dy * size * 0.6f, py = dx * size * 0.6f;
    untextured({x, x, bx + px, bx - px}, {y, y, by + py, by - py}, color);
}
