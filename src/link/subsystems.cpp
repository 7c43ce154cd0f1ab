// subsystems.cpp: every subsystem that fills one of the client's seams adds
// its install call here.
#include "link/subsystems.h"

#include "claims/claims_install.h"
#include "dispatch/dispatcher.h"
#include "link/client.h"
#include "link/hall_window.h"
#include "link/leave.h"
#include "link/proxy.h"
#include "link/reconnect.h"
#include "props/props_bridge.h"
#include "results/results_install.h"
#include "shell/chat_install.h"
#include "shell/shell_install.h"
#include "table/table_install.h"
#include "video/video_install.h"

namespace mj::link {

void installSubsystems(Client& client) {
    client.dispatchServerCommand = &dispatch::dispatchServerCommand;
    client.resetSession = &resetSession;
    client.connectViaProxy = &connectViaProxy;
    client.onProxyData = &handleProxyReply;
    installReconnect(client);
    client.setupSpectatorTable = &dispatch::setupSpectatorTable;
    table::installTable(client);
    claims::installClaims(client);
    results::installResults(client);
    shell::installChat(client);
    shell::installShell(client);
    props::installProps(client);
    video::installVideo(client);
    if (auto* view = client.mainForm.findAs<ui::Component>("bombPlayer"))
        client.bombPlayer = std::make_unique<anigif::GifPlayer>(client.p.clock, *view);
    client.mainForm.onWindowMessage = [&client](std::uint32_t msg, std::uintptr_t w, std::intptr_t l, bool sent) {
        return mainWindowProc(client, msg, w, l, sent);
    };
}

}  // namespace mj::link
