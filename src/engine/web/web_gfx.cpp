#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#include <stb_image.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "engine/frame_math.h"
#include "engine/web/web_engine_impl.h"

namespace {

const char* kVertexShader = R"(
attribute vec2 a_pos;
attribute vec2 a_uv;
attribute vec4 a_col;
uniform vec2 u_scale;
uniform vec2 u_offset;
varying vec2 v_uv;
varying vec4 v_col;
void main() {
    v_uv = a_uv;
    v_col = a_col;
    gl_Position = vec4(a_pos * u_scale + u_offset, 0.0, 1.0);
}
)";

// Colour multiply by default; colour add puts the vertex colour on top of
// the texture's, through the texture's shape.
const char* kFragmentShader = R"(
precision mediump float;
uniform sampler2D u_tex;
uniform float u_add;
varying vec2 v_uv;
varying vec4 v_col;
void main() {
    vec4 t = texture2D(u_tex, v_uv);
    vec3 rgb = mix(t.rgb * v_col.rgb, min(t.rgb + v_col.rgb, 1.0), u_add);
    gl_FragColor = vec4(rgb, t.a * v_col.a);
}
)";

GLuint compile(GLenum kind, const char* text) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &text, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        glDeleteShader(s);
        return 0;
    }
    return s;
}

void set_sampling() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Pictures of any size need clamping in WebGL 1.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void set_filter(GLint filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}

bool whole(float v) {
    return std::fabs(v - std::round(v)) < 1e-3f;
}

// Whether every quad is upright, on whole pixels, and maps one pixel to one
// texel of a w x h texture.
template <class V> bool unscaled(const V* v, int quads, int w, int h) {
    for (int q = 0; q < quads; ++q, v += 4) {
        if (v[0].y != v[1].y || v[2].y != v[3].y || v[0].x != v[3].x || v[1].x != v[2].x ||
            v[0].u != v[3].u || v[1].u != v[2].u || v[0].v != v[1].v || v[2].v != v[3].v)
            return false;
        if (!whole(v[0].x) || !whole(v[0].y) || !whole(v[0].u * w) || !whole(v[0].v * h))
            return false;
        if (std::fabs((v[1].x - v[0].x) - (v[1].u - v[0].u) * w) > 1e-3f ||
            std::fabs((v[3].y - v[0].y) - (v[3].v - v[0].v) * h) > 1e-3f)
            return false;
    }
    return true;
}

// Targets and the screen have no alpha, like a display: they clear opaque
// and drawing never changes their alpha, so a target drawn with a sprite
// covers what lies below.
void clear_opaque(uint32_t argb) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(((argb >> 16) & 0xFF) / 255.0f, ((argb >> 8) & 0xFF) / 255.0f,
                 (argb & 0xFF) / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

// The page counts the frames it is shown (window.korvane.frames).
EM_JS(void, kv_presented, (), {
    if (Module.korvanePresented) Module.korvanePresented();
});

EM_BOOL on_context_lost(int, const void*, void*) {
    return EM_TRUE; // asks the browser to give it back
}

EM_BOOL on_context_restored(int, const void*, void* engine) {
    static_cast<WebEngine*>(engine)->restore_graphics();
    return EM_TRUE;
}

} // namespace

