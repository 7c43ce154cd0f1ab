// results_install.h: the settlement and the result boards in the running
// client: the seam they fill and what the hand-result commands call.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::results {

// Builds the boards, empties the hand-history file of an earlier run and
// fills the client's settlement seam; chains the per-hand and leave resets.
void installResults(link::Client& c);

// The settlement of a won hand: books it, fills and shows `Score`, adds the
// `Hero` row, arms the next-hand countdown and saves the hand. Runs only once
// per completed round of settlement rows.
void showSettlement(link::Client& c);
// A drawn hand shown by the client itself: both boards, the prompt, the
// countdown and the saved hand.
void showDrawnHand(link::Client& c);
// The hand-result seam: the drawn hand when it went through the plug-in,
// otherwise the settlement.
void runHandResult(link::Client& c);

// A result was handed to the props plug-in: arms the guard that shows it
// when the plug-in has not done so in time.
void awaitPluginResult(link::Client& c);

// Puts the seats' names and faces (`dispatch.resultPlayer`) on `Score`.
void showBoardPlayers(link::Client& c);
// Puts one view's name and face on `Hero` and `Score` when its player's
// profile arrives.
void showBoardPlayer(link::Client& c, int view);
// Saves the board as shown under hand n.
void saveHandBoard(link::Client& c, int n);
// Empties the hand-history file (start-up and the login reply, when hand
// numbers start again).
void clearHandHistory(link::Client& c);
// The per-hand reset of the rows, amounts, marks and received seats.
void resetResultsForHand(link::Client& c);

}  // namespace mj::results
