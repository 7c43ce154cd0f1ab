// table_handlers.cpp: the commands about the table and the hand. Until their
// handlers draw anything, a command is accepted and noted in the log; its
// fields have been checked by the dispatcher already.
#include "dispatch/dispatcher.h"
#include "link/client.h"

namespace mj::dispatch {

namespace {
void accepted(link::Client& c, std::string_view what) {
    c.log("command " + std::to_string(c.link.info.cmd) + " (" + std::string(what) + ") accepted");
}
}  // namespace

void onHandGold(link::Client& c) { accepted(c, "hand gold"); }
void onTableStatus(link::Client& c) { accepted(c, "table status"); }
void onHandDetail(link::Client& c) { accepted(c, "hand detail"); }
void onRestorePlayer(link::Client& c) { accepted(c, "restore player"); }
void onRestoreHand(link::Client& c) { accepted(c, "restore hand"); }

}  // namespace mj::dispatch
