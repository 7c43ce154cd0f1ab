// settings_dialog_test.cpp: the switches, OK and Cancel, the voice style and
// the video switch with its file.
#include <gtest/gtest.h>

#include "dispatch/player_records.h"
#include "shell/settings_dialog.h"
#include "shell/shell_fixture.h"

namespace mj::test {
namespace {

class SettingsTest : public ShellFixture {
protected:
    const std::string videoIni = "C:\\game\\mj\\vidiosetting.ini";
    ui::Form& dialog() { return windows().vosSet.get(); }
    ui::Control& sw(int i) { return *dialog().find("Command2", i); }
    void clickSwitch(int i) { sw(i).onClick(); }
    void ok() { dialog().find("Command1", 0)->onClick(); }
    void cancel() { dialog().find("Command1", 1)->onClick(); }
    std::vector<std::string> soundLogSince(std::size_t from) {
        return {sim.sound.log.begin() + static_cast<std::ptrdiff_t>(from), sim.sound.log.end()};
    }
    void seatVoices() {
        for (std::size_t i = 0; i < 4; ++i) {
            auto& p = client->dispatch.player[i];
            p.sex = i % 2 == 0 ? 1 : 0;
            p.voiceCode1 = "00";
            p.voiceCode2 = "10";
            client->dispatch.seating.savedVoiceNo[i] = "1" + std::to_string(i);
        }
    }
};

TEST_F(SettingsTest, SwitchesStartFromTheRealState) {
    client->link.sound.soundOn = false;  // a sound error before the first showing
    client->video.videoEnabled = false;
    EXPECT_EQ(shownResource(sw(0)), 134);  // music on: the click switches it off
    EXPECT_EQ(shownResource(sw(2)), 135);
    EXPECT_EQ(shownResource(sw(3)), 136);
    EXPECT_EQ(shownResource(sw(4)), 135);
    EXPECT_EQ(dialog().caption(), "音效设置");
    EXPECT_EQ(dialog().alpha(), 200);
}

TEST_F(SettingsTest, CancelSwitchesTheMarkedOptionsBack) {
    sim.sound.files.insert(client->link.sound.soundFile[link::SoundMusic]);
    clickSwitch(0);
    EXPECT_FALSE(client->link.musicOn);
    EXPECT_EQ(shownResource(sw(0)), 135);
    clickSwitch(1);
    clickSwitch(1);  // twice: unmarked, stays as the second click left it
    const std::size_t from = sim.sound.log.size();
    cancel();
    EXPECT_FALSE(dialog().visible());
    EXPECT_TRUE(client->link.musicOn);
    EXPECT_EQ(shownResource(sw(0)), 134);
    EXPECT_TRUE(client->link.effectsOn);
    const auto log = soundLogSince(from);
    EXPECT_NE(std::find(log.begin(), log.end(), "play main loop"), log.end());
    // The marks are gone: a second Cancel changes nothing.
    cancel();
    EXPECT_TRUE(client->link.musicOn);
}

// Music and all sound switched off together, then Cancel: both come back, and
// the music plays again from the start, looping.
TEST_F(SettingsTest, CancelRestoresMusicAndAllSoundTogether) {
    sim.sound.files.insert(client->link.sound.soundFile[link::SoundMusic]);
    for (const auto& order : {std::vector<int>{0, 2}, std::vector<int>{2, 0}}) {
        for (int i : order) clickSwitch(i);
        EXPECT_FALSE(client->link.musicOn);
        EXPECT_FALSE(client->link.sound.soundOn);
        const std::size_t from = sim.sound.log.size();
        cancel();
        EXPECT_TRUE(client->link.musicOn);
        EXPECT_TRUE(client->link.sound.soundOn);
        EXPECT_EQ(shownResource(sw(0)), 134);
        EXPECT_EQ(shownResource(sw(2)), 134);
        const auto log = soundLogSince(from);
        EXPECT_NE(std::find(log.begin(), log.end(), "play main loop"), log.end()) << order[0];
        ASSERT_TRUE(sim.sound.main);
        EXPECT_TRUE(sim.sound.main->playing) << order[0];
    }
}

TEST_F(SettingsTest, ThePluginHearsAllSoundSwitchedAndSwitchedBack) {
    loadPlugin();
    clickSwitch(2);
    EXPECT_FALSE(client->link.sound.soundOn);
    EXPECT_EQ(shownResource(sw(2)), 135);
    cancel();
    EXPECT_TRUE(client->link.sound.soundOn);
    EXPECT_EQ(plugin->states, (std::vector<std::pair<int, bool>>{{1, false}, {1, true}}));
}

TEST_F(SettingsTest, OkKeepsTheChanges) {
    clickSwitch(1);
    ok();
    cancel();
    EXPECT_FALSE(client->link.effectsOn);
    EXPECT_EQ(shownResource(sw(1)), 135);
}

TEST_F(SettingsTest, TheVoiceStyleToggles) {
    seatVoices();
    clickSwitch(3);
    EXPECT_EQ(shownResource(sw(3)), 137);
    EXPECT_EQ(client->dispatch.player[0].voiceCode2, "30");
    EXPECT_EQ(client->dispatch.player[2].voiceCode2, "30");
    EXPECT_EQ(client->dispatch.player[1].voiceCode2, "10");  // women keep theirs
    clickSwitch(3);
    EXPECT_EQ(shownResource(sw(3)), 136);
    EXPECT_EQ(client->dispatch.player[0].voiceCode2, "10");
    EXPECT_EQ(client->dispatch.player[2].voiceCode2, "12");
    clickSwitch(3);
    cancel();
    EXPECT_EQ(client->dispatch.player[2].voiceCode2, "12");
    EXPECT_FALSE(client->shell.dialectVoice);
}

TEST_F(SettingsTest, TheTableFillingPutsTheVoiceSwitchBackToStandard) {
    namespace info = dispatch::userinfo;
    // The table fills: four names, then four men's profiles.
    const auto fillTable = [&] {
        const std::pair<std::uint8_t, const char*> seats[] = {{1, "zhang"}, {2, "wang"}, {4, "li"}, {8, "zhao"}};
        for (const auto& [bit, name] : seats) {
            WireMessage m = message(3, bit);
            setText(m, 16, name);
            ASSERT_FALSE(receive(m));
        }
        for (const auto& [bit, name] : seats) {
            WireMessage m = message(20, bit == 1 ? 15 : bit);
            setText(m, info::LoginName, name);
            m[info::Sex] = 1;
            m[info::NoProps] = 1;
            ASSERT_FALSE(receive(m));
        }
        ASSERT_EQ(client->dispatch.player[1].voiceCode2, "10");
    };
    seatVoices();
    clickSwitch(3);
    ASSERT_EQ(shownResource(sw(3)), 137);
    fillTable();
    EXPECT_EQ(shownResource(sw(3)), 136);
    // The next click is heard: every man speaks dialect.
    clickSwitch(3);
    EXPECT_EQ(shownResource(sw(3)), 137);
    for (const auto& p : client->dispatch.player) EXPECT_EQ(p.voiceCode2, "30");
    // Cancel undoes only the click made after the reset.
    cancel();
    EXPECT_EQ(shownResource(sw(3)), 136);
    for (const auto& p : client->dispatch.player) EXPECT_EQ(p.voiceCode2, "10");

    // A click before the reset is not undone by a Cancel after it.
    clickSwitch(3);
    fillTable();
    cancel();
    EXPECT_EQ(shownResource(sw(3)), 136);
    for (const auto& p : client->dispatch.player) EXPECT_EQ(p.voiceCode2, "10");
}

TEST_F(SettingsTest, TheVideoSwitchWritesItsFileAndIsNeverUndone) {
    ASSERT_TRUE(client->video.videoEnabled);  // start-up made the file with "1"
    client->table.custom[0].name = "zhang";
    sim.components.videoCalls.clear();
    clickSwitch(4);
    EXPECT_FALSE(client->video.videoEnabled);
    EXPECT_EQ(sim.ini.get(videoIni, "vidiosetting", "vidiovalue"), "0");
    EXPECT_EQ(shownResource(sw(4)), 135);
    cancel();
    EXPECT_FALSE(client->video.videoEnabled);
    clickSwitch(4);
    EXPECT_TRUE(client->video.videoEnabled);
    EXPECT_EQ(sim.ini.get(videoIni, "vidiosetting", "vidiovalue"), "1");
    EXPECT_EQ(sim.components.videoCalls.back(), "login zhang");
    // A missing file is made first, with video on and nothing else changed;
    // the next click switches.
    sim.files.files.erase(videoIni);
    clickSwitch(4);
    EXPECT_TRUE(client->video.videoEnabled);
    EXPECT_EQ(sim.ini.get(videoIni, "vidiosetting", "vidiovalue"), "1");
    clickSwitch(4);
    EXPECT_FALSE(client->video.videoEnabled);
    EXPECT_EQ(sim.ini.get(videoIni, "vidiosetting", "vidiovalue"), "0");
    EXPECT_EQ(shownResource(sw(4)), 135);
}

}  // namespace
}  // namespace mj::test
