// dispatcher.h: runs the handler of each decoded server command.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::dispatch {

// Called by the tick's receive task, under its fatal trap, with the message in
// the client's `link.msg` and `link.info` (echo bytes already kept). A message
// with a field out of range is dropped with a log line; a number without a
// handler goes to the props plug-in when it is loaded and is dropped otherwise.
void dispatchServerCommand(link::Client& c);

// The handlers, one per handled command.
// Adds `n` to the seen count of the tile's kind; a code that is no tile has
// no count and is refused with a log line.
void countSeenTile(link::Client& c, int tile, int n);

void onDealTiles(link::Client& c);
void onDiscard(link::Client& c);
void onSeatName(link::Client& c);
void onHandStart(link::Client& c);
void onDrawTile(link::Client& c);
void onOfferClaims(link::Client& c);
void onPlayerAction(link::Client& c);
void onHandGold(link::Client& c);
void onSpecialTiles(link::Client& c);
void onHandReveal(link::Client& c);
void onTableStatus(link::Client& c);
void onHandDetail(link::Client& c);
void onLoginResult(link::Client& c);
void onChat(link::Client& c);
void onUserInfo(link::Client& c);
void onPlayerLeft(link::Client& c);
void onServerKick(link::Client& c);
void onPlayerReady(link::Client& c);
void onReconnectResult(link::Client& c);
void onRestorePlayer(link::Client& c);
void onRestoreHand(link::Client& c);
// Builds the watching client's table from the four buffered profiles.
void setupSpectatorTable(link::Client& c);

// Hands the whole raw message to the props plug-in, when it is loaded.
void forwardToPlugin(link::Client& c);

}  // namespace mj::dispatch
