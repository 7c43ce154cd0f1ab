// video_display_test.cpp: the own camera's start and show, the video-on
// icons, and the plug-in's popup over a picture.
#include <gtest/gtest.h>

#include <stdexcept>

#include "shell/shell_windows.h"
#include "video/video_display.h"
#include "video_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class OwnCamera : public VideoFixture {};

TEST_F(OwnCamera, AGoodStartShowsThePictureOnTheFourthTick) {
    c().startOwnCamera(c());
    EXPECT_EQ(sim.components.cameraCalls, (std::vector<std::string>{"initCapture", "startCapture"}));
    EXPECT_TRUE(cam().options.option4 && cam().options.option2 && !cam().options.option1);
    EXPECT_EQ(cam().options.videoMode, 2);
    EXPECT_TRUE(vs().ownVideoOn);
    EXPECT_FALSE(ctl("vcap1").visible());
    const auto& face = ctl("Tou", 0);
    EXPECT_EQ(ctl("vcap1").top(), face.top());
    EXPECT_EQ(ctl("PicLocal", 0).top(), ctl("vcap1").top() + ctl("vcap1").height());
    pump(Millis(150));
    EXPECT_FALSE(ctl("vcap1").visible());
    pump(Millis(50));
    EXPECT_TRUE(ctl("vcap1").visible());
    EXPECT_TRUE(ctl("PicLocal", 0).visible());

    // The own frames show on the camera's own picture.
    cam().capture(frame(0x0A0B0C));
    pump();
    EXPECT_EQ(shownColour(ctl("vcap1")), 0x0A0B0Cu);

    // Once per cycle.
    c().startOwnCamera(c());
    EXPECT_EQ(sim.components.cameraCalls.size(), 2u);
}

TEST_F(OwnCamera, NoCameraIsReportedOnEachAttemptAndTheGameGoesOn) {
    cam().startResult = 3;
    for (int hand = 0; hand < 2; ++hand) {
        c().startOwnCamera(c());
        EXPECT_FALSE(vs().ownVideoOn);
        EXPECT_FALSE(ctl("PicLocal", 0).visible());
        c().leaveVideo(c());
    }
    const auto& lines = client->sysmsg;
    EXPECT_EQ(lines[0]->items(), std::vector<std::string>{video::NoCameraText});
    EXPECT_EQ(lines[1]->items(), std::vector<std::string>{video::NoCameraText});
    pump(Millis(300));
    EXPECT_FALSE(ctl("vcap1").visible());
}

TEST_F(OwnCamera, AFailingCameraCountsAsNoCamera) {
    struct Broken : platform::sim::SimCamera {
        using SimCamera::SimCamera;
        int startCapture() override { throw std::runtime_error("driver gone"); }
    };
    std::vector<std::string> calls;
    vs().camera = std::make_unique<Broken>(sim.clock, calls);
    c().startOwnCamera(c());
    EXPECT_FALSE(vs().ownVideoOn);
    EXPECT_EQ(client->sysmsg[1]->items(), std::vector<std::string>{video::NoCameraText});
    EXPECT_FALSE(sim.process.endedWith.has_value());
}

TEST_F(OwnCamera, TheIconsTurnVideoBackOn) {
    loadVideoPlugin();
    c().startOwnCamera(c());
    pump(Millis(200));
    ctl("ImCmd", 3).onClick();  // own video off
    EXPECT_FALSE(cam().capturing);
    EXPECT_FALSE(ctl("vcap1").visible());
    EXPECT_TRUE(ctl("ImgShow", 0).visible());
    EXPECT_TRUE(vs().ownVideoOn) << "kept, so the icon can restart it";
    // A profile's show does not bring the stopped camera's picture back.
    c().showOwnVideo(c(), vs().ownVideoOn, false);
    EXPECT_FALSE(ctl("vcap1").visible());
    ctl("ImgShow", 0).onClick();
    EXPECT_TRUE(cam().capturing);
    EXPECT_TRUE(ctl("vcap1").visible());
    EXPECT_FALSE(ctl("ImgShow", 0).visible());
    EXPECT_FALSE(ctl("Tou", 0).visible());

    linkAll(12);
    sock().peerFrame(3, frame(0x303030));
    pump(Millis(30));
    ctl("ImCmd", 12).onClick();  // view 3 off
    EXPECT_TRUE(vs().videoClosed[3]);
    EXPECT_FALSE(ctl("vshow", 3).visible());
    EXPECT_TRUE(ctl("ImgShow", 3).visible());
    sock().peerFrame(3, frame(0x313131));
    pump();
    EXPECT_EQ(shownColour(ctl("vshow", 3)), 0x303030u) << "nothing is shown while closed";
    ctl("ImgShow", 3).onClick();
    EXPECT_FALSE(vs().videoClosed[3]);
    EXPECT_TRUE(ctl("vshow", 3).visible());
    pump(Millis(30));
    EXPECT_EQ(shownColour(ctl("vshow", 3)), 0x313131u) << "the stored frame is painted again";
    EXPECT_EQ(videoPlugin->videoStates.back(), (VideoPlugin::State{2, false, 3}));
}

