#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "counting_engine.h"
#include "gfx/font.h"
#include "gfx_expect.h"
#include "support/fake_engine.h"

namespace {

// Glyphs of the test font: 'A' 10 x 13 with pre 1 and post 2 (13 wide in all),
// 'B' 20 x 13 with pre -1 and post 0 (19 wide), ' ' 5 x 13 (5 wide).
const char* const GLYPHS = "Char=\"A\",0,0,10,13,1,2\n"
                           "Char=\"B\",16,0,20,13,-1,0\n"
                           "Char=20,40,0,5,13,0,0\n";

class FontTest : public ::testing::Test {
  protected:
    FontTest() { fake.textures["fonts/f.png"] = {100, 50}; }

    // Writes a description as fonts/f.fnt and reads it.
    Font* load(const std::string& text) {
        fake.files["fonts/f.fnt"] = text;
        font.reset(new Font("fonts/f.fnt", false));
        return font.get();
    }
    Font* load_glyphs(const std::string& more = "") {
        return load("[HGEFONT]\nBitmap=f.png\n" + std::string(GLYPHS) + more);
    }
    // The x of the first vertex of every quad drawn since the last clear.
    std::vector<float> lefts() const {
        std::vector<float> xs;
        for (const hgeQuad& q : fake.quads) xs.push_back(q.v[0].x);
        return xs;
    }

