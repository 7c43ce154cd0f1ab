// speak_box_test.cpp: the bubble's shape, its alpha guard, the fade counted
// in ticks, and what the main window's resize does to the bubbles.
#include "shell/speak_box.h"

#include <gtest/gtest.h>

#include "shell/chat_fixture.h"
#include "shell/chat_install.h"

namespace mj::test {
namespace {

using Rect = ui::Form::Rect;

ui::Picture pictureOf(std::vector<std::string> rows) {
    // '.' key colour, '#' another colour, '+' a third.
    ui::Picture p;
    p.height = static_cast<int>(rows.size());
    p.width = static_cast<int>(rows[0].size());
    for (const auto& r : rows)
        for (char ch : r) p.pixels.push_back(ch == '.' ? 0xFF00FF00 : ch == '#' ? 0xFF102030 : 0xFFFFFFFF);
    return p;
}

TEST(SpeakShape, RunsOfNonKeyPixelsBecomeOnePixelRows) {
    const ui::Picture p = pictureOf({"..##.#", "######", "......"});
    std::int32_t key = 0;
    const auto rects = shell::shapeRegion(p, key);
    EXPECT_EQ(key, 0x00FF00);  // handed back from the top left pixel
    // A run that reaches the last column includes it.
    EXPECT_EQ(rects, (std::vector<Rect>{{2, 0, 4, 1}, {5, 0, 6, 1}, {0, 1, 6, 2}}));
}

TEST(SpeakShape, ExplicitKeyAndATopLeftPixelThatIsNotBackground) {
    const ui::Picture p = pictureOf({"#+.", "+#."});
    std::int32_t key = 0;
    // The top left colour is cut wherever it occurs.
    EXPECT_EQ(shell::shapeRegion(p, key), (std::vector<Rect>{{1, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}}));
    std::int32_t green = 0x00FF00;
    EXPECT_EQ(shell::shapeRegion(p, green), (std::vector<Rect>{{0, 0, 2, 1}, {0, 1, 2, 2}}));
}

TEST(SpeakShape, OwnPicturesHaveTheirSizesAndAShape) {
    const int sizes[4][2] = {{174, 92}, {198, 92}, {208, 104}, {208, 104}};
    for (int v = 0; v < 4; ++v) {
        const auto pic = shell::bubblePicture(v);
        EXPECT_EQ(pic->width, sizes[v][0]);
        EXPECT_EQ(pic->height, sizes[v][1]);
        std::int32_t key = 0;
        const auto rects = shell::shapeRegion(*pic, key);
        EXPECT_FALSE(rects.empty());
        // The corners are cut away.
        for (const Rect& r : rects) EXPECT_FALSE(r.top == 0 && r.left == 0) << v;
    }
}

TEST(SpeakAlpha, OutOfRangeLeavesTheWindowAlone) {
    ui::Form f("frmSpeakBox");
    EXPECT_TRUE(shell::setWindowAlpha(f, 255));
    EXPECT_FALSE(shell::setWindowAlpha(f, 256));
    EXPECT_FALSE(shell::setWindowAlpha(f, -1));
    EXPECT_EQ(f.alpha(), 255);
    EXPECT_TRUE(shell::setWindowAlpha(f, 0));
    EXPECT_EQ(f.alpha(), 0);
}

class SpeakBoxTest : public ChatFixture {
protected:
    shell::SpeakBox& bubble(int view) {
        shell::showSpeakBubble(*client, view, "大家好");
        return *shell::chatWindows(*client).bubbles[static_cast<std::size_t>(view)];
    }
    void ticks(int n) { ASSERT_FALSE(run(shell::FadeTick * n)); }
};

TEST_F(SpeakBoxTest, DecoderBubbleFadesIn26TicksHoldsAndParksAfter329) {
    client->mainForm.move(3000, 1500);
    auto& b = bubble(2);
    EXPECT_EQ(b.form.tag(), "speak2");
    EXPECT_EQ(b.form.caption(), "speakbox");
    EXPECT_TRUE(b.form.topmost());
    EXPECT_DOUBLE_EQ(b.form.left(), 3000 + 6150);
    EXPECT_DOUBLE_EQ(b.form.top(), 1500 + 1050);
    EXPECT_EQ(b.form.alpha(), -1);  // no alpha before the first tick
    ticks(1);
    EXPECT_EQ(b.form.alpha(), 8);
    ticks(25);
    EXPECT_EQ(b.form.alpha(), 208);
    ticks(250);  // tick 276
    EXPECT_EQ(b.form.alpha(), 208);
    ticks(1);
    EXPECT_EQ(b.form.alpha(), 206);
    ticks(51);  // tick 328
    EXPECT_EQ(b.form.alpha(), 2);
    EXPECT_TRUE(b.tmrFadeIn->enabled());
    ticks(1);
    EXPECT_EQ(b.form.alpha(), 2);  // -2 is refused
    EXPECT_FALSE(b.tmrFadeIn->enabled());
    EXPECT_EQ(b.labPhrase->caption(), "");
    EXPECT_DOUBLE_EQ(b.form.left(), -2 * b.form.width());
}

TEST_F(SpeakBoxTest, ASecondPhraseRestartsTheFadeInTheSameWindow) {
    auto& b = bubble(1);
    ticks(10);
    EXPECT_EQ(b.form.alpha(), 80);
    shell::showSpeakBubble(*client, 1, "再见");
    EXPECT_EQ(&b, shell::chatWindows(*client).bubbles[1].get());
    EXPECT_EQ(b.labPhrase->caption(), "再见");
    EXPECT_EQ(b.form.alpha(), 80);  // until the next tick
    ticks(1);
    EXPECT_EQ(b.form.alpha(), 8);
}

TEST_F(SpeakBoxTest, SmallLayoutScalesThePlaceNotTheBubble) {
    client->link.scaleX = client->link.scaleY = 0.78125;
    auto& b = bubble(3);
    EXPECT_DOUBLE_EQ(b.form.left(), 11400 * 0.78125);
    EXPECT_DOUBLE_EQ(b.form.top(), 3000 * 0.78125);
    EXPECT_DOUBLE_EQ(b.form.width(), 208 * 15);
    EXPECT_DOUBLE_EQ(b.labPhrase->left(), 270 * 0.78125);
}

TEST_F(SpeakBoxTest, ResizeHidesWhenMinimisedAndResetsOnlyAfterAHand) {
    auto& b = bubble(0);
    ticks(5);
    // The main window's own resize event runs the bubbles' step.
    client->mainForm.setWindowState(ui::Form::WindowState::Minimized);
    EXPECT_FALSE(b.form.visible());

    b.form.setVisible(true);
    client->mainForm.setWindowState(ui::Form::WindowState::Normal);
    EXPECT_TRUE(b.form.visible());
    EXPECT_TRUE(b.tmrFadeIn->enabled());

    client->link.juNum = 1;
    client->mainForm.onResize();
    EXPECT_FALSE(b.form.visible());
    EXPECT_FALSE(b.tmrFadeIn->enabled());
    EXPECT_EQ(b.form.alpha(), 0);
    EXPECT_TRUE(b.form.topmost());
}

TEST_F(SpeakBoxTest, PhraseWhileMinimisedShowsNoBubble) {
    sim.ini.write("C:\\game\\mj\\chat.ini", "Phrase1", "num", "1");
    sim.ini.write("C:\\game\\mj\\chat.ini", "Phrase1", "1", "大家好");
    client->mainForm.setWindowState(ui::Form::WindowState::Minimized);
    WireMessage m = message(CmdChat, 2);
    setValue(m, 0, 1);
    setValue(m, 3, 1);
    ASSERT_FALSE(receive(m));
    EXPECT_EQ(shell::chatWindows(*client).bubbles[3], nullptr);
}

}  // namespace
}  // namespace mj::test
