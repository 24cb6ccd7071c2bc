#include "gfx/sprite.h"

#include <cmath>

namespace {

// A texture the engine cannot size counts as 1 x 1 so coordinates stay finite.
void texture_size(Engine* engine, HTEXTURE texture, float* w, float* h) {
    int tw = 0, th = 0;
    if (texture != 0 && engine) {
        tw = engine->Texture_GetWidth(texture, false);
        th = engine->Texture_GetHeight(texture, false);
    }
    *w = tw > 0 ? static_cast<float>(tw) : 1.0f;
    *h = th > 0 ? static_cast<float>(th) : 1.0f;
}

bool valid_vertex(int vertex) {
    return vertex >= 0 && vertex < 4;
}

void swap_tex(hgeVertex& a, hgeVertex& b) {
    float tx = a.tx, ty = a.ty;
    a.tx = b.tx;
    a.ty = b.ty;
    b.tx = tx;
    b.ty = ty;
}

// The four corners of a turned and scaled image, in vertex order.
void transformed_corners(float x, float y, float rotation, float h_scale, float v_scale,
                         float width, float height, float hot_x, float hot_y, float out[4][2]) {
    float a1 = -hot_x * h_scale;
    float b1 = -hot_y * v_scale;
    float a2 = (width - hot_x) * h_scale;
    float b2 = (height - hot_y) * v_scale;
    const float pairs[4][2] = {{a1, b1}, {a2, b1}, {a2, b2}, {a1, b2}};
    if (rotation != 0.0f) {
        float c = std::cos(rotation);
        float s = std::sin(rotation);
        for (int i = 0; i < 4; ++i) {
            float a = pairs[i][0], b = pairs[i][1];
            out[i][0] = x + a * c - b * s;
            out[i][1] = y + a * s + b * c;
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            out[i][0] = x + pairs[i][0];
            out[i][1] = y + pairs[i][1];
        }
    }
}

} // namespace

Sprite::Sprite(HTEXTURE texture, float x, float y, float w, float h)
    : engine(hgeCreate(ENGINE_VERSION)), tex_x(x), tex_y(y), width(w), height(h), hot_x(0.0f),
      hot_y(0.0f), x_flip(false), y_flip(false), hot_spot_flip(false) {
    texture_size(engine, texture, &tex_width, &tex_height);
    for (hgeVertex& v : quad.v) {
        v.x = 0.0f;
        v.y = 0.0f;
        v.z = 0.5f;
        v.col = 0xFFFFFFFFu;
    }
    quad.tex = texture;
    quad.blend = BLEND_DEFAULT;
    set_tex_coords(x, y, w, h);
}

Sprite::Sprite(const Sprite& other)
    : engine(hgeCreate(ENGINE_VERSION)), quad(other.quad), tex_x(other.tex_x), tex_y(other.tex_y),
      width(other.width), height(other.height), tex_width(other.tex_width),
      tex_height(other.tex_height), hot_x(other.hot_x), hot_y(other.hot_y), x_flip(other.x_flip),
      y_flip(other.y_flip), hot_spot_flip(other.hot_spot_flip) {}

Sprite& Sprite::operator=(const Sprite& other) {
    quad = other.quad;
    tex_x = other.tex_x;
    tex_y = other.tex_y;
    width = other.width;
    height = other.height;
    tex_width = other.tex_width;
    tex_height = other.tex_height;
    hot_x = other.hot_x;
    hot_y = other.hot_y;
    x_flip = other.x_flip;
    y_flip = other.y_flip;
    hot_spot_flip = other.hot_spot_flip;
    return *this;
}

Sprite::~Sprite() {
    if (engine) engine->Release();
}

void Sprite::set_tex_coords(float x, float y, float w, float h) {
    float left = x / tex_width;
    float top = y / tex_height;
    float right = (x + w) / tex_width;
    float bottom = (y + h) / tex_height;
    quad.v[0].tx = left;
    quad.v[0].ty = top;
    quad.v[1].tx = right;
    quad.v[1].ty = top;
    quad.v[2].tx = right;
    quad.v[2].ty = bottom;
    quad.v[3].tx = left;
    quad.v[3].ty = bottom;
}

void Sprite::render(float x, float y) {
    float left = x - hot_x;
    float top = y - hot_y;
    float right = x + width - hot_x;
    float bottom = y + height - hot_y;
    render_corners(left, top, right, top, right, bottom, left, bottom);
}

