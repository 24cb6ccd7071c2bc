// Effects in a headless engine: loading, and channels that follow simulated time.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "headless.h"

namespace {

bool keep_going() {
    return false;
}

std::string fixture(const char* name) {
    std::ifstream in(std::string(KORVANE_SOURCE_DIR) + "/tests/engine/fixtures/" + name,
                     std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

class SoundTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        beep_bytes = fixture("beep.mp3");
        ASSERT_GT(beep_bytes.size(), 100u);
        dir.write("beep.mp3", beep_bytes);
        e->System_SetState(HGE_FRAMEFUNC, keep_going);
        e->Timer_SetFixedDelta(0.01f);
    }
    // Frames until the channel stops, at most limit.
    int frames_until_silent(HCHANNEL c, int limit) {
        int n = 0;
        while (n < limit && e->Channel_IsPlaying(c)) {
            e->System_RunFrames(1);
            ++n;
        }
        return n;
    }
    std::string beep_bytes;
};

TEST_F(SoundTest, LoadsMp3AndFailsOnMissingOrUndecodableFiles) {
    EXPECT_NE(e->Effect_Load("data/beep.mp3", 0), 0u);
    EXPECT_NE(e->Effect_Load(dir.file("beep.mp3").c_str(), 0), 0u);
    EXPECT_EQ(e->Effect_Load("data/absent.mp3", 0), 0u);
    dir.write("junk.mp3", std::string(3000, '\x17'));
    EXPECT_EQ(e->Effect_Load("data/junk.mp3", 0), 0u);
    dir.write("empty.mp3", "");
    EXPECT_EQ(e->Effect_Load("data/empty.mp3", 0), 0u);
    EXPECT_NE(e->Effect_Load(beep_bytes.data(), static_cast<uint32_t>(beep_bytes.size())), 0u);
}

TEST_F(SoundTest, NoiseBehindAnMp3HeaderAndCutFilesDoNotLoad) {
    std::string noise;
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        noise += static_cast<char>(x >> 24);
    }
    dir.write("sync.mp3", std::string("\xFF\xFB\x90\x64", 4) + noise);
    EXPECT_EQ(e->Effect_Load("data/sync.mp3", 0), 0u);
    dir.write("tagged.mp3", std::string("ID3\x03\0\0\0\0\0\x10", 10) + std::string(16, '\0') + noise);
    EXPECT_EQ(e->Effect_Load("data/tagged.mp3", 0), 0u);
    dir.write("cut.mp3", beep_bytes.substr(0, 4));
    EXPECT_EQ(e->Effect_Load("data/cut.mp3", 0), 0u);
}

TEST_F(SoundTest, AnEffectPlayedAtOnceLastsAsLongAsOnePlayedLater) {
    HEFFECT early = e->Effect_Load("data/beep.mp3", 0);
    HEFFECT late = e->Effect_Load("data/beep.mp3", 0);
    int at_once = frames_until_silent(e->Effect_Play(early), 1000);
    e->System_RunFrames(50);
    int later = frames_until_silent(e->Effect_Play(late), 1000);
    EXPECT_GE(at_once, 29);
    EXPECT_EQ(at_once, later);
}

TEST_F(SoundTest, AnEffectFromMemoryOwesNothingToTheCallersBuffer) {
    HEFFECT from_file = e->Effect_Load("data/beep.mp3", 0);
    int expected = frames_until_silent(e->Effect_Play(from_file), 1000);
    HEFFECT from_memory;
    {
        std::string buffer = beep_bytes;
        from_memory = e->Effect_Load(buffer.data(), static_cast<uint32_t>(buffer.size()));
        buffer.assign(buffer.size(), '\x17');
    }
    ASSERT_NE(from_memory, 0u);
    EXPECT_EQ(frames_until_silent(e->Effect_Play(from_memory), 1000), expected);
}

TEST_F(SoundTest, EffectsFreedOrLeftUnplayedAndALostDeviceAreHarmless) {
    HEFFECT freed = e->Effect_Load("data/beep.mp3", 0);
    e->Effect_Free(freed); // perhaps while it is still being decoded
    EXPECT_EQ(e->Effect_Play(freed), 0u);
    HEFFECT kept = e->Effect_Load("data/beep.mp3", 0);
    for (int i = 0; i < 8; ++i) e->Effect_Load("data/beep.mp3", 0); // never played
    SDL_Event ev{};
    ev.type = SDL_AUDIODEVICEREMOVED;
    ev.adevice.which = 2;
    SDL_PushEvent(&ev);
    e->System_RunFrames(1);
    HCHANNEL c = e->Effect_Play(kept);
    ASSERT_NE(c, 0u);
    EXPECT_GE(frames_until_silent(c, 1000), 29);
}

