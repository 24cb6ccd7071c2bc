// make install's layout, and an installed game keeping the player's files in
// the XDG folders while it reads its data from the shared one.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "support/headless_run.h"

#ifndef KORVANE_CMAKE_COMMAND
#define KORVANE_CMAKE_COMMAND "cmake"
#endif

namespace fs = std::filesystem;

namespace {

int shell(const std::string& command) {
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class InstallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root = new std::string(make_temp_dir());
        status =
            shell("DESTDIR=" + *root +
                  " " KORVANE_CMAKE_COMMAND " --install " KORVANE_BINARY_DIR " --prefix /usr > " +
                  *root + "/install.log 2>&1");
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(*root, ignored);
        delete root;
    }
    // Runs the installed korvane-headless with this environment; its stdout.
    std::string run_installed(const std::string& env, const std::string& script) {
        std::string dir = make_temp_dir();
        {
            std::ofstream out(dir + "/run.script");
            out << script;
        }
        std::string command = "env -u XDG_CONFIG_HOME -u XDG_STATE_HOME " + env +
                              " SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy " + *root +
                              "/usr/games/korvane-headless --script " + dir + "/run.script > " + dir +
                              "/out 2>&1";
        EXPECT_EQ(shell(command), 0) << read_all(dir + "/out");
        return read_all(dir + "/out");
    }
    static std::string* root;
    static int status;
};

std::string* InstallTest::root = nullptr;
int InstallTest::status = -1;

TEST_F(InstallTest, ProgramsDataMenuEntryAndIconsGoToTheirPlaces) {
    ASSERT_EQ(status, 0) << read_all(*root + "/install.log");
    for (const char* file :
         {"usr/games/korvane", "usr/games/korvane-headless",
          "usr/share/games/korvane/data/Settings.ini", "usr/share/games/korvane/data/tex.png",
          "usr/share/games/korvane/data/intro.mp3", "usr/share/games/korvane/data/font1.fnt",
          "usr/share/applications/korvane.desktop", "usr/share/metainfo/korvane.metainfo.xml",
          "usr/share/icons/hicolor/16x16/apps/korvane.png",
          "usr/share/icons/hicolor/256x256/apps/korvane.png",
          "usr/share/icons/hicolor/scalable/apps/korvane.svg", "usr/share/man/man6/korvane.6.gz",
          "usr/share/man/man6/korvane-headless.6.gz", "usr/share/doc/korvane/copyright",
          "usr/share/doc/korvane/changelog.gz"})
        EXPECT_TRUE(fs::exists(*root + "/" + file)) << file;
    // The data is the game's files, the ones the repository holds, and
    // nothing else a developer's data/ may gather (logs, screenshots).
    std::string listing = *root + "/tracked";
    if (shell("git -C " KORVANE_SOURCE_DIR " ls-files data > " + listing + " 2> /dev/null") == 0) {
        std::vector<std::string> shipped, tracked;
        for (const auto& entry : fs::directory_iterator(*root + "/usr/share/games/korvane/data"))
            shipped.push_back(entry.path().filename().string());
        std::istringstream lines(read_all(listing));
        for (std::string line; std::getline(lines, line);)
            tracked.push_back(line.substr(line.rfind('/') + 1));
        std::sort(shipped.begin(), shipped.end());
        std::sort(tracked.begin(), tracked.end());
        EXPECT_EQ(shipped, tracked);
    }
    std::string desktop = read_all(*root + "/usr/share/applications/korvane.desktop");
    EXPECT_NE(desktop.find("Exec=korvane"), std::string::npos);
    EXPECT_NE(desktop.find("Icon=korvane"), std::string::npos);
}

TEST_F(InstallTest, TheSettingsAreSeededIntoTheConfigFolderAndThePlayersCopyIsRead) {
    ASSERT_EQ(status, 0);
    std::string home = make_temp_dir(), config = make_temp_dir(), state = make_temp_dir();
    std::string env = "HOME=" + home + " XDG_CONFIG_HOME=" + config + " XDG_STATE_HOME=" + state;
    std::string out = run_installed(env, "tap SPACE\nframes 2\ndump\n");
    EXPECT_NE(out.find("\"game_state\":1"), std::string::npos) << out; // the data was found
    std::string mine = config + "/korvane/Settings.ini";
    ASSERT_TRUE(fs::exists(mine));
    EXPECT_EQ(read_all(mine), read_all(*root + "/usr/share/games/korvane/data/Settings.ini"));
    EXPECT_TRUE(fs::is_directory(state + "/korvane"));
    EXPECT_FALSE(fs::exists(home + "/.config")); // the variables were followed
    // The player's own values count, and the next start keeps them.
    std::string text = read_all(mine);
    size_t at = text.find("start_money=0");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 13, "start_money=77");
    {
        std::ofstream edit(mine, std::ios::binary | std::ios::trunc);
        edit << text;
    }
    std::string shipped = read_all(*root + "/usr/share/games/korvane/data/Settings.ini");
    out = run_installed(env, "dump\n");
    EXPECT_NE(out.find("\"money\":77"), std::string::npos) << out.substr(0, 200);
    EXPECT_NE(read_all(mine).find("start_money=77"), std::string::npos);
    EXPECT_EQ(read_all(*root + "/usr/share/games/korvane/data/Settings.ini"), shipped);
}

TEST_F(InstallTest, WithoutTheVariablesTheHomeFoldersAreUsed) {
    ASSERT_EQ(status, 0);
    std::string home = make_temp_dir();
    run_installed("HOME=" + home, "dump\n");
    EXPECT_TRUE(fs::exists(home + "/.config/korvane/Settings.ini"));
    EXPECT_TRUE(fs::is_directory(home + "/.local/state/korvane"));
}

} // namespace
