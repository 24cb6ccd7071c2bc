// The frame loop, the screen kept between frames, device resets, logs and files.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/sdl/sdl_engine.h"
#include "headless.h"

namespace {

Engine* g_e = nullptr;
int g_frames = 0, g_renders = 0, g_restores = 0, g_stop_at = -1;
std::vector<float> g_deltas;

bool count_frame() {
    g_deltas.push_back(g_e->Timer_GetDelta());
    return ++g_frames == g_stop_at;
}
bool count_render() {
    ++g_renders;
    return false;
}
bool count_restore() {
    ++g_restores;
    return false;
}

class SystemTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        g_e = e;
        g_frames = g_renders = g_restores = 0;
        g_stop_at = -1;
        g_deltas.clear();
        e->System_SetState(HGE_FRAMEFUNC, count_frame);
        e->System_SetState(HGE_RENDERFUNC, count_render);
        e->System_SetState(HGE_GFXRESTOREFUNC, count_restore);
    }
};

TEST_F(SystemTest, ReportsTheConfiguredScreenAndStates) {
    EXPECT_EQ(e->System_GetStateInt(HGE_SCREENWIDTH), 800);
    EXPECT_EQ(e->System_GetStateInt(HGE_SCREENHEIGHT), 590);
    e->System_SetState(HGE_FPS, 500);
    e->System_SetState(HGE_SEED, 77);
    EXPECT_EQ(e->System_GetStateInt(HGE_FPS), 500);
    EXPECT_EQ(e->System_GetStateInt(HGE_SEED), 77);
    e->System_SetState(HGE_SCREENWIDTH, 1024); // too late: the screen exists
    EXPECT_EQ(e->System_GetStateInt(HGE_SCREENWIDTH), 800);
    std::vector<uint32_t> px;
    int w = 0, h = 0;
    ASSERT_TRUE(sdl_engine_read_pixels(e, 0, &px, &w, &h));
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 590);
}

TEST_F(SystemTest, RunFramesStopsWhenTheFrameFunctionSaysSo) {
    g_stop_at = 3;
    EXPECT_TRUE(e->System_RunFrames(10));
    EXPECT_EQ(g_frames, 3);
    EXPECT_EQ(g_renders, 2); // the last frame ends before drawing
    g_stop_at = -1;
    EXPECT_FALSE(e->System_RunFrames(4));
    EXPECT_EQ(g_frames, 7);
    EXPECT_EQ(g_renders, 6);
}

TEST_F(SystemTest, SystemStartRunsUntilTheFrameFunctionEndsIt) {
    g_stop_at = 5;
    e->Timer_SetFixedDelta(0.02f);
    EXPECT_TRUE(e->System_Start());
    EXPECT_EQ(g_frames, 5);
}

TEST_F(SystemTest, AQuitEventEndsTheLoopLikeClosingTheWindow) {
    e->System_RunFrames(1);
    SDL_Event ev{};
    ev.type = SDL_QUIT;
    SDL_PushEvent(&ev);
    EXPECT_TRUE(e->System_RunFrames(5));
    EXPECT_EQ(g_frames, 1); // the closing frame runs no game code
    EXPECT_FALSE(e->System_RunFrames(1));
}

TEST_F(SystemTest, FixedDeltaIsExactAndTheRealClockIsClamped) {
    e->Timer_SetFixedDelta(0.25f); // a test may ask for long steps
    e->System_RunFrames(2);
    EXPECT_EQ(g_deltas[0], 0.25f);
    EXPECT_EQ(g_deltas[1], 0.25f);
    e->Timer_SetFixedDelta(0.0f);
    SDL_Delay(150);
    e->System_RunFrames(2);
    EXPECT_EQ(g_deltas[2], 0.1f); // the 150 ms gap counts as 0.1
    EXPECT_GE(g_deltas[3], 0.0f);
    EXPECT_LT(g_deltas[3], 0.1f);
}

bool paint_once() {
    if (!g_e->Gfx_BeginScene(0)) return false;
    if (g_renders++ == 0) {
        g_e->Gfx_Clear(0xFFFFFFFF);
        hgeQuad q = solid_quad(0, 0, 100, 100, 0xFF0000FF);
        g_e->Gfx_RenderQuad(&q);
    }
    g_e->Gfx_EndScene();
    return false;
}

// As a window's back buffer, the screen keeps nothing from frame to frame:
// a frame that draws nothing on it shows black.
TEST_F(SystemTest, TheScreenBeginsEveryFrameBlack) {
    e->System_SetState(HGE_RENDERFUNC, paint_once);
    e->System_RunFrames(1);
    EXPECT_EQ(pixel(0, 50, 50), 0x0000FFu);
    EXPECT_EQ(pixel(0, 400, 400), 0xFFFFFFu);
    e->System_RunFrames(2);
    EXPECT_EQ(g_renders, 3);
    EXPECT_EQ(pixel(0, 50, 50), 0u);
    EXPECT_EQ(pixel(0, 400, 400), 0u);
    e->System_SetState(HGE_RENDERFUNC, paint_once);
    g_renders = 0;
    e->System_RunFrames(1);
    e->System_SetState(HGE_RENDERFUNC, static_cast<hgeCallback>(nullptr));
    e->System_RunFrames(1); // no scene at all
    EXPECT_EQ(pixel(0, 50, 50), 0u);
}

bool leave_scene_open() {
    g_e->Gfx_BeginScene(0);
    ++g_renders;
    return false;
}

