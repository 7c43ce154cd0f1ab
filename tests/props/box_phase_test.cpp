// box_phase_test.cpp: the treasure-box phase from the hand's end to the
// settlement: the boxes, the choice, the reward display, the credit, and a
// hand settled exactly once however the plug-in behaves.
#include <algorithm>
#include <limits>

#include "props/box_phase.h"
#include "props/prop_requests.h"
#include "props/props_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

TEST(RewardLabel, SizeFollowsNamesAmountsAndItems) {
    platform::sim::SimPlatform sim;
    struct Case {
        const char* what;
        platform::PropBoxInfo info;
        platform::PropRewards reward;
        double width, height;
        int amountWidth, nameWidth;
    };
    const std::vector<Case> cases{
        {"two rewards", {{{"甲", "乙乙", "", ""}, {"", "", "", ""}}}, {1500, 80, 0, 0}, 168, 120, 4, 4},
        {"two rewards, three items",
         {{{"甲", "乙乙", "", ""}, {"a|b", "c", "", ""}}},
         {1500, 80, 0, 0},
         168,
         210,
         4,
         4},
        {"one reward", {{{"", "", "丙", ""}, {"", "", "", ""}}}, {0, 0, 5, 0}, (1 + 2 + 4) * 14, 50, 1, 2},
        {"items wider than the lines",
         {{{"a", "", "", ""}, {"一件很长的宝物", "", "", ""}}},
         {0, 0, 0, 0},
         (14 + 4) * 14,
         50,
         1,
         1},
        {"a negative reward takes no line", {{{"a", "b", "", ""}, {"", "", "", ""}}}, {-5, 20, 0, 0}, 7 * 14, 50, 2, 1},
    };
    for (const auto& k : cases) {
        const auto r = props::rewardLabel(sim.codec, k.info, k.reward, 10);
        EXPECT_EQ(r.width, k.width) << k.what;
        EXPECT_EQ(r.height, k.height) << k.what;
        EXPECT_EQ(r.layout.amountWidth, k.amountWidth) << k.what;
        EXPECT_EQ(r.layout.nameWidth, k.nameWidth) << k.what;
    }
    EXPECT_EQ(props::rewardLine("乙乙", "80", 4), "乙乙  80金币");
    EXPECT_EQ(props::rewardLine("甲", "12345", 4), "甲12345金币") << "a longer amount is not cut";
    // A limit below one is one: no division by zero.
    const auto one = props::rewardLabel(sim.codec, cases[0].info, cases[0].reward, 0);
    EXPECT_EQ(one.layout.step[0], 1500);
}

TEST(RewardLabel, TheDisplayTimingIsOneATimerTakesAndEndsWithinTenSeconds) {
    struct Case {
        platform::PropBoxTiming asked, used;
    };
    const Case cases[] = {{{100, 10}, {100, 10}},   {{0, 10}, {1, 10}},       {{-7, 0}, {1, 1}},
                          {{70000, 3}, {65535, 1}}, {{1000, 50}, {1000, 10}}, {{100, -2}, {100, 1}}};
    for (const auto& k : cases)
        EXPECT_EQ(props::boundedRewardTiming(k.asked), k.used) << k.asked[0] << "," << k.asked[1];
}

TEST(RandomPick, StaysWithinAGroup) {
    props::PropsState s;
    std::array<int, 5> seen{};
    for (int i = 0; i < 2000; ++i) {
        const int k = props::randomPick(s);
        ASSERT_GE(k, 0);
        ASSERT_LE(k, 4);
        ++seen[static_cast<std::size_t>(k)];
    }
    for (int n : seen) EXPECT_GT(n, 0);
    EXPECT_LT(seen[0], seen[2]) << "the ends are half as likely";
}

