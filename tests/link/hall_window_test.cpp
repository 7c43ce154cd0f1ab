// The hall's messages to the main window: status, leave requests and connect.
#include "dispatch/dispatch_fixture.h"
#include "link/hall_window.h"

namespace mj::test {
namespace {

using link::HallConnect;
using link::HallIdle;
using link::HallInGame;
using link::HallLeaveNow;
using link::HallLeaveRequest;
using link::HallLoggingIn;
using link::HallStatusQuery;

class HallWindowTest : public DispatchFixture {
protected:
    // The hall posts; the window procedure's answer.
    bool post(std::uint32_t msg, bool sent = false) { return client->mainForm.onWindowMessage(msg, 0, 0, sent); }
    std::vector<std::uint32_t> repliesAfter(std::size_t from) const {
        std::vector<std::uint32_t> out;
        for (std::size_t i = from; i < sim.hall.posted.size(); ++i) {
            if (sim.hall.posted[i].message != link::HallConnectPending) out.push_back(sim.hall.posted[i].message);
        }
        return out;
    }
    int leaveMessagesSent() const {
        int n = 0;
        for (const auto& m : sim.socket.sentMessages()) n += m[3] == 16 ? 1 : 0;
        return n;
    }
};

TEST_F(HallWindowTest, StatusQueryTellsWhetherAHandRuns) {
    for (bool inGame : {true, false}) {
        client->link.inGame = inGame;
        const auto from = sim.hall.posted.size();
        EXPECT_TRUE(post(HallStatusQuery));
        EXPECT_EQ(repliesAfter(from), std::vector<std::uint32_t>{inGame ? HallInGame : HallIdle});
    }
    sim.hall.windows.clear();
    const auto from = sim.hall.posted.size();
    EXPECT_TRUE(post(HallStatusQuery));
    EXPECT_TRUE(repliesAfter(from).empty());
}

TEST_F(HallWindowTest, LeaveRequestIsCarriedOutOnlyWhenIdle) {
    struct Case {
        const char* name;
        bool loginSent, inGame;
        std::uint32_t reply;
        bool leaves;
    };
    for (const Case& k :
         {Case{"logging in", true, false, HallLoggingIn, false},
          Case{"logging in during a hand", true, true, HallLoggingIn, false},
          Case{"in a hand", false, true, HallInGame, false}, Case{"idle", false, false, HallIdle, true}}) {
        SCOPED_TRACE(k.name);
        sim.socket.close();
        sim.socket.connect("127.0.0.1", 9000);
        sim.socket.acceptConnection();
        sim.socket.clearSent();
        client->table.custom[0].seat = 4;
        client->link.loginSent = k.loginSent;
        client->link.inGame = k.inGame;
        const auto from = sim.hall.posted.size();
        EXPECT_TRUE(post(HallLeaveRequest));
        EXPECT_EQ(repliesAfter(from), std::vector<std::uint32_t>{k.reply});
        EXPECT_EQ(leaveMessagesSent(), k.leaves ? 1 : 0);
        EXPECT_EQ(sim.socket.state() == platform::SocketState::Closed, k.leaves);
        if (k.leaves) {
            EXPECT_EQ(sim.socket.sentMessages()[0][6], 4);
            EXPECT_EQ(client->table.custom[0].seat, 0);
        }
    }
}

TEST_F(HallWindowTest, LeaveNowLeavesEvenDuringAHand) {
    client->link.inGame = true;
    client->link.loginSent = true;
    const auto from = sim.hall.posted.size();
    EXPECT_TRUE(post(HallLeaveNow));
    EXPECT_EQ(repliesAfter(from), std::vector<std::uint32_t>{HallIdle});
    EXPECT_EQ(leaveMessagesSent(), 1);
    EXPECT_FALSE(client->link.inGame);
    EXPECT_FALSE(client->link.loginSent);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
    // Leaving for the hall does not give the hall window back.
    EXPECT_TRUE(sim.hall.restored.empty());
}

TEST_F(HallWindowTest, LeaveNowWithTheSocketClosedSendsNothing) {
    sim.socket.close();
    EXPECT_TRUE(post(HallLeaveNow));
    EXPECT_EQ(leaveMessagesSent(), 0);
}

TEST_F(HallWindowTest, ConnectReopensTheSocketAndEmptiesTheRings) {
    WireMessage half{};
    sim.socket.deliver(std::span(half).first(100));
    ASSERT_EQ(client->link.recvRing.waiting(), 100u);
    const int closesBefore = sim.socket.closeCalls;
    EXPECT_TRUE(post(HallConnect));
    EXPECT_EQ(sim.socket.closeCalls, closesBefore + 1);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Connecting);
    EXPECT_EQ(sim.socket.lastHost, "127.0.0.1");
    EXPECT_EQ(sim.socket.lastPort, 9000);
    EXPECT_EQ(client->link.recvRing.waiting(), 0u);
    EXPECT_TRUE(client->link.loginSent);
    EXPECT_TRUE(client->link.loginTask.on);
    EXPECT_TRUE(client->timerBong->enabled());
}

TEST_F(HallWindowTest, SystemMessagesWithTheHallsNumbersAreNotTaken) {
    // The end-of-session message (0x16) and the clear command (0x303) are sent,
    // never posted; logging off must not reconnect or leave.
    const int closesBefore = sim.socket.closeCalls;
    EXPECT_FALSE(post(HallConnect, true));
    EXPECT_FALSE(post(HallLeaveRequest, true));
    EXPECT_EQ(sim.socket.closeCalls, closesBefore);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Connected);
    EXPECT_EQ(leaveMessagesSent(), 0);
    EXPECT_FALSE(post(0x401));
    EXPECT_FALSE(post(0x10));
}

TEST_F(HallWindowTest, ConnectInAModeThatMakesNoConnectionLeavesNoLoginPending) {
    client->link.launch.connectMode = 3;
    client->link.loginSent = false;
    EXPECT_TRUE(post(HallConnect));
    EXPECT_FALSE(client->link.loginSent);
    const auto from = sim.hall.posted.size();
    client->link.inGame = false;
    EXPECT_TRUE(post(HallLeaveRequest));
    EXPECT_EQ(repliesAfter(from), std::vector<std::uint32_t>{HallIdle});
}

TEST_F(HallWindowTest, ConnectInProxyModeClosesTheLiveConnectionFirst) {
    client->link.launch.connectMode = 5;
    client->link.launch.proxyHost = "127.0.0.1";
    client->link.launch.proxyPort = 1080;
    sim.socket.clearSent();
    sim.clock.post([this] { sim.socket.acceptConnection(); });
    EXPECT_TRUE(post(HallConnect));
    EXPECT_EQ(sim.socket.lastPort, 1080);
    // The greeting went over the new connection to the proxy, nothing else.
    EXPECT_EQ(sim.socket.sent(), (std::vector<std::uint8_t>{5, 2, 0, 2}));
}

}  // namespace
}  // namespace mj::test
