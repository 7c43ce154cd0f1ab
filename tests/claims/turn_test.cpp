// The local seat always answers: clicks, buttons, choices and the countdown's
// end, with the messages they send.
#include <gtest/gtest.h>

#include "claims/claim_choices.h"
#include "claims/tile_input.h"
#include "claims_fixture.h"

namespace mj::test {

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tong(int r) { return 0x80 + r; }
constexpr int Feng(int r) { return 0x10 + r; }
constexpr int Tiao(int r) { return 0x20 + r; }

namespace {

using Answers = std::vector<std::pair<int, int>>;

}  // namespace

class TurnTest : public ClaimsFixture {
protected:
    void handOf14() {
        ownHand({Wan(1), Wan(2), Wan(3), Wan(4), Wan(5), Wan(6), Wan(7), Wan(8), Wan(9), Tong(1), Tong(2), Tong(3),
                 Tong(5), Feng(3)});
    }
    void autoPlayOn() { c().link.autoPlayOn = true; }
};

namespace {

// ---- no stuck turn: every case still answers the offer by the time-out

TEST_F(TurnTest, WinPressedOnAnOfferLackingFanShowsTheNoticeAndTheTimeOutAnswers) {
    handOf14();
    offer(OpHu | OpAnGang, true);
    ctl("Operation", 3).onClick();
    EXPECT_TRUE(c().frmZhahu.visible());
    EXPECT_EQ(c().frmZhahu.alpha(), 200);
    EXPECT_TRUE(answers().empty());
    EXPECT_EQ(c().claims.actionState, 0);
    runOut();
    // The default action: the pass, then the newest tile.
    EXPECT_EQ(answers(), (Answers{{7, OpPass}, {2, 0x4000 | Feng(3)}}));
    EXPECT_FALSE(c().frmZhahu.visible());
}

TEST_F(TurnTest, KongChoiceIsSentByTheKindItWasFoundAs) {
    // Two 红中 side by side: the 红中 candidate fits no neighbour test, yet it
    // is a single kong; the wild tile is the second candidate.
    ownHand({0x29, HongZhong, HongZhong, Wan(2), Wan(3), Wan(4), Wan(5), Wan(6), Wan(7), Tong(1), Tong(2)});
    offer(OpSingleGang);
    ctl("Operation", 2).onClick();
    ASSERT_TRUE(ctl("Gang", 1).visible());
    EXPECT_EQ(c().link.countdownSeconds, 4);
    ctl("Gang", 0).onClick();
    EXPECT_EQ(answers(), (Answers{{7, OpSingleGang}}));
    EXPECT_EQ(sent()[0].value[3], 0x2000 | HongZhong);
    runOut();
    EXPECT_EQ(answers().size(), 1u);  // answered once
}

TEST_F(TurnTest, ChiWithFewerThanTwoTilesOfTheSuitPassesAtTheTimeOut) {
    ownHand({Wan(3), Tong(1), Tong(2), Tong(5), Feng(1), Feng(2), Feng(3), Feng(4), Feng(6), Feng(7), Tong(9), Tong(9),
             Tong(8)});
    c().table.lastTileCode = Wan(4);
    offer(OpChi);
    ctl("Operation", 0).onClick();
    EXPECT_TRUE(c().link.turnCountdown.on);
    runOut();
    EXPECT_EQ(answers(), (Answers{{7, OpPass}}));
}

TEST_F(TurnTest, AutoPlayKongWithoutCandidateGoesOnToPassAndDiscard) {
    autoPlayOn();
    handOf14();
    offer(OpAnGang);
    runOut();
    const Answers a = answers();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0], (std::pair{7, int{OpPass}}));
    EXPECT_EQ(a[1].first, 2);
    EXPECT_EQ(c().table.custom[0].concealedCount, 13);
}

