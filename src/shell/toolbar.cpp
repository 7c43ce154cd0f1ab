// toolbar.cpp: the toolbar's pictures and clicks.
#include "shell/toolbar.h"

#include <cmath>

#include "link/client.h"
#include "results/result_boards.h"
#include "shell/browsers.h"
#include "shell/chat_input.h"
#include "shell/chat_windows.h"
#include "shell/exit_dialogs.h"
#include "shell/keys.h"
#include "shell/shell_windows.h"
#include "table/tiles.h"

namespace mj::shell {
namespace {

constexpr double Twips = 15.0;

ui::Control* button(link::Client& c, int i) { return c.mainForm.find("AnNiu", i); }

void setButtonPicture(link::Client& c, int i, std::size_t element) {
    if (ui::Control* b = button(c, i)) (void)table::loadPicture(c, c.link.pictures.anNiuPic[element], *b);
}

void hide(link::Client& c, std::string_view name, int index = -1) {
    if (ui::Control* ctl = c.mainForm.find(name, index)) ctl->setVisible(false);
}

void hideBoards(link::Client& c) {
    if (c.results.hero) c.results.hero->setVisible(false);
    if (c.results.score) c.results.score->setVisible(false);
}

void pluginBankState(link::Client& c) {
    if (c.props.loaded()) c.props.propDll->setbankstate(2);
}

// Lower right of the table picture.
void toggleSettings(link::Client& c) {
    LazyForm& holder = shellWindows(c).vosSet;
    if (holder.shown()) {
        holder.ifLoaded()->setVisible(false);
        return;
    }
    ui::Form& v = holder.get();
    v.setVisible(true);
    const ui::Form& m = c.mainForm;
    const ui::PictureBox& pic = *c.pic1;
    v.move(m.left() + pic.left() + pic.width() - 1.1 * v.width(),
           m.top() + pic.top() + pic.height() - 1.35 * v.height());
}

void minimiseButton(link::Client& c) {
    c.mainForm.setWindowState(ui::Form::WindowState::Minimized);
    hideBoards(c);
    c.talk.setVisible(false);
    hideIfLoaded(shellWindows(c).vosSet);
    if (c.shell.chatWindows) chatWindows(c).huifu.setVisible(false);
    bossKey(c);
}

}  // namespace

bool startPairShown(const link::Client& c) { return c.link.juNum < 1 && c.link.notStartedYet; }

std::size_t normalPicture(const link::Client& c, int i) {
    if (i == 2) return startPairShown(c) ? 4 : 6;
    return static_cast<std::size_t>(i < 2 ? 2 * i : 2 * i + 2);
}

std::size_t hoverPicture(const link::Client& c, int i) { return normalPicture(c, i) + 1; }

void toolbarMouseMove(link::Client& c, int i) {
    if (i < 0 || i > 8) return;
    auto& hover = c.table.anNiuHover[static_cast<std::size_t>(i)];
    if (!hover) {
        hover = true;
        setButtonPicture(c, i, hoverPicture(c, i));
    }
    if (ui::Control* b = button(c, i)) b->setToolTip(std::string(ToolbarTips[static_cast<std::size_t>(i)]));
}

void restoreToolbarPictures(link::Client& c) {
    for (int i = 0; i <= 8; ++i) {
        auto& hover = c.table.anNiuHover[static_cast<std::size_t>(i)];
        if (!hover) continue;
        hover = false;
        setButtonPicture(c, i, normalPicture(c, i));
    }
}

std::string rulesAddress(const link::Client& c) {
    return "http://" + c.link.launch.serverHost + std::string(RulesPath);
}

void pressStart(link::Client& c) {
    hideBoards(c);
    auto& l = c.link;
    if (l.leaveAfterGame) {
        l.readySent = false;
        if (c.resetSession) c.resetSession(c);
        if (c.resetRoundData) c.resetRoundData(c);
        if (c.resetTableForHand) c.resetTableForHand(c);
        l.hallHwnd = c.p.hall.findWindow(l.hallCaption);
        if (l.hallHwnd == 0) {
            c.log("hall window gone; ending");
            c.p.process.endProcess(0);
        }
        c.mainForm.setWindowState(ui::Form::WindowState::Minimized);
        c.restoreHallWindow();
        return;
    }
    // A watcher has no seat to ready.
    if (l.launch.isSpectator) return;
    if (c.table.anNiuState[2]) return;

    l.notStartedYet = false;
    setButtonPicture(c, 2, 6);
    if (ui::Control* ok = c.mainForm.find("OK", 0)) {
        ok->setVisible(true);
        ok->bringToFront();
    }
    l.startPressed = true;
    l.readyCountdown.on = false;
    hide(c, "Time_Img");
    hide(c, "Number");
    c.table.anNiuState[2] = true;
    if (!l.readySent) {
        if (c.resetHandDisplay) c.resetHandDisplay(c);
        if (c.resetTableForHand) c.resetTableForHand(c);
        if (c.newGameResetRoundData) c.newGameResetRoundData(c);
        l.readySent = true;
    }
    CmdInfo ready;
    ready.cmd = CmdReady;
    ready.seat = c.table.custom[0].seat;
    ready.value = {0, 0, 0, 1};
    c.sendCommand(ready);
    auto& s = c.dispatch.seating;
    if (s.shuffleWanted && s.randomSeatOn) {
        // The server assigns the new seats.
        for (auto& seat : c.table.custom) seat.seat = 0;
        openSeatChange(c);
        s.shuffleWanted = false;
    }
}

void toggleExitDialog(link::Client& c) {
    pluginBankState(c);
    LazyForm& holder = shellWindows(c).frmExit;
    if (holder.shown()) {
        holder.ifLoaded()->setVisible(false);
    } else {
        setRunawayWarning(c);
        holder.get().setVisible(true);
    }
    // Over the table picture's middle, counted from the window's corner, in
    // whole pixels.
    ui::Form& f = holder.get();
    const ui::Form& m = c.mainForm;
    const long x = std::lround(m.left() / Twips + (c.pic1->width() / Twips - f.width() / Twips) / 2);
    const long y = std::lround(m.top() / Twips + (c.pic1->height() / Twips - f.height() / Twips) / 2);
    f.setTopmost(true);
    f.move(static_cast<double>(x) * Twips, static_cast<double>(y) * Twips);
}

void toolbarClick(link::Client& c, int i) {
    switch (i) {
    case 0:
        // The button is the unhurried way to send: no rate limit, no too-fast
        // note in the history, and a watcher may use it.
        sendChatBox(c);
        break;
    case 1:
        historyAreaClick(c);
        break;
    case 2:
        pressStart(c);
        break;
    case 3:
        toggleSettings(c);
        pluginBankState(c);
        break;
    case 4:
        minimiseButton(c);
        break;
    case 5:
        if (c.results.score) results::toggleHandBoard(c);
        pluginBankState(c);
        break;
    case 6:
        if (c.results.hero) results::toggleHeroBoard(c);
        pluginBankState(c);
        break;
    case 7:
        c.p.process.openInBrowser(rulesAddress(c));
        break;
    case 8:
        toggleExitDialog(c);
        break;
    default:
        break;
    }
}

void chatButtonBlink(link::Client& c, int chatBlinkBefore) {
    const bool lit = chatBlinkBefore > 0 && (chatBlinkBefore - 1) % 2 == 0;
    setButtonPicture(c, 1, lit ? 3 : 2);
}

void installToolbar(link::Client& c) {
    c.onChatButtonBlink = [](link::Client& client, int before) { chatButtonBlink(client, before); };
    for (int i = 0; i <= 8; ++i) {
        ui::Control* b = button(c, i);
        if (!b) continue;
        b->onClick = [&c, i] { toolbarClick(c, i); };
        b->onMouseMove = [&c, i](const ui::MouseEvent&) { toolbarMouseMove(c, i); };
    }
}

}  // namespace mj::shell
