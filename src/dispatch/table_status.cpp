// table_status.cpp: how the table stands between hands: the next hand, players
// who quit, the banker with the reconnect key, and players out of gold.
#include "dispatch/dispatcher.h"
#include "dispatch/player_records.h"
#include "dispatch/seating.h"
#include "link/client.h"
#include "link/general.h"
#include "link/leave.h"

namespace mj::dispatch {

namespace {

constexpr char QuitStripText[] = "退出了游戏！ ";
constexpr char QuitAdviceText[] = "请退出重新开始游戏.";
constexpr char QuitNoticePrefix[] = "玩家";
constexpr char QuitNoticeSuffix[] = "退出了游戏！游戏结束！";
constexpr char WatchingEndsText[] = "有用户退出，旁观结束！";
constexpr char OutOfGoldText[] = "金币不够，退出游戏！";
constexpr char ChangeRoomText[] = "您的金币不够，请更换房间或充值后继续游戏！";
constexpr char TakeAllowanceText[] = "您的金币不够，请领取低保或充值后继续游戏！";
constexpr char ListComma[] = "，";

constexpr int SubNextHand = 0;
constexpr int SubPlayersQuit = 1;
constexpr int SubBanker = 2;
constexpr int AllSeats = 15;

std::size_t at(int view) { return static_cast<std::size_t>(view); }

ui::Control* find(link::Client& c, std::string_view name, int index = -1) { return c.mainForm.find(name, index); }
void setVisible(link::Client& c, std::string_view name, bool on, int index = -1) {
    if (ui::Control* x = find(c, name, index)) x->setVisible(on);
}

// The view sitting at a seat bit; -1 when no view holds it.
int viewOfSeat(const link::Client& c, int seatBit) {
    for (int k = 0; k < 4; ++k) {
        if (c.table.custom[at(k)].seat == seatBit) return k;
    }
    return -1;
}

std::string nickNameAt(const link::Client& c, int seatBit) {
    const int v = viewOfSeat(c, seatBit);
    return v < 0 ? std::string() : c.dispatch.player[at(v)].nickName;
}

// Another player's seat is empty now: its labels, its record and, unless the
// strip carries the reason, the strip.
void clearView(link::Client& c, int v, bool clearStrip) {
    setVisible(c, "OK", false, v);
    if (ui::Control* tou = find(c, "Tou", v)) tou->setPicture({});
    for (const char* label : {"Nid", "Cash", "Level"}) {
        if (ui::Control* x = find(c, label, v)) x->setCaption("");
    }
    if (clearStrip) c.sysmsg[0]->clear();
    c.table.custom[at(v)].name.clear();
    PlayerInfo& p = c.dispatch.player[at(v)];
    PlayerInfo cleared;
    cleared.loginName = p.loginName;
    cleared.title = p.title;
    cleared.voiceCode1 = p.voiceCode1;
    cleared.voiceCode2 = p.voiceCode2;
    cleared.voiceSex = p.voiceSex;
    cleared.userId = p.userId;
    p = cleared;
}

void endWatching(link::Client& c) {
    if (!c.link.launch.isSpectator) return;
    c.p.process.messageBox(WatchingEndsText, c.mainForm.caption());
    c.p.process.endProcess(0);
}

void showNotice(link::Client& c, const std::string& text) {
    if (c.dispatch.showOtherExit) c.dispatch.showOtherExit(c, text);
}

// Centred over the main window itself (not over the table picture, where the
// toolbar puts the boards), visible and in front.
void showBoardCentred(link::Client& c, ui::Form* board) {
    if (!board) return;
    const ui::Form& m = c.mainForm;
    board->move((m.width() - board->width()) / 2 + m.left(), (m.height() - board->height()) / 2 + m.top());
    board->setVisible(true);
    board->bringToFront();
}

// The wealth label after the local player ran out of gold: sized by its value
// where it already stands.
void showWealthAfterOut(link::Client& c) {
    if (c.table.isWealthMultiple == 0) {
        setVisible(c, "Imgwealth", false);
        setVisible(c, "lbwealth", false);
        return;
    }
    const long value = link::lowestWealthMultiple(c.table.wealthByView);
    if (ui::Control* label = find(c, "lbwealth")) {
        label->setCaption(std::to_string(value));
        const bool wide = value >= 100;
        const bool small = c.link.scaleX < 1;
        label->setFontSize(wide ? (small ? 11 : 12) : (small ? 15 : 16));
    }
    setVisible(c, "Imgwealth", true);
    setVisible(c, "lbwealth", true);
}

void nextHand(link::Client& c) {
    table::TableState& t = c.table;
    SeatingState& s = c.dispatch.seating;
    const double sx = c.link.scaleX;
    const double sy = c.link.scaleY;
    const bool openNow = (c.link.info.value[2] & 0xFF) == 1;
    if (t.nextHandPending) {
        t.nextHandPending = false;
        c.link.inGame = false;
        if (!c.link.launch.isSpectator) {
            if (c.link.msg[11] == 1) s.randomSeatOn = true;
            if (ui::Control* w = find(c, "Imgwealth")) {
                c.timeImg->move(w->left(), w->top() + 200 * sy);
                c.number->move(c.timeImg->left() + 48 * sx, c.timeImg->top() + 5 * sy);
            }
            if (ui::Control* img = find(c, "ImgShuffle")) {
                img->move(136 * sx, 520 * sy);
                if (ui::Control* lbl = find(c, "LblShuffle")) lbl->move(img->left(), img->top() + 6 * sy);
                if (ui::Control* pane = find(c, "WebBrowser2"))
                    pane->move(img->left(), img->top() + img->height(), img->width(), 2 * img->height());
            }
            s.shuffleWanted = true;
            // The seats stay as they are: the server has not let them go yet.
            if (openNow && c.openSeatChange) c.openSeatChange(c);
        }
    }
    if (openNow) return;
    if (t.isWealthMultiple == 0) {
        setVisible(c, "Imgwealth", false);
        setVisible(c, "lbwealth", false);
        return;
    }
    t.isWealthMultiple = int32At(c.link.msg, wire::Body);
    // The table's own multiple, not the smallest of the views.
    showWealthLabel(c, t.isWealthMultiple);
}

void playersQuit(link::Client& c) {
    const int present = c.link.info.seat & AllSeats;
    if (present == AllSeats) return;
    c.link.readyCountdown.on = false;
    c.link.inGame = false;
    c.link.leaveAfterGame = true;
    // The highest missing seat decides whether the local seat was removed; a
    // client that holds no seat has none to lose.
    const int highestMissing = 1 << link::bitToIndex(static_cast<std::uint8_t>(AllSeats - present));
    if (c.table.custom[0].seat != 0 && highestMissing == c.table.custom[0].seat) {
        c.log("own seat removed from the table; ending");
        if (c.props.propGameDllState > 0) exitPlugin(c, 0);
        c.p.socket.close();
        c.p.process.endProcess(0);
    }
    c.link.readySent = false;
    std::string names;
    SeatingState& s = c.dispatch.seating;
    for (int b = 1; b <= 8; b <<= 1) {
        if ((present & b) != 0) continue;
        names += nickNameAt(c, b) + ",";
        if (s.playerCount > 0) --s.playerCount;
    }
    for (int v = 1; v <= 3; ++v) clearView(c, v, true);
    const auto now = c.p.clock.timeOfDay();
    for (auto* line : c.sysmsg) line->clear();
    c.sysmsg[0]->addItem(names + QuitStripText + std::to_string(now.hour) + ":" + std::to_string(now.minute) + ":" +
                         std::to_string(now.second));
    c.sysmsg[1]->addItem(names + QuitAdviceText);
    showBoardCentred(c, c.results.hero.get());
    showNotice(c, QuitNoticePrefix + names + QuitNoticeSuffix);
    c.p.socket.close();
    link::leaveTable(c);
    endWatching(c);
}

void bankerAndKey(link::Client& c) {
    table::TableState& t = c.table;
    const int banker = c.link.info.seat & AllSeats;
    if (ui::Control* z = find(c, "Zhuang")) z->setCaption(seatWind(banker));
    const int k = viewOfSeat(c, banker);
    if (k >= 0) t.custom[at(k)].isBanker = -1;
    if (c.mainForm.windowState() != ui::Form::WindowState::Normal && !c.shell.bossKeyOn) {
        c.mainForm.setWindowState(ui::Form::WindowState::Normal);
        c.minimizeHallWindow();
        c.mainForm.setFocus();
    }
    for (int v = 1; v <= 3; ++v) c.dispatch.seating.otherName[at(v)] = t.custom[at(v)].name;
    // Kept as received: the reconnect request echoes these bytes unchanged.
    for (std::size_t i = 0; i < c.link.sessionKey.size(); ++i) c.link.sessionKey[i] = c.link.msg[wire::SessionKey + i];
    closeSeatChangeScreen(c);
    setVisible(c, "WebBrowser2", false);
    t.nextHandPending = true;
}

void outOfGold(link::Client& c) {
    table::TableState& t = c.table;
    link::LinkState& l = c.link;
    SeatingState& s = c.dispatch.seating;
    const int out = AllSeats - (l.info.seat & AllSeats);
    const int ownSeat = t.custom[0].seat;
    l.inGame = false;
    closeSeatChangeScreen(c);
    setVisible(c, "WebBrowser2", false);

    std::string others;
    for (int b = 1; b <= 8; b <<= 1) {
        if ((out & b) != 0 && b != ownSeat) others += nickNameAt(c, b) + ListComma;
    }
    if (!others.empty()) others = QuitNoticePrefix + others.substr(0, others.size() - (sizeof ListComma - 1));
    std::string own;
    if ((out & ownSeat) != 0) own = (others.empty() ? "" : ListComma) + ownLoginName(c);
    c.sysmsg[0]->clear();
    c.sysmsg[0]->addItem(others + own + OutOfGoldText);
    l.readyCountdown.on = false;
    if (c.mainForm.windowState() != ui::Form::WindowState::Minimized) showBoardCentred(c, c.results.score.get());

    if (!own.empty()) {
        l.leaveAfterGame = true;
        showNotice(c, (l.msg[11] & ownSeat) != 0 ? ChangeRoomText : TakeAllowanceText);
        if (c.props.propResultMode == 1) {
            c.props.exitPluginAfterDraw = -1;
        } else if (c.props.propGameDllState > 0) {
            exitPlugin(c, 0);
        }
        l.loginTask = link::Task{};
        l.canReconnect = false;
        l.linkCheck = link::Task{};
        c.timerBong->setEnabled(false);
        c.p.socket.close();
        for (int v = 1; v <= 3; ++v) {
            l.readySent = false;
            if (s.playerCount > 0) --s.playerCount;
            clearView(c, v, false);
            s.otherName[at(v)].clear();
            if (c.props.propGameDllState >= 1 && c.props.propDll) c.props.propDll->clearUser(v);
            if (t.isWealthMultiple != 0) t.wealthByView[at(v)] = 0;
            showWealthAfterOut(c);
            closeSeatVideo(c, v, SeatPanel::Hide);
            c.video.videoThrottle[at(v)] = 0;
            c.video.lastFrame[at(v)].clear();
        }
        c.timerKeepAlive->setEnabled(false);
        link::leaveTable(c);
    }
    l.readyCountdown.on = false;
    l.inGame = false;
    l.readySent = false;
    endWatching(c);
}

}  // namespace

void onTableStatus(link::Client& c) {
    switch (c.link.info.value[3] & 0xFF) {
    case SubNextHand:
        return nextHand(c);
    case SubPlayersQuit:
        return playersQuit(c);
    case SubBanker:
        return bankerAndKey(c);
    default:
        return outOfGold(c);
    }
}

}  // namespace mj::dispatch
