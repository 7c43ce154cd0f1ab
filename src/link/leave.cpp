// leave.cpp: the leave message, the reset of link, table and hand state.
#include "link/leave.h"

#include "link/client.h"
#include "link/general.h"

namespace mj::link {

namespace {

constexpr char HandHistoryFile[] = "info.qv";

// The task flags and timers every way out switches off.
void stopTasks(Client& c) {
    for (Task* t : {&c.link.sendTask, &c.link.recvTask, &c.link.loginTask, &c.link.blinkTask, &c.link.linkCheck,
                    &c.link.turnCountdown, &c.link.readyCountdown, &c.link.bubbleTask}) {
        t->on = false;
    }
    c.link.linkCheck.ticks = 0;
    c.timerBong->setEnabled(false);
    c.timerKeepAlive->setEnabled(false);
}

// The controls other subsystems place may not be there yet.
void hide(Client& c, std::string_view name, int index = -1) {
    if (auto* ctl = c.mainForm.find(name, index)) ctl->setVisible(false);
}
void setCaption(Client& c, std::string_view name, int index, std::string text) {
    if (auto* ctl = c.mainForm.find(name, index)) ctl->setCaption(std::move(text));
}

struct Flag {
    bool& f;
    explicit Flag(bool& flag) : f(flag) { f = true; }
    ~Flag() { f = false; }
    Flag(const Flag&) = delete;
    Flag& operator=(const Flag&) = delete;
};

}  // namespace

void leaveTable(Client& c) {
    SessionState& s = c.session;
    if (s.leaving) {
        c.log("leave: already leaving");
        return;
    }
    Flag guard(s.leaving);

    // The bare leave message: command and own seat only, no echo bytes.
    WireMessage leave{};
    leave[wire::Cmd] = static_cast<std::uint8_t>(CmdLeave);
    leave[wire::Seat] = c.table.custom[0].seat;

    if (c.video.videoEnabled && c.leaveTableVideo) c.leaveTableVideo(c);

    if (c.p.socket.state() == platform::SocketState::Connected) {
        c.p.socket.send(leave);
        c.log("leave message sent");
    }
    stopTasks(c);
    // Long enough for the message to leave before the socket is closed.
    waitSeconds(c.p.clock, c.link.reconnected ? 0.8 : 0.4);
    c.link.canReconnect = false;

    hide(c, "LblShuffle");
    hide(c, "ImgShuffle");
    c.video.ownVideoOn = false;
    c.video.ownVideoTicks = 0;
    c.video.ownVideoWait = false;
    for (bool& b : c.video.videoBusy) b = false;
    hide(c, "WebBrowser2");
    if (c.closeSeatChange) c.closeSeatChange(c);
}

void resetSession(Client& c) {
    SessionState& s = c.session;
    if (s.resetting) {
        c.log("reset: already resetting");
        return;
    }
    Flag guard(s.resetting);
    ++s.resets;

    c.link.inGame = false;
    // The start button is spent until the hall asks for a table again.
    c.table.anNiuState[2] = true;
    stopTasks(c);
    for (auto* l : c.sysmsg) l->clear();
    c.link.holdQuitMsg = false;

    c.p.socket.close();
    c.link.loginSent = false;
    // A socket layer could keep saying "connected" after the close; the wait
    // is bounded so the reset always finishes.
    const platform::Millis deadline = c.p.clock.monotonic() + SocketCloseLimit;
    while (c.p.socket.state() == platform::SocketState::Connected && c.p.clock.monotonic() < deadline) {
        c.p.clock.pumpEvents(platform::Millis(50));
    }

    for (int i = 0; i < 4; ++i) {
        if (auto* tou = c.mainForm.find("Tou", i)) tou->setPicture({});
        for (const char* n : {"Nid", "Cash", "Level"}) setCaption(c, n, i, "");
        auto& seat = c.table.custom[static_cast<std::size_t>(i)];
        seat.name.clear();
        seat.seat = 0;
        dispatch::clearShownFields(c.dispatch.player[static_cast<std::size_t>(i)]);
        hide(c, "OK", i);
    }
    c.dispatch.seating.playerCount = 0;
    // Names after the next login start a seating cycle of their own.
    c.table.countingUserInfo = false;
    for (int i = 0; i < 3; ++i) hide(c, "Speak", i);
    hide(c, "Words");
    if (c.talkText1) c.talkText1->clear();
    // The result boards' players and totals belong to the table just left.
    c.dispatch.sumScore = {};
    c.dispatch.resultPlayer = {};
    c.link.inGame = false;
    hide(c, "QV_Image");
    hide(c, "imgPiZi", 0);
    hide(c, "imgPiZi", 1);

    const std::string history = platform::joinPath(c.p.process.programFolder(), HandHistoryFile);
    if (c.p.files.exists(history)) c.p.files.remove(history);

    c.link.juNum = 0;
    c.link.notStartedYet = true;
    c.link.timeoutCount = 0;
    c.link.readySent = false;
    c.mainForm.setWindowState(ui::Form::WindowState::Minimized);

    // The table is left: a treasure-box phase still running is abandoned with
    // its hand, not settled.
    c.props.boxPhaseOn = false;
    if (c.exitGameDll) {
        c.exitGameDll(c, 0);
    } else if (c.props.loaded()) {
        c.props.propDll->initExit(0);
        c.props.propGameDllState = 0;
        c.props.propInitOk = false;
    }
    setCaption(c, "Chat", -1, "");
    setCaption(c, "lbwealth", -1, "0");
    hide(c, "lbwealth");
    hide(c, "Imgwealth");
    c.table.wealthByView.fill(0);
}

void leaveByExitDialog(Client& c) {
    c.trapped("exit dialog", [&] {
        leaveTable(c);
        resetSession(c);
        if (c.resetRoundData) c.resetRoundData(c);
        if (c.resetTableForHand) c.resetTableForHand(c);
        c.restoreHallWindow();
    });
}

void leaveByLeaveDialog(Client& c) {
    c.trapped("leave dialog", [&] {
        resetSession(c);
        if (c.resetRoundData) c.resetRoundData(c);
        if (c.resetTableForHand) c.resetTableForHand(c);
        c.restoreHallWindow();
    });
}

}  // namespace mj::link