bool WebEngine::start_gl() {
    if (!context_) {
        EmscriptenWebGLContextAttributes attrs;
        emscripten_webgl_init_context_attributes(&attrs);
        attrs.alpha = EM_FALSE;
        attrs.depth = EM_FALSE;
        attrs.stencil = EM_FALSE;
        attrs.antialias = EM_FALSE;
        attrs.premultipliedAlpha = EM_FALSE;
        attrs.majorVersion = 1;
        context_ = emscripten_webgl_create_context("#canvas", &attrs);
        if (context_ <= 0) {
            context_ = 0;
            error_ = "Can't start WebGL in this browser";
            return false;
        }
        emscripten_set_webglcontextlost_callback("#canvas", this, EM_FALSE, on_context_lost);
        emscripten_set_webglcontextrestored_callback("#canvas", this, EM_FALSE,
                                                     on_context_restored);
    }
    emscripten_webgl_make_context_current(context_);

    GLuint vs = compile(GL_VERTEX_SHADER, kVertexShader);
    GLuint fs = compile(GL_FRAGMENT_SHADER, kFragmentShader);
    program_ = glCreateProgram();
    if (vs) glAttachShader(program_, vs);
    if (fs) glAttachShader(program_, fs);
    glBindAttribLocation(program_, 0, "a_pos");
    glBindAttribLocation(program_, 1, "a_uv");
    glBindAttribLocation(program_, 2, "a_col");
    glLinkProgram(program_);
    if (vs) glDeleteShader(vs);
    if (fs) glDeleteShader(fs);
    GLint linked = 0;
    glGetProgramiv(program_, GL_LINK_STATUS, &linked);
    if (!linked) {
        error_ = "Can't build the WebGL shaders";
        return false;
    }
    glUseProgram(program_);
    u_scale_ = glGetUniformLocation(program_, "u_scale");
    u_offset_ = glGetUniformLocation(program_, "u_offset");
    u_add_ = glGetUniformLocation(program_, "u_add");
    u_tex_ = glGetUniformLocation(program_, "u_tex");
    glUniform1i(u_tex_, 0);

    // Two triangles a quad, corners in the quad's order; the pattern never changes.
    std::vector<uint16_t> indices(kBatchQuads * 6);
    for (int q = 0; q < kBatchQuads; ++q) {
        uint16_t v = static_cast<uint16_t>(q * 4);
        uint16_t* i = &indices[q * 6];
        i[0] = v, i[1] = v + 1, i[2] = v + 2, i[3] = v, i[4] = v + 2, i[5] = v + 3;
    }
    glGenBuffers(1, &ibo_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, ibo_);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, indices.size() * 2, indices.data(), GL_STATIC_DRAW);
    glGenBuffers(1, &vbo_);
    glBindBuffer(GL_ARRAY_BUFFER, vbo_);
    glBufferData(GL_ARRAY_BUFFER, verts_.size() * sizeof(Vertex), nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glEnableVertexAttribArray(2);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)offsetof(Vertex, x));
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex), (void*)offsetof(Vertex, u));
    glVertexAttribPointer(2, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                          (void*)offsetof(Vertex, rgba));

    // Untextured quads draw with one white texel.
    glGenTextures(1, &white_);
    glBindTexture(GL_TEXTURE_2D, white_);
    const uint32_t texel = 0xFFFFFFFFu;
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, &texel);
    set_sampling();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    return true;
}

GLuint WebEngine::make_target_texture(int w, int h, GLuint* fbo) {
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    set_sampling();
    glGenFramebuffers(1, fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, *fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, fbo);
        glDeleteTextures(1, &tex);
        *fbo = 0;
        return 0;
    }
    glViewport(0, 0, w, h);
    clear_opaque(0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return tex;
}

