// claims_state.h: the turn and offer state the offer handler writes and the
// claim code, the scheduler and auto-play read.
#pragma once
#include <array>

namespace mj::claims {

struct ClaimsState {
    bool offerReceived = false;  // the local seat has been offered a choice
    int actionState = 0;         // 2 or more: acting or acted; 3: timed out
    bool zhahuShown = false;     // the "not enough fan" notice is showing
    // Per claim button (0 吃, 1 碰, 2 杠, 3 胡, 4 过): 2 when the current offer arms it.
    std::array<int, 5> opOffered{};
    int opOptions = 0;  // the mask of the last offer with a kong bit
    int huState = 0;    // 1 win offered; 2 it lacks fan alone; 3 it lacks fan beside 吃/碰/杠
    bool offerAnswered = false;
};

}  // namespace mj::claims
