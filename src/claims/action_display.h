// action_display.h: a seat's claim or pass reported by the server, shown on
// the player table: bubble, caption, knock and voice for another seat, the
// meld built from the row, and for the own seat the confirmed meld laid out.
#pragma once
#include <array>

namespace mj::link {
class Client;
}

namespace mj::claims {

void showAction(link::Client& c, int op, int seatBit, const std::array<int, 3>& tiles);
// The same on the watching table, where every seat's hand (the watched one's
// too) is a row of backs and every discard already lies in its row: the
// claimed discard leaves its row, the meld is laid from the row's images.
void sideShowAction(link::Client& c, int op, int seatBit, const std::array<int, 3>& tiles);

// Creates the claim bubbles and the caption frame when the design lacks them.
void installActionDisplay(link::Client& c);

}  // namespace mj::claims