// A parked picture of this size, cleared as a new one is, or a new one.
GLuint WebEngine::take_target_texture(int w, int h, GLuint* fbo) {
    for (size_t i = 0; i < parked_.size(); ++i) {
        if (parked_[i].w != w || parked_[i].h != h) continue;
        GLuint tex = parked_[i].tex;
        *fbo = parked_[i].fbo;
        parked_.erase(parked_.begin() + static_cast<std::ptrdiff_t>(i));
        glBindFramebuffer(GL_FRAMEBUFFER, *fbo);
        glViewport(0, 0, w, h);
        clear_opaque(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        return tex;
    }
    return make_target_texture(w, h, fbo);
}

// A lost context took them already: then they are only forgotten.
void WebEngine::drop_parked_targets(bool delete_them) {
    for (const ParkedTarget& p : parked_) {
        if (!delete_them) break;
        glDeleteTextures(1, &p.tex);
        glDeleteFramebuffers(1, &p.fbo);
    }
    parked_.clear();
}

bool WebEngine::create_screen() {
    screen_tex_ = make_target_texture(screen_w_, screen_h_, &screen_fbo_);
    if (!screen_tex_) error_ = "Can't create the screen picture";
    return screen_tex_ != 0;
}

bool WebEngine::upload_texture(TextureSlot& slot) {
    void* file = nullptr;
    const unsigned char* bytes = slot.bytes.data();
    uint32_t size = static_cast<uint32_t>(slot.bytes.size());
    if (slot.bytes.empty()) {
        file = Resource_Load(slot.path.c_str(), &size);
        bytes = static_cast<const unsigned char*>(file);
    }
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels =
        bytes && size <= 0x7FFFFFFF
            ? stbi_load_from_memory(bytes, static_cast<int>(size), &w, &h, &channels, 4)
            : nullptr;
    Resource_Free(file);
    if (!pixels) return false;
    glGenTextures(1, &slot.tex);
    glBindTexture(GL_TEXTURE_2D, slot.tex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    set_sampling();
    stbi_image_free(pixels);
    slot.w = w;
    slot.h = h;
    return true;
}

HTEXTURE WebEngine::Texture_Load(const char* filename, uint32_t size, bool) {
    if (!context_ || !filename) return 0;
    TextureSlot slot;
    if (size > 0) // then "filename" points at the image bytes themselves
        slot.bytes.assign(reinterpret_cast<const uint8_t*>(filename),
                          reinterpret_cast<const uint8_t*>(filename) + size);
    else
        slot.path = filename;
    if (!upload_texture(slot)) return 0;
    GLuint raw = slot.tex;
    HTEXTURE h = textures_.add(std::move(slot));
    if (!h) glDeleteTextures(1, &raw);
    return h;
}

void WebEngine::Texture_Free(HTEXTURE tex) {
    TextureSlot* slot = textures_.find(tex);
    if (!slot || slot->is_target) return; // a target's texture goes with Target_Free
    flush();                              // queued quads may still use it
    glDeleteTextures(1, &slot->tex);
    textures_.remove(tex);
}

int WebEngine::Texture_GetWidth(HTEXTURE tex, bool) {
    TextureSlot* slot = textures_.find(tex);
    return slot ? slot->w : 0;
}

int WebEngine::Texture_GetHeight(HTEXTURE tex, bool) {
    TextureSlot* slot = textures_.find(tex);
    return slot ? slot->h : 0;
}

HTARGET WebEngine::Target_Create(int width, int height, bool) {
    if (!context_ || width <= 0 || height <= 0) return 0;
    flush();
    TargetSlot target;
    TextureSlot tex;
    tex.tex = take_target_texture(width, height, &target.fbo);
    if (!tex.tex) return 0;
    if (in_scene_) { // creating it bound another framebuffer
        HTARGET keep = scene_target_;
        in_scene_ = false;
        Gfx_BeginScene(keep);
    }
    tex.w = target.w = width;
    tex.h = target.h = height;
    tex.is_target = true;
    GLuint raw = tex.tex, fbo = target.fbo;
    target.texture = textures_.add(std::move(tex));
    HTARGET h = target.texture ? targets_.add(target) : 0;
    if (!h) {
        textures_.remove(target.texture);
        glDeleteTextures(1, &raw);
        glDeleteFramebuffers(1, &fbo);
    }
    return h;
}

void WebEngine::Target_Free(HTARGET target) {
    TargetSlot* t = targets_.find(target);
    if (!t) return;
    if (in_scene_ && scene_target_ == target) Gfx_EndScene();
    flush();
    TextureSlot* tex = textures_.find(t->texture);
    if (tex && tex->tex && t->fbo) {
        if (parked_.size() == kParkedTargets) { // the longest parked goes
            glDeleteTextures(1, &parked_.front().tex);
            glDeleteFramebuffers(1, &parked_.front().fbo);
            parked_.erase(parked_.begin());
        }
        parked_.push_back(ParkedTarget{tex->tex, t->fbo, t->w, t->h});
    } else {
        if (tex) glDeleteTextures(1, &tex->tex);
        glDeleteFramebuffers(1, &t->fbo);
    }
    if (tex) textures_.remove(t->texture);
    targets_.remove(target);
}

HTEXTURE WebEngine::Target_GetTexture(HTARGET target) {
    TargetSlot* t = targets_.find(target);
    return t ? t->texture : 0;
}

void WebEngine::bind_scene(GLuint fbo, int w, int h, bool flip) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, w, h);
    // Pixels to clip space. Pictures drawn off screen keep their top row at
    // texture row 0, as loaded images do; the canvas has it at the top.
    glUniform2f(u_scale_, 2.0f / w, flip ? -2.0f / h : 2.0f / h);
    glUniform2f(u_offset_, -1.0f, flip ? 1.0f : -1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
}

bool WebEngine::Gfx_BeginScene(HTARGET target) {
    if (!context_ || in_scene_) return false; // scenes never nest
    GLuint fbo = screen_fbo_;
    int w = screen_w_, h = screen_h_;
    if (target) {
        TargetSlot* t = targets_.find(target);
        if (!t) return false;
        fbo = t->fbo;
        w = t->w;
        h = t->h;
    }
    if (!fbo) return false;
    bind_scene(fbo, w, h, false);
    in_scene_ = true;
    scene_target_ = target;
    return true;
}

void WebEngine::Gfx_EndScene() {
    if (!in_scene_) return;
    flush();
    in_scene_ = false;
    if (scene_target_ == 0) present();
}

void WebEngine::Gfx_Clear(uint32_t color) {
    if (!in_scene_) return;
    flush();
    clear_opaque(color);
}

void WebEngine::Gfx_RenderQuad(const hgeQuad* quad) {
    if (!in_scene_ || !quad) return;
    if (quad->tex) {
        TextureSlot* slot = textures_.find(quad->tex);
        if (!slot || !slot->tex) return; // a freed or lost texture draws nothing
    }
    int blend = quad->blend & (BLEND_COLORADD | BLEND_ALPHABLEND); // depth is not kept
    if (batch_quads_ > 0 && (quad->tex != batch_tex_ || blend != batch_blend_)) flush();
    if (batch_quads_ == kBatchQuads) flush();
    batch_tex_ = quad->tex;
    batch_blend_ = blend;
    static const float kCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    Vertex* v = &verts_[static_cast<size_t>(batch_quads_) * 4];
    for (int i = 0; i < 4; ++i) {
        const hgeVertex& q = quad->v[i];
        v[i].x = q.x;
        v[i].y = q.y;
        v[i].u = quad->tex ? q.tx : kCorners[i][0];
        v[i].v = quad->tex ? q.ty : kCorners[i][1];
        // ARGB to bytes r, g, b, a in memory (little-endian).
        uint32_t c = q.col;
        v[i].rgba = ((c >> 16) & 0xFFu) | (c & 0xFF00u) | ((c & 0xFFu) << 16) | (c & 0xFF000000u);
    }
    ++batch_quads_;
}

void WebEngine::flush() {
    if (batch_quads_ == 0) return;
    int quads = batch_quads_;
    batch_quads_ = 0;
    TextureSlot* slot = batch_tex_ ? textures_.find(batch_tex_) : nullptr;
    glBindTexture(GL_TEXTURE_2D, slot && slot->tex ? slot->tex : white_);
    bool add = !(batch_blend_ & BLEND_ALPHABLEND);
    // A target's picture is opaque, so drawn untinted its blend is a copy,
    // which software WebGL does much faster.
    bool copy = !add && !(batch_blend_ & BLEND_COLORADD) && slot && slot->is_target;
    for (int i = 0; copy && i < quads * 4; ++i) copy = verts_[i].rgba == 0xFFFFFFFFu;
    // A copy at its own size, on whole pixels, samples each texel once:
    // nearest gives the same picture as linear, for less work.
    bool exact = copy && unscaled(verts_.data(), quads, slot->w, slot->h);
    if (copy) glDisable(GL_BLEND);
    if (exact) set_filter(GL_NEAREST);
    glBlendFunc(GL_SRC_ALPHA, add ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    glUniform1f(u_add_, (batch_blend_ & BLEND_COLORADD) ? 1.0f : 0.0f);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(quads) * 4 * sizeof(Vertex),
                    verts_.data());
    glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_SHORT, nullptr);
    if (copy) glEnable(GL_BLEND);
    if (exact) set_filter(GL_LINEAR);
}

