// hand_evaluator.h: auto-play's judgement of the own concealed hand: a greedy
// suit score (melds taken out, leftovers scored by connection and by what the
// table has shown), the discard that leaves the best hand and the 吃, 碰 and
// kong decisions. Works on the own seat record; plain and natively tested.
#pragma once
#include <array>

#include "claims/claim_logic.h"
#include "table/table_state.h"

namespace mj::claims {

using TileTable = std::array<std::array<int, 10>, 4>;  // by suit index 0..3 and rank 1..9

inline constexpr int MeldBonus = 1000;
inline constexpr int ClaimGainThreshold = 150;
inline constexpr int GangScoreFloor = -99;
inline constexpr int HuMinActions = 9;

// Suit index 0 honours, 1 条, 2 萬, 3 筒 of a tile code.
[[nodiscard]] int suitIndexOf(int tile);

class HandEvaluator {
public:
    // Borrows the record (the count writes each slot's tile back as its low
    // byte) and the seen-tile table.
    HandEvaluator(table::SeatRecord& hand, const SpecialTiles& special, const TileTable& seen)
        : hand_(hand), special_(special), seen_(seen) {}

    // Counts the concealed tiles that are not special into `counts`.
    void countHandTiles();
    // Mode 0 as counted, 1 with one `tile` taken out meanwhile, 2 and 3 after
    // the caller took 吃 or 碰 partners out, 4 as 0 without the meld bonus.
    [[nodiscard]] int evaluateSuit(int mode, int tile);
    // The tile whose discard leaves the best hand; the last concealed tile
    // when every tile is special (or the mode is none of 2 and 3).
    [[nodiscard]] int chooseDiscard();
    // kind 1 吃 (partner1/partner2 become own slots), 2 碰 (partner1 the tile).
    [[nodiscard]] bool shouldClaim(int kind, int tile);
    [[nodiscard]] bool shouldGang();
    [[nodiscard]] bool isSpecial(int tile) const;

    TileTable counts{};
    TileTable melded{};
    TileTable value{};
    int partner1 = 0;
    int partner2 = 0;

private:
    int& count(int s, int r) { return counts[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)]; }
    int sumOtherSuits(int suit);
    table::SeatRecord& hand_;
    SpecialTiles special_;
    const TileTable& seen_;
};

}  // namespace mj::claims
