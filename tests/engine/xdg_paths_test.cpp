// Where an installed game finds its data and keeps the player's own files.
#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/sdl/paths.h"
#include "headless.h"

namespace {

// Sets (or with nullptr removes) an environment variable for one test.
class EnvVar {
  public:
    EnvVar(const char* name, const char* value) : name_(name) {
        const char* old = getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

  private:
    const char* name_;
    bool had_ = false;
    std::string old_;
};

std::string read_all(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(XdgDirs, AnAbsoluteVariableWinsElseTheHomeFallback) {
    EnvVar home("HOME", "/home/pilot");
    {
        EnvVar config("XDG_CONFIG_HOME", "/tmp/cfg");
        EXPECT_EQ(xdg_base_dir("XDG_CONFIG_HOME", ".config"), "/tmp/cfg");
    }
    {
        EnvVar config("XDG_CONFIG_HOME", "relative/cfg"); // not absolute: ignored
        EXPECT_EQ(xdg_base_dir("XDG_CONFIG_HOME", ".config"), "/home/pilot/.config");
    }
    {
        EnvVar config("XDG_CONFIG_HOME", "");
        EXPECT_EQ(xdg_base_dir("XDG_CONFIG_HOME", ".config"), "/home/pilot/.config");
    }
    EnvVar state("XDG_STATE_HOME", nullptr);
    EXPECT_EQ(xdg_base_dir("XDG_STATE_HOME", ".local/state"), "/home/pilot/.local/state");
    EnvVar no_home("HOME", nullptr);
    EXPECT_EQ(xdg_base_dir("XDG_STATE_HOME", ".local/state"), "");
}

TEST(XdgDirs, ThePlayersSettingsAndLogGoToConfigAndStateFolders) {
    EnvVar home("HOME", "/home/pilot");
    EnvVar config("XDG_CONFIG_HOME", "/xdg/config");
    EnvVar state("XDG_STATE_HOME", nullptr);
    UserFiles f = user_files("data/Settings.ini", "data\\Korvane.log");
    EXPECT_EQ(f.ini, "/xdg/config/korvane/Settings.ini");
    EXPECT_EQ(f.log, "/home/pilot/.local/state/korvane/Korvane.log");
    // Absolute names were chosen by the caller and stay theirs.
    f = user_files("/etc/k.ini", "");
    EXPECT_EQ(f.ini, "");
    EXPECT_EQ(f.log, "");
    EnvVar no_home("HOME", nullptr);
    f = user_files("data/Settings.ini", "data/Korvane.log");
    EXPECT_EQ(f.ini, "/xdg/config/korvane/Settings.ini");
    EXPECT_EQ(f.log, ""); // nowhere to keep it: no log rather than a wrong place
}

TEST(InstalledData, FoundFromTheExecutableUnlessABuildTreeHasItsOwn) {
    TempDir root;
    std::filesystem::create_directories(root.file("usr/bin"));
    std::string bin = root.file("usr/bin/");
    EXPECT_EQ(installed_data_dir(bin, "../share/korvane/data"), "");
    std::filesystem::create_directories(root.file("usr/share/korvane/data"));
    std::string found = installed_data_dir(bin, "../share/korvane/data");
    EXPECT_EQ(std::filesystem::canonical(found),
              std::filesystem::canonical(root.file("usr/share/korvane/data")));
    EXPECT_EQ(installed_data_dir(root.file("usr/bin"), "../share/korvane/data"), found);
    std::filesystem::create_directories(root.file("usr/bin/data"));
    EXPECT_EQ(installed_data_dir(bin, "../share/korvane/data"), "");
    EXPECT_EQ(installed_data_dir("", "../share/korvane/data"), "");
}

TEST(UserFolders, MadeWithTheirParentsAndPrivate) {
    TempDir root;
    std::string deep = root.file("a/b/c");
    EXPECT_TRUE(make_dirs(deep));
    struct stat st;
    ASSERT_EQ(stat(deep.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(make_dirs(deep)); // already there
    root.write("file", "x");
    EXPECT_FALSE(make_dirs(root.file("file/sub"))); // a file stands in the way
    EXPECT_FALSE(make_dirs(""));
}

TEST(UserFolders, TheDefaultsAreCopiedOnceAndThePlayersFileIsKept) {
    TempDir root;
    root.write("shipped.ini", "[Game]\nstart_money=5\n");
    std::string mine = root.file("mine.ini");
    EXPECT_TRUE(seed_file(root.file("shipped.ini"), mine));
    EXPECT_EQ(read_all(mine), "[Game]\nstart_money=5\n");
    root.write("mine.ini", "[Game]\nstart_money=99\n");
    EXPECT_TRUE(seed_file(root.file("shipped.ini"), mine));
    EXPECT_EQ(read_all(mine), "[Game]\nstart_money=99\n");
    EXPECT_FALSE(seed_file(root.file("missing.ini"), root.file("other.ini")));
    EXPECT_FALSE(std::filesystem::exists(root.file("other.ini")));
    EXPECT_FALSE(seed_file(root.file("shipped.ini"), root.file("no/such/folder/x.ini")));
    EXPECT_FALSE(std::filesystem::exists(root.file("no/such/folder/x.ini.new")));
}

} // namespace
