// sound_test.cpp: music, effects and voices through real DirectSound. Under
// Wine this needs a sound device; the test run gives ALSA a null device
// (~/.asoundrc "pcm.!default { type null }").
#include "platform/win32/win32_sound.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <vector>

#include "link/sound_playback.h"

namespace mj::platform::win32 {
namespace {

std::string tempFolder() {
    wchar_t buf[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, buf);
    std::string path;
    for (DWORD i = 0; i < n; ++i) path.push_back(static_cast<char>(buf[i]));  // ASCII under Wine
    return path;
}

void put32(std::vector<char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}
void put16(std::vector<char>& out, std::uint16_t v) {
    for (int i = 0; i < 2; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
}

// A mono 16-bit 11025 Hz square wave of the given length.
std::string writeWave(const std::string& name, int milliseconds) {
    const std::uint32_t samples = 11025u * static_cast<std::uint32_t>(milliseconds) / 1000u;
    std::vector<char> f;
    f.insert(f.end(), {'R', 'I', 'F', 'F'});
    put32(f, 36 + samples * 2);
    f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(f, 16);
    put16(f, 1);
    put16(f, 1);
    put32(f, 11025);
    put32(f, 22050);
    put16(f, 2);
    put16(f, 16);
    f.insert(f.end(), {'d', 'a', 't', 'a'});
    put32(f, samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i) put16(f, (i / 20) % 2 ? 0x2000 : 0xE000);
    // One file per process: tests may run side by side.
    const std::string path = tempFolder() + std::to_string(GetCurrentProcessId()) + "_" + name;
    std::ofstream(path, std::ios::binary).write(f.data(), static_cast<std::streamsize>(f.size()));
    return path;
}

struct Win32Sound : ::testing::Test {
    Win32SoundDevice device;
    link::SoundState state;
    std::string music = writeWave("mjtest_music.wav", 2000);
    std::string voice = writeWave("mjtest_voice.wav", 1500);
    void SetUp() override {
        link::initDirectSound(state, device);
        ASSERT_TRUE(state.soundOn) << "no DirectSound device (give ALSA a null device under Wine)";
    }
};

TEST_F(Win32Sound, AVoiceCutsOffTheLoopingMusicForGood) {
    link::playWave(state, device, music, true);
    link::setWaveVolume(state, device, 3000);
    auto s = device.mainStatus();
    EXPECT_TRUE(s.playing);
    EXPECT_TRUE(s.looping);
    EXPECT_EQ(s.volume, 0);
    link::playWave(state, device, voice, false);
    s = device.mainStatus();
    EXPECT_TRUE(s.exists);
    EXPECT_FALSE(s.looping);
    EXPECT_TRUE(state.soundOn);
}

TEST_F(Win32Sound, VolumeRange) {
    link::playWave(state, device, music, true);
    struct Case {
        long volume;
        long expected;
    };
    // out-of-range values leave the last valid setting
    for (const Case c : {Case{0, -3000}, Case{3001, -3000}, Case{-1, -3000}, Case{1500, -1500}, Case{3000, 0}}) {
        link::setWaveVolume(state, device, c.volume);
        EXPECT_EQ(device.mainStatus().volume, c.expected) << c.volume;
    }
    link::stopWave(state, device);
    const auto s = device.mainStatus();
    EXPECT_FALSE(s.playing);
    EXPECT_EQ(s.position, 0u);
    EXPECT_TRUE(state.soundOn);
}

TEST_F(Win32Sound, UnusableFilesLeaveSilenceNotAnError) {
    const std::string notWave = tempFolder() + "mjtest_not.wav";
    std::ofstream(notWave, std::ios::binary) << "RIFF....WAVEjunkjunkjunk";
    for (const std::string& file : {tempFolder() + "mjtest_missing.wav", notWave}) {
        link::playWave(state, device, music, true);
        link::playWave(state, device, file, false);
        EXPECT_FALSE(device.mainStatus().exists) << file;
        EXPECT_TRUE(state.soundOn) << file;
    }
}

TEST_F(Win32Sound, EffectSlotsPlayTogetherAtMinus8Db) {
    link::playWave(state, device, music, true);
    link::playEffectWave(device, voice, 1);
    link::playEffectWave(device, voice, 2);
    for (int slot : {1, 2}) {
        const auto s = device.effectStatus(slot);
        EXPECT_TRUE(s.playing) << slot;
        EXPECT_EQ(s.volume, -800) << slot;
    }
    EXPECT_TRUE(device.mainStatus().playing) << "effects do not touch the main buffer";
    link::playEffectWave(device, music, 1);  // replaces the voice on slot 1, from the start
    EXPECT_TRUE(device.effectStatus(1).playing);
    link::playEffectWave(device, voice, 4);
    link::playEffectWave(device, voice, -1);
    EXPECT_FALSE(device.effectStatus(0).exists);
    EXPECT_FALSE(device.effectStatus(3).exists);
}

#ifdef MJ_COMMON_DIR
// The generated shared folder holds playable waves for every sound table entry.
TEST_F(Win32Sound, OurSoundFilesPlay) {
    link::loadSoundPaths(state, std::string(MJ_COMMON_DIR) + "\\..\\bin");
    for (int entry : {1, 2, 3, 4, 5, 6, 8}) {
        ASSERT_TRUE(device.createMain(state.soundFile[static_cast<std::size_t>(entry)]))
            << state.soundFile[static_cast<std::size_t>(entry)];
    }
    const link::VoiceId man{"00", "10", 1, 3};
    const auto discard = link::discardVoiceFile(state, man, 0x85);
    ASSERT_TRUE(discard);
    EXPECT_TRUE(device.createMain(*discard)) << *discard;
}
#endif

}  // namespace
}  // namespace mj::platform::win32
