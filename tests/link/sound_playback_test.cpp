// sound_playback_test.cpp: the sound file table, the error rules of the
// playback procedures and the voice names, checked on the recording device.
#include "link/sound_playback.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/sim/sim_sound.h"

namespace mj::link {
namespace {

using platform::sim::SimSoundDevice;

const std::string Folder = "C:\\game\\mj";
const std::string Music = "C:\\game\\mj\\..\\common\\music\\";

TEST(LoadSoundPaths, FillsTheTableEntriesAndTheVoiceFolder) {
    SoundState s;
    loadSoundPaths(s, Folder);
    const std::pair<int, const char*> expected[] = {{1, "majiang.wav"}, {2, "dapai.wav"}, {3, "qupai.wav"},
                                                    {4, "xipai.wav"},   {5, "zhise.wav"}, {6, "tishi.wav"},
                                                    {8, "lianlai.wav"}};
    for (const auto& [entry, file] : expected) EXPECT_EQ(s.soundFile[static_cast<std::size_t>(entry)], Music + file);
    for (std::size_t i : {0u, 7u, 9u, 100u}) EXPECT_TRUE(s.soundFile[i].empty()) << i;
    EXPECT_EQ(s.voiceDir, "C:\\game\\mj\\..\\common\\mj\\");
}

struct SoundPlayback : ::testing::Test {
    SimSoundDevice device;
    SoundState state;
    std::string music, voice;
    void SetUp() override {
        loadSoundPaths(state, Folder);
        music = state.soundFile[SoundMusic];
        voice = state.voiceDir + "v00101345.wav";
        device.files = {music, voice, state.soundFile[SoundDiscard]};
        initDirectSound(state, device);
        device.log.clear();
    }
};

TEST_F(SoundPlayback, NoDeviceSwitchesSoundOffAndTheClientGoesOn) {
    SimSoundDevice none;
    none.available = false;
    SoundState s;
    initDirectSound(s, none);
    EXPECT_FALSE(s.soundOn);
}

TEST_F(SoundPlayback, AVoiceStopsTheMusicForGood) {
    playWave(state, device, music, true);
    setWaveVolume(state, device, 3000);
    playWave(state, device, voice, false);
    const std::vector<std::string> expected = {"create main " + music,  "play main loop",       "volume main 0",
                                               "release main " + music, "create main " + voice, "play main once"};
    EXPECT_EQ(device.log, expected);
    ASSERT_TRUE(device.main);
    EXPECT_FALSE(device.main->looping);
}

TEST_F(SoundPlayback, MissingFileLeavesSilenceAndSoundOn) {
    playWave(state, device, music, true);
    playWave(state, device, Music + "nothere.wav", false);
    EXPECT_FALSE(device.main);
    EXPECT_TRUE(state.soundOn);
}

TEST_F(SoundPlayback, DeviceErrorsSwitchSoundOff) {
    struct Case {
        const char* name;
        bool SimSoundDevice::*fault;
        void (*act)(SoundState&, SimSoundDevice&, const std::string&);
    };
    const Case cases[] = {
        {"release before play", &SimSoundDevice::failRelease,
         [](SoundState& s, SimSoundDevice& d, const std::string& f) { playWave(s, d, f, false); }},
        {"stop", &SimSoundDevice::failStop,
         [](SoundState& s, SimSoundDevice& d, const std::string&) { stopWave(s, d); }},
        {"volume", &SimSoundDevice::failVolume,
         [](SoundState& s, SimSoundDevice& d, const std::string&) { setWaveVolume(s, d, 3000); }},
    };
    for (const Case& c : cases) {
        SimSoundDevice d;
        d.files = {music, voice};
        SoundState s;
        initDirectSound(s, d);
        playWave(s, d, music, true);
        d.*c.fault = true;
        c.act(s, d, voice);
        EXPECT_FALSE(s.soundOn) << c.name;
    }
    // A failed release leaves the old buffer and creates nothing new.
    SimSoundDevice d;
    d.files = {music, voice};
    SoundState s;
    initDirectSound(s, d);
    playWave(s, d, music, true);
    d.failRelease = true;
    playWave(s, d, voice, false);
    EXPECT_EQ(d.main->file, music);
}

TEST_F(SoundPlayback, VolumeOutsideTheRangeChangesNothing) {
    playWave(state, device, music, true);
    struct Case {
        long volume;
        long expected;
    };
    for (const Case c : {Case{0, -3000}, Case{3001, -3000}, Case{-1, -3000}, Case{3000, 0}, Case{1, -2999}}) {
        setWaveVolume(state, device, c.volume);
        EXPECT_EQ(device.main->volume, c.expected) << c.volume;
    }
    EXPECT_TRUE(state.soundOn);
}

TEST_F(SoundPlayback, NothingToStopOrTurnDownIsNoError) {
    device.failStop = device.failVolume = true;
    stopWave(state, device);
    setWaveVolume(state, device, 3000);
    EXPECT_TRUE(state.soundOn);
    EXPECT_TRUE(device.log.empty());
}

TEST_F(SoundPlayback, EffectSlotsAreIndependentAndQuietFromTheStart) {
    playWave(state, device, music, true);
    EXPECT_TRUE(playEffectWave(device, voice, 1));
    playEffectWave(device, state.soundFile[SoundDiscard], 2);
    EXPECT_TRUE(device.effects[1]->playing);
    EXPECT_TRUE(device.effects[2]->playing);
    EXPECT_TRUE(device.main->playing);
    playEffectWave(device, state.soundFile[SoundDiscard], 1);
    EXPECT_EQ(device.effects[1]->file, state.soundFile[SoundDiscard]);
    // the volume is set before the voice starts, never after
    const auto at = [&](const std::string& line) { return std::find(device.log.begin(), device.log.end(), line); };
    EXPECT_LT(at("effect 1 volume -800"), at("effect 1 play " + voice));
    const auto before = device.log.size();
    EXPECT_FALSE(playEffectWave(device, voice, 4));
    EXPECT_FALSE(playEffectWave(device, voice, -1));
    EXPECT_EQ(device.log.size(), before);
}

// ------------------------------------------------------------ voice names

TEST(VoiceNames, ComposedAsTheTableAndClaimsNameThem) {
    SoundState s;
    loadSoundPaths(s, Folder);
    const VoiceId man{"00", "10", 1, 3};
    const VoiceId woman{"00", "10", 0, 2};
    const std::string dir = s.voiceDir;
    EXPECT_EQ(discardVoiceFile(s, man, 0x85), dir + "v00101345.wav");    // 筒 5: suit 8 spoken as 4
    EXPECT_EQ(discardVoiceFile(s, man, 0x43), dir + "v00101383.wav");    // 萬 3: suit 4 spoken as 8
    EXPECT_EQ(discardVoiceFile(s, woman, 0x15), dir + "v00100215.wav");  // 红中
    EXPECT_EQ(discardVoiceFile(s, man, 0x29), dir + "v00101329.wav");
    EXPECT_EQ(claimVoiceFile(s, man, OpPeng), dir + "v00101302.wav");
    EXPECT_EQ(claimVoiceFile(s, man, OpSingleGang), dir + "v00101303.wav");
    EXPECT_EQ(claimVoiceFile(s, woman, OpHu), dir + "v00100209.wav");
    EXPECT_EQ(phraseVoiceFile(s, man, 2, 3), dir +
                                                 "v001013"
                                                 "00203.wav");
    EXPECT_EQ(phraseVoiceFile(s, man, 1, 12), dir +
                                                  "v001013"
                                                  "001012.wav");
}

// Server-supplied codes must not lead out of the voice folder.
TEST(VoiceNames, NoFileForAnythingTheNamesCannotHold) {
    SoundState s;
    loadSoundPaths(s, Folder);
    const VoiceId bad[] = {
        {"..\\..", "10", 1, 3}, {"00", "..", 1, 3},        {"00", "a/b", 1, 3},
        {"0:", "10", 1, 3},     {"00", "123456789", 1, 3}, {"00", std::string("1\0", 2), 1, 3},
        {"0\xE4", "10", 1, 3},  {"00", "10", -1, 3},       {"00", "10", 256, 3},
        {"00", "10", 1, 1000},
    };
    for (const VoiceId& id : bad) {
        EXPECT_FALSE(isSafeVoiceId(id)) << id.voiceCode1 << "|" << id.voiceCode2;
        EXPECT_FALSE(discardVoiceFile(s, id, 0x11)) << id.voiceCode1 << "|" << id.voiceCode2;
    }
    const VoiceId ok{"AB12cd", "12345678", 2, 3};
    EXPECT_TRUE(discardVoiceFile(s, ok, 0x11));
    const VoiceId man{"00", "10", 1, 3};
    for (TileCode t : {0x00, 0x18, 0x10, 0x2A, 0x31, 0x30, 0xF1}) EXPECT_FALSE(discardVoiceFile(s, man, t)) << int(t);
    EXPECT_FALSE(claimVoiceFile(s, man, OpPass));
    for (auto [list, n] : {std::pair{0, 1}, {3, 1}, {1, 0}, {2, 256}}) EXPECT_FALSE(phraseVoiceFile(s, man, list, n));
}

#ifdef MJ_COMMON_DIR
// Every voice the table, the claims and the quick phrases ask for, in the
// three voice styles the seats end up with, is among the generated files.
TEST(VoiceNames, EveryComposedVoiceExists) {
    namespace fs = std::filesystem;
    SoundState s;
    s.voiceDir = std::string(MJ_COMMON_DIR) + "/mj/";
    const VoiceId styles[] = {{"00", "10", 0, 2}, {"00", "10", 1, 3}, {"00", "30", 1, 3}};
    std::vector<std::string> names;
    for (const VoiceId& id : styles) {
        for (int suit : {1, 2, 4, 8})
            for (int rank = 1; rank <= (suit == 1 ? 7 : 9); ++rank)
                names.push_back(*discardVoiceFile(s, id, static_cast<TileCode>(suit << 4 | rank)));
        for (ClaimOp op : {OpChi, OpPeng, OpMingGang, OpAnGang, OpSingleGang, OpHu})
            names.push_back(*claimVoiceFile(s, id, op));
        for (int list : {1, 2})
            for (int n = 1; n <= 8; ++n) names.push_back(*phraseVoiceFile(s, id, list, n));
    }
    for (const std::string& n : names) EXPECT_TRUE(fs::exists(n)) << n;
    for (const char* music : {"majiang", "dapai", "qupai", "xipai", "zhise", "tishi", "lianlai"})
        EXPECT_TRUE(fs::exists(std::string(MJ_COMMON_DIR) + "/music/" + music + ".wav")) << music;
}
#endif

}  // namespace
}  // namespace mj::link
