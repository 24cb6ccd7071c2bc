#include <gtest/gtest.h>

#include "engine/engine.h"
#include "harness/script.h"

namespace {

TEST(ScriptTest, KeyNames) {
    EXPECT_EQ(parse_key("LEFT"), HGEK_LEFT);
    EXPECT_EQ(parse_key("escape"), HGEK_ESCAPE);
    EXPECT_EQ(parse_key("F1"), HGEK_F1);
    EXPECT_EQ(parse_key("F12"), 123);
    EXPECT_EQ(parse_key("a"), 'A');
    EXPECT_EQ(parse_key("7"), '7');
    EXPECT_EQ(parse_key("65"), 65);
    EXPECT_EQ(parse_key("08"), 8);
    EXPECT_EQ(parse_key("F13"), -1);
    EXPECT_EQ(parse_key("256"), -1);
    EXPECT_EQ(parse_key("-1"), -1);
    EXPECT_EQ(parse_key("LEFTY"), -1);
    EXPECT_EQ(parse_key(""), -1);
}

TEST(ScriptTest, CommandsAndComments) {
    std::vector<ScriptCommand> c;
    std::string error;
    ASSERT_TRUE(parse_script("# a run\n\ndt 0.02\npress UP  # thrust\nframes 10\r\ntap SPACE\n"
                             "release UP\ndump\nscreenshot /tmp/x.png\n",
                             c, error))
        << error;
    ASSERT_EQ(c.size(), 7u);
    EXPECT_EQ(c[0].op, OP_DT);
    EXPECT_FLOAT_EQ(c[0].dt, 0.02f);
    EXPECT_EQ(c[1].op, OP_PRESS);
    EXPECT_EQ(c[1].key, HGEK_UP);
    EXPECT_EQ(c[1].line, 4);
    EXPECT_EQ(c[2].frames, 10);
    EXPECT_EQ(c[3].op, OP_TAP);
    EXPECT_EQ(c[4].op, OP_RELEASE);
    EXPECT_EQ(c[5].op, OP_DUMP);
    EXPECT_EQ(c[6].file, "/tmp/x.png");
}

TEST(ScriptTest, MalformedLinesNameTheirLine) {
    const char* bad[] = {"frames",   "frames -2",  "frames 1 2", "dt fast",
                         "dt -1",    "dt nan",     "press",      "press NOKEY",
                         "dump now", "screenshot", "jump 3",     "frames 99999999999999999999"};
    for (const char* line : bad) {
        std::vector<ScriptCommand> c;
        std::string error;
        EXPECT_FALSE(parse_script(std::string("dump\n\n") + line + "\n", c, error)) << line;
        EXPECT_NE(error.find("line 3"), std::string::npos) << error;
    }
}

} // namespace
