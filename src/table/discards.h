// discards.h: a seat's discard shown on the table, and the rows of eight its
// discards are laid in.
#pragma once
#include "shared/game_types.h"

namespace mj::link {
class Client;
}

namespace mj::table {

struct TableState;

// Player table: the discard of another seat turns face up in the middle of
// the table and stays there as the claimable tile (curTileImg) until the next
// draw lays it into its row; the local seat's own discard only updates the
// last tile and view. Pauses 50 ms, blocking. A discard of a seat with no
// concealed tile is refused with a log line and changes nothing; returns
// whether the discard was taken.
bool showDiscard(link::Client& client, SeatBit seatBit, int tile);
// Spectator table: the discard flashes enlarged in the middle (once the
// restore is done, with a blocking second) and is laid into its row at once.
// A shown watched hand gives up the slot holding the discarded tile and is
// sorted again. Refuses like showDiscard.
bool sideShowDiscard(link::Client& client, SeatBit seatBit, int tile);

// Lays tile control `image` at the discard cursor of `view` in the view's
// lying size, stacks it as a laid discard, notes the cursor in
// lastDiscardX/Y and advances the cursor. Both tables lay through here.
void layDiscard(link::Client& client, int view, int image);
// Moves the cursor of custom(view) past a tile just laid with the view's
// lying size in tileW/tileH: rows of eight, then the next row.
void discardRowAdvance(TableState& t, int view, double scaleX, double scaleY);

}  // namespace mj::table
