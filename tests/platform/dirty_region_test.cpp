// The bookkeeping of what to paint again: the rectangle list itself, and the
// rectangles a form notes when its controls move, show, hide, change or
// restack.
#include "platform/dirty_region.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace mj::ui {
namespace {

std::vector<PixelRect> sorted(std::vector<PixelRect> v) {
    std::sort(v.begin(), v.end(), [](const PixelRect& a, const PixelRect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) < std::tie(b.left, b.top, b.right, b.bottom);
    });
    return v;
}

TEST(DirtyRegion, KeepsNoRectangleInsideAnother) {
    DirtyRegion d;
    d.add({10, 10, 20, 20});
    d.add({12, 12, 18, 18});  // inside: nothing new
    d.add({0, 0, 0, 5});      // empty: nothing
    EXPECT_EQ(d.rects(), (std::vector<PixelRect>{{10, 10, 20, 20}}));
    d.add({30, 0, 40, 5});
    d.add({5, 5, 25, 25});  // holds the first: replaces it
    EXPECT_EQ(sorted(d.rects()), (std::vector<PixelRect>{{5, 5, 25, 25}, {30, 0, 40, 5}}));

    DirtyRegion more;
    more.add({50, 50, 60, 60});
    d.add(more);
    EXPECT_EQ(d.rects().size(), 3u);
    const DirtyRegion taken = d.take();
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(taken.rects().size(), 3u);
}

TEST(DirtyRegion, TheWholeWindowSwallowsRectangles) {
    DirtyRegion d;
    d.add({1, 1, 2, 2});
    d.addAll();
    d.add({3, 3, 4, 4});
    EXPECT_TRUE(d.all());
    EXPECT_TRUE(d.rects().empty());
    DirtyRegion other;
    other.add(d);
    EXPECT_TRUE(other.all());
    other.clear();
    EXPECT_TRUE(other.empty());
}

TEST(DirtyRegion, ABurstStaysBoundedAndStillCoversEveryChange) {
    DirtyRegion d;
    std::vector<PixelRect> added;
    // Tiles all over a table: far more than the list keeps.
    for (int i = 0; i < 200; ++i) {
        const int x = (i * 37) % 1000, y = (i * 53) % 700;
        added.push_back({x, y, x + 30, y + 40});
        d.add(added.back());
    }
    EXPECT_LE(d.rects().size(), DirtyRegion::MaxRects);
    EXPECT_FALSE(d.all());
    for (const PixelRect& r : added) {
        const bool covered =
            std::any_of(d.rects().begin(), d.rects().end(), [&](const PixelRect& k) { return contains(k, r); });
        EXPECT_TRUE(covered) << r.left << "," << r.top;
    }
    // Merging does not swallow the table when the changes sit in two corners.
    DirtyRegion corners;
    for (int i = 0; i < 40; ++i) {
        corners.add({i, 0, i + 10, 10});
        corners.add({900 + i, 600, 910 + i, 610});
    }
    const PixelRect left{0, 0, 50, 10}, right{900, 600, 950, 610};
    for (const PixelRect& r : corners.rects()) EXPECT_TRUE(contains(left, r) || contains(right, r));
}

// A 200 x 100 pixel form with a picture box at (10, 20), 100 x 50, holding a
// 10 x 12 tile at (5, 6) and a label beside it on the form.
struct Table {
    Form form{"F"};
    PictureBox* box = nullptr;
    Image* tile = nullptr;
    Image* other = nullptr;
    Label* label = nullptr;
    int changes = 0;

    Table() {
        form.move(0, 0, 200 * 15, 100 * 15);
        box = &form.add<PictureBox>("Pic1", -1);
        box->move(10 * 15, 20 * 15, 100 * 15, 50 * 15);
        tile = &box->add<Image>("MJ_Image", 0);
        tile->setStretch(true);
        tile->move(5, 6, 10, 12);
        other = &box->add<Image>("Other", -1);
        other->setStretch(true);
        other->move(40, 6, 10, 12);
        label = &form.add<Label>("number", -1);
        label->move(150 * 15, 10 * 15, 24 * 15, 24 * 15);
        form.setVisible(true);
        (void)form.takeDirty();
        form.onChanged = [this] { ++changes; };
    }
};

