// exit_dialogs.cpp: leaving the table from the client's own dialogs.
#include "shell/exit_dialogs.h"

#include "link/client.h"
#include "link/general.h"
#include "shell/shell_windows.h"
#include "table/tiles.h"

namespace mj::shell {
namespace {

constexpr double Twips = 15.0;
constexpr ui::Color LabelYellow{255, 255, 192};

ui::Label& label(ui::Form& f, const char* name, double l, double t, double w, double h, std::string_view text,
                 bool bold) {
    auto& lb = f.add<ui::Label>(name, -1);
    lb.move(l * Twips, t * Twips, w * Twips, h * Twips);
    lb.setAlignment(ui::Control::Align::Center);
    lb.setTransparentBack(true);
    lb.setForeColor(LabelYellow);
    lb.setFont({"宋体", 14.25, bold});
    lb.setCaption(std::string(text));
    return lb;
}

ui::Image& button(ui::Form& f, const char* name, double l, double t) {
    auto& b = f.add<ui::Image>(name, -1);
    b.move(l * Twips, t * Twips);
    b.setMousePointer(ui::PointerCustom);
    return b;
}

void background(link::Client& c, ui::Form& f, double widthPx) {
    f.setCaption("退出");
    f.move(f.left(), f.top(), widthPx * Twips, 180 * Twips);
    auto& back = f.add<ui::Image>("Background", -1);
    back.move(0, 0);
    (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::DialogBack), back);
}

// Both leave paths end here: the link and the table are reset, the dialog
// went, and the hall comes back (or the process ends without it).
void resetAndGiveBackTheHall(link::Client& c, LazyForm& dialog) {
    c.link.readySent = false;
    if (c.resetSession) c.resetSession(c);
    if (c.resetRoundData) c.resetRoundData(c);
    if (c.resetTableForHand) c.resetTableForHand(c);
    dialog.unload();
    c.link.hallHwnd = c.p.hall.findWindow(c.link.hallCaption);
    if (c.link.hallHwnd == 0) {
        c.log("hall window gone; ending");
        c.p.process.endProcess(0);
    }
    c.mainForm.setWindowState(ui::Form::WindowState::Minimized);
    c.restoreHallWindow();
}

// Marks the leave as running for its whole length, also when it ends by an error.
struct LeavingGuard {
    bool& flag;
    explicit LeavingGuard(bool& f) : flag(f) { flag = true; }
    ~LeavingGuard() { flag = false; }
    LeavingGuard(const LeavingGuard&) = delete;
    LeavingGuard& operator=(const LeavingGuard&) = delete;
};

}  // namespace

void setRunawayWarning(link::Client& c) {
    ui::Form& f = shellWindows(c).frmExit.get();
    if (auto* warn = f.find("Label2")) warn->setVisible(c.link.inGame && !c.link.launch.isSpectator);
}

void loadExitDialog(link::Client& c, ui::Form& f) {
    makePopupTranslucent(c, f);
    background(c, f, 320);
    label(f, "Label2", 32, 32, 265, 22, RunawayWarning, true).setVisible(false);
    label(f, "Label1", 48, 64, 233, 22, ExitQuestion, true);
    auto& ok = button(f, "pbCloseMe", 48, 112);
    auto& cancel = button(f, "pbCancel", 184, 112);
    ok.move(ok.left(), ok.top(), 65 * Twips, 30 * Twips);
    cancel.move(cancel.left(), cancel.top(), 65 * Twips, 30 * Twips);
    const auto& pics = c.link.pictures.dialogPic;
    (void)table::loadPicture(c, pics[0], ok);
    (void)table::loadPicture(c, pics[2], cancel);
    ok.onClick = [&c] { exitDialogLeave(c); };
    cancel.onClick = [&c] { exitDialogStay(c); };
    if (auto* warn = f.find("Label2")) warn->setVisible(c.link.inGame && !c.link.launch.isSpectator);
    // During the seat change the dialog shows its plain colour only.
    if (c.dispatch.seating.shuffling) {
        if (auto* back = f.find("Background")) back->setPicture({});
    }
    f.moveWithMouse = nullptr;
}

void loadOtherExit(link::Client& c, ui::Form& f) {
    makePopupTranslucent(c, f);
    background(c, f, 319);
    label(f, "Label1", 31, 40, 259, 19, "", false);
    auto& ok = button(f, "imgOK", 76, 124);
    auto& stay = button(f, "imgCancel", 180, 124);
    ok.setStretch(true);
    (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::OtherExitOk), ok);
    (void)table::loadPicture(c, static_cast<int>(link::DesignPicture::OtherExitStay), stay);
    ok.move(ok.left(), ok.top(), 70 * Twips, 30 * Twips);
    stay.move(stay.left(), stay.top(), 70 * Twips, 30 * Twips);
    ok.onClick = [&c] { otherExitLeave(c); };
    stay.onClick = [&c] { otherExitStay(c); };
    // Making this window already commits the client to leaving after the game.
    c.link.leaveAfterGame = true;
}

void exitDialogLeave(link::Client& c) {
    ShellWindows& w = shellWindows(c);
    // The waits below pump events: a second click must not leave twice.
    if (w.leaving) return;
    LeavingGuard guard(w.leaving);
    if (ui::Form* f = w.frmExit.ifLoaded()) {
        for (const char* name : {"pbCloseMe", "pbCancel"}) {
            if (auto* b = f->find(name)) b->setEnabled(false);
        }
    }
    if (c.props.loaded()) {
        c.props.propDll->updataMyProp(false);
        link::waitSeconds(c.p.clock, 0.25);
    }
    link::leaveTable(c);
    // Also when the link is down: reconnect attempts must not outlive the leave.
    c.link.linkCheck = link::Task{};
    resetAndGiveBackTheHall(c, w.frmExit);
}

void exitDialogStay(link::Client& c) { shellWindows(c).frmExit.unload(); }

void otherExitLeave(link::Client& c) {
    ShellWindows& w = shellWindows(c);
    if (w.leaving) return;
    LeavingGuard guard(w.leaving);
    resetAndGiveBackTheHall(c, w.frmOtherExit);
}

void otherExitStay(link::Client& c) {
    c.link.leaveAfterGame = true;
    c.link.inGame = false;
    c.link.linkCheck.on = false;
    shellWindows(c).frmOtherExit.unload();
}

void showOtherExit(link::Client& c, const std::string& reason) {
    ui::Form& f = shellWindows(c).frmOtherExit.get();
    if (auto* l = f.find("Label1")) l->setCaption(reason);
    f.setTopmost(true);
    const ui::Form& m = c.mainForm;
    f.move(m.left() + (m.width() - f.width()) / 2, m.top() + (m.height() - f.height()) / 2);
    f.setVisible(true);
}

}  // namespace mj::shell
