// Opens every file of data/ the way the game does and checks that each
// picture, frame, glyph and sound is where the game will look for it.
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

#include "engine/engine.h"
#include "gfx/animation.h"
#include "gfx/font.h"
#include "render/atlas.h"

namespace {

const std::string DATA = std::string(KORVANE_SOURCE_DIR) + "/data/";

class DataTest : public ::testing::Test {
protected:
    static Engine* engine;

    static void SetUpTestSuite() {
        engine_set_backend(create_sdl_engine);
        engine = hgeCreate(ENGINE_VERSION);
        engine->System_SetState(HGE_HEADLESS, true);
        engine->System_SetState(HGE_DATADIR, DATA.c_str());
        engine->System_SetState(HGE_LOGFILE, "/dev/null");
        ASSERT_TRUE(engine->System_Initiate()) << engine->System_GetErrorMessage();
    }
    static void TearDownTestSuite() {
        engine->System_Shutdown();
        engine->Release();
    }
};
Engine* DataTest::engine = nullptr;

// The picture's own pixels, to look for opaque ones.
struct Pixels {
    SDL_Surface* s = nullptr;
    explicit Pixels(const std::string& file) {
        SDL_Surface* raw = IMG_Load(file.c_str());
        if (raw) s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
        SDL_FreeSurface(raw);
    }
    ~Pixels() { SDL_FreeSurface(s); }
    int opaque_in(int x, int y, int w, int h, uint32_t min_alpha) const {
        int n = 0;
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i) {
                uint32_t c = static_cast<const uint32_t*>(s->pixels)[j * (s->pitch / 4) + i];
                n += (c >> 24) >= min_alpha;
            }
        return n;
    }
};

// Every frame of a picture, as the animation lays it out, lies inside its
// texture and holds pixels of at least min_alpha (explosions fade out).
void check_frames(HTEXTURE tex, const Pixels& px, const AtlasPicture& p, const char* what,
                  uint32_t min_alpha = 200) {
    ASSERT_NE(px.s, nullptr);
    Animation a(tex, p.frames, p.fps, p.x, p.y, p.w, p.h);
    for (int f = 0; f < p.frames; ++f) {
        a.set_frame(f);
        const hgeQuad& q = a.get_quad();
        float x = q.v[0].tx * px.s->w, y = q.v[0].ty * px.s->h;
        float x2 = q.v[2].tx * px.s->w;
        int ix = static_cast<int>(x + 0.5f), iy = static_cast<int>(y + 0.5f);
        EXPECT_NEAR(x2 - x, p.w, 0.01) << what << " frame " << f;
        ASSERT_GE(ix, 0) << what << " frame " << f;
        ASSERT_GE(iy, 0) << what << " frame " << f;
        ASSERT_LE(ix + p.w, px.s->w) << what << " frame " << f;
        ASSERT_LE(iy + p.h, px.s->h) << what << " frame " << f;
        EXPECT_GT(px.opaque_in(ix, iy, static_cast<int>(p.w), static_cast<int>(p.h), min_alpha), 0)
            << what << " frame " << f << " at " << ix << "," << iy;
    }
}

TEST_F(DataTest, TexturesLoadAndEveryPictureIsThere) {
    HTEXTURE main = engine->Texture_Load("data/tex.png");
    HTEXTURE logo = engine->Texture_Load("data/logo.png");
    HTEXTURE kaboom = engine->Texture_Load("data/kaboom.png");
    ASSERT_TRUE(main && logo && kaboom);
    EXPECT_EQ(engine->Texture_GetWidth(logo), 640);
    EXPECT_EQ(engine->Texture_GetHeight(logo), 400);

    Pixels main_px(DATA + "tex.png"), logo_px(DATA + "logo.png"), kaboom_px(DATA + "kaboom.png");
    EXPECT_EQ(main_px.s->w, engine->Texture_GetWidth(main, true));
    check_frames(logo, logo_px, SPRITES[SPRITE_LOGO], "logo");
    const char* names[SPRITE_COUNT] = {"logo", "star", "ship0", "ship1", "enemy bullet", "player bullet", "dot"};
    for (int i = SPRITE_STAR; i < SPRITE_COUNT; ++i) check_frames(main, main_px, SPRITES[i], names[i]);
    for (int k = 0; k < KIND_COUNT; ++k)
        check_frames(main, main_px, IMAGES[k], ("kind " + std::to_string(k)).c_str());
    check_frames(kaboom, kaboom_px, BIG_EXPLOSION, "big explosion", 4);
    check_frames(kaboom, kaboom_px, SMALL_EXPLOSION, "small explosion", 4);
    for (HTEXTURE t : {main, logo, kaboom}) engine->Texture_Free(t);
}

