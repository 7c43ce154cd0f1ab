// Hand searches, meld slot filling and the claim records.
#include "claims/claim_logic.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace mj::claims {
namespace {

using table::SeatRecord;

// An own record with the concealed row from slot 4 (images 100 + slot).
SeatRecord hand(std::initializer_list<int> tiles, int firstConcealed = 4, int meldEnd = 3) {
    SeatRecord r;
    r.firstConcealed = firstConcealed;
    r.meldEnd = meldEnd;
    int i = firstConcealed;
    for (int t : tiles) {
        r.slots[static_cast<std::size_t>(i)] = {table::SlotConcealed, t, 100 + i};
        ++i;
    }
    r.concealedCount = static_cast<int>(tiles.size());
    return r;
}

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tiao(int r) { return 0x20 + r; }
constexpr int Tong(int r) { return 0x80 + r; }

TEST(ChiSearch, CandidatesInShapeOrderUsingTheLastTileOfEachRank) {
    struct Case {
        const char* what;
        std::initializer_list<int> hand;
        int discard;
        std::vector<std::array<int, 2>> pairs;
    };
    // Slots from 4: the sorted suit run first.
    const Case cases[] = {
        {"on 4 with 2 3 3 5 6: three shapes, the second 3",
         {Wan(2), Wan(3), Wan(3), Wan(5), Wan(6)},
         Wan(4),
         {{4, 6}, {6, 7}, {7, 8}}},
        {"on 1 only 2 3", {Wan(2), Wan(3), Wan(4)}, Wan(1), {{4, 5}}},
        {"on 9 only 7 8", {Wan(6), Wan(7), Wan(8)}, Wan(9), {{5, 6}}},
        {"on 2: 1 3 and 3 4", {Wan(1), Wan(3), Wan(4)}, Wan(2), {{4, 5}, {5, 6}}},
        {"another suit's run is skipped", {Tong(1), Tong(2), Wan(5), Wan(6)}, Wan(7), {{6, 7}}},
        {"no shape", {Wan(1), Wan(9)}, Wan(5), {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const ChiSearch s = findChiChoices(hand(k.hand), k.discard, {});
        EXPECT_TRUE(s.enoughTiles);
        EXPECT_EQ(s.pairs, k.pairs);
    }
}

TEST(ChiSearch, WildAndPiziTilesAreNeverPartners) {
    // The wild tile is the 5 of the suit and sorted first: only the 3 is left.
    SpecialTiles sp{Wan(5), 0, 0, 2};
    ChiSearch s = findChiChoices(hand({Wan(5), Wan(3)}), Wan(4), sp);
    EXPECT_FALSE(s.enoughTiles);
    EXPECT_TRUE(s.pairs.empty());
    EXPECT_EQ(s.wildCount, 1);

    // 痞子 mode counts the 痞子 tiles in front as well.
    sp = {0x11, Wan(3), Wan(6), 3};
    s = findChiChoices(hand({Wan(3), Wan(6), Wan(5), Wan(7)}), Wan(4), sp);
    EXPECT_EQ(s.wildCount, 2);
    EXPECT_EQ(s.pizi1Count, 1);
    EXPECT_EQ(s.pizi2Count, 1);
    EXPECT_TRUE(s.pairs.empty());  // 5 and 7 are not a shape around 4
    ASSERT_TRUE(s.enoughTiles);

    // Before the hand names a wild tile (-1) nothing counts as wild.
    s = findChiChoices(hand({Wan(3), Wan(5)}), Wan(4), SpecialTiles{-1, 0, 0, 2});
    EXPECT_EQ(s.wildCount, 0);
    EXPECT_EQ(s.pairs, (std::vector<std::array<int, 2>>{{4, 5}}));
}

TEST(KongSearch, KindsInSearchOrderWithTheWildTileAndSpecialTiles) {
    // 红中 mode: 红中, a four-run, the wild tile; &H60 offered.
    const SpecialTiles hz{Tiao(9), Wan(1), 0, 2};
    SeatRecord r = hand({Tiao(9), Tong(2), Tong(2), Tong(2), Tong(2), HongZhong});
    auto found = findKongCandidates(r, OpAnGang | OpSingleGang, 0, hz, false);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].slot, 9);
    EXPECT_EQ(found[0].kind, KongKind::SpecialSingle);
    EXPECT_EQ(found[1].slot, 5);
    EXPECT_EQ(found[1].kind, KongKind::Concealed);
    EXPECT_EQ(found[2].slot, 4);
    EXPECT_EQ(found[2].kind, KongKind::Wild);

    // Four wild tiles: the shown search lists the wild tile only, the
    // look-ahead lists the run first; it is no lone wild kong.
    r = hand({Tiao(9), Tiao(9), Tiao(9), Tiao(9), Tong(1), Tong(3)});
    found = findKongCandidates(r, OpAnGang | OpSingleGang, 0, hz, false);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].kind, KongKind::Wild);
    found = findKongCandidates(r, OpAnGang | OpSingleGang, 0, hz, true);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].kind, KongKind::Concealed);
    EXPECT_FALSE(onlyLoneWildKong(r, OpAnGang | OpSingleGang, 0, hz));

    // One wild tile as the only candidate is a lone wild kong; two are not.
    r = hand({Tiao(9), Tong(1), Tong(3), Tong(5), Tong(7), Wan(2)});
    EXPECT_TRUE(onlyLoneWildKong(r, OpSingleGang, 0, hz));
    r = hand({Tiao(9), Tiao(9), Tong(3), Tong(5), Tong(7), Wan(2)});
    EXPECT_FALSE(onlyLoneWildKong(r, OpSingleGang, 0, hz));
    // Fewer than six concealed tiles: no answer but false.
    r = hand({Tiao(9), Tong(3), Tong(5), Tong(7), Wan(2)});
    EXPECT_FALSE(onlyLoneWildKong(r, OpSingleGang, 0, hz));

    // 痞子 mode: the second 痞子 before the first, then the fourth tile of a 碰.
    const SpecialTiles pz{Tiao(9), Wan(1), Wan(2), 3};
    r = hand({Wan(1), Wan(2), Tong(6), Tong(7)}, 7, 6);
    r.slots[1] = {table::SlotPeng, Tong(7), 50};
    found = findKongCandidates(r, OpSingleGang, 0, pz, false);
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].slot, 8);
    EXPECT_EQ(found[1].slot, 7);
    EXPECT_EQ(found[2].slot, 10);
    EXPECT_EQ(found[2].kind, KongKind::AddToPeng);

    // The exposed kong takes the first run of three equal to the discard.
    r = hand({Tong(1), Wan(4), Wan(4), Wan(4), Wan(8)});
    found = findKongCandidates(r, OpMingGang, Wan(4), {}, false);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].slot, 5);
    EXPECT_EQ(kongOp(found[0].kind), OpMingGang);
}

