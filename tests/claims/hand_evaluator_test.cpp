// Auto-play's suit score, discard choice and claim decisions.
#include "claims/hand_evaluator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

namespace mj::claims {
namespace {

using table::SeatRecord;

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tong(int r) { return 0x80 + r; }
constexpr int Feng(int r) { return 0x10 + r; }
constexpr int Tiao(int r) { return 0x20 + r; }

SeatRecord hand(std::initializer_list<int> tiles) {
    SeatRecord r;
    int i = r.firstConcealed;
    for (int t : tiles) r.slots[static_cast<std::size_t>(i++)] = {table::SlotConcealed, t, 60 + i};
    r.concealedCount = static_cast<int>(tiles.size());
    return r;
}

// 红中 mode with a wild tile no test hand holds.
constexpr SpecialTiles Mode2{0x29, 0x28, 0, 2};

struct Scored {
    const char* what;
    std::initializer_list<int> tiles;
    int mode;
    int score;
};

TEST(EvaluateSuit, WorkedScores) {
    const Scored cases[] = {
        {"2 3 4 4 7 takes 2-3-4 out", {Wan(2), Wan(3), Wan(4), Wan(4), Wan(7)}, 0, 932},
        {"the same without the meld bonus", {Wan(2), Wan(3), Wan(4), Wan(4), Wan(7)}, 4, -68},
        {"東 東 中 alone", {Feng(1), Feng(1), Feng(5)}, 0, -130},
        {"a lone 1", {Wan(1)}, 0, -45},
        {"a lone 9", {Wan(9)}, 0, -45},
        {"a lone 5", {Wan(5)}, 0, -23},
        {"a pair of 5", {Wan(5), Wan(5)}, 0, 28},
    };
    TileTable seen{};
    for (const Scored& k : cases) {
        SCOPED_TRACE(k.what);
        SeatRecord r = hand(k.tiles);
        // 痞子 mode, so that 中 counts as a plain honour.
        HandEvaluator e(r, SpecialTiles{0x29, 0x28, 0x27, 3}, seen);
        e.countHandTiles();
        EXPECT_EQ(e.evaluateSuit(k.mode, *k.tiles.begin()), k.score);
    }
}

TEST(EvaluateSuit, TakesOutTheLeastConnectedMeldAndSeenTilesCount) {
    TileTable seen{};
    SeatRecord r = hand({Wan(3), Wan(3), Wan(3), Wan(4), Wan(5)});
    HandEvaluator e(r, Mode2, seen);
    e.countHandTiles();
    (void)e.evaluateSuit(0, Wan(3));
    // 3-4-5 out, the pair of 3 kept.
    EXPECT_EQ(e.counts[2][3], 2);
    EXPECT_EQ(e.counts[2][4], 0);
    EXPECT_EQ(e.counts[2][5], 0);

    // Each seen tile of a leftover's kind costs two.
    SeatRecord lone = hand({Wan(5)});
    seen[2][5] = 3;
    HandEvaluator seenEval(lone, Mode2, seen);
    seenEval.countHandTiles();
    EXPECT_EQ(seenEval.evaluateSuit(0, Wan(5)), -23 - 6);

    // Mode 1 scores without one tile and puts it back.
    seenEval.countHandTiles();
    EXPECT_EQ(seenEval.evaluateSuit(1, Wan(5)), 0);
    EXPECT_EQ(seenEval.counts[2][5], 1);
}

TEST(CountHandTiles, LeavesSpecialTilesOutAndKeepsTheLowByte) {
    TileTable seen{};
    SeatRecord r = hand({0x29, HongZhong, 0x128, Wan(1)});
    HandEvaluator e(r, Mode2, seen);
    e.countHandTiles();
    EXPECT_EQ(e.counts[1][9], 0);  // the wild tile
    EXPECT_EQ(e.counts[0][5], 0);  // 红中
    EXPECT_EQ(e.counts[1][8], 1);
    EXPECT_EQ(r.slots[6].tile, 0x28);
    // 痞子 mode leaves both 痞子 tiles out; any other mode counts nothing.
    HandEvaluator pz(r, SpecialTiles{0x29, 0x28, Wan(1), 3}, seen);
    pz.countHandTiles();
    EXPECT_EQ(pz.counts[1][8] + pz.counts[2][1], 0);
    EXPECT_EQ(pz.counts[0][5], 1);
    HandEvaluator none(r, SpecialTiles{}, seen);
    none.countHandTiles();
    EXPECT_EQ(none.counts, TileTable{});
}

TEST(ChooseDiscard, BestRemainingHandEarlierSlotOnTiesSpecialTilesKept) {
    TileTable seen{};
    struct Case {
        const char* what;
        std::initializer_list<int> tiles;
        int discard;
    };
    const Case cases[] = {
        {"the isolated honour goes", {Wan(2), Wan(3), Wan(4), Tong(5), Tong(6), Feng(3)}, Feng(3)},
        {"the lone 9 before the connected pair", {Wan(9), Tong(4), Tong(5)}, Wan(9)},
        {"two equal lone tiles: the earlier slot", {Feng(2), Feng(3), Wan(5), Wan(5)}, Feng(2)},
        {"never the wild tile or 红中 while others are there", {0x29, HongZhong, Wan(5), Wan(5), Wan(6)}, Wan(6)},
        {"nothing but special tiles: the last one", {0x29, HongZhong}, HongZhong},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        SeatRecord r = hand(k.tiles);
        HandEvaluator e(r, Mode2, seen);
        EXPECT_EQ(e.chooseDiscard(), k.discard);
    }
    // Outside modes 2 and 3 no tile is examined: the last one goes.
    SeatRecord r = hand({Feng(3), Wan(2), Wan(3), Wan(4)});
    HandEvaluator e(r, SpecialTiles{}, seen);
    EXPECT_EQ(e.chooseDiscard(), Wan(4));
}

TEST(ShouldClaim, ChiPengAndKongDecisions) {
    TileTable seen{};
    // 吃 on 5 with 3 4 6 7: the shapes 3-4 and 6-7 score alike, so the
    // lowest shape is kept; partners are slots.
    SeatRecord r = hand({Wan(3), Wan(4), Wan(6), Wan(7), Feng(1), Feng(3)});
    HandEvaluator e(r, Mode2, seen);
    (void)e.shouldClaim(1, Wan(5));
    EXPECT_EQ(e.partner1, 4);
    EXPECT_EQ(e.partner2, 5);
    // 碰 of a pair that joins nothing is worth the meld.
    r = hand({Tong(9), Tong(9), Feng(1), Feng(3), Wan(1)});
    HandEvaluator p(r, Mode2, seen);
    EXPECT_TRUE(p.shouldClaim(2, Tong(9)));
    EXPECT_EQ(p.partner1, Tong(9));
    // 碰 on a tile the count leaves out, or without a pair, is declined.
    r = hand({HongZhong, HongZhong, Wan(1)});
    HandEvaluator hz(r, Mode2, seen);
    EXPECT_FALSE(hz.shouldClaim(2, HongZhong));
    r = hand({Tong(9), Wan(1)});
    HandEvaluator single(r, Mode2, seen);
    EXPECT_FALSE(single.shouldClaim(2, Tong(9)));
    // No shape, no 吃.
    r = hand({Wan(1), Wan(9)});
    HandEvaluator noShape(r, Mode2, seen);
    EXPECT_FALSE(noShape.shouldClaim(1, Wan(5)));
    EXPECT_EQ(noShape.partner1, 0);
}

// The claim needs a gain of more than 150 over keeping the hand: 150 is
// declined, 151 taken.
TEST(ShouldClaim, TheGainMustExceedTheThreshold) {
    struct Case {
        const char* what;
        int kind, tile;
        std::initializer_list<int> tiles;
        int seenSuit, seenRank, seenCount;
        int gain;  // gain − base, as the claim test computes it
        bool claim;
    };
    const Case cases[] = {
        {"碰 at 150",
         2,
         Wan(1),
         {Wan(1), Wan(1), Wan(2), Wan(6), Wan(3), Wan(5), Wan(5), Wan(8), Wan(2), Wan(4)},
         0,
         0,
         0,
         150,
         false},
        {"碰 at 151",
         2,
         Wan(8),
         {Wan(8), Wan(8), Wan(5), Wan(4), Wan(4), Wan(6), Wan(5), Wan(5), Wan(7), Wan(2)},
         2,
         2,
         1,
         151,
         true},
        {"吃 at 149",
         1,
         Wan(4),
         {Wan(6), Wan(8), Tong(1), Wan(5), Wan(2), Tiao(5), Wan(5), Tiao(7), Wan(9), Wan(5)},
         2,
         6,
         1,
         149,
         false},
        {"吃 at 151",
         1,
         Tong(4),
         {Tong(5), Tong(1), Wan(9), Tong(2), Tong(8), Wan(9), Tong(5), Tong(6), Tong(5)},
         3,
         4,
         2,
         151,
         true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        TileTable seen{};
        seen[static_cast<std::size_t>(k.seenSuit)][static_cast<std::size_t>(k.seenRank)] = k.seenCount;
        // The gain as the claim test weighs it, from the evaluator's steps.
        SeatRecord g = hand(k.tiles);
        HandEvaluator ge(g, Mode2, seen);
        const int s = suitIndexOf(k.tile);
        const int r = k.tile & 15;
        int gain = -20000;
        if (k.kind == 2) {
            ge.countHandTiles();
            ge.counts[static_cast<std::size_t>(s)][static_cast<std::size_t>(r)] -= 2;
            gain = ge.evaluateSuit(3, k.tile) + MeldBonus;
        } else {
            for (int a : {r - 2, r - 1, r + 1}) {
                const int b = a == r - 1 ? r + 1 : a + 1;
                if (a < 1 || b > 9) continue;
                ge.countHandTiles();
                auto& cs = ge.counts[static_cast<std::size_t>(s)];
                if (cs[static_cast<std::size_t>(a)] < 1 || cs[static_cast<std::size_t>(b)] < 1) continue;
                --cs[static_cast<std::size_t>(a)];
                --cs[static_cast<std::size_t>(b)];
                gain = std::max(gain, ge.evaluateSuit(2, k.tile) + MeldBonus);
            }
        }
        ge.countHandTiles();
        EXPECT_EQ(gain - ge.evaluateSuit(0, k.tile), k.gain);

        SeatRecord h = hand(k.tiles);
        HandEvaluator e(h, Mode2, seen);
        EXPECT_EQ(e.shouldClaim(k.kind, k.tile), k.claim);
    }
}

TEST(ShouldGang, FloorOnTheWholeHand) {
    TileTable seen{};
    // Melds only: every suit scores 0 or more without bonuses.
    SeatRecord good = hand({Wan(1), Wan(2), Wan(3), Tong(4), Tong(5), Tong(6)});
    HandEvaluator g(good, Mode2, seen);
    EXPECT_TRUE(g.shouldGang());
    // Scattered honours sink it below the floor.
    SeatRecord bad = hand({Feng(1), Feng(2), Feng(3), Feng(4)});
    HandEvaluator b(bad, Mode2, seen);
    EXPECT_FALSE(b.shouldGang());
    // The floor itself: −99 still lays the kong, −100 does not.
    struct Edge {
        std::initializer_list<int> tiles;
        int sum;
        bool gang;
    };
    for (const Edge& k : {Edge{{Wan(5), Wan(1), Wan(7)}, -99, true},
                          Edge{{Wan(5), Wan(3), Wan(5), 0x26, Wan(8), Tong(8), 0x21}, -100, false}}) {
        SCOPED_TRACE(k.sum);
        SeatRecord r = hand(k.tiles);
        HandEvaluator e(r, Mode2, seen);
        int sum = 0;
        for (int t : {0x11, 0x21, Wan(1), Tong(1)}) {
            e.countHandTiles();
            sum += e.evaluateSuit(4, t);
        }
        EXPECT_EQ(sum, k.sum);
        EXPECT_EQ(e.shouldGang(), k.gang);
    }
}

}  // namespace
}  // namespace mj::claims