TEST_F(TurnTest, AutoPlayDeclinesAWinLackingFan) {
    autoPlayOn();
    handOf14();
    c().dispatch.actionCount = 20;
    offer(OpHu, true);
    runOut();
    const Answers a = answers();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0], (std::pair{7, int{OpPass}}));
    EXPECT_EQ(a[1].first, 2);
    // The tile with no partner goes.
    EXPECT_EQ(a[1].second, 0x4000 | Feng(3));
}

// ---- auto-play's other decisions

TEST_F(TurnTest, AutoPlayDeclaresAnEnoughFanWinOnlyAfterNineActions) {
    autoPlayOn();
    handOf14();
    for (auto [actions, want] : {std::pair{9, int{OpPass}}, {10, int{OpHu}}}) {
        SCOPED_TRACE(actions);
        handOf14();
        sim.socket.clearSent();
        c().dispatch.actionCount = actions;
        offer(OpHu);
        runOut();
        ASSERT_FALSE(answers().empty());
        EXPECT_EQ(answers()[0], (std::pair{7, want}));
    }
}

TEST_F(TurnTest, AutoPlayPengsAUsefulPairAndSendsThePairTiles) {
    autoPlayOn();
    ownHand({Wan(1), Wan(2), Wan(3), Tong(9), Tong(9), Feng(1), Feng(2), Wan(5), Wan(6), Wan(7), Tong(4), Tong(5),
             Tong(6)});
    c().table.lastTileCode = Tong(9);
    c().table.curTileImg = 50;
    offer(OpPeng | OpPass);
    runOut();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].cmd, 7);
    EXPECT_EQ(s[0].value, (std::array{int{OpPeng}, 0x2089, 0x2089, 0x2089}));
    EXPECT_EQ(c().table.custom[0].slots[3].img, 50);
}

TEST_F(TurnTest, AutoPlayTakesAChiWithTheShapeItScoredBest) {
    autoPlayOn();
    ownHand({Wan(5), Wan(6), Tong(1), Tong(5), Feng(1), Feng(3), Feng(6), Tiao(1), Tiao(2), Tiao(3), Tong(7), Tong(8),
             Tong(9)});
    c().table.lastTileCode = Wan(7);
    c().table.curTileImg = 60;
    offer(OpChi | OpPass);
    runOut();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u) << "the 吃 answers the offer; no pass, no discard";
    EXPECT_EQ(s[0].cmd, 7);
    EXPECT_EQ(s[0].value, (std::array{int{OpChi}, 0x2045, 0x2046, 0x2047}));
    EXPECT_EQ(c().claims.chiChoiceSlots[0], 4);
    EXPECT_EQ(c().claims.chiChoiceSlots[1], 5);
    EXPECT_EQ(c().table.custom[0].concealedCount, 13);
}

TEST_F(TurnTest, AutoPlayLaysAConcealedKongOfAGoodHand) {
    autoPlayOn();
    ownHand({Wan(5), Wan(5), Wan(5), Wan(5), Tong(1), Tong(2), Tong(3), Tiao(1), Tiao(2), Tiao(3), Tong(6), Tong(7),
             Tong(8), Tong(9)});
    c().table.lastTileCode = Tong(9);
    offer(OpAnGang | OpPass);
    runOut();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u) << "the kong answers the offer; no pass, no discard";
    EXPECT_EQ(s[0].cmd, 7);
    EXPECT_EQ(s[0].value, (std::array{int{OpAnGang}, 0x2045, 0x2045, 0x2045}));
    EXPECT_EQ(c().table.custom[0].concealedCount, 14);
}

