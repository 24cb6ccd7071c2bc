// Screenshots of the real screens, read back pixel by pixel.
#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "scenario_fixture.h"

namespace {

struct Picture {
    int w = 0, h = 0;
    std::vector<uint32_t> argb;
    uint32_t at(int x, int y) const { return argb[static_cast<size_t>(y) * w + x]; }
    bool dark(int x, int y) const {
        uint32_t c = at(x, y);
        return ((c >> 16) & 255) < 24 && ((c >> 8) & 255) < 24 && (c & 255) < 24;
    }
    bool white(int x, int y) const { return (at(x, y) & 0xFFFFFF) == 0xFFFFFF; }
    int lit_in(int x1, int y1, int x2, int y2) const {
        int n = 0;
        for (int y = y1; y < y2; ++y)
            for (int x = x1; x < x2; ++x) n += !dark(x, y);
        return n;
    }
};

bool load(const std::string& file, Picture& p) {
    SDL_Surface* raw = IMG_Load(file.c_str());
    if (!raw) return false;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(raw);
    if (!s) return false;
    p.w = s->w;
    p.h = s->h;
    p.argb.resize(static_cast<size_t>(p.w) * p.h);
    for (int y = 0; y < p.h; ++y)
        std::memcpy(&p.argb[static_cast<size_t>(y) * p.w],
                    static_cast<const char*>(s->pixels) + y * s->pitch, p.w * 4);
    SDL_FreeSurface(s);
    return true;
}

Picture shoot(const std::string& script, const char* name, const char* args = "--seed 8") {
    static const std::string dir = make_temp_dir();
    std::string file = dir + "/" + name + ".png";
    HeadlessResult r = run_headless_script(script + "screenshot " + file + "\n", args);
    Picture p;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(load(file, p)) << file;
    return p;
}

TEST(ScreensTest, TheLogoIsCentred) {
    Picture p = shoot("frames 1\n", "title");
    ASSERT_EQ(p.w, 800);
    ASSERT_EQ(p.h, 590);
    // Everything lit lies on the 640 x 400 logo at (80, 95).
    EXPECT_EQ(p.lit_in(0, 0, 800, 95), 0);
    EXPECT_EQ(p.lit_in(0, 495, 800, 590), 0);
    EXPECT_EQ(p.lit_in(0, 0, 80, 590), 0);
    EXPECT_EQ(p.lit_in(720, 0, 800, 590), 0);
    EXPECT_GT(p.lit_in(80, 95, 720, 495), 640 * 400 / 4);
}

TEST(ScreensTest, TheMenuKeepsTheGapColumnsWhite) {
    Picture p = shoot(std::string(TO_MENU) + "frames 40\n", "menu");
    ASSERT_EQ(p.w, 800);
    for (int y = 0; y < p.h; ++y) {
        ASSERT_TRUE(p.white(399, y)) << y;
        ASSERT_TRUE(p.white(400, y)) << y;
    }
    // Both views are drawn: their black sky covers the white of the clear.
    EXPECT_TRUE(p.dark(100, 50));
    EXPECT_TRUE(p.dark(700, 50));
    // The menu's texts: the mode name over the left half, the keys over the right.
    EXPECT_GT(p.lit_in(120, 435, 280, 452), 30);
    EXPECT_GT(p.lit_in(520, 560, 680, 580), 30);
}

TEST(ScreensTest, OnePlayerShipSitsAtItsAnchorPointingUp) {
    // Past the untouchable blinking, before anything comes close.
    Picture p = shoot(std::string(TO_MENU) + MENU_TO_PLAY + "frames 140\n", "play");
    ASSERT_EQ(p.w, 800);
    EXPECT_FALSE(p.dark(400, 400));
    // The nose reaches about 21 pixels above the anchor, the tail 13 below it.
    EXPECT_GT(p.lit_in(396, 379, 405, 388), 0);
    EXPECT_GT(p.lit_in(388, 392, 413, 412), 60);
    EXPECT_LT(p.lit_in(390, 416, 411, 426), 4);
}

TEST(ScreensTest, ShopTextsStandInTheirColumns) {
    Picture p = shoot(std::string(TO_MENU) + "tap ENTER\nframes 2\n", "shop");
    ASSERT_EQ(p.w, 800);
    EXPECT_GT(p.lit_in(116, 57, 200, 77), 40); // BONUS
    EXPECT_EQ(p.lit_in(0, 57, 112, 77), 0);
    for (int y : {137, 166, 197, 227}) {
        EXPECT_GT(p.lit_in(68, y, 140, y + 20), 40) << y;  // F1 SHIPS: ... labels
        EXPECT_GT(p.lit_in(516, y, 600, y + 20), 40) << y; // PRICE
        EXPECT_EQ(p.lit_in(0, y, 64, y + 20), 0) << y;
    }
    // PUSH FIRE FOR LEVEL, centred on x = 400.
    EXPECT_GT(p.lit_in(200, 297, 400, 317), 40);
    EXPECT_GT(p.lit_in(400, 297, 600, 317), 40);
    EXPECT_EQ(p.lit_in(0, 297, 150, 317), 0);
    EXPECT_EQ(p.lit_in(650, 297, 800, 317), 0);
}

std::string read_text_file(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// The aids, each turned on alone by the option line the options file would hold.
int colored(const Picture& p, uint32_t rgb, int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x) n += (p.at(x, y) & 0xFFFFFF) == rgb;
    return n;
}

TEST(AidScreensTest, TheStatusStripStandsAboveThePlay) {
    std::string play = std::string(TO_MENU) + MENU_TO_PLAY + "frames 140\n";
    Picture p = shoot("option aids.status_strip 1\n" + play, "aid_status");
    EXPECT_EQ(p.at(11, 10) & 0xFFFFFF, 0x5AB4FFu); // the one armor pip, full
    EXPECT_GT(p.lit_in(24, 2, 110, 20), 40);       // SHIPS 3
    EXPECT_GT(p.lit_in(700, 2, 795, 20), 40);      // CREDITS
    EXPECT_FALSE(p.dark(400, 400));                // the ship is not covered
}

TEST(AidScreensTest, TheReadableRadarColoursThePartnerAndMarksTheEdges) {
    std::string play =
        std::string(TO_MENU) + "tap SPACE\nframes 2\n" + MENU_TO_PLAY + "frames 140\n";
    Picture on = shoot("option aids.radar 1\n" + play, "aid_radar");
    Picture off = shoot(play, "aid_radar_off");
    EXPECT_GT(colored(on, 0x50FF78, 0, 0, 800, 590), 40); // a partner blip in each view
    EXPECT_EQ(colored(off, 0x50FF78, 0, 0, 800, 590), 0);
    int edges = colored(on, 0xFFA030, 0, 570, 800, 590) + colored(on, 0xFFA030, 0, 0, 800, 20) +
                colored(on, 0xFFA030, 0, 0, 20, 590) + colored(on, 0xFFA030, 780, 0, 800, 590) +
                colored(on, 0xFFA030, 380, 0, 420, 590);
    EXPECT_GT(edges, 20);
    EXPECT_EQ(colored(off, 0xFFA030, 0, 0, 800, 590), 0);
}

TEST(AidScreensTest, FeedbackNamesTheLevelReachedAtGameOver) {
    std::string session = read_text_file(KORVANE_SOURCE_DIR "/tests/replays/game_over.rec");
    session = session.substr(0, session.rfind("dump"));
    // The recording's own seed, so it reaches its game over.
    Picture on = shoot("option aids.feedback 1\n" + session, "aid_feedback", "");
    Picture off = shoot(session, "aid_feedback_off", "");
    EXPECT_GT(on.lit_in(250, 160, 550, 183), 60);
    EXPECT_EQ(off.lit_in(0, 130, 800, 590), 0);
    EXPECT_GT(off.lit_in(250, 100, 550, 123), 60); // G A M E  O V E R stays
}

TEST(AidScreensTest, PromptsSayWhichKeyGoesOn) {
    Picture title = shoot("option aids.prompts 1\nframes 1\n", "aid_prompt_title");
    EXPECT_GT(title.lit_in(300, 530, 500, 550), 40); // PRESS ANY KEY
    Picture menu =
        shoot(std::string("option aids.prompts 1\n") + TO_MENU + "frames 40\n", "aid_prompt_menu");
    EXPECT_GT(menu.lit_in(540, 530, 660, 546), 30);            // ENTER SHOP
    EXPECT_GT(colored(menu, 0x5AB4FF, 520, 473, 540, 475), 8); // the cursor under the first letter
}

} // namespace