// The screen picture into the canvas, its shape kept, bars around it.
void WebEngine::present() {
    screen_presented_ = true;
    if (!context_ || !screen_tex_) return;
    flush();
    int out_w = 0, out_h = 0;
    emscripten_webgl_get_drawing_buffer_size(context_, &out_w, &out_h);
    if (out_w <= 0 || out_h <= 0) return;
    bind_scene(0, out_w, out_h, true);
    clear_opaque(0);
    Letterbox box = integer_scaling_ ? whole_multiple_rect(out_w, out_h, screen_w_, screen_h_)
                                     : letterbox_rect(out_w, out_h, screen_w_, screen_h_);
    float x0 = static_cast<float>(box.x), y0 = static_cast<float>(box.y);
    float x1 = x0 + box.w, y1 = y0 + box.h;
    const float corners[4][4] = {{x0, y0, 0, 0}, {x1, y0, 1, 0}, {x1, y1, 1, 1}, {x0, y1, 0, 1}};
    for (int i = 0; i < 4; ++i) {
        verts_[i].x = corners[i][0];
        verts_[i].y = corners[i][1];
        verts_[i].u = corners[i][2];
        verts_[i].v = corners[i][3];
        verts_[i].rgba = 0xFFFFFFFFu;
    }
    glDisable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, screen_tex_);
    set_filter(box.w == screen_w_ && box.h == screen_h_ ? GL_NEAREST : GL_LINEAR);
    glUniform1f(u_add_, 0.0f);
    glBufferSubData(GL_ARRAY_BUFFER, 0, 4 * sizeof(Vertex), verts_.data());
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, nullptr);
    glEnable(GL_BLEND);
    kv_presented();
}

