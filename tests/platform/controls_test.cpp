// Looking controls up by name and array index, through nested picture boxes,
// as control-array elements come and go.
#include "platform/controls.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace mj::ui
