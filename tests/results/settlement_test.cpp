// settlement_test.cpp: the settlement arithmetic: amount decoding, rounding
// and number texts, multipliers, caps, booking and the board's layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "platform/sim/sim_platform.h"
#include "results/amount_text.h"
#include "results/settle_rows.h"
#include "results/settlement.h"

namespace mj::test {
namespace {

using namespace results;

void setAmount(SettleRowsOfSeat& rows, int first, std::uint64_t v) {
    for (int k = 0; k < 8; ++k) rows[static_cast<std::size_t>(first + k)] = static_cast<int>((v >> (8 * k)) & 0xFF);
}

TEST(AmountText, WholeAmountsInPlainDigitsOthersWithFifteenDigits) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "0"},
        {-0.0, "0"},
        {-30, "-30"},
        {1e15, "1000000000000000"},
        {9223372036854775808.0, "9223372036854775808"},
        {0.1 + 0.2, "0.3"},
        {6.25, "6.25"},
        {-2.5, "-2.5"},
        {1.0 / 3.0, "0.333333333333333"},
        {0.00001, "0.00001"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(amountText(v), text) << v;
}

TEST(AmountText, RoundingTakesHalvesToTheEvenNeighbour) {
    const std::vector<std::pair<double, double>> cases = {
        {2.5, 2}, {3.5, 4}, {6.25, 6}, {-2.5, -2}, {-3.5, -4}, {0.5, 0}, {1.5, 2}, {2.51, 3}, {-0.4, 0},
    };
    for (const auto& [v, r] : cases) EXPECT_EQ(roundHalfEven(v), r) << v;
}

TEST(SettleRows, AmountsAndTextsDecodeFromTheRows) {
    platform::sim::IconvCodec codec;
    SettleRowsOfSeat rows{};
    setAmount(rows, HandScoreBytes, 256);
    setAmount(rows, HandScore2Bytes, 3);
    EXPECT_EQ(firstAmount(rows), 256);
    rows[ScoreSign] = 2;
    EXPECT_EQ(firstAmount(rows), -256);
    EXPECT_EQ(secondAmount(rows), -3);  // the sign row turns both
    rows[ScoreSign] = 0;
    setAmount(rows, HandScoreBytes, 0x7FFFFFFFFFFFFFFFULL);
    EXPECT_EQ(firstAmount(rows), 9223372036854775808.0);

    const int level[] = {0xB8, 0xDF, 0xBC, 0xB6, 0};
    for (int k = 0; k < 5; ++k) rows[static_cast<std::size_t>(LevelText + k)] = level[k];
    EXPECT_EQ(levelText(rows, codec), "高级");
    rows[LevelText] = 0;
    EXPECT_EQ(levelText(rows, codec), "");

    WireMessage m{};
    m[10] = 0xFF;  // value(1) = -5
    m[11] = 0xFB;
    m[14] = 0x01;  // value(3) = 264
    m[15] = 0x08;
    m[16] = 7;
    m[66] = 9;
    m[235] = ' ';
    m[236] = ' ';
    m[237] = 0xB0;
    m[238] = 0xFC;
    SettleRowsOfSeat stored{};
    stored[60] = 42;
    storeSettleRows(stored, m);
    EXPECT_EQ(stored[RoomBase], -5);
    EXPECT_EQ(stored[CoinMode], 264);
    EXPECT_EQ(stored[HuPattern], 7);
    EXPECT_EQ(stored[LastStoredRow], 9);
    EXPECT_EQ(stored[60], 42);  // rows past 52 are not the message's
    EXPECT_EQ(noteText(m, codec), "包");
    WireMessage lead{};
    for (std::size_t i = 235; i < 255; ++i) lead[i] = 'A';
    lead[255] = 0xB0;  // its partner is byte 256
    lead[256] = 0xFC;
    EXPECT_EQ(noteText(lead, codec), std::string(20, 'A') + "包");
}

// A won hand: view 1 wins 100 gold from view 0.
Settlement wonHand() {
    Settlement s;
    s.juNum = 3;
    s.specialMode = 2;
    for (auto& rows : s.rows) rows[CoinMode] = 1;
    s.rows[1][HuPattern] = 1;
    setAmount(s.rows[1], HandScoreBytes, 100);
    setAmount(s.rows[1], HandScore2Bytes, 120);
    s.rows[0][DianPaoFlag] = 1;
    s.rows[0][ScoreSign] = 2;
    setAmount(s.rows[0], HandScoreBytes, 100);
    setAmount(s.rows[0], HandScore2Bytes, 120);
    s.handGold = {-100, 100, 0, 0};
    for (auto& p : s.player) p.gold = 500;
    return s;
}

std::vector<std::string> itemsStartingWith(const std::vector<std::string>& list, std::string_view prefix) {
    std::vector<std::string> out;
    for (const auto& item : list) {
        if (item.rfind(prefix, 0) == 0) out.push_back(item);
    }
    return out;
}

TEST(Settlement, TotalsAreDividedByTheMultipliersInForceAndRounded) {
    struct Case {
        bool wealthOn;
        const char* wealth;
        bool diceOn;
        const char* dice;
        double gold;
        std::vector<std::string> totals;
    };
    const std::vector<Case> cases = {
        {false, "0", false, "1", 50, {"总计：50金币"}},
        {true, "2", false, "1", 50, {"总计:25金币", "小计:60金币", "财富加倍 ×2"}},
        {true, "2", true, "4", 50, {"总计:6金币", "小计:15金币", "骰子加倍 ×4", "财富加倍 ×2"}},
        {true, "2", true, "4", 20, {"总计:2金币", "小计:15金币", "骰子加倍 ×4", "财富加倍 ×2"}},  // 2.5 -> 2
        {false, "0", true, "0", 50, {"总计：50金币", "骰子加倍 ×0"}},  // the flag shows, 0 divides nothing
        {true, "x", false, "1", 50, {"总计：50金币", "财富加倍 ×x"}},  // no number: not in force
    };
    for (const auto& c : cases) {
        Settlement s = wonHand();
        s.handGold[1] = c.gold;
        s.wealthOn = c.wealthOn;
        s.wealthCaption = c.wealth;
        s.diceOn = c.diceOn;
        s.difenCaption = c.dice;
        settle(s);
        std::vector<std::string> got;
        for (const char* p : {"总计", "小计", "骰子加倍", "财富加倍"}) {
            for (auto& item : itemsStartingWith(s.detail[1], p)) got.push_back(item);
        }
        EXPECT_EQ(got, c.totals) << c.wealth << " " << c.dice << " " << c.gold;
    }
}

TEST(Settlement, AllAmountsZeroShowsNoDivisionAndNoMultiplierLines) {
    Settlement s = wonHand();
    s.handGold = {};
    s.wealthOn = true;
    s.wealthCaption = "2";
    s.diceOn = true;
    s.difenCaption = "4";
    settle(s);
    for (const auto& list : s.detail) {
        EXPECT_EQ(itemsStartingWith(list, "总计"), std::vector<std::string>{"总计：0金币"});
        EXPECT_TRUE(itemsStartingWith(list, "小计").empty());
        EXPECT_TRUE(itemsStartingWith(list, "骰子加倍").empty());
    }
}

TEST(Settlement, BooksGoldPointsCountsAndTotals) {
    Settlement s = wonHand();
    s.player[0].gold = 40;
    s.player[0].score = 40;
    s.player[2].score = 10;
    s.handGold[3] = 3;  // score 0 with a positive gold result counts a win
    s.sumScore = {1, 2, 3, 4};
    settle(s);
    EXPECT_EQ(s.handScore[0], -100);
    EXPECT_EQ(s.handScore[1], 100);
    EXPECT_EQ(s.player[0].gold, 0);   // never below 0
    EXPECT_EQ(s.player[0].score, 1);  // points never below 1
    EXPECT_EQ(s.player[1].gold, 600);
    EXPECT_EQ(s.player[0].lossCount, 1);
    EXPECT_EQ(s.player[1].winCount, 1);
    EXPECT_EQ(s.player[2].lossCount, 1);
    EXPECT_EQ(s.player[3].winCount, 1);
    EXPECT_EQ(s.sumScore, (std::array<double, 4>{-99, 102, 3, 4}));
    EXPECT_EQ(s.winnerView, 1);
    EXPECT_EQ(s.heroNum, "3           ");
    EXPECT_EQ(s.heroGrade[0], "-100     金币");
    EXPECT_EQ(s.final[1], std::vector<std::string>{"最终分：100金币"});
    // The winner's coin total is rounded; the feeder sees the 屁胡 form.
    EXPECT_EQ(itemsStartingWith(s.detail[1], "总分"), std::vector<std::string>{"总分: 120金币"});
    EXPECT_NE(std::find(s.detail[0].begin(), s.detail[0].end(), "   点炮    "), s.detail[0].end());
}

TEST(Settlement, CapsMarksAndGoldBarUnits) {
    Settlement s = wonHand();
    s.rows[1][CapCode] = 0x12;  // 金顶 and the four-wild mark
    s.rows[0][CapCode] = 0x01;
    s.rows[0][BaoHuFlag] = 1;
    s.rows[2][CapCode] = 0x10;  // four-wild mark on a non-winner: not shown
    s.rows[0][CoinMode] = 0;
    settle(s);
    EXPECT_EQ(s.marks.goldCapMark[1], 1);
    EXPECT_EQ(s.marks.capMark[0], 1);
    const auto& w = s.detail[1];
    EXPECT_NE(std::find(w.begin(), w.end(), "金顶"), w.end());
    EXPECT_NE(std::find(w.begin(), w.end(), "4个宝胡牌：   ×2"), w.end());
    EXPECT_EQ(std::find(s.detail[2].begin(), s.detail[2].end(), "4个宝胡牌：   ×2"), s.detail[2].end());
    const auto& l = s.detail[0];
    EXPECT_NE(std::find(l.begin(), l.end(), "封顶"), l.end());
    EXPECT_NE(std::find(l.begin(), l.end(), "包胡"), l.end());
    EXPECT_EQ(itemsStartingWith(l, "总分"), std::vector<std::string>{"总分： -100金条"});
    EXPECT_EQ(s.final[0], std::vector<std::string>{"最终分：-100金条"});
}

TEST(Settlement, FirstSeparatorsLineUpAndTheWinnersNoteGoesWhereTheBaseSays) {
    for (int base : {8, 5}) {
        Settlement s = wonHand();
        s.rows[1][RoomBase] = base;
        s.rows[1][CoinCapFlag] = 1;
        s.rows[1][QiDuiCode] = 0x21;  // a longer detail part for the winner
        s.rows[1][MingGangCount] = 3;
        s.rows[1][AnGangCount] = 2;
        s.rows[1][BaoGangCount] = 2;
        s.otherSeatsNote = "包";
        settle(s);
        std::array<std::size_t, 4> firstSeparator{};
        for (std::size_t v = 0; v < 4; ++v) {
            const auto& list = s.detail[v];
            firstSeparator[v] = static_cast<std::size_t>(std::find(list.begin(), list.end(), Separator) - list.begin());
            EXPECT_GE(list.size(), 20u);
        }
        EXPECT_TRUE(std::all_of(firstSeparator.begin(), firstSeparator.end(), [&](std::size_t at) {
            return at == firstSeparator[1];
        })) << base;
        const auto notes = [&](std::size_t v) { return std::count(s.detail[v].begin(), s.detail[v].end(), "包"); };
        if (base == 8) {
            EXPECT_EQ(notes(1), 0);
            EXPECT_EQ(notes(0), 1);
            EXPECT_EQ(notes(3), 1);
        } else {
            EXPECT_EQ(notes(1), 1);
            EXPECT_EQ(notes(0), 0);
            EXPECT_EQ(std::count(s.detail[1].begin(), s.detail[1].end(), "金币封顶"), 1);
        }
    }
}

TEST(Settlement, NoWinnerAndLongConsecutiveWildsDoNotFail) {
    Settlement s = wonHand();
    setAmount(s.rows[1], HandScoreBytes, 0);
    s.rows[1][ScoreSign] = 2;
    s.lianLaiCount = 10;
    settle(s);
    EXPECT_EQ(s.winnerView, -1);
    EXPECT_NE(std::find(s.detail[2].begin(), s.detail[2].end(), "   连赖  ×1024"), s.detail[2].end());
    // Without a winner the feeder's 点炮 line has its fan.
    EXPECT_NE(std::find(s.detail[0].begin(), s.detail[0].end(), "   点炮    1番"), s.detail[0].end());
}

TEST(Settlement, BoxLinesAddTheirColourAndReward) {
    Settlement s = wonHand();
    s.box.itemText[2] = "宝箱A00000255|宝箱B00065280";
    s.box.reward[2] = 7;
    s.box.itemText[3] = "X16777216|Y0000abcd";  // out of range, not a number
    settle(s);
    const auto& l = s.detail[2];
    const std::vector<std::string> tail(l.end() - 4, l.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"", "宝箱A", "宝箱B", ""}));
    EXPECT_EQ(s.detailColor[2], 65280u);
    EXPECT_EQ(s.handScore[2], 7);
    EXPECT_EQ(s.final[2], std::vector<std::string>{"最终分：7金币"});
    EXPECT_EQ(s.box.reward[2], 0);
    EXPECT_TRUE(s.box.itemText[2].empty());
    EXPECT_EQ(s.detailColor[3], 0u);
    EXPECT_EQ(std::vector<std::string>(s.detail[3].end() - 3, s.detail[3].end() - 1),
              (std::vector<std::string>{"X", "Y"}));
}

TEST(Settlement, ABoxRewardWithoutItemLinesIsCreditedToo) {
    Settlement s = wonHand();
    s.box.reward[3] = 25;
    settle(s);
    EXPECT_EQ(s.handScore[3], 25);
    EXPECT_EQ(s.player[3].gold, 525);
    EXPECT_EQ(s.sumScore[3], 25);
    EXPECT_EQ(s.box.reward[3], 0) << "credited once";
    EXPECT_EQ(s.final[3], std::vector<std::string>{"最终分：25金币"});
    EXPECT_EQ(s.detailColor[3], 0u) << "no item lines, no colour";
}

}  // namespace
}  // namespace mj::test
