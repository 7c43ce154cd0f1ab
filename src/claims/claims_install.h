// claims_install.h: connects the claims and turn play to the client.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::claims {

// Fills the turn seams (auto-play, the default action, the action display)
// and the click handlers of the claim buttons, the choice pictures, the tile
// controls and the table. Called after the table's design controls exist.
void installClaims(link::Client& client);

}  // namespace mj::claims