TEST_F(DataTest, FontsHaveEveryGlyphTheScreensPrint) {
    const char* texts[] = {"ONE PLAYER", "TEAMWORK", "COMPETITION", "SPACE CHANGE GAMEMODE",
                           "PASSWORD:", "LEVEL: 0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                           "ARROWS AND CTRL", "WASD AND SHIFT", "BONUS .000 CREDITS",
                           "F1 SHIPS: F2 FLEXIBILITY: F3 FIREPOWER: F4 SHIELD: PRICE",
                           "VERY LOW AVERAGE IMPROVED GOOD BEST ERROR_LEVEL",
                           "PUSH FIRE FOR LEVEL", "G A M E     O V E R", "-?"};
    for (const char* name : {"data/font1.fnt", "data/font2.fnt"}) {
        Font font(name);
        ASSERT_FALSE(font.is_empty()) << name;
        EXPECT_GT(font.get_height(), 10) << name;
        EXPECT_LE(font.get_height(), 30) << name;
        const Sprite* question = font.get_glyph('?');
        ASSERT_NE(question, nullptr) << name;
        for (const char* t : texts) {
            for (const char* c = t; *c; ++c) {
                if (*c == '?') continue;
                EXPECT_NE(font.get_glyph(static_cast<unsigned char>(*c)), question)
                    << name << " lacks '" << *c << "'";
            }
        }
        for (char c = 'a'; c <= 'z'; ++c) EXPECT_NE(font.get_glyph(c), question) << name << " " << c;
    }
    // The shop lines its columns up with spaces.
    Font mono("data/font2.fnt");
    EXPECT_FLOAT_EQ(mono.text_width("MMMM"), mono.text_width("i.1 "));
    EXPECT_LT(mono.text_width("F2 FLEXIBILITY: IMPROVED"), 516 - 68);
    EXPECT_LT(mono.text_width("BONUS        1234.000   CREDITS 999.000"), 800 - 116);
}

TEST_F(DataTest, EverySoundDecodesAndFitsItsUse) {
    struct Sound {
        const char* file;
        double min_seconds, max_seconds;
    } sounds[] = {
        {"upgrade.mp3", 0.1, 1.0},     {"intro.mp3", 30, 60},        {"pl_fire.mp3", 0.05, 1.0},
        {"en_fire_khh.mp3", 0.05, 1.0}, {"small_boom.mp3", 0.1, 1.0}, {"big_boom.mp3", 0.3, 1.6},
        {"start_level.mp3", 0.2, 1.5}, {"en_fire_piu.mp3", 0.05, 1.0}, {"en_rocket.mp3", 0.1, 1.0},
        {"armor.mp3", 0.05, 1.0},
    };
    int freq = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_TRUE(Mix_QuerySpec(&freq, &format, &channels)) << "the engine opened no mixer";
    int bytes = SDL_AUDIO_BITSIZE(format) / 8;
    for (const Sound& s : sounds) {
        EXPECT_NE(engine->Effect_Load((std::string("data/") + s.file).c_str()), 0u) << s.file;
        Mix_Chunk* chunk = Mix_LoadWAV((DATA + s.file).c_str());
        ASSERT_NE(chunk, nullptr) << s.file;
        double seconds = static_cast<double>(chunk->alen) / (freq * channels * bytes);
        EXPECT_GE(seconds, s.min_seconds) << s.file;
        EXPECT_LE(seconds, s.max_seconds) << s.file;
        Mix_FreeChunk(chunk);
    }
}

TEST_F(DataTest, SettingsFileGivesTheDocumentedDefaultsButShiftForPlayerOne) {
    engine->System_SetState(HGE_INIFILE, "data/Settings.ini");
    EXPECT_EQ(engine->Ini_GetInt("Player1", "fire", 0), 16);
    EXPECT_EQ(engine->Ini_GetInt("Player0", "fire", 0), 17);
    EXPECT_EQ(engine->Ini_GetInt("Game", "start_enemy", 0), 6);
    EXPECT_FLOAT_EQ(engine->Ini_GetFloat("Game", "map_max[3]", 0), 4400);
    EXPECT_FLOAT_EQ(engine->Ini_GetFloat("Enemy", "enemy_mozg_bullet_outrange", 0), 33);
    EXPECT_FLOAT_EQ(engine->Ini_GetFloat("Control", "rotate_speeddown_0", 0), 7.5f);
}

} // namespace
