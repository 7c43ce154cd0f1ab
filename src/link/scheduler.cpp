// scheduler.cpp: the 50 ms tick and its tasks, the chat and keep-alive timers.
#include <algorithm>
#include <cmath>

#include "link/client.h"
#include "link/general.h"

namespace mj::link {

namespace {
constexpr char DisconnectedText[] = "已经与服务器断开连接，请重新入座！";
constexpr int WatchdogRuns = 2400;
constexpr ui::Color Green{0, 255, 0};
constexpr ui::Color Red{255, 0, 0};
constexpr int MaxPropRequestsPerTick = 64;
// The largest whole amount a gold figure (a double) holds to the unit.
constexpr long long MaxRewardWhole = 1LL << 53;
constexpr auto MaxReward = static_cast<double>(MaxRewardWhole);
}  // namespace

void Client::timerBongTick() {
    // The tick never runs nested: it is off while it works, whatever the tasks
    // pump, and switches itself on again at the end.
    if (tickRunning_) return;
    tickRunning_ = true;
    timerBong->setEnabled(false);
    struct Rearm {
        Client& c;
        ~Rearm() {
            c.tickRunning_ = false;
            c.timerBong->setEnabled(true);
        }
    } rearm{*this};

    // A plug-in member that failed since the last tick: the plug-in goes now,
    // between calls, before any task looks at it.
    retireFaultyPlugin();

    for (Task* t : {&link.sendTask, &link.recvTask, &link.loginTask, &link.blinkTask, &link.linkCheck,
                    &link.turnCountdown, &link.readyCountdown, &link.bubbleTask}) {
        ++t->ticks;
    }

    if (link.sendTask.ticks >= 1 && link.sendTask.on) sendTask();
    if (link.sendTask.ticks >= 1) link.sendTask.ticks = 0;

    if (link.recvTask.ticks >= 2 && link.recvTask.on) receiveTask();
    if (link.recvTask.ticks >= 2) link.recvTask.ticks = 0;

    if (link.loginTask.ticks >= 4 && link.loginTask.on) loginTask();
    if (link.loginTask.ticks >= 4) link.loginTask.ticks = 0;

    if (link.blinkTask.ticks >= 8 && link.blinkTask.on) blinkTask();
    if (link.blinkTask.ticks >= 8) link.blinkTask.ticks = 0;

    turnCountdownTask();
    if (link.turnCountdown.ticks >= 20) link.turnCountdown.ticks = 0;

    readyCountdownTask();
    if (link.readyCountdown.ticks >= 20) link.readyCountdown.ticks = 0;

    if (link.linkCheck.ticks >= 40 && link.linkCheck.on) linkCheckTask();
    if (link.linkCheck.ticks >= 40) link.linkCheck.ticks = 0;

    if (link.bubbleTask.ticks >= 40 && link.bubbleTask.on) {
        if (auto* words = pic1->find("Words")) words->setVisible(false);
        // Only the bubble the claim display last showed.
        if (auto* s = pic1->find("Speak", claims.speakIndex)) s->setVisible(false);
        link.bubbleTask = Task{};
    }
    if (link.bubbleTask.ticks >= 40) link.bubbleTask.ticks = 0;

    const bool propsDone = !props.propInitOk || propsTasks();
    retireFaultyPlugin();
    if (!propsDone) return;
    // The result handed to the plug-in is shown once it is ready, or by the
    // client when the plug-in is gone, whether or not it was initialised.
    if (!settlementHandOff()) return;
    if (props.boxPromptOn && boxCountdown) boxCountdown(*this);

    if (video.ownVideoWait) {
        ++video.ownVideoTicks;
        if (video.ownVideoTicks >= 4) {
            video.ownVideoWait = false;
            video.ownVideoTicks = 0;
            if (showOwnVideo) showOwnVideo(*this, video.ownVideoOn, false);
        }
    }
}

void Client::sendTask() {
    if (!link.sendRing.hasMessage() || p.socket.state() != platform::SocketState::Connected) {
        link.sendTask = Task{};
        return;
    }
    WireMessage m = *link.sendRing.take();
    const unsigned v = value0Unsigned(m);
    if (m[wire::Cmd] == CmdPropItem && link.holdCigaretteMsg && v / 8 == 129) {
        link.holdCigaretteMsg = false;
        link.heldCigaretteMsg = m;
    } else if (m[wire::Cmd] == CmdPropItem && !link.inGame && link.holdRenderCigaretteMsg && v / 8 == 386) {
        link.holdRenderCigaretteMsg = false;
        link.heldRenderCigaretteMsg = m;
    } else {
        p.socket.send(m);
    }
    link.sendTask.ticks = 0;
}

void Client::receiveTask() {
    if (link.inGame) {
        ++link.recvWatchdog;
        if (link.recvWatchdog >= WatchdogRuns) {
            link.recvWatchdog = 0;
            (void)hallOrEnd();
            setMessageStrip(DisconnectedText);
            // The link is gone and the hand with it: no settlement for it.
            props.boxPhaseOn = false;
            if (exitGameDll) {
                exitGameDll(*this, 0);
            } else if (props.loaded()) {
                props.propDll->initExit(0);
                props.propGameDllState = 0;
                props.propInitOk = false;
            }
            mainForm.setWindowState(ui::Form::WindowState::Minimized);
            restoreHallWindow();
            link.readySent = false;
            if (resetSession) resetSession(*this);
            if (resetRoundData) resetRoundData(*this);
            if (resetTableForHand) resetTableForHand(*this);
            // The session is gone: what still waits belongs to it and must not
            // be dispatched into the fresh state.
            link.recvRing.reset();
            link.recvTask.ticks = 0;
            return;
        }
    }
    if (link.recvRing.hasMessage()) {
        const std::size_t before = link.recvRing.readIndex();
        decodeMessage();
        if (link.holdQuitMsg && link.info.cmd == CmdPlayerLeft) {
            link.recvRing.rewindTo(before);
            if ((link.info.seat & 15) != table.custom[0].seat && !timerKeepAlive->enabled()) {
                timerKeepAlive->setEnabled(true);
            }
        } else {
            if (link.inGame) link.recvWatchdog = 0;
            if (link.info.cmd != CmdReconnectReply) {
                link.echoByte[0] = link.msg[wire::Echo];
                link.echoByte[1] = link.msg[wire::Echo + 1];
            }
            if (dispatchServerCommand) {
                trapped("dispatch", [this] { dispatchServerCommand(*this); });
            }
        }
    }
    link.recvTask.ticks = link.recvRing.hasMessage() ? 1 : 0;
}

void Client::loginTask() {
    postToHall(HallConnectPending);
    if (p.socket.state() == platform::SocketState::Connected) {
        link.loginSent = true;
        p.socket.send(link.reconnectMsg ? *link.reconnectMsg : link.loginMsg);
        log("login sent");
        link.linkCheck = Task{true, 0};
        link.loginTask = Task{};
        if (props.loaded()) props.propDll->recState(3, true, 0);
    }
}

void Client::blinkTask() {
    auto tile = [this](int i) -> ui::Control* { return i < 0 ? nullptr : pic1->find("MJ_Image", i); };
    if (table.blinkCount > 0) {
        --table.blinkCount;
        if (auto* c = tile(table.curTileImg)) c->setVisible(!c->visible());
        if (table.prevBlinkImg > -1 && table.prevBlinkImg != table.curTileImg) {
            if (auto* c = tile(table.prevBlinkImg)) c->setVisible(true);
        }
        table.prevBlinkImg = table.curTileImg;
    } else {
        // A tile whose blinking was cut short by the next one (an own
        // discard soon after a draw) may have been left in its dark phase.
        if (table.prevBlinkImg > -1 && table.prevBlinkImg != table.curTileImg) {
            if (auto* c = tile(table.prevBlinkImg)) c->setVisible(true);
            table.prevBlinkImg = -1;
        }
        if (auto* c = tile(table.curTileImg)) c->setVisible(true);
    }
    // The count before this flash: the last flash (1) differs from none (0).
    int& chatBlink = link.receivedText.chatBlink;
    const int before = chatBlink;
    if (chatBlink > 0) --chatBlink;
    if (onChatButtonBlink) onChatButtonBlink(*this, before);
    link.blinkTask.ticks = 0;
}

void Client::showCountdownNumber() {
    number->setCaption(std::to_string(link.countdownSeconds));
    number->setForeColor(link.countdownSeconds > 5 ? Green : Red);
}

void Client::turnCountdownTask() {
    if (!(link.loggedIn && link.turnCountdown.on)) return;
    const double now = p.clock.secondsSinceMidnight();
    const double since = now - link.turnTickStart;
    if (!(since >= 1 || since < 0)) return;
    link.turnTickStart = now;
    if (link.countdownSeconds > 0) {
        --link.countdownSeconds;
        showCountdownNumber();
        if (link.countdownSeconds <= 5 && link.sound.soundOn) {
            playWave(link.sound, p.sound, link.sound.soundFile[SoundPrompt], false);
            setWaveVolume(link.sound, p.sound, 3000);
        }
    } else if (claims.offerReceived) {
        if (claims.actionState >= 2) return;
        claims.actionState = 3;
        if (!shell.bossKeyOn) {
            ++link.timeoutCount;
            if (link.timeoutLimit > 0 && link.timeoutCount >= link.timeoutLimit) {
                if (props.loaded()) props.propDll->setKeyDown(112);
                int key = 112;
                if (pic1KeyDown) pic1KeyDown(*this, key, 0);
            }
        }
        claims.zhahuShown = false;
        timeImg->setVisible(false);
        number->setVisible(false);
        link.countdownSeconds = link.countdownStart;
        link.turnCountdown.on = false;
        if (link.autoPlayOn) {
            if (autoPlay) autoPlay(*this);
        } else if (timeoutDefaultAction) {
            timeoutDefaultAction(*this);
        }
    } else {
        timeImg->setVisible(false);
        number->setVisible(false);
        link.countdownSeconds = link.countdownStart;
        link.turnCountdown.on = false;
    }
    link.turnCountdown.ticks = 0;
}

void Client::sendReady() {
    CmdInfo ready;
    ready.cmd = CmdReady;
    ready.seat = table.custom[0].seat;
    ready.value = {0, 0, 0, 1};
    sendCommand(ready);
}

void Client::readyCountdownTask() {
    if (!(link.loggedIn && link.readyCountdown.on)) return;
    const double now = p.clock.secondsSinceMidnight();
    const double since = now - link.readyTickStart;
    if (!(since >= 1.0 || since < 0.0)) return;
    link.readyTickStart = now;
    if (link.countdownSeconds > 0) {
        --link.countdownSeconds;
        showCountdownNumber();
    } else {
        number->setVisible(false);
        timeImg->setVisible(false);
        if (!link.readySent) {
            if (auto* start = mainForm.find("AnNiu", 2))
                (void)loadPictureFromResource(pictureLoader, link.pictures.anNiuPic[6], "GIF", *start);
            table.anNiuState[2] = true;
            if (resetHandDisplay) resetHandDisplay(*this);
            if (resetTableForHand) resetTableForHand(*this);
            if (newGameResetRoundData) newGameResetRoundData(*this);
            link.readySent = true;
        }
        sendReady();
        link.readyCountdown.on = false;
        auto& seating = dispatch.seating;
        if (seating.shuffleWanted && seating.randomSeatOn && openSeatChange) {
            // The server assigns the new seats.
            for (auto& seat : table.custom) seat.seat = 0;
            openSeatChange(*this);
            seating.shuffleWanted = false;
        }
    }
    link.readyCountdown.ticks = 0;
}

void Client::linkCheckTask() {
    if (p.socket.state() != platform::SocketState::Connected) {
        if (props.loaded()) props.propDll->recState(3, false, 0);
        (void)hallOrEnd();
        if (link.canReconnect) {
            link.loggedIn = false;
            link.linkCheck = Task{};
            if (startReconnect) startReconnect(*this);
        }
    }
    link.linkCheck.ticks = 0;
}

void Client::retireFaultyPlugin() {
    if (!props.pluginFaulted || props.propGameDllState == -1) return;
    // The plug-in is no more called (its guard sees to that); what it showed
    // goes, and a treasure-box phase it held up ends in the settlement.
    if (props.propGameDllState >= 1 && exitGameDll) exitGameDll(*this, 0);
    props.propGameDllState = -1;
    props.propInitOk = false;
}

bool Client::propsTasks() {
    if (!props.loaded()) return true;
    const int waiting = props.propDll->checkSendBuff();
    // A plug-in that claims more than it can have waiting must not hold the
    // window thread; the rest waits for the next tick.
    const int n = std::min(waiting, MaxPropRequestsPerTick);
    for (int k = 1; k <= n; ++k) {
        if (!props.loaded()) return false;
        auto& r = props.request;
        r.kind = -1;
        props.propDll->getSendBuff(r.picture, r.text, r.packet, r.kind, r.rect, r.style);
        if (r.kind == 2) {
            if (r.packet.size() != WireMessageSize) {
                ++props.badRequests;
                log("props request: a packet of " + std::to_string(r.packet.size()) + " bytes dropped");
                continue;
            }
            WireMessage m{};
            std::copy(r.packet.begin(), r.packet.end(), m.begin());
            sendRawMessage(m);
        } else if (onPropRequest) {
            onPropRequest(*this, r);
        }
    }
    return true;
}

bool Client::settlementHandOff() {
    if (!props.scorePending) return true;
    if (!props.loaded()) {
        props.scorePending = false;
        if (showSettlement) showSettlement(*this);
        return false;
    }
    if (!props.scoreInfoReady) {
        props.scorePending = false;
        if (showSettlement) showSettlement(*this);
        if (props.loaded()) props.propDll->initShowNext(false);
        return true;
    }
    platform::PropItemTexts itemText = results.box.itemText;
    platform::PropRewards reward = results.box.reward;
    platform::PropBoxInfo boxInfo = props.boxInfo;
    if (props.propDll->getScoreInfo(itemText, reward, boxInfo) != 1) return true;
    for (std::size_t v = 0; v < reward.size(); ++v) {
        double& r = reward[v];
        const std::string whose = "props hand-end data: view " + std::to_string(v) + "'s reward ";
        if (!std::isfinite(r)) {
            log(whose + "is not a number; taken as 0");
            r = 0;
        } else if (r < 0) {
            log(whose + "is negative; refused");
            r = 0;
        } else if (r > MaxReward) {
            log(whose + "is beyond what a gold figure holds; cut to " + std::to_string(MaxRewardWhole));
            r = MaxReward;
        }
    }
    results.box.itemText = std::move(itemText);
    results.box.reward = reward;
    props.boxInfo = std::move(boxInfo);
    props.scoreInfoReady = false;
    props.scorePending = false;
    props.boxChosen = false;
    if (props.propGameDllState == 2 && startBaoXiang) {
        startBaoXiang(*this);
    } else {
        if (showSettlement) showSettlement(*this);
        if (props.loaded()) props.propDll->initShowNext(false);
    }
    return true;
}

void Client::timerChatTick() {
    timerChat->setEnabled(false);
    shell.chatAllowed = true;
}

void Client::timerKeepAliveTick() {
    CmdInfo keepAlive;
    keepAlive.cmd = CmdKeepAlive;
    keepAlive.seat = table.custom[0].seat;
    sendCommand(keepAlive);
}

}  // namespace mj::link
