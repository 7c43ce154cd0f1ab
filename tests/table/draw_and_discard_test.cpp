// draw_and_discard_test.cpp: tiles taken from the wall into the hands, the
// discards shown and laid into their rows, on the player and the spectator
// table.
#include <algorithm>

#include "table/discards.h"
#include "table/draw_tiles.h"
#include "table/hand_reset.h"
#include "table/table_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class DrawAndDiscard : public TableFixture {
protected:
    void SetUp() override {
        TableFixture::SetUp();
        startOn(1024, 768);
        seat();
    }
    // Own seat 1; the right-hand seat 2, the top 4, the left 8.
    void seat() {
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) c().table.custom[static_cast<std::size_t>(v)].seat = seats[v];
        c().resetTableForHand(c());
        c().resetRoundData(c());
        c().resetHandDisplay(c());
    }
    table::SeatRecord& seatRec(int v) { return c().table.custom[static_cast<std::size_t>(v)]; }
    void draw(SeatBit seat, int tile = 0) { table::drawTilesToHand(c(), seat, 1, {0, 0, 0, tile}); }
    // Gives each view `n` concealed tiles through deals of four and draws.
    void fill(int n) {
        for (SeatBit s : {1, 2, 4, 8}) {
            for (int k = 0; k + 4 <= n; k += 4) table::drawTilesToHand(c(), s, 4, {0x11, 0x12, 0x13, 0x14});
            for (int k = n - n % 4; k < n; ++k) draw(s, 0x21);
        }
    }
};

TEST_F(DrawAndDiscard, WallPointersMoveFromTheHeadAndAfterAKongFromTheTail) {
    struct Case {
        bool fromHead;
        int head, tail;
        int takes, nextHead, nextTail;
    };
    const Case cases[] = {
        {true, 135, 10, 135, 0, 10},
        {false, 7, 0, 0, 7, 1},
        {false, 7, 1, 1, 7, 134},
        {false, 7, 57, 57, 7, 54},
    };
    for (const Case& k : cases) {
        seat();
        auto& t = c().table;
        t.wallHead = k.head;
        t.wallTail = k.tail;
        t.drawFromHead = k.fromHead;
        draw(8);
        EXPECT_EQ(seatRec(1).slots[4].img, k.takes);
        EXPECT_EQ(t.wallHead, k.nextHead);
        EXPECT_EQ(t.wallTail, k.nextTail);
        EXPECT_TRUE(t.drawFromHead) << "the next draw comes from the head again";
    }
}

TEST_F(DrawAndDiscard, DealPlacesOwnFacesAndOtherSeatsBacks) {
    auto& t = c().table;
    t.wallHead = 110;
    table::drawTilesToHand(c(), 1, 4, {0x85, 0x11, 0x29, 0x47});
    table::drawTilesToHand(c(), 2, 4, {0x85, 0x11, 0x29, 0x47});
    table::drawTilesToHand(c(), 8, 4, {0x85, 0x11, 0x29, 0x47});
    EXPECT_EQ(t.wallHead, 122);
    const int faces[4] = {144 + 27 + 4, 144 + 0, 144 + 9 + 8, 144 + 18 + 6};
    for (int j = 0; j < 4; ++j) {
        const auto& s = seatRec(0).slots[static_cast<std::size_t>(4 + j)];
        EXPECT_EQ(s.state, table::SlotConcealed);
        EXPECT_EQ(s.img, 110 + j);
        EXPECT_EQ(shownId("MJ_Image", s.img), 201 + faces[j]);
        EXPECT_DOUBLE_EQ(tile(s.img).left(), 50 + (4 + j) * 48) << "no gap in a deal";
        EXPECT_DOUBLE_EQ(tile(s.img).top(), 574);
        EXPECT_EQ(tile(s.img).width(), 48);
        EXPECT_EQ(tile(s.img).height(), 78);
        // The right-hand seat: backs climbing up and left, each under the last.
        const auto& r = seatRec(3).slots[static_cast<std::size_t>(4 + j)];
        EXPECT_EQ(r.img, 114 + j);
        EXPECT_EQ(shownId("MJ_Image", r.img), 201 + 115);
        EXPECT_DOUBLE_EQ(tile(r.img).left(), 945 - 5 * (5 + j));
        EXPECT_DOUBLE_EQ(tile(r.img).top(), 530 - (5 + j) * 35 / 2.0);
        // The left seat: each over the last.
        const auto& l = seatRec(1).slots[static_cast<std::size_t>(4 + j)];
        EXPECT_EQ(shownId("MJ_Image", l.img), 201 + 43);
        EXPECT_DOUBLE_EQ(tile(l.img).top(), 170 + (4 + j) * 35 / 2.0);
    }
    EXPECT_LT(zOf(tile(117)), zOf(tile(114)));
    EXPECT_GT(zOf(tile(121)), zOf(tile(118)));
    EXPECT_EQ(seatRec(0).concealedCount, 4);
    EXPECT_EQ(c().table.tileW[2], 36) << "standing sizes after every call";
}

