// shell_install.cpp: the shell's place in the running client.
#include "shell/shell_install.h"

#include "link/client.h"
#include "shell/browsers.h"
#include "shell/exit_dialogs.h"
#include "shell/keys.h"
#include "shell/player_card.h"
#include "shell/shell_windows.h"
#include "shell/toolbar.h"
#include "shell/window_frame.h"

namespace mj::shell {

void installShell(link::Client& c) {
    (void)shellWindows(c);
    installBrowsers(c);
    installWindowFrame(c);
    installKeys(c);
    installToolbar(c);
    installPlayerCard(c);
    // The toolbar's other buttons and the chat box come with the seat layout.
    c.initSeatLayout = [&c, layout = c.initSeatLayout](link::Client& client) {
        if (layout) layout(client);
        installToolbar(c);
        installKeys(c);
        installPlayerCard(c);
    };
    // The new hand's table has no chat window over it.
    c.resetTableForHand = [reset = c.resetTableForHand](link::Client& client) {
        if (reset) reset(client);
        client.talk.setVisible(false);
    };
    // Closing the main window: the shell's windows go (the client stops the camera).
    c.mainForm.onUnload = [&c, unload = c.mainForm.onUnload] {
        c.ignoringErrors("shell on unload", [&] {
            ShellWindows& w = shellWindows(c);
            for (LazyForm* f : {&w.frmExit, &w.frmOtherExit, &w.vosSet, &w.information}) f->unload();
        });
        if (unload) unload();
    };
    c.dispatch.showOtherExit = [](link::Client& client, const std::string& text) { showOtherExit(client, text); };
    // A hand start takes an open exit question away.
    c.unloadExitDialog = [](link::Client& client) {
        LazyForm& f = shellWindows(client).frmExit;
        if (f.shown()) f.unload();
    };
    c.unloadOtherExit = [](link::Client& client) { shellWindows(client).frmOtherExit.unload(); };
}

}  // namespace mj::shell