void Sprite::render_transformed(float x, float y, float rotation, float h_scale, float v_scale) {
    if (v_scale == 0.0f) v_scale = h_scale;
    float c[4][2];
    transformed_corners(x, y, rotation, h_scale, v_scale, width, height, hot_x, hot_y, c);
    render_corners(c[0][0], c[0][1], c[1][0], c[1][1], c[2][0], c[2][1], c[3][0], c[3][1]);
}

void Sprite::render_stretched(float x1, float y1, float x2, float y2) {
    render_corners(x1, y1, x2, y1, x2, y2, x1, y2);
}

void Sprite::render_corners(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                            float y3) {
    quad.v[0].x = x0;
    quad.v[0].y = y0;
    quad.v[1].x = x1;
    quad.v[1].y = y1;
    quad.v[2].x = x2;
    quad.v[2].y = y2;
    quad.v[3].x = x3;
    quad.v[3].y = y3;
    if (engine) engine->Gfx_RenderQuad(&quad);
}

void Sprite::set_texture(HTEXTURE texture) {
    quad.tex = texture;
    float new_w, new_h;
    texture_size(engine, texture, &new_w, &new_h);
    if (new_w == tex_width && new_h == tex_height) return;

    float left = quad.v[0].tx * tex_width / new_w;
    float top = quad.v[0].ty * tex_height / new_h;
    float right = quad.v[2].tx * tex_width / new_w;
    float bottom = quad.v[2].ty * tex_height / new_h;
    quad.v[0].tx = left;
    quad.v[3].tx = left;
    quad.v[1].tx = right;
    quad.v[2].tx = right;
    quad.v[0].ty = top;
    quad.v[1].ty = top;
    quad.v[2].ty = bottom;
    quad.v[3].ty = bottom;
    tex_width = new_w;
    tex_height = new_h;
}

void Sprite::set_texture_rect(float x, float y, float w, float h, bool adjust_size) {
    tex_x = x;
    tex_y = y;
    if (adjust_size) {
        width = w;
        height = h;
    }
    set_tex_coords(x, y, w, h);
    reapply_flips();
}

void Sprite::reapply_flips() {
    // The hot spot already stands as the current flips want it; only the coordinates move.
    bool fx = x_flip, fy = y_flip;
    x_flip = false;
    y_flip = false;
    swap_for_flips(fx, fy);
}

void Sprite::swap_for_flips(bool new_x, bool new_y) {
    if (new_x != x_flip) {
        swap_tex(quad.v[0], quad.v[1]);
        swap_tex(quad.v[3], quad.v[2]);
        x_flip = !x_flip;
    }
    if (new_y != y_flip) {
        swap_tex(quad.v[0], quad.v[3]);
        swap_tex(quad.v[1], quad.v[2]);
        y_flip = !y_flip;
    }
}

void Sprite::set_color(uint32_t color, int vertex) {
    if (vertex == -1) {
        for (hgeVertex& v : quad.v) v.col = color;
    } else if (valid_vertex(vertex)) {
        quad.v[vertex].col = color;
    }
}

void Sprite::set_z(float z, int vertex) {
    if (vertex == -1) {
        for (hgeVertex& v : quad.v) v.z = z;
    } else if (valid_vertex(vertex)) {
        quad.v[vertex].z = z;
    }
}

uint32_t Sprite::get_color(int vertex) const {
    return quad.v[valid_vertex(vertex) ? vertex : 0].col;
}

float Sprite::get_z(int vertex) const {
    return quad.v[valid_vertex(vertex) ? vertex : 0].z;
}

void Sprite::get_texture_rect(float* x, float* y, float* w, float* h) const {
    *x = tex_x;
    *y = tex_y;
    *w = width;
    *h = height;
}

void Sprite::set_flip(bool new_x, bool new_y, bool hot_spot) {
    // Both steps go by the flips as they stand before the call: while the hot
    // spot flag stays on they cancel, and only switching the flag mirrors the
    // hot spot (or takes the mirror back) for the flips already applied.
    if (hot_spot_flip) {
        if (x_flip) hot_x = width - hot_x;
        if (y_flip) hot_y = height - hot_y;
    }
    hot_spot_flip = hot_spot;
    if (hot_spot_flip) {
        if (x_flip) hot_x = width - hot_x;
        if (y_flip) hot_y = height - hot_y;
    }
    swap_for_flips(new_x, new_y);
}

Rect* Sprite::bounding_box_transformed(float x, float y, float rotation, float h_scale,
                                       float v_scale, Rect* rect) const {
    if (!rect) return rect;
    rect->clean = true;
    float c[4][2];
    transformed_corners(x, y, rotation, h_scale, v_scale, width, height, hot_x, hot_y, c);
    for (int i = 0; i < 4; ++i) rect->encapsulate(c[i][0], c[i][1]);
    return rect;
}