TEST_F(SoundTest, AChannelPlaysForTheEffectsLengthInSimulatedTime) {
    HEFFECT beep = e->Effect_Load("data/beep.mp3", 0);
    ASSERT_NE(beep, 0u);
    HCHANNEL c = e->Effect_Play(beep);
    ASSERT_NE(c, 0u);
    EXPECT_TRUE(e->Channel_IsPlaying(c));
    // 0.3 s of sound (plus the encoder's padding) at 0.01 s a frame.
    int frames = frames_until_silent(c, 1000);
    EXPECT_GE(frames, 29);
    EXPECT_LE(frames, 45);
    EXPECT_FALSE(e->Channel_IsPlaying(c));
}

TEST_F(SoundTest, AStaleHandleNeverAliasesALaterSoundOnItsChannel) {
    HEFFECT beep = e->Effect_Load("data/beep.mp3", 0);
    HCHANNEL first = e->Effect_Play(beep);
    frames_until_silent(first, 1000);
    HCHANNEL second = e->Effect_Play(beep);
    ASSERT_NE(second, 0u);
    EXPECT_EQ(first & 0xFFu, second & 0xFFu); // the same, freed, channel
    EXPECT_NE(first, second);
    EXPECT_TRUE(e->Channel_IsPlaying(second));
    EXPECT_FALSE(e->Channel_IsPlaying(first));
}

TEST_F(SoundTest, OverlappingPlaysUseOtherChannelsUntilAllAreBusy) {
    HEFFECT beep = e->Effect_Load("data/beep.mp3", 0);
    std::vector<HCHANNEL> chans;
    for (int i = 0; i < 32; ++i) {
        HCHANNEL c = e->Effect_Play(beep);
        ASSERT_NE(c, 0u) << i;
        for (HCHANNEL other : chans) EXPECT_NE(other & 0xFFu, c & 0xFFu);
        chans.push_back(c);
    }
    EXPECT_EQ(e->Effect_Play(beep), 0u); // no channel left
    for (HCHANNEL c : chans) EXPECT_TRUE(e->Channel_IsPlaying(c));
    e->Channel_StopAll();
    for (HCHANNEL c : chans) EXPECT_FALSE(e->Channel_IsPlaying(c));
    EXPECT_NE(e->Effect_Play(beep), 0u);
}

TEST_F(SoundTest, FreeingAnEffectSilencesItAndBadHandlesAreHarmless) {
    HEFFECT beep = e->Effect_Load("data/beep.mp3", 0);
    HCHANNEL c = e->Effect_Play(beep);
    e->Effect_Free(beep);
    EXPECT_FALSE(e->Channel_IsPlaying(c));
    EXPECT_EQ(e->Effect_Play(beep), 0u);
    e->Effect_Free(beep);
    EXPECT_EQ(e->Effect_Play(0), 0u);
    EXPECT_FALSE(e->Channel_IsPlaying(0));
    EXPECT_FALSE(e->Channel_IsPlaying(0xFFFFFFFFu));
    HEFFECT again = e->Effect_Load("data/beep.mp3", 0);
    EXPECT_NE(again, beep); // the freed handle does not name the new effect
    EXPECT_EQ(e->Effect_Play(beep), 0u);
}

} // namespace

namespace {

// A desktop whose sound device cannot open still runs, silently.
TEST(SoundWithoutADevice, EffectsStillLoadAndPlay) {
    TempDir dir;
    dir.write("beep.mp3", fixture("beep.mp3"));
    const char* old = std::getenv("SDL_AUDIODRIVER");
    std::string saved = old ? old : "";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    engine_set_backend(create_sdl_engine);
    Engine* e = hgeCreate(ENGINE_VERSION);
    e->System_SetState(HGE_DATADIR, dir.path().c_str());
    bool started = e->System_Initiate();
    if (old)
        setenv("SDL_AUDIODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_AUDIODRIVER");
    if (started) {
        const char* driver = SDL_GetCurrentAudioDriver();
        EXPECT_STREQ(driver ? driver : "none", "dummy");
        HEFFECT beep = e->Effect_Load("data/beep.mp3", 0);
        EXPECT_NE(beep, 0u);
        EXPECT_NE(e->Effect_Play(beep), 0u);
    }
    e->System_Shutdown();
    e->Release();
    engine_set_backend(nullptr);
    if (!started) GTEST_SKIP() << "no video driver";
}

} // namespace
