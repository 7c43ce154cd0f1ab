// dispatch_state.h: what the command handlers keep between messages.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "dispatch/player_records.h"
#include "dispatch/seating.h"
#include "platform/components.h"

namespace mj::link {
class Client;
}

namespace mj::dispatch {

struct DispatchState {
    // Set by the login reply.
    bool propReinitPending = false;
    int gameStarted = 0;
    std::array<double, 4> sumScore{};  // the result board's running totals
    int replySeat = 0;                 // the chat addressee
    std::string replyPrefix;
    std::string advertUrl;
    std::string adPageUrl;
    // The banner browser the login reply navigates (created on first use).
    std::unique_ptr<platform::Browser> banner;
    // The seat-change screen's pane (created on first use).
    std::unique_ptr<platform::Browser> seatChangePage;

    // The server's closing text of the last kick, and the notice window that
    // shows it with the player's choice (the shell fills it in).
    std::string kickText;
    std::function<void(link::Client&, const std::string& text)> showOtherExit;

    // Tiles of each kind seen on the table this hand, by suit index and rank
    // (index 0 unused); auto-play reads them.
    std::array<std::array<int, 10>, 4> seenTile{};
    int actionCount = 0;

    // The players by view (0 the local seat, or the watched player), what the
    // result boards show of them, and the seating that fills them.
    std::array<PlayerInfo, 4> player{};
    std::array<ResultPlayer, 4> resultPlayer{};
    SeatingState seating;

    // The hand start's dice doubling (non-zero: the stake is doubled) and the
    // wealth multiple in force for the hand; the settlement reads both.
    int diceDouble = 0;
    std::string wealthCaption = "0";
    // The result boards' marks per seat, cleared by every deal.
    std::array<int, 4> capMark{};
    std::array<int, 4> goldCapMark{};
    std::array<int, 4> baoHuMark{};
    std::array<int, 4> fourBaoMark{};

    // Messages dropped because a field was out of range.
    int droppedMessages = 0;
};

}  // namespace mj::dispatch
