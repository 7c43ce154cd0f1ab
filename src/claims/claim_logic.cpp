// claim_logic.cpp: hand searches, meld slot filling and the claim records.
#include "claims/claim_logic.h"

#include <algorithm>

#include "shared/game_types.h"

namespace mj::claims {

using table::SeatRecord;
using table::SlotCount;
using table::TileSlot;

namespace {

int tileAt(const SeatRecord& r, int i) { return r.slots[static_cast<std::size_t>(i)].tile; }
TileSlot& slotAt(SeatRecord& r, int i) { return r.slots[static_cast<std::size_t>(i)]; }
int suitNibble(int tile) { return (tile / 16) & 15; }
int rankOf(int tile) { return tile & 15; }

int firstConcealedSlot(const SeatRecord& r) { return std::max(r.firstConcealed, 0); }

// The first concealed slot holding `tile`, -1 when none.
int firstHolding(const SeatRecord& r, int tile) {
    for (int i = firstConcealedSlot(r); i < concealedEnd(r); ++i) {
        if (tileAt(r, i) == tile) return i;
    }
    return -1;
}

int countHolding(const SeatRecord& r, int tile) {
    int n = 0;
    for (int i = firstConcealedSlot(r); i < concealedEnd(r); ++i) n += tileAt(r, i) == tile ? 1 : 0;
    return n;
}

bool inConcealed(const SeatRecord& r, int slot) { return slot >= firstConcealedSlot(r) && slot < concealedEnd(r); }

// The three slots of the next meld lie before the concealed row.
bool meldSlotsFree(const SeatRecord& r) { return r.meldEnd >= 2 && r.meldEnd < r.firstConcealed; }

void copyInto(SeatRecord& r, int to, int from, int state) {
    slotAt(r, to) = slotAt(r, from);
    slotAt(r, to).state = state;
}

}  // namespace

SpecialTiles specialTilesOf(const table::TableState& t) {
    return {t.wildTile, t.piziTile1, t.piziTile2, t.specialMode};
}

bool discardDue(const SeatRecord& r) { return (r.concealedCount - 2) % 3 == 0; }

int concealedEnd(const SeatRecord& r) {
    return std::clamp(r.firstConcealed + r.concealedCount, firstConcealedSlot(r), SlotCount);
}

ChiSearch findChiChoices(const SeatRecord& r, int tile, const SpecialTiles& sp) {
    ChiSearch out;
    const int fc = firstConcealedSlot(r);
    const int end = concealedEnd(r);
    out.wildCount = countHolding(r, sp.wild);
    if (sp.mode == 3) {
        out.pizi1Count = countHolding(r, sp.pizi1);
        out.pizi2Count = countHolding(r, sp.pizi2);
        out.wildCount += out.pizi1Count + out.pizi2Count;
    }
    int first = -1;
    int last = -1;
    for (int i = fc + out.wildCount; i < end; ++i) {
        if (suitNibble(tileAt(r, i)) == suitNibble(tile)) {
            first = last = i;
            while (last + 1 < end && suitNibble(tileAt(r, last + 1)) == suitNibble(tile)) ++last;
            break;
        }
    }
    out.enoughTiles = first >= 0 && last - first >= 1;
    const int rank = rankOf(tile);
    if (!out.enoughTiles || rank < 1 || rank > 9) return out;

    std::array<int, 11> cnt{};  // ranks 1..9, 0 and 10 stay empty
    for (int i = first; i <= last; ++i) {
        const int q = rankOf(tileAt(r, i));
        if (q >= 1 && q <= 9) ++cnt[static_cast<std::size_t>(q)];
    }
    std::array<int, 11> cum{};
    for (int q = 1; q <= 9; ++q)
        cum[static_cast<std::size_t>(q)] = cum[static_cast<std::size_t>(q - 1)] + cnt[static_cast<std::size_t>(q)];
    // The last tile of rank q in the sorted run.
    auto slotOf = [&](int q) { return first + cum[static_cast<std::size_t>(q)] - 1; };
    auto has = [&](int q) { return q >= 1 && q <= 9 && cnt[static_cast<std::size_t>(q)] > 0; };
    if (rank > 2 && has(rank - 2) && has(rank - 1)) out.pairs.push_back({slotOf(rank - 2), slotOf(rank - 1)});
    if (rank > 1 && rank < 9 && has(rank - 1) && has(rank + 1))
        out.pairs.push_back({slotOf(rank - 1), slotOf(rank + 1)});
    if (rank < 8 && has(rank + 1) && has(rank + 2)) out.pairs.push_back({slotOf(rank + 1), slotOf(rank + 2)});
    return out;
}

std::vector<KongCandidate> findKongCandidates(const SeatRecord& r, int opOptions, int lastTile, const SpecialTiles& sp,
                                              bool allFourRuns) {
    std::vector<KongCandidate> out;
    auto add = [&](int slot, KongKind kind) {
        if (slot >= 0 && static_cast<int>(out.size()) < MaxKongCandidates) out.push_back({slot, kind});
    };
    const int fc = firstConcealedSlot(r);
    const int end = concealedEnd(r);
    if (opOptions & OpSingleGang) {
        if (sp.mode == 2) add(firstHolding(r, HongZhong), KongKind::SpecialSingle);
        if (sp.mode == 3) {
            add(firstHolding(r, sp.pizi2), KongKind::SpecialSingle);
            add(firstHolding(r, sp.pizi1), KongKind::SpecialSingle);
        }
        for (int s = 1; s <= r.meldEnd - 5 && s < SlotCount; s += 3) {
            if (r.slots[static_cast<std::size_t>(s)].state == table::SlotPeng)
                add(firstHolding(r, tileAt(r, s)), KongKind::AddToPeng);
        }
    }
    if (opOptions & OpMingGang) {
        for (int i = fc; i + 2 < end; ++i) {
            if (tileAt(r, i) == lastTile && tileAt(r, i + 2) == lastTile) {
                add(i, KongKind::Exposed);
                break;
            }
        }
    }
    if (opOptions & OpAnGang) {
        for (int i = fc; i + 3 < end; ++i) {
            const int t = tileAt(r, i);
            if (t != tileAt(r, i + 3)) continue;
            if (allFourRuns || (t != sp.pizi2 && t != sp.pizi1 && t != sp.wild)) add(i, KongKind::Concealed);
        }
    }
    if (opOptions & OpSingleGang) add(firstHolding(r, sp.wild), KongKind::Wild);
    return out;
}

int kongOp(KongKind kind) {
    switch (kind) {
    case KongKind::SpecialSingle:
    case KongKind::AddToPeng:
    case KongKind::Wild:
        return OpSingleGang;
    case KongKind::Exposed:
        return OpMingGang;
    case KongKind::Concealed:
        return OpAnGang;
    case KongKind::None:
        break;
    }
    return 0;
}

bool onlyLoneWildKong(const SeatRecord& r, int opOptions, int lastTile, const SpecialTiles& sp) {
    if (r.concealedCount < 6) return false;
    const int wilds = countHolding(r, sp.wild);
    const auto found = findKongCandidates(r, opOptions, lastTile, sp, true);
    return !found.empty() && found.front().kind == KongKind::Wild && wilds < 2;
}

std::optional<int> findPengPair(const SeatRecord& r, int tile) {
    const int want = tile & 0xFF;
    for (int i = firstConcealedSlot(r); i + 1 < concealedEnd(r); ++i) {
        if (tileAt(r, i) == want && tileAt(r, i + 1) == want) return i;
    }
    return std::nullopt;
}

std::optional<std::array<int, 3>> fillChiMeld(SeatRecord& r, int slotA, int slotB, int lastTile, int curTileImg) {
    if (!meldSlotsFree(r) || !inConcealed(r, slotA) || !inConcealed(r, slotB) || slotA == slotB) return std::nullopt;
    const int m = r.meldEnd;
    copyInto(r, m - 2, slotA, table::SlotChi);
    copyInto(r, m - 1, slotB, table::SlotChi);
    slotAt(r, m) = {table::SlotChi, lastTile, curTileImg};
    return std::array{tileAt(r, m - 2), tileAt(r, m - 1), tileAt(r, m)};
}

std::optional<std::array<int, 3>> fillPengMeld(SeatRecord& r, int tile, int curTileImg) {
    const auto p = findPengPair(r, tile);
    if (!p || !meldSlotsFree(r)) return std::nullopt;
    const int m = r.meldEnd;
    copyInto(r, m - 2, *p, table::SlotPeng);
    copyInto(r, m - 1, *p + 1, table::SlotPeng);
    slotAt(r, m) = {table::SlotPeng, tile, curTileImg};
    const int t = tileAt(r, m - 2);
    return std::array{t, t, t};
}

std::optional<std::array<int, 3>> fillMingGangMeld(SeatRecord& r, int slot) {
    if (!meldSlotsFree(r) || !inConcealed(r, slot) || !inConcealed(r, slot + 2)) return std::nullopt;
    const int m = r.meldEnd;
    for (int k = 0; k < 3; ++k) copyInto(r, m - 2 + k, slot + k, table::SlotMingGang);
    const int t = tileAt(r, m - 2);
    return std::array{t, t, t};
}

std::optional<std::array<int, 3>> fillAnGangMeld(SeatRecord& r, int slot) {
    if (!meldSlotsFree(r) || !inConcealed(r, slot) || !inConcealed(r, slot + 3)) return std::nullopt;
    const int m = r.meldEnd;
    for (int k = 0; k < 3; ++k) copyInto(r, m - 2 + k, slot + k, table::SlotAnGang);
    const int t = tileAt(r, slot);
    return std::array{t, t, t};
}

std::optional<std::array<int, 3>> fillSingleGangMeld(SeatRecord& r, int slot) {
    if (!meldSlotsFree(r) || !inConcealed(r, slot)) return std::nullopt;
    copyInto(r, r.meldEnd - 2, slot, table::SlotSingleGang);
    return std::array{0, 0, tileAt(r, r.meldEnd - 2)};
}

CmdInfo claimRecord(std::uint8_t seat, int op, const std::array<int, 3>& tiles) {
    CmdInfo info;
    info.cmd = CmdClaim;
    info.seat = seat;
    info.value[0] = static_cast<std::int16_t>(op);
    for (std::size_t k = 0; k < 3; ++k) {
        const int t = tiles[k];
        info.value[k + 1] = static_cast<std::int16_t>(t != 0 ? ((t & 0xFFF) | ClaimedFlag) : 0);
    }
    return info;
}

CmdInfo discardRecord(std::uint8_t seat, int tile) {
    CmdInfo info;
    info.cmd = CmdDiscard;
    info.seat = seat;
    info.value[3] = static_cast<std::int16_t>((tile & 0xFFF) | DiscardFlag);
    return info;
}

}  // namespace mj::claims

