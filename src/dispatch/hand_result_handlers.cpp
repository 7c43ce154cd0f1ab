// hand_result_handlers.cpp: the end of a hand: every seat's gold result
// (command 9) and settlement rows (command 17), handed on to the settlement
// or to the props plug-in. Each round acts once all four seats are in.
#include "dispatch/dispatcher.h"
#include "link/client.h"
#include "link/general.h"
#include "results/results_install.h"
#include "results/settle_rows.h"

namespace mj::dispatch {

namespace {

constexpr unsigned AllSeats = 0xF;
// Command 9: the seat's amount, signed 64-bit little-endian at bytes 16..23.
constexpr std::size_t HandGoldFirst = wire::Body;

int viewOfSender(const link::Client& c) {
    const int own = link::bitToIndex(c.table.custom[0].seat);
    const int from = link::bitToIndex(static_cast<std::uint8_t>(c.link.info.seat & 15));
    return (own + 4 - from) % 4;
}

double handGoldOf(const WireMessage& m) {
    std::uint64_t bits = 0;
    for (std::size_t k = 8; k-- > 0;) bits = bits << 8 | m[HandGoldFirst + k];
    return static_cast<double>(static_cast<std::int64_t>(bits));
}

// The plug-in shows the result only when it runs; otherwise nobody would.
bool pluginShowsResult(const link::Client& c) { return c.props.loaded(); }

void clearBoxResults(link::Client& c) {
    c.results.box = {};
    c.props.boxInfo = {};
}

// Every gold result ends the table's video for the hand.
void leaveVideo(link::Client& c) {
    if (c.leaveVideo) c.leaveVideo(c);
}

}  // namespace

void onHandGold(link::Client& c) {
    auto& l = c.link;
    l.holdCigaretteMsg = true;
    l.holdRenderCigaretteMsg = true;
    l.heldCigaretteMsg.reset();
    l.heldRenderCigaretteMsg.reset();
    l.holdQuitMsg = true;

    const int v = viewOfSender(c);
    l.info.seat = static_cast<std::uint8_t>(v);
    l.handRunning = false;
    auto& score = *c.results.score;
    score.findAs<ui::ListBox>("State", v)->clear();
    score.findAs<ui::ListBox>("State", v + 4)->clear();
    double gold = handGoldOf(l.msg);
    // The bytes are signed already; a zero value(1) turns the sign once more.
    if (l.info.value[1] == 0) gold = -gold;
    c.table.custom[static_cast<std::size_t>(v)].handGold = gold;

    auto& received = c.results.goldReceived;
    received |= 1U << v;
    if (received != AllSeats) return leaveVideo(c);
    received = 0;
    for (const auto& seat : c.table.custom) {
        if (seat.handGold != 0) return leaveVideo(c);  // won: the settlement rows follow
    }
    if (pluginShowsResult(c)) {
        c.props.scorePending = true;
        c.props.propResultMode = 1;
        c.props.drawWithBoxes = 1;
        clearBoxResults(c);
        c.props.propDll->initShowEnd();
        l.holdQuitMsg = false;
        results::awaitPluginResult(c);
        leaveVideo(c);
        return;
    }
    results::showDrawnHand(c);
    leaveVideo(c);
}

void onHandDetail(link::Client& c) {
    const int v = viewOfSender(c);
    c.link.info.seat = static_cast<std::uint8_t>(v);
    auto& r = c.results;
    results::storeSettleRows(r.settle[static_cast<std::size_t>(v)], c.link.msg);
    r.otherSeatsNote = results::noteText(c.link.msg, c.p.codec);

    r.detailReceived |= 1U << v;
    if (r.detailReceived != AllSeats) return;
    r.detailReceived = 0;
    r.settlementDue = true;
    // The tick's hand-off is for a result the plug-in shows; without the
    // plug-in the settlement below is the only one.
    if (pluginShowsResult(c)) {
        c.props.scorePending = true;
        c.props.propResultMode = 1;
        c.props.drawWithBoxes = 0;
        clearBoxResults(c);
        c.props.propDll->initShowEnd();
        results::awaitPluginResult(c);
        return;
    }
    results::showSettlement(c);
}

}  // namespace mj::dispatch
