// table_install.h: connects the table view to the client's seams.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::table {

// Builds the table's design controls and fills the client's start-up and
// per-hand reset seams. Called once from the client's constructor.
void installTable(link::Client& client);

}  // namespace mj::table