TEST_F(OwnCamera, HoverOpensThePopupOncePerEntryInsideThePicture) {
    loadVideoPlugin();
    client->dispatch.player[2].nickName = "小王";
    auto& viewer = ctl("vshow", 2);
    struct Move {
        double x, y;
        bool opens;
    };
    for (const Move m : {Move{0, 5, false}, Move{viewer.width(), 5, false}, Move{5, viewer.height() + 1, false},
                         Move{5, 5, true}, Move{6, 6, false}}) {
        const auto before = videoPlugin->popups.size();
        viewer.onMouseMove({0, 0, m.x, m.y});
        EXPECT_EQ(videoPlugin->popups.size(), before + (m.opens ? 1 : 0)) << m.x << "," << m.y;
    }
    EXPECT_EQ(vs().qvVideoSeat, 3);

    vs().qvVideoShown = false;
    client->dispatch.player[1].nickName.clear();
    ctl("vshow", 1).onMouseMove({0, 0, 5, 5});
    EXPECT_EQ(videoPlugin->popups, std::vector<int>{2}) << "an empty seat opens nothing";
    ctl("Proponeself").onMouseMove({0, 0, 5, 5});
    EXPECT_EQ(videoPlugin->popups, (std::vector<int>{2, 0}));
    EXPECT_EQ(vs().qvVideoSeat, 1);
}

// The pop-up's state is one: the pointer over the table closes what the hover
// opened, so the next hover opens it again; never while the card shows.
TEST_F(OwnCamera, ThePopupClosesOverTheTableAndOpensAgainUnlessTheCardShows) {
    loadVideoPlugin();
    client->dispatch.player[2].nickName = "小王";
    auto& viewer = ctl("vshow", 2);
    viewer.onMouseMove({0, 0, 5, 5});
    viewer.onMouseMove({0, 0, 6, 6});
    EXPECT_EQ(videoPlugin->popups, std::vector<int>{2});
    client->pic1->onMouseMove({0, 0, 300, 300});
    EXPECT_EQ(videoPlugin->closed, std::vector<int>{2});
    EXPECT_FALSE(vs().qvVideoShown);
    EXPECT_EQ(vs().qvVideoSeat, 0);
    viewer.onMouseMove({0, 0, 5, 5});
    EXPECT_EQ(videoPlugin->popups, (std::vector<int>{2, 2}));

    client->pic1->onMouseMove({0, 0, 300, 300});
    shell::shellWindows(c()).information.get().setVisible(true);
    viewer.onMouseMove({0, 0, 5, 5});
    EXPECT_EQ(videoPlugin->popups, (std::vector<int>{2, 2})) << "the player card is shown";
    EXPECT_EQ(vs().qvVideoSeat, 0);
}

TEST_F(OwnCamera, WithoutThePluginPicturesStillShow) {
    linkAll(12);
    sock().peerFrame(1, frame(0x123456));
    pump(Millis(30));
    EXPECT_EQ(shownColour(ctl("vshow", 1)), 0x123456u);
    ctl("vshow", 1).onMouseMove({0, 0, 5, 5});
    EXPECT_FALSE(vs().qvVideoShown);
}

}  // namespace
}  // namespace mj::test