namespace mj::claims {

std::optional<std::array<int, 2>> rebuildOwnMeld(table::SeatRecord& r, int op, const std::array<int, 3>& tiles,
                                                 int lastTile, int curTileImg) {
    auto firstRun = [&](int tile, int length) -> int {
        for (int i = std::max(r.firstConcealed, 0); i + length - 1 < concealedEnd(r); ++i) {
            bool all = true;
            for (int k = 0; k < length; ++k) all = all && r.slots[static_cast<std::size_t>(i + k)].tile == tile;
            if (all) return i;
        }
        return -1;
    };
    switch (op) {
    case OpChi: {
        // The two tiles that are not the claimed discard, each from its own slot.
        std::vector<int> partners(tiles.begin(), tiles.end());
        const auto discard = std::find(partners.begin(), partners.end(), lastTile);
        if (discard == partners.end()) return std::nullopt;
        partners.erase(discard);
        const int a = firstRun(partners[0], 1);
        int b = -1;
        for (int i = std::max(r.firstConcealed, 0); i < concealedEnd(r); ++i) {
            if (i != a && r.slots[static_cast<std::size_t>(i)].tile == partners[1]) {
                b = i;
                break;
            }
        }
        if (a < 0 || b < 0) return std::nullopt;
        const int lo = std::min(a, b);
        const int hi = std::max(a, b);
        if (!fillChiMeld(r, lo, hi, lastTile, curTileImg)) return std::nullopt;
        return std::array{lo, hi};
    }
    case OpPeng: {
        const auto p = findPengPair(r, tiles[0]);
        if (!p || !fillPengMeld(r, tiles[0], curTileImg)) return std::nullopt;
        return std::array{*p, -1};
    }
    case OpMingGang:
    case OpAnGang: {
        const int s = firstRun(tiles[2], op == OpAnGang ? 4 : 3);
        const bool filled = s >= 0 && (op == OpAnGang ? fillAnGangMeld(r, s) : fillMingGangMeld(r, s)).has_value();
        if (!filled) return std::nullopt;
        return std::array{s, -1};
    }
    case OpSingleGang: {
        const int s = firstRun(tiles[2], 1);
        if (s < 0 || !fillSingleGangMeld(r, s)) return std::nullopt;
        return std::array{s, -1};
    }
    default:
        return std::nullopt;
    }
}

}  // namespace mj::claims
