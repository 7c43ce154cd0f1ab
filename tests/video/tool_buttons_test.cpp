// tool_buttons_test.cpp: photos, the album, the buttons' pictures and tips.
#include <gtest/gtest.h>

#include "video/tool_buttons.h"
#include "video_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class ToolButtons : public VideoFixture {
protected:
    void SetUp() override {
        VideoFixture::SetUp();
        // 6:05:07 on 4 March 2012.
        sim.clock.setMidnightOffset(Millis((6 * 3600 + 5 * 60 + 7) * 1000) - sim.clock.monotonic());
    }
    std::string photoPath(const std::string& name) { return "C:\\game\\mj\\photo\\" + name; }
};

TEST_F(ToolButtons, PhotosAreNewFilesNamedByTheTimeAndNeverOverwritten) {
    vs().lastFrame[2] = frame(0x224466);
    sim.files.files[photoPath("201234657.bmp")] = "an older photo";
    ctl("ImCmd", 10).onClick();
    ctl("ImCmd", 10).onClick();
    EXPECT_EQ(sim.files.files[photoPath("201234657.bmp")], "an older photo");
    const auto& f = vs().lastFrame[2];
    const std::string bytes(f.begin(), f.end());
    EXPECT_EQ(sim.files.files[photoPath("201234657_2.bmp")], bytes);
    EXPECT_EQ(sim.files.files[photoPath("201234657_3.bmp")], bytes);
    EXPECT_TRUE(sim.files.folders.count("C:\\game\\mj\\photo"));
    EXPECT_EQ(client->sysmsg[1]->items(), std::vector<std::string>{video::PhotoSavedText});
    EXPECT_TRUE(video::decodeBmp(f).has_value()) << "a photo is a whole picture";
    EXPECT_TRUE(sim.process.logged("photo: saved " + photoPath("201234657_3.bmp")));
}

TEST_F(ToolButtons, EveryToolButtonHasTheFirstButtonsPointer) {
    const int first = ctl("ImCmd", 0).mousePointer();
    EXPECT_EQ(first, ui::PointerCustom);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(ctl("ImCmd", i).mousePointer(), first) << i;
}

TEST_F(ToolButtons, APhotoWithoutAFrameWritesAndSaysNothing) {
    const auto files = sim.files.files.size();
    ctl("ImCmd", 2).onClick();
    EXPECT_EQ(sim.files.files.size(), files);
    EXPECT_TRUE(client->sysmsg[0]->items().empty() || client->sysmsg[0]->items()[0] != video::PhotoSavedText);
    EXPECT_EQ(client->sysmsg[1]->listCount(), 0);
}

TEST_F(ToolButtons, TheAlbumOpensThePhotoFolder) {
    ctl("ImCmd", 0).onClick();
    EXPECT_EQ(sim.process.openedFolders, std::vector<std::string>{"C:\\game\\mj\\photo"});
    EXPECT_TRUE(sim.files.folders.count("C:\\game\\mj\\photo"));
}

TEST_F(ToolButtons, PanelButtonsToggleAndTheLastKindDoesNothing) {
    for (int v = 0; v < 4; ++v) {
        ctl("ImCmd", 4 * v + 1).onClick();
        ASSERT_TRUE(vs().panels[static_cast<std::size_t>(v)].form->visible()) << v;
        EXPECT_EQ(vs().zoomPanel, v);
        ctl("ImCmd", 4 * v + 1).onClick();
        EXPECT_FALSE(vs().panels[static_cast<std::size_t>(v)].form->visible()) << v;
    }
    const auto before = vs().videoClosed;
    for (int i : {7, 11, 15}) ctl("ImCmd", i).onClick();
    EXPECT_EQ(vs().videoClosed, before);
}

TEST_F(ToolButtons, ASecondOffClickChangesNothing) {
    loadVideoPlugin();
    linkAll(12);
    sock().peerFrame(1, frame(0x1));
    pump(Millis(30));
    ctl("ImCmd", 5).onClick();
    ctl("ImCmd", 4).onClick();
    EXPECT_FALSE(vs().panels[1].form->visible()) << "hidden with the view";
    EXPECT_TRUE(vs().panels[1].loaded) << "but not unloaded";
    const auto states = videoPlugin->videoStates;
    ctl("ImgShow", 1).setVisible(false);
    ctl("ImCmd", 4).onClick();
    EXPECT_EQ(videoPlugin->videoStates, states);
    EXPECT_FALSE(ctl("ImgShow", 1).visible());
}

TEST_F(ToolButtons, HoverPicturesComeBackAndOnlyTheOwnButtonsShowATip) {
    auto pictureOf = [&](int i) { return ctl("ImCmd", i).picture() ? ctl("ImCmd", i).picture()->resourceId : 0; };
    EXPECT_EQ(pictureOf(0), 863);
    EXPECT_EQ(pictureOf(7), 858);
    EXPECT_EQ(pictureOf(12), 850);
    EXPECT_EQ(ctl("ImCmd", 9).mousePointer(), ctl("ImCmd", 0).mousePointer());

    ctl("ImCmd", 3).onMouseMove({});
    EXPECT_EQ(pictureOf(3), 857);
    auto& tip = ctl("Tiplbl");
    EXPECT_TRUE(tip.visible());
    EXPECT_EQ(tip.caption(), "视频开关");
    EXPECT_EQ(tip.width(), 54);
    EXPECT_EQ(tip.left(), ctl("PicLocal", 0).left() + ctl("ImCmd", 3).left() + ctl("ImCmd", 3).width());

    tip.setVisible(false);
    ctl("ImCmd", 9).onMouseMove({});
    EXPECT_EQ(pictureOf(9), 855);
    EXPECT_FALSE(tip.visible());

    ctl("PicLocal", 2).onMouseMove({});
    EXPECT_EQ(pictureOf(3), 853);
    EXPECT_EQ(pictureOf(9), 851);
    for (bool h : vs().imCmdHover) EXPECT_FALSE(h);
}

}  // namespace
}  // namespace mj::test
