// player_card.h: the player card `Information` shown while the pointer rests
// on a face, and the table's hover tooltips.
#pragma once

#include "platform/controls.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

void loadPlayerCard(link::Client& c, ui::Form& f);

}  // namespace mj::shell
