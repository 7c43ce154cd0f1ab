// restore_player.cpp: one seat of a running hand laid out again (command 40);
// the fourth seat of the series finishes the table.
#include <string>
#include <vector>

#include "dispatch/dispatcher.h"
#include "dispatch/offers_and_tiles.h"
#include "link/client.h"
#include "table/hand_sort.h"
#include "table/table_restore.h"
#include "table/tiles.h"

namespace mj::dispatch {

namespace {

constexpr int Pairs = 24;
constexpr int MaxConcealed = 14;
constexpr int KindConcealed = 1;
constexpr int KindExposed = 2;

}  // namespace

void onRestorePlayer(link::Client& c) {
    table::TableState& t = c.table;
    const CmdInfo& info = c.link.info;
    const WireMessage& msg = c.link.msg;
    const int seat = info.seat & 15;
    // A seat message belongs to the series its header opened; one without a
    // header would lay a second hand over the table.
    if (!t.restoreOpen) {
        c.log("restore: seat " + std::to_string(seat) + " without a restore header; ignored");
        return;
    }
    if ((t.restoreSeats & seat) != 0) {
        c.log("restore: seat " + std::to_string(seat) + " laid already in this restore; ignored");
        return;
    }
    if (!isValidSeatBit(t.custom[0].seat)) {
        c.log("restore: the table has no own seat yet; seat " + std::to_string(seat) + " ignored");
        return;
    }
    t.restoreSeats |= seat;
    const int v = table::viewPos(t.custom[0].seat, static_cast<SeatBit>(seat));
    if (v == 0) c.dispatch.player[0].showHandFlag = 0;
    t.restoreDiscardCount[static_cast<std::size_t>(v)] = info.byte7;

    const int front = info.value[1] & 0xFF;
    const int back = info.value[3] & 0xFF;
    if (++t.seatMsgCount == 1) {
        t.restoreFrontCount = front;
        t.restoreBackCount = back;
        table::beginRestore(c);
    }
    t.restoreFrontCount = std::max(t.restoreFrontCount, front);
    t.restoreBackCount = std::min(t.restoreBackCount, back);

    std::vector<int> exposed;
    std::vector<int> concealed;
    for (std::size_t b = 0; b < Pairs; ++b) {
        const int kind = msg[wire::Body + 2 * b] >> 4;
        const int tile = msg[wire::Body + 2 * b + 1];
        if (kind == KindExposed) exposed.push_back(tile);
        if (kind == KindConcealed) concealed.push_back(tile);
    }
    if (concealed.size() > MaxConcealed) {
        c.log("restore: seat " + std::to_string(seat) + " sent " + std::to_string(concealed.size()) +
              " concealed tiles; the first 14 laid");
        concealed.resize(MaxConcealed);
    }
    table::layRestoredSeat(c, v, exposed, concealed);

    if (t.seatMsgCount < 4) return;
    t.seatMsgCount = 0;
    t.restoreOpen = false;
    showLargeFace(c, "QV_Image", -1, t.wildTile);
    table::finishRestore(c);
    // The own hand face up, as the player needs it to play on.
    if (!c.link.launch.isSpectator) table::sortAndDrawHand(c, 0, t.custom[0].concealedCount);
}

}  // namespace mj::dispatch
