// connection_replies.cpp: the server's answers about the connection itself:
// the login reply, the reconnect reply and the kick.
#include <cstdlib>

#include "dispatch/commands.h"
#include "dispatch/dispatcher.h"
#include "link/client.h"
#include "link/general.h"
#include "link/hall_window.h"
#include "link/leave.h"
#include "results/results_install.h"

namespace mj::dispatch {

namespace {

constexpr char LoginOkText[] = "连接服务器成功！";
constexpr char WelcomeText[] = "欢迎进入岚溪飞星局麻将 ";
constexpr char WelcomeTail[] = "祝您游戏愉快！";
constexpr char StartFailedText[] = "启动游戏失败，请重新在大厅就座后进入游戏！";
constexpr char LoginRefusedText[] = "验证错误，请重新登陆游戏！";
constexpr char ReconnectingText[] = "正在重连服务器，请等待...！";
constexpr char ReconnectRefusedText[] = "重连服务器失败，退出后请重新入座！";
constexpr std::size_t AdvertFirst = 16;
constexpr std::size_t AdvertEnd = 116;  // one past the last address byte
constexpr std::size_t KickTextFirst = 16;
constexpr std::size_t KickTextEnd = 216;
constexpr double KickPauseSeconds = 2.0;

void showOnStrip(link::Client& c, std::string_view first, std::string_view second = {}) {
    for (auto* l : c.sysmsg) l->clear();
    c.sysmsg[0]->addItem(std::string(first));
    if (!second.empty()) c.sysmsg[1]->addItem(std::string(second));
}

// The banner address: only a web page is opened; anything else the server
// might send (a file, a script) is refused.
bool isWebAddress(std::string_view url) {
    auto startsWith = [&](std::string_view p) {
        if (url.size() <= p.size()) return false;
        for (std::size_t i = 0; i < p.size(); ++i) {
            const char ch = url[i] >= 'A' && url[i] <= 'Z' ? static_cast<char>(url[i] - 'A' + 'a') : url[i];
            if (ch != p[i]) return false;
        }
        return true;
    };
    if (!startsWith("http://") && !startsWith("https://")) return false;
    for (char ch : url) {
        if (ch <= ' ' || ch > '~') return false;
    }
    return true;
}

void showBanner(link::Client& c, const std::string& url) {
    auto& d = c.dispatch;
    if (!d.banner) d.banner = c.p.components.createBrowser();
    auto* web = c.mainForm.find("WebBrowser1");
    if (d.banner) {
        d.banner->setPane(web);
        d.banner->navigate(url);
    }
    if (web) {
        web->bringToFront();
        web->setVisible(true);
    }
}

// A refusal ends the client the way the fatal trap does, after its text.
[[noreturn]] void endAfterRefusal(link::Client& c, std::string_view why) {
    c.log(std::string(why));
    c.restoreHallWindow();
    c.p.process.endProcess(1);
    std::abort();  // endProcess does not return
}

// GBK text up to the first zero byte, within [first, end): a lead byte at the
// last place of the field has no partner inside it and ends the text.
std::string fieldText(const link::Client& c, std::size_t first, std::size_t end) {
    const auto& m = c.link.msg;
    std::string gbk;
    for (std::size_t i = first; i < end && m[i] != 0;) {
        if (m[i] < 0x80) {
            gbk += static_cast<char>(m[i]);
            ++i;
            continue;
        }
        if (i + 1 >= end || m[i + 1] == 0) break;
        gbk += static_cast<char>(m[i]);
        gbk += static_cast<char>(m[i + 1]);
        i += 2;
    }
    return c.p.codec.fromGbk(gbk);
}

void exitPlugin(link::Client& c) {
    if (c.exitGameDll) return c.exitGameDll(c, 0);
    if (!c.props.loaded()) return;
    c.props.propDll->initExit(0);
    c.props.propGameDllState = 0;
    c.props.propInitOk = false;
}

}  // namespace

void onLoginResult(link::Client& c) {
    auto& l = c.link;
    auto& d = c.dispatch;
    // Every reply, also a refusal, starts the login's counters afresh.
    l.holdCigaretteMsg = false;
    l.holdRenderCigaretteMsg = false;
    d.propReinitPending = false;
    l.heldCigaretteMsg.reset();
    l.heldRenderCigaretteMsg.reset();
    l.holdQuitMsg = false;
    d.gameStarted = 0;
    d.sumScore = {};
    c.timerKeepAlive->setEnabled(true);
    // A notice that was never shown stays unmade: making it commits to leaving.
    if (c.unloadOtherExit) c.unloadOtherExit(c);
    l.loginSent = false;
    l.juNum = 0;
    // Hand numbers start again: the saved boards of the earlier ones go.
    results::clearHandHistory(c);
    l.notStartedYet = true;

    const int status = l.info.value[3] & 0xFF;
    if (status != LoginOk) {
        c.postToHall(link::HallConnectPending);
        showOnStrip(c, status == LoginStartFailed ? StartFailedText : LoginRefusedText);
        endAfterRefusal(c, "login refused (status " + std::to_string(status) + ")");
    }

    showOnStrip(c, LoginOkText, std::string(WelcomeText) + WelcomeTail);
    d.replySeat = 0;
    d.replyPrefix.clear();
    if (auto* chat = c.mainForm.find("Chat")) chat->setCaption("");
    c.postToHall(link::HallLoggedIn);
    l.loggedIn = true;
    l.countdownStart = l.info.value[1] & 15;
    if (l.autoPlayOn) l.countdownStart = 1;
    l.timeoutLimit = l.msg[9];
    l.canReconnect = true;
    c.log("login accepted");

    std::string url;
    for (std::size_t i = AdvertFirst; i < AdvertEnd && l.msg[i] != 0; ++i) url += static_cast<char>(l.msg[i]);
    if (url.empty()) return;
    if (!isWebAddress(url)) {
        c.log("banner address refused: not a web address");
        return;
    }
    d.advertUrl = url;
    d.adPageUrl = url + ".gamead";
    showBanner(c, url);
}

void onReconnectResult(link::Client& c) {
    auto& l = c.link;
    if ((l.info.value[3] & 0xFF) == 1) {
        showOnStrip(c, ReconnectingText);
        l.loggedIn = true;
        l.reconnected = true;
        l.sendTask.on = true;
        if (c.props.loaded()) c.props.propDll->recState(3, true, 0);
        c.log("reconnect accepted");
        return;
    }
    exitPlugin(c);
    c.p.process.messageBox(ReconnectRefusedText, c.mainForm.caption());
    endAfterRefusal(c, "reconnect refused");
}

void onServerKick(link::Client& c) {
    auto& l = c.link;
    l.linkCheck.on = false;
    l.readyCountdown.on = false;
    l.inGame = false;
    link::sleepSeconds(c.p.clock, KickPauseSeconds);
    c.p.socket.close();

    const std::string text = fieldText(c, KickTextFirst, KickTextEnd);
    for (int i = 0; i < 4; ++i) {
        if (auto* tou = c.mainForm.find("Tou", i)) tou->setPicture({});
    }
    c.dispatch.kickText = text;
    c.log("kicked by the server: " + text);
    if (c.dispatch.showOtherExit) c.dispatch.showOtherExit(c, text);

    link::leaveTable(c);
    l.readyCountdown.on = false;
    l.linkCheck = link::Task{};
    l.inGame = false;
    l.leaveAfterGame = true;
    l.readySent = false;
}

}  // namespace mj::dispatch