TEST(FormDirty, ChangesNoteTheOldAndNewRectangles) {
    struct Case {
        std::string what;
        std::function<void(Table&)> act;
        std::vector<PixelRect> want;
    };
    const PixelRect tileAt{15, 26, 25, 38};
    const std::vector<Case> cases{
        {"raise", [](Table& t) { t.tile->setTop(0); }, {tileAt, {15, 20, 25, 32}}},
        {"hide", [](Table& t) { t.tile->setVisible(false); }, {tileAt}},
        {"show",
         [](Table& t) { t.label->setVisible(false), (void)t.form.takeDirty(), t.label->setVisible(true); },
         {{150, 10, 174, 34}}},
        {"new picture", [](Table& t) { t.tile->setPicture(std::make_shared<Picture>()); }, {tileAt}},
        {"caption", [](Table& t) { t.label->setCaption("7"); }, {{150, 10, 174, 34}}},
        {"colour",
         [](Table& t) {
             t.label->setForeColor({255, 0, 0});
         },
         {{150, 10, 174, 34}}},
        {"to the front", [](Table& t) { t.tile->bringToFront(); }, {tileAt}},
        {"to the back", [](Table& t) { t.other->sendToBack(); }, {{50, 26, 60, 38}}},
        // Cut to the box it sits in.
        {"half out of its box", [](Table& t) { t.tile->setLeft(95); }, {tileAt, {105, 26, 110, 38}}},
        // The box's rectangle holds all it shows.
        {"box moved", [](Table& t) { t.box->setLeft(0); }, {{10, 20, 110, 70}, {0, 20, 100, 70}}},
        {"nothing seen changes", [](Table& t) { t.tile->setTop(6); }, {}},
        {"already at the front", [](Table& t) { t.label->bringToFront(); }, {}},
        {"hidden tile moved",
         [](Table& t) { t.tile->setVisible(false), (void)t.form.takeDirty(), t.tile->move(50, 30); },
         {}},
        {"tile in a hidden box",
         [](Table& t) { t.box->setVisible(false), (void)t.form.takeDirty(), t.tile->setTop(0); },
         {}},
        {"unloaded",
         [](Table& t) {
             Control* e = t.box->loadElement("MJ_Image", 1);
             e->setVisible(true);
             e->setTop(30);
             (void)t.form.takeDirty();
             t.box->unloadElement("MJ_Image", 1);
         },
         {{15, 50, 25, 62}}},
        {"loaded hidden", [](Table& t) { t.box->loadElement("MJ_Image", 2); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Table t;
        c.act(t);
        EXPECT_FALSE(t.form.dirty().all());
        EXPECT_EQ(sorted(t.form.dirty().rects()), sorted(c.want));
    }
}

TEST(FormDirty, TheFormsOwnChangesRepaintItWhole) {
    Table t;
    t.form.setBackColor({1, 2, 3});
    EXPECT_TRUE(t.form.dirty().all());
    (void)t.form.takeDirty();
    t.form.setWidth(300 * 15);
    EXPECT_TRUE(t.form.dirty().all());
}

TEST(FormDirty, EveryChangeStillReachesTheHostOnce) {
    Table t;
    t.tile->setTop(0);
    t.tile->bringToFront();
    t.tile->bringToFront();  // no move, but the host is told as before
    t.label->setCaption("8");
    t.box->unloadElement("MJ_Image", 5);  // nothing there: no change
    EXPECT_EQ(t.changes, 4);
}

TEST(ControlRect, RoundsAsTheHostDraws) {
    Form form("F");
    auto& l = form.add<Label>("L", -1);
    // 7 twips round to pixel 0; the right edge is the rounded left plus the
    // rounded width, not the rounded right.
    l.move(7, 22, 22, 22);
    EXPECT_EQ(l.paintedRect(), (PixelRect{0, 1, 1, 2}));
    l.setWidth(0);
    EXPECT_TRUE(l.paintedRect().empty());
    // A box half outside the box it sits in: what it holds is offset from
    // its own corner, not from the part that shows, and cut to that part.
    auto& outer = form.add<PictureBox>("Outer", -1);
    outer.move(100 * 15, 100 * 15, 50 * 15, 50 * 15);
    auto& inner = outer.add<PictureBox>("Inner", -1);
    inner.move(-20, 10, 40, 40);
    auto& tile = inner.add<Image>("T", -1);
    tile.move(15, 0, 10, 10);
    EXPECT_EQ(tile.paintedRect(), (PixelRect{100, 110, 105, 120}));
    Label loose("Loose", -1);
    loose.move(0, 0, 100, 100);
    EXPECT_TRUE(loose.paintedRect().empty());  // on no form
}

}  // namespace
}  // namespace mj::ui