TEST_F(TurnTest, AutoPlayWinsOnAnotherSeatsDiscardAndLaysItByTheHand) {
    autoPlayOn();
    ownHand(
        {Wan(1), Wan(2), Wan(3), Wan(4), Wan(5), Wan(6), Wan(7), Wan(8), Wan(9), Tong(1), Tong(2), Tong(3), Feng(3)});
    c().dispatch.actionCount = 10;
    c().table.lastTileCode = Feng(3);
    c().table.curTileImg = 60;
    tile(60).move(300, 300, 36, 50);
    offer(OpHu | OpPass);
    runOut();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].cmd, 7);
    EXPECT_EQ(s[0].value[0], OpHu);
    // The discard lies just right of the last concealed tile, standing size,
    // with its face.
    const auto& r = c().table.custom[0];
    const ui::Control& last = tile(r.slots[static_cast<std::size_t>(r.firstConcealed + r.concealedCount - 1)].img);
    EXPECT_DOUBLE_EQ(tile(60).left(), last.left() + 48);
    EXPECT_DOUBLE_EQ(tile(60).top(), r.handY);
    EXPECT_DOUBLE_EQ(tile(60).width(), 48);
    EXPECT_DOUBLE_EQ(tile(60).height(), 78);
    EXPECT_EQ(table::shownTilePicture(c(), 60), table::tilePicture(0, Feng(3)));
    EXPECT_EQ(r.concealedCount, 13);
}

// ---- clicks

TEST_F(TurnTest, ClickDiscardPassesFirstThenDiscardsAndCentresTheTile) {
    handOf14();
    offer(OpAnGang);
    tile(110).onMouseDown({ui::ButtonLeft});
    EXPECT_EQ(answers(), (Answers{{7, OpPass}, {2, 0x4000 | Wan(7)}}));
    EXPECT_EQ(c().table.custom[0].concealedCount, 13);
    EXPECT_EQ(c().table.curTileImg, 110);
    // Centred with the discard size it now has.
    EXPECT_DOUBLE_EQ(tile(110).left(), (1024 - 36) / 2.0);
    EXPECT_DOUBLE_EQ(tile(110).top(), (768 - 50) / 2.0);
    EXPECT_EQ(tile(110).width(), 36);
    EXPECT_FALSE(c().link.turnCountdown.on);
    // A second click owes nothing.
    tile(104).onMouseDown({ui::ButtonLeft});
    EXPECT_EQ(answers().size(), 2u);
}

TEST_F(TurnTest, ClickWithAStaleDiscardFlagChangesNothing) {
    ownHand(
        {Wan(1), Wan(2), Wan(3), Wan(4), Wan(5), Wan(6), Wan(7), Wan(8), Wan(9), Tong(1), Tong(2), Tong(3), Tong(5)});
    c().table.canDiscard = true;
    tile(106).onMouseDown({ui::ButtonLeft});
    EXPECT_TRUE(answers().empty());
    EXPECT_EQ(c().table.custom[0].concealedCount, 13);
    EXPECT_EQ(c().table.custom[0].slots[6].img, 106);
    EXPECT_FALSE(c().table.canDiscard);
}

TEST_F(TurnTest, PengWithoutAPairPassesInstead) {
    ownHand({Wan(1), Wan(2), Wan(3), Tong(9), Feng(1)});
    c().table.lastTileCode = Feng(5);
    offer(OpPeng | OpPass);
    ctl("Operation", 1).onClick();
    EXPECT_EQ(answers(), (Answers{{7, OpPass}}));
    EXPECT_EQ(c().table.custom[0].slots[1].tile, 0);  // no meld slot written
}

TEST_F(TurnTest, PassAnswersOnceAndRightClicksNeedThePassButtonUp) {
    handOf14();
    offer(OpAnGang | OpPass);
    ctl("Operation", 4).onClick();
    ctl("Operation", 4).onClick();
    c().pic1->onMouseUp({ui::ButtonRight});
    EXPECT_EQ(answers(), (Answers{{7, OpPass}}));
    // A discard is due: the countdown keeps running and the tile click is live.
    EXPECT_TRUE(c().link.turnCountdown.on);
    EXPECT_TRUE(c().table.canDiscard);
    sim.socket.clearSent();
    offer(OpPass);
    c().table.canDiscard = false;
    c().pic1->onMouseUp({ui::ButtonRight});
    EXPECT_EQ(answers(), (Answers{{7, OpPass}}));
    EXPECT_EQ(c().claims.actionState, 1);
}