TEST_F(DrawAndDiscard, CompleteHandBeforeTheWildTileTurnsOverAndSorts) {
    struct Case {
        int banker;  // isBanker of the own record
        int drawsAfterTwelve;
        bool turns;
    };
    for (const Case k : {Case{0, 1, true}, Case{-1, 1, false}, Case{-1, 2, true}}) {
        seat();
        seatRec(0).isBanker = k.banker;
        table::drawTilesToHand(c(), 1, 4, {0x29, 0x11, 0x85, 0x21});
        table::drawTilesToHand(c(), 1, 4, {0x29, 0x11, 0x85, 0x21});
        table::drawTilesToHand(c(), 1, 4, {0x29, 0x11, 0x85, 0x21});
        const auto slept = sim.clock.totalSlept();
        for (int d = 0; d < k.drawsAfterTwelve; ++d) draw(1, 0x41);
        EXPECT_EQ(sim.clock.totalSlept() - slept, Millis(k.turns ? 1000 : 0));
        const auto& r = seatRec(0);
        std::vector<int> codes;
        for (int i = 4; i < 4 + r.concealedCount; ++i) codes.push_back(r.slots[static_cast<std::size_t>(i)].tile);
        // 筒, 萬, 条, honours, each by rank.
        auto before = [](int a, int b) { return (a >> 4) != (b >> 4) ? (a >> 4) > (b >> 4) : (a & 15) < (b & 15); };
        EXPECT_EQ(std::is_sorted(codes.begin(), codes.end(), before), k.turns) << "sorted only after the turn";
    }
}

TEST_F(DrawAndDiscard, DrawnTileStandsApartOnceTheWildTileIsKnown) {
    for (double scale : {1.0, 0.78125}) {
        c().link.scaleX = c().link.scaleY = scale;
        seat();
        c().table.wildTile = 0x25;
        table::drawTilesToHand(c(), 1, 4, {0x11, 0x12, 0x13, 0x14});
        tile(seatRec(0).slots[5].img).setTop(500);  // raised by the mouse
        draw(1, 0x15);
        const int w = scale == 1.0 ? 48 : 38;
        EXPECT_DOUBLE_EQ(tile(seatRec(0).slots[8].img).left(), seatRec(0).handX + 8 * w + w / 2.0);
        EXPECT_DOUBLE_EQ(tile(seatRec(0).slots[5].img).top(), seatRec(0).handY) << "lowered again";
        // The top seat's drawn tile stands 10 px apart, the deal's do not.
        table::drawTilesToHand(c(), 4, 4, {0, 0, 0, 0});
        draw(4);
        EXPECT_DOUBLE_EQ(tile(seatRec(2).slots[8].img).left(), seatRec(2).handX - 8 * c().table.tileW[2] - 10 * scale);
    }
}

TEST_F(DrawAndDiscard, DrawPastTheLastSlotIsRefused) {
    auto& r = seatRec(2);
    r.firstConcealed = 10;
    r.concealedCount = 8;
    c().table.wallHead = 40;
    draw(4);
    EXPECT_TRUE(sim.process.logged("draw refused"));
    EXPECT_EQ(r.concealedCount, 8);
    EXPECT_EQ(c().table.wallHead, 40);
    table::drawTilesToHand(c(), 4, 4, {0, 0, 0, 0});
    EXPECT_EQ(c().table.wallHead, 40);
}

