// props_bridge.cpp: the plug-in's life cycle and the relay of server messages.
#include "props/props_bridge.h"

#include <chrono>

#include "link/client.h"
#include "platform/files.h"
#include "props/box_phase.h"
#include "props/guarded_plugin.h"
#include "props/prop_requests.h"

namespace mj::props {

namespace {

using link::Client;

constexpr char PluginFolder[] = "plugin";
constexpr char PluginSubfolder[] = "tools";
constexpr char PluginFile[] = "PropDll.dll";
constexpr char PluginKind[] = "DLL";
constexpr char PluginProduct[] = "newqvp";
// Box geometry the plug-in gives must lie on the table picture.
constexpr long MaxCoordinate = 1024;
constexpr long MaxBoxSide = 400;

bool onTable(const platform::PropPoint& p) {
    return p[0] >= 0 && p[0] <= MaxCoordinate && p[1] >= 0 && p[1] <= MaxCoordinate;
}
bool sizeOk(const platform::PropPoint& s) { return s[0] >= 1 && s[0] <= MaxBoxSide && s[1] >= 1 && s[1] <= MaxBoxSide; }

// Checks the plug-in's layout and decodes its pictures; false (logged) when
// anything is out of range, so the plug-in runs without boxes.
bool takeLayout(Client& c, const platform::PropBoxPositions& pos, const platform::PropPoint& openCentre,
                const platform::PropSeatTargets& seatTarget, const platform::PropPoint& promptCentre,
                const platform::PropBoxTiming& timing, const std::string& closedPic, const platform::PropPoint& size,
                const std::string& openPic, const platform::PropPoint& openSize) {
    auto bad = [&c](const std::string& why) {
        c.log("props box layout: " + why + "; no treasure boxes");
        return false;
    };
    for (const auto& p : pos) {
        if (!onTable(p)) return bad("a box off the table");
    }
    for (const auto& p : seatTarget) {
        if (!onTable(p)) return bad("a seat target off the table");
    }
    if (!onTable(openCentre) || !onTable(promptCentre)) return bad("a centre off the table");
    if (!sizeOk(size) || !sizeOk(openSize)) return bad("a box size out of range");
    const auto closed = c.p.pictures.decode(closedPic);
    if (!closed) return bad(std::string("closed box picture: ") + std::string(platform::toString(closed.error)));
    const auto open = c.p.pictures.decode(openPic);
    if (!open) return bad(std::string("open box picture: ") + std::string(platform::toString(open.error)));
    BoxLayout& l = c.props.layout;
    l.boxPos = pos;
    l.boxSize = size;
    l.openCentre = openCentre;
    l.openSize = openSize;
    l.seatTarget = seatTarget;
    l.promptCentre = promptCentre;
    l.rewardTiming = timing;
    l.closedPic = closed.picture;
    l.openPic = open.picture;
    return true;
}

void hideBox(ui::Control& box) {
    box.setVisible(false);
    box.setEnabled(false);
}

void hookBox(Client& c, int k) {
    if (ui::Control* box = c.pic1->find("ImgProp", k)) {
        box->onClick = [&c, k] { c.ignoringErrors("treasure box click", [&c, k] { boxClicked(c, k); }); };
    }
}

void loadBoxes(Client& c) {
    if (ui::Control* first = c.pic1->find("ImgProp", 0)) hideBox(*first);
    for (int k = 1; k < platform::PropBoxCount; ++k) {
        if (ui::Control* box = c.pic1->loadElement("ImgProp", k)) {
            hideBox(*box);
            hookBox(c, k);
        }
    }
}

void relay(Client& c, const WireMessage& m) {
    if (!c.props.loaded()) return;
    // The plug-in gets its own copy; the message the client holds stays as it is.
    c.props.propDll->recMsg(std::vector<std::uint8_t>(m.begin(), m.end()));
}

}  // namespace

std::string pluginPath(const Client& c) {
    return platform::joinPath(
        platform::joinPath(platform::joinPath(c.p.process.programFolder(), PluginFolder), PluginSubfolder), PluginFile);
}

bool initGameDll(Client& c) {
    auto& s = c.props;
    bool ready = false;
    c.ignoringErrors("props plug-in start", [&] {
        if (ui::Control* bank = c.pic1->find("Bank")) {
            bank->setVisible(true);
            bank->bringToFront();
        }
        s.randomState = static_cast<std::uint32_t>(c.p.clock.monotonic().count()) | 1U;
        if (s.pluginFaulted) {
            s.propGameDllState = PropStateUnused;
            return;
        }
        if (!s.propDll) {
            const std::string path = pluginPath(c);
            if (!c.link.loggedIn || !c.p.files.exists(path)) {
                s.propGameDllState = PropStateUnused;
                return;
            }
            if (auto plugin = c.p.components.createPropsPlugin(path)) {
                s.propDll = std::make_unique<GuardedPlugin>(
                    std::move(plugin), [&c](std::string_view member, const std::string& what) {
                        c.props.pluginFaulted = true;
                        c.log("props plug-in: " + std::string(member) + " failed (" + what +
                              "); the plug-in is shut down for this session");
                    });
            } else {
                c.log("props plug-in: " + path + " could not be loaded");
            }
        }
        if (!s.propDll || !c.link.loggedIn) {
            s.propGameDllState = PropStateUnused;
            return;
        }
        s.propGameDllState = PropStateUnused;
        int scale = c.link.scaleY == 1.0 ? 1 : 2;
        int launchArg = s.propLaunchArg;
        const std::uintptr_t window = c.mainForm.windowHandle;
        if (!s.propDll->initdll(s.propUserName, s.propUserText2, PluginKind, window, PluginProduct, *s.propDll, scale,
                                launchArg)) {
            c.log("props plug-in: not ready");
            s.propInitOk = false;
            s.propGameDllState = PropStateNotTried;
            s.propDll.reset();
            return;
        }
        platform::PropBoxPositions pos{};
        platform::PropPoint openCentre{}, promptCentre{}, size{}, openSize{};
        platform::PropSeatTargets seatTarget{};
        platform::PropBoxTiming timing{};
        std::string closedPic, openPic;
        const bool boxes =
            s.propDll->getBaoInfo(pos, openCentre, seatTarget, promptCentre, timing, closedPic, size, openPic,
                                  openSize) &&
            takeLayout(c, pos, openCentre, seatTarget, promptCentre, timing, closedPic, size, openPic, openSize);
        s.propGameDllState = boxes ? PropStateBoxes : PropStateLoaded;
        loadBoxes(c);
        s.propInitOk = true;
        ready = true;
    });
    return ready;
}

void exitGameDll(Client& c, int flag) {
    auto& s = c.props;
    if (s.propGameDllState < 1) return;
    const bool phaseCutShort = s.boxPhaseOn;
    if (s.propDll) s.propDll->initExit(flag);
    s.propGameDllState = PropStateNotTried;
    s.propInitOk = false;
    if (s.timerProp) s.timerProp->setEnabled(false);
    s.boxPromptOn = false;
    s.rewardShowing = false;
    s.propLabelOn = false;
    for (int k = 1; k < platform::PropBoxCount; ++k) (void)c.pic1->unloadElement("ImgProp", k);
    if (ui::Control* first = c.pic1->find("ImgProp", 0)) hideBox(*first);
    if (s.lbProp) {
        s.lbProp->setCaption("");
        s.lbProp->setVisible(false);
    }
    // The hand whose boxes were showing is still settled.
    s.boxPhaseOn = false;
    if (phaseCutShort && c.showSettlement && flag == 0) {
        c.log("treasure boxes cut short: the hand is settled without them");
        c.showSettlement(c);
    }
}

void closePropDisplay(Client& c) {
    auto& s = c.props;
    if (s.propDisplayClosed != 0) return;
    s.propDisplayClosed = -1;
    for (int k = 0; k < platform::PropBoxCount; ++k) {
        ui::Control* box = c.pic1->find("ImgProp", k);
        if (box && (box->visible() || box->enabled())) hideBox(*box);
    }
    if (s.lbProp && s.lbProp->visible()) {
        s.lbProp->setCaption("");
        s.lbProp->setVisible(false);
    }
    if (s.propGameDllState > 0 && s.propDll) s.propDll->initShowNext(true);
    c.results.box = {};
    s.boxInfo = {};
}

void installProps(Client& c) {
    c.initGameDll = [](Client& client) { (void)initGameDll(client); };
    c.exitGameDll = &exitGameDll;
    c.closePropDisplay = &closePropDisplay;
    c.relayToProps = [&c](const WireMessage& m) { relay(c, m); };
    c.onPropRequest = [](Client& client, platform::PropRequest& r) { carryOutRequest(client, r); };
    c.startBaoXiang = [](Client& client) { startBaoXiang(client); };
    c.boxCountdown = [](Client& client) { boxCountdownTick(client); };
    c.props.timerProp = c.p.clock.createTimer(std::chrono::milliseconds(50),
                                              [&c] { c.ignoringErrors("props timer", [&c] { timerPropTick(c); }); });
    // The label over the table and the store button's click need the
    // table's controls.
    c.initSeatLayout = [&c, layout = c.initSeatLayout](Client& client) {
        if (layout) layout(client);
        createPropLabel(c);
        hookBox(c, 0);
        if (ui::Control* bank = c.pic1->find("Bank")) {
            bank->onClick = [&c, click = bank->onClick] {
                if (click) click();
                if (c.props.propGameDllState >= 1 && c.props.propDll) c.props.propDll->setbankstate(0);
            };
        }
    };
}

}  // namespace mj::props
