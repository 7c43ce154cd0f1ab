// hand_result_test.cpp: the end of a hand from the server's messages: gold
// results, settlement rows, the drawn hand, booking once, the hand history
// and the session board.
#include <algorithm>

#include "dispatch/dispatch_fixture.h"
#include "results/hand_history.h"
#include "results/result_boards.h"
#include "results/results_install.h"

namespace mj::test {
namespace {

using platform::Millis;
constexpr std::array<SeatBit, 4> SeatBits{1, 8, 4, 2};  // views 0..3 when the own seat is 1

class HandResultTest : public DispatchFixture {
protected:
    std::string historyPath() const { return platform::joinPath(sim.process.folder, results::HandHistoryFile); }

    static WireMessage handGold(SeatBit seat, std::int64_t amount, int sign = 1) {
        WireMessage m = message(9, seat);
        setValue(m, 1, sign);
        const auto bits = static_cast<std::uint64_t>(amount);
        for (std::size_t k = 0; k < 8; ++k) m[16 + k] = static_cast<std::uint8_t>(bits >> (8 * k));
        return m;
    }

    // Rows of a seat that won (`amount` > 0) or lost, in coins.
    static WireMessage handDetail(SeatBit seat, std::int64_t amount, int pattern = 0) {
        WireMessage m = message(17, seat);
        setValue(m, 1, 10);  // room base
        setValue(m, 3, 1);   // coins
        m[16] = static_cast<std::uint8_t>(pattern);
        const auto bits = static_cast<std::uint64_t>(amount < 0 ? -amount : amount);
        for (std::size_t k = 0; k < 8; ++k) m[27 + k] = static_cast<std::uint8_t>(bits >> (8 * k));
        m[35] = amount < 0 ? 2 : 0;
        return m;
    }

    void wonHand(int juNum) {
        client->link.juNum = juNum;
        const std::array<std::int64_t, 4> gold{30, -10, -10, -10};
        for (std::size_t v = 0; v < 4; ++v) ASSERT_FALSE(receive(handGold(SeatBits[v], gold[v])));
        for (std::size_t v = 0; v < 4; ++v) ASSERT_FALSE(receive(handDetail(SeatBits[v], gold[v], v == 0 ? 1 : 0)));
    }

    void drawnHand(int juNum) {
        client->link.juNum = juNum;
        for (SeatBit b : SeatBits) ASSERT_FALSE(receive(handGold(b, 0)));
    }

