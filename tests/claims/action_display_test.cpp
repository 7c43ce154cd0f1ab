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