TEST_F(TurnTest, ChiChoicePicksThePairOfEitherPicture) {
    ownHand({Wan(2), Wan(3), Wan(3), Wan(5), Wan(6), Tong(1), Tong(2)});
    c().table.lastTileCode = Wan(4);
    c().table.curTileImg = 60;
    offer(OpChi | OpPass);
    ctl("Operation", 0).onClick();
    for (int i = 0; i < 6; ++i) EXPECT_TRUE(ctl("Chi", i).visible()) << i;
    EXPECT_DOUBLE_EQ(ctl("Chi", 1).left(), 408 + 38.4);
    EXPECT_DOUBLE_EQ(ctl("Chi", 2).top(), 461 - 62.4 * 0.8);
    ctl("Chi", 3).onClick();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u);
    // (3, 5) with the second 3; the discard last.
    EXPECT_EQ(s[0].value, (std::array{int{OpChi}, 0x2043, 0x2045, 0x2044}));
    // The hand was sorted first: 筒 1 2 in slots 4 and 5, then the 萬 run.
    EXPECT_EQ(c().claims.chiChoiceSlots[0], 8);
    EXPECT_EQ(c().claims.chiChoiceSlots[1], 9);
    for (int i = 0; i < 6; ++i) EXPECT_FALSE(ctl("Chi", i).visible());
}

TEST_F(TurnTest, DefaultActionPassesAndDiscardsTheNewestTile) {
    handOf14();
    offer(OpPass);
    runOut();
    EXPECT_EQ(answers(), (Answers{{7, OpPass}, {2, 0x4000 | Feng(3)}}));
    EXPECT_EQ(c().table.custom[0].concealedCount, 13);
    EXPECT_EQ(c().table.tileW[0], 36);
    EXPECT_DOUBLE_EQ(tile(117).left(), (1024 - 36) / 2.0);
    EXPECT_EQ(c().claims.actionState, 3);
}

TEST_F(TurnTest, HoverRaisesOneOwnTileAtATime) {
    handOf14();
    c().table.anNiuState[2] = true;
    tile(105).onMouseMove({});
    EXPECT_EQ(tile(105).top(), 564);
    tile(106).onMouseMove({});
    EXPECT_EQ(tile(105).top(), 574);
    EXPECT_EQ(tile(106).top(), 564);
    c().table.anNiuState[2] = false;
    tile(107).onMouseMove({});
    EXPECT_EQ(tile(107).top(), 574);
}

