// claims_install.cpp: the claims subsystem's seams and handlers.
#include "claims/claims_install.h"

#include "claims/turn_play.h"
#include "link/client.h"

namespace mj::claims {

void installClaims(link::Client& client) {
    client.autoPlay = &autoPlay;
    client.timeoutDefaultAction = &timeoutDefaultAction;
}

}  // namespace mj::claims
