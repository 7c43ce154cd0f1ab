// table_restore.h: a running hand laid out again from the server's restore
// messages: each seat's single kongs, melds and concealed tiles, then the
// remaining wall, the turned tile and the discards.
#pragma once
#include <span>
#include <vector>

namespace mj::link {
class Client;
}

namespace mj::table {

// One meld of a restored seat as its slots will hold it: SlotChi, SlotPeng or
// SlotMingGang (four tiles, the fourth kept outside the slots). Tiles that
// make no meld are kept together as SlotEmpty groups of up to three, so they
// are still shown and still take their slots.
struct RestoredMeld {
    int state = 0;
    std::vector<int> tiles;
};

// Splits a seat's exposed tiles (single kongs already taken out) into melds,
// leaving as few tiles out as possible: kongs, then 碰, then 吃 of one number
// suit. The list is taken in display order (as sortTiles leaves it).
[[nodiscard]] std::vector<RestoredMeld> splitMelds(std::span<const int> tiles);

// The wall of a hand `front` tiles into the draws from the front and `back`
// tiles into the kong supplements from the back, for a wall starting at
// `origin`: the next draw from each end, and which images have left the wall
// (the front ones in draw order, then the back ones).
struct RestoredWall {
    int head = 0;
    int tail = 0;
    std::vector<int> taken;
};
[[nodiscard]] RestoredWall restoredWall(int origin, int front, int back);

// How the back value of a restore message counts the kong supplements: it
// moves the wall's tail from where the tail stood before the restore, and a
// player's table and a watcher's start it in different places.
enum class BackReading {
    // A player's table: 133 for none, one less for each.
    Player,
    // A watcher's table, whose tail already stands one stack behind the
    // head: 135 for none, one less for each.
    Watcher,
};

// The number of kong supplements a restore message's back value stands for
// (the smallest value of the four seats is the furthest the back has gone).
[[nodiscard]] int backTilesOf(int backValue, int front, BackReading reading = BackReading::Player);

// The first seat message of a restore: the wall origin from the header's
// banker and dice sums (or the present head when they do not place one).
void beginRestore(link::Client& c);

// Lays one seat out: single kongs of 红中 and the wild tile on their stacks,
// the other exposed tiles as melds in the slots the claims use, and the
// concealed tiles face down from the first slot after the melds. Tiles that
// find no slot or no image are left out with a log line.
void layRestoredSeat(link::Client& c, int view, std::span<const int> exposed, std::span<const int> concealed);

// After the fourth seat: the remaining wall, the turned tile over its tail,
// every seat's discards face down, and the wall pointers moved past what the
// hand has used. Nothing is left pending as the last discard.
void finishRestore(link::Client& c);

}  // namespace mj::table
