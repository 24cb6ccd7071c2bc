// The windowed program's command line.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "main/command_line.h"
#include "support/headless_run.h"

namespace {

bool parse(std::vector<const char*> args, ProgramOptions& out, std::string& error) {
    args.insert(args.begin(), "korvane");
    return parse_options(static_cast<int>(args.size()), args.data(), out, error);
}

TEST(ProgramOptionsTest, NoOptionsPlays) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parse({}, o, error));
    EXPECT_EQ(o.mode, RUN_PLAY);
    EXPECT_EQ(o.file, "");
}

TEST(ProgramOptionsTest, RecordAndReplayTakeAFile) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--record", "session.txt"}, o, error)) << error;
    EXPECT_EQ(o.mode, RUN_RECORD);
    EXPECT_EQ(o.file, "session.txt");
    ASSERT_TRUE(parse({"--replay", "--odd-name"}, o, error)) << error;
    EXPECT_EQ(o.mode, RUN_REPLAY);
    EXPECT_EQ(o.file, "--odd-name");
}

TEST(ProgramOptionsTest, HelpAndVersionAnswerWhateverFollows) {
    ProgramOptions o;
    std::string error;
    ASSERT_TRUE(parse({"--help", "--bogus"}, o, error));
    EXPECT_EQ(o.mode, RUN_HELP);
    ASSERT_TRUE(parse({"-h"}, o, error));
    EXPECT_EQ(o.mode, RUN_HELP);
    ASSERT_TRUE(parse({"--record", "x", "--version"}, o, error));
    EXPECT_EQ(o.mode, RUN_VERSION);
}

TEST(ProgramOptionsTest, MistakesAreNamed) {
    struct Case {
        std::vector<const char*> args;
        const char* says;
    };
    const Case cases[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"record"}, "unknown option record"},
        {{"--record"}, "missing file name after --record"},
        {{"--replay", ""}, "missing file name after --replay"},
        {{"--record", "a", "--replay", "b"}, "one at a time"},
        {{"--record", "a", "--record", "b"}, "one at a time"},
    };
    for (const Case& c : cases) {
        ProgramOptions o;
        std::string error;
        EXPECT_FALSE(parse(c.args, o, error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST(ProgramOptionsTest, TheVersionIsTheBuildsProjectVersion) {
    std::ifstream in(std::string(KORVANE_SOURCE_DIR) + "/CMakeLists.txt");
    std::ostringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    const std::string marker = "project(korvane VERSION ";
    size_t at = text.find(marker);
    ASSERT_NE(at, std::string::npos);
    at += marker.size();
    std::string version = text.substr(at, text.find_first_not_of("0123456789.", at) - at);
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(version_text(), "korvane " + version);
}

// The program itself, as a shell runs it.
struct ProgramRun {
    int status;
    std::string out, err;
};

ProgramRun run_program(const std::string& program, const std::string& args) {
    std::string dir = make_temp_dir();
    std::string command = std::string("SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ") +
                          KORVANE_BINARY_DIR + "/" + program + " " + args + " < /dev/null > " +
                          dir + "/out 2> " + dir + "/err";
    int raw = std::system(command.c_str());
    ProgramRun r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream out(dir + "/out"), err(dir + "/err");
    std::ostringstream o, e;
    o << out.rdbuf();
    e << err.rdbuf();
    r.out = o.str();
    r.err = e.str();
    return r;
}

ProgramRun run_korvane(const std::string& args) {
    return run_program("korvane", args);
}

TEST(ProgramCommandLine, HelpAndVersionPrintAndSucceed) {
    ProgramRun help = run_korvane("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usage_text());
    ProgramRun version = run_korvane("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, version_text() + "\n");
}

TEST(ProgramCommandLine, AnUnknownOptionPrintsTheUsageAndExitsWithTwo) {
    ProgramRun r = run_korvane("--fly-faster");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("unknown option --fly-faster"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(usage_text()), std::string::npos) << r.err;
}

TEST(ProgramCommandLine, ARecordingThatCannotBeShownOrWrittenFails) {
    ProgramRun missing = run_korvane("--replay /nonexistent/session.txt");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos) << missing.err;
    std::string dir = make_temp_dir();
    {
        std::ofstream bad(dir + "/bad.txt");
        bad << "frames 2\nfly away\n";
    }
    ProgramRun bad = run_korvane("--replay " + dir + "/bad.txt");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("line 2"), std::string::npos) << bad.err;
    ProgramRun unwritable = run_korvane("--record /nonexistent/folder/session.txt");
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("cannot write"), std::string::npos) << unwritable.err;
}

// The headless runner answers --help and --version as the game does, before
// it would read a script from standard input; anything else it does not know
// is an error with the usage on stderr.
TEST(ProgramCommandLine, TheHeadlessRunnerHasHelpAndVersionToo) {
    ProgramRun help = run_program("korvane-headless", "--script /nonexistent --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: korvane-headless ", 0), 0u) << help.out;
    for (const char* option : {"--script", "--seed", "--data", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    ProgramRun version = run_program("korvane-headless", "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "korvane-headless " + version_text().substr(8) + "\n");
    ProgramRun bad = run_program("korvane-headless", "--fly-faster");
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.out, "");
    EXPECT_NE(bad.err.find("unknown option --fly-faster"), std::string::npos) << bad.err;
    EXPECT_NE(bad.err.find("usage: korvane-headless "), std::string::npos) << bad.err;
}

} // namespace