    ui::ListBox& scoreList(int j) const { return *client->results.score->findAs<ui::ListBox>("State", j); }
    ui::ListBox& heroList(std::string_view name, int i = -1) const {
        return *client->results.hero->findAs<ui::ListBox>(name, i);
    }
};

TEST_F(HandResultTest, GoldAmountsAreSignedAndTheSignValueTurnsThem) {
    struct Case {
        std::int64_t bytes;
        int sign;
        double gold;
    };
    for (const Case& k : {Case{-1, 1, -1}, Case{-1, 0, 1}, Case{100000000, 1, 100000000}}) {
        ASSERT_FALSE(receive(handGold(8, k.bytes, k.sign)));
        EXPECT_EQ(client->table.custom[1].handGold, k.gold);
    }
    EXPECT_TRUE(client->link.holdQuitMsg);
    EXPECT_FALSE(client->results.score->visible());
}

TEST_F(HandResultTest, DrawnHandIsShownSavedAndCountedDown) {
    client->dispatch.resultPlayer[2] = {"对家", "4"};
    results::showBoardPlayer(*client, 2);
    EXPECT_EQ(client->results.hero->find("ID", 2)->caption(), "对家");
    drawnHand(2);
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(scoreList(v).items(), std::vector<std::string>{"      黄  庄"});
        EXPECT_EQ(scoreList(v + 4).items(), std::vector<std::string>{"最终分：0金币"});
        EXPECT_EQ(heroList("Grade", v).items(), std::vector<std::string>{"0        金币"});
    }
    EXPECT_EQ(client->results.score->find("ID", 2)->caption(), "对家");
    EXPECT_TRUE(client->results.score->visible());
    EXPECT_EQ(strip(0), "请点击【继续】按钮继续游戏！");
    EXPECT_TRUE(client->link.readyCountdown.on);
    EXPECT_EQ(client->number->caption(), "15");
    EXPECT_FALSE(client->link.holdQuitMsg);
    EXPECT_EQ(sim.ini.get(historyPath(), "juNum:2", "count( 3 )( 0 )"), "黄  庄");
    EXPECT_EQ(sim.ini.get(historyPath(), "juNum:2", "name( 2 )"), "对家");
}

// An auto-playing seat is hurried on only after a won hand's settlement; a
// drawn hand waits the full time whoever plays the seat.
TEST_F(HandResultTest, TheNextHandCountdownIsShortOnlyAfterAWonHandWithAutoPlay) {
    struct Case {
        bool autoPlay;
        bool won;
        const char* seconds;
    };
    for (const Case& k :
         {Case{false, false, "15"}, Case{true, false, "15"}, Case{false, true, "15"}, Case{true, true, "3"}}) {
        SCOPED_TRACE(std::string(k.autoPlay ? "auto-play " : "") + (k.won ? "won" : "drawn"));
        client->link.autoPlayOn = k.autoPlay;
        client->link.readyCountdown = {};
        client->number->setCaption("");
        if (k.won) {
            wonHand(1);
        } else {
            drawnHand(1);
        }
        EXPECT_TRUE(client->link.readyCountdown.on);
        EXPECT_EQ(client->number->caption(), k.seconds);
        EXPECT_EQ(std::to_string(client->link.countdownSeconds), k.seconds);
    }
}

// The ready itself goes out when the countdown ends: not before 14 s after
// a drawn hand, auto-play or not.
TEST_F(HandResultTest, AnAutoPlayingSeatReadiesFifteenSecondsAfterADrawnHand) {
    client->link.loggedIn = true;
    client->link.autoPlayOn = true;
    auto readies = [&] {
        int n = 0;
        for (const auto& m : sim.socket.sentMessages()) n += m[wire::Cmd] == CmdReady && m[15] == 1 ? 1 : 0;
        return n;
    };
    drawnHand(1);
    sim.socket.clearSent();
    ASSERT_FALSE(run(Millis(14000)));
    EXPECT_EQ(readies(), 0);
    ASSERT_FALSE(run(Millis(2500)));
    EXPECT_EQ(readies(), 1);

    // After a won hand the auto-playing seat readies within a few seconds.
    sim.socket.clearSent();
    wonHand(2);
    ASSERT_FALSE(run(Millis(4500)));
    EXPECT_EQ(readies(), 1);
}

TEST_F(HandResultTest, AHiddenClientFillsTheBoardWithoutShowingIt) {
    client->shell.bossKeyOn = true;
    client->mainForm.setWindowState(ui::Form::WindowState::Minimized);
    drawnHand(1);
    EXPECT_FALSE(client->results.score->visible());
    EXPECT_EQ(scoreList(0).listCount(), 1);
    wonHand(2);
    EXPECT_FALSE(client->results.score->visible());
    EXPECT_EQ(heroList("Num").listCount(), 2);
    EXPECT_TRUE(client->link.readyCountdown.on);
}

TEST_F(HandResultTest, ASeatThatIsNotOneSeatBitIsDropped) {
    for (std::uint8_t seat : {0, 3, 12}) {
        const int dropped = client->dispatch.droppedMessages;
        ASSERT_FALSE(receive(handDetail(seat, 50, 1)));
        ASSERT_FALSE(receive(handGold(seat, 50)));
        EXPECT_EQ(client->dispatch.droppedMessages, dropped + 2) << int(seat);
    }
    EXPECT_EQ(client->results.detailReceived, 0u);
    EXPECT_EQ(client->results.goldReceived, 0u);
}

TEST_F(HandResultTest, ARepeatedSeatNeitherStandsInForAMissingOneNorActsTwice) {
    client->link.juNum = 1;
    for (SeatBit b : {1, 8, 8, 4}) ASSERT_FALSE(receive(handGold(b, 0)));
    EXPECT_FALSE(client->results.score->visible());
    ASSERT_FALSE(receive(handGold(2, 0)));
    EXPECT_EQ(heroList("Num").listCount(), 1);

    client->link.juNum = 2;
    const std::array<std::int64_t, 4> gold{30, -10, -10, -10};
    for (std::size_t v = 0; v < 4; ++v) ASSERT_FALSE(receive(handGold(SeatBits[v], gold[v])));
    for (std::size_t v : {0, 1, 1, 2}) ASSERT_FALSE(receive(handDetail(SeatBits[v], gold[v], v == 0 ? 1 : 0)));
    EXPECT_EQ(heroList("Num").listCount(), 1);
    ASSERT_FALSE(receive(handDetail(SeatBits[3], gold[3])));
    EXPECT_EQ(heroList("Num").listCount(), 2);
    // A late duplicate after the round is complete books nothing.
    ASSERT_FALSE(receive(handDetail(SeatBits[3], gold[3])));
    EXPECT_EQ(heroList("Num").listCount(), 2);
}

TEST_F(HandResultTest, AWonHandIsBookedOnceWhoeverRunsTheSettlement) {
    // The plug-in was started but is not loaded: the tick's hand-off runs too.
    client->props.propInitOk = true;
    client->dispatch.player[0].gold = 100;
    wonHand(4);
    ASSERT_FALSE(run(Millis(500)));
    client->showSettlement(*client);
    EXPECT_EQ(heroList("Num").listCount(), 1);
    EXPECT_EQ(heroList("Grade", 0).items(), std::vector<std::string>{"30       金币"});
    EXPECT_EQ(client->dispatch.sumScore[0], 30);
    EXPECT_EQ(client->dispatch.player[0].gold, 130);
    EXPECT_EQ(client->dispatch.player[0].winCount, 1);
    EXPECT_EQ(client->table.winnerView, 0);
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：30金币"});
    EXPECT_EQ(client->results.hero->find("sumScore", 0)->caption(), "30金币");
    EXPECT_TRUE(client->results.score->visible());
    EXPECT_EQ(sim.ini.get(historyPath(), "juNum:4", "count( 4 )( 0 )"), "最终分：30金币");
}

TEST_F(HandResultTest, WithThePluginTheTickShowsTheSettlementOnce) {
    loadPlugin();
    client->props.propInitOk = true;
    client->link.juNum = 1;
    const std::array<std::int64_t, 4> gold{30, -10, -10, -10};
    for (std::size_t v = 0; v < 4; ++v) deliver(handGold(SeatBits[v], gold[v]));
    for (std::size_t v = 0; v < 4; ++v) deliver(handDetail(SeatBits[v], gold[v]));
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(heroList("Num").listCount(), 1);
    EXPECT_FALSE(client->props.scorePending);
    EXPECT_EQ(client->props.propResultMode, 2);
}

TEST_F(HandResultTest, ThePluginIsToldOfEachCompleteResultAndEveryGoldResultEndsTheVideo) {
    int videoEnds = 0;
    client->leaveVideo = [&videoEnds](link::Client&) { ++videoEnds; };
    loadPlugin();
    wonHand(1);
    EXPECT_EQ(plugin->showEnds, 1);
    EXPECT_EQ(videoEnds, 4);
    drawnHand(2);
    EXPECT_EQ(plugin->showEnds, 2);
    EXPECT_EQ(videoEnds, 8);
    // The plug-in was never initialised: its result is still shown, once.
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(heroList("Num").listCount(), 2);
}

TEST_F(HandResultTest, WithoutThePluginNoHandOffIsLeftForALaterOne) {
    wonHand(1);
    EXPECT_EQ(heroList("Num").listCount(), 1);
    EXPECT_FALSE(client->props.scorePending);
    // A plug-in loaded afterwards finds nothing to show again.
    loadPlugin();
    client->props.propInitOk = true;
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(heroList("Num").listCount(), 1);
}

TEST_F(HandResultTest, APluginThatNeverShowsTheResultDoesNotHoldTheHandForEver) {
    loadPlugin();
    client->props.propInitOk = true;
    client->props.scoreInfoReady = true;  // the tick's hand-off waits for the plug-in
    drawnHand(1);
    ASSERT_FALSE(run(Millis(5000)));
    EXPECT_FALSE(client->results.score->visible());
    ASSERT_FALSE(run(Millis(60000)));
    EXPECT_TRUE(client->results.score->visible());
    EXPECT_EQ(heroList("Num").listCount(), 1);
    wonHand(2);
    ASSERT_FALSE(run(Millis(61000)));
    EXPECT_EQ(heroList("Num").listCount(), 2);
    ASSERT_FALSE(run(Millis(61000)));
    client->showSettlement(*client);  // the plug-in shows it late: booked already
    EXPECT_EQ(heroList("Num").listCount(), 2);
}

TEST_F(HandResultTest, TheSessionBoardReopensEachRowsOwnHand) {
    drawnHand(1);
    wonHand(3);  // hand 2 ended without a board
    const auto wonLists = scoreList(0).items();
    client->results.score->setVisible(false);
    results::reopenHeroRow(*client, 0);
    EXPECT_EQ(scoreList(0).items(), std::vector<std::string>{"黄  庄"});  // loaded lines are trimmed
    results::reopenHeroRow(*client, 1);
    EXPECT_EQ(scoreList(0).listCount(), static_cast<int>(wonLists.size()));
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：30金币"});
    EXPECT_TRUE(client->results.score->visible());
    EXPECT_TRUE(client->results.score->topmost());

    // Pressing a row and double-clicking it reopens that row's hand.
    auto& grade = heroList("Grade", 2);
    grade.onMouseDown(ui::MouseEvent{ui::ButtonLeft, 0, 1, grade.itemHeight() * 0.5});
    grade.onDblClick();
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：0金币"});
    // The pressed row is the selected row across the whole board.
    EXPECT_EQ(heroList("Num").listIndex(), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(heroList("Grade", i).listIndex(), 0) << i;
    auto& num = heroList("Num");
    num.onMouseDown(ui::MouseEvent{ui::ButtonLeft, 0, 1, num.itemHeight() * 1.5});
    for (int i = 0; i < 4; ++i) EXPECT_EQ(heroList("Grade", i).listIndex(), 1) << i;
}

TEST_F(HandResultTest, TheBoardsAreTranslucentAndDraggedByTheirSurface) {
    int drags = 0;
    for (ui::Form* board : {client->results.score.get(), client->results.hero.get()}) {
        EXPECT_EQ(board->alpha(), 200);
        board->moveWithMouse = [&drags] { ++drags; };
        board->onMouseDown(ui::MouseEvent{ui::ButtonLeft, 0, 5, 5});
    }
    client->results.hero->find("Tou", 2)->onMouseDown(ui::MouseEvent{ui::ButtonLeft, 0, 1, 1});
    client->results.hero->find("Label1")->onMouseDown(ui::MouseEvent{ui::ButtonLeft, 0, 1, 1});
    EXPECT_EQ(drags, 4);
    EXPECT_FALSE(client->results.score->find("Tou", 0)->onMouseDown) << "a face on the hand's board does not drag it";
}

TEST_F(HandResultTest, TheToolbarShowsTheLastFinishedHandAndTheSessionBoard) {
    wonHand(1);
    drawnHand(2);
    client->results.score->setVisible(false);
    client->link.juNum = 3;
    client->link.handRunning = true;
    results::toggleHandBoard(*client);
    EXPECT_TRUE(client->results.score->visible());
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：0金币"});
    results::toggleHandBoard(*client);
    EXPECT_FALSE(client->results.score->visible());
    client->link.handRunning = false;
    client->link.juNum = 1;
    results::toggleHandBoard(*client);
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：30金币"});
    results::toggleHeroBoard(*client);
    EXPECT_TRUE(client->results.hero->visible());
    EXPECT_EQ(heroList("Num").items(), (std::vector<std::string>{"1           ", "2           "}));
}

TEST(HandHistoryLifetime, StartUpEmptiesAnEarlierRunsFile) {
    platform::sim::SimPlatform sim;
    const std::string path = platform::joinPath(sim.process.folder, results::HandHistoryFile);
    sim.ini.write(path, "juNum:1", "count( 0 )", "1");
    link::Client client(sim.platform);
    EXPECT_FALSE(sim.files.exists(path));
}

TEST_F(HandResultTest, TheLoginReplyEmptiesTheFile) {
    drawnHand(1);
    ASSERT_TRUE(sim.files.exists(historyPath()));
    WireMessage login = message(18);
    setValue(login, 3, 1);
    ASSERT_FALSE(receive(login));
    EXPECT_FALSE(sim.files.exists(historyPath()));
}

TEST_F(HandResultTest, TheHandResetClearsRowsAndLeavingClearsTheBoards) {
    wonHand(1);
    client->resetRoundData(*client);
    for (const auto& rows : client->results.settle) {
        EXPECT_TRUE(std::all_of(rows.begin(), rows.end(), [](int r) { return r == 0; }));
    }
    EXPECT_EQ(client->results.handScore, (std::array<double, 4>{}));
    client->resetSession(*client);
    EXPECT_EQ(heroList("Num").listCount(), 0);
    EXPECT_EQ(scoreList(0).listCount(), 0);
    EXPECT_FALSE(client->results.score->visible());
}

}  // namespace
}  // namespace mj::test
