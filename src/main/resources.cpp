#include "main/resources.h"

#include "game/globals.h"
#include "game/levels.h"
#include "game/states.h"
#include "game/tuning.h"
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

struct SpriteDef {
    Sprite** sprite;
    HTEXTURE* texture;
    float x, y, w, h, hot_x, hot_y;
};

struct ImageDef {
    float x, y, w, h, hot_x, hot_y;
    int frames;
    float fps;
};

const float CENTRE = -1; // hot spot in the middle of the rectangle

// The picture of each enemy kind in the atlas, facing right.
const ImageDef IMAGES[KIND_COUNT] = {
    {70, 63, 52, 58, CENTRE, CENTRE, 1, 1},   {71, 31, 32, 32, CENTRE, CENTRE, 1, 1},
    {36, 10, 22, 22, CENTRE, CENTRE, 1, 1},   {122, 63, 56, 58, CENTRE, CENTRE, 1, 1},
    {103, 31, 34, 32, CENTRE, CENTRE, 1, 1},  {126, 0, 24, 24, CENTRE, CENTRE, 1, 1},
    {0, 26, 30, 30, CENTRE, CENTRE, 1, 1},    {0, 112, 34, 30, 15, 15, 1, 1},
    {0, 82, 34, 30, 15, 15, 1, 1},            {0, 142, 62, 58, 29, 29, 1, 1},
    {30, 32, 35, 30, 15, 15, 1, 1},           {30, 62, 32, 18, 17, 9, 1, 1},
    {34, 80, 32, 26, 13, 13, 1, 1},           {34, 106, 30, 34, 15, 17, 1, 1},
    {62, 142, 62, 58, 29, 29, 1, 1},          {124, 142, 58, 58, 29, 29, 1, 1},
    {65, 11, 34, 18, 17, 9, 1, 1},            {150, 0, 34, 30, 19, 15, 1, 1},
    {137, 38, 26, 20, 10, 10, 1, 1},          {137, 30, 30, 8, 20, 4, 1, 1},
    {184, 0, 54, 30, 27, 15, 1, 1},           {0, 234, 34, 14, 21, 7, 8, 30},
    {0, 200, 32, 34, 16, 17, 8, 60},          {178, 30, 66, 66, 31, 33, 1, 1},
};

void set_hot_spot(Sprite* s, float hot_x, float hot_y) {
    if (hot_x == CENTRE) {
        hot_x = s->get_width() / 2;
        hot_y = s->get_height() / 2;
    }
    s->set_hot_spot(hot_x, hot_y);
}

void make_sprites() {
    const SpriteDef sprites[] = {
        {&sprite_logo, &tex_logo, 0, 0, 640, 400, 0, 0},
        {&sprite_star, &tex_main, 117, 13, 8, 8, 0, 0},
        {&sprite_ship0, &tex_main, 0, 0, 34, 26, 13, 13},
        {&sprite_ship1, &tex_main, 0, 56, 30, 26, 13, 13},
        {&sprite_enemy_bullet, &tex_main, 51, 0, 22, 8, 18, 4},
        {&sprite_player_bullet, &tex_main, 78, 0, 20, 10, 17, 5},
        {&sprite_dot, &tex_main, 108, 4, 2, 2, CENTRE, CENTRE},
    };
    for (const SpriteDef& d : sprites) {
        *d.sprite = new Sprite(*d.texture, d.x, d.y, d.w, d.h);
        set_hot_spot(*d.sprite, d.hot_x, d.hot_y);
    }
}

void make_animations() {
    kaboom_anim = new Animation(tex_kaboom, 20, 10, 0, 0, 64, 64);
    kaboom_anim->set_hot_spot(32, 32);
    kaboom_anim->set_mode(ANIM_FWD | ANIM_NOLOOP);
    boom_anim = new Animation(tex_kaboom, 8, 10, 0, 192, 32, 32);
    boom_anim->set_hot_spot(16, 16);
    boom_anim->set_mode(ANIM_FWD | ANIM_NOLOOP);
    for (int i = 0; i < KIND_COUNT; ++i) {
        const ImageDef& d = IMAGES[i];
        images[i] = new Animation(tex_main, d.frames, d.fps, d.x, d.y, d.w, d.h);
        set_hot_spot(images[i], d.hot_x, d.hot_y);
    }
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
    bool loaded = true;
    for (const EffectFile& e : EFFECTS) {
        *e.handle = engine->Effect_Load(e.file);
        loaded = loaded && *e.handle != 0;
    }
    tex_main = engine->Texture_Load("data/tex.png");
    tex_logo = engine->Texture_Load("data/logo.png");
    tex_kaboom = engine->Texture_Load("data/kaboom.png");
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
    make_animations();
    make_sprites();

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
