// turn_play.h: what the client does for the local seat when the turn
// countdown runs out (auto-play or the default action), and the hand moves a
// discard shares with the tile click.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::claims {

// The five claim buttons disabled, hidden and given their normal pictures;
// the 吃 and kong choice pictures disabled and hidden.
void hideClaimControls(link::Client& c);
// The five claim buttons hidden; and given their normal pictures, disabled.
void hideClaimButtons(link::Client& c);
void resetClaimButtons(link::Client& c);
// Tile size of the own view: base pixels at 1024 x 768, scaled and rounded.
void setOwnTileSize(link::Client& c, int w, int h);
// Hides the not-enough-fan notice and clears its flag.
void hideZhahu(link::Client& c);
// Gives the tile in own slot `slot` its lying picture of `tile` at the discard
// size and puts it in the middle of the table (centred with that size), behind
// the other controls; it becomes the last discard.
void layDiscardInCentre(link::Client& c, int slot, int tile);
// Closes the own row over `slot` at the standing size; the moved tiles stand on
// the hand's line. Leaves the count to the caller.
void closeHandGap(link::Client& c, int slot);

void autoPlay(link::Client& c);
void timeoutDefaultAction(link::Client& c);

}  // namespace mj::claims