// The hand pointer shows only over a tile a click would play, and a tile
// that stops being playable gets the default pointer back.
TEST_F(TurnTest, HoverPointerMarksPlayableOwnTilesOnly) {
    struct Case {
        const char* what;
        int image;
        double top;
        bool spectator;
        bool anNiu;
        int pointer;
    };
    const Case cases[] = {
        {"own tile standing", 105, 574, false, true, ui::PointerCustom},
        {"own tile raised", 105, 564, false, true, ui::PointerCustom},
        {"own tile above the raise", 105, 563, false, true, ui::PointerDefault},
        {"spectator", 105, 574, true, true, ui::PointerDefault},
        {"hand not playable", 105, 574, false, false, ui::PointerDefault},
        {"tile not in the hand", 3, 574, false, true, ui::PointerDefault},
    };
    handOf14();
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        tile(k.image).setMousePointer(ui::PointerCustom - k.pointer);  // the other value
        tile(k.image).setTop(k.top);
        c().link.launch.isSpectator = k.spectator;
        c().table.anNiuState[2] = k.anNiu;
        tile(k.image).onMouseMove({});
        EXPECT_EQ(tile(k.image).mousePointer(), k.pointer);
    }
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(TurnTest, PengPlaysTheOwnClaimVoiceAndSendsThePair) {
    c().playerVoice = [](link::Client&, int) { return link::VoiceId{"00", "10", 1, 3}; };
    const std::string voice = c().link.sound.voiceDir + "v" + "00" + "10" + "1" + "3" + "02.wav";
    sim.sound.files.insert(voice);
    ownHand({Wan(1), Wan(2), Tong(9), Tong(9), Feng(1)});
    c().table.lastTileCode = Tong(9);
    offer(OpPeng | OpPass);
    ctl("Operation", 1).onClick();
    ASSERT_TRUE(sim.sound.main);
    EXPECT_EQ(sim.sound.main->file, voice);
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].value, (std::array{int{OpPeng}, 0x2089, 0x2089, 0x2089}));
    EXPECT_EQ(c().claims.actionState, 1);
    // A second press does nothing.
    ctl("Operation", 1).onClick();
    EXPECT_EQ(sent().size(), 1u);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(TurnTest, AfterAWinClicksTurnUpConcealedKongsAndTheNextWallTilesOnce) {
    auto& t = c().table;
    t.anGangImg[0] = 30;
    t.anGangTile[0] = Wan(5);
    t.anGangView[0] = 2;
    t.anGangCount = 1;
    t.wallPeekImg[0] = 0;  // image 0 is a wall place like any other
    t.wallPeekTile[0] = Tiao(3);
    t.wallPeekImg[1] = 41;
    t.wallPeekTile[1] = Tong(6);
    t.wallPeekCount = 2;
    t.wallTail = 41;
    t.indicatorImg = 90;

    // A drawn hand: nothing turns up.
    tile(30).onMouseDown({ui::ButtonLeft});
    EXPECT_EQ(t.anGangImg[0], 30);

    t.winnerView = 1;
    tile(30).onMouseDown({ui::ButtonLeft});
    EXPECT_EQ(table::shownTilePicture(c(), 30), table::tilePicture(2, Wan(5)));
    EXPECT_EQ(t.anGangImg[0], -1);
    tile(0).onMouseDown({ui::ButtonLeft});
    tile(41).onMouseDown({ui::ButtonLeft});
    EXPECT_EQ(table::shownTilePicture(c(), 0), table::tilePicture(0, Tiao(3)));
    EXPECT_EQ(table::shownTilePicture(c(), 41), table::tilePicture(0, Tong(6)));
    for (int i : {0, 1}) {
        const ui::Control& x = tile(i == 0 ? 0 : 41);
        EXPECT_DOUBLE_EQ(x.left(), 400 + 45 * i);
        EXPECT_DOUBLE_EQ(x.top(), 340);
        EXPECT_DOUBLE_EQ(x.width(), 45);
    }
    EXPECT_EQ(t.wallPeekImg[0], -1);
    EXPECT_EQ(t.wallPeekImg[1], -1);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(TurnTest, OneKongCandidateIsSentOnceByItsKindWhateverBitsWereOffered) {
    ownHand({Wan(5), Wan(5), Wan(5), Wan(5), Tong(1), Tong(2), Tong(3), Tong(4), Tong(5), Tong(6), Tong(7), Tong(8),
             Tong(9), Feng(2)});
    c().table.lastTileCode = Feng(6);
    offer(OpMingGang | OpAnGang | OpPass);
    ctl("Operation", 2).onClick();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].value, (std::array{int{OpAnGang}, 0x2045, 0x2045, 0x2045}));
    EXPECT_FALSE(ctl("Gang", 0).visible());
}

TEST_F(TurnTest, OneChiShapeIsSentAtOnceWithoutPictures) {
    ownHand({Wan(5), Wan(6), Tong(1), Tong(5), Feng(1)});
    c().table.lastTileCode = Wan(7);
    c().table.curTileImg = 60;
    offer(OpChi | OpPass);
    ctl("Operation", 0).onClick();
    const auto s = sent();
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].value, (std::array{int{OpChi}, 0x2045, 0x2046, 0x2047}));
    EXPECT_FALSE(ctl("Chi", 0).visible());
    EXPECT_FALSE(ctl("Operation", 0).visible());
}

}  // namespace
}  // namespace mj::test
