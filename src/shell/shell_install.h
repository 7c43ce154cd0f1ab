// shell_install.h: fills the client's shell seams: toolbar, keys, exit
// dialogs, settings, player card, window frame and browsers.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::shell {

void installShell(link::Client& c);

}  // namespace mj::shell
