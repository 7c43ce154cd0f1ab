// settlement.h: the settlement of a won hand as plain data: from the four
// seats' rows, gold results and records to the board's lists, the booked
// records and the session board's row. The client glue reads and shows it.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "results/results_state.h"

namespace mj::results {

inline constexpr char Separator[] = "====================";

// What the settlement reads and books of a player's record.
struct PlayerTally {
    double gold = 0;
    double score = 0;  // points
    std::int32_t winCount = 0;
    std::int32_t lossCount = 0;
    std::string levelName;
};

struct Settlement {
    // ---- read
    std::array<SettleRowsOfSeat, 4> rows{};
    std::array<double, 4> handGold{};
    std::array<std::string, 4> levelText{};
    std::string otherSeatsNote;
    int juNum = 0;
    int specialMode = 0;
    int lianLaiCount = 0;
    bool wealthOn = false;  // the table has a wealth multiple
    std::string wealthCaption = "0";
    bool diceOn = false;  // the hand's dice doubled the stakes
    std::string difenCaption;

    // ---- read and booked
    int winnerView = -1;
    std::array<PlayerTally, 4> player{};
    std::array<double, 4> sumScore{};
    BoxResults box;
    HandMarks marks;

    // ---- written
    std::array<double, 4> handScore{};
    std::array<double, 4> handScore2{};
    std::array<std::vector<std::string>, 4> detail{};
    std::array<std::vector<std::string>, 4> final{};
    std::array<std::uint32_t, 4> detailColor{};  // &HBBGGRR
    std::string heroNum;
    std::array<std::string, 4> heroGrade{};
    std::array<std::string, 4> sumScoreText{};
    std::array<std::string, 4> cashText{};
};

// Builds the board and books the hand into the records, totals and marks.
void settle(Settlement& s);

// The treasure-box lines of one seat: each line's last eight characters are
// its colour when they read as a number in 0..&HFFFFFF. Appends the lines to
// `list` and returns the last valid colour, or `color` unchanged.
std::uint32_t addBoxLines(std::vector<std::string>& list, const std::string& boxText, std::uint32_t color);

}  // namespace mj::results