class BoxPhaseTest : public PropsFixture {
protected:
    void SetUp() override {
        PropsFixture::SetUp();
        startPlugin();
        client->dispatch.player[0].gold = 1000;
    }
    // The plug-in has the box data: view 0 and view 2 have boxes.
    void boxData(double ownReward = 200, double otherReward = 80) {
        fake->scoreReady = 1;
        fake->boxItemText = {"宝物一|宝物二", "", "宝物三", ""};
        fake->boxReward = {ownReward, 0, otherReward, 0};
        fake->boxInfoData = {{{"我", "", "李四", ""}, {"金元宝", "", "银元宝", ""}}};
    }
    bool boxesOffered(int group, bool enabled) const {
        for (int k = 5 * group; k < 5 * group + 5; ++k) {
            if (!box(k)->visible() || box(k)->enabled() != enabled) return false;
        }
        return true;
    }
};

TEST_F(BoxPhaseTest, ThePlayerPicksABoxTheRewardsCountUpAndTheHandIsSettledOnce) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(fake->showEnds, 1);
    ASSERT_TRUE(boxesOffered(0, true));
    EXPECT_FALSE(box(5)->visible());
    EXPECT_EQ(box(1)->left(), 170);
    EXPECT_EQ(box(1)->width(), 60);
    EXPECT_EQ(label().caption(), "请选择一个宝箱打开\r\n5");
    EXPECT_EQ(label().width(), 18 * 14);
    EXPECT_EQ(label().left(), 512 - 18 * 14 / 2);
    EXPECT_EQ(heroRows(), 0) << "no settlement while the boxes wait";

    box(3)->onClick();
    box(4)->onClick();  // a second click does nothing
    EXPECT_EQ(client->props.baoChs[0], 3);
    EXPECT_FALSE(box(3)->visible());
    EXPECT_FALSE(box(4)->visible()) << "the group's other boxes go";
    EXPECT_EQ(fake->gifs, (std::vector<std::pair<int, bool>>{{1, true}}));
    EXPECT_TRUE(client->props.rewardShowing);
    ASSERT_FALSE(run(Millis(150)));
    EXPECT_EQ(label().caption(), "我  0金币\r\n李四  0金币") << "counting starts at 0";
    ASSERT_FALSE(run(Millis(500)));
    EXPECT_NE(label().caption(), "我  0金币\r\n李四  0金币");
    EXPECT_EQ(heroRows(), 0);

    ASSERT_FALSE(run(Millis(3000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(client->dispatch.player[0].gold, 1000 + 30 + 200);
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：230金币"});
    EXPECT_EQ(history(), (std::vector<std::string>{"我200金币 ", "金元宝 ", "李四 80 ", "银元宝 "}));
    EXPECT_EQ(label().caption(), "我200金币\r\n金元宝\r\n李四 80金币\r\n银元宝");
    EXPECT_TRUE(box(3)->visible()) << "the open box rests at its seat";
    EXPECT_EQ(box(3)->left(), 480);
    EXPECT_EQ(box(3)->top(), 600);
    EXPECT_EQ(fake->showNexts, std::vector<bool>{false});
    EXPECT_FALSE(label().visible());
    EXPECT_EQ(client->props.propResultMode, 2);

    // Nothing runs the settlement again.
    ASSERT_FALSE(run(Millis(20000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(client->dispatch.player[0].gold, 1230);
}

TEST_F(BoxPhaseTest, WithoutAClickABoxIsPickedAtFiveSeconds) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    ASSERT_TRUE(boxesOffered(0, true));
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(label().caption().substr(label().caption().size() - 1), "3");
    ASSERT_FALSE(run(Millis(3500)));
    EXPECT_NE(client->props.baoChs[0], -1);
    EXPECT_LE(client->props.baoChs[0], 4);
    ASSERT_FALSE(run(Millis(5000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(client->dispatch.player[0].gold, 1230);
}

TEST_F(BoxPhaseTest, OnlyOtherSeatsHaveBoxesTheirPicksOpenAfterThreeSeconds) {
    fake->scoreReady = 1;
    fake->boxReward = {0, 0, 40, 60};
    fake->boxInfoData = {{{"", "", "李四", "赵六"}, {"", "", "", ""}}};
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_TRUE(boxesOffered(0, false)) << "slot 2's group, not to be clicked";
    EXPECT_TRUE(boxesOffered(1, false)) << "slot 3's group";
    EXPECT_FALSE(box(10)->visible());
    EXPECT_EQ(label().caption(), "请等待其他玩家打开宝箱\r\n5");
    const int pick2 = client->props.baoChs[2];
    EXPECT_GE(pick2, 0);
    EXPECT_LE(pick2, 4);
    EXPECT_GE(client->props.baoChs[3], 5);
    EXPECT_LE(client->props.baoChs[3], 9);
    box(1)->onClick();
    EXPECT_FALSE(client->props.boxChosen) << "a disabled box takes no click";
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_FALSE(client->props.rewardShowing);
    ASSERT_FALSE(run(Millis(1200)));
    EXPECT_TRUE(client->props.rewardShowing || heroRows() == 1) << "opened at two seconds left";
    ASSERT_FALSE(run(Millis(5000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(box(pick2)->left(), 480) << "slot 2's open box flies to its own target";
    EXPECT_EQ(box(pick2)->top(), 80);
}

TEST_F(BoxPhaseTest, NoBoxDataMeansTheSettlementAtOnce) {
    fake->scoreReady = 1;
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_FALSE(label().visible());
    EXPECT_FALSE(client->props.boxPromptOn);
    EXPECT_EQ(fake->showNexts, std::vector<bool>{false});
}

TEST_F(BoxPhaseTest, APluginWithoutBoxesGetsTheSettlementAfterItsData) {
    client->props.propGameDllState = props::PropStateLoaded;
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_FALSE(box(0)->visible());
    EXPECT_EQ(client->dispatch.player[0].gold, 1230) << "the reward is still credited";
}

TEST_F(BoxPhaseTest, APluginThatNeverHasItsDataReleasesTheHandWithinTenSeconds) {
    wonHand();
    ASSERT_FALSE(run(Millis(5000)));
    EXPECT_EQ(heroRows(), 0);
    EXPECT_GT(fake->scoreAsks, 10) << "asked on every tick";
    ASSERT_FALSE(run(Millis(5500)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(fake->showNexts, std::vector<bool>{false});
    fake->scoreReady = 1;
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(heroRows(), 1) << "late data changes nothing";
    // The next hand without an announcement is settled at once, not after
    // another wait on the old one.
    client->resetRoundData(*client);
    fake->scoreReady = 0;
    wonHand(false, 2);
    ASSERT_FALSE(run(Millis(1500)));
    EXPECT_EQ(heroRows(), 2);
}

TEST_F(BoxPhaseTest, WithoutAnnouncedDataTheSettlementFollowsAtOnce) {
    boxData();
    wonHand(false);
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(fake->scoreAsks, 0);
}

TEST_F(BoxPhaseTest, APluginGoneWhileTheBoxesWaitStillLeavesTheHandSettledOnce) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    ASSERT_TRUE(client->props.boxPromptOn);
    client->exitGameDll(*client, 0);
    EXPECT_EQ(heroRows(), 1);
    EXPECT_FALSE(client->props.boxPromptOn);
    ASSERT_FALSE(run(Millis(12000)));
    EXPECT_EQ(heroRows(), 1);
}

TEST_F(BoxPhaseTest, APluginGoneWhileTheRewardsCountStillLeavesTheHandSettledOnce) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    box(0)->onClick();
    ASSERT_TRUE(client->props.rewardShowing);
    client->exitGameDll(*client, 0);
    EXPECT_EQ(heroRows(), 1);
    EXPECT_FALSE(client->props.rewardShowing);
    ASSERT_FALSE(run(Millis(12000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(client->dispatch.player[0].gold, 1230) << "the reward the plug-in gave is credited";
}

TEST_F(BoxPhaseTest, ABoxSetUpFailingHalfWayFallsBackToTheSettlement) {
    boxData();
    ASSERT_TRUE(client->pic1->unloadElement("ImgProp", 3));
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_FALSE(box(0)->visible());
    EXPECT_FALSE(client->props.boxPromptOn);
    EXPECT_FALSE(client->props.boxPhaseOn);
}

TEST_F(BoxPhaseTest, ADrawnHandCreditsEveryRewardWithOrWithoutItems) {
    fake->scoreReady = 1;
    fake->boxItemText = {"", "", "宝物三", ""};
    fake->boxReward = {50, 0, 80, 0};
    fake->boxInfoData = {{{"我", "", "李四", ""}, {"", "", "", ""}}};
    client->dispatch.player[2].gold = 500;
    drawnHand();
    ASSERT_FALSE(run(Millis(1000)));
    box(2)->onClick();
    ASSERT_FALSE(run(Millis(4000)));
    ASSERT_EQ(heroRows(), 1);
    EXPECT_EQ(scoreList(0).items(), std::vector<std::string>{"      黄  庄"});
    EXPECT_EQ(scoreList(4).items(), std::vector<std::string>{"最终分：50金币"}) << "credited without item lines";
    EXPECT_EQ(client->dispatch.player[0].gold, 1050);
    EXPECT_EQ(scoreList(2).items(), (std::vector<std::string>{"      黄  庄", "", "宝物三", ""}));
    EXPECT_EQ(scoreList(6).items(), std::vector<std::string>{"最终分：80金币"});
    EXPECT_EQ(client->dispatch.player[2].gold, 580);
    EXPECT_EQ(client->dispatch.sumScore[2], 80);
    EXPECT_EQ(client->mainForm.find("Cash", 2)->caption(), "580金币");
    EXPECT_EQ(scoreList(5).items(), std::vector<std::string>{"最终分：0金币"});
    EXPECT_EQ(client->props.drawWithBoxes, 0);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(BoxPhaseTest, LeavingTheTableAbandonsThePhaseWithoutASettlement) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(platform::Millis(1000)));
    ASSERT_TRUE(client->props.boxPhaseOn);
    sim.socket.clearSent();
    client->resetSession(*client);
    EXPECT_FALSE(client->link.readyCountdown.on) << "no next hand at a table left";
    EXPECT_FALSE(client->results.score->visible());
    EXPECT_FALSE(client->props.boxPromptOn);
    EXPECT_FALSE(box(0)->visible());
    ASSERT_FALSE(run(platform::Millis(16000)));
    EXPECT_EQ(heroRows(), 0);
    EXPECT_FALSE(client->results.score->visible());
    const auto sent = sentCommands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 16), 0) << "no ready message";
}

TEST_F(BoxPhaseTest, TheLastHandsBoxDataIsGoneAtTheNextHandsEnd) {
    client->props.boxInfo[0][1] = "旧";
    client->results.box.reward[1] = 9;
    fake->scoreReady = 0;
    wonHand();
    ASSERT_FALSE(run(platform::Millis(1200)));
    EXPECT_EQ(client->props.boxInfo[0][1], "");
    EXPECT_EQ(client->results.box.reward[1], 0);
}

TEST_F(BoxPhaseTest, ALabelAskedForDuringTheRewardDisplayDoesNotHoldUpTheSettlement) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    box(0)->onClick();
    ASSERT_TRUE(client->props.rewardShowing);
    // The longest interval a timer takes, three times: the display's own
    // timer must not take it.
    fake->requests.push_back({"", "道具", {}, props::PropKindLabel, {120, 30, 10, 10}, {65535, 3, 12, 0xFF, 0}});
    ASSERT_FALSE(run(Millis(300)));
    EXPECT_EQ(fake->requests.size(), 0u) << "the label was asked for";
    ASSERT_FALSE(run(Millis(2700)));
    EXPECT_EQ(heroRows(), 1) << "settled within the display's own time";
    EXPECT_EQ(client->dispatch.player[0].gold, 1230);
    EXPECT_FALSE(client->props.rewardShowing);
    // Held messages wait for the countdown; it comes within seconds, not minutes.
    EXPECT_LE(client->props.timerProp->interval(), Millis(100));
}

TEST_F(BoxPhaseTest, RewardsAreBoundedToTheGoldFigureANegativeOneRefusedAndTheLabelStaysOnTheTable) {
    struct Case {
        const char* what;
        double reward;
        double credited;
        const char* logged;  // part of the log line, or nullptr for none
    };
    const double most = 9007199254740992.0;  // the largest whole amount a double holds to the unit
    const Case cases[] = {
        {"an ordinary reward", 200, 200, nullptr},
        {"the largest", most, most, nullptr},
        {"beyond any gold figure", 1e300, most, "view 0's reward is beyond what a gold figure holds"},
        {"negative", -5000, 0, "view 0's reward is negative; refused"},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), 0, "view 0's reward is not a number"},
    };
    int juNum = 1;
    for (const auto& k : cases) {
        client->resetRoundData(*client);
        client->dispatch.player[0].gold = 1000;
        sim.process.logLines.clear();
        boxData(k.reward);
        // Item text long enough to be wider than the table on its own.
        fake->boxItemText = {std::string(300, 'W'), "", "", ""};
        fake->boxInfoData[1][0] = std::string(200, 'I');
        wonHand(true, juNum++);
        ASSERT_FALSE(run(Millis(1000)));
        ASSERT_TRUE(client->props.boxPromptOn) << k.what;
        box(0)->onClick();
        ASSERT_FALSE(run(Millis(150)));
        const ui::Label& l = label();
        EXPECT_GE(l.left(), 0) << k.what;
        EXPECT_GE(l.top(), 0) << k.what;
        EXPECT_LE(l.left() + l.width(), client->pic1->width()) << k.what;
        EXPECT_LE(l.top() + l.height(), client->pic1->height()) << k.what;
        ASSERT_FALSE(run(Millis(4000)));
        EXPECT_EQ(client->dispatch.player[0].gold, 1000 + 30 + k.credited) << k.what;
        const std::string cash = client->mainForm.find("Cash", 0)->caption();
        EXPECT_LE(cash.size(), std::string("9007199254741022金币").size()) << k.what << ": " << cash;
        const auto& logs = sim.process.logLines;
        const bool found = k.logged && std::any_of(logs.begin(), logs.end(), [&k](const std::string& line) {
                               return line.find(k.logged) != std::string::npos;
                           });
        EXPECT_EQ(found, k.logged != nullptr) << k.what;
        if (!k.logged) {
            EXPECT_TRUE(std::none_of(logs.begin(), logs.end(), [](const std::string& line) {
                return line.find("reward") != std::string::npos;
            })) << k.what;
        }
        // The next hand starts from a settled board.
        ASSERT_FALSE(run(Millis(2000)));
    }
}

TEST_F(BoxPhaseTest, AnAnnouncementAfterTheHandWasSettledIsNotTheNextHands) {
    wonHand(false);
    ASSERT_FALSE(run(Millis(1000)));
    ASSERT_EQ(heroRows(), 1);
    // The box data announced late, after the hand was settled without it.
    deliver(message(46, OwnSeat));
    ASSERT_FALSE(run(Millis(500)));
    deliver(validMessage(4));  // the next hand starts
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_FALSE(client->props.scoreInfoReady);
    const int asked = fake->scoreAsks;
    wonHand(false, 2);
    ASSERT_FALSE(run(Millis(1500)));
    EXPECT_EQ(heroRows(), 2) << "settled at once, not after a wait for data never announced";
    EXPECT_EQ(fake->scoreAsks, asked);
}

}  // namespace
}  // namespace mj::test
