// table_state.h: the table view's state the rest of the client reads: the
// per-view seat records with their tile slots, the tile sizes in force, the
// hand's special tiles, the wall pointers and the blinking tile.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "shared/game_types.h"

namespace mj::table {

// The 136 tile controls, one per physical tile; the index is the wall position.
inline constexpr int WallSize = 136;
inline constexpr int SlotCount = 18;
// Tile pictures 0..179: set x 36 + suit index x 9 + rank - 1.
inline constexpr int TilePictureCount = 180;

enum SlotState : int {
    SlotEmpty = 0,
    SlotConcealed = 1,
    SlotChi = 2,
    SlotPeng = 3,
    SlotMingGang = 4,
    SlotAnGang = 5,
    SlotSingleGang = 6,
};

struct TileSlot {
    int state = SlotEmpty;
    int tile = 0;  // a TileCode in the low byte; 0 no tile
    int img = -1;  // the MJ_Image index showing it; -1 none
};

struct SeatRecord {
    std::string name;
    double handGold = 0;
    SeatBit seat = 0;  // 0 before the player has a seat
    int isBanker = 0;  // -1 for the banker
    int discardX = 0, discardY = 0;
    int discardRowX = 0, discardRowY = 0;
    int handX = 0, handY = 0;
    std::array<TileSlot, SlotCount> slots{};
    // The next meld fills slots meldEnd - 2 .. meldEnd.
    int meldEnd = 3;
    int firstConcealed = 4;
    int concealedCount = 0;
    int wildCount = 0;
    int pizi1Count = 0;
    int pizi2Count = 0;
    int hongZhongGangs = 0;
    int baoGangs = 0;
    int pizi1Gangs = 0;
    int pizi2Gangs = 0;
};

struct TableState {
    std::array<SeatRecord, 4> custom{};
    // Width and height, per view, at which tiles of that view are being placed.
    std::array<int, 4> tileW{};
    std::array<int, 4> tileH{};

    int curTileImg = -1;
    int prevBlinkImg = -1;
    int blinkCount = 0;

    // The hand's special tiles (command 14): wild tile -1 until announced.
    int wildTile = -1;
    int specialMode = 0;  // 3: 痞子 mode
    int piziTile1 = 0;
    int piziTile2 = 0;
    int lianLaiCount = 0;  // consecutive wilds; the settlement doubles per count
    // Wall: the hand's start position and the indicator's distance from it.
    int wallStart = 0;
    int indicatorOffset = 0;
    int indicatorImg = -1;

    // The wall positions of the next draw from the front and of the next kong
    // supplement from the back.
    // The running hand's banker seat bit and two dice sums, as the restore
    // header gave them.
    int restoreBanker = 0;
    std::array<int, 2> restoreDice{};
    int wallHead = 0;
    int wallTail = 0;
    // The last discard: its tile, the discarding seat's view (above 3: nothing
    // to lay) and, on the spectator table, the cursor it was laid at.
    int lastTileCode = 0;
    int lastDiscardView = 4;
    int lastDiscardX = 0;
    int lastDiscardY = 0;

    // Per-hand flags and lists the reset clears.
    bool drawFromHead = true;
    bool afterGang = false;
    bool canDiscard = false;
    int seatMsgCount = 0;
    std::array<std::array<int, SlotCount>, 4> revealedTiles{};  // views 1..3 used
    // View 3's laid discards in laying order; the first discardImg3Count
    // entries count. It grows past three columns in a long hand.
    std::vector<int> discardImg3 = std::vector<int>(24);
    int discardImg3Count = 0;
    std::array<std::array<int, 12>, 4> singleGangImg{};
    int winnerView = -1;
    int resultCount = 0;
    std::array<long, 4> wealthByView{};
    int isWealthMultiple = 0;

    // The click-reveal lists of the hand's end, cleared at every hand start.
    std::array<int, 16> anGangImg{};
    std::array<int, 16> anGangTile{};
    std::array<int, 16> anGangView{};
    int anGangCount = 0;
    std::array<int, 5> wallPeekTile{};
    std::array<int, 5> wallPeekImg{};
    int wallPeekCount = 0;

    // The restore of a running hand in progress. The wall is laid out again
    // from the hand's origin (restoreOrigin, from the header's dice); the
    // tiles the seats hold, the turned tile and the discards take images that
    // are no longer in the remaining wall (restoreUsed), so no image is laid
    // twice. restoreSeats holds the seat bits already laid in this series.
    bool restoreOpen = false;
    int restoreSeats = 0;
    int restoreOrigin = 0;
    int restoreFrontCount = 0;
    int restoreBackCount = 0;
    std::array<int, 4> restoreDiscardCount{};
    int wallOffset = 0;
    int restoreKongs = 0;  // kongs laid, each owed one supplement from the back
    std::array<bool, WallSize> restoreUsed{};

    // True from the end of the first completed table restore on; the
    // spectator table flashes discards and turns a complete watched hand
    // face down only then.
    bool restoreDone = false;

    // Start-up flags of the toolbar and the game flow.
    bool nextHandPending = false;
    std::array<bool, 9> anNiuState{};
    std::array<bool, 9> anNiuHover{};
    bool countingUserInfo = false;
};

}  // namespace mj::table
