// hand_reveal.h: the end of a hand on the table: the other seats' concealed
// tiles collected as the server sends them and, once every seat is complete,
// every hand turned face up; and the list of the wall's next tiles that a
// click may reveal afterwards.
#pragma once
#include <array>
#include <cstdint>

#include "table/table_state.h"

namespace mj::link {
class Client;
}

namespace mj::table {

// The most tiles a concealed hand holds.
inline constexpr int MaxRevealedTiles = 14;

// Stores up to four of the seat's tiles (taken last value first, never more
// than the seat still owes; a 0 is no tile and is skipped) and, when the
// three other seats have all their tiles, reveals the table. A message for
// the local seat only writes the reveal tile sizes.
void revealOtherHand(link::Client& client, int seatBit, const std::array<int, 4>& tiles);

// How many tiles of view `view` (1..3) have been revealed this hand.
[[nodiscard]] int revealedCount(const TableState& t, int view);

// Fills the wall-peek list once per hand from the five listed tiles: the
// non-zero ones in order, the first two lying next at the back of the wall
// and the rest next at the front. A list already filled is left alone, and
// a message listing no tile leaves it free. False when nothing was filled.
bool fillWallPeek(TableState& t, const std::array<std::uint8_t, 5>& listed);

}  // namespace mj::table