    bool engine_gone = false;
    CountingEngine fake{&engine_gone};
    std::unique_ptr<Font> font;
};

TEST_F(FontTest, ReadsAHeaderEndedByCarriageReturnAndLineFeed) {
    Font* f = load("[HGEFONT]\r\nBitmap=f.png\r\nChar=\"A\",10,5,10,13,1,2\r\n");
    ASSERT_FALSE(f->is_empty());
    const Sprite* a = f->get_glyph('A');
    ASSERT_NE(a, nullptr);
    // The texture is the one beside the description (100 x 50).
    expect_tex_rect(a->get_quad(), 10, 5, 10, 13, 100, 50);
    EXPECT_EQ(f->get_height(), 13.0f);
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(FontTest, RejectsAnyOtherFirstLineWithTheLogLine) {
    const char* const wrong[] = {"[hgefont]\nBitmap=f.png\n", "[HGEFONT] \nBitmap=f.png\n",
                                 "\n[HGEFONT]\nBitmap=f.png\n", "[HGEFONT]x\n", ""};
    for (const char* text : wrong) {
        fake.log.clear();
        Font* f = load(std::string(text) + GLYPHS);
        EXPECT_TRUE(f->is_empty()) << text;
        ASSERT_EQ(fake.log.size(), 1u) << text;
        EXPECT_EQ(fake.log[0], "Font fonts/f.fnt has incorrect format.");
        f->render_text(0, 0, TEXT_LEFT, "AB");
        EXPECT_TRUE(fake.quads.empty());
        EXPECT_EQ(f->text_width("AB", true), 0.0f);
    }
}

TEST_F(FontTest, EmptyDescriptionIsRejected) {
    Font* f = load("");
    EXPECT_TRUE(f->is_empty());
    ASSERT_EQ(fake.log.size(), 1u);
    EXPECT_EQ(fake.log[0], "Font fonts/f.fnt has incorrect format.");
}

TEST_F(FontTest, MissingDescriptionGivesAnEmptyFontSilently) {
    Font f("fonts/none.fnt", false);
    EXPECT_TRUE(f.is_empty());
    EXPECT_TRUE(fake.log.empty());
    f.printf(10, 10, TEXT_CENTER, "LEVEL %d", 3);
    EXPECT_TRUE(fake.quads.empty());
    EXPECT_EQ(f.get_height(), 0.0f);
}

TEST_F(FontTest, EmptyLinesAndUnknownLinesAreSkipped) {
    Font* f = load("[HGEFONT]\n\n\r\n\r\rBitmap=f.png\n\n\nComment line\n Char=\"X\",0,0,1,1,0,0\n"
                   "\r\nChar=\"A\",0,0,10,13,1,2\n\n");
    EXPECT_NE(f->get_glyph('A'), nullptr);
    EXPECT_EQ(f->get_glyph('X'), nullptr); // not at the line start
    EXPECT_TRUE(fake.log.empty());
}

TEST_F(FontTest, CodesQuotedOrHexadecimal) {
    Font* f = load("[HGEFONT]\nBitmap=f.png\n"
                   "Char=\"=\",1,0,3,4,0,0\n"
                   "Char=3D,2,0,5,4,0,0\n"     // replaces the quoted one: same byte
                   "Char=\",\",3,0,6,4,0,0\n"  // a comma in quotes
                   "Char=\"\"\",4,0,7,4,0,0\n" // a quote in quotes
                   "Char = 4a , 5,0,8,4,0,0\n" // spaces, lower-case digits
                   "Char=100,6,0,9,4,0,0\n"    // above 0xFF
                   "Char=0041,7,0,11,4,0,0\n"  // leading zeros
                   "Char=,8,0,12,4,0,0\n");    // no digits: byte 0
    ASSERT_NE(f->get_glyph(61), nullptr);
    EXPECT_EQ(f->get_glyph(61)->get_width(), 5.0f);
    ASSERT_NE(f->get_glyph(','), nullptr);
    EXPECT_EQ(f->get_glyph(',')->get_width(), 6.0f);
    ASSERT_NE(f->get_glyph('"'), nullptr);
    EXPECT_EQ(f->get_glyph('"')->get_width(), 7.0f);
    ASSERT_NE(f->get_glyph(0x4A), nullptr);
    EXPECT_EQ(f->get_glyph(0x4A)->get_width(), 8.0f);
    ASSERT_NE(f->get_glyph('A'), nullptr);
    EXPECT_EQ(f->get_glyph('A')->get_width(), 11.0f);
    ASSERT_NE(f->get_glyph(0), nullptr);
    EXPECT_EQ(f->get_glyph(0)->get_width(), 12.0f);
    // 0x100 must not have landed on byte 0 or anywhere else.
    for (int c = 1; c < 256; ++c) {
        const Sprite* g = f->get_glyph(static_cast<unsigned char>(c));
        if (g) {
            EXPECT_NE(g->get_width(), 9.0f) << c;
        }
    }
}

TEST_F(FontTest, MalformedCharLinesAreIgnored) {
    Font* f = load("[HGEFONT]\nBitmap=f.png\n"
                   "Char=\"A\",0,0,10,13,1\n"              // five numbers
                   "Char\"B\",0,0,10,13,1,2\n"             // no equals sign
                   "Char=\"\n"                             // quote at the end
                   "XXXXXXXX,1,2,3,4,5,6\n"                // leaves numbers in the line buffer
                   "Char=\"C\n"                            // no closing quote, no numbers
                   "Char=\"D\",0,0,x,13,1,2\n"             // not a number
                   "Char=FFFFFFFFFFFFFFFF41,0,0,1,1,0,0\n" // huge code
                   "Char=\"E\" , 1 ,\t2 , 3 , 4 , 5 , 6 trailing\n");
    for (char c : {'A', 'B', 'C', 'D', '"'}) EXPECT_EQ(f->get_glyph(c), nullptr) << c;
    const Sprite* e = f->get_glyph('E');
    ASSERT_NE(e, nullptr);
    expect_tex_rect(e->get_quad(), 1, 2, 3, 4, 100, 50);
    EXPECT_EQ(f->get_height(), 4.0f);
}

TEST_F(FontTest, LineHeightIsTheTallestGlyph) {
    Font* f = load("[HGEFONT]\nBitmap=f.png\nChar=\"A\",0,0,1,9,0,0\nChar=\"B\",0,0,1,17,0,0\n"
                   "Char=\"C\",0,0,1,12,0,0\nChar=\"B\",0,0,1,3,0,0\n");
    EXPECT_EQ(f->get_height(), 17.0f);
}

TEST_F(FontTest, BitmapThatFailsStopsReadingAndKeepsEarlierGlyphs) {
    fake.missing.insert("fonts/gone.png");
    Font* f =
        load("[HGEFONT]\nChar=\"A\",0,0,10,13,1,2\nBitmap=gone.png\nChar=\"B\",0,0,1,1,0,0\n");
    ASSERT_NE(f->get_glyph('A'), nullptr);
    EXPECT_EQ(f->get_glyph('A')->get_texture(), 0u);
    EXPECT_EQ(f->get_glyph('B'), nullptr); // never read, and there is no '?'
    EXPECT_EQ(f->get_glyph('Z'), nullptr);
}

TEST_F(FontTest, BitmapPathFollowsTheDescriptionsDirectory) {
    fake.textures["a/b\\f.png"] = {40, 20};
    fake.files["a/b\\c/d.fnt"] = "[HGEFONT]\nBitmap = f.png  \nChar=\"A\",4,2,8,4,0,0\n";
    Font backslash("a/b\\c/d.fnt");
    ASSERT_NE(backslash.get_glyph('A'), nullptr);
    expect_tex_rect(backslash.get_glyph('A')->get_quad(), 4, 2, 8, 4, 40, 20);

    fake.textures["f.png"] = {80, 10};
    fake.files["plain.fnt"] = "[HGEFONT]\nBitmap=f.png\nChar=\"A\",4,2,8,4,0,0\n";
    Font bare("plain.fnt");
    ASSERT_NE(bare.get_glyph('A'), nullptr);
    expect_tex_rect(bare.get_glyph('A')->get_quad(), 4, 2, 8, 4, 80, 10);
}

TEST_F(FontTest, BitmapLineWithoutAFileNameIsIgnored) {
    Font* f = load("[HGEFONT]\nBitmap=\nBitmap\nBitmapf.png\nChar=\"A\",0,0,10,13,1,2\n");
    ASSERT_NE(f->get_glyph('A'), nullptr);
    EXPECT_EQ(f->get_glyph('A')->get_texture(), 0u);
}

TEST_F(FontTest, OverlongLineIsCutAndItsTailIsNotAnotherLine) {
    std::string line = "Char=\"A\",0,0,10,13,1,2";
    line += std::string(255 - line.size(), ' ');
    line += "Char=\"B\",0,0,10,13,1,2"; // past the 255th byte
    Font* f = load("[HGEFONT]\nBitmap=f.png\n" + line + "\nChar=\"C\",0,0,10,13,1,2\n");
    EXPECT_NE(f->get_glyph('A'), nullptr);
    EXPECT_EQ(f->get_glyph('B'), nullptr);
    EXPECT_NE(f->get_glyph('C'), nullptr);

    // A 300-character line of one long name also reads safely.
    Font* g = load("[HGEFONT]\nBitmap=f.png\nChar=\"A\"" + std::string(300, ',') + "\n");
    EXPECT_EQ(g->get_glyph('A'), nullptr);
}

TEST_F(FontTest, BitmapPathsUpTo255CharactersLoadAndLongerOnesFail) {
    const std::string dir = "abcdefghi/"; // 10 characters
    std::string fits(245, 'n');
    fake.textures[dir + fits] = {64, 32};
    fake.files[dir + "f.fnt"] = "[HGEFONT]\nBitmap=" + fits + "\nChar=\"A\",8,8,8,8,0,0\n";
    Font ok((dir + "f.fnt").c_str());
    ASSERT_NE(ok.get_glyph('A'), nullptr);
    expect_tex_rect(ok.get_glyph('A')->get_quad(), 8, 8, 8, 8, 64, 32);

    std::string too_long(246, 'n');
    fake.textures[dir + too_long] = {64, 32};
    fake.files[dir + "g.fnt"] = "[HGEFONT]\nBitmap=" + too_long + "\nChar=\"A\",8,8,8,8,0,0\n";
    Font failed((dir + "g.fnt").c_str());
    EXPECT_TRUE(failed.is_empty());

    std::string deep_dir(300, 'd');
    deep_dir += "/";
    fake.files[deep_dir + "h.fnt"] = "[HGEFONT]\nBitmap=f.png\nChar=\"A\",8,8,8,8,0,0\n";
    Font deep((deep_dir + "h.fnt").c_str());
    EXPECT_TRUE(deep.is_empty());
}

TEST_F(FontTest, GlyphsAdvanceByPreWidthAndPost) {
    Font* f = load_glyphs();
    f->render_text(100, 50, TEXT_LEFT, "AAB A");
    ASSERT_EQ(fake.quads.size(), 5u);
    // A: 1 before, 10 wide, 2 after; B: -1 before, 20 wide; space 5 wide.
    EXPECT_EQ(lefts(), (std::vector<float>{101, 114, 125, 145, 151}));
    for (const hgeQuad& q : fake.quads) {
        EXPECT_EQ(q.v[0].y, 50.0f);
        EXPECT_EQ(q.v[2].y, 63.0f);
    }
    EXPECT_EQ(fake.quads[2].v[1].x, 145.0f); // B ends 20 after its start
}

TEST_F(FontTest, MissingGlyphDrawsTheQuestionMarkOrNothing) {
    Font* f = load_glyphs();
    f->render_text(0, 0, TEXT_LEFT, "AxA");
    EXPECT_EQ(lefts(), (std::vector<float>{1, 14})); // no gap where x was
    EXPECT_EQ(f->text_width("AxA"), 26.0f);

    fake.quads.clear();
    Font* g = load_glyphs("Char=\"?\",60,0,7,13,0,1\n");
    g->render_text(0, 0, TEXT_LEFT, "AxA");
    ASSERT_EQ(fake.quads.size(), 3u);
    EXPECT_EQ(lefts(), (std::vector<float>{1, 13, 22}));
    expect_tex_rect(fake.quads[1], 60, 0, 7, 13, 100, 50);
    EXPECT_EQ(g->text_width("AxA"), 34.0f);
    EXPECT_EQ(g->text_width("A\rA"), 34.0f); // a carriage return is a byte like any other
    // ...but not at the start of a following line, where line breaks are skipped.
    EXPECT_EQ(g->text_width("A\n\rBB", true), 38.0f);
    EXPECT_EQ(g->text_width("A\n\r\n\rBB", true), 38.0f);
}

TEST_F(FontTest, CentredLinesAreRoundedAndEachCentredOnItsOwnWidth) {
    Font* f = load_glyphs();
    f->set_tracking(0.25f); // A is 13.25 wide: half is 6.625, rounded 7
    f->render_text(100, 20, TEXT_CENTER, "A\nAA");
    ASSERT_EQ(fake.quads.size(), 3u);
    EXPECT_EQ(fake.quads[0].v[0].x, 100.0f - 7.0f + 1.0f);
    // Second line 26.5 wide: half 13.25, rounded 13.
    EXPECT_EQ(fake.quads[1].v[0].x, 100.0f - 13.0f + 1.0f);
    EXPECT_EQ(fake.quads[1].v[0].y, 33.0f);

    fake.quads.clear();
    f->set_tracking(0.0f);
    f->render_text(100, 20, TEXT_CENTER, "AB"); // 32 wide: exactly 16 to the left
    EXPECT_EQ(fake.quads[0].v[0].x, 85.0f);
}

TEST_F(FontTest, RightAlignedLinesAllEndAtX) {
    Font* f = load_glyphs();
    f->render_text(200, 0, TEXT_RIGHT, "A\nAB\n\nBB");
    ASSERT_EQ(fake.quads.size(), 5u);
    // Each line's pen ends at x: the last glyph's right edge plus its post space.
    EXPECT_EQ(fake.quads[0].v[1].x + 2.0f, 200.0f);
    EXPECT_EQ(fake.quads[2].v[1].x + 0.0f, 200.0f);
    EXPECT_EQ(fake.quads[4].v[1].x + 0.0f, 200.0f);
    EXPECT_EQ(fake.quads[4].v[0].y, 39.0f); // the empty line still moves down
    // Value 3 counts as left.
    fake.quads.clear();
    f->render_text(200, 0, 3, "A");
    EXPECT_EQ(fake.quads[0].v[0].x, 201.0f);
}

TEST_F(FontTest, PasswordBlockTakesThreeLinesFromTheLeftEdge) {
    Font* f = load_glyphs("Char=\"?\",60,0,7,13,0,1\n");
    f->printf(520, 435, TEXT_LEFT, "PASSWORD:\n%s\nLEVEL: %s%d", "ABCDEFGHI", "00", 0);
    ASSERT_EQ(fake.quads.size(), 9u + 9u + 10u);
    for (size_t i = 0; i < fake.quads.size(); ++i) {
        float line_y = i < 9 ? 435.0f : i < 18 ? 448.0f : 461.0f;
        EXPECT_EQ(fake.quads[i].v[0].y, line_y) << i;
    }
    EXPECT_EQ(fake.quads[0].v[0].x, 520.0f); // '?' has no space before it
    EXPECT_EQ(fake.quads[9].v[0].x, 521.0f); // 'A' starts the password
    EXPECT_EQ(fake.quads[18].v[0].x, 520.0f);

    // Line distance is rounded: 13 x 1.3 = 16.9 becomes 17.
    fake.quads.clear();
    f->set_spacing(1.3f);
    f->printf(0, 0, TEXT_LEFT, "A\nA\nA");
    EXPECT_EQ(fake.quads[1].v[0].y, 17.0f);
    EXPECT_EQ(fake.quads[2].v[0].y, 34.0f);
}

TEST_F(FontTest, TextWidthOfFirstOrWidestLine) {
    Font* f = load_glyphs();
    EXPECT_EQ(f->text_width("A\n\nABB", false), 13.0f);
    EXPECT_EQ(f->text_width("A\n\nABB", true), 51.0f);
    EXPECT_EQ(f->text_width("ABB\n\rA", true), 51.0f);
    EXPECT_EQ(f->text_width("\nAB", false), 0.0f);
    EXPECT_EQ(f->text_width("\nAB", true), 32.0f);
    EXPECT_EQ(f->text_width("", true), 0.0f);
    EXPECT_EQ(f->text_width("", false), 0.0f);
    f->set_scale(2.0f);
    f->set_proportion(1.5f);
    EXPECT_EQ(f->text_width("AB", true), 96.0f);
    f->set_tracking(1.0f);
    EXPECT_EQ(f->text_width("AB", false), 102.0f);
}

TEST_F(FontTest, ScaleAndProportionStretchGlyphsAndAdvance) {
    Font* f = load_glyphs();
    f->set_scale(2.0f);
    f->set_proportion(0.5f);
    f->render_text(0, 0, TEXT_LEFT, "A\nA");
    ASSERT_EQ(fake.quads.size(), 2u);
    // Horizontally 2 x 0.5 = 1, vertically 2.
    expect_corners(fake.quads[0], {{1, 0}, {11, 0}, {11, 26}, {1, 26}});
    EXPECT_EQ(fake.quads[1].v[0].y, 26.0f);
}

TEST_F(FontTest, PrintfFormatsAndCutsAt1023Characters) {
    Font* f = load_glyphs();
    f->printf(0, 0, TEXT_LEFT, "%4d", 7); // three spaces, then 7 has no glyph
    EXPECT_EQ(lefts(), (std::vector<float>{0, 5, 10}));

    fake.quads.clear();
    std::string many(2000, 'A');
    f->printf(0, 0, TEXT_LEFT, "%s", many.c_str());
    EXPECT_EQ(fake.quads.size(), 1023u);
    f->printf(0, 0, TEXT_LEFT, "%s", "");
    EXPECT_EQ(fake.quads.size(), 1023u);
}

TEST_F(FontTest, PrintfBoxedWrapsAtSpaces) {
    Font* f = load_glyphs();
    // "AA AA" is 57 wide, "AA AA AA" 88: a 60-wide box breaks before the third word.
    f->printf_boxed(10, 100, 60, 200, TEXT_LEFT, "AA AA AA");
    ASSERT_EQ(fake.quads.size(), 7u);
    EXPECT_EQ(fake.quads[4].v[0].y, 100.0f);
    EXPECT_EQ(fake.quads[5].v[0].y, 113.0f);
    EXPECT_EQ(fake.quads[5].v[0].x, 11.0f);
    EXPECT_EQ(fake.quads[6].v[0].x, 24.0f);

    // A word longer than the box keeps its own line; so does the word after it.
    fake.quads.clear();
    f->printf_boxed(0, 0, 20, 200, TEXT_LEFT, "AAAAAA AA");
    ASSERT_EQ(fake.quads.size(), 8u); // the space became the line break
    EXPECT_EQ(fake.quads[5].v[0].y, 0.0f);
    EXPECT_EQ(fake.quads[6].v[0].y, 13.0f);
    EXPECT_EQ(fake.quads[6].v[0].x, 1.0f);

    // Line feeds in the text break lines of their own.
    fake.quads.clear();
    f->printf_boxed(0, 0, 500, 200, TEXT_LEFT, "A\nA A");
    ASSERT_EQ(fake.quads.size(), 4u);
    EXPECT_EQ(fake.quads[1].v[0].y, 13.0f);
    EXPECT_EQ(fake.quads[3].v[0].y, 13.0f);
}

TEST_F(FontTest, PrintfBoxedAlignsInsideTheBox) {
    Font* f = load_glyphs();
    // Two lines of 13 make a text 26 high.
    f->printf_boxed(10, 100, 60, 101, TEXT_LEFT | TEXT_BOTTOM, "AA AA AA");
    EXPECT_EQ(fake.quads[0].v[0].y, 175.0f);
    fake.quads.clear();
    f->printf_boxed(10, 100, 60, 100, TEXT_LEFT | TEXT_MIDDLE, "AA AA AA");
    EXPECT_EQ(fake.quads[0].v[0].y, 137.0f);
    fake.quads.clear();
    f->printf_boxed(10, 100, 60, 101.5f, TEXT_LEFT | TEXT_MIDDLE, "AA AA AA");
    EXPECT_EQ(fake.quads[0].v[0].y, 138.0f); // 37.75 rounds up
    fake.quads.clear();
    f->printf_boxed(10, 100, 60, 101, TEXT_RIGHT, "AA AA AA");
    EXPECT_EQ(fake.quads[4].v[1].x + 2.0f, 70.0f); // first line ends at the right edge
    EXPECT_EQ(fake.quads[6].v[1].x + 2.0f, 70.0f);
    fake.quads.clear();
    f->printf_boxed(10, 100, 61.2f, 101, TEXT_CENTER, "AA AA AA");
    // Centre 10 + round(30.6) = 41; the second line is 26 wide.
    EXPECT_EQ(fake.quads[5].v[0].x, 41.0f - 13.0f + 1.0f);
    EXPECT_EQ(fake.quads[0].v[0].y, 100.0f);
}

TEST_F(FontTest, ColourDepthAndBlendReachEveryGlyph) {
    Font* f = load_glyphs();
    f->set_color(0x80112233u);
    f->set_z(0.25f);
    f->set_blend_mode(BLEND_COLORADD);
    EXPECT_EQ(f->get_color(), 0x80112233u);
    f->render_text(0, 0, TEXT_LEFT, "AB ");
    ASSERT_EQ(fake.quads.size(), 3u);
    for (const hgeQuad& q : fake.quads) {
        EXPECT_EQ(q.blend, BLEND_COLORADD);
        for (const hgeVertex& v : q.v) {
            EXPECT_EQ(v.col, 0x80112233u);
            EXPECT_EQ(v.z, 0.25f);
        }
    }
}

TEST(FontReferenceTest, FontGivesBackItsReferencesAndTextures) {
    bool destroyed = false;
    auto* engine = new CountingEngine(&destroyed);
    engine->files["f.fnt"] = "[HGEFONT]\nBitmap=a.png\nChar=\"A\",0,0,1,1,0,0\n"
                             "Bitmap=b.png\nChar=\"B\",0,0,1,1,0,0\nChar=\"B\",0,0,2,1,0,0\n";
    {
        Font f("f.fnt");
        ASSERT_NE(f.get_glyph('A'), nullptr);
        EXPECT_NE(f.get_glyph('A')->get_texture(), f.get_glyph('B')->get_texture());
        f.printf(0, 0, TEXT_LEFT, "AB");
    }
    // Both textures freed, each once.
    ASSERT_EQ(engine->freed.size(), 2u);
    EXPECT_NE(engine->freed[0], engine->freed[1]);
    EXPECT_FALSE(destroyed);
    engine->Release();
    EXPECT_TRUE(destroyed) << "the font or a glyph kept a reference";
    if (!destroyed) delete engine;
}

TEST(FontReferenceTest, FailedBitmapFreesNothing) {
    bool destroyed = false;
    CountingEngine fake(&destroyed);
    fake.missing.insert("x.png");
    fake.files["f.fnt"] = "[HGEFONT]\nBitmap=x.png\n";
    { Font f("f.fnt"); }
    EXPECT_TRUE(fake.freed.empty());
}

} // namespace
