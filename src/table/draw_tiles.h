// draw_tiles.h: tiles taken from the wall into a seat's hand, by the deal
// (four at a time) and by single draws.
#pragma once
#include <array>

#include "shared/game_types.h"

namespace mj::link {
class Client;
}

namespace mj::table {

// Player table. First lays the pending discard (curTileImg) into its owner's
// row, unless a kong came between (pausing 0.4 s, blocking, before a single
// draw); then takes `count` (1 or 4) tiles from the wall head, or a single
// kong supplement from the wall tail, into the seat's next slots: the local
// seat's face up from `values` (value 3 for a draw, values 0..3 for a deal),
// the other seats' as standing backs. A draw that would run past the last
// slot is refused with a log line and changes nothing.
void drawTilesToHand(link::Client& client, SeatBit seatBit, int count, const std::array<int, 4>& values);
// Spectator table: the same without laying a pending discard and without the
// other seats' gap; the watched hand is shown face up only when its player
// shows it.
void sideDrawTilesToHand(link::Client& client, SeatBit seatBit, int count, const std::array<int, 4>& values);

}  // namespace mj::table
