// The browser's settings reader against the desktop's: one file, the same answers.
#include <gtest/gtest.h>

#include "engine/sdl/ini_file.h"
#include "engine/web/web_ini.h"
#include "headless.h"

TEST(WebIni, ReadsEveryLineAsTheDesktopReaderDoes) {
    TempDir dir;
    dir.write("s.ini", "; a comment\n[Game]\nstart_enemy = 9\nclear_radius=12.5\n"
                       "map_max[2] = 3000\nx = 1\nx = 2\nradar_scale = 4 ; inline note\n"
                       "bad = 12abc\nhuge = 99999999999\nempty =\nnan_value = nan\n"
                       "[game]\nx = 3\nlate = 7\n[Player0]\nLeft=65\n");
    IniFile desktop;
    WebIni web;
    desktop.set_path(dir.file("s.ini"));
    web.set_path(dir.file("s.ini"));
    const char* sections[] = {"Game", "GAME", "game", "Player0", "player0", "Nowhere"};
    const char* keys[] = {"start_enemy", "CLEAR_RADIUS", "map_max[2]", "x", "radar_scale", "bad",
                          "huge", "empty", "nan_value", "late", "left", "missing"};
    int found = 0;
    for (const char* s : sections) {
        for (const char* k : keys) {
            EXPECT_EQ(web.get_int(s, k, -5), desktop.get_int(s, k, -5)) << s << " " << k;
            EXPECT_EQ(web.get_float(s, k, -5.5f), desktop.get_float(s, k, -5.5f)) << s << " " << k;
            found += web.get_int(s, k, -5) != -5;
        }
    }
    // Five whole numbers in three spellings of [Game], and Left in two of [Player0].
    EXPECT_EQ(found, 3 * 5 + 2);
    EXPECT_EQ(web.get_int("Game", "x", 0), 1);
    EXPECT_EQ(web.get_int("Game", "radar_scale", 0), 4);
    web.set_path(dir.file("none.ini"));
    EXPECT_EQ(web.get_int("Game", "start_enemy", 6), 6);
}