TEST_F(DrawAndDiscard, OtherSeatsDiscardWaitsInTheMiddleUntilTheNextDraw) {
    fill(13);
    auto& t = c().table;
    auto& top = seatRec(2);
    const int img = top.slots[16].img;
    const int x0 = top.discardX, y0 = top.discardY;
    ASSERT_TRUE(table::showDiscard(c(), 4, 0x85));
    EXPECT_EQ(t.curTileImg, img);
    EXPECT_EQ(t.lastTileCode, 0x85);
    EXPECT_EQ(t.lastDiscardView, 2);
    EXPECT_EQ(top.concealedCount, 12);
    EXPECT_EQ(shownId("MJ_Image", img), 201 + 2 * 36 + 27 + 4);
    EXPECT_EQ(tile(img).width(), 30);
    EXPECT_EQ(tile(img).height(), 36);
    EXPECT_DOUBLE_EQ(tile(img).left(), (c().pic1->width() / 15 - 36) / 2) << "centred at its standing width";
    EXPECT_EQ(c().pic1->children().back(), &tile(img));
    EXPECT_EQ(top.discardX, x0);

    const auto slept = sim.clock.totalSlept();
    draw(8);
    EXPECT_EQ(sim.clock.totalSlept() - slept, Millis(400));
    EXPECT_DOUBLE_EQ(tile(img).left(), x0);
    EXPECT_DOUBLE_EQ(tile(img).top(), y0);
    EXPECT_EQ(t.lastDiscardX, x0);
    EXPECT_EQ(top.discardX, x0 - 30) << "the top seat's row runs leftward";
    EXPECT_EQ(t.blinkCount, 3);
    EXPECT_EQ(t.curTileImg, img);
    EXPECT_FALSE(t.afterGang);

    // A kong between: the next draw lays nothing and does not pause.
    t.afterGang = true;
    const auto again = sim.clock.totalSlept();
    draw(2);
    EXPECT_EQ(top.discardX, x0 - 30);
    EXPECT_EQ(sim.clock.totalSlept(), again);
}

TEST_F(DrawAndDiscard, OwnDiscardIsLaidOnlyWhenTheRightHandSeatDraws) {
    fill(13);
    auto& t = c().table;
    const int img = seatRec(0).slots[16].img;
    ASSERT_TRUE(table::showDiscard(c(), 1, 0x11));
    EXPECT_EQ(t.lastDiscardView, 0);
    EXPECT_EQ(seatRec(0).concealedCount, 13) << "the click has shown it";
    t.curTileImg = img;
    const int x0 = seatRec(0).discardX;
    draw(4);
    EXPECT_EQ(seatRec(0).discardX, x0);
    draw(2);
    EXPECT_EQ(seatRec(0).discardX, x0 + 36);
    EXPECT_DOUBLE_EQ(tile(img).left(), x0);
}

TEST_F(DrawAndDiscard, DiscardOfASeatWithoutConcealedTilesIsIgnored) {
    auto& t = c().table;
    t.lastTileCode = 0x11;
    for (bool side : {false, true}) {
        EXPECT_FALSE(side ? table::sideShowDiscard(c(), 8, 0x22) : table::showDiscard(c(), 8, 0x22));
        EXPECT_EQ(t.lastTileCode, 0x11);
        EXPECT_EQ(seatRec(1).concealedCount, 0);
    }
    EXPECT_TRUE(sim.process.logged("discard refused: view 1 holds no concealed tile"));
}

TEST_F(DrawAndDiscard, DiscardRowsWrapAfterEightAtBothScales) {
    struct Case {
        double scale;
        int view;
        int dx8, dy8;  // the eighth tile from the origin
        int dx9, dy9;  // the ninth
    };
    const Case cases[] = {
        {1.0, 0, 7 * 36, 0, 0, -32}, {1.0, 1, -35, 126, 43, 0},    {1.0, 2, -7 * 30, 0, 0, 22},
        {1.0, 3, -35, -126, -43, 0}, {0.78125, 1, -35, 98, 34, 0},
    };
    for (const Case& k : cases) {
        c().link.scaleX = c().link.scaleY = k.scale;
        seat();
        auto& r = seatRec(k.view);
        const int x0 = r.discardX, y0 = r.discardY;
        for (int n = 1; n <= 9; ++n) {
            table::layDiscard(c(), k.view, n);
            if (n == 8) {
                EXPECT_EQ(c().table.lastDiscardX - x0, k.dx8) << k.view << " at " << k.scale;
                EXPECT_EQ(c().table.lastDiscardY - y0, k.dy8) << k.view << " at " << k.scale;
            }
        }
        EXPECT_EQ(c().table.lastDiscardX - x0, k.dx9) << k.view << " at " << k.scale;
        EXPECT_EQ(c().table.lastDiscardY - y0, k.dy9) << k.view << " at " << k.scale;
        EXPECT_DOUBLE_EQ(tile(9).left(), c().table.lastDiscardX);
    }
}

