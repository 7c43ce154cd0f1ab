// claims_state.h: the turn and offer state the offer handler writes and the
// claim code, the scheduler and auto-play read.
#pragma once
#include <array>

namespace mj::claims {

// The own claim sent and not yet confirmed: what the meld slots were filled
// for, so a confirmation can be told from one this client did not send.
struct PendingClaim {
    int op = 0;  // 0: none
    int slotA = -1, slotB = -1;
    std::array<int, 3> tiles{};
};

struct ClaimsState {
    bool offerReceived = false;  // the local seat has been offered a choice
    int actionState = 0;         // 2 or more: acting or acted; 3: timed out
    bool zhahuShown = false;     // the "not enough fan" notice is showing
    // Per claim button (0 吃, 1 碰, 2 杠, 3 胡, 4 过): 2 when the current offer arms it.
    std::array<int, 5> opOffered{};
    int opOptions = 0;  // the mask of the last offer with a kong bit
    int huState = 0;    // 1 win offered; 2 it lacks fan alone; 3 it lacks fan beside 吃/碰/杠
    bool offerAnswered = false;

    // Own slots of the 吃 candidates, two per candidate; 0 and 1 the pair sent.
    std::array<int, 6> chiChoiceSlots{};
    // Own slot and kind of each kong candidate; element 0 the one sent.
    std::array<int, 10> gangChoiceSlots{};
    std::array<int, 10> gangChoiceKinds{};
    int gangChoiceCount = 0;
    // Per view: the seat has an exposed meld this hand.
    std::array<bool, 4> viewOpened{};
    PendingClaim pending;
    int speakIndex = 0;  // the bubble the bubble task hides
};

}  // namespace mj::claims
