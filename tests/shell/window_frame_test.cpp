// window_frame_test.cpp: the frame on a large screen, the caption buttons'
// pictures and actions, and the drag area.
#include <gtest/gtest.h>

#include "shell/shell_fixture.h"
#include "shell/window_frame.h"

namespace mj::test {
namespace {

class WindowFrameTest : public ShellFixture {
protected:
    ui::Control& frame(std::string_view name, int index = -1) { return control(*client, name, index); }
    int shown(std::string_view name) { return shownResource(frame(name, 0)); }
};

TEST_F(WindowFrameTest, ALargeScreenGetsTheFramedWindowPaintedForItsFinalSize) {
    const ui::Form& m = client->mainForm;
    EXPECT_EQ(m.width(), 1040 * 15);
    EXPECT_EQ(m.height(), 796 * 15);
    EXPECT_EQ(client->pic1->left(), 8 * 15);
    EXPECT_EQ(client->pic1->top(), 20 * 15);
    const double w = m.width(), h = m.height();
    // Destination of each piece: left, top, width, height (twips).
    const double dest[8][4] = {{0, 0, 120, 300},
                               {120, 0, w - 240, 300},
                               {w - 120, 0, 120, 300},
                               {0, 300, 120, h - 420},
                               {w - 120, 300, 120, h - 420},
                               {0, h - 120, 120, 120},
                               {120, h - 120, w - 240, 120},
                               {w - 120, h - 120, 120, 120}};
    const int sourceSize[8][2] = {{8, 20}, {8, 20}, {8, 20}, {8, 192}, {8, 192}, {8, 8}, {8, 8}, {8, 8}};
    for (int i = 0; i < 8; ++i) {
        auto& p = frame("SkinPiece", i);
        EXPECT_TRUE(p.visible()) << i;
        EXPECT_EQ(p.left(), dest[i][0]) << i;
        EXPECT_EQ(p.top(), dest[i][1]) << i;
        EXPECT_EQ(p.width(), dest[i][2]) << i;
        EXPECT_EQ(p.height(), dest[i][3]) << i;
        ASSERT_TRUE(p.picture()) << i;
        EXPECT_EQ(p.picture()->width, sourceSize[i][0]) << i;
        EXPECT_EQ(p.picture()->height, sourceSize[i][1]) << i;
    }
    // The buttons take their pictures' size.
    const double closeW = frame("ImgClose", 0).width(), minW = frame("ImgMin", 0).width();
    EXPECT_EQ(frame("ImgClose", 0).left(), w - closeW - 70);
    EXPECT_EQ(frame("ImgMin", 0).left(), w - closeW - 70 - minW - 30);
    EXPECT_EQ(frame("LbMove").width(), frame("ImgMin", 0).left() - 290);
    EXPECT_EQ(frame("lcaption").caption(), shell::DefaultTitle);
    EXPECT_EQ(m.caption(), shell::DefaultTitle);
}

TEST_F(WindowFrameTest, CaptionButtonPicturesShareOneFlag) {
    const int normal = static_cast<int>(link::DesignPicture::CloseNormal);
    const int minNormal = static_cast<int>(link::DesignPicture::MinNormal);
    auto& close = frame("ImgClose", 0);
    auto& min = frame("ImgMin", 0);
    EXPECT_EQ(shown("ImgClose"), normal);
    close.onMouseMove({});
    EXPECT_EQ(shown("ImgClose"), normal + 1);
    // Straight onto the other button: the flag is already spent.
    min.onMouseMove({});
    EXPECT_EQ(shown("ImgMin"), minNormal);
    close.onMouseDown({ui::ButtonLeft});
    EXPECT_EQ(shown("ImgClose"), normal + 2);
    close.onMouseUp({ui::ButtonLeft});
    EXPECT_EQ(shown("ImgClose"), normal + 1);
    frame("LbMove").onMouseMove({});
    EXPECT_EQ(shown("ImgClose"), normal);
    EXPECT_EQ(shown("ImgMin"), minNormal);
    EXPECT_TRUE(client->shell.captionButtonsNormal);
}

TEST_F(WindowFrameTest, CloseAsksAndMinimiseHides) {
    frame("ImgClose", 0).onClick();
    EXPECT_TRUE(windows().frmExit.shown());
    frame("ImgMin", 0).onClick();
    EXPECT_TRUE(client->shell.bossKeyOn);
    EXPECT_TRUE(minimized());
    EXPECT_FALSE(windows().frmExit.shown());
}

TEST_F(WindowFrameTest, OnlyTheLeftButtonDragsTheWindow) {
    int drags = 0;
    auto& area = frame("LbMove");
    // The four-way arrow is up before the system's move takes the mouse.
    client->mainForm.moveWithMouse = [&] {
        ++drags;
        EXPECT_EQ(area.mousePointer(), ui::PointerSizeAll);
    };
    client->talk.setVisible(true);
    area.onMouseDown({ui::ButtonRight});
    EXPECT_TRUE(client->talk.visible());
    EXPECT_NE(area.mousePointer(), ui::PointerSizeAll);
    area.onMouseDown({ui::ButtonLeft});
    EXPECT_FALSE(client->talk.visible());
    EXPECT_EQ(drags, 1);
    // Moving over it again shows the arrow.
    area.onMouseMove({});
    EXPECT_EQ(area.mousePointer(), ui::PointerArrow);
}

TEST_F(WindowFrameTest, FileExistenceAndCrop) {
    sim.files.files["C:\\game\\mj\\vidiosetting.ini"] = "";
    EXPECT_TRUE(shell::isFileExist(*client, "C:\\game\\mj", "vidiosetting.ini"));
    EXPECT_FALSE(shell::isFileExist(*client, "C:\\game\\mj", "other.ini"));
    ui::Picture p{4, 2, {1, 2, 3, 4, 5, 6, 7, 8}};
    auto piece = shell::cropPicture(p, 1, 1, 2, 1);
    ASSERT_TRUE(piece);
    EXPECT_EQ(piece->pixels, (std::vector<std::uint32_t>{6, 7}));
    EXPECT_FALSE(shell::cropPicture(p, 3, 0, 2, 1));
}

class SmallScreenFrameTest : public WindowFrameTest {
protected:
    void SetUp() override {
        sim.process.screen = {1024, 768};
        WindowFrameTest::SetUp();
    }
};

TEST_F(SmallScreenFrameTest, TheTableCoversTheWholeWindow) {
    EXPECT_EQ(client->pic1->left(), 0);
    EXPECT_EQ(client->pic1->top(), 0);
    EXPECT_FALSE(frame("SkinPiece", 0).visible());
    EXPECT_LT(client->mainForm.zIndexOf(frame("ImgClose", 0)), client->mainForm.zIndexOf(*client->pic1));
}

}  // namespace
}  // namespace mj::test
