// subsystems.cpp: every subsystem that fills one of the client's seams adds
// its install call here.
#include "link/subsystems.h"

#include "link/client.h"

namespace mj::link {

void installSubsystems(Client& client) { (void)client; }

}  // namespace mj::link
