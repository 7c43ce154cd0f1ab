// seating.cpp: the seat names, the player profiles, a player's ready mark and
// a player leaving the table.
#include "dispatch/seating.h"

#include "dispatch/dispatcher.h"
#include "link/client.h"
#include "link/general.h"
#include "results/amount_text.h"
#include "shell/settings_dialog.h"
#include "table/hand_start_shows.h"
#include "table/tiles.h"

namespace mj::dispatch {

namespace {

constexpr char GameStartsSoonText[] = "游戏将在15秒内开始";
constexpr char LeftTheGameText[] = "退出了游戏 ";
constexpr char WatchingEndsText[] = "有用户退出，旁观结束！";
constexpr char GoldSuffix[] = "金币";
constexpr char PluginSettingsFile[] = "newqvp.xml";
constexpr int StartPicture = 6;  // the start button's picture in the toolbar table
constexpr int OwnProfileSeat = 15;

ui::Control* find(link::Client& c, std::string_view name, int index = -1) { return c.mainForm.find(name, index); }
void hide(link::Client& c, std::string_view name, int index = -1) {
    if (ui::Control* x = find(c, name, index)) x->setVisible(false);
}
void show(link::Client& c, std::string_view name, int index = -1) {
    if (ui::Control* x = find(c, name, index)) x->setVisible(true);
}
void showInFront(link::Client& c, std::string_view name, int index = -1) {
    if (ui::Control* x = find(c, name, index)) {
        x->setVisible(true);
        x->bringToFront();
    }
}
void setCaption(link::Client& c, std::string_view name, int index, std::string text) {
    if (ui::Control* x = find(c, name, index)) x->setCaption(std::move(text));
}
bool isVisible(link::Client& c, std::string_view name, int index) {
    const ui::Control* x = find(c, name, index);
    return x && x->visible();
}
bool hasEmptyCaption(link::Client& c, std::string_view name, int index) {
    const ui::Control* x = find(c, name, index);
    return !x || x->caption().empty();
}

std::size_t at(int view) { return static_cast<std::size_t>(view); }

void setStartButton(link::Client& c) {
    if (ui::Control* b = find(c, "AnNiu", 2)) (void)table::loadPicture(c, c.link.pictures.anNiuPic[StartPicture], *b);
    c.table.anNiuState[2] = true;
}

// Hands a player to the plug-in; a refusal unloads it and marks it unused.
// True when the plug-in took the player.
bool handToPlugin(link::Client& c, const PlayerInfo& p, int view, SeatBit seatBit) {
    if (c.props.propDll->setUserinfo(p.nickName, c.table.custom[at(view)].name, seatBit, view, p.credit != 0, p.sex,
                                     p.title, p.faceCode))
        return true;
    c.log("props plug-in refused the player of view " + std::to_string(view));
    exitPlugin(c, 0);
    c.props.propGameDllState = -1;
    return false;
}

// The block that ends the profile and the ready commands: when a hand has
// been played and the three others are ready, the table is reset for the
// next one without a message to the server.
void resetWhenOthersReady(link::Client& c) {
    if (c.dispatch.gameStarted <= 0) return;
    for (int v = 1; v <= 3; ++v) {
        if (!isVisible(c, "OK", v)) return;
    }
    setStartButton(c);
    if (c.resetHandDisplay) c.resetHandDisplay(c);
    if (c.resetTableForHand) c.resetTableForHand(c);
    if (c.resetRoundData) c.resetRoundData(c);
    c.link.readySent = true;
}

void endSeatingCycle(link::Client& c) {
    SeatingState& s = c.dispatch.seating;
    c.table.countingUserInfo = false;
    s.namesInCycle = 0;
    s.namesDone = false;
    s.profilesInCycle = 0;
}

bool seatingCycleDue(const link::Client& c) {
    const SeatingState& s = c.dispatch.seating;
    return c.table.countingUserInfo && s.namesDone && s.profilesInCycle == 4;
}

// The fourth profile of a cycle: the seat-wind draw, the compass and the
// players' voices.
void completeSeatingCycle(link::Client& c) {
    endSeatingCycle(c);
    table::showSeatDraw(c, link::bitToIndex(c.table.custom[0].seat));
    table::showCompass(c);
    c.table.anNiuState[5] = false;
    c.table.anNiuState[6] = false;
    for (int i = 0; i < 4; ++i) {
        PlayerInfo& p = c.dispatch.player[at(i)];
        if (p.sex == 0 || p.sex == 1) {
            p.voiceCode1 = "00";
            p.voiceCode2 = "10";
        }
        c.dispatch.seating.savedVoiceNo[at(i)] = p.voiceCode2;
        p.voiceSex = p.sex == 0 ? 2 : 3;
    }
    shell::voiceStyleReset(c);
}

// The own profile announced by the own seat bit: only the plug-in and the
// wealth multiple hear of it again.
void refreshOwnSeat(link::Client& c) {
    table::TableState& t = c.table;
    const PlayerInfo& own = c.dispatch.player[0];
    if (own.gold > 0 && c.props.loaded()) (void)handToPlugin(c, own, 0, t.custom[0].seat);
    t.isWealthMultiple = wealthMultiple(c.link.msg);
    if (t.isWealthMultiple != 0) {
        t.wealthByView[0] = t.isWealthMultiple;
        setCaption(c, "lbwealth", -1, std::to_string(link::lowestWealthMultiple(t.wealthByView)));
        show(c, "lbwealth");
        show(c, "Imgwealth");
    } else {
        hide(c, "lbwealth");
        hide(c, "Imgwealth");
    }
}

// The view a profile with seat byte 0 fills: the first free seat label, or
// none when every seat is taken.
int viewForNewPlayer(link::Client& c) {
    if (c.dispatch.seating.playerCount <= 0) return 1;
    for (int k = 1; k <= 3; ++k) {
        if (hasEmptyCaption(c, "Nid", k)) return k;
    }
    return -1;
}

void startNextHandCountdown(link::Client& c, bool shortCountdown) {
    link::LinkState& l = c.link;
    l.readyCountdown = link::Task{true, 0};
    l.readyTickStart = c.p.clock.secondsSinceMidnight();
    l.countdownSeconds = shortCountdown ? 10 : 15;
    if (c.shell.bossKeyOn) l.countdownSeconds = 1;
    c.number->setCaption(std::to_string(l.countdownSeconds));
    c.number->setVisible(true);
    c.timeImg->setVisible(true);
    c.timeImg->bringToFront();
    c.number->bringToFront();
}

// The leaving player's name. With byte 8 set to 1 the server sends the first
// character one code higher; a first byte that cannot be lowered to a
// character gives no name.
std::string leavingName(link::Client& c) {
    WireMessage m = c.link.msg;
    if (m[wire::Value] == 1) {
        if (m[link::SeatNameStart] <= 1) return {};
        --m[link::SeatNameStart];
    }
    return link::textField(c.p.codec, m, link::SeatNameStart, link::SeatNameEnd);
}

}  // namespace

// A seat's player changed: its video, the plug-in's view of it and its
// floating panel start over.
void closeSeatVideo(link::Client& c, int view, SeatPanel panel) {
    c.video.videoClosed[at(view)] = false;
    c.video.videoShown[at(view)] = false;
    for (const char* n : {"PicLocal", "ImgShow", "ImgKuang", "vshow"}) hide(c, n, view);
    const auto& close = panel == SeatPanel::Hide ? c.hideRemotePanel : c.closeRemotePanel;
    if (close) close(c, view);
}

void closeSeatChangeScreen(link::Client& c) {
    SeatingState& s = c.dispatch.seating;
    hide(c, "LblShuffle");
    hide(c, "ImgShuffle");
    s.shuffleWanted = false;
    s.shuffling = false;
}

void showPlayerLabels(link::Client& c, int v) {
    const PlayerInfo& p = c.dispatch.player[at(v)];
    const int face = faceIndex(p.faceCode);
    if (ui::Control* tou = find(c, "Tou", v)) (void)table::loadPicture(c, c.link.pictures.facePic[at(face)], *tou);
    setCaption(c, "Nid", v, "[" + p.title + "] " + p.nickName);
    setCaption(c, "Cash", v, results::amountText(p.gold) + GoldSuffix);
    setCaption(c, "Level", v, p.levelName);
    c.dispatch.resultPlayer[at(v)] = {p.nickName, std::to_string(face)};
    if (c.showBoardPlayer) c.showBoardPlayer(c, v);
}

const std::string& ownLoginName(const link::Client& c) {
    return c.link.launch.isSpectator ? c.table.custom[0].name : c.link.launch.loginName;
}

void showWealthMultiple(link::Client& c) {
    const table::TableState& t = c.table;
    if (t.isWealthMultiple == 0) {
        hide(c, "Imgwealth");
        hide(c, "lbwealth");
        return;
    }
    showWealthLabel(c, link::lowestWealthMultiple(t.wealthByView));
}

void showWealthLabel(link::Client& c, long value) {
    if (ui::Control* label = find(c, "lbwealth")) {
        const double sx = c.link.scaleX;
        const double sy = c.link.scaleY;
        const bool wide = value >= 100;
        label->setCaption(std::to_string(value));
        label->setFontSize(wide ? 13 : 18);
        double left = (wide ? 54 : 56) * sx;
        if (sx < 1) left += wide ? 10 : 8;
        label->move(left, (wide ? 292 : 289) * sy);
    }
    show(c, "Imgwealth");
    show(c, "lbwealth");
}

std::string seatWind(int seatBit) {
    static constexpr char Winds[] = "北西南东";
    return std::string(Winds + 3 * link::bitToIndex(static_cast<std::uint8_t>(seatBit & 15)), 3);
}

void exitPlugin(link::Client& c, int flag) {
    if (c.exitGameDll) return c.exitGameDll(c, flag);
    if (c.props.propGameDllState < 1) return;
    if (c.props.propDll) c.props.propDll->initExit(flag);
    c.props.propGameDllState = 0;
    c.props.propInitOk = false;
}

void onSeatName(link::Client& c) {
    SeatingState& s = c.dispatch.seating;
    table::TableState& t = c.table;
    s.randomSeatOn = false;
    if (!c.link.launch.isSpectator) c.timerKeepAlive->setEnabled(false);
    for (int i = 0; i < 4; ++i) hide(c, "OK", i);

    if (!t.countingUserInfo || s.namesDone) {
        s.namesInCycle = 0;
        s.namesDone = false;
        s.profilesInCycle = 0;
    }
    t.countingUserInfo = true;
    if (++s.namesInCycle < 4) return;

    s.namesDone = true;
    setStartButton(c);
    const auto& names = c.link.receivedText.seatName;
    const std::string& own = ownLoginName(c);
    int ownIndex = -1;
    for (int i = 3; i >= 0 && !own.empty(); --i) {
        if (names[at(i)] == own) {
            ownIndex = i;
            break;
        }
    }
    if (ownIndex < 0) {
        c.log("seat names: the own name is not among them; seats unchanged");
    } else {
        for (int j = 0; j < 4; ++j) {
            const int seatIndex = (ownIndex + 4 - j) & 3;
            t.custom[at(j)].seat = link::indexToBit(static_cast<std::uint8_t>(seatIndex));
            t.custom[at(j)].name = names[at(seatIndex)];
        }
    }
    if (c.props.loaded()) {
        for (int k = 1; k <= 3; ++k) c.props.propDll->clearUser(k);
    }
}

void onUserInfo(link::Client& c) {
    const WireMessage& m = c.link.msg;
    SeatingState& s = c.dispatch.seating;
    table::TableState& t = c.table;

    if (m[userinfo::NoProps] == 0 && c.props.propSwicth == 1) {
        if (c.props.propGameDllState == 0) {
            if (c.initGameDll) {
                c.initGameDll(c);
            } else {
                c.log("props plug-in not available");
                c.props.propGameDllState = -1;
            }
        }
    } else {
        c.props.propGameDllState = -1;
    }

    c.link.info.seat &= 15;
    const int seat = c.link.info.seat;
    // The seat-change caption stops with a new profile.
    if (c.shell.timerShuffle) c.shell.timerShuffle->setEnabled(false);
    c.link.leaveAfterGame = false;

    if (c.link.launch.isSpectator && s.spectatorInfoCount < 4) {
        s.spectatorInfoMsgs[at(s.spectatorInfoCount++)] = m;
        if (s.spectatorInfoCount < 4) return;
        if (c.setupSpectatorTable)
            c.setupSpectatorTable(c);
        else
            c.log("spectator table set-up is not available");
    }

    if (s.shuffleWanted || isVisible(c, "LblShuffle", -1)) closeSeatChangeScreen(c);
    hide(c, "WebBrowser2");
    const std::string name = link::textField(c.p.codec, m, userinfo::LoginName, userinfo::LoginName + 16);
    const bool counting = t.countingUserInfo && s.namesDone;

    int v = 0;
    if (seat == OwnProfileSeat) {
        t.anNiuState[2] = false;
    } else if (isValidSeatBit(seat)) {
        if (c.props.loaded()) {
            for (int k = 1; k <= 3; ++k) c.props.propDll->recState(2, true, k);
        }
        for (int k = 1; k <= 3; ++k) closeSeatVideo(c, k);
        if (seat == t.custom[0].seat) {
            if (counting) ++s.profilesInCycle;
            refreshOwnSeat(c);
            if (seatingCycleDue(c)) completeSeatingCycle(c);
            return;
        }
        v = (link::bitToIndex(t.custom[0].seat) + 4 - link::bitToIndex(static_cast<std::uint8_t>(seat))) & 3;
        if (v == 0) {
            // Only while the own seat is unknown: another player's profile
            // would overwrite the local player's record.
            c.log("profile of seat " + std::to_string(seat) + " ignored: the own seat is not known yet");
            return;
        }
    } else {
        v = viewForNewPlayer(c);
        if (v < 0) {
            c.log("profile of a new player ignored: every seat is taken");
            return;
        }
        t.custom[at(v)].name = name;
        if (++s.playerCount == 3 && c.dispatch.gameStarted == 0) {
            c.mainForm.setWindowState(ui::Form::WindowState::Normal);
            c.minimizeHallWindow();
            c.mainForm.setFocus();
        }
    }
    if (counting) ++s.profilesInCycle;

    t.custom[at(v)].name = name;
    if (m[userinfo::Ready] == 1) showInFront(c, "OK", v);
    PlayerInfo& p = c.dispatch.player[at(v)];
    parseUserInfo(p, m, c.p.codec);

    if (p.gold > 0 && c.props.loaded()) {
        const SeatBit bit =
            t.custom[at(v)].seat != 0 ? t.custom[at(v)].seat : link::indexToBit(static_cast<std::uint8_t>(v));
        // A refused player keeps the face the table shows.
        if (handToPlugin(c, p, v, bit)) {
            if (ui::Control* face = find(c, "Tou", v)) {
                face->setVisible(false);
                face->setEnabled(false);
            }
            if (v == 0 && c.video.ownVideoOn) {
                c.props.propDll->recState(2, false, 0);
            } else {
                if (v != 0) {
                    c.video.videoShown[at(v)] = false;
                    hide(c, "vshow", v);
                    hide(c, "ImgKuang", v);
                }
                c.props.propDll->recState(2, true, v);
            }
        }
    }

    resetWhenOthersReady(c);

    showPlayerLabels(c, v);

    // The seat draw comes before the table reset below: the reset puts the
    // draw's tiles back into the wall.
    if (seatingCycleDue(c)) completeSeatingCycle(c);

    if (s.playerCount == 3 && !c.link.readySent) {
        if (c.resetHandDisplay) c.resetHandDisplay(c);
        if (c.resetTableForHand) c.resetTableForHand(c);
        if (c.resetRoundData) c.resetRoundData(c);
        c.link.readySent = true;
        c.sysmsg[0]->clear();
        c.sysmsg[0]->addItem(GameStartsSoonText);
    }

    if (m[userinfo::HideDiceNote] == 1) hide(c, "lbfont", 0);
    if (m[userinfo::HideGoldCapNote] == 1) hide(c, "lbfont", 2);
    t.isWealthMultiple = wealthMultiple(m);
    if (t.isWealthMultiple != 0) {
        hide(c, "lbfont", 1);
        if (ui::Control* img = find(c, "Imgwealth")) img->setTop(287 * c.link.scaleY);
        t.wealthByView[at(v)] = t.isWealthMultiple;
    }
    showWealthMultiple(c);

    if (v == 0) {
        if (c.startOwnCamera) c.startOwnCamera(c);
        if (c.showOwnVideo) c.showOwnVideo(c, c.video.ownVideoOn, false);
    }
}

void onPlayerReady(link::Client& c) {
    const std::string name = link::textField(c.p.codec, c.link.msg, link::SeatNameStart, link::SeatNameEnd);
    // An empty name would match every empty seat record.
    if ((c.link.info.value[3] & 0xFF) == 1 && !name.empty()) {
        for (int i = 0; i < 4; ++i) {
            if (c.table.custom[at(i)].name == name && !hasEmptyCaption(c, "Nid", i)) showInFront(c, "OK", i);
        }
    }
    resetWhenOthersReady(c);
}

void onPlayerLeft(link::Client& c) {
    SeatingState& s = c.dispatch.seating;
    table::TableState& t = c.table;
    closeSeatChangeScreen(c);
    hide(c, "WebBrowser2");

    const std::string name = leavingName(c);
    if (!name.empty() && name == ownLoginName(c)) {
        c.log("own seat removed by the server; ending");
        c.p.process.endProcess(0);
    }

    for (int v = 1; v <= 3 && !name.empty(); ++v) {
        if (t.custom[at(v)].name != name) continue;
        c.link.readySent = false;
        if (s.playerCount > 0) --s.playerCount;
        hide(c, "OK", v);
        if (ui::Control* tou = find(c, "Tou", v)) tou->setPicture({});
        for (const char* label : {"Nid", "Cash", "Level"}) setCaption(c, label, v, "");

        const auto now = c.p.clock.timeOfDay();
        c.sysmsg[0]->clear();
        c.sysmsg[0]->addItem(c.dispatch.player[at(v)].nickName + LeftTheGameText + std::to_string(now.hour) + ":" +
                             std::to_string(now.minute) + ":" + std::to_string(now.second));
        c.sysmsg[1]->clear();

        s.otherName[at(v)].clear();
        t.custom[at(v)].name.clear();
        c.dispatch.player[at(v)] = PlayerInfo{};
        closeSeatVideo(c, v, SeatPanel::Hide);
        if (c.props.loaded()) c.props.propDll->clearUser(v);
        if (t.isWealthMultiple != 0) t.wealthByView[at(v)] = 0;
        showWealthMultiple(c);
    }

    if (c.props.loaded() && c.dispatch.gameStarted != 0 && c.dispatch.propReinitPending) {
        c.dispatch.propReinitPending = false;
        for (int k = 1; k <= 3; ++k) {
            c.props.propDll->recState(2, false, k);
            if (ui::Control* tou = find(c, "Tou", k)) tou->setVisible(true);
        }
        (void)c.props.propDll->ainit(PluginSettingsFile);
    }

    // The seats are given again by the next round of names, which starts a
    // new seating cycle.
    for (auto& r : t.custom) r.seat = 0;
    endSeatingCycle(c);

    if (c.p2pSocket && !name.empty()) {
        for (int slot = 1; slot <= 3; ++slot) {
            if (c.p2pSocket->userId(slot) != name) continue;
            c.p2pSocket->disconnectUser(slot);
            // The frame counter belongs to the slot, whichever view it served.
            c.video.videoThrottle[at(slot)] = 0;
        }
    }

    if (t.nextHandPending) {
        t.nextHandPending = false;
        t.anNiuState[2] = false;
        c.link.inGame = false;
        c.link.readySent = false;
        if (!c.link.launch.isSpectator) startNextHandCountdown(c, (c.link.info.value[1] & 0xFF) == 1);
    }
    t.nextHandPending = true;
    if (!c.timerKeepAlive->enabled()) c.timerKeepAlive->setEnabled(true);

    if (c.link.launch.isSpectator) {
        c.p.process.messageBox(WatchingEndsText, c.mainForm.caption());
        c.p.process.endProcess(0);
    }
}

}  // namespace mj::dispatch
