// guarded_plugin.cpp: every member of the plug-in through one guard.
#include "props/guarded_plugin.h"

#include <exception>

#include "platform/process.h"

namespace mj::props {

GuardedPlugin::GuardedPlugin(std::unique_ptr<platform::PropsPlugin> plugin, FaultReport onFault)
    : plugin_(std::move(plugin)), onFault_(std::move(onFault)) {}

template <typename Call>
bool GuardedPlugin::call(std::string_view member, Call&& work) {
    if (faulted_ || !plugin_) return false;
    std::string what;
    try {
        work(*plugin_);
        return true;
    } catch (const platform::ProcessEnded&) {
        throw;  // the program is ending; not the plug-in's fault
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown error";
    }
    faulted_ = true;
    if (onFault_) onFault_(member, what);
    return false;
}

bool GuardedPlugin::initdll(std::string& userName, std::string& userText2, const std::string& kind,
                            std::uintptr_t mainWindow, const std::string& product, platform::PropsPlugin&, int& scale,
                            int& launchArg) {
    bool ready = false;
    // The plug-in is told its own interface, not the guard's.
    (void)call("initdll", [&](platform::PropsPlugin& p) {
        ready = p.initdll(userName, userText2, kind, mainWindow, product, p, scale, launchArg);
    });
    return ready;
}

bool GuardedPlugin::getBaoInfo(platform::PropBoxPositions& boxPos, platform::PropPoint& openCentre,
                               platform::PropSeatTargets& seatTarget, platform::PropPoint& promptCentre,
                               platform::PropBoxTiming& rewardTiming, std::string& closedPicture,
                               platform::PropPoint& boxSize, std::string& openPicture, platform::PropPoint& openSize) {
    bool boxes = false;
    (void)call("getBaoInfo", [&](platform::PropsPlugin& p) {
        boxes = p.getBaoInfo(boxPos, openCentre, seatTarget, promptCentre, rewardTiming, closedPicture, boxSize,
                             openPicture, openSize);
    });
    return boxes;
}

int GuardedPlugin::checkSendBuff() {
    int waiting = 0;
    (void)call("checkSendBuff", [&](platform::PropsPlugin& p) { waiting = p.checkSendBuff(); });
    return waiting;
}

void GuardedPlugin::getSendBuff(std::string& picture, std::string& text, std::vector<std::uint8_t>& packet, int& kind,
                                std::vector<long>& rect, std::vector<long>& style) {
    // A request the plug-in was filling when it failed is no request.
    if (!call("getSendBuff",
              [&](platform::PropsPlugin& p) { p.getSendBuff(picture, text, packet, kind, rect, style); })) {
        kind = -1;
    }
}

int GuardedPlugin::getScoreInfo(platform::PropItemTexts& itemText, platform::PropRewards& reward,
                                platform::PropBoxInfo& boxInfo) {
    int ready = 0;
    (void)call("getScoreInfo", [&](platform::PropsPlugin& p) { ready = p.getScoreInfo(itemText, reward, boxInfo); });
    return ready;
}

void GuardedPlugin::recMsg(const std::vector<std::uint8_t>& message) {
    (void)call("recMsg", [&](platform::PropsPlugin& p) { p.recMsg(message); });
}

bool GuardedPlugin::setUserinfo(const std::string& nickName, const std::string& seatName, std::uint8_t seatBit,
                                int view, bool hasCredit, int sex, const std::string& title,
                                const std::string& faceCode) {
    // A plug-in that failed has not refused the player: it is shut down as a
    // faulty one, not as one that turned the player away.
    bool took = true;
    (void)call("setUserinfo", [&](platform::PropsPlugin& p) {
        took = p.setUserinfo(nickName, seatName, seatBit, view, hasCredit, sex, title, faceCode);
    });
    return took;
}

void GuardedPlugin::clearUser(int view) {
    (void)call("clearUser", [&](platform::PropsPlugin& p) { p.clearUser(view); });
}

bool GuardedPlugin::ainit(const std::string& settingsFile) {
    bool ok = false;
    (void)call("ainit", [&](platform::PropsPlugin& p) { ok = p.ainit(settingsFile); });
    return ok;
}

void GuardedPlugin::initShowEnd() {
    (void)call("initShowEnd", [](platform::PropsPlugin& p) { p.initShowEnd(); });
}

void GuardedPlugin::initShowNext(bool flag) {
    (void)call("initShowNext", [&](platform::PropsPlugin& p) { p.initShowNext(flag); });
}

void GuardedPlugin::showGif(int which, bool show) {
    (void)call("showGif", [&](platform::PropsPlugin& p) { p.showGif(which, show); });
}

void GuardedPlugin::initExit(int flag) {
    (void)call("initExit", [&](platform::PropsPlugin& p) { p.initExit(flag); });
}

void GuardedPlugin::setKeyDown(int keyCode) {
    (void)call("setKeyDown", [&](platform::PropsPlugin& p) { p.setKeyDown(keyCode); });
}

void GuardedPlugin::setbankstate(int state) {
    (void)call("setbankstate", [&](platform::PropsPlugin& p) { p.setbankstate(state); });
}

void GuardedPlugin::fixBuffPos() {
    (void)call("fixBuffPos", [](platform::PropsPlugin& p) { p.fixBuffPos(); });
}

void GuardedPlugin::recState(int kind, bool flag, int seat) {
    (void)call("recState", [&](platform::PropsPlugin& p) { p.recState(kind, flag, seat); });
}

bool GuardedPlugin::showQvVideo(int seat, bool show, int zero) {
    bool shown = false;
    (void)call("showQvVideo", [&](platform::PropsPlugin& p) { shown = p.showQvVideo(seat, show, zero); });
    return shown;
}

void GuardedPlugin::updataMyProp(bool flag) {
    (void)call("updataMyProp", [&](platform::PropsPlugin& p) { p.updataMyProp(flag); });
}

}  // namespace mj::props