TEST_F(DrawAndDiscard, RightSeatsColumnsStackOverTheEarlierAndGrowPastThree) {
    auto& t = c().table;
    for (int n = 0; n < 30; ++n) table::layDiscard(c(), 3, 100 + n);
    EXPECT_EQ(t.discardImg3Count, 30);
    ASSERT_GE(t.discardImg3.size(), 30u);
    EXPECT_EQ(t.discardImg3[29], 129);
    // Oldest in front within a column; each later column over the earlier.
    EXPECT_GT(zOf(tile(108)), zOf(tile(109)));
    EXPECT_GT(zOf(tile(115)), zOf(tile(100)));
    EXPECT_GT(zOf(tile(116)), zOf(tile(115)));
    EXPECT_GT(zOf(tile(124)), zOf(tile(125)));
    EXPECT_GT(zOf(tile(124)), zOf(tile(116))) << "a fourth column over the third";
    // The reset keeps the list's room for three columns.
    c().resetRoundData(c());
    EXPECT_EQ(t.discardImg3Count, 0);
}

TEST_F(DrawAndDiscard, SpectatorLaysDiscardsAtOnceAndFlashesOnlyAfterTheRestore) {
    c().link.launch.isSpectator = true;
    for (bool restored : {false, true}) {
        seat();
        c().table.restoreDone = restored;
        for (SeatBit s : {1, 2, 4, 8}) table::sideDrawTilesToHand(c(), s, 4, {0x11, 0x12, 0x13, 0x14});
        const int img = seatRec(1).slots[7].img;
        const int x0 = seatRec(1).discardX;
        const auto slept = sim.clock.totalSlept();
        ASSERT_TRUE(table::sideShowDiscard(c(), 8, 0x14));
        EXPECT_EQ(sim.clock.totalSlept() - slept, Millis(restored ? 1000 : 0));
        EXPECT_DOUBLE_EQ(tile(img).left(), x0);
        EXPECT_EQ(tile(img).width(), 48);
        EXPECT_EQ(seatRec(1).discardX, x0 - 5);
        EXPECT_EQ(seatRec(1).concealedCount, 3);
        EXPECT_EQ(c().table.tileW[1], 35) << "standing size again";
        EXPECT_EQ(c().table.blinkCount, 0);
    }
}

TEST_F(DrawAndDiscard, SpectatorsShownWatchedHandGivesUpTheDiscardedTile) {
    c().link.launch.isSpectator = true;
    int& shown = c().dispatch.player[0].showHandFlag;
    shown = 0;
    table::sideDrawTilesToHand(c(), 1, 4, {0x11, 0x12, 0x13, 0x14});
    EXPECT_EQ(shownId("MJ_Image", seatRec(0).slots[4].img), 201 + 7) << "a hidden watched hand shows backs";
    seat();
    shown = 1;
    table::sideDrawTilesToHand(c(), 1, 4, {0x11, 0x12, 0x13, 0x14});
    const int last = seatRec(0).slots[7].img;
    ASSERT_TRUE(table::sideShowDiscard(c(), 1, 0x12));
    EXPECT_EQ(c().table.curTileImg, last);
    std::vector<int> left;
    for (int i = 4; i < 7; ++i) left.push_back(seatRec(0).slots[static_cast<std::size_t>(i)].tile);
    EXPECT_EQ(left, (std::vector<int>{0x11, 0x13, 0x14}));
    EXPECT_EQ(shownId("MJ_Image", seatRec(0).slots[5].img), 201 + 144 + 2);
}

}  // namespace
}  // namespace mj::test
