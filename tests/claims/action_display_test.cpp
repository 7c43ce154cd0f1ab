// The claim display on the player table and the own meld layout.
#include "claims/action_display.h"

#include <gtest/gtest.h>

#include "claims/senders.h"
#include "claims_fixture.h"

namespace mj::test {
namespace {

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tong(int r) { return 0x80 + r; }

class ActionDisplay : public ClaimsFixture {
protected:
    // Seat bit 2 sits at view 3 of own seat 1. Its row of backs from slot 4,
    // tile controls 20 + slot.
    static constexpr int RightSeat = 2;
    void rightRow(int count) {
        auto& r = c().table.custom[3];
        r.meldEnd = 4;
        r.firstConcealed = 4;
        r.concealedCount = count;
        r.handX = 900;
        r.handY = 500;
        for (int i = 4; i < 4 + count; ++i) r.slots[static_cast<std::size_t>(i)] = {table::SlotConcealed, 0, 20 + i};
    }
    void thirteen() {
        ownHand({Wan(1), Wan(3), Wan(5), Wan(6), Wan(7), Wan(8), Wan(9), Tong(1), Tong(2), Tong(3), Tong(4), Tong(5),
                 Tong(6)});
    }
};

TEST_F(ActionDisplay, AnotherSeatsPengTakesTwoBacksAndTheDiscardWithBubbleAndCaption) {
    rightRow(13);
    sim.sound.files.insert(c().link.sound.soundFile[2]);
    c().table.curTileImg = 60;
    claims::showAction(c(), OpPeng, RightSeat, {Wan(4), Wan(4), Wan(4)});
    const auto& r = c().table.custom[3];
    EXPECT_EQ(c().dispatch.actionCount, 1);
    for (int s = 2; s <= 4; ++s) {
        EXPECT_EQ(r.slots[static_cast<std::size_t>(s)].state, table::SlotPeng);
        EXPECT_EQ(r.slots[static_cast<std::size_t>(s)].tile, Wan(4));
    }
    EXPECT_EQ(r.slots[2].img, 24);
    EXPECT_EQ(r.slots[3].img, 25);
    EXPECT_EQ(r.slots[4].img, 60);
    EXPECT_EQ(r.slots[17].img, 26);  // the third back moved to the row's end
    EXPECT_EQ(r.firstConcealed, 7);
    EXPECT_EQ(r.concealedCount, 11);
    EXPECT_EQ(r.meldEnd, 7);
    EXPECT_EQ(table::shownTilePicture(c(), 60), table::tilePicture(3, Wan(4)));
    EXPECT_TRUE(c().claims.viewOpened[3]);
    EXPECT_TRUE(ctl("Speak", 2).visible());
    EXPECT_EQ(shownId("Words"), 183);
    EXPECT_TRUE(c().link.bubbleTask.on);
    // The bubble task hides it two seconds later.
    ASSERT_FALSE(run(2100));
    EXPECT_FALSE(ctl("Speak", 2).visible());
}

TEST_F(ActionDisplay, APassShowsNoBubbleAndCountsOnly) {
    rightRow(13);
    const auto soundCalls = sim.sound.log.size();
    claims::showAction(c(), OpPass, RightSeat, {0, 0, 0});
    EXPECT_EQ(c().dispatch.actionCount, 1);
    EXPECT_FALSE(ctl("Speak", 2).visible());
    EXPECT_EQ(c().table.custom[3].concealedCount, 13);
    EXPECT_EQ(c().table.tileW[3], 45);
    // No knock cut off by an empty voice: no sound call at all.
    EXPECT_EQ(sim.sound.log.size(), soundCalls);
}

TEST_F(ActionDisplay, TheFirstWinMarksTheWinnerAndALaterOneDoesNot) {
    rightRow(13);
    ASSERT_EQ(c().table.winnerView, -1);
    claims::showAction(c(), OpHu, RightSeat, {0, 0, 0});
    EXPECT_EQ(c().table.winnerView, 3);
    claims::showAction(c(), OpHu, OwnSeat, {0, 0, 0});
    EXPECT_EQ(c().table.winnerView, 3);
}

TEST_F(ActionDisplay, AnotherSeatsSingleKongsGoOntoTheirKindsStacks) {
    struct Case {
        const char* name;
        int mode, wild, pizi1, pizi2, tile;
        int column;        // of singleGangImg for the first kong
        double left, top;  // of the first kong's tile (right seat, scale 1, action size 45 x 35)
    };
    const Case cases[] = {
        {"hong zhong", 2, 0x29, 0, 0, HongZhong, 0, 900 - 10, 500},
        {"hong zhong that is also wild", 2, HongZhong, 0, 0, HongZhong, 0, 890, 500},
        {"wild", 2, Tong(9), 0, 0, Tong(9), 4, 900 - 15, 500 - (35 - 17)},
        {"both pizi: the second", 3, 0x29, Wan(2), Wan(2), Wan(2), 8, 900 - 10 - 0.84 * 45, 500},
        {"pizi and wild: pizi", 3, Wan(3), Wan(3), Wan(7), Wan(3), 0, 890, 500},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c().table = table::TableState{};
        rightRow(13);
        auto& t = c().table;
        t.specialMode = k.mode;
        t.wildTile = k.wild;
        t.piziTile1 = k.pizi1;
        t.piziTile2 = k.pizi2;
        claims::showAction(c(), OpSingleGang, RightSeat, {0, 0, k.tile});
        const auto& r = t.custom[3];
        EXPECT_EQ(r.concealedCount, 12);
        EXPECT_EQ(r.meldEnd, 4) << "a single kong moves no meld boundary";
        const int img = 20 + 16;  // the row's last back
        EXPECT_EQ(t.singleGangImg[3][static_cast<std::size_t>(k.column)], img);
        EXPECT_EQ(t.curTileImg, img);
        EXPECT_EQ(t.lastTileCode, k.tile);
        EXPECT_DOUBLE_EQ(tile(img).left(), k.left);
        EXPECT_DOUBLE_EQ(tile(img).top(), k.top);
        EXPECT_TRUE(tile(img).visible());
        EXPECT_EQ(table::shownTilePicture(c(), img), table::tilePicture(3, k.tile));
        EXPECT_EQ(r.hongZhongGangs + r.baoGangs + r.pizi1Gangs + r.pizi2Gangs, 1);
        EXPECT_FALSE(t.drawFromHead);
        EXPECT_TRUE(t.afterGang);
    }
}

TEST_F(ActionDisplay, TheSecondHongZhongKongStandsHigherAndOnlyTheFirstIsKept) {
    rightRow(13);
    c().table.specialMode = 2;
    claims::showAction(c(), OpSingleGang, RightSeat, {0, 0, HongZhong});
    claims::showAction(c(), OpSingleGang, RightSeat, {0, 0, HongZhong});
    const auto& t = c().table;
    EXPECT_EQ(t.custom[3].hongZhongGangs, 2);
    EXPECT_EQ(t.singleGangImg[3][0], 36);
    EXPECT_EQ(t.singleGangImg[3][1], 35);
    EXPECT_DOUBLE_EQ(tile(35).top(), 500 - 18);
    EXPECT_EQ(t.custom[3].slots[0].img, 36) << "slot 0 keeps the first 红中 kong";
    EXPECT_EQ(t.custom[3].concealedCount, 11);
}

TEST_F(ActionDisplay, KaiGangLiesOnTheMiddleOfTheSeatsPeng) {
    rightRow(13);
    c().table.curTileImg = 60;
    claims::showAction(c(), OpPeng, RightSeat, {Wan(4), Wan(4), Wan(4)});
    claims::showAction(c(), OpSingleGang, RightSeat, {0, 0, Wan(4)});
    const auto& r = c().table.custom[3];
    EXPECT_EQ(r.concealedCount, 10);
    const int img = c().table.curTileImg;
    EXPECT_DOUBLE_EQ(tile(img).left(), tile(r.slots[3].img).left());
    EXPECT_DOUBLE_EQ(tile(img).top(), 500 - 3 * (35 - 17) - 17);
    EXPECT_EQ(table::shownTilePicture(c(), img), table::tilePicture(3, Wan(4)));
    EXPECT_EQ(r.hongZhongGangs + r.baoGangs + r.pizi1Gangs + r.pizi2Gangs, 0);
}

TEST_F(ActionDisplay, ASingleKongTheTableCannotHoldLeavesTheRowAsItWas) {
    // A 开杠 without a 碰 of its tile, and a fifth kong of a kind.
    rightRow(13);
    claims::showAction(c(), OpSingleGang, RightSeat, {0, 0, Wan(4)});
    EXPECT_EQ(c().table.custom[3].concealedCount, 13);
    EXPECT_EQ(c().table.custom[3].slots[16].img, 36) << "the back stays in the row";
    EXPECT_EQ(c().table.curTileImg, -1);
    EXPECT_TRUE(sim.process.logged("no 碰 of that tile"));

    c().table.wildTile = Tong(9);
    c().table.custom[3].baoGangs = 4;
    claims::showAction(c(), OpSingleGang, RightSeat, {0, 0, Tong(9)});
    EXPECT_EQ(c().table.custom[3].concealedCount, 13);
    EXPECT_EQ(c().table.custom[3].baoGangs, 4);
    EXPECT_TRUE(sim.process.logged("a fifth of its kind"));
}

// Whatever the table makes of a single kong, its replacement comes from the
// back of the wall; the own seat's tile leaves the hand, so the replacement
// makes a discard due again.
TEST_F(ActionDisplay, ARefusedSingleKongStillDrawsItsReplacementFromTheBack) {
    struct Case {
        const char* name;
        int seat;
        int wild;
        int baoGangs;
        int tile;
        int ownLeft;  // the own tile that leaves the hand's row, or 0
    };
    const Case cases[] = {
        {"another seat's 开杠 without a 碰", RightSeat, 0, 0, Wan(4), 0},
        {"another seat's fifth wild kong", RightSeat, Tong(9), 4, Tong(9), 0},
        {"own 开杠 without a 碰", OwnSeat, 0, 0, Wan(5), Wan(5)},
        {"own fifth wild kong", OwnSeat, Wan(5), 4, Wan(5), Wan(5)},
        {"own kong of a tile not in the hand", OwnSeat, 0, 0, Tong(9), Tong(7)},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        c().table = table::TableState{};
        c().claims.pending = {};
        rightRow(13);
        ownHand({Wan(1), Wan(3), Wan(5), Wan(6), Wan(7), Wan(8), Wan(9), Tong(1), Tong(2), Tong(3), Tong(4), Tong(5),
                 Tong(6), Tong(7)});
        auto& t = c().table;
        t.wildTile = k.wild;
        t.custom[k.seat == OwnSeat ? 0 : 3].baoGangs = k.baoGangs;
        claims::showAction(c(), OpSingleGang, k.seat, {0, 0, k.tile});
        EXPECT_FALSE(t.drawFromHead);
        EXPECT_TRUE(t.afterGang);
        EXPECT_EQ(t.custom[0].baoGangs + t.custom[3].baoGangs, k.baoGangs) << "nothing stacked";
        const auto& own = t.custom[0];
        if (k.ownLeft == 0) {
            EXPECT_EQ(own.concealedCount, 14);
            continue;
        }
        EXPECT_EQ(own.concealedCount, 13);
        EXPECT_EQ((own.concealedCount + 1 - 2) % 3, 0) << "the replacement makes a discard due";
        int left = 0;
        for (int i = own.firstConcealed; i < own.firstConcealed + own.concealedCount; ++i) {
            left += own.slots[static_cast<std::size_t>(i)].tile == k.ownLeft ? 1 : 0;
            EXPECT_TRUE(tile(own.slots[static_cast<std::size_t>(i)].img).visible());
        }
        EXPECT_EQ(left, 0) << "the kong's tile is out of the row";
        EXPECT_FALSE(tile(t.curTileImg).visible());
    }
}

TEST_F(ActionDisplay, OwnWildKongGoesBesideTheHandAndTheRowClosesUp) {
    thirteen();  // Wan(5) in slot 6, image 106
    c().table.wildTile = Wan(5);
    claims::showAction(c(), OpSingleGang, OwnSeat, {0, 0, Wan(5)});
    const auto& t = c().table;
    const auto& r = t.custom[0];
    EXPECT_EQ(r.concealedCount, 12);
    EXPECT_EQ(r.baoGangs, 1);
    EXPECT_EQ(t.singleGangImg[0][4], 106);
    EXPECT_DOUBLE_EQ(tile(106).left(), 50 + (48 - 5));
    EXPECT_DOUBLE_EQ(tile(106).top(), 574 + 78 / 4.0);
    EXPECT_EQ(table::shownTilePicture(c(), 106), table::tilePicture(0, Wan(5)));
    EXPECT_EQ(r.slots[6].tile, Wan(6)) << "the row closed the gap";
}

TEST_F(ActionDisplay, OwnWinOnADiscardLaysItAfterTheHandAndColoursTheBoard) {
    thirteen();
    c().table.curTileImg = 60;
    c().table.lastTileCode = Tong(7);
    tile(60).move(300, 300, 36, 50);
    claims::showAction(c(), OpHu, OwnSeat, {0, 0, 0});
    const auto& t = c().table;
    EXPECT_EQ(t.winnerView, 0);
    EXPECT_EQ(t.tileW[0], 48);
    EXPECT_EQ(t.tileH[0], 78);
    const ui::Control& last = tile(t.custom[0].slots[16].img);
    EXPECT_DOUBLE_EQ(tile(60).left(), last.left() + 48);
    EXPECT_DOUBLE_EQ(tile(60).top(), t.custom[0].handY);
    EXPECT_DOUBLE_EQ(tile(60).width(), 48);
    EXPECT_EQ(table::shownTilePicture(c(), 60), table::tilePicture(0, Tong(7)));
    ASSERT_TRUE(c().results.score);
    EXPECT_EQ(c().results.score->find("ID", 0)->foreColor(), (ui::Color{255, 0, 0}));
    for (int i = 1; i < 4; ++i) EXPECT_EQ(c().results.score->find("ID", i)->foreColor(), (ui::Color{0, 255, 0}));
}

TEST_F(ActionDisplay, OwnSelfDrawnWinMovesNoTile) {
    thirteen();
    c().table.custom[0].concealedCount = 14;
    c().table.custom[0].slots[17] = {table::SlotConcealed, Tong(7), 117};
    c().table.curTileImg = 60;
    tile(60).move(300, 300, 36, 50);
    claims::showAction(c(), OpHu, OwnSeat, {0, 0, 0});
    EXPECT_EQ(c().table.winnerView, 0);
    EXPECT_DOUBLE_EQ(tile(60).left(), 300);
    EXPECT_EQ(c().table.tileW[0], 48);
}

TEST_F(ActionDisplay, AnotherSeatsConcealedKongIsFourBacksAndARevealEntry) {
    rightRow(14);
    claims::showAction(c(), OpAnGang, RightSeat, {0, 0, Tong(7)});
    const auto& t = c().table;
    EXPECT_EQ(t.custom[3].concealedCount, 10);
    EXPECT_EQ(t.curTileImg, 20 + 17);
    EXPECT_EQ(t.anGangCount, 1);
    EXPECT_EQ(t.anGangTile[0], Tong(7));
    EXPECT_EQ(t.anGangView[0], 3);
    EXPECT_EQ(table::shownTilePicture(c(), 37), table::lyingBack(3));
    EXPECT_FALSE(t.drawFromHead);
    EXPECT_TRUE(t.afterGang);
    EXPECT_FALSE(c().claims.viewOpened[3]);
}

TEST_F(ActionDisplay, ARowThatCannotHoldTheMeldIsLeftAlone) {
    rightRow(2);
    claims::showAction(c(), OpChi, RightSeat, {Wan(1), Wan(2), Wan(3)});
    EXPECT_EQ(c().table.custom[3].concealedCount, 2);
    EXPECT_TRUE(sim.process.logged("claim of view 3 does not fit its row; not shown"));
}

TEST_F(ActionDisplay, OwnChiIsLaidLeftOfTheHandAndTheRowClosesUp) {
    thirteen();
    c().table.lastTileCode = Wan(4);
    c().table.curTileImg = 60;
    ASSERT_TRUE(claims::sendChi(c(), 5, 6));
    claims::showAction(c(), OpChi, OwnSeat, {Wan(3), Wan(5), Wan(4)});
    const auto& r = c().table.custom[0];
    const double lefts[3] = {136, 179, 222};
    const int imgs[3] = {105, 106, 60};
    for (int k = 0; k < 3; ++k) {
        EXPECT_DOUBLE_EQ(tile(imgs[k]).left(), lefts[k]) << k;
        EXPECT_DOUBLE_EQ(tile(imgs[k]).top(), 594);
        EXPECT_EQ(tile(imgs[k]).width(), 45);
    }
    EXPECT_EQ(table::shownTilePicture(c(), 60), table::tilePicture(0, Wan(4)));
    // Slot 4's tile moved three slots right, slots 7..16 one.
    EXPECT_EQ(r.slots[7].img, 104);
    EXPECT_DOUBLE_EQ(tile(104).left(), 50 + 48 * 7);
    EXPECT_EQ(r.slots[17].img, 116);
    EXPECT_EQ(r.firstConcealed, 7);
    EXPECT_EQ(r.concealedCount, 11);
    EXPECT_EQ(r.meldEnd, 6);
    EXPECT_EQ(c().table.tileW[0], 48);
    EXPECT_EQ(c().table.tileH[0], 78);
}

TEST_F(ActionDisplay, OwnConfirmationThisClientDidNotSendIsFoundInTheHand) {
    ownHand(
        {Wan(1), Wan(3), Wan(3), Wan(6), Wan(7), Wan(8), Wan(9), Tong(1), Tong(2), Tong(3), Tong(4), Tong(5), Tong(6)});
    c().table.curTileImg = 60;
    // Stale meld slots from an earlier claim the server never confirmed.
    c().table.custom[0].slots[1] = {table::SlotChi, Tong(9), 99};
    claims::showAction(c(), OpPeng, OwnSeat, {Wan(3), Wan(3), Wan(3)});
    const auto& r = c().table.custom[0];
    EXPECT_EQ(r.slots[1].img, 105);
    EXPECT_EQ(r.slots[2].img, 106);
    EXPECT_EQ(r.slots[3].img, 60);
    EXPECT_EQ(r.slots[1].state, table::SlotPeng);
    EXPECT_EQ(r.concealedCount, 11);
    EXPECT_TRUE(sim.process.logged("own claim 8 confirmed without a matching claim sent; meld found in the hand"));
}

TEST_F(ActionDisplay, OwnConcealedKongRelaysTheRowOnTheHandLine) {
    ownHand({Wan(1), Wan(7), Wan(7), Wan(7), Wan(7), Wan(9), Tong(1), Tong(2), Tong(3), Tong(4), Tong(5), Tong(6),
             Tong(7), Tong(8)});
    tile(113).setTop(564);  // raised by the pointer
    ASSERT_TRUE(claims::sendAnGang(c(), 5));
    claims::showAction(c(), OpAnGang, OwnSeat, {0, 0, Wan(7)});
    const auto& r = c().table.custom[0];
    EXPECT_EQ(c().table.curTileImg, 108);
    EXPECT_EQ(table::shownTilePicture(c(), 105), table::lyingBack(0));
    EXPECT_EQ(table::shownTilePicture(c(), 108), table::tilePicture(0, Wan(7)));
    EXPECT_DOUBLE_EQ(tile(108).left(), tile(106).left());
    EXPECT_EQ(r.concealedCount, 10);
    EXPECT_EQ(r.firstConcealed, 7);
    EXPECT_EQ(r.slots[7].img, 104);
    EXPECT_EQ(r.slots[8].img, 109);
    for (int i = 7; i < 17; ++i) {
        EXPECT_DOUBLE_EQ(tile(r.slots[static_cast<std::size_t>(i)].img).left(), 50 + 48 * i);
        EXPECT_DOUBLE_EQ(tile(r.slots[static_cast<std::size_t>(i)].img).top(), 574);
    }
}

TEST_F(ActionDisplay, TheClientsSeamsAreFilled) {
    EXPECT_TRUE(c().autoPlay);
    EXPECT_TRUE(c().timeoutDefaultAction);
    EXPECT_TRUE(c().showAction);
    EXPECT_TRUE(tile(0).onMouseDown);
    EXPECT_TRUE(tile(135).onMouseMove);
    EXPECT_TRUE(ctl("Operation", 4).onClick);
    EXPECT_TRUE(ctl("Gang", 5).onClick);
}

}  // namespace
}  // namespace mj::test
