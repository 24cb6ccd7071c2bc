// Every data file missing, empty, cut in half or of the wrong kind, and
// settings files with values the game cannot use: each row of the table in
// docs/troubleshooting.md, run through korvane-headless on a broken copy of data/.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cctype>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "data_copy.h"
#include "soak_run.h"

namespace {

enum Damage { MISSING, EMPTY, HALF, WRONG_KIND };
const char* const DAMAGE_NAMES[] = {"missing", "empty", "half", "wrong_kind"};

enum Outcome {
    ERROR_BOX,         // "Can't load resources" and exit 0 before anything is shown
    PLAYS,             // plays as with the shipped file
    MENU_TEXT_GONE,    // plays; font1 is blank, so the menu shows no text
    MENU_TEXT_CHANGED, // plays; font1 lacks glyphs: letters past the cut draw as "?"
    SHOP_TEXT_GONE,    // plays; font2 is blank: shop and game over show no text
    SHOP_TEXT_CHANGED,
    DEFAULT_SETTINGS, // plays with every built-in default (Player1 fire 81, not the file's 16)
    HEAD_SETTINGS,    // plays with the file's values up to the cut, defaults after it
};

struct FileRow {
    const char* file;
    Damage damage;
    Outcome outcome;
    bool logs_font_format; // "Font data/X has incorrect format." in the log
};

std::vector<FileRow> file_rows() {
    std::vector<FileRow> rows;
    for (const char* sound :
         {"upgrade.mp3", "intro.mp3", "pl_fire.mp3", "en_fire_khh.mp3", "small_boom.mp3",
          "big_boom.mp3", "start_level.mp3", "en_fire_piu.mp3", "en_rocket.mp3", "armor.mp3"}) {
        rows.push_back({sound, MISSING, ERROR_BOX, false});
        rows.push_back({sound, EMPTY, ERROR_BOX, false});
        rows.push_back({sound, HALF, PLAYS, false}); // the part that is there plays
        rows.push_back({sound, WRONG_KIND, ERROR_BOX, false});
    }
    for (const char* picture : {"tex.png", "logo.png", "kaboom.png"})
        for (Damage d : {MISSING, EMPTY, HALF, WRONG_KIND})
            rows.push_back({picture, d, ERROR_BOX, false});
    rows.push_back({"font1.fnt", MISSING, MENU_TEXT_GONE, false});
    rows.push_back({"font1.fnt", EMPTY, MENU_TEXT_GONE, true});
    rows.push_back({"font1.fnt", HALF, MENU_TEXT_CHANGED, false});
    rows.push_back({"font1.fnt", WRONG_KIND, MENU_TEXT_GONE, true});
    rows.push_back({"font2.fnt", MISSING, SHOP_TEXT_GONE, false});
    rows.push_back({"font2.fnt", EMPTY, SHOP_TEXT_GONE, true});
    rows.push_back({"font2.fnt", HALF, SHOP_TEXT_CHANGED, false});
    rows.push_back({"font2.fnt", WRONG_KIND, SHOP_TEXT_GONE, true});
    // The font's bitmap: its "Bitmap" line comes before every glyph.
    for (Damage d : {MISSING, EMPTY, HALF, WRONG_KIND}) {
        rows.push_back({"font1.png", d, MENU_TEXT_GONE, false});
        rows.push_back({"font2.png", d, SHOP_TEXT_GONE, false});
    }
    rows.push_back({"Settings.ini", MISSING, DEFAULT_SETTINGS, false});
    rows.push_back({"Settings.ini", EMPTY, DEFAULT_SETTINGS, false});
    rows.push_back({"Settings.ini", HALF, HEAD_SETTINGS, false});
    rows.push_back({"Settings.ini", WRONG_KIND, DEFAULT_SETTINGS, false});
    return rows;
}

// How ctest lists a row.
void PrintTo(const FileRow& row, std::ostream* os) {
    *os << row.file << " " << DAMAGE_NAMES[row.damage];
}

std::string row_name(const ::testing::TestParamInfo<FileRow>& info) {
    std::string name = std::string(info.param.file) + "_" + DAMAGE_NAMES[info.param.damage];
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Any settings file keeps the first menu frame free of stars, so that the
// bottom line of the menu holds nothing but the text "ARROWS AND CTRL".
const char* const NO_STARS = "[Star]\ncount=0\n";

std::string screens_script(const std::string& dir) {
    return "tap SPACE\nframes 1\nscreenshot " + dir +
           "/menu.png\n"
           "tap ENTER\nframes 1\nscreenshot " +
           dir +
           "/shop.png\n"
           "tap SPACE\nframes 3\ndump\n";
}

struct Screens {
    HeadlessRun run;
    std::vector<uint32_t> menu, shop;
    std::string log;
};

std::vector<uint32_t> read_png(const std::string& path) {
    std::vector<uint32_t> px;
    SDL_Surface* raw = IMG_Load(path.c_str());
    if (!raw) return px;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(raw);
    if (!s) return px;
    for (int y = 0; y < s->h; ++y) {
        const uint32_t* row =
            reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(s->pixels) + y * s->pitch);
        px.insert(px.end(), row, row + s->w);
    }
    SDL_FreeSurface(s);
    return px;
}

Screens run_screens(const DataCopy& data) {
    Screens s;
    s.run = run_headless(KORVANE_HEADLESS, screens_script(data.dir()), data.dir(), 5);
    s.menu = read_png(data.path("menu.png"));
    s.shop = read_png(data.path("shop.png"));
    s.log = data.log();
    return s;
}

const Screens& shipped_screens() {
    static DataCopy data(KORVANE_DATA_DIR);
    static Screens s = [] {
        data.write("Settings.ini", NO_STARS);
        return run_screens(data);
    }();
    return s;
}

// Pixels of the bottom menu line, x 480..719, y 550..589 of the 800 x 590 screen.
std::vector<uint32_t> menu_line(const std::vector<uint32_t>& px) {
    std::vector<uint32_t> part;
    if (px.size() != 800u * 590u) return part;
    for (int y = 550; y < 590; ++y)
        for (int x = 480; x < 720; ++x) part.push_back(px[y * 800 + x] & 0xFFFFFF);
    return part;
}

bool all_black(const std::vector<uint32_t>& px) {
    for (uint32_t p : px)
        if (p & 0xFFFFFF) return false;
    return true;
}

void damage(const DataCopy& data, const char* file, Damage d) {
    std::string bytes = data.shipped_bytes(file);
    std::string name = file;
    switch (d) {
    case MISSING: data.remove(file); break;
    case EMPTY: data.write(file, ""); break;
    case HALF: data.write(file, bytes.substr(0, bytes.size() / 2)); break;
    case WRONG_KIND:
        // A picture or a font that is text of another kind; a sound or settings that are noise.
        if (name.size() > 4 && name.substr(name.size() - 4) == ".png")
            data.write(file, "This is a note, not a picture.\n");
        else
            data.write(file, noise_bytes());
        break;
    }
}

double dumped_setting(const std::string& dump, const char* key) {
    size_t settings = dump.find("\"settings\":{");
    if (settings == std::string::npos) return -12345;
    std::string k = std::string("\"") + key + "\":";
    size_t at = dump.find(k, settings);
    if (at == std::string::npos) return -12345;
    return std::strtod(dump.c_str() + at + k.size(), nullptr);
}

class BadDataFile : public ::testing::TestWithParam<FileRow> {};

TEST_P(BadDataFile, EndsAsTheTableSays) {
    const FileRow& row = GetParam();
    DataCopy data(KORVANE_DATA_DIR);
    if (std::string(row.file) != "Settings.ini") data.write("Settings.ini", NO_STARS);
    damage(data, row.file, row.damage);
    Screens s = run_screens(data);

    EXPECT_EQ(s.run.status, 0);
    EXPECT_EQ(sanitizer_report(s.run.err), "");
    bool logged = s.log.find(std::string("Font data/") + row.file + " has incorrect format.") !=
                  std::string::npos;
    EXPECT_EQ(logged, row.logs_font_format) << s.log;

    if (row.outcome == ERROR_BOX) {
        EXPECT_NE(s.run.err.find("Error: Can't load resources"), std::string::npos) << s.run.err;
        EXPECT_EQ(s.run.out.find("\"game_state\""), std::string::npos) << "nothing may be played";
        return;
    }
    EXPECT_EQ(s.run.err.find("Can't load resources"), std::string::npos) << s.run.err;
    SoakSample dump;
    ASSERT_TRUE(read_dump(s.run.out, dump)) << s.run.out;
    EXPECT_EQ(dump.game_state, 2) << "the level must have started";
    EXPECT_TRUE(dump.finite);

    const Screens& shipped = shipped_screens();
    ASSERT_EQ(shipped.run.status, 0) << shipped.run.err;
    ASSERT_FALSE(all_black(menu_line(shipped.menu))) << "the bottom menu line shows its text";
    ASSERT_FALSE(all_black(shipped.shop));
    ASSERT_EQ(s.menu.size(), shipped.menu.size());
    ASSERT_EQ(s.shop.size(), shipped.shop.size());

    std::vector<uint32_t> line = menu_line(s.menu);
    bool menu_as_shipped = line == menu_line(shipped.menu);
    bool shop_as_shipped = s.shop == shipped.shop;
    switch (row.outcome) {
    case PLAYS:
        EXPECT_TRUE(s.menu == shipped.menu);
        EXPECT_TRUE(shop_as_shipped);
        break;
    case DEFAULT_SETTINGS:
        EXPECT_FLOAT_EQ(static_cast<float>(dumped_setting(s.run.out, "player1_fire")), 81);
        break;
    case HEAD_SETTINGS:
        EXPECT_FLOAT_EQ(static_cast<float>(dumped_setting(s.run.out, "player1_fire")), 16);
        break;
    case MENU_TEXT_GONE:
        EXPECT_TRUE(all_black(line));
        EXPECT_TRUE(shop_as_shipped);
        break;
    case MENU_TEXT_CHANGED:
        EXPECT_FALSE(all_black(line));
        EXPECT_FALSE(menu_as_shipped);
        EXPECT_TRUE(shop_as_shipped);
        break;
    case SHOP_TEXT_GONE:
        EXPECT_TRUE(all_black(s.shop));
        EXPECT_TRUE(menu_as_shipped);
        break;
    case SHOP_TEXT_CHANGED:
        EXPECT_FALSE(all_black(s.shop));
        EXPECT_FALSE(shop_as_shipped);
        EXPECT_TRUE(menu_as_shipped);
        break;
    case ERROR_BOX: break;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, BadDataFile, ::testing::ValuesIn(file_rows()), row_name);

// One key of the shipped settings file set to a value; where it ends and
// whether the log names it.
struct SettingRow {
    const char* name; // test name
    const char* section;
    const char* key;
    const char* text;   // as written in the file
    const char* dumped; // the key as the dump names it
    double expected;
    bool logged;
};

const SettingRow SETTING_ROWS[] = {
    {"radar_scale_zero", "Game", "radar_scale", "0", "radar_scale", 0.001, true},
    {"radar_scale_not_a_number", "Game", "radar_scale", "abc", "radar_scale", 8, false},
    {"kaboom_fps_zero", "Game", "anim_kaboom_fps", "0", "anim_kaboom_fps", 60, true},
    {"boom_fps_negative", "Game", "anim_boom_fps", "-30", "anim_boom_fps", 30, true},
    {"star_box_width_zero", "Star", "maxx", "0", "maxx", 0, false},
    {"star_count_billion", "Star", "count", "1000000000", "count", 10000, true},
    {"star_count_negative", "Star", "count", "-5", "count", -5, false},
    {"start_enemy_negative", "Game", "start_enemy", "-3", "start_enemy", -3, false},
    {"start_enemy_huge", "Game", "start_enemy", "2000000000", "start_enemy", 2000000000, false},
    {"start_enemy_beyond_int", "Game", "start_enemy", "99999999999", "start_enemy", 6, false},
    {"map_max_zero", "Game", "map_max[0]", "0", "map_max[0]", 1000, true},
    {"map_max_negative", "Game", "map_max[1]", "-2200", "map_max[1]", 1000, true},
    {"map_max_nan", "Game", "map_max[0]", "nan", "map_max[0]", 1100, false},
    {"fire_cooldown_negative", "Game", "player_fire_cooldown", "-1", "player_fire_cooldown", -1,
     false},
    {"game_over_delay_huge", "Game", "game_over_delay", "1e12", "game_over_delay", 3600, true},
    {"start_money_garbage", "Game", "start_money", "12abc", "start_money", 0, false},
    {"start_level_too_high", "Game", "start_level", "77", "start_level", 49, true},
    {"rocket_speed_down_zero", "Enemy", "enemy_firerocket_speed_down", "0",
     "enemy_firerocket_speed_down", 1, true},
    {"bullet_lifetime_huge", "Enemy", "enemy_bull_bullet_lifetime", "1e9",
     "enemy_bull_bullet_lifetime", 60, true},
};

// The shipped file with one key's value replaced (its line found by name).
std::string with_value(const std::string& ini, const SettingRow& row) {
    std::string key = std::string(row.key) + "=";
    size_t at = ini.find("\n" + key);
    if (at == std::string::npos) return ini;
    size_t end = ini.find('\n', at + 1);
    return ini.substr(0, at + 1) + key + row.text + ini.substr(end);
}

void PrintTo(const SettingRow& row, std::ostream* os) {
    *os << row.key << "=" << row.text;
}

class BadSetting : public ::testing::TestWithParam<SettingRow> {};

TEST_P(BadSetting, EndsAsTheTableSays) {
    const SettingRow& row = GetParam();
    DataCopy data(KORVANE_DATA_DIR);
    std::string shipped = data.shipped_bytes("Settings.ini");
    std::string changed = with_value(shipped, row);
    ASSERT_NE(changed, shipped) << "no line for " << row.key;
    data.write("Settings.ini", changed);
    HeadlessRun r = run_headless(
        KORVANE_HEADLESS, "tap SPACE\nframes 30\ntap ENTER\nframes 2\ntap SPACE\nframes 60\ndump\n",
        data.dir(), 9);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(sanitizer_report(r.err), "");
    SoakSample dump;
    ASSERT_TRUE(read_dump(r.out, dump)) << r.out << r.err;
    EXPECT_EQ(dump.game_state, 2);
    EXPECT_TRUE(dump.finite);
    EXPECT_FLOAT_EQ(static_cast<float>(dumped_setting(r.out, row.dumped)),
                    static_cast<float>(row.expected));
    std::string log = data.log();
    bool logged = log.find(std::string("] ") + row.key + " = ") != std::string::npos;
    EXPECT_EQ(logged, row.logged) << log;
}

INSTANTIATE_TEST_SUITE_P(Table, BadSetting, ::testing::ValuesIn(SETTING_ROWS),
                         [](const ::testing::TestParamInfo<SettingRow>& info) {
                             return std::string(info.param.name);
                         });

TEST(BadData, UnwritableLogDoesNotStopTheGame) {
    DataCopy data(KORVANE_DATA_DIR);
    data.write("Settings.ini", "[Game]\nradar_scale=0\n"); // something to log
    ASSERT_EQ(mkdir(data.path("Korvane.log").c_str(), 0755), 0);
    HeadlessRun r = run_headless(KORVANE_HEADLESS, "tap SPACE\nframes 10\ndump\n", data.dir(), 2);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(sanitizer_report(r.err), "");
    SoakSample dump;
    ASSERT_TRUE(read_dump(r.out, dump));
    EXPECT_EQ(dump.game_state, 1);
}

} // namespace
