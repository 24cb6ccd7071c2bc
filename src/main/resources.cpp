#include "main/resources.h"

#include "world/globals.h"
#include "game/levels.h"
#include "game/states.h"
#include "game/tuning.h"
#include "main/atlas.h"
#include "render/render.h"

namespace {

struct EffectFile {
    HEFFECT* handle;
    const char* file;
};

// Loading order matters only for the log; all ten must load.
const EffectFile EFFECTS[] = {
    {&snd_upgrade, "data/upgrade.mp3"},
    {&snd_intro, "data/intro.mp3"},
    {&snd_player_fire, "data/pl_fire.mp3"},
    {&snd_enemy_fire_khh, "data/en_fire_khh.mp3"},
    {&snd_small_boom, "data/small_boom.mp3"},
    {&snd_big_boom, "data/big_boom.mp3"},
    {&snd_start_level, "data/start_level.mp3"},
    {&snd_enemy_fire_piu, "data/en_fire_piu.mp3"},
    {&snd_enemy_rocket, "data/en_rocket.mp3"},
    {&snd_armor, "data/armor.mp3"},
};

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
void make_pictures() {
    kaboom_anim = make_animation(tex_kaboom, BIG_EXPLOSION);
    kaboom_anim->set_mode(ANIM_FWD | ANIM_NOLOOP);
    boom_anim = make_animation(tex_kaboom, SMALL_EXPLOSION);
    boom_anim->set_mode(ANIM_FWD | ANIM_NOLOOP);

    Sprite** sprites[SPRITE_COUNT] = {&sprite_logo,  &sprite_star,          &sprite_ship0,
                                      &sprite_ship1, &sprite_enemy_bullet,  &sprite_player_bullet,
                                      &sprite_dot};
    for (int i = 0; i < SPRITE_COUNT; ++i) {
        const AtlasPicture& p = SPRITES[i];
        *sprites[i] = new Sprite(i == SPRITE_LOGO ? tex_logo : tex_main, p.x, p.y, p.w, p.h);
        set_hot_spot(*sprites[i], p);
    }

    for (int i = 0; i < KIND_COUNT; ++i) images[i] = make_animation(tex_main, IMAGES[i]);
    for (int i : {KIND_CHIKENROCKET, KIND_DRAGONFLY}) {
        images[i]->play();
        images[i]->set_mode(ANIM_FWD | ANIM_LOOP);
    }
}

void make_view(int v, int width, int height) {
    view_target[v] = engine->Target_Create(width, height, false);
    view_sprite[v] = new Sprite(engine->Target_GetTexture(view_target[v]), 0, 0,
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
    tex_logo = engine->Texture_Load("data/logo.png");
    tex_main = engine->Texture_Load("data/tex.png");
    tex_kaboom = engine->Texture_Load("data/kaboom.png");
    bool loaded = true;
    for (const EffectFile& e : EFFECTS) {
        *e.handle = engine->Effect_Load(e.file);
        loaded = loaded && *e.handle != 0;
    }
    font1 = new Font("data/font1.fnt");
    font2 = new Font("data/font2.fnt");
    if (!loaded || !tex_main || !tex_logo || !tex_kaboom) {
        engine->System_MessageBox("Can't load resources", "Error");
        shutdown_program();
        return false;
    }

    engine->Random_Seed(0);
    engine->Random_Float(-1, 1);

    int width = engine->System_GetStateInt(HGE_SCREENWIDTH);
    int height = engine->System_GetStateInt(HGE_SCREENHEIGHT);
    half_width = (width - 2) / 2;
    make_view(0, width, height);
    make_view(1, half_width, height);
    make_pictures();

    load_settings(true);
    load_levels();
    return true;
}

void free_resources() {
    delete_and_clear(font1);
    delete_and_clear(font2);
    for (int v = 0; v < 2; ++v) {
        delete_and_clear(view_sprite[v]);
        if (view_target[v]) engine->Target_Free(view_target[v]);
        view_target[v] = 0;
    }
    for (Sprite** s : {&sprite_logo, &sprite_star, &sprite_ship0, &sprite_ship1,
                       &sprite_enemy_bullet, &sprite_player_bullet, &sprite_dot})
        delete_and_clear(*s);
    // Running explosions hold copies of the templates; they go with them.
    big_list.clear();
    small_list.clear();
    delete_and_clear(kaboom_anim);
    delete_and_clear(boom_anim);
    for (Animation*& a : images) delete_and_clear(a);
    for (HTEXTURE* t : {&tex_main, &tex_logo, &tex_kaboom}) {
        if (*t) engine->Texture_Free(*t);
        *t = 0;
    }
    for (const EffectFile& e : EFFECTS) {
        if (*e.handle) engine->Effect_Free(*e.handle);
        *e.handle = 0;
    }
}

void shutdown_program() {
    free_resources();
    engine->System_Shutdown();
    engine->Release();
    engine = nullptr;
}

bool gfx_restore_func() {
    half_width = (engine->System_GetStateInt(HGE_SCREENWIDTH) - 2) / 2;
    for (int v = 0; v < 2; ++v)
        if (view_target[v] && view_sprite[v])
            view_sprite[v]->set_texture(engine->Target_GetTexture(view_target[v]));
    return false;
}
