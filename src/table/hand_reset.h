// hand_reset.h: putting the table back between hands: the display, the wall
// laid out hidden with the seats' origins, and the per-hand data.
#pragma once
#include <optional>

namespace mj::link {
class Client;
}

namespace mj::table {

// Base coordinates of the wall at 1024 x 768: stack 0's upper tile per side,
// the step from stack k - 1 to k (besides the width of stack k - 1 for the
// bottom and top rows) and the lower tile's drop under the upper one.
struct WallSide {
    double left, top;
    int widthStep;  // -1 leftward, +1 rightward by the previous stack's width, 0 none
    double stepX, stepY;
    double drop;
};
inline constexpr WallSide WallSides[4] = {
    {809, 476, -1, 0, 0, 22},
    {164, 476, 0, 4, -15, 20},
    {236, 192, +1, 0, 0, 16},
    {748, 192, 0, 4, 15, 20},
};

// The wall position of a hand's first draw, where the banker's two rolls put
// it: the first sum picks the side counted from the banker's view, both sums
// the stack. Sums two dice cannot make place nothing.
[[nodiscard]] std::optional<int> wallStartFor(int bankerView, int firstSum, int secondSum);

// Hides the tiles, claim buttons and special-tile pictures, clears the
// blinking tile and the banker label (not on the spectator table) and sets
// the lying tile sizes.
void resetHandDisplay(link::Client& client);
// Lays the 136 tile controls out as the wall, hidden, with their drawing
// order, sets every view's hand origin and discard cursor, and resets the
// table's indicators and labels.
void resetTableForHand(link::Client& client);
// Clears the per-hand data of every seat record and the hand's shared flags.
void resetRoundData(link::Client& client);

}  // namespace mj::table
