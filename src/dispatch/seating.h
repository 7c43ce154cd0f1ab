// seating.h: what the seating commands keep between messages: the seating
// cycle (four names, then four profiles), the players who sat down, the
// profiles a spectator holds until the table can be built, and the seat-change
// screen's flags.
#pragma once
#include <array>
#include <string>

#include "shared/wire.h"

namespace mj::link {
class Client;
}

namespace mj::dispatch {

struct SeatingState {
    // The seating cycle. Its counts are its own: the per-hand reset and the
    // restore after a reconnect do not touch them, so a reset in the middle of
    // seating cannot skip the seat draw. A name after a finished or broken
    // cycle starts a new one.
    int namesInCycle = 0;     // 0..4; the fourth fixes the seats
    bool namesDone = false;   // the seats are fixed; profiles count now
    int profilesInCycle = 0;  // 0..4; the fourth runs the seat draw

    // Players who sat down after the local player, less those who left;
    // never below 0.
    int playerCount = 0;

    // Watching mode: the first four profiles wait here until the spectator
    // table is built from them; later profiles are handled at once.
    std::array<WireMessage, 4> spectatorInfoMsgs{};
    int spectatorInfoCount = 0;

    // Each view's second voice code as fixed by the seat draw (the settings
    // dialog puts it back).
    std::array<std::string, 4> savedVoiceNo;
    // The names of views 1..3 kept when a banker is announced.
    std::array<std::string, 4> otherName;

    bool randomSeatOn = false;
    // The seat-change screen.
    bool shuffleWanted = false;
    bool shuffling = false;
};

// The login name that is the local seat: the launch line's in player mode (the
// table's own record is emptied when leaving), the watched player's in
// watching mode. Empty while unknown.
[[nodiscard]] const std::string& ownLoginName(const link::Client& c);

// The table's wealth label: the smallest wealth multiple of the four views,
// sized by its value, with its picture, or both hidden when no multiple is set.
void showWealthMultiple(link::Client& c);

// What a seat's video reset does to the seat's floating panel: a player
// leaving only hides it, so it comes back at the size the user chose; a new
// profile unloads it.
enum class SeatPanel { Hide, Unload };

// A seat's player changed: its video, its frames and its floating panel start over.
void closeSeatVideo(link::Client& c, int view, SeatPanel panel = SeatPanel::Unload);
// The wealth label and its picture showing that multiple, sized by its value.
void showWealthLabel(link::Client& c, long value);
// The wind character of a seat bit: 1 北, 2 西, 4 南, 8 东.
[[nodiscard]] std::string seatWind(int seatBit);
// Unloads the props plug-in with the flag (through its seam when filled).
void exitPlugin(link::Client& c, int flag);
// A view's face, name, gold and level from its player record, also on the result boards.
void showPlayerLabels(link::Client& c, int view);
// Hides the seat-change screen and forgets that it was wanted.
void closeSeatChangeScreen(link::Client& c);

}  // namespace mj::dispatch
