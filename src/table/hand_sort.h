// hand_sort.h: the table's display order of tiles: a view's concealed hand
// sorted and re-pictured, and a plain list of tile codes sorted.
#pragma once
#include <span>

namespace mj::link {
class Client;
}

namespace mj::table {

// Sorts the `count` concealed slots of custom(view) from firstConcealed on:
// the wild tiles first, in 痞子 mode then the first and the second 痞子 tiles,
// then 筒, 萬, 条 and the honours, each by rank. Counts the wild and 痞子 tiles
// into the record and gives every slot's control its picture (view 0 the
// large standing set). Each code belongs to one class only, so a 痞子 code
// equal to the wild tile (or to the other 痞子) never duplicates a tile. A
// view or range outside the record is refused with a log line.
void sortAndDrawHand(link::Client& client, int view, int count);

// Sorts entries 0 .. n-1 by suit (筒 萬 条 honours) and rank. An n larger
// than the list is refused with a log line; the list is left as it was.
void sortTiles(link::Client& client, std::span<int> tiles, int n);

}  // namespace mj::table
