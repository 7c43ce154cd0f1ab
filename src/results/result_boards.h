// result_boards.h: the two result windows: the settlement board `Score` (one
// hand) and the session board `Hero` (every hand since login, each row
// reopening its hand's board).
#pragma once
#include <cstdint>

#include "platform/controls.h"
#include "results/hand_history.h"

namespace mj::link {
class Client;
}

namespace mj::results {

// Builds both forms with their controls and handlers (hidden).
void buildBoards(link::Client& c);

// &HBBGGRR colour values as the boards and the history file keep them.
[[nodiscard]] ui::Color colorOf(std::uint32_t bgr);
[[nodiscard]] std::uint32_t bgrOf(ui::Color c);

// The board's names, faces, lists and colours, and back.
[[nodiscard]] BoardSnapshot snapshotOf(const link::Client& c);
void applySnapshot(link::Client& c, const BoardSnapshot& board);

// Shows face picture `picIndex` (decimal text; outside 0..19 the first face)
// in a `Tou` picture.
void showFace(link::Client& c, ui::Control& tou, const std::string& picIndex);

// Centres the board over the table picture, in screen twips.
void placeOverTable(link::Client& c, ui::Form& board);

// Loads hand n from the history file onto `Score`; 0 does nothing.
void loadHandBoard(link::Client& c, int n);
// Reopens the hand of a `Hero` row: the hand number kept for that row.
void reopenHeroRow(link::Client& c, int row);
// Adds a row to `Hero`: the hand number and each seat's result text.
void addHeroRow(link::Client& c, int juNum, const std::array<std::string, 4>& grades);
// The toolbar's two result buttons: this hand's board (the hand before while
// one is running), loaded from the file; and the session board. Each hides
// its board when it is showing.
void toggleHandBoard(link::Client& c);
void toggleHeroBoard(link::Client& c);
// Clears both boards and hides them (leaving the table).
void clearBoards(link::Client& c);

}  // namespace mj::results