bool WebEngine::Gfx_SaveScreenshot(const char* filename) {
    if (!context_ || !screen_fbo_ || !filename) return false;
    flush();
    std::vector<unsigned char> pixels(static_cast<size_t>(screen_w_) * screen_h_ * 4);
    glBindFramebuffer(GL_FRAMEBUFFER, screen_fbo_);
    glReadPixels(0, 0, screen_w_, screen_h_, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    if (in_scene_) {
        in_scene_ = false;
        Gfx_BeginScene(scene_target_);
    }
    // Row 0 of the picture is its top, as in the file.
    return stbi_write_png(filename, screen_w_, screen_h_, 4, pixels.data(), screen_w_ * 4) != 0;
}

void WebEngine::free_all_graphics() {
    batch_quads_ = 0;
    in_scene_ = false;
    if (context_) {
        for (TextureSlot& slot : textures_.items())
            if (slot.used && slot.tex) glDeleteTextures(1, &slot.tex);
        for (TargetSlot& t : targets_.items())
            if (t.used && t.fbo) glDeleteFramebuffers(1, &t.fbo);
        if (screen_tex_) glDeleteTextures(1, &screen_tex_);
        if (screen_fbo_) glDeleteFramebuffers(1, &screen_fbo_);
        if (white_) glDeleteTextures(1, &white_);
        if (vbo_) glDeleteBuffers(1, &vbo_);
        if (ibo_) glDeleteBuffers(1, &ibo_);
        if (program_) glDeleteProgram(program_);
    }
    drop_parked_targets(context_ != 0);
    textures_ = Slots<TextureSlot>();
    targets_ = Slots<TargetSlot>();
    screen_tex_ = screen_fbo_ = white_ = vbo_ = ibo_ = program_ = 0;
}

// Everything the lost context held is made again; each target gets a new
// texture handle, so the game sees that it must re-attach its sprites.
void WebEngine::restore_graphics() {
    if (!context_) return;
    batch_quads_ = 0;
    in_scene_ = false;
    drop_parked_targets(false);
    if (!start_gl()) return;
    for (TextureSlot& slot : textures_.items()) {
        if (!slot.used || slot.is_target) continue;
        slot.tex = 0;
        upload_texture(slot); // a picture that cannot be read again stays blank
    }
    for (TargetSlot& t : targets_.items()) {
        if (!t.used) continue;
        textures_.remove(t.texture);
        TextureSlot fresh;
        fresh.tex = make_target_texture(t.w, t.h, &t.fbo);
        fresh.w = t.w;
        fresh.h = t.h;
        fresh.is_target = true;
        t.texture = fresh.tex ? textures_.add(std::move(fresh)) : 0;
    }
    create_screen();
    if (restore_func_) restore_func_();
}
