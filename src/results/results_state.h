// results_state.h: what the end of a hand keeps: the settlement rows of the
// four seats, the amounts decoded from them, the marks of the hand, the
// result boards and which seats' results have arrived.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dispatch/player_records.h"
#include "platform/clock.h"
#include "platform/controls.h"

namespace mj::results {

inline constexpr int SettleRows = 61;
using SettleRowsOfSeat = std::array<int, SettleRows>;

// Row numbers of a seat's settlement rows.
enum SettleRow : int {
    RoomBase = 0,
    CoinMode = 1,
    HuPattern = 2,
    SpecialGangCount = 3,
    BaoGangCount = 4,
    MingGangCount = 5,
    AnGangCount = 6,
    YingHuFlag = 7,
    DianPaoFlag = 8,
    KaiKouFlag = 9,
    BaoHuFlag = 10,
    ZiMoFlag = 12,
    HandScoreBytes = 13,  // 8 bytes little-endian, rows 13..20
    ScoreSign = 21,
    LevelText = 22,  // 16 bytes, rows 22..37
    CoinCapFlag = 38,
    QiDuiCode = 39,
    CapCode = 40,
    HandScore2Bytes = 42,  // 8 bytes little-endian, rows 42..49
    LastStoredRow = 52,
};

// The hand's cap, 包胡 and four-wild marks per view; 0 at each deal.
struct HandMarks {
    std::array<int, 4> capMark{}, goldCapMark{}, baoHuMark{}, fourBaoMark{};
};

// The treasure-box lines and rewards the props bridge leaves per view.
struct BoxResults {
    std::array<std::string, 4> itemText{};
    std::array<double, 4> reward{};
};

struct ResultsState {
    std::array<SettleRowsOfSeat, 4> settle{};
    std::string otherSeatsNote;
    std::array<double, 4> handScore{};
    std::array<double, 4> handScore2{};
    HandMarks marks;

    // Views whose gold result (command 9) and settlement rows (command 17) of
    // the hand have arrived; a round acts when all four are in, so a repeated
    // message for one seat can neither stand in for a missing one nor act twice.
    unsigned goldReceived = 0;
    unsigned detailReceived = 0;
    // Set when a round of settlement rows is complete, cleared by the one
    // settlement that books it: a hand is booked once whoever runs it.
    bool settlementDue = false;
    // Runs a result handed to the props plug-in when the plug-in has not
    // shown it in time, so a hand's end never waits without a bound.
    std::unique_ptr<platform::Timer> handOffGuard;

    BoxResults box;

    // The names and faces the settlement board shows (live or reloaded).
    std::array<dispatch::ResultPlayer, 4> shownPlayer{};
    // The hand number of every row of the session board, so a row reopens
    // its own hand even when hands ended without a board; the pressed row.
    std::vector<int> heroHands;
    int heroSelected = -1;

    // The boards; created by the install, owned here.
    std::unique_ptr<ui::Form> score;
    std::unique_ptr<ui::Form> hero;
};

}  // namespace mj::results
