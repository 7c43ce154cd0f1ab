// panels_test.cpp: the floating panels' sizes, places, drag and paint.
#include <gtest/gtest.h>

#include "video/panels.h"
#include "video_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class Panels : public VideoFixture {
protected:
    ui::Form& open(int view) {
        ctl("ImCmd", 4 * view + 1).onClick();
        return *vs().panels[static_cast<std::size_t>(view)].form;
    }
    static ui::Control& button(ui::Form& f, int i) { return *f.find("ImgCmd", i); }
    static ui::Control& viewer(ui::Form& f) { return *f.find("vshow"); }
};

TEST_F(Panels, SeatViewersHaveTheSecondOptionAndPanelViewersBoth) {
    for (int v = 1; v <= 3; ++v) {
        const auto* seat = dynamic_cast<const ui::Component*>(&ctl("vshow", v));
        ASSERT_NE(seat, nullptr);
        EXPECT_FALSE(seat->viewOption0()) << v;
        EXPECT_TRUE(seat->viewOption1()) << v;
    }
    for (int v = 1; v <= 3; ++v) {
        const auto* inPanel = dynamic_cast<const ui::Component*>(&viewer(open(v)));
        ASSERT_NE(inPanel, nullptr);
        EXPECT_TRUE(inPanel->viewOption0()) << v;
        EXPECT_TRUE(inPanel->viewOption1()) << v;
    }
}

TEST_F(Panels, EnlargeAndShrinkStepThroughTheThreeSizesAtBothScales) {
    struct Step {
        int button;
        double width, height, viewLeft, viewTop, viewWidth, viewHeight;
    };
    const std::vector<Step> steps = {
        {2, 2625, 2070, 110, 230, 2400, 1800}, {1, 4140, 3225, 150, 240, 3840, 2880},
        {1, 6510, 5115, 240, 480, 6000, 4500}, {2, 4140, 3225, 150, 240, 3840, 2880},
        {2, 2625, 2070, 110, 230, 2400, 1800},
    };
    for (const double scale : {1.0, 0.78125}) {
        SCOPED_TRACE(scale);
        client->link.scaleX = client->link.scaleY = scale;
        video::unloadPanel(c(), 0);
        ui::Form& f = open(0);
        const double w0 = button(f, 0).width();
        const double h0 = button(f, 0).height();
        EXPECT_DOUBLE_EQ(w0, 225 * scale);
        EXPECT_EQ(f.find("Skin")->picture()->resourceId, scale < 1 ? 874 : 871);
        for (const Step& s : steps) {
            button(f, s.button).onClick();
            EXPECT_DOUBLE_EQ(f.width(), s.width * scale);
            EXPECT_DOUBLE_EQ(f.height(), s.height * scale);
            const ui::Control& v = viewer(f);
            EXPECT_DOUBLE_EQ(v.left(), s.viewLeft * scale);
            EXPECT_DOUBLE_EQ(v.top(), s.viewTop * scale);
            EXPECT_DOUBLE_EQ(v.width(), s.viewWidth * scale);
            EXPECT_DOUBLE_EQ(v.height(), s.viewHeight * scale);
        }
        EXPECT_EQ(f.find("Skin")->picture()->resourceId, scale < 1 ? 873 : 870);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(button(f, i).width(), w0 * 2 / 3, 1e-9);
            EXPECT_NEAR(button(f, i).height(), h0 * 2 / 3, 1e-9);
        }
        // Right-aligned, close rightmost.
        EXPECT_NEAR(button(f, 0).left(), f.width() - button(f, 0).width() - 80 * scale, 1e-9);
        EXPECT_LT(button(f, 1).left(), button(f, 0).left());
        EXPECT_LT(button(f, 2).left(), button(f, 1).left());
    }
}

TEST_F(Panels, AStepBeyondTheEndsChangesNothing) {
    ui::Form& f = open(1);
    pump(Millis(100));
    button(f, 1).onClick();
    pump(Millis(100));
    const double left = f.left();
    const double width = f.width();
    button(f, 1).onClick();  // big already
    EXPECT_FALSE(vs().timerZoom->enabled());
    EXPECT_EQ(f.width(), width);
    EXPECT_EQ(f.left(), left);
    button(f, 2).onClick();
    button(f, 2).onClick();
    pump(Millis(100));
    button(f, 2).onClick();  // small already
    EXPECT_FALSE(vs().timerZoom->enabled());
}

