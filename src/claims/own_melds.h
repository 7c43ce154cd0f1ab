// own_melds.h: lays a confirmed own claim out: the meld tiles in the meld size
// left of the hand, a kong's fourth tile on top, and the concealed row closed
// up behind the meld. Counts are the caller's to advance afterwards; each
// leaves the standing tile size in force.
#pragma once
#include <array>

namespace mj::link {
class Client;
}

namespace mj::claims {

// Each returns false and moves nothing when the slots or the hand do not hold
// the meld (a confirmation out of step with the hand).
bool layOwnChi(link::Client& c, int slotA, int slotB, const std::array<int, 3>& tiles);
bool layOwnPeng(link::Client& c, const std::array<int, 3>& tiles);
bool layOwnMingGang(link::Client& c, int slotA, const std::array<int, 3>& tiles);
bool layOwnAnGang(link::Client& c, int slotA, const std::array<int, 3>& tiles);
bool layOwnSingleGang(link::Client& c, int slotA);

}  // namespace mj::claims
