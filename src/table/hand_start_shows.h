// hand_start_shows.h: the short shows that open a table and a hand: the seat
// wind draw, the compass, the wall building, the dice and the turned
// indicator tile. Their pauses go through the client's clock: the blocking
// ones hold the thread, the short ones pump window events.
#pragma once
#include <array>

namespace mj::link {
class Client;
}

namespace mj::table {

// The hall message that tells the hall a hand has started.
inline constexpr unsigned HallHandStarted = 0x467;

// Four face-down tiles in the middle of the table, one of which turns up the
// local seat's wind (seat index 3 東 ... 0 北). A seat index outside 0..3 is
// refused with a log line.
void showSeatDraw(link::Client& client, int seatIndex);
// The compass turned to the local seat; a seat still unknown counts as seat 1.
void showCompass(link::Client& client);
// Tells the hall a hand started and shows the hidden wall stack by stack.
void showWallBuilding(link::Client& client);
// Two rolls of two dice ending on the server's faces. A value of 0 becomes 1
// in the caller's array; a value above 6 is logged and shows face 6.
void rollDice(link::Client& client, int bankerView, std::array<int, 4>& dice);
// Turns the tile `indicatorOffset` stacks back from the wall start face up,
// showing the first 痞子 tile in the picture set of its wall side.
void turnIndicatorTile(link::Client& client);

}  // namespace mj::table
