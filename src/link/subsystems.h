// subsystems.h: connects the subsystems' handlers to the client's seams.
#pragma once

namespace mj::link {
class Client;
// Called once by the client's constructor.
void installSubsystems(Client& client);
}  // namespace mj::link
