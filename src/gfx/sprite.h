// A rectangle cut from a texture, drawn as one quad. One sprite object may be
// drawn many times per frame: each draw rewrites its corners and hands a copy
// of the quad to the engine.
#pragma once

#include "engine/engine.h"
#include "gfx/rect.h"

class Sprite {
  public:
    // Rectangle in texels; texture 0 draws untextured with a 1 x 1 texture size.
    Sprite(HTEXTURE texture, float x, float y, float w, float h);
    // Copies every field, quad included, and takes its own engine reference.
    Sprite(const Sprite& other);
    // Copies every field but keeps this object's one engine reference.
    Sprite& operator=(const Sprite& other);
    // Gives back the engine reference.
    ~Sprite();

    // Hot spot on (x, y), unrotated, scale 1.
    void render(float x, float y);
    // Rotation in radians, clockwise on screen, about the hot spot; v_scale 0 means h_scale.
    void render_transformed(float x, float y, float rotation, float h_scale = 1.0f,
                            float v_scale = 0.0f);
    // Corners 0..3 on the screen rectangle's corners; the hot spot plays no part.
    void render_stretched(float x1, float y1, float x2, float y2);
    // Vertices 0..3 where given, in order.
    void render_corners(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                        float y3);

    // Keeps the rectangle in texels, rescaling texture coordinates to the new size.
    void set_texture(HTEXTURE texture);
    // Selects another rectangle (texels); flips stay applied; adjust_size also resizes.
    void set_texture_rect(float x, float y, float w, float h, bool adjust_size = true);
    // vertex 0..3, or -1 for all four; any other vertex changes nothing.
    void set_color(uint32_t color, int vertex = -1);
    // vertex 0..3, or -1 for all four; any other vertex changes nothing.
    void set_z(float z, int vertex = -1);
    // One of the BLEND_ sums.
    void set_blend_mode(int blend) { quad.blend = blend; }
    // Texels from the rectangle's top-left corner.
    void set_hot_spot(float x, float y) {
        hot_x = x;
        hot_y = y;
    }
    // Mirrors the image. hot_spot says whether the hot spot is mirrored too; it
    // is mirrored (or taken back) for the flips already in force when the flag
    // changes, and stays put while the flag stays on.
    void set_flip(bool new_x, bool new_y, bool hot_spot = false);

    // The quad's texture handle.
    HTEXTURE get_texture() const { return quad.tex; }
    // The rectangle in texels.
    void get_texture_rect(float* x, float* y, float* w, float* h) const;
    // Colour of vertex 0..3; any other vertex reads vertex 0.
    uint32_t get_color(int vertex = 0) const;
    // Depth of vertex 0..3; any other vertex reads vertex 0.
    float get_z(int vertex = 0) const;
    // The quad's blend mode.
    int get_blend_mode() const { return quad.blend; }
    // The hot spot in texels, mirrored if the flip carries it.
    void get_hot_spot(float* x, float* y) const {
        *x = hot_x;
        *y = hot_y;
    }
    // The current flips.
    void get_flip(bool* x, bool* y) const {
        *x = x_flip;
        *y = y_flip;
    }
    // Rectangle width in texels, the drawn width at scale 1.
    float get_width() const { return width; }
    // Rectangle height in texels, the drawn height at scale 1.
    float get_height() const { return height; }
    // The quad as last handed to the engine (or as built, before any draw).
    const hgeQuad& get_quad() const { return quad; }

    // The axis-aligned bounds of what render_transformed would draw (v_scale 0 stays 0).
    Rect* bounding_box_transformed(float x, float y, float rotation, float h_scale, float v_scale,
                                   Rect* rect) const;

  protected:
    // Texture coordinates of the rectangle (x, y, w, h) in texels.
    void set_tex_coords(float x, float y, float w, float h);
    // Clears both flips and applies them again, after new texture coordinates.
    void reapply_flips();
    // Swaps texture coordinates until the flips are (new_x, new_y); the hot spot stays.
    void swap_for_flips(bool new_x, bool new_y);

    Engine* engine; // one reference per sprite, copies included
    hgeQuad quad;
    float tex_x, tex_y;
    float width, height;
    float tex_width, tex_height;
    float hot_x, hot_y;
    bool x_flip, y_flip, hot_spot_flip;
};
