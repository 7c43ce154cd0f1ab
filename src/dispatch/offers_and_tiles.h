// offers_and_tiles.h: what the offer, action, special-tile and reveal
// commands read from their messages.
#pragma once
#include <string_view>

#include "shared/game_types.h"
#include "shared/wire.h"

namespace mj::link {
class Client;
}

namespace mj::dispatch {

// The hand's special tiles as command 14 announces them.
struct RoomRule {
    int lianLai = 0;  // consecutive-wild count; above 0 the animation plays
    int wild = 0;
    int pizi1 = 0;  // also the tile turned over in the wall
    int mode = 2;   // 3: 痞子 room (wild and two 痞子); otherwise wild and 红中
    int pizi2 = 0;  // read only in mode 3
    int indicatorOffset = 0;
};
inline constexpr int SpecialModeHongZhong = 2;
inline constexpr int SpecialModePizi = 3;

// Gives control `name` (`index`, -1 for a single control) the large upright
// face of the tile; a code that is no tile hides it instead.
void showLargeFace(link::Client& c, std::string_view name, int index, int tile);

[[nodiscard]] RoomRule readRoomRule(const WireMessage& m, const CmdInfo& info);

// The longest the consecutive-wild animation may hold the handler: longer
// than the animation plays, so only a control that never stops reaches it.
inline constexpr int LianLaiWaitLimitMs = 10000;

}  // namespace mj::dispatch
