// shell_windows.h: the shell's pop-up windows that are made on first use and
// unloaded by their own buttons: the exit dialog `frmExit`, the table-ended
// notice `frmOtherExit`, the settings dialog `VosSet` and the player card
// `Information`.
#pragma once
#include <memory>

#include "platform/clock.h"
#include "shell/lazy_form.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

struct ShellWindows {
    explicit ShellWindows(link::Client& c);
    LazyForm frmExit;
    LazyForm frmOtherExit;
    LazyForm vosSet;
    LazyForm information;
    // Destroys unloaded windows once their handlers have returned.
    std::unique_ptr<platform::Timer> reaper;
    // Inside the exit dialog's or the notice's leave: a second click waits.
    bool leaving = false;
};

[[nodiscard]] ShellWindows& shellWindows(link::Client& c);

// The translucency step every pop-up runs when it is made.
void makePopupTranslucent(link::Client& c, ui::Form& f);

// Hides a window only when it is loaded (hiding need not make it).
void hideIfLoaded(LazyForm& f);

}  // namespace mj::shell
