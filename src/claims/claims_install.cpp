// claims_install.cpp: the claims subsystem's seams and handlers.
#include "claims/claims_install.h"

#include "claims/action_display.h"
#include "claims/claim_choices.h"
#include "claims/tile_input.h"
#include "claims/turn_play.h"
#include "dispatch/player_records.h"
#include "link/client.h"

namespace mj::claims {

void installClaims(link::Client& client) {
    client.autoPlay = &autoPlay;
    client.timeoutDefaultAction = &timeoutDefaultAction;
    client.showAction = &showAction;
    client.sideShowAction = &sideShowAction;
    client.hideZhahu = &hideZhahu;
    // The voices are named by the player records' fields of the view.
    if (!client.playerVoice) {
        client.playerVoice = [](link::Client& c, int view) {
            return dispatch::voiceId(c.dispatch.player[static_cast<std::size_t>(view & 3)]);
        };
    }
    // The claim buttons and the tile controls are loaded by the table's
    // start-up layout; their handlers are hooked once they exist.
    auto layout = client.initTableControls;
    client.initTableControls = [layout](link::Client& c) {
        if (layout) layout(c);
        installActionDisplay(c);
        installClaimChoices(c);
        installTileInput(c);
    };
}

}  // namespace mj::claims
