// player_card.h: the player card `Information` shown while the pointer rests
// on a seat's face or labels, the multipliers' tooltips and the bank button's
// hover picture.
#pragma once
#include <array>
#include <string_view>

#include "platform/controls.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

inline constexpr std::array<std::string_view, 9> CardCaptions = {
    "玩家昵称", "性    别", "所 在 地", "积    分", "信 用 度", "登录次数", "掉线次数", "胜场次数", "败场次数"};
inline constexpr std::string_view DiceTipPrefix = "骰子加倍 ×";
inline constexpr std::string_view WealthTipPrefix = "财富加倍 ×";

void loadPlayerCard(link::Client& c, ui::Form& f);

// The pointer over face or label `view` (0..3): the card with that player,
// beside the seat. A seat without a nickname opens nothing.
void showPlayerCard(link::Client& c, int view);

// The two multipliers' tooltips; no multiplier, no tooltip.
void diceTooltip(link::Client& c);
void wealthTooltip(link::Client& c);

// The bank button: its hover picture on entering, its normal one on leaving.
void bankMouseMove(link::Client& c);
void imgLocationMouseMove(link::Client& c);

// Connects the faces, labels and indicators (after the seat layout made them).
void installPlayerCard(link::Client& c);

}  // namespace mj::shell
