// client.cpp: start-up, shut-down, the hall window, the message rings and the
// socket events of the one client object.
#include "link/client.h"

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <exception>
#include <stdexcept>

#include "link/general.h"
#include "link/ini_file.h"
#include "link/subsystems.h"

namespace mj::link {

namespace {
constexpr char StartFromHallText[] = "本游戏需从游戏大厅中启动！";
constexpr char AlreadyRunningText[] = "松涛云溪叶子牌游戏已经运行！";
constexpr char WarningTitle[] = "警告";
constexpr char ConnectingText[] = "正在连接服务器...";
constexpr char LoginTooLongText[] = "用户名或密码过长，无法登录！";
constexpr char LoginBadCharsText[] = "用户名或密码含有无法识别的字符，无法登录！";
constexpr char ProxyCredentialText[] = "代理服务器的用户名或密码无效！";
// The title unless the launch line names one.
constexpr char MainCaption[] = "四人麻将";
constexpr int MainTwipsPerPixel = 15;
}  // namespace

Client::Client(platform::Platform& platform) : p(platform), pictureLoader(platform.resources, platform.pictures) {
    buildMainFormDesign();
    timerBong =
        p.clock.createTimer(platform::Millis(50), [this] { trapped("scheduler tick", [this] { timerBongTick(); }); });
    timerChat = p.clock.createTimer(platform::Millis(800),
                                    [this] { ignoringErrors("chat timer", [this] { timerChatTick(); }); });
    timerKeepAlive = p.clock.createTimer(
        platform::Millis(5000), [this] { ignoringErrors("keep-alive timer", [this] { timerKeepAliveTick(); }); });
    p.socket.setEvents(this);
    mainForm.onResize = [this] { ignoringErrors("resize", [this] { formResize(); }); };
    mainForm.onUnload = [this] { formUnload(); };
    installSubsystems(*this);
}

Client::~Client() { p.socket.setEvents(nullptr); }

void Client::buildMainFormDesign() {
    mainForm.setCaption(MainCaption);
    // Until the window skin is painted, the frame around the table is dark.
    mainForm.setBackColor({0x0c, 0x24, 0x18});
    mainForm.move(0, 0, 1024 * MainTwipsPerPixel, 768 * MainTwipsPerPixel);
    pic1 = &mainForm.add<ui::PictureBox>("Pic1", -1);
    pic1->setBackColor({0x1e, 0x5a, 0x3c});
    pic1->move(0, 0, 1024 * MainTwipsPerPixel, 768 * MainTwipsPerPixel);
    pic2 = &mainForm.add<ui::PictureBox>("Pic2", -1);
    pic2->setVisible(false);
    for (int i = 0; i < 2; ++i) {
        auto& l = pic1->add<ui::ListBox>("Sysmsg", i);
        l.setFontSize(9);
        l.setBackColor({0x10, 0x30, 0x20});
        l.setForeColor({0xff, 0xee, 0x88});
        l.move(12, 700 + i * 20, 420, 20);
        sysmsg[static_cast<std::size_t>(i)] = &l;
    }
    location = &pic1->add<ui::Label>("Location", -1);
    location->setCaption("");
    location->setTransparentBack(true);
    location->setForeColor({0xff, 0xff, 0xff});
    location->move(12, 8, 200, 20);
    number = &pic1->add<ui::Label>("Number", -1);
    number->setVisible(false);
    number->setTransparentBack(true);
    timeImg = &pic1->add<ui::Image>("Time_Img", -1);
    timeImg->setVisible(false);
    talk.move(0, 0, 330 * MainTwipsPerPixel, 300 * MainTwipsPerPixel);
    frmZhahu.setVisible(false);
    // The notice stands over the table; the table shows through it a little.
    frmZhahu.setAlpha(200);
    talkText1 = &talk.add<ui::ListBox>("Text1", -1);
    talkText1->move(0, 0, talk.width(), talk.height());
}

// ---------------------------------------------------------------- traps

void Client::fatal(std::string_view why) {
    log(std::string("fatal: ") + std::string(why));
    try {
        restoreHallWindow();
    } catch (const platform::ProcessEnded&) {
        throw;
    } catch (...) {
        // Already on the way out; nothing more to save.
    }
    p.process.endProcess(1);
    std::abort();  // endProcess does not return
}

void Client::trapped(std::string_view where, const std::function<void()>& work) {
    try {
        work();
    } catch (const platform::ProcessEnded&) {
        throw;
    } catch (const std::exception& e) {
        fatal(std::string(where) + ": " + e.what());
    } catch (...) {
        fatal(std::string(where) + ": unknown error");
    }
}

void Client::ignoringErrors(std::string_view where, const std::function<void()>& work) {
    try {
        work();
    } catch (const platform::ProcessEnded&) {
        throw;
    } catch (const std::exception& e) {
        log(std::string(where) + ": error ignored: " + e.what());
    } catch (...) {
        log(std::string(where) + ": error ignored");
    }
}

// ---------------------------------------------------------------- hall window

platform::WindowHandle Client::hallOrEnd() {
    // A blank title means no hall is known: nothing to act on, no reason to end.
    if (link.hallCaption.empty()) return 0;
    link.hallHwnd = p.hall.findWindow(link.hallCaption);
    if (link.hallHwnd == 0) {
        log("hall window gone; ending");
        p.process.endProcess(0);
    }
    return link.hallHwnd;
}

void Client::restoreHallWindow() {
    if (const auto hall = hallOrEnd()) p.hall.restore(hall);
}

void Client::minimizeHallWindow() {
    if (const auto hall = hallOrEnd()) p.hall.minimize(hall);
}

void Client::postToHall(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (link.hallCaption.empty()) return;
    link.hallHwnd = p.hall.findWindow(link.hallCaption);
    if (link.hallHwnd != 0) p.hall.post(link.hallHwnd, message, wParam, lParam);
}

// ---------------------------------------------------------------- start-up

void Client::setMessageStrip(std::string_view text) {
    sysmsg[0]->clear();
    sysmsg[0]->addItem(std::string(text));
}

void Client::formLoad() {
    trapped("start-up", [this] {
        resetRingBuffers();
        if (p.process.anotherInstanceRunning()) {
            p.process.messageBox(AlreadyRunningText, WarningTitle);
            restoreHallWindow();
            p.process.endProcess(0);
        }
        link.autoPlayOn = false;
        link.countdownStart = 8;
        link.holdQuitMsg = false;
        link.notStartedYet = true;

        // Window size: a screen no larger than the table is filled; a larger
        // one gets the framed window of the table's size, when it fits.
        const auto screen = p.process.screenSize();
        const double screenW = screen.widthPx * MainTwipsPerPixel;
        const double screenH = screen.heightPx * MainTwipsPerPixel;
        if (screen.heightPx <= 768 || screenH < 11940) {
            mainForm.setHeight(screenH);
            mainForm.setTop(0);
            pic1->setHeight(mainForm.height());
            pic1->setTop(0);
        } else {
            mainForm.setHeight(11940);
            mainForm.setTop(0);
            pic1->setHeight(mainForm.height() - 420);
            pic1->setTop(300);
        }
        if (screen.widthPx <= 1024 || screenW < 15600) {
            mainForm.setWidth(screenW);
            mainForm.setLeft(0);
            pic1->setWidth(mainForm.width());
            pic1->setLeft(0);
        } else {
            mainForm.setWidth(15600);
            mainForm.setLeft(0);
            pic1->setWidth(mainForm.width() - 240);
            pic1->setLeft(120);
        }
        // Painted once, for the final size in both dimensions.
        if (mainForm.width() == 15600 || mainForm.height() == 11940) {
            if (drawFormSkin) drawFormSkin(*this);
        }
        if (screen.widthPx >= 1024 && screen.heightPx >= 768) {
            link.scaleX = link.scaleY = 1.0;
        } else {
            link.scaleY = 600.0 / 768.0;
            link.scaleX = 800.0 / 1024.0;
            pic1->setPicture(pic2->picture());
            pic1->sendToBack();
            if (auto* host = mainForm.find("Host")) host->move(6, 193 * link.scaleY);
            if (auto* zhuang = mainForm.find("Zhuang")) zhuang->move(45, 193 * link.scaleY);
            for (auto* l : sysmsg) l->setFontSize(8);
        }

        link.sendTask = link.recvTask = link.loginTask = link.blinkTask = Task{};
        link.linkCheck = link.turnCountdown = link.readyCountdown = link.bubbleTask = Task{};
        shell.bannerFailed = false;
        shell.chatAllowed = true;
        link.loginSent = false;

        link.musicOn = link.effectsOn = link.sound.soundOn = true;
        loadSoundPaths(link.sound, p.process.programFolder());
        initDirectSound(link.sound, p.sound);
        if (!link.sound.soundOn) log("no sound device; sound off");
        if (link.sound.soundOn) {
            stopWave(link.sound, p.sound);
            playWave(link.sound, p.sound, link.sound.soundFile[SoundMusic], true);
            setWaveVolume(link.sound, p.sound, 3000);
        }

        link.canReconnect = false;
        video.ownVideoTicks = 0;
        video.ownVideoWait = false;
        for (bool& b : video.videoBusy) b = false;
        link.readySent = false;
        link.recvWatchdog = 0;
        link.receivedText.chatBlink = 0;

        link.initInProgress = true;
        initPictureIdTables(link.pictures, link.scaleX);
        if (initSeatLayout) initSeatLayout(*this);
        link.initInProgress = false;

        link.juNum = 0;
        link.handRunning = false;
        table.curTileImg = -1;
        table.prevBlinkImg = -1;

        const std::string line = p.process.commandLine();
        LaunchResult parsed = parseLaunchLine(line, p.codec);
        if (parsed.error == LaunchError::Empty) {
            p.process.messageBox(StartFromHallText, WarningTitle);
            p.process.endProcess(0);
        }
        link.launch = parsed.config;
        link.launch.loginPassword.clear();
        // The hall title is known from here on, also for the refusals below.
        link.hallCaption = parsed.config.hallTitle;
        switch (parsed.error) {
        case LaunchError::None:
        case LaunchError::Empty:
            break;
        case LaunchError::BadNumber:
        case LaunchError::BadWatchedId:
            throw std::runtime_error("launch field " + std::to_string(parsed.badField) + ": " +
                                     std::string(toString(parsed.error)));
        case LaunchError::NameTooLong:
        case LaunchError::PasswordTooLong:
        case LaunchError::LoginNotGbk:
        case LaunchError::ProxyCredentialTooLong:
        case LaunchError::ProxyCredentialNotSingleByte: {
            log(std::string("launch line refused: ") + std::string(toString(parsed.error)));
            const char* text =
                parsed.error == LaunchError::LoginNotGbk ? LoginBadCharsText
                : (parsed.error == LaunchError::NameTooLong || parsed.error == LaunchError::PasswordTooLong)
                    ? LoginTooLongText
                    : ProxyCredentialText;
            p.process.messageBox(text, WarningTitle);
            restoreHallWindow();
            p.process.endProcess(1);
        }
        }
        if (parsed.config.roomCaption) {
            if (link.scaleX != 1.0) location->setFontSize(10);
            if (utf8Chars(*parsed.config.roomCaption).size() > 10) {
                location->setFontSize(location->font().size - 2);
            }
            location->setCaption(*parsed.config.roomCaption);
        }
        props.propSwicth = parsed.config.propSwitch;
        props.propLaunchArg = parsed.config.propLaunchArg;
        props.propUserName = parsed.config.loginName;
        table.custom[0].name = parsed.config.loginName;

        // The video switch; a missing file is created with video on.
        IniFile ini(p.ini);
        ini.setIniFileName(platform::joinPath(p.process.programFolder(), "vidiosetting.ini"));
        if (p.files.exists(ini.iniFileName())) {
            const std::string v = ini.getIniKey("vidiosetting", "vidiovalue");
            const auto n = parseWholeNumber(v, -2147483647, 2147483647);
            // A damaged file must not keep the player from the table: video
            // stays on, as for a missing file, and the file is left as found.
            if (!n) log("video setting is not a number, video stays on: " + v);
            video.videoEnabled = !n || *n != 0;
        } else {
            ini.writeIniKey("vidiosetting", "vidiovalue", "1");
            video.videoEnabled = true;
        }
        // The components exist whatever the switch says: the settings dialog
        // may turn video on later.
        p2pSocket = p.components.createVideoSocket();
        video.camera = p.components.createCamera();
        if (connectVideoComponents) connectVideoComponents(*this);
        if (video.videoEnabled && p2pSocket) p2pSocket->configure(link.launch.serverHost, 8888, 3);
        video.p2pConfigured = false;

        setMessageStrip(ConnectingText);
        timerBong->setEnabled(false);
        link.proxyHandshakeDone = true;
        link.loginMsg = buildLoginMessage(parsed.config, p.codec);
        parsed.config.loginPassword.assign(parsed.config.loginPassword.size(), '\0');

        switch (link.launch.connectMode) {
        case 0:
            connectDirect();
            break;
        case 5:
            link.loginTask.on = false;
            if (connectViaProxy)
                connectViaProxy(*this);
            else
                log("proxy connection is not available in this build");
            break;
        default:
            log("connection mode " + std::to_string(link.launch.connectMode) + ": waiting for the hall");
            break;
        }

        mainForm.setVisible(true);
        if (link.launch.customHallMode) {
            if (!link.launch.windowCaption.empty()) mainForm.setCaption(link.launch.windowCaption);
            if (auto* title = mainForm.find("lcaption")) title->setCaption(mainForm.caption());
            link.countdownStart = 2;
            link.autoPlayOn = true;
        } else {
            link.hallCaption = DefaultHallTitle;
        }
        if (initTableControls) initTableControls(*this);
        table.custom[0].seat = 0;
        link.reconnected = false;
        link.leaveAfterGame = false;
        if (link.launch.isSpectator) link.juNum = 0;
    });
}

void Client::connectDirect() {
    // A socket still open from before would make the connect do nothing.
    if (p.socket.state() != platform::SocketState::Closed) p.socket.close();
    p.socket.connect(link.launch.serverHost, static_cast<std::uint16_t>(link.launch.serverPort));
    timerBong->setEnabled(true);
    link.loginTask.on = true;
    link.loginTask.ticks = 0;
}

void Client::formResize() {
    if (mainForm.windowState() == ui::Form::WindowState::Minimized) {
        claims.zhahuShown = false;
        // The animation and its backdrop would otherwise stay over the desktop.
        for (const char* name : {"bombPlayer", "Img_bg"}) {
            if (auto* c = mainForm.find(name)) c->setVisible(false);
        }
        return;
    }
    mainForm.setTopmost(true);
    mainForm.setTopmost(false);
    if (shell.bossKeyOn) {
        shell.bossKeyOn = false;
        link.countdownStart = link.autoPlayOn ? 1 : 8;
    }
    minimizeHallWindow();
    link.timeoutCount = 0;
    if (props.loaded()) props.propDll->fixBuffPos();
}

void Client::formUnload() {
    ignoringErrors("shut-down", [this] {
        if (p2pSocket) p2pSocket->logout();
        if (video.ownVideoOn && video.camera) {
            video.camera->stopCapture();
            video.camera->freeCapture();
        }
        for (auto& panel : video.panels) {
            if (panel.form) panel.form->setVisible(false);
            panel.loaded = false;
        }
        if (link.sound.soundOn) stopWave(link.sound, p.sound);
        if (props.loaded()) props.propDll->initExit(1);
        props.propDll.reset();
        props.propGameDllState = 0;
        timerBong->setEnabled(false);
        timerChat->setEnabled(false);
        timerKeepAlive->setEnabled(false);
        p.socket.close();
        mainForm.setVisible(false);
    });
    p.process.endProcess(0);
}

// ---------------------------------------------------------------- messages

void Client::resetRingBuffers() {
    link.recvRing.reset();
    link.sendRing.reset();
}

void Client::sendCommand(CmdInfo& info) {
    ignoringErrors("send", [&] {
        WireMessage m{};
        encodeHeader(info, m);
        if (m[wire::Cmd] == CmdChat) {
            if (link.chatOut.empty()) return;
            auto chars = utf8Chars(link.chatOut);
            if (chars.size() > 100) {
                chars.resize(100);
                std::string cut;
                for (auto& c : chars) cut += c;
                link.chatOut = cut;
            }
            const std::string gbk = p.codec.toGbk(link.chatOut);
            std::memcpy(&m[wire::Body], gbk.data(), std::min<std::size_t>(gbk.size(), 200));
            link.chatOut.clear();
        }
        // Queued only when whole, and never over messages still waiting.
        sendRawMessage(m);
    });
}

void Client::sendRawMessage(WireMessage& m) {
    ignoringErrors("send", [&] {
        m[wire::Echo] = link.echoByte[0];
        m[wire::Echo + 1] = link.echoByte[1];
        if (!link.sendRing.pushMessage(m)) {
            ++link.sendRingRefused;
            log("send ring full; command " + std::to_string(m[wire::Cmd]) + " dropped");
            return;
        }
        link.sendTask.on = true;
        link.sendTask.ticks = 0;
    });
}

void Client::decodeMessage() {
    trapped("decode", [this] {
        auto m = link.recvRing.take();
        if (!m) return;
        link.msg = *m;
        link.info = decodeHeader(link.msg);
        if (link.info.cmd == CmdSeatName) {
            handleSeatName(link.receivedText, p.codec, link.msg, link.info.seat);
        } else if (link.info.cmd == CmdChat) {
            if (loadChatWindows) loadChatWindows(*this);
            const auto& players = dispatch.player;
            ChatTargets targets{p.codec,
                                *talkText1,
                                {sysmsg[0], sysmsg[1]},
                                phrases1,
                                phrases2,
                                table.custom[0].seat,
                                players[0].nickName,
                                {dispatch::voiceId(players[0]), dispatch::voiceId(players[1]),
                                 dispatch::voiceId(players[2]), dispatch::voiceId(players[3])},
                                mainForm.windowState() == ui::Form::WindowState::Normal,
                                link.sound,
                                p.sound,
                                filterChatText,
                                showSpeakBubble,
                                props.loaded() ? relayToProps : nullptr,
                                [this](std::string_view line) { log(line); }};
            handleChat(link.receivedText, targets, link.msg, link.info);
        }
    });
}

// ---------------------------------------------------------------- socket events

void Client::onConnected() { log("connected to " + link.launch.serverHost); }

void Client::onData(std::span<const std::uint8_t> bytes) {
    trapped("data arrival", [&] {
        if (!link.proxyHandshakeDone) {
            if (onProxyData) onProxyData(*this, bytes);
            return;
        }
        // A decode that is already due is not pushed back by more data, or a
        // steady stream would starve the decoder until the ring overflows.
        const bool alreadyDue = link.recvRing.hasMessage();
        for (std::uint8_t b : bytes) {
            if (!link.recvRing.pushByte(b)) {
                log("receive ring full");
                restoreHallWindow();
                p.process.endProcess(1);
            }
        }
        link.recvTask.on = true;
        if (!alreadyDue) link.recvTask.ticks = 0;
    });
}

void Client::onClosed(int errorCode) {
    log("connection closed (" + std::to_string(errorCode) + ")");
    p.socket.close();
}

}  // namespace mj::link
