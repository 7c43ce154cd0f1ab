// hand_evaluator.cpp: auto-play's suit score, discard choice and claim tests.
#include "claims/hand_evaluator.h"

#include <cstdlib>

namespace mj::claims {

namespace {

constexpr int ExtractionPasses = 5;
constexpr int NoSmallest = 20000;
constexpr int NoBest = -20000;

int rankOf(int tile) { return tile & 15; }
bool isRank(int r) { return r >= 1 && r <= 9; }
int tileOf(int suitIndex, int rank) { return (1 << suitIndex) * 16 + rank; }

}  // namespace

int suitIndexOf(int tile) {
    const int nibble = (tile / 16) & 15;
    int i = 0;
    for (int b = nibble; b >= 2; b /= 2) ++i;
    return i;
}

bool HandEvaluator::isSpecial(int tile) const {
    if (special_.mode == 2) return tile == special_.wild || tile == HongZhong;
    if (special_.mode == 3) return tile == special_.wild || tile == special_.pizi1 || tile == special_.pizi2;
    return true;
}

void HandEvaluator::countHandTiles() {
    counts = {};
    melded = {};
    for (int i = std::max(hand_.firstConcealed, 0); i < concealedEnd(hand_); ++i) {
        int& t = hand_.slots[static_cast<std::size_t>(i)].tile;
        t &= 0xFF;
        if (isSpecial(t) || !isRank(rankOf(t))) continue;
        ++count(suitIndexOf(t), rankOf(t));
    }
}

int HandEvaluator::evaluateSuit(int mode, int tile) {
    const int s = suitIndexOf(tile);
    const int r = rankOf(tile);
    const bool takeOne = mode == 1 && isRank(r);
    if (takeOne) --count(s, r);
    auto& v = value[static_cast<std::size_t>(s)];
    auto c = [&](int k) { return k >= 1 && k <= 9 ? count(s, k) : 0; };
    int n = 0;
    for (int pass = 0; pass < ExtractionPasses; ++pass) {
        v.fill(0);
        int smallest = NoSmallest;
        int best = -1;
        int bestShapes = 0;
        for (int k = 1; k <= 9; ++k) {
            if (c(k) < 1) continue;
            int val = 3 * c(k);
            int shapes = 0;
            if (s > 0) {
                val += c(k - 2) + 2 * c(k - 1) + 2 * c(k + 1) + c(k + 2);
                if (k > 2 && c(k - 1) > 0 && c(k - 2) > 0) shapes += 1;
                if (k > 1 && k < 9 && c(k + 1) > 0 && c(k - 1) > 0) shapes += 2;
                if (k < 8 && c(k + 2) > 0 && c(k + 1) > 0) shapes += 4;
            }
            if (c(k) > 2) shapes += 8;
            if (shapes == 0) val = 0;
            v[static_cast<std::size_t>(k)] = val;
            if (val > 0 && val < smallest) {
                smallest = val;
                best = k;
                bestShapes = shapes;
            }
        }
        if (best <= 0) break;
        const int k = best;
        auto at = [&](int q) { return q >= 1 && q <= 9 ? v[static_cast<std::size_t>(q)] : 0; };
        int running = NoSmallest;
        std::array<int, 3> meld{};
        auto consider = [&](int bit, int score, std::array<int, 3> ranks) {
            if ((bestShapes & bit) && score < running) {
                running = score;
                meld = ranks;
            }
        };
        consider(8, 2 * at(k), {k, k, k});
        consider(4, at(k + 1) + at(k + 2), {k, k + 1, k + 2});
        consider(2, at(k - 1) + at(k + 1), {k - 1, k, k + 1});
        consider(1, at(k - 2) + at(k - 1), {k - 2, k - 1, k});
        for (int q : meld) {
            --count(s, q);
            ++melded[static_cast<std::size_t>(s)][static_cast<std::size_t>(q)];
        }
        if (mode <= 3) n += MeldBonus;
    }

    const auto& m = melded[static_cast<std::size_t>(s)];
    const auto& seen = seen_[static_cast<std::size_t>(s)];
    if (s == 0) {
        for (int k = 1; k <= 7; ++k) {
            if (c(k) <= 0) continue;
            n -= c(k) == 1 ? 100 : 30;
            n -= 2 * seen[static_cast<std::size_t>(k)];
            n += 50 * m[static_cast<std::size_t>(k)];
        }
    } else {
        for (int k = 1; k <= 9; ++k) {
            if (c(k) <= 0) continue;
            n -= 60 + 2 * seen[static_cast<std::size_t>(k)];
            if (k == 2 || k == 5 || k == 8) {
                n += (c(2) > 1 || c(5) > 1 || c(8) > 1) ? 54 : 10;
                if (c(2) + c(5) + c(8) < 2) n += 8;
            }
            n += 4 - std::abs(k - 5);
            for (int j = 1; j <= 9; ++j) {
                const int d = std::abs(j - k);
                if (c(j) > 0) {
                    if (d <= 1)
                        n += (3 * c(j) * (10 - d)) / 2;
                    else if (d == 2)
                        n += (c(j) * (10 - d)) / 2;
                    else if (d <= 4)
                        n += (c(j) * (10 - d)) / 3;
                }
                const int mj = m[static_cast<std::size_t>(j)];
                if (mj > 0 && d < 3) n += (mj * (10 - d)) / 2;
            }
        }
    }
    if (takeOne) ++count(s, r);
    return n;
}

int HandEvaluator::sumOtherSuits(int suit) {
    int total = 0;
    for (int si = 0; si < 4; ++si) {
        if (si == suit) continue;
        countHandTiles();
        total += evaluateSuit(0, tileOf(si, 1));
    }
    return total;
}

int HandEvaluator::chooseDiscard() {
    const int first = std::max(hand_.firstConcealed, 0);
    const int end = concealedEnd(hand_);
    if (end <= first) return 0;
    int chosen = end - 1;
    if (special_.mode == 2 || special_.mode == 3) {
        int best = NoBest;
        for (int i = first; i < end; ++i) {
            const int t = hand_.slots[static_cast<std::size_t>(i)].tile & 0xFF;
            if (isSpecial(t)) continue;
            int total = sumOtherSuits(suitIndexOf(t));
            countHandTiles();
            total += evaluateSuit(1, t);
            if (total > best) {
                best = total;
                chosen = i;
            }
        }
    }
    return hand_.slots[static_cast<std::size_t>(chosen)].tile & 0xFF;
}

bool HandEvaluator::shouldClaim(int kind, int tile) {
    tile &= 0xFF;
    partner1 = partner2 = 0;
    const int s = suitIndexOf(tile);
    const int r = rankOf(tile);
    if (!isRank(r)) return false;
    int gain = NoBest;
    if (kind == 1) {
        auto tryShape = [&](bool allowed, int a, int b) {
            countHandTiles();
            if (!allowed || count(s, a) < 1 || count(s, b) < 1) return;
            --count(s, a);
            --count(s, b);
            const int v = evaluateSuit(2, tile) + MeldBonus;
            if (v > gain) {
                gain = v;
                partner1 = tileOf(s, a);
                partner2 = tileOf(s, b);
            }
        };
        tryShape(r > 2, r - 2, r - 1);
        tryShape(r > 1 && r < 9, r - 1, r + 1);
        tryShape(r < 8, r + 1, r + 2);
        // The partners become the first own slots holding them.
        auto slotOf = [&](int code) {
            if (code == 0) return 0;
            for (int i = std::max(hand_.firstConcealed, 0); i < concealedEnd(hand_); ++i) {
                if (hand_.slots[static_cast<std::size_t>(i)].tile == code) return i;
            }
            return 0;
        };
        partner1 = slotOf(partner1);
        partner2 = slotOf(partner2);
    } else if (kind == 2) {
        countHandTiles();
        // A tile the count leaves out (a special tile) has no pair to claim with.
        if (count(s, r) < 2) return false;
        count(s, r) -= 2;
        partner1 = tileOf(s, r);
        gain = evaluateSuit(3, tile) + MeldBonus;
    } else {
        return false;
    }
    countHandTiles();
    const int base = evaluateSuit(0, tile);
    return gain - base > ClaimGainThreshold;
}

bool HandEvaluator::shouldGang() {
    int sum = 0;
    for (int si = 0; si < 4; ++si) {
        countHandTiles();
        sum += evaluateSuit(4, tileOf(si, 1));
    }
    return sum >= GangScoreFloor;
}

}  // namespace mj::claims
