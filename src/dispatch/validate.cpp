// validate.cpp: range checks of the fields the handlers index with.
#include "dispatch/validate.h"

#include <algorithm>

#include "dispatch/commands.h"

namespace mj::dispatch {

namespace {

constexpr int MaxDie = 6;
// The restore header gives the sums of two dice.
constexpr int MaxDiceSum = 12;
constexpr int WallTiles = 136;
// Three rounds of four tiles fill the twelve tile pairs of a deal.
constexpr int MaxDealRounds = 3;
constexpr int RestorePairs = 24;

std::string describe(std::string_view field, int v) { return std::string(field) + " = " + std::to_string(v); }

class Checker {
public:
    explicit Checker(const WireMessage& m, const CmdInfo& info) : m_(m), info_(info) {}
    // The first failing check is kept; later ones are skipped.
    void seat() {
        if (!isValidSeatBit(info_.seat & 15)) fail(describe("seat", info_.seat));
    }
    void tile(std::string_view field, int code) {
        if (!isValidTile(static_cast<TileCode>(code)) || code > 0xFF) fail(describe(field, code));
    }
    // Zero stands for "no tile" where a handler skips empty entries.
    void tileOrNone(std::string_view field, int code) {
        if (code != 0) tile(field, code);
    }
    void range(std::string_view field, int v, int lo, int hi) {
        if (v < lo || v > hi) fail(describe(field, v));
    }
    [[nodiscard]] int value(int k) const { return info_.value[static_cast<std::size_t>(k)] & 0xFF; }
    [[nodiscard]] int byte(std::size_t at) const { return m_[at]; }
    std::optional<std::string> result() const { return why_; }

private:
    void fail(std::string why) {
        if (!why_) why_ = std::move(why);
    }
    const WireMessage& m_;
    const CmdInfo& info_;
    std::optional<std::string> why_;
};

}  // namespace

int dealRounds(int tilesPerSeat) {
    const int v = std::max(tilesPerSeat, 0);
    int rounds = v / 4;
    if (v % 4 == 2 && rounds % 2 == 1) ++rounds;  // halves go to the even neighbour
    if (v % 4 == 3) ++rounds;
    return std::min(rounds, MaxDealRounds);
}

std::optional<std::string> findMalformedField(const WireMessage& m, const CmdInfo& info, SeatBit ownSeat) {
    Checker c(m, info);
    switch (info.cmd) {
    case CmdDealTiles: {
        const int rounds = dealRounds(c.value(1));
        for (int i = 0; i < 4 * rounds; ++i) {
            const std::size_t at = wire::Body + 2 * static_cast<std::size_t>(i);
            c.tile("dealt tile " + std::to_string(i), c.byte(at + 1) * 16 + c.byte(at));
        }
        break;
    }
    case CmdDiscard:
        c.seat();
        c.tile("discarded tile", c.value(3));
        break;
    case CmdHandStart:
        // Every die counts in the wall start and the doubling dice pick their
        // pictures by face; a die of 0 is shown and counted as 1.
        c.seat();
        for (int k = 0; k < 4; ++k) c.range("die " + std::to_string(k), c.value(k), 0, MaxDie);
        break;
    case CmdDrawTile:
        c.seat();
        if ((info.seat & 15) == ownSeat && ownSeat != 0) c.tile("drawn tile", c.value(3));
        break;
    case CmdPlayerAction: {
        c.seat();
        const int op = c.value(0);
        switch (op) {
        case OpPass:
        case OpHu:
            for (int k = 1; k <= 3; ++k) c.tileOrNone("action tile " + std::to_string(k), c.value(k));
            break;
        case OpChi:
        case OpPeng:
            c.tile("action tile 1", c.value(1));
            c.tile("action tile 2", c.value(2));
            c.tileOrNone("action tile 3", c.value(3));
            break;
        case OpMingGang:
        case OpAnGang:
        case OpSingleGang:
            c.tileOrNone("action tile 1", c.value(1));
            c.tileOrNone("action tile 2", c.value(2));
            c.tile("action tile 3", c.value(3));
            break;
        default:
            // An action the client does not know still counts as a seat's
            // answer, like a pass; no field of it is read.
            break;
        }
        break;
    }
    case CmdHandGold:
    case CmdHandDetail:
        c.seat();
        break;
    case CmdSpecialTiles:
        c.tile("wild tile", c.value(2));
        c.tile("turned tile", c.value(3));
        // The second 痞子 tile is read only in a 痞子 room.
        if (c.byte(wire::Body) == 3) c.tile("second 痞子 tile", c.byte(22));
        break;
    case CmdHandReveal:
        c.seat();
        for (int k = 0; k < 4; ++k) c.tileOrNone("revealed tile " + std::to_string(k), c.value(k));
        for (std::size_t k = 0; k < 5; ++k) c.tileOrNone("wall tile " + std::to_string(k), c.byte(wire::Body + k));
        break;
    case CmdSeatName:
        // The name is kept under the seat's index.
        c.seat();
        break;
    case CmdUserInfo: {
        // A profile is the own one (15), a new player's (0) or a seat's; any
        // other value would land on a view that belongs to somebody else.
        const int seat = info.seat & 15;
        if (seat != 0 && seat != 15) c.seat();
        break;
    }
    case CmdTableStatus:
        // Sub-code 2 names the banker by its seat.
        if (c.value(3) == 2) c.seat();
        break;
    case CmdRestorePlayer:
        c.seat();
        c.range("discard count", info.byte7, 0, RestorePairs);
        c.range("front count", c.value(1), 0, WallTiles - 1);
        c.range("back count", c.value(3), 0, WallTiles - 1);
        for (std::size_t k = 0; k < RestorePairs; ++k) {
            c.tileOrNone("restored tile " + std::to_string(k), c.byte(wire::Body + 2 * k + 1));
        }
        break;
    case CmdRestoreHand:
        c.seat();
        c.range("dice sum 0", c.value(0), 0, MaxDiceSum);
        c.range("dice sum 1", c.value(1), 0, MaxDiceSum);
        c.tile("wild tile", c.value(2));
        c.tile("turned tile", c.value(3));
        break;
    default:
        // The others carry names, texts, masks and codes that their handlers
        // read without indexing (the profile's face code and counts are
        // bounded by its own parser, the ready and leave names are only
        // compared), or go to the plug-in untouched.
        break;
    }
    return c.result();
}

}  // namespace mj::dispatch
