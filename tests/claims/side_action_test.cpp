// The claim display on the watching table: every seat's hand a row of backs,
// every discard already in its row.
#include <gtest/gtest.h>

#include "claims/action_display.h"
#include "claims_fixture.h"
#include "table/discards.h"

namespace mj::test {
namespace {

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tong(int r) { return 0x80 + r; }

class SideAction : public ClaimsFixture {
protected:
    // Own (watched) seat 1; seat 2 at view 3, seat 4 at view 2, seat 8 at view 1.
    void SetUp() override {
        ClaimsFixture::SetUp();
        c().link.launch.isSpectator = true;
        c().table.restoreDone = true;
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) {
            auto& r = c().table.custom[static_cast<std::size_t>(v)];
            r.seat = seats[v];
            row(v, 13);
        }
    }
    // A row of backs from slot 4, tile controls 20 v + slot.
    void row(int v, int count) {
        auto& r = c().table.custom[static_cast<std::size_t>(v)];
        r.meldEnd = v == 0 ? 3 : 4;
        r.firstConcealed = 4;
        r.concealedCount = count;
        r.handX = 600 + 100 * v;
        r.handY = 500;
        for (int i = 4; i < 4 + count; ++i)
            r.slots[static_cast<std::size_t>(i)] = {table::SlotConcealed, 0, 20 * v + i};
    }
    table::SeatRecord& rec(int v) { return c().table.custom[static_cast<std::size_t>(v)]; }
    // Seat `seat` discards: laid into its row at once, image `img`.
    void discard(int view, int img) {
        c().table.curTileImg = img;
        c().table.lastDiscardView = view;
        table::layDiscard(c(), view, img);
    }
};

TEST_F(SideAction, AClaimedDiscardLeavesItsRowOnceAndJoinsTheMeld) {
    const int x0 = rec(3).discardX;
    const int y0 = rec(3).discardY;
    discard(3, 100);
    ASSERT_EQ(c().table.discardImg3Count, 1);
    const auto slept = sim.clock.totalSlept();
    claims::sideShowAction(c(), OpPeng, 4, {Wan(4), Wan(4), Wan(4)});
    // No pause: the bubble shows and the tick's bubble task hides it.
    EXPECT_EQ(sim.clock.totalSlept(), slept);
    EXPECT_TRUE(ctl("Speak", 1).visible());
    EXPECT_EQ(shownId("Words"), 183);
    EXPECT_EQ(rec(3).discardX, x0);
    EXPECT_EQ(rec(3).discardY, y0);
    EXPECT_EQ(c().table.discardImg3Count, 0);
    const auto& r = rec(2);
    for (int s = 2; s <= 4; ++s) {
        EXPECT_EQ(r.slots[static_cast<std::size_t>(s)].state, table::SlotPeng);
        EXPECT_EQ(r.slots[static_cast<std::size_t>(s)].tile, Wan(4));
    }
    EXPECT_EQ(r.slots[4].img, 100);
    EXPECT_EQ(r.concealedCount, 11);
    EXPECT_EQ(r.meldEnd, 7);
    // The top seat's third back went to the row's end, laid from the origin.
    EXPECT_DOUBLE_EQ(tile(r.slots[17].img).left(), r.handX - 17 * c().table.tileW[2]);
    ASSERT_FALSE(run(2100));
    EXPECT_FALSE(ctl("Speak", 1).visible());

    // A second claim of the same discard takes nothing back again.
    claims::sideShowAction(c(), OpPeng, 8, {Wan(4), Wan(4), Wan(4)});
    EXPECT_EQ(c().table.discardImg3Count, 0);
    EXPECT_EQ(rec(3).discardX, x0);
}

TEST_F(SideAction, TheWatchedSeatsClaimsAreLaidInTheBottomRowWithoutABubble) {
    discard(1, 101);
    claims::sideShowAction(c(), OpChi, 1, {Tong(1), Tong(2), Tong(3)});
    EXPECT_FALSE(ctl("Speak", 0).visible());
    EXPECT_FALSE(ctl("Speak", 1).visible());
    EXPECT_FALSE(ctl("Speak", 2).visible());
    const auto& r = rec(0);
    EXPECT_EQ(r.slots[3].img, 101);
    EXPECT_EQ(c().table.tileW[0], 45);
    EXPECT_EQ(c().table.tileH[0], 56);
    for (int s = 1; s <= 3; ++s) {
        const auto& x = tile(r.slots[static_cast<std::size_t>(s)].img);
        // After the two stack places beside the hand.
        EXPECT_DOUBLE_EQ(x.left(), r.handX + (s + 1) * (45 - 2));
        EXPECT_DOUBLE_EQ(x.top(), r.handY);
        EXPECT_EQ(table::shownTilePicture(c(), r.slots[static_cast<std::size_t>(s)].img),
                  table::tilePicture(0, Tong(s)));
    }
    // A concealed kong of the watched seat: three backs and the fourth face
    // up above the middle one.
    claims::sideShowAction(c(), OpAnGang, 1, {Wan(9), Wan(9), Wan(9)});
    EXPECT_EQ(r.concealedCount, 11 - 4);
    EXPECT_EQ(table::shownTilePicture(c(), r.slots[4].img), table::lyingBack(0));
    const int fourth = c().table.curTileImg;
    EXPECT_EQ(table::shownTilePicture(c(), fourth), table::tilePicture(0, Wan(9)));
    EXPECT_DOUBLE_EQ(tile(fourth).top(), r.handY - 18);
    EXPECT_DOUBLE_EQ(tile(fourth).left(), tile(r.slots[5].img).left());
    EXPECT_FALSE(c().table.drawFromHead);
    // Nothing goes onto the hand-end reveal list of the player table.
    EXPECT_EQ(c().table.anGangCount, 0);
}

TEST_F(SideAction, BeforeTheRestoreNoBubbleButTheMeldIsLaid) {
    c().table.restoreDone = false;
    discard(2, 102);
    claims::sideShowAction(c(), OpMingGang, 2, {Wan(2), Wan(2), Wan(2)});
    EXPECT_FALSE(ctl("Speak", 2).visible());
    EXPECT_EQ(rec(3).slots[2].state, table::SlotMingGang);
    EXPECT_EQ(rec(3).concealedCount, 10);
}

TEST_F(SideAction, SingleKongsGoOnTheirStacksOrOntoTheSeatsPeng) {
    // The left seat: a 红中 kong, then a wild kong, then a 开杠 on its 碰.
    discard(3, 103);
    claims::sideShowAction(c(), OpPeng, 8, {Wan(7), Wan(7), Wan(7)});
    auto& r = rec(1);
    const int last = r.slots[static_cast<std::size_t>(r.firstConcealed + r.concealedCount - 1)].img;
    claims::sideShowAction(c(), OpSingleGang, 8, {HongZhong, HongZhong, HongZhong});
    EXPECT_EQ(r.hongZhongGangs, 1);
    EXPECT_EQ(c().table.singleGangImg[1][0], last);
    EXPECT_EQ(r.slots[0].img, last);  // the seat's first 红中 also in slot 0
    EXPECT_TRUE(tile(last).visible());
    EXPECT_EQ(table::shownTilePicture(c(), last), table::tilePicture(1, HongZhong));
    EXPECT_EQ(shownId("Words"), 186);

    claims::sideShowAction(c(), OpSingleGang, 8, {0x29, 0x29, 0x29});  // the wild tile
    EXPECT_EQ(r.baoGangs, 1);

    const int kai = r.slots[static_cast<std::size_t>(r.firstConcealed + r.concealedCount - 1)].img;
    const int count = r.concealedCount;
    claims::sideShowAction(c(), OpSingleGang, 8, {Wan(7), Wan(7), Wan(7)});
    EXPECT_EQ(r.concealedCount, count - 1);
    EXPECT_EQ(table::shownTilePicture(c(), kai), table::tilePicture(1, Wan(7)));
    EXPECT_EQ(shownId("Words"), 188);

    // The top seat's stacks record nothing.
    claims::sideShowAction(c(), OpSingleGang, 4, {HongZhong, HongZhong, HongZhong});
    EXPECT_EQ(rec(2).hongZhongGangs, 1);
    EXPECT_EQ(c().table.singleGangImg[2][0], 0);
}

// A watcher's first hand has no room kind yet (its restore does not say),
// and a 痞子 room has 红中 kongs too: the watching table stacks and names a
// 红中 laid alone by its tile, as its restore does.
TEST_F(SideAction, AHongZhongLaidAloneIsStackedInEveryRoomKind) {
    for (int kind : {0, 2, 3}) {
        SCOPED_TRACE("room kind " + std::to_string(kind));
        c().table = table::TableState{};
        c().table.restoreDone = true;
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) {
            rec(v).seat = seats[v];
            row(v, 13);
        }
        c().table.specialMode = kind;
        c().table.wildTile = 0x29;
        c().table.piziTile1 = kind == 3 ? Wan(2) : 0;
        c().table.piziTile2 = kind == 3 ? Wan(3) : 0;
        auto lastBack = [&](int v) {
            auto& r = rec(v);
            return r.slots[static_cast<std::size_t>(r.firstConcealed + r.concealedCount - 1)].img;
        };
        auto z = [&](int img) { return c().pic1->zIndexOf(tile(img)); };

        // The left seat: two 红中, each over the one before.
        const int first = lastBack(1);
        claims::sideShowAction(c(), OpSingleGang, 8, {HongZhong, HongZhong, HongZhong});
        EXPECT_EQ(shownId("Words"), 186);
        const int second = lastBack(1);
        claims::sideShowAction(c(), OpSingleGang, 8, {HongZhong, HongZhong, HongZhong});
        const auto& left = rec(1);
        EXPECT_EQ(left.hongZhongGangs, 2);
        EXPECT_EQ(left.concealedCount, 11);
        EXPECT_EQ(c().table.singleGangImg[1][0], first);
        EXPECT_EQ(c().table.singleGangImg[1][1], second);
        EXPECT_EQ(left.slots[0].img, first);
        EXPECT_DOUBLE_EQ(tile(first).left(), left.handX);
        EXPECT_DOUBLE_EQ(tile(first).top(), left.handY);
        EXPECT_DOUBLE_EQ(tile(second).left(), left.handX);
        EXPECT_DOUBLE_EQ(tile(second).top(), left.handY - 18);
        EXPECT_EQ(table::shownTilePicture(c(), second), table::tilePicture(1, HongZhong));
        EXPECT_GT(z(second), z(first));

        // The right seat: a 红中, then a wild kong; the 红中 stack stays on top.
        const int hong = lastBack(3);
        claims::sideShowAction(c(), OpSingleGang, 2, {HongZhong, HongZhong, HongZhong});
        const int wild = lastBack(3);
        claims::sideShowAction(c(), OpSingleGang, 2, {0x29, 0x29, 0x29});
        const auto& right = rec(3);
        EXPECT_EQ(right.hongZhongGangs, 1);
        EXPECT_EQ(right.baoGangs, 1);
        EXPECT_EQ(c().table.singleGangImg[3][0], hong);
        EXPECT_DOUBLE_EQ(tile(hong).left(), right.handX - 10);
        EXPECT_GT(z(hong), z(wild));
        EXPECT_EQ(shownId("Words"), 187);
    }
}

TEST_F(SideAction, AWinMarksTheWinnerAndMovesNoTile) {
    const double left = tile(rec(0).slots[4].img).left();
    claims::sideShowAction(c(), OpHu, 1, {0, 0, 0});
    EXPECT_EQ(c().table.winnerView, 0);
    EXPECT_DOUBLE_EQ(tile(rec(0).slots[4].img).left(), left);
    claims::sideShowAction(c(), OpHu, 2, {0, 0, 0});
    EXPECT_EQ(c().table.winnerView, 0);
}

TEST_F(SideAction, AfterARestoreAClaimTakesNoDiscardBack) {
    discard(3, 104);
    // The restore leaves nothing in the middle.
    c().table.curTileImg = -1;
    c().table.lastDiscardView = 4;
    const int x = rec(3).discardX;
    claims::sideShowAction(c(), OpPeng, 4, {Wan(4), Wan(4), Wan(4)});
    EXPECT_EQ(rec(3).discardX, x);
    EXPECT_EQ(c().table.discardImg3Count, 1);
    EXPECT_EQ(rec(2).concealedCount, 11);
}

}  // namespace
}  // namespace mj::test
