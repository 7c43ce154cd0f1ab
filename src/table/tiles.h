// tiles.h: the table's vocabulary: tile codes to picture numbers, seat bits to
// view positions, the tile size sets, and the small procedures every table
// procedure uses to picture a tile control and find it in the local hand.
#pragma once
#include <string_view>

#include "platform/controls.h"
#include "shared/game_types.h"
#include "table/table_state.h"

namespace mj::link {
class Client;
}

namespace mj::table {

// The picture sets: 0-3 a tile lying in front of that view, 4 the local
// player's standing hand.
inline constexpr int HandPictureSet = 4;
// Places 7 and 8 of the honours row of every set: the standing and lying back.
[[nodiscard]] constexpr int standingBack(int set) { return set * 36 + 7; }
[[nodiscard]] constexpr int lyingBack(int set) { return set * 36 + 8; }

// set x 36 + suit index x 9 + rank - 1, with suit and rank taken from the low
// byte of the code. Not checked: a code that is no tile gives a number the
// picture setter refuses or a wrong face.
[[nodiscard]] int tilePicture(int set, int tileCode);
// (index of own + 4 - index of seat) mod 4: 0 bottom, 1 left, 2 top, 3 right.
[[nodiscard]] int viewPos(SeatBit own, SeatBit seat);

// Nearest whole number, halves to the even neighbour (37.5 -> 38, 27.5 -> 28).
[[nodiscard]] int roundHalfEven(double v);

enum class TileSizeSet { Lying, Standing, Action, Reveal };
// Writes the set, scaled and rounded, into tileW/tileH of all four views.
void setTileSizes(TableState& t, TileSizeSet set, double scaleX, double scaleY);
// The same for one view only; a view outside 0..3 changes nothing.
void setTileSize(TableState& t, int view, TileSizeSet set, double scaleX, double scaleY);

// Loads resource `id` of type "GIF" into the control; false when it cannot.
bool loadPicture(link::Client& client, int id, ui::Control& target);
bool loadPicture(link::Client& client, std::string_view id, ui::Control& target);

// MJ_Image(image), or nullptr for an index outside 0..135 or a table not laid
// out yet.
[[nodiscard]] ui::Control* tileControl(link::Client& client, int image);
// Hides the tile control, gives it tile picture `picture` and shows it. A
// picture or image outside its range is refused with a log line and the
// control is left as it was.
void setTileImage(link::Client& client, int image, int picture);
// The picture number the tile control currently shows, -1 when it shows none
// of the tile pictures.
[[nodiscard]] int shownTilePicture(link::Client& client, int image);

// True when `image` shows one of the local player's concealed tiles.
[[nodiscard]] bool isImageInHand(const TableState& t, int image);
// The slot number (from firstConcealed on) of that tile, -1 when none.
[[nodiscard]] int findSlotOfImage(const TableState& t, int image);

}  // namespace mj::table
