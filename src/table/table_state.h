// table_state.h: the table view's state the rest of the client reads: the
// per-view seat records and the blinking tile.
#pragma once
#include <array>
#include <string>

#include "shared/game_types.h"

namespace mj::table {

struct SeatRecord {
    std::string name;
    SeatBit seat = 0;  // 0 before the player has a seat
};

struct TableState {
    std::array<SeatRecord, 4> custom{};
    int curTileImg = -1;
    int prevBlinkImg = -1;
    int blinkCount = 0;
};

}  // namespace mj::table
