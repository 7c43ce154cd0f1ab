// table_layout_test.cpp: the start-up layout and the wall at both scales, as
// positions and sizes, pictures, visibility and drawing order.
#include <cmath>
#include <limits>

#include "table/hand_reset.h"
#include "table/table_fixture.h"

namespace mj::test {
namespace {

constexpr double Small = 0.78125;
constexpr double Unchecked = std::numeric_limits<double>::quiet_NaN();

// A layout value: a base number times the scale plus fixed pixels.
struct V {
    double scaled;
    double fixed = 0;
    [[nodiscard]] double at(double s) const { return scaled * s + fixed; }
};
V design(double px) { return {0, px}; }
V none() { return {Unchecked}; }

struct Place {
    const char* name;
    int index;
    V left, top, width, height;
};

// Positions whose formula is the same at both scales.
const Place BothScales[] = {
    {"QuVei", -1, {890}, {100}, {124}, {107}},
    {"QV_Image", -1, {902}, {146}, {33}, {49}},
    {"imgPiZi", 0, {940}, {146}, {33}, {49}},
    {"imgPiZi", 1, {973}, {146}, {33}, {49}},
    {"Tou", 0, {10}, {668}, {85}, {90}},
    {"Tou", 1, {7}, {15}, {70}, {62}},
    {"Tou", 3, {693}, {15}, {70}, {62}},
    {"ImgKuang", 1, design(0), design(3), {126}, {105}},
    {"ImgKuang", 3, {685}, design(3), {126}, {105}},
    {"vshow", 1, {5}, {5, 3}, {116}, {95}},
    {"vshow", 2, {347}, {5, 3}, {116}, {95}},
    {"PicLocal", 0, {9}, {742}, {87}, {17}},
    {"PicLocal", 1, {126}, {88}, {145}, {17}},
    {"PicLocal", 3, {811}, {88}, {145}, {17}},
    {"ImgShow", 0, {104}, {688}, {16}, {14}},
    {"ImgShow", 2, {380}, {80}, {16}, {14}},
    // Toolbar sizes come from their pictures (a small set on a small screen).
    {"AnNiu", 0, {573}, {730}, none(), none()},
    {"AnNiu", 1, {648}, {699}, none(), none()},
    {"AnNiu", 4, {858}, {699}, none(), none()},
    {"AnNiu", 5, {648}, {731}, none(), none()},
    {"AnNiu", 8, {858}, {731}, none(), none()},
    {"Nid", 0, {181}, {700}, design(161), design(25)},
    {"Nid", 2, {509}, {15}, design(161), design(25)},
    {"Cash", 3, {852}, {40}, design(161), design(17)},
    {"Level", 1, {165}, {64}, design(161), design(17)},
    {"OK", 0, {460}, {630}, design(41), design(49)},
    {"OK", 1, {60}, {330}, design(41), design(49)},
    {"OK", 3, {900}, {330}, design(41), design(49)},
    {"Location", -1, {760}, {668}, design(161), design(25)},
    {"imgword1", -1, {640}, {659}, {57}, {13}},
    {"imgword2", -1, {640}, {675}, {57}, {13}},
    {"imgLocation", -1, {632}, {654}, {394}, {39}},
    {"Time_Img", -1, {890}, {207}, {81}, {38}},
    {"Operation", 0, {358}, {461}, {50}, {71}},
    {"Operation", 2, {458}, {461}, {50}, {71}},
    {"Operation", 4, {558}, {461}, {50}, {71}},
    {"Chat", -1, {312}, {732}, {250}, {33}},
    {"Lbchat", -1, {594}, {694}, {25}, {33}},
    {"Bird", -1, {936}, {680}, {82}, {80}},
    {"WebBrowser1", -1, {936, 2}, {680, 2}, {82}, {80}},
    {"vcap1", -1, {10}, {668}, {85}, {83}},
    {"Proponeself", -1, {10, -10}, {668, -10}, {85, 15}, {83, 35}},
    {"Imgwealth", -1, {6}, {288}, design(80), design(29)},
    {"Sysmsg", 0, {312}, none(), {281}, none()},
    {"Sysmsg", 1, {312}, none(), {281}, none()},
};

// Positions with the small screen's own corrections.
const Place FullOnly[] = {
    {"Number", -1, {938}, {212}, {24}, {24}},
    {"lblDifen", -1, {58}, {257}, design(60), design(28)},
    {"lbwealth", -1, {60}, {296}, design(60), design(28)},
    {"imgBeishu", -1, {6}, {256}, design(80), design(29)},
    {"imgsezi", 0, {18}, {230}, design(24), design(24)},
    {"imgsezi", 1, {50}, {230}, design(24), design(24)},
    {"lbfont", 1, design(424), {312}, design(179), design(27)},
    {"Sysmsg", 0, {312}, design(696), {281}, none()},
    {"Bank", -1, {699}, {658}, design(54), design(31)},
    // Unstretched on a full-size screen: the size is the picture's.
    {"ImCmd", 13, design(-8), design(8), none(), none()},
    {"ImCmd", 0, design(3.33), design(0), none(), none()},
};
const Place SmallOnly[] = {
    {"Number", -1, {938, 2}, {212}, {24}, {24}},
    {"lblDifen", -1, {58, 8}, {254}, design(60), design(28)},
    {"lbwealth", -1, {59, 8}, {296}, design(60), design(28)},
    {"imgBeishu", -1, {6}, {252}, design(80), design(29)},
    {"imgsezi", 0, {18}, {226, -4}, design(24), design(24)},
    {"imgsezi", 1, {50, 3}, {226, -4}, design(24), design(24)},
    {"lbfont", 1, {424, -10}, {312}, design(179), design(27)},
    {"Sysmsg", 0, {312}, {696, -2}, {281}, none()},
    {"Bank", -1, {699}, {658}, {54}, {31}},
    // The tool buttons' sizes are their pictures', scaled.
    {"ImCmd", 13, {-8}, {8}, none(), none()},
    {"ImCmd", 0, {3.33}, {0}, none(), none()},
};

struct Screen {
    int w, h;
    double scale;
};
const Screen Screens[] = {{1024, 768, 1.0}, {800, 600, Small}};

class TableLayout : public TableFixture, public ::testing::WithParamInterface<Screen> {
protected:
    void expectPlace(const Place& p, double s) {
        SCOPED_TRACE(std::string(p.name) + "(" + std::to_string(p.index) + ") at scale " + std::to_string(s));
        const ui::Control& x = ctl(p.name, p.index);
        const V* want[4] = {&p.left, &p.top, &p.width, &p.height};
        const double got[4] = {x.left(), x.top(), x.width(), x.height()};
        const char* what[4] = {"left", "top", "width", "height"};
        for (int i = 0; i < 4; ++i) {
            if (std::isnan(want[i]->scaled)) continue;
            EXPECT_NEAR(got[i], want[i]->at(s), 1e-9) << what[i];
        }
    }
};

TEST_P(TableLayout, StartUpPlacesTheControlsByTheScaledFormulas) {
    const Screen sc = GetParam();
    startOn(sc.w, sc.h);
    ASSERT_EQ(c().link.scaleX, sc.scale);
    for (const Place& p : BothScales) expectPlace(p, sc.scale);
    for (const Place& p : sc.scale == 1.0 ? std::span<const Place>(FullOnly) : std::span<const Place>(SmallOnly))
        expectPlace(p, sc.scale);
}

TEST_P(TableLayout, TheMessageStripsSecondLineStartsWhereTheFirstReportsItsEnd) {
    startOn(GetParam().w, GetParam().h);
    const auto& l0 = ctl("Sysmsg", 0);
    const auto& l1 = ctl("Sysmsg", 1);
    // A list box shows whole lines: one line, whatever the half strip asked.
    EXPECT_DOUBLE_EQ(l0.height(), c().sysmsg[0]->itemHeight());
    EXPECT_DOUBLE_EQ(l1.height(), l0.height());
    EXPECT_DOUBLE_EQ(l1.top(), l0.top() + l0.height());
    EXPECT_TRUE(l0.visible() && l1.visible());
}

TEST_P(TableLayout, StartUpPicturesComeFromTheScaleDependentTables) {
    const Screen sc = GetParam();
    startOn(sc.w, sc.h);
    const int full[9] = {101, 103, 105, 109, 111, 113, 115, 117, 119};
    const int small[9] = {101, 381, 383, 387, 389, 391, 393, 395, 397};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(shownId("AnNiu", i), sc.scale == 1.0 ? full[i] : small[i]) << "AnNiu " << i;
        EXPECT_EQ(c().table.anNiuState[static_cast<std::size_t>(i)], i == 2);
        EXPECT_FALSE(c().table.anNiuHover[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 5; ++i) EXPECT_EQ(shownId("Operation", i), 141 + 3 * i);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(shownId("SZ_Image", i), 161 + i);
}

TEST_P(TableLayout, StartUpLeavesTheTableEmptyAndTheTilesUnderElementZero) {
    startOn(GetParam().w, GetParam().h);
    const int front = zOf(tile(0));
    for (int i = 0; i < 136; ++i) {
        EXPECT_FALSE(tile(i).visible()) << i;
        if (i > 0) {
            EXPECT_LT(zOf(tile(i)), front) << i;
        }
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(ctl("Operation", i).visible());
        EXPECT_FALSE(ctl("Operation", i).enabled());
    }
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(ctl("Tou", i).visible()) << i;
        EXPECT_FALSE(ctl("OK", i).visible()) << i;
        EXPECT_TRUE(ctl("Nid", i).visible()) << i;
    }
    for (const char* hidden : {"ZhiNan", "QV_Image", "Img_bg", "vcap1", "WebBrowser1", "imgBeishu", "lblDifen"})
        EXPECT_FALSE(ctl(hidden).visible()) << hidden;
    // The dice store is never seen.
    for (int i = 0; i < 16; ++i) {
        EXPECT_FALSE(ctl("SZ_Image", i).visible()) << i;
        EXPECT_EQ(&c().mainForm, ctl("SZ_Image", i).parent()) << i;
    }
    EXPECT_TRUE(ctl("Bank").visible());
    EXPECT_TRUE(ctl("Proponeself").enabled());
    EXPECT_GT(zOf(ctl("Location")), zOf(ctl("imgLocation"))) << "the room caption on its strip";
}

// ------------------------------------------------------------ the wall

struct WallTile {
    int index;
    double left, top;
};
// From the wall table: stack 0's upper tile, the step per stack (the previous
// stack's width for the bottom and top rows) and the lower tile's drop.
const WallTile FullWall[] = {
    {0, 809, 476},  {1, 809, 498},  {32, 233, 476},  {35, 164, 496},  {66, 228, 236},
    {68, 236, 192}, {69, 236, 208}, {100, 716, 192}, {103, 748, 212}, {134, 812, 432},
};
// At 0.78125 the widths are whole pixels (28 and 23) while positions keep
// their fractions.
const WallTile SmallWall[] = {
    {0, 632.03125, 371.875}, {1, 632.03125, 389.0625}, {32, 184.03125, 371.875}, {35, 128.125, 387.5},
    {66, 178.125, 184.375},  {68, 184.375, 150},       {69, 184.375, 162.5},     {100, 552.375, 150},
    {103, 584.375, 165.625}, {134, 634.375, 337.5},
};
struct Size {
    int w, h;
};
const Size FullLying[4] = {{36, 50}, {48, 35}, {30, 36}, {48, 35}};
const Size SmallLying[4] = {{28, 39}, {38, 27}, {23, 28}, {38, 27}};

struct Origins {
    int handX, handY, discardX, discardY;
};
const Origins FullOrigins[4] = {{50, 574, 358, 438}, {150, 170, 287, 238}, {820, 120, 635, 238}, {945, 530, 758, 438}};
const Origins SmallOrigins[4] = {{39, 448, 280, 342}, {117, 133, 224, 186}, {641, 94, 496, 186}, {738, 414, 592, 342}};

TEST_P(TableLayout, TheWallIsLaidHiddenAtItsPlacesWithTheLyingSizes) {
    const Screen sc = GetParam();
    const bool full = sc.scale == 1.0;
    startOn(sc.w, sc.h);
    table::resetTableForHand(c());
    for (const WallTile& w : full ? std::span<const WallTile>(FullWall) : std::span<const WallTile>(SmallWall)) {
        EXPECT_DOUBLE_EQ(tile(w.index).left(), w.left) << w.index;
        EXPECT_DOUBLE_EQ(tile(w.index).top(), w.top) << w.index;
    }
    const Size* sizes = full ? FullLying : SmallLying;
    for (int i = 0; i < 136; ++i) {
        EXPECT_EQ(tile(i).width(), sizes[i / 34].w) << i;
        EXPECT_EQ(tile(i).height(), sizes[i / 34].h) << i;
        EXPECT_FALSE(tile(i).visible()) << i;
    }
    for (int v = 0; v < 4; ++v) {
        const auto& r = c().table.custom[static_cast<std::size_t>(v)];
        const Origins& o = (full ? FullOrigins : SmallOrigins)[v];
        EXPECT_EQ(r.handX, o.handX) << v;
        EXPECT_EQ(r.handY, o.handY) << v;
        EXPECT_EQ(r.discardX, o.discardX) << v;
        EXPECT_EQ(r.discardY, o.discardY) << v;
        EXPECT_EQ(r.discardRowX, o.discardX) << v;
        EXPECT_EQ(r.discardRowY, o.discardY) << v;
        EXPECT_EQ(c().table.tileW[static_cast<std::size_t>(v)], sizes[v].w);
        EXPECT_EQ(c().table.tileH[static_cast<std::size_t>(v)], sizes[v].h);
    }
}

TEST_P(TableLayout, TheWallsDrawingOrderLaysEveryOverlapTheRightWayRound) {
    startOn(GetParam().w, GetParam().h);
    table::resetTableForHand(c());
    for (int s = 0; s < 4; ++s) {
        for (int k = 0; k < 17; ++k) {
            const int upper = 34 * s + 2 * k;
            EXPECT_GT(zOf(tile(upper)), zOf(tile(upper + 1))) << "upper over lower, tile " << upper;
        }
    }
    // Left row: a stack nearer the bottom of the screen over the one above it.
    // Right row: a stack further down over the one above it.
    for (int k = 1; k < 17; ++k) {
        EXPECT_GT(zOf(tile(34 + 2 * (k - 1))), zOf(tile(34 + 2 * k))) << "left stack " << k;
        EXPECT_GT(zOf(tile(35 + 2 * (k - 1))), zOf(tile(35 + 2 * k))) << "left stack " << k;
        EXPECT_GT(zOf(tile(102 + 2 * k)), zOf(tile(102 + 2 * (k - 1)))) << "right stack " << k;
        EXPECT_GT(zOf(tile(103 + 2 * k)), zOf(tile(103 + 2 * (k - 1)))) << "right stack " << k;
    }
    // The two lower tiles sent back last are behind every other tile.
    for (int i = 0; i < 136; ++i) {
        if (i == 69 || i == 71) continue;
        EXPECT_LT(zOf(tile(71)), zOf(tile(i))) << i;
        EXPECT_LT(zOf(tile(69)), zOf(tile(i))) << i;
    }
    EXPECT_LT(zOf(tile(71)), zOf(tile(69)));
}

TEST_P(TableLayout, ThePerHandResetPutsTheIndicatorsAndTheAnimationBack) {
    const Screen sc = GetParam();
    startOn(sc.w, sc.h);
    ctl("ZhiNan").setVisible(true);
    ctl("lblDifen").setCaption("4");
    ctl("lblDifen").setVisible(true);
    ctl("Zhuang").setVisible(true);
    c().props.propResultMode = 1;
    table::resetTableForHand(c());
    EXPECT_FALSE(ctl("ZhiNan").visible());
    EXPECT_FALSE(ctl("Zhuang").visible());
    EXPECT_EQ(ctl("lblDifen").caption(), "1");
    EXPECT_FALSE(ctl("lblDifen").visible());
    EXPECT_EQ(c().props.propResultMode, 0);
    for (const char* name : {"bombPlayer", "Img_bg"}) {
        EXPECT_DOUBLE_EQ(ctl(name).left(), 420 * sc.scale) << name;
        EXPECT_DOUBLE_EQ(ctl(name).top(), 270 * sc.scale) << name;
        EXPECT_DOUBLE_EQ(ctl(name).width(), 150 * sc.scale) << name;
    }
    EXPECT_TRUE(ctl("Bank").visible());
    EXPECT_EQ(zOf(ctl("Bank")), static_cast<int>(c().pic1->children().size()) - 1);
}

INSTANTIATE_TEST_SUITE_P(BothScales, TableLayout, ::testing::ValuesIn(Screens),
                         [](const auto& info) { return info.param.scale == 1.0 ? "Full" : "Small"; });

}  // namespace
}  // namespace mj::test
