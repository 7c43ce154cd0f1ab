// video_switch_test.cpp: the settings dialog's video switch.
#include <gtest/gtest.h>

#include "video/video_switch.h"
#include "video_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;
using video::SwitchResult;

class VideoSwitch : public VideoFixture {
protected:
    const std::string iniPath = "C:\\game\\mj\\vidiosetting.ini";
    std::string stored() { return sim.ini.get(iniPath, "vidiosetting", "vidiovalue"); }
};

TEST_F(VideoSwitch, AMissingFileIsOnlyCreated) {
    sim.files.remove(iniPath);
    vs().videoEnabled = false;
    EXPECT_EQ(video::flipVideoSwitch(c()), SwitchResult::FileCreated);
    EXPECT_EQ(stored(), "1");
    EXPECT_FALSE(vs().videoEnabled);
    EXPECT_TRUE(calls().empty());
}

TEST_F(VideoSwitch, OffStopsEverythingAndOnBringsItBack) {
    c().startOwnCamera(c());
    c().loginVideoServer(c());
    pump(Millis(200));
    linkAll(15);
    sock().peerFrame(2, frame(0x222222));
    pump(Millis(30));
    ctl("ImCmd", 9).onClick();  // frm_Remote2 open
    ASSERT_TRUE(ctl("vshow", 2).visible());
    clearCalls();

    EXPECT_EQ(video::flipVideoSwitch(c()), SwitchResult::TurnedOff);
    EXPECT_TRUE(sim.process.logged("video switch: off"));
    EXPECT_EQ(stored(), "0");
    EXPECT_FALSE(vs().videoEnabled);
    EXPECT_FALSE(cam().capturing);
    for (const char* n : {"vcap1"}) EXPECT_FALSE(ctl(n).visible());
    EXPECT_FALSE(ctl("PicLocal", 0).visible());
    EXPECT_FALSE(ctl("vshow", 2).visible());
    EXPECT_FALSE(ctl("ImgKuang", 2).visible());
    EXPECT_TRUE(ctl("Tou", 2).visible());
    EXPECT_FALSE(vs().panels[2].form->visible());
    EXPECT_EQ(calls(), std::vector<std::string>{"logout"});

    clearCalls();
    ctl("ImgShow", 2).setVisible(true);  // the seat's video is to come back
    EXPECT_EQ(video::flipVideoSwitch(c()), SwitchResult::TurnedOn);
    EXPECT_EQ(stored(), "1");
    EXPECT_TRUE(vs().videoEnabled);
    EXPECT_EQ(calls(), (std::vector<std::string>{"configure 127.0.0.1 8888 3", "login zhang"}));
    EXPECT_TRUE(vs().p2pConfigured);
    EXPECT_TRUE(cam().capturing);
    EXPECT_TRUE(ctl("vcap1").visible());
    EXPECT_FALSE(ctl("Tou", 0).visible());
    EXPECT_TRUE(ctl("vshow", 2).visible());
    EXPECT_FALSE(ctl("ImgShow", 2).visible());
    EXPECT_FALSE(ctl("Tou", 2).visible());
}

TEST_F(VideoSwitch, OnBeforeTheOwnSeatHasANameStartsNoLogin) {
    vs().videoEnabled = false;
    c().table.custom[0].name.clear();
    EXPECT_EQ(video::flipVideoSwitch(c()), SwitchResult::TurnedOn);
    EXPECT_TRUE(calls().empty());
    EXPECT_FALSE(vs().p2pConfigured);
}

}  // namespace
}  // namespace mj::test
