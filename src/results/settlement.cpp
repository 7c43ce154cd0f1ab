// settlement.cpp: the settlement board's lists and the booking of a won hand.
#include "results/settlement.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "link/general.h"
#include "results/amount_text.h"
#include "results/fan_lines.h"
#include "results/settle_rows.h"

namespace mj::results {

namespace {

constexpr int MinFanPart = 10;       // the detail part is padded to this many items
constexpr int PaddedTotalPart = 17;  // a list shorter than 20 is padded to 17
constexpr int LongList = 20;
constexpr std::uint32_t MaxColor = 0xFFFFFF;
constexpr int BoxColorDigits = 8;
constexpr int WinnerNoteBase = 8;

std::size_t at(int s) { return static_cast<std::size_t>(s); }
int low(int v) { return v & 0xFF; }

void padTo(std::vector<std::string>& list, int count) {
    while (static_cast<int>(list.size()) < count) list.emplace_back(" ");
}

}  // namespace

std::uint32_t addBoxLines(std::vector<std::string>& list, const std::string& boxText, std::uint32_t color) {
    std::size_t from = 0;
    while (from <= boxText.size()) {
        std::size_t bar = boxText.find('|', from);
        if (bar == std::string::npos) bar = boxText.size();
        std::string line = boxText.substr(from, bar - from);
        const auto chars = link::utf8Chars(line);
        const std::size_t tail = std::min<std::size_t>(chars.size(), BoxColorDigits);
        std::string digits;
        for (std::size_t k = chars.size() - tail; k < chars.size(); ++k) digits += chars[k];
        long long v = -1;
        const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        // A colour that does not read as a whole number is ignored; the line stays.
        if (r.ec == std::errc() && r.ptr == digits.data() + digits.size() && v >= 0 && v <= MaxColor) {
            color = static_cast<std::uint32_t>(v);
        }
        if (chars.size() >= BoxColorDigits) line.resize(line.size() - digits.size());
        list.push_back(line);
        from = bar + 1;
    }
    return color;
}

void settle(Settlement& s) {
    const bool allAmountsZero = std::all_of(s.handGold.begin(), s.handGold.end(), [](double g) { return g == 0; });
    for (int v = 0; v < 4; ++v) {
        s.handScore[at(v)] = firstAmount(s.rows[at(v)]);
        s.handScore2[at(v)] = secondAmount(s.rows[at(v)]);
        s.sumScore[at(v)] += s.handScore[at(v)];
        s.player[at(v)].levelName = s.levelText[at(v)];
    }
    s.heroNum = link::padRight(std::to_string(s.juNum), 12);
    if (s.winnerView < 0) {
        for (int v = 0; v < 4; ++v) {
            if (s.handScore[at(v)] > 0) s.winnerView = v;
        }
    }
    // Without a winner (no positive score and none from the table) the
    // winner-only lines and the note are left out.
    const int winner = s.winnerView >= 0 && s.winnerView < 4 ? s.winnerView : -1;
    const int winnerPattern = winner >= 0 ? low(s.rows[at(winner)][HuPattern]) : 0;

    // Multipliers: a caption that does not start with a number counts as 0,
    // not in force.
    const long long wealth = leadingWholeNumber(s.wealthCaption);
    const long long dice = leadingWholeNumber(s.difenCaption);
    const bool wealthIn = s.wealthOn && wealth != 0;
    const bool diceIn = s.diceOn && dice != 0;
    const bool divided = !allAmountsZero && (wealthIn || diceIn);
    auto divide = [&](double amount) {
        if (wealthIn) amount /= static_cast<double>(wealth);
        if (diceIn) amount /= static_cast<double>(dice);
        return roundHalfEven(amount);
    };

    std::array<int, 4> mark{};
    for (int v = 0; v < 4; ++v) {
        const auto& rows = s.rows[at(v)];
        auto& list = s.detail[at(v)];
        auto& p = s.player[at(v)];
        const double score = s.handScore[at(v)];
        const double gold = s.handGold[at(v)];
        list.clear();
        list.push_back("   初始：" + amountText(p.gold));
        list.emplace_back(" -------------------  ");
        list.push_back("   房间底金： " + std::to_string(rows[RoomBase]));
        list.emplace_back();
        // 2 to the power of the count, in full even past the byte's range.
        if (s.lianLaiCount > 0) list.push_back("   连赖  ×" + amountText(std::ldexp(1.0, s.lianLaiCount)));
        const auto fans = fanLines(rows, s.specialMode, winnerPattern);
        list.insert(list.end(), fans.begin(), fans.end());
        p.gold = std::max(0.0, p.gold + score);
        if (score > 0 || (score == 0 && gold > 0)) {
            ++p.winCount;
        } else {
            ++p.lossCount;
        }
        p.score += score;
        if (p.score < 0) p.score = 1;
        padTo(list, MinFanPart);
        list.emplace_back(Separator);
        mark[at(v)] = static_cast<int>(list.size());

        if (low(rows[BaoHuFlag]) != 0) s.marks.baoHuMark[at(v)] = 1;
        const int cap = low(rows[CapCode]);
        if ((cap & 0x0F) == 1) {
            s.marks.capMark[at(v)] = 1;
            s.marks.goldCapMark[at(v)] = 0;
        } else if ((cap & 0x0F) == 2) {
            s.marks.goldCapMark[at(v)] = 1;
            s.marks.capMark[at(v)] = 0;
        }
        if ((cap >> 4) != 0) s.marks.fourBaoMark[at(v)] = 1;

        if (divided) {
            list.push_back("总计:" + amountText(divide(gold)) + "金币");
        } else {
            list.push_back("总计：" + amountText(gold) + "金币");
        }
        if (s.marks.goldCapMark[at(v)] == 1) {
            list.emplace_back("金顶");
            list.emplace_back();
        } else if (s.marks.capMark[at(v)] == 1) {
            list.emplace_back("封顶");
            list.emplace_back();
        }
        if (s.marks.baoHuMark[at(v)] == 1) list.emplace_back("包胡");
        if (v == winner && s.marks.fourBaoMark[at(v)] == 1) list.emplace_back("4个宝胡牌：   ×2");
        if (static_cast<int>(list.size()) < LongList) padTo(list, PaddedTotalPart);
        list.emplace_back(Separator);
        if (divided) list.push_back("小计:" + amountText(divide(s.handScore2[at(v)])) + "金币");
        if (s.diceOn && !allAmountsZero) list.push_back("骰子加倍 ×" + s.difenCaption);
        if (s.wealthOn && !allAmountsZero) list.push_back("财富加倍 ×" + s.wealthCaption);
        if (low(rows[CoinMode]) == 1) {
            const double total = v == winner ? roundHalfEven(s.handScore2[at(v)]) : s.handScore2[at(v)];
            list.push_back("总分: " + amountText(total) + "金币");
        } else {
            list.push_back("总分： " + amountText(gold) + "金条");
        }
        list.emplace_back();
    }

    if (winner >= 0) {
        const auto& winnerRows = s.rows[at(winner)];
        if (low(winnerRows[RoomBase]) == WinnerNoteBase) {
            for (int v = 0; v < 4; ++v) {
                if (v != winner) s.detail[at(v)].push_back(s.otherSeatsNote);
            }
        } else {
            auto eachList = [&](const std::string& winnersLine) {
                for (int v = 0; v < 4; ++v) s.detail[at(v)].push_back(v == winner ? winnersLine : std::string());
            };
            if (winnerRows[CoinCapFlag] == 1) eachList("金币封顶");
            eachList(s.otherSeatsNote);
        }
    }

    const int longest = *std::max_element(mark.begin(), mark.end());
    for (int v = 0; v < 4; ++v) {
        auto& list = s.detail[at(v)];
        auto& p = s.player[at(v)];
        const std::string unit = low(s.rows[at(v)][CoinMode]) == 1 ? "金币" : "金条";
        list.push_back("最终分：" + amountText(s.handScore[at(v)]) + unit);
        s.detailColor[at(v)] = 0;
        const bool boxLines = !s.box.itemText[at(v)].empty();
        if (boxLines) {
            list.emplace_back();
            s.detailColor[at(v)] = addBoxLines(list, s.box.itemText[at(v)], s.detailColor[at(v)]);
            list.emplace_back();
        }
        // A reward the reward display has shown is credited, with or without
        // item lines.
        if (boxLines || s.box.reward[at(v)] != 0) {
            const double reward = s.box.reward[at(v)];
            s.handScore[at(v)] += reward;
            p.gold += reward;
            s.sumScore[at(v)] += reward;
            s.box.reward[at(v)] = 0;
            s.box.itemText[at(v)].clear();
        }
        s.cashText[at(v)] = amountText(p.gold) + unit;
        s.final[at(v)] = {"最终分：" + amountText(s.handScore[at(v)]) + unit};
        s.heroGrade[at(v)] = link::padRight(amountText(s.handScore[at(v)]), 9) + unit;
        s.sumScoreText[at(v)] = amountText(s.sumScore[at(v)]) + unit;
        // Every list's first separator ends in the same row, one below the
        // longest detail part.
        const int m = mark[at(v)];
        list.insert(list.begin() + (m - 1), static_cast<std::size_t>(longest - m + 1), std::string());
    }
}

}  // namespace mj::results
