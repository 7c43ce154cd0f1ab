// plugin_fault_test.cpp: a props plug-in member that throws, for every member
// the scheduler tick calls: the client logs it, shuts the plug-in down for
// the rest of the run, never calls it again, and plays on.
#include <algorithm>
#include <functional>
#include <stdexcept>

#include "props/prop_requests.h"
#include "props/props_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class PluginFaultTest : public PropsFixture {
public:
    // What the cases below reach for.
    using ClientFixture::client;
    using ClientFixture::deliver;
    using ClientFixture::message;
    using ClientFixture::run;
    using ClientFixture::sim;
    using DispatchFixture::OwnSeat;
    using PropsFixture::fake;
    using PropsFixture::wonHand;

    void SetUp() override {
        PropsFixture::SetUp();
        startPlugin();
        client->dispatch.player[0].gold = 1000;
    }
    bool logged(const std::string& part) const {
        const auto& logs = sim.process.logLines;
        return std::any_of(logs.begin(), logs.end(),
                           [&part](const std::string& line) { return line.find(part) != std::string::npos; });
    }
    void boxData() {
        fake->scoreReady = 1;
        fake->boxReward = {200, 0, 0, 0};
        fake->boxInfoData = {{{"我", "", "", ""}, {"金元宝", "", "", ""}}};
    }
};

struct FaultCase {
    const char* member;
    // Brings the tick to call the member; `settles` when a hand is at its end.
    std::function<void(PluginFaultTest&)> provoke;
    bool settles;
};

const std::vector<FaultCase>& faultCases() {
    static const std::vector<FaultCase> cases{
        {"checkSendBuff", [](PluginFaultTest&) {}, false},
        {"getSendBuff",
         [](PluginFaultTest& t) {
             t.fake->requests.push_back({"", "hello", {}, props::PropKindText, {}, {}});
         },
         false},
        {"getScoreInfo",
         [](PluginFaultTest& t) {
             t.boxData();
             t.wonHand();
         },
         true},
        {"initShowNext", [](PluginFaultTest& t) { t.wonHand(false); }, true},
        {"initShowEnd", [](PluginFaultTest& t) { t.wonHand(false); }, true},
        {"recMsg", [](PluginFaultTest& t) { t.deliver(PluginFaultTest::message(46, PluginFaultTest::OwnSeat)); },
         false},
        // The box countdown runs out in the tick and opens a box.
        {"showGif",
         [](PluginFaultTest& t) {
             t.boxData();
             t.wonHand();
         },
         true},
        // A turn that timed out once too often presses the key for the player.
        {"setKeyDown",
         [](PluginFaultTest& t) {
             auto& l = t.client->link;
             l.loggedIn = true;
             l.timeoutLimit = 1;
             l.countdownSeconds = 0;
             l.turnCountdown.on = true;
             t.client->claims.offerReceived = true;
             t.client->claims.actionState = 0;
         },
         false},
        // The link check finds the connection gone.
        {"recState", [](PluginFaultTest& t) { t.sim.socket.peerClose(); }, false},
        // The receive watchdog gives the table up.
        {"initExit",
         [](PluginFaultTest& t) {
             // A message keeps the receive task running; then nothing comes.
             t.deliver(PluginFaultTest::message(32));
             ASSERT_FALSE(t.run(Millis(100)));
             t.client->link.inGame = true;
             t.client->link.recvWatchdog = 2398;
         },
         false},
    };
    return cases;
}

class PluginFaultInTick : public PluginFaultTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(PluginFaultInTick, ShutsThePluginDownForTheRunAndTheClientPlaysOn) {
    const FaultCase& k = GetParam();
    fake->throwIn = k.member;
    k.provoke(*this);
    ASSERT_FALSE(run(Millis(8000))) << "the client must not end";
    EXPECT_TRUE(logged(std::string("props plug-in: ") + k.member + " failed (" + k.member + " broke)"));
    EXPECT_EQ(client->props.propGameDllState, props::PropStateUnused);
    EXPECT_FALSE(client->props.propInitOk);
    EXPECT_FALSE(client->props.loaded());
    EXPECT_TRUE(client->timerBong->enabled()) << "the tick goes on";
    if (k.settles) {
        EXPECT_EQ(heroRows(), 1) << "the hand is settled by the client, once";
        EXPECT_FALSE(box(0)->visible());
        EXPECT_FALSE(label().visible());
    }

    // Never called again: not by the tick, a request, a message or a new
    // profile that would start it.
    const int calls = fake->memberCalls;
    fake->throwIn.clear();
    fake->requests.push_back({"", "later", {}, props::PropKindText, {}, {}});
    deliver(message(46, OwnSeat));
    client->initGameDll(*client);
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(fake->memberCalls, calls);
    EXPECT_EQ(client->props.propGameDllState, props::PropStateUnused);
    if (k.settles) {
        EXPECT_EQ(heroRows(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryMemberTheTickCalls, PluginFaultInTick, ::testing::ValuesIn(faultCases()),
                         [](const ::testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.member);
                         });

TEST_F(PluginFaultTest, ARequestTheFailingPluginWasFillingIsNotCarriedOut) {
    // The packet is in place when the plug-in fails: it is not sent.
    std::vector<std::uint8_t> packet(WireMessageSize, 0);
    packet[3] = 16;
    fake->requests.push_back({"", "", packet, props::PropKindPacket, {}, {}});
    fake->onFetch = [] { throw std::runtime_error("late failure"); };
    sim.socket.clearSent();
    ASSERT_FALSE(run(Millis(500)));
    EXPECT_TRUE(logged("props plug-in: getSendBuff failed (late failure)"));
    EXPECT_TRUE(sim.socket.sentMessages().empty());
    EXPECT_EQ(client->props.propGameDllState, props::PropStateUnused);
}

TEST_F(PluginFaultTest, APluginFailingWhileTheRewardsCountStillCreditsThemOnce) {
    boxData();
    wonHand();
    ASSERT_FALSE(run(Millis(1000)));
    box(0)->onClick();
    ASSERT_TRUE(client->props.rewardShowing);
    fake->requests.push_back({"", "x", {}, props::PropKindText, {}, {}});
    fake->throwIn = "getSendBuff";
    ASSERT_FALSE(run(Millis(5000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_FALSE(client->props.rewardShowing);
    EXPECT_EQ(client->dispatch.player[0].gold, 1000 + 30 + 200);
}

}  // namespace
}  // namespace mj::test
