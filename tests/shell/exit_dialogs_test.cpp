// exit_dialogs_test.cpp: leaving by the exit dialog and by the table-ended
// notice, and the windows' life: made on first use, unloaded by their buttons.
#include <gtest/gtest.h>

#include "shell/exit_dialogs.h"
#include "shell/lazy_form.h"
#include "shell/shell_fixture.h"

namespace mj::test {
namespace {

TEST(LazyForm, MadeOnFirstUseAndUnloadingNothingDoesNothing) {
    int loads = 0, retired = 0;
    shell::LazyForm holder("frmX", [&](ui::Form& f) {
        ++loads;
        f.add<ui::Label>("Label1", -1);
    });
    holder.onRetired = [&] { ++retired; };
    holder.unload();
    EXPECT_FALSE(holder.isLoaded());
    EXPECT_EQ(loads + retired, 0);
    EXPECT_FALSE(holder.shown());
    EXPECT_EQ(loads, 0);

    ui::Form& first = holder.get();
    first.find("Label1")->setCaption("changed");
    holder.get().setVisible(true);
    EXPECT_EQ(loads, 1);
    holder.unload();
    // Kept, hidden, until collected: its own handler may still be running.
    EXPECT_EQ(retired, 1);
    EXPECT_EQ(holder.retiredCount(), 1u);
    EXPECT_FALSE(first.visible());
    EXPECT_EQ(holder.get().find("Label1")->caption(), "");  // made again in its design state
    EXPECT_EQ(loads, 2);
    holder.collect();
    EXPECT_EQ(holder.retiredCount(), 0u);
}

class ExitDialogTest : public ShellFixture {
protected:
    ui::Control& exitButton(const char* name) { return *windows().frmExit.get().find(name); }
    ui::Control& noticeButton(const char* name) { return *windows().frmOtherExit.get().find(name); }
    int leaveMessages() {
        int n = 0;
        for (const auto& m : sim.socket.sentMessages()) n += m[wire::Cmd] == CmdLeave;
        return n;
    }
};

TEST_F(ExitDialogTest, LeavingSendsOneLeaveMessageAndGivesBackTheHall) {
    loadPlugin();
    client->link.readySent = true;
    auto& ok = exitButton("pbCloseMe");
    // A second click while the waits pump events.
    auto again = sim.clock.createTimer(platform::Millis(100), [&] { ok.onClick(); });
    again->setEnabled(true);
    ok.onClick();
    again.reset();
    EXPECT_EQ(leaveMessages(), 1);
    EXPECT_EQ(plugin ? plugin->myProps : std::vector<bool>{}, std::vector<bool>{false});
    EXPECT_FALSE(client->link.readySent);
    EXPECT_FALSE(client->link.linkCheck.on);
    EXPECT_FALSE(windows().frmExit.isLoaded());
    EXPECT_TRUE(minimized());
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
    EXPECT_FALSE(windows().leaving);
    // The dialog's object goes once its handler is long over.
    EXPECT_FALSE(run(platform::Millis(50)));
    EXPECT_EQ(windows().frmExit.retiredCount(), 0u);
}

TEST_F(ExitDialogTest, WithoutTheHallTheClientEndsAfterTheReset) {
    sim.hall.windows.clear();
    EXPECT_THROW(exitButton("pbCloseMe").onClick(), platform::ProcessEnded);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
}

TEST_F(ExitDialogTest, CancelUnloadsAndTheNextUseMakesItAgain) {
    client->link.inGame = true;
    exitButton("pbCancel").onClick();
    EXPECT_FALSE(windows().frmExit.isLoaded());
    EXPECT_EQ(leaveMessages(), 0);
    // Made again: the creation sets the warning from the state.
    EXPECT_TRUE(exitButton("Label2").visible());
    EXPECT_EQ(windows().frmExit.loads(), 2);
}

TEST_F(ExitDialogTest, DuringTheSeatChangeTheDialogHasNoBackground) {
    client->dispatch.seating.shuffling = true;
    EXPECT_EQ(exitButton("Background").picture(), nullptr);
    EXPECT_EQ(shownResource(exitButton("pbCloseMe")), 130);
    EXPECT_EQ(shownResource(exitButton("pbCancel")), 132);
}

TEST_F(ExitDialogTest, TheLoginReplyLeavesAnUnmadeNoticeUnmade) {
    WireMessage reply = message(18, OwnSeat);
    setValue(reply, 3, 1);  // accepted
    setValue(reply, 1, 8);
    ASSERT_FALSE(receive(reply));
    EXPECT_FALSE(windows().frmOtherExit.isLoaded());
    EXPECT_FALSE(client->link.leaveAfterGame);
}

TEST_F(ExitDialogTest, TheLoginReplyUnloadsAShownNotice) {
    shell::showOtherExit(*client, "x");
    WireMessage reply = message(18, OwnSeat);
    setValue(reply, 3, 1);
    ASSERT_FALSE(receive(reply));
    EXPECT_FALSE(windows().frmOtherExit.isLoaded());
}

TEST_F(ExitDialogTest, AKickShowsTheServersTextInTheNotice) {
    WireMessage m = message(22, OwnSeat);
    setText(m, 16, sim.codec.toGbk("您已被请出房间"));
    ASSERT_FALSE(receive(m));
    EXPECT_FALSE(run(platform::Millis(3000)));
    ASSERT_TRUE(windows().frmOtherExit.shown());
    const ui::Form& f = windows().frmOtherExit.get();
    EXPECT_EQ(f.find("Label1")->caption(), "您已被请出房间");
    EXPECT_TRUE(f.topmost());
    EXPECT_TRUE(client->link.leaveAfterGame);
}

TEST_F(ExitDialogTest, StayingWithTheFinishedTableMakesTheStartButtonLeave) {
    shell::showOtherExit(*client, "玩家阿明退出了游戏！游戏结束！");
    client->link.inGame = true;
    client->link.leaveAfterGame = false;
    noticeButton("imgCancel").onClick();
    EXPECT_FALSE(windows().frmOtherExit.isLoaded());
    EXPECT_TRUE(client->link.leaveAfterGame);
    EXPECT_FALSE(client->link.inGame);
    client->table.anNiuState[2] = false;
    control(*client, "AnNiu", 2).onClick();
    EXPECT_EQ(sentOf(CmdReady), 0);
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
}

TEST_F(ExitDialogTest, BackToTheHallSendsNoLeaveMessage) {
    shell::showOtherExit(*client, "x");
    noticeButton("imgOK").onClick();
    EXPECT_EQ(leaveMessages(), 0);
    EXPECT_FALSE(windows().frmOtherExit.isLoaded());
    EXPECT_TRUE(minimized());
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
}

TEST_F(ExitDialogTest, AHandStartTakesAnOpenQuestionAway) {
    windows().frmExit.get().setVisible(true);
    client->unloadExitDialog(*client);
    EXPECT_FALSE(windows().frmExit.isLoaded());
}

}  // namespace
}  // namespace mj::test
