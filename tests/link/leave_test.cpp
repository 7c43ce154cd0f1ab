// Leaving the table and resetting the link.
#include "dispatch/dispatch_fixture.h"
#include "link/hall_window.h"
#include "link/leave.h"

namespace mj::test {
namespace {

using platform::Millis;

class LeaveTest : public DispatchFixture {
protected:
    std::string history() const { return sim.process.folder + "\\info.qv"; }
};

TEST_F(LeaveTest, LeaveMessageIsBareAndWaitsLongerAfterAReconnect) {
    for (bool reconnected : {false, true}) {
        SCOPED_TRACE(reconnected);
        sim.socket.close();
        sim.socket.connect("h", 1);
        sim.socket.acceptConnection();
        sim.socket.clearSent();
        client->link.reconnected = reconnected;
        client->link.echoByte = {0x5A, 0xA5};
        client->link.canReconnect = true;
        client->link.turnCountdown.on = true;
        client->timerKeepAlive->setEnabled(true);
        const auto t0 = sim.clock.monotonic();
        link::leaveTable(*client);
        const Millis pause(reconnected ? 800 : 400);
        EXPECT_GE(sim.clock.monotonic() - t0, pause);
        EXPECT_LT(sim.clock.monotonic() - t0, pause + Millis(50));
        const auto sent = sim.socket.sentMessages();
        ASSERT_EQ(sent.size(), 1u);
        std::vector<std::uint8_t> expected(272, 0);
        expected[3] = 16;
        expected[6] = OwnSeat;
        EXPECT_EQ(sent[0], expected);
        EXPECT_FALSE(client->link.canReconnect);
        EXPECT_FALSE(client->link.turnCountdown.on);
        EXPECT_FALSE(client->timerBong->enabled());
        EXPECT_FALSE(client->timerKeepAlive->enabled());
    }
}

TEST_F(LeaveTest, LeaveWithTheSocketClosedSendsNothing) {
    sim.socket.close();
    client->link.sendTask.on = true;
    link::leaveTable(*client);
    EXPECT_TRUE(sim.socket.sent().empty());
    EXPECT_FALSE(client->link.sendTask.on);
}

TEST_F(LeaveTest, ResetTwiceLeavesTheSameIdleState) {
    sim.files.files[history()] = "hands";
    client->table.custom[2].name = "li";
    client->table.custom[2].seat = 4;
    client->link.inGame = true;
    client->link.juNum = 3;
    client->sysmsg[1]->addItem("x");
    client->talkText1->addItem("chat line");
    client->dispatch.sumScore[1] = 30;
    client->dispatch.resultPlayer[1].name = "li";
    loadPlugin();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        link::resetSession(*client);
        EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
        EXPECT_FALSE(sim.files.exists(history()));
        EXPECT_TRUE(client->table.custom[2].name.empty());
        EXPECT_EQ(client->table.custom[2].seat, 0);
        EXPECT_FALSE(client->link.inGame);
        EXPECT_FALSE(client->link.loginSent);
        EXPECT_EQ(client->link.juNum, 0);
        EXPECT_TRUE(client->sysmsg[1]->items().empty());
        EXPECT_TRUE(client->talkText1->items().empty());
        EXPECT_EQ(client->dispatch.sumScore[1], 0);
        EXPECT_TRUE(client->dispatch.resultPlayer[1].name.empty());
        EXPECT_EQ(client->mainForm.windowState(), ui::Form::WindowState::Minimized);
        EXPECT_FALSE(client->props.loaded());
    }
    EXPECT_EQ(plugin->exits, std::vector<int>{0});
}

TEST_F(LeaveTest, LeaveNowDuringTheLeavePauseDoesNotLeaveTwice) {
    int nestedReplies = -1;
    sim.clock.post([&] {
        const auto before = sim.hall.count(link::HallIdle);
        client->mainForm.onWindowMessage(link::HallLeaveNow, 0, 0, false);
        nestedReplies = sim.hall.count(link::HallIdle) - before;
    });
    link::leaveByExitDialog(*client);
    EXPECT_EQ(nestedReplies, 1);
    int leaves = 0;
    for (const auto& m : sim.socket.sentMessages()) leaves += m[3] == 16 ? 1 : 0;
    EXPECT_EQ(leaves, 1);
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
}

TEST_F(LeaveTest, ExitDialogEndsTheClientWhenTheHallIsGone) {
    sim.hall.windows.clear();
    try {
        link::leaveByExitDialog(*client);
        FAIL() << "the client should have ended";
    } catch (const platform::ProcessEnded&) {}
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
}

}  // namespace
}  // namespace mj::test