TEST_F(SystemTest, ASceneLeftOpenIsClosedAtTheFramesEnd) {
    e->System_SetState(HGE_RENDERFUNC, leave_scene_open);
    e->System_RunFrames(2);
    EXPECT_EQ(g_renders, 2);
    EXPECT_TRUE(e->Gfx_BeginScene(0));
    e->Gfx_EndScene();
}

TEST_F(SystemTest, DeviceResetGivesTargetsNewTexturesAndCallsTheRestoreFunction) {
    std::vector<uint32_t> img(4 * 4, 0xFF00FF00);
    ASSERT_TRUE(write_png(dir.file("g.png"), 4, 4, img));
    HTEXTURE tex = e->Texture_Load("data/g.png", 0, false);
    HTARGET t = e->Target_Create(16, 16, false);
    HTEXTURE before = e->Target_GetTexture(t);
    ASSERT_TRUE(e->Gfx_BeginScene(0));
    e->Gfx_Clear(0xFFFFFFFF);
    e->Gfx_EndScene();
    ASSERT_TRUE(sdl_engine_simulate_device_reset(e, true));
    EXPECT_EQ(g_restores, 1);
    HTEXTURE after = e->Target_GetTexture(t);
    EXPECT_NE(after, 0u);
    EXPECT_NE(after, before);
    EXPECT_EQ(e->Texture_GetWidth(before, false), 0);
    EXPECT_EQ(e->Texture_GetWidth(after, false), 16);
    EXPECT_EQ(pixel(0, 10, 10), 0x000000u); // the screen starts again from black
    // The loaded texture keeps its handle and its picture.
    ASSERT_TRUE(e->Gfx_BeginScene(t));
    e->Gfx_Clear(0);
    hgeQuad q = texture_quad(tex, 0, 0, 4, 4);
    e->Gfx_RenderQuad(&q);
    e->Gfx_EndScene();
    EXPECT_EQ(pixel(t, 2, 2), 0x00FF00u);
    // The same through SDL's own event, for targets only.
    SDL_Event ev{};
    ev.type = SDL_RENDER_TARGETS_RESET;
    SDL_PushEvent(&ev);
    e->System_RunFrames(1);
    EXPECT_EQ(g_restores, 2);
    EXPECT_NE(e->Target_GetTexture(t), after);
    EXPECT_EQ(e->Texture_GetWidth(tex, false), 4);
}

TEST_F(SystemTest, LogLinesAppendToTheLogInTheDataFolder) {
    e->System_SetState(HGE_LOGFILE, "data/Korvane.log");
    e->System_Log("Font %s has incorrect format.", "data/font1.fnt");
    e->System_Log("%d", 42);
    std::ifstream in(dir.file("Korvane.log"));
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), "Font data/font1.fnt has incorrect format.\n42\n");
    e->System_SetState(HGE_LOGFILE, "data/no/such/dir.log");
    e->System_Log("lost quietly");
}

TEST_F(SystemTest, ResourcesLoadWholeFilesFromTheDataFolder) {
    dir.write("font1.fnt", std::string("[HGEFONT]\n\0x", 12));
    uint32_t size = 0;
    void* data = e->Resource_Load("data/font1.fnt", &size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(size, 12u);
    EXPECT_EQ(std::string(static_cast<char*>(data), size), std::string("[HGEFONT]\n\0x", 12));
    e->Resource_Free(data);
    dir.write("empty.txt", "");
    data = e->Resource_Load("data/empty.txt", &size);
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(size, 0u);
    e->Resource_Free(data);
    size = 99;
    EXPECT_EQ(e->Resource_Load("data/absent.fnt", &size), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(e->Resource_Load(dir.path().c_str(), &size), nullptr); // a folder is no file
}

TEST_F(SystemTest, ThePlayersOwnFilesAreWrittenWholeAndReadBack) {
    uint32_t size = 7;
    EXPECT_EQ(e->UserFile_Load("data/Options.ini", &size), nullptr);
    ASSERT_TRUE(e->UserFile_Save("data/Options.ini", "a = 1\n", 6));
    ASSERT_TRUE(e->UserFile_Save("data/Options.ini", "b = 22\n", 7)); // replaced, not appended
    char* text = static_cast<char*>(e->UserFile_Load("data/Options.ini", &size));
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(size, 7u);
    EXPECT_STREQ(text, "b = 22\n"); // ends with a zero for the reader
    e->Resource_Free(text);
    EXPECT_FALSE(std::ifstream(dir.path() + "/Options.ini.new").good());
    // A folder in the way cannot be written over.
    ASSERT_TRUE(e->UserFile_Save("data/sub/x.ini", "1", 1));
    EXPECT_FALSE(e->UserFile_Save("data/sub", "1", 1));
}

TEST(SystemStartup, FailsWithAReadableMessageWhenSdlCannotStart) {
    const char* old = std::getenv("SDL_VIDEODRIVER");
    std::string saved = old ? old : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    EXPECT_FALSE(e->System_Initiate());
    EXPECT_NE(std::string(e->System_GetErrorMessage()), "");
    EXPECT_FALSE(e->System_Start());
    e->System_Shutdown();
    e->Release();
    engine_set_backend(nullptr);
    if (old)
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
}

TEST(SystemStartup, MessageBoxWithoutADisplayGoesToStderr) {
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    e->System_SetState(HGE_HEADLESS, true);
    ::testing::internal::CaptureStderr();
    e->System_MessageBox("Can't load resources", "Error");
    std::string out = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "Error: Can't load resources\n");
    e->Release();
    engine_set_backend(nullptr);
}

} // namespace
