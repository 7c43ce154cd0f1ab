// claim_logic.h: the hand searches and records behind every claim: 吃
// partners, kong candidates with their kinds, the 碰 pair, the meld slots a
// claim fills before it is sent and the claim and discard records. Plain
// functions of the own seat record, tested natively.
#pragma once
#include <array>
#include <optional>
#include <vector>

#include "shared/wire.h"
#include "table/table_state.h"

namespace mj::claims {

// The hand's special tiles as the searches compare them.
struct SpecialTiles {
    int wild = -1;  // -1 until the hand names one; matches no tile
    int pizi1 = 0;
    int pizi2 = 0;
    int mode = 0;  // 2 红中 mode, 3 痞子 mode
};
[[nodiscard]] SpecialTiles specialTilesOf(const table::TableState& t);

// A discard by the seat is due when (concealed count - 2) mod 3 = 0, with a
// signed remainder: fewer than two tiles never owe a discard.
[[nodiscard]] bool discardDue(const table::SeatRecord& r);
// One past the last concealed slot, bounded by the slot array.
[[nodiscard]] int concealedEnd(const table::SeatRecord& r);

// 吃 candidates for `tile` in a sorted hand: pairs of own slots, lowest shape
// first. `enoughTiles` is false when the hand holds fewer than two usable
// tiles of the discard's suit; wild (and in 痞子 mode 痞子) tiles, which the
// sort puts first, are never partners. `specialCount` is the number of those
// at the front of the hand.
struct ChiSearch {
    std::vector<std::array<int, 2>> pairs;
    bool enoughTiles = false;
    int wildCount = 0;
    int pizi1Count = 0;
    int pizi2Count = 0;
};
[[nodiscard]] ChiSearch findChiChoices(const table::SeatRecord& r, int tile, const SpecialTiles& sp);

// Kong candidate kinds in search order; the kind decides what is sent.
enum class KongKind : int {
    None = 0,
    SpecialSingle = 1,  // 红中, or a 痞子 tile, laid alone
    AddToPeng = 2,      // the fourth tile onto an own 碰
    Exposed = 3,        // three in hand and the discard
    Concealed = 4,      // four in hand
    Wild = 5,           // the wild tile laid alone
};
struct KongCandidate {
    int slot = -1;
    KongKind kind = KongKind::None;
};
// The list holds at most this many candidates.
inline constexpr int MaxKongCandidates = 10;
// `allFourRuns`: the four-equal search also takes runs of wild and 痞子 tiles
// (auto-play's look-ahead); the shown search leaves them out.
[[nodiscard]] std::vector<KongCandidate> findKongCandidates(const table::SeatRecord& r, int opOptions, int lastTile,
                                                            const SpecialTiles& sp, bool allFourRuns);
// The claim op a candidate is sent as.
[[nodiscard]] int kongOp(KongKind kind);
// Auto-play's test: true when the wild tile is the only candidate (the
// look-ahead search) and the hand holds fewer than two wild tiles. A hand of
// fewer than six concealed tiles answers false.
[[nodiscard]] bool onlyLoneWildKong(const table::SeatRecord& r, int opOptions, int lastTile, const SpecialTiles& sp);

// The first concealed pair equal to `tile`, by its first slot.
[[nodiscard]] std::optional<int> findPengPair(const table::SeatRecord& r, int tile);

// The meld slots a claim fills before it is sent; each returns the three
// tiles the claim record carries, or nothing (and changes nothing) when the
// hand does not hold what the claim needs.
[[nodiscard]] std::optional<std::array<int, 3>> fillChiMeld(table::SeatRecord& r, int slotA, int slotB, int lastTile,
                                                            int curTileImg);
[[nodiscard]] std::optional<std::array<int, 3>> fillPengMeld(table::SeatRecord& r, int tile, int curTileImg);
[[nodiscard]] std::optional<std::array<int, 3>> fillMingGangMeld(table::SeatRecord& r, int slot);
[[nodiscard]] std::optional<std::array<int, 3>> fillAnGangMeld(table::SeatRecord& r, int slot);
[[nodiscard]] std::optional<std::array<int, 3>> fillSingleGangMeld(table::SeatRecord& r, int slot);

// Command 7: each non-zero tile masked to 12 bits and marked claimed (0x2000).
[[nodiscard]] CmdInfo claimRecord(std::uint8_t seat, int op, const std::array<int, 3>& tiles);
// Command 2: the tile masked to 12 bits and marked discarded (0x4000).
[[nodiscard]] CmdInfo discardRecord(std::uint8_t seat, int tile);

}  // namespace mj::claims

namespace mj::claims {

// For a confirmation of an own claim this client did not fill the slots for:
// finds the hand tiles of the confirmed meld and fills the meld slots, as the
// sender would have. Returns the own slots used (second -1 when one), or
// nothing when the hand does not hold the meld.
[[nodiscard]] std::optional<std::array<int, 2>> rebuildOwnMeld(table::SeatRecord& r, int op,
                                                               const std::array<int, 3>& tiles, int lastTile,
                                                               int curTileImg);

}  // namespace mj::claims
