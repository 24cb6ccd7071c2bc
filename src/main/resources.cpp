#include "main/resources.h"

#include "main/app.h"
#include "render/atlas.h"
#include "render/resources.h"

namespace {

// By Sound; all ten must load.
const char* const EFFECT_FILES[SOUND_COUNT] = {
    "data/upgrade.mp3",    "data/intro.mp3",    "data/pl_fire.mp3",     "data/en_fire_khh.mp3",
    "data/small_boom.mp3", "data/big_boom.mp3", "data/start_level.mp3", "data/en_fire_piu.mp3",
    "data/en_rocket.mp3",  "data/armor.mp3",
};

Resources& r = resources;

void set_hot_spot(Sprite* s, const AtlasPicture& p) {
    if (p.hot_x == HOT_CENTRE)
        s->set_hot_spot(s->get_width() / 2, s->get_height() / 2);
    else
        s->set_hot_spot(p.hot_x, p.hot_y);
}

Animation* make_animation(HTEXTURE texture, const AtlasPicture& p) {
    Animation* a = new Animation(texture, p.frames, p.fps, p.x, p.y, p.w, p.h);
    set_hot_spot(a, p);
    return a;
}

// Explosion templates, sprites and the picture table.
// The frames they show come from the world's clocks.
void make_pictures() {
    r.kaboom_anim = make_animation(r.tex_kaboom, BIG_EXPLOSION);
    r.boom_anim = make_animation(r.tex_kaboom, SMALL_EXPLOSION);

    Sprite** sprites[SPRITE_COUNT] = {
        &r.sprite_logo,         &r.sprite_star,          &r.sprite_ship0, &r.sprite_ship1,
        &r.sprite_enemy_bullet, &r.sprite_player_bullet, &r.sprite_dot};
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        const AtlasPicture& p = SPRITES[i];
        *sprites[i] = new Sprite(i == SPRITE_LOGO ? r.tex_logo : r.tex_main, p.x, p.y, p.w, p.h);
        set_hot_spot(*sprites[i], p);
    }

    for (int i = 0; i < KIND_COUNT; ++i) r.images[i] = make_animation(r.tex_main, IMAGES[i]);
}

void make_view(int v, int width, int height) {
    r.view_target[v] = engine->Target_Create(width, height, false);
    r.view_sprite[v] = new Sprite(engine->Target_GetTexture(r.view_target[v]), 0, 0,
                                  static_cast<float>(width), static_cast<float>(height));
}

template <class T>
void delete_and_clear(T*& p) {
    delete p;
    p = nullptr;
}

} // namespace

void configure_engine() {
    engine = hgeCreate(ENGINE_VERSION);
    engine->System_SetState(HGE_LOGFILE, "data/Korvane.log");
    engine->System_SetState(HGE_INIFILE, "data/Settings.ini");
    engine->System_SetState(HGE_FRAMEFUNC, frame_func);
    engine->System_SetState(HGE_RENDERFUNC, render_func);
    engine->System_SetState(HGE_TITLE, "Korvane");
    engine->System_SetState(HGE_SHOWSPLASH, false);
    engine->System_SetState(HGE_WINDOWED, true);
    engine->System_SetState(HGE_SCREENWIDTH, 800);
    engine->System_SetState(HGE_SCREENHEIGHT, 590);
    engine->System_SetState(HGE_SCREENBPP, 32);
    engine->System_SetState(HGE_FPS, 500);
    engine->System_SetState(HGE_HIDEMOUSE, true);
    engine->System_SetState(HGE_GFXRESTOREFUNC, gfx_restore_func);
}

bool load_resources() {
    // The title's picture first: with a window, pictures decode in this order
    // behind the rest of the start-up, and the first frame waits for this one.
    r.tex_logo = engine->Texture_Load("data/logo.png");
    r.tex_main = engine->Texture_Load("data/tex.png");
    r.tex_kaboom = engine->Texture_Load("data/kaboom.png");
    bool loaded = true;
    for (int s = 0; s < SOUND_COUNT; ++s) {
        r.sounds[s] = engine->Effect_Load(EFFECT_FILES[s]);
        loaded = loaded && r.sounds[s] != 0;
    }
    r.font1 = new Font("data/font1.fnt");
    r.font2 = new Font("data/font2.fnt");
    if (!loaded || !r.tex_main || !r.tex_logo || !r.tex_kaboom) {
        engine->System_MessageBox("Can't load resources", "Error");
        shutdown_program();
        return false;
    }

    int width = engine->System_GetStateInt(HGE_SCREENWIDTH);
    int height = engine->System_GetStateInt(HGE_SCREENHEIGHT);
    make_view(0, width, height);
    make_view(1, (width - 2) / 2, height);
    make_pictures();
    return true;
}

void free_resources() {
    delete_and_clear(r.font1);
    delete_and_clear(r.font2);
    for (int v = 0; v < 2; ++v) {
        delete_and_clear(r.view_sprite[v]);
        if (r.view_target[v]) engine->Target_Free(r.view_target[v]);
        r.view_target[v] = 0;
    }
    for (Sprite** s : {&r.sprite_logo, &r.sprite_star, &r.sprite_ship0, &r.sprite_ship1,
                       &r.sprite_enemy_bullet, &r.sprite_player_bullet, &r.sprite_dot})
        delete_and_clear(*s);
    delete_and_clear(r.kaboom_anim);
    delete_and_clear(r.boom_anim);
    for (Animation*& a : r.images) delete_and_clear(a);
    for (HTEXTURE* t : {&r.tex_main, &r.tex_logo, &r.tex_kaboom}) {
        if (*t) engine->Texture_Free(*t);
        *t = 0;
    }
    for (HEFFECT& e : r.sounds) {
        if (e) engine->Effect_Free(e);
        e = 0;
    }
}

void shutdown_program() {
    free_resources();
    engine->System_Shutdown();
    engine->Release();
    engine = nullptr;
}

bool gfx_restore_func() {
    for (int v = 0; v < 2; ++v)
        if (r.view_target[v] && r.view_sprite[v])
            r.view_sprite[v]->set_texture(engine->Target_GetTexture(r.view_target[v]));
    return false;
}
