// keys.cpp: keys, table clicks and the pointer over the table.
#include "shell/keys.h"

#include <algorithm>

#include "link/client.h"
#include "link/general.h"
#include "shell/chat_input.h"
#include "shell/chat_windows.h"
#include "shell/exit_dialogs.h"
#include "shell/shell_windows.h"
#include "shell/toolbar.h"
#include "table/tiles.h"

namespace mj::shell {
namespace {

constexpr int RaiseBy = 10;

void hideBoards(link::Client& c) {
    if (c.results.hero) c.results.hero->setVisible(false);
    if (c.results.score) c.results.score->setVisible(false);
}

void hideHuifu(link::Client& c) {
    if (c.shell.chatWindows) chatWindows(c).huifu.setVisible(false);
}

// F2 to F6 go to the props plug-in once, whichever control has the focus.
void pluginKey(link::Client& c, int keyCode) {
    if (keyCode > KeyF1 && keyCode <= KeyF6 && c.props.loaded()) c.props.propDll->setKeyDown(keyCode);
}

// Alt then C opens the history. Esc leaves the sequence alone.
void altThenC(link::Client& c, int keyCode) {
    if (altThenCDone(c, keyCode)) showChatWindow(c);
}

void tableKeyDown(link::Client& c, int keyCode, bool fromPic2) {
    if (keyCode == KeyF1)
        bossKey(c);
    else
        pluginKey(c, keyCode);
    if (keyCode == KeyEsc) {
        escapeOnTable(c, fromPic2);
        return;
    }
    altThenC(c, keyCode);
    if (fromPic2) {
        if (ui::TextBox* box = chatBox(c)) box->setFocus();
    }
}

void appendUtf8(std::string& out, int code) {
    const auto u = static_cast<unsigned>(code);
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

}  // namespace

bool altThenCDone(link::Client& c, int keyCode) {
    auto& s = c.shell.altCKeyState;
    if (keyCode == KeyAlt)
        s[0] = 1;
    else if (keyCode == KeyC)
        s[1] = 1;
    else
        s = {0, 0};
    if (s[0] != 1 || s[1] != 1) return false;
    s = {0, 0};
    return true;
}

void bossKey(link::Client& c) {
    c.ignoringErrors("boss key", [&] {
        if (c.props.loaded()) c.props.propDll->setKeyDown(KeyF1);
        c.shell.bossKeyOn = true;
        ShellWindows& w = shellWindows(c);
        w.information.unload();
        c.talk.setVisible(false);
        hideHuifu(c);
        hideIfLoaded(w.vosSet);
        hideIfLoaded(w.frmExit);
        hideBoards(c);
        // Every decision from now until the window is back is answered at once.
        c.link.countdownStart = 0;
        c.mainForm.setWindowState(ui::Form::WindowState::Minimized);
    });
    c.minimizeHallWindow();
}

void chatKeyDown(link::Client& c, int& keyCode, int) {
    if (keyCode == KeyF1)
        bossKey(c);
    else
        c.ignoringErrors("chat key", [&] { pluginKey(c, keyCode); });
}

void pic1KeyDown(link::Client& c, int& keyCode, int) { tableKeyDown(c, keyCode, false); }

void pic2KeyDown(link::Client& c, int& keyCode, int) { tableKeyDown(c, keyCode, true); }

void sysmsgKeyDown(link::Client& c, int& keyCode, int) {
    if (keyCode == KeyF1)
        bossKey(c);
    else
        pluginKey(c, keyCode);
}

void pic1KeyPress(link::Client& c, int& keyAscii) {
    if (keyAscii == KeyEsc || c.mainForm.windowState() != ui::Form::WindowState::Normal) return;
    ui::TextBox* box = chatBox(c);
    if (!box) return;
    // The character that moved the focus is the first of the line, not lost.
    if (keyAscii >= ' ') {
        std::string text = box->text();
        appendUtf8(text, keyAscii);
        box->setText(text);
        keyAscii = 0;
    }
    box->setSelStart(static_cast<int>(link::utf8Chars(box->text()).size()));
    box->setFocus();
}

void escapeOnTable(link::Client& c, bool fromPic2) {
    if (!fromPic2 && c.props.loaded()) c.props.propDll->setbankstate(2);
    LazyForm& holder = shellWindows(c).frmExit;
    if (holder.shown()) {
        holder.ifLoaded()->setVisible(false);
        return;
    }
    ui::Form& f = holder.get();
    const ui::Form& m = c.mainForm;
    f.move(m.left() + (m.width() - f.width()) / 2, m.top() + (m.height() - f.height()) / 2);
    setRunawayWarning(c);
    f.setVisible(true);
    if (fromPic2) f.bringToFront();
}

void tableClick(link::Client& c) {
    c.talk.setVisible(false);
    hideHuifu(c);
    if (c.results.score) c.results.score->setVisible(false);
    if (c.results.hero) c.results.hero->setVisible(false);
    ShellWindows& w = shellWindows(c);
    hideIfLoaded(w.vosSet);
    hideIfLoaded(w.frmExit);
}

void sysmsgClick(link::Client& c) { historyAreaClick(c); }

void pic1MouseMove(link::Client& c, double x, double y) {
    restoreToolbarPictures(c);

    const auto& own = c.table.custom[0];
    if (c.table.anNiuState[2] && !c.link.launch.isSpectator) {
        // The loop stops at the last of the 18 slots; the hand's count is not ours to change.
        const int first = own.firstConcealed;
        const int last = std::min(first + own.concealedCount - 1, table::SlotCount - 1);
        for (int h = std::max(first, 0); h <= last; ++h) {
            ui::Control* tile = table::tileControl(c, own.slots[static_cast<std::size_t>(h)].img);
            if (!tile || tile->top() != own.handY - RaiseBy) continue;
            const bool over = tile->left() < x && x < tile->left() + tile->width() && tile->top() < y &&
                              y < tile->top() + tile->height() + RaiseBy;
            if (!over) {
                tile->setTop(own.handY);
                break;
            }
        }
    }

    if (ui::Form* card = shellWindows(c).information.ifLoaded(); card && card->visible()) card->setVisible(false);
    if (c.shell.bankHover) {
        c.shell.bankHover = false;
        if (ui::Control* bank = c.mainForm.find("Bank")) (void)table::loadPicture(c, link::BankNormalId, *bank);
    }
    c.video.qvVideoShown = false;
    if (c.video.qvVideoSeat >= 1 && c.video.qvVideoSeat <= 4) {
        if (c.props.loaded()) c.props.propDll->showQvVideo(c.video.qvVideoSeat - 1, false, 0);
        c.video.qvVideoSeat = 0;
    }
    if (c.video.ownVideoOn) {
        if (ui::Control* tip = c.mainForm.find("Tiplbl"); tip && tip->visible()) tip->setVisible(false);
    }
}

void installKeys(link::Client& c) {
    c.pic1KeyDown = [](link::Client& client, int& key, int shift) {
        client.ignoringErrors("table key", [&] { pic1KeyDown(client, key, shift); });
    };
    if (c.pic1) {
        c.pic1->onKeyDown = [&c](int& key, int shift) {
            c.ignoringErrors("table key", [&] { pic1KeyDown(c, key, shift); });
        };
        c.pic1->onClick = [&c] { tableClick(c); };
        c.pic1->onMouseMove = [&c](const ui::MouseEvent& e) { pic1MouseMove(c, e.x, e.y); };
        c.pic1->onKeyPress = [&c](int& key) { c.ignoringErrors("table key", [&] { pic1KeyPress(c, key); }); };
    }
    if (c.pic2) {
        c.pic2->onKeyDown = [&c](int& key, int shift) {
            c.ignoringErrors("table key", [&] { pic2KeyDown(c, key, shift); });
        };
        c.pic2->onClick = [&c] { tableClick(c); };
    }
    for (ui::ListBox* strip : c.sysmsg) {
        if (!strip) continue;
        strip->onKeyDown = [&c](int& key, int shift) { sysmsgKeyDown(c, key, shift); };
        strip->onClick = [&c] { sysmsgClick(c); };
    }
    if (ui::TextBox* box = chatBox(c)) {
        box->onKeyDown = [&c](int& key, int shift) {
            c.ignoringErrors("chat key", [&] { chatKeyDown(c, key, shift); });
        };
    }
}

}  // namespace mj::shell