TEST(ClaimSenders, MeldSlotsAndTilesOfEachClaim) {
    SeatRecord r = hand({Wan(3), Wan(5), Wan(7), Wan(7), Wan(7), Tong(9)});
    auto t = fillChiMeld(r, 4, 5, Wan(4), 77);
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, (std::array{Wan(3), Wan(5), Wan(4)}));
    EXPECT_EQ(r.slots[1].img, 104);
    EXPECT_EQ(r.slots[3].img, 77);
    EXPECT_EQ(r.slots[2].state, table::SlotChi);

    r = hand({Wan(3), Wan(7), Wan(7), Wan(7)});
    t = fillPengMeld(r, Wan(7), 77);
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, (std::array{Wan(7), Wan(7), Wan(7)}));
    EXPECT_EQ(r.slots[1].img, 105);  // the first pair
    EXPECT_EQ(r.slots[3].state, table::SlotPeng);

    r = hand({Wan(7), Wan(7), Wan(7), Wan(7), Tong(1)});
    t = fillAnGangMeld(r, 4);
    ASSERT_TRUE(t);
    EXPECT_EQ(r.slots[3].img, 106);
    EXPECT_EQ(r.slots[3].state, table::SlotAnGang);
    t = fillSingleGangMeld(r, 8);
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, (std::array{0, 0, Tong(1)}));
    EXPECT_EQ(r.slots[1].state, table::SlotSingleGang);
}

TEST(ClaimSenders, NothingIsFilledWhenTheHandLacksTheClaim) {
    SeatRecord r = hand({Wan(3), Wan(7), Wan(8)});
    const SeatRecord before = r;
    EXPECT_FALSE(fillPengMeld(r, Wan(7), 77));       // no pair
    EXPECT_FALSE(fillChiMeld(r, 0, 1, Wan(4), 77));  // slots outside the row
    EXPECT_FALSE(fillChiMeld(r, 5, 5, Wan(4), 77));  // one tile twice
    EXPECT_FALSE(fillMingGangMeld(r, 5));            // runs past the row
    EXPECT_FALSE(fillAnGangMeld(r, 4));              // no fourth tile
    EXPECT_FALSE(fillSingleGangMeld(r, 7));          // past the row
    r.meldEnd = 4;                                   // the meld would overlap the row
    EXPECT_FALSE(fillSingleGangMeld(r, 4));
    r.meldEnd = before.meldEnd;
    for (std::size_t i = 0; i < r.slots.size(); ++i) EXPECT_EQ(r.slots[i].img, before.slots[i].img);
}

TEST(ClaimRecords, OpBitsTileMasksAndMarks) {
    const CmdInfo chi = claimRecord(4, OpChi, {Wan(3), Wan(5), Wan(4)});
    EXPECT_EQ(chi.cmd, 7);
    EXPECT_EQ(chi.seat, 4);
    EXPECT_EQ(chi.value, (std::array<std::int16_t, 4>{OpChi, 0x2043, 0x2045, 0x2044}));
    // Bits 8-11 stay, 12-15 go before the mark.
    const CmdInfo odd = claimRecord(1, OpSingleGang, {0, 0, 0xF315});
    EXPECT_EQ(odd.value, (std::array<std::int16_t, 4>{OpSingleGang, 0, 0, 0x2315}));
    const CmdInfo pass = claimRecord(1, OpPass, {0, 0, 0});
    EXPECT_EQ(pass.value, (std::array<std::int16_t, 4>{OpPass, 0, 0, 0}));
    const CmdInfo discard = discardRecord(2, Tong(9));
    EXPECT_EQ(discard.cmd, 2);
    EXPECT_EQ(discard.value, (std::array<std::int16_t, 4>{0, 0, 0, 0x4089}));
}

TEST(DiscardRule, SignedRemainder) {
    for (auto [count, due] : {std::pair{14, true}, {13, false}, {11, true}, {2, true}, {1, false}, {0, false}}) {
        SeatRecord r;
        r.concealedCount = count;
        EXPECT_EQ(discardDue(r), due) << count;
    }
}

}  // namespace
}  // namespace mj::claims
