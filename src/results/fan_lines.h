// fan_lines.h: the fan part of one seat's settlement detail list, chosen from
// the seat's settlement rows; nothing is computed here, only texts picked.
#pragma once
#include <string>
#include <vector>

#include "results/results_state.h"

namespace mj::results {

inline constexpr int SpecialModeHongZhong = 2;
inline constexpr int SpecialModePizi = 3;

// The lines of the hand-pattern code alone; empty for a code without lines.
[[nodiscard]] const std::vector<std::string>& huPatternLines(int code);

// The items the seat's list gets: seven pairs, 碰碰胡, the hand pattern (each
// group followed by an empty item), the kong counts, 硬胡 or 开口, 点炮 and
// 自摸. `winnerPattern` is the hand-pattern row of the hand's winner, or 0
// when there is none.
[[nodiscard]] std::vector<std::string> fanLines(const SettleRowsOfSeat& rows, int specialMode, int winnerPattern);

}  // namespace mj::results