TEST_F(Panels, PanelsOpenBesideTheTableAndTakeTheirCornerWhenBig) {
    auto& m = client->mainForm;
    m.move(3000, 1500, 15360, 11520);
    ui::Form& local = open(0);
    EXPECT_DOUBLE_EQ(local.left(), m.left() + (m.width() - local.width()) / 2 - 0.2 * m.width());
    EXPECT_DOUBLE_EQ(local.top(), m.top() + (m.height() - local.height()) / 2 + 0.2 * m.height());
    EXPECT_TRUE(local.topmost());
    button(local, 1).onClick();
    EXPECT_DOUBLE_EQ(local.left(), m.left() + 0.05 * m.width());
    EXPECT_DOUBLE_EQ(local.top() + local.height(), m.top() + m.height() - 0.07 * m.height());

    ui::Form& top = open(2);
    EXPECT_DOUBLE_EQ(top.left(), m.left() + (m.width() - top.width()) / 2);
    button(top, 2).onClick();
    EXPECT_DOUBLE_EQ(top.left(), m.left() + (m.width() - top.width()) / 2 + 0.2 * m.width());

    ui::Form& left = open(1);
    ui::Form& right = open(3);
    button(left, 2).onClick();
    button(right, 2).onClick();
    EXPECT_EQ(left.left(), right.left());
    EXPECT_EQ(left.top(), right.top());
}

// A player leaving only hides the seat's panel: it keeps the size the user
// gave it. A new profile for a seat unloads the panels: normal again.
TEST_F(Panels, APanelHiddenByAPlayerLeavingKeepsItsSizeAndANewProfileResetsIt) {
    struct Case {
        const char* what;
        WireMessage message;
        bool keepsSize;
    };
    WireMessage left = message(21);
    std::copy_n("li", 2, left.begin() + 16);
    const std::vector<Case> cases = {
        {"player left", left, true},
        {"new profile", message(20, 2), false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        c().table.custom[1].name = "li";
        video::unloadPanel(c(), 1);
        ui::Form& f = open(1);
        button(f, 1).onClick();
        ASSERT_EQ(vs().panels[1].size, video::PanelSize::Big);
        const double bigWidth = f.width();
        ASSERT_FALSE(receive(k.message));
        EXPECT_FALSE(f.visible());
        // Unloaded or not, the zoom timer's paint may have made it again.
        EXPECT_EQ(vs().panels[1].size, k.keepsSize ? video::PanelSize::Big : video::PanelSize::Normal);
        ui::Form& again = open(1);
        EXPECT_TRUE(again.visible());
        EXPECT_EQ(again.width() == bigWidth, k.keepsSize) << again.width();
        EXPECT_EQ(vs().panels[1].size, k.keepsSize ? video::PanelSize::Big : video::PanelSize::Normal);
    }
}

TEST_F(Panels, TheTimerPaintsTheStoredFrameEvenIntoAPanelClosedMeanwhile) {
    vs().lastFrame[2] = frame(0x5A5A5A);
    ui::Form& f = open(2);
    button(f, 2).onClick();
    button(f, 0).onClick();  // closed before the paint
    EXPECT_FALSE(vs().panels[2].loaded);
    pump(Millis(100));
    EXPECT_TRUE(vs().panels[2].loaded) << "made again for the paint";
    EXPECT_FALSE(f.visible());
    EXPECT_DOUBLE_EQ(f.width(), 4140) << "at its normal size";
    EXPECT_EQ(shownColour(viewer(f)), 0x5A5A5Au);
    EXPECT_FALSE(vs().timerZoom->enabled());

    // An empty stored frame paints nothing and harms nothing.
    vs().lastFrame[2].clear();
    vs().zoomPanel = 2;
    vs().timerZoom->setEnabled(true);
    pump(Millis(100));
    EXPECT_EQ(shownColour(viewer(f)), 0x5A5A5Au);
}

TEST_F(Panels, AShownPanelFollowsItsSeatsFrames) {
    linkAll(12);
    ui::Form& f = open(3);
    sock().peerFrame(3, frame(0x010101));
    pump();
    sock().peerFrame(3, frame(0x020202));
    pump();
    EXPECT_EQ(shownColour(viewer(f)), 0x020202u);
    ui::Form& own = open(0);
    cam().capture(frame(0x030303));
    pump();
    EXPECT_EQ(shownColour(viewer(own)), 0x030303u);
}

TEST_F(Panels, OnlyTheLeftButtonDragsThePanel) {
    ui::Form& f = open(0);
    int drags = 0;
    f.moveWithMouse = [&] { ++drags; };
    ui::Control& face = *f.find("Skin");
    face.onMouseDown({ui::ButtonRight, 0, 10, 10});
    EXPECT_EQ(drags, 0);
    face.onMouseDown({ui::ButtonLeft, 0, 10, 10});
    EXPECT_EQ(drags, 1);
    EXPECT_EQ(button(f, 0).toolTip(), "关闭");
    EXPECT_EQ(f.alpha(), 200) << "translucent, as every pop-up";
    EXPECT_TRUE(button(open(1), 0).toolTip().empty());
}

}  // namespace
}  // namespace mj::test
