// Painted list boxes scroll as the system's do: the bar shows only while the
// items do not fit, its parts map to line and page steps and the thumb to a
// first row, and the arrow and page keys move the selection into view.
#include <gtest/gtest.h>

#include <string>

#include "platform/controls.h"

namespace mj::ui {
namespace {

// A settlement detail list: 9-point rows of 15 pixels, 21 of them in view.
struct DetailList : ::testing::Test {
    Form form{"Score"};
    ListBox& list = form.add<ListBox>("State", 0);
    void SetUp() override {
        list.setFont(Font{"宋体", 9, true});
        list.move(90, 1260, 2265, 4920);
    }
    void fill(int n) {
        list.clear();
        for (int i = 0; i < n; ++i) list.addItem("line " + std::to_string(i));
    }
};

TEST_F(DetailList, TheBarShowsOnlyWhileTheItemsDoNotFit) {
    EXPECT_EQ(list.visibleRows(), 21);
    fill(21);
    EXPECT_FALSE(list.showsScrollBar());
    EXPECT_EQ(list.scrollBar().width, 0);
    EXPECT_EQ(list.maxTopIndex(), 0);
    fill(23);
    EXPECT_TRUE(list.showsScrollBar());
    EXPECT_EQ(list.maxTopIndex(), 2);
    const auto bar = list.scrollBar();
    EXPECT_EQ(bar.left, 151 - 16);
    EXPECT_EQ(bar.height, 315);
    EXPECT_EQ(bar.arrow, 16);
    EXPECT_EQ(bar.thumbTop, 16);
    EXPECT_EQ(bar.thumbHeight, 283 * 21 / 23);
    // A native list is the system's own and draws its own bar.
    list.setNative(true);
    EXPECT_FALSE(list.showsScrollBar());
}

TEST_F(DetailList, BarPartsStepByLineAndPageAndNeverPastTheEnds) {
    fill(60);  // 39 rows below the first page
    using P = ListBox::ScrollPart;
    EXPECT_EQ(list.scrollPartAt(140, 5), P::LineUp);
    EXPECT_EQ(list.scrollPartAt(140, 310), P::LineDown);
    EXPECT_EQ(list.scrollPartAt(140, 20), P::Thumb);
    EXPECT_EQ(list.scrollPartAt(140, 250), P::PageDown);
    EXPECT_EQ(list.scrollPartAt(100, 20), P::None) << "the rows, not the bar";
    list.scrollByPart(P::LineUp);
    EXPECT_EQ(list.topIndex(), 0);
    list.scrollByPart(P::LineDown);
    EXPECT_EQ(list.topIndex(), 1);
    list.scrollByPart(P::PageDown);
    EXPECT_EQ(list.topIndex(), 22);
    EXPECT_EQ(list.scrollPartAt(140, 20), P::PageUp) << "the thumb has moved down";
    list.scrollByPart(P::PageDown);
    EXPECT_EQ(list.topIndex(), 39);
    EXPECT_EQ(list.scrollBar().thumbTop + list.scrollBar().thumbHeight, 315 - 16) << "the thumb at the bottom";
    list.scrollBy(5);
    EXPECT_EQ(list.topIndex(), 39);
    list.scrollBy(-100);
    EXPECT_EQ(list.topIndex(), 0);
}

TEST_F(DetailList, TheThumbTakesTheRowNearestItsPlace) {
    fill(23);
    const auto bar = list.scrollBar();
    const int free = bar.height - 2 * bar.arrow - bar.thumbHeight;
    EXPECT_EQ(list.topIndexForThumb(bar.arrow), 0);
    EXPECT_EQ(list.topIndexForThumb(bar.arrow + free / 2 + 1), 1);
    EXPECT_EQ(list.topIndexForThumb(bar.arrow + free), 2);
    EXPECT_EQ(list.topIndexForThumb(-50), 0);
    EXPECT_EQ(list.topIndexForThumb(1000), 2);
    list.setTopIndex(2);
    EXPECT_EQ(list.scrollBar().thumbTop, bar.arrow + free);
}

TEST_F(DetailList, KeysMoveTheSelectionIntoView) {
    fill(50);
    constexpr int PageUp = 33, PageDown = 34, End = 35, Home = 36, Up = 38, Down = 40;
    struct Step {
        int key;
        int selected;
        int top;
    };
    const Step steps[] = {
        {Down, 0, 0},   {Down, 1, 0}, {PageDown, 21, 1}, {Up, 20, 1},   {End, 49, 29},  {PageUp, 29, 29},
        {PageUp, 9, 9}, {Home, 0, 0}, {Up, 0, 0},        {End, 49, 29}, {Down, 49, 29},
    };
    for (const Step& s : steps) {
        EXPECT_TRUE(list.navigationKey(s.key));
        EXPECT_EQ(list.listIndex(), s.selected) << "key " << s.key;
        EXPECT_EQ(list.topIndex(), s.top) << "key " << s.key;
    }
    EXPECT_FALSE(list.navigationKey(27));
    list.clear();
    EXPECT_TRUE(list.navigationKey(Down)) << "an empty list takes the key and stays empty";
    EXPECT_EQ(list.listIndex(), -1);
}

// A one-line strip gets a squeezed bar with no room for a thumb: its arrows
// still step through the lines.
TEST(OneLineList, SqueezesItsArrowsAndHasNoThumb) {
    Form form{"Main"};
    auto& strip = form.add<ListBox>("Sysmsg", 0);
    strip.setFont(Font{"宋体", 9, false});
    strip.move(0, 0, 281 * 15, 195);
    strip.addItem("one");
    strip.addItem("two");
    ASSERT_EQ(strip.visibleRows(), 1);
    const auto bar = strip.scrollBar();
    EXPECT_EQ(bar.arrow, 7);
    EXPECT_EQ(bar.thumbHeight, 0);
    EXPECT_EQ(strip.scrollPartAt(bar.left + 1, 10), ListBox::ScrollPart::LineDown);
    strip.scrollByPart(ListBox::ScrollPart::LineDown);
    EXPECT_EQ(strip.topIndex(), 1);
}

}  // namespace
}  // namespace mj::ui
