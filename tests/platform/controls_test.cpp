// Looking controls up by name and array index, through nested picture boxes,
// as control-array elements come and go.
#include "platform/controls.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace mj::ui {
namespace {

struct Tree {
    Form form{"Main"};
    PictureBox* table = &form.add<PictureBox>("Pic1", -1);
    PictureBox* strip = &table->add<PictureBox>("Strip", -1);
    Image* tile0 = &table->add<Image>("MJ_Image", 0);
    Label* caption = &strip->add<Label>("Caption", -1);
    Label* outer = &form.add<Label>("Caption", 0);
};

TEST(ControlLookup, FindsByNameAndIndexAtAnyDepth) {
    Tree t;
    EXPECT_EQ(t.form.find("MJ_Image", 0), t.tile0);
    EXPECT_EQ(t.form.find("Caption"), t.caption);  // index -1, two levels down
    EXPECT_EQ(t.form.find("Caption", 0), t.outer);
    EXPECT_EQ(t.form.find("MJ_Image", 1), nullptr);
    EXPECT_EQ(t.form.find("Nothing"), nullptr);
    EXPECT_EQ(t.strip->find("MJ_Image", 0), nullptr);  // not below the strip
    EXPECT_EQ(t.form.findAs<Label>("MJ_Image", 0), nullptr);
}

TEST(ControlLookup, LoadedAndUnloadedElementsComeAndGo) {
    Tree t;
    Control* one = t.table->loadElement("MJ_Image", 1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(t.form.find("MJ_Image", 1), one);
    EXPECT_EQ(t.table->loadElement("MJ_Image", 1), one);  // loaded already
    one->bringToFront();                                  // restacking keeps it findable
    EXPECT_EQ(t.form.find("MJ_Image", 1), one);

    EXPECT_TRUE(t.table->unloadElement("MJ_Image", 1));
    EXPECT_EQ(t.form.find("MJ_Image", 1), nullptr);
    EXPECT_FALSE(t.table->unloadElement("MJ_Image", 1));
    EXPECT_FALSE(t.table->unloadElement("MJ_Image", 0));  // the design element stays
    EXPECT_EQ(t.form.find("MJ_Image", 0), t.tile0);

    Control* again = t.table->loadElement("MJ_Image", 1);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(t.form.find("MJ_Image", 1), again);
    EXPECT_FALSE(again->visible());
    EXPECT_EQ(t.table->loadElement("Caption", 3), nullptr);  // no element 0 in this box
}

TEST(ControlLookup, ArrayElementsMadeOutOfOrderAreFoundByTheirIndex) {
    Form form{"Main"};
    Control* two = &form.add<Image>("Seat", 2);
    Control* zero = &form.add<Image>("Seat", 0);
    Control* one = &form.add<Image>("Seat", 1);
    EXPECT_EQ(form.find("Seat", 0), zero);
    EXPECT_EQ(form.find("Seat", 1), one);
    EXPECT_EQ(form.find("Seat", 2), two);
    EXPECT_EQ(form.find("Seat", 3), nullptr);
    EXPECT_EQ(form.find("Seat", -1), nullptr);
}

// When a name and index repeat, a container's own control comes first, then
// each nested box's tree in the order the boxes were added.
TEST(ControlLookup, OwnControlsComeBeforeNestedOnesAndEarlierBoxesBeforeLater) {
    Form form{"Main"};
    auto& first = form.add<PictureBox>("Pic1", -1);
    auto& inner = first.add<PictureBox>("Inner", -1);
    auto& second = form.add<PictureBox>("Pic2", -1);
    Control* deep = &inner.add<Label>("Dup", -1);
    Control* shallow = &second.add<Label>("Dup", -1);
    Control* nestedOwn = &second.add<Label>("Own", 0);
    Control* own = &form.add<Label>("Own", 0);  // added after the boxes
    Control* nestedOne = &second.add<Label>("Arr", 1);
    Control* ownZero = &form.add<Label>("Arr", 0);

    struct Case {
        const char* what;
        Container* in;
        std::string_view name;
        int index;
        Control* want;
    };
    const Case cases[] = {
        {"own before nested", &form, "Own", 0, own},
        {"from the box itself", &second, "Own", 0, nestedOwn},
        {"first box's tree first", &form, "Dup", -1, deep},
        {"second box alone", &second, "Dup", -1, shallow},
        {"element below, zero here", &form, "Arr", 1, nestedOne},
        {"element zero here", &form, "Arr", 0, ownZero},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.in->find(c.name, c.index), c.want);
        // Loading an element that is found anywhere below hands it back
        // rather than making another.
        EXPECT_EQ(c.in->loadElement(c.name, c.index), c.want);
    }
    EXPECT_EQ(form.children().size(), 4U);
    EXPECT_EQ(second.children().size(), 3U);
}

TEST(ControlLookup, ArraysStayFoundWhenElementsLeaveFromTheMiddle) {
    Tree t;
    t.tile0->setTag("design");
    std::vector<Control*> loaded{t.tile0};
    for (int i = 1; i <= 4; ++i) loaded.push_back(t.table->loadElement("MJ_Image", i));
    ASSERT_TRUE(t.table->unloadElement("MJ_Image", 2));
    for (int i : {0, 1, 3, 4}) EXPECT_EQ(t.form.find("MJ_Image", i), loaded[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(t.form.find("MJ_Image", 2), nullptr);
    EXPECT_EQ(t.table->loadElement("MJ_Image", 3), loaded[3]);

    Control* two = t.table->loadElement("MJ_Image", 2);  // now the last added
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->index(), 2);
    EXPECT_EQ(two->tag(), "design");
    for (int i : {2, 3, 4}) EXPECT_EQ(t.form.find("MJ_Image", i), i == 2 ? two : loaded[static_cast<std::size_t>(i)]);

    // Unloading from the end leaves the array in order again.
    ASSERT_TRUE(t.table->unloadElement("MJ_Image", 2));
    ASSERT_TRUE(t.table->unloadElement("MJ_Image", 4));
    ASSERT_TRUE(t.table->unloadElement("MJ_Image", 3));
    EXPECT_EQ(t.form.find("MJ_Image", 3), nullptr);
    EXPECT_EQ(t.form.find("MJ_Image", 1), loaded[1]);
    Control* again = t.table->loadElement("MJ_Image", 2);
    EXPECT_EQ(t.form.find("MJ_Image", 2), again);
}

TEST(ControlLookup, ANewElementCopiesElementZeroNotAnotherOfTheName) {
    Form form{"Main"};
    Control* plain = &form.add<Label>("Seat", -1);
    plain->setTag("plain");
    form.add<Label>("Seat", 1).setTag("one");
    form.add<Label>("Seat", 2).setTag("two");
    EXPECT_EQ(form.find("Seat", 0), nullptr);
    EXPECT_EQ(form.loadElement("Seat", 3), nullptr);  // no element 0 to copy
    form.add<Label>("Seat", 0).setTag("zero");
    Control* three = form.loadElement("Seat", 3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->tag(), "zero");
    EXPECT_EQ(form.find("Seat", 3), three);
    EXPECT_EQ(form.find("Seat"), plain);
}

}  // namespace
}  // namespace mj::ui
