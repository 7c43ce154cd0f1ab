// shell_windows.cpp: the holders of the shell's made-on-use windows.
#include "shell/shell_windows.h"

#include "link/client.h"
#include "shell/chat_windows.h"
#include "shell/exit_dialogs.h"
#include "shell/player_card.h"
#include "shell/settings_dialog.h"
#include "shell/speak_box.h"

namespace mj::shell {
namespace {

// Soon after an unload, from the message loop: no handler of the window runs then.
constexpr platform::Millis ReapDelay{10};

}  // namespace

ShellWindows::ShellWindows(link::Client& c)
    : frmExit("frmExit", [&c](ui::Form& f) { loadExitDialog(c, f); }),
      frmOtherExit("frmOtherExit", [&c](ui::Form& f) { loadOtherExit(c, f); }),
      vosSet("VosSet", [&c](ui::Form& f) { loadSettingsDialog(c, f); }),
      information("Information", [&c](ui::Form& f) { loadPlayerCard(c, f); }) {
    reaper = c.p.clock.createTimer(ReapDelay, [this] {
        reaper->setEnabled(false);
        for (LazyForm* f : {&frmExit, &frmOtherExit, &vosSet, &information}) f->collect();
    });
    for (LazyForm* f : {&frmExit, &frmOtherExit, &vosSet, &information}) {
        f->onMade = [&c](ui::Form& form) {
            if (c.shell.attachForm) c.shell.attachForm(form);
        };
        f->onDestroy = [&c](ui::Form& form) {
            if (c.shell.detachForm) c.shell.detachForm(form);
        };
        f->onRetired = [this] { reaper->setEnabled(true); };
    }
}

ShellWindows& shellWindows(link::Client& c) {
    if (!c.shell.windows) c.shell.windows = std::make_shared<ShellWindows>(c);
    return *c.shell.windows;
}

void makePopupTranslucent(link::Client& c, ui::Form& f) {
    if (chatWindows(c).layeredPopups) (void)setWindowAlpha(f, PopupAlpha);
}

void hideIfLoaded(LazyForm& f) {
    if (ui::Form* form = f.ifLoaded()) form->setVisible(false);
}

}  // namespace mj::shell
