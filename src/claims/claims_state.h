// claims_state.h: the turn and offer state the scheduler reads.
#pragma once

namespace mj::claims {

struct ClaimsState {
    bool offerReceived = false;  // the local seat has been offered a choice
    int actionState = 0;         // 2 or more: acting or acted; 3: timed out
    bool zhahuShown = false;     // the "not enough fan" notice is showing
};

}  // namespace mj::claims
