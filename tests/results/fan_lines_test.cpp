// fan_lines_test.cpp: the fan lines chosen from a seat's rows, as tables of
// rows and the exact items they give.
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <utility>

#include "results/fan_lines.h"

namespace mj::test {
namespace {

using results::fanLines;
using results::huPatternLines;
using results::SettleRowsOfSeat;
using Lines = std::vector<std::string>;

SettleRowsOfSeat rowsWith(std::initializer_list<std::pair<int, int>> set) {
    SettleRowsOfSeat rows{};
    for (auto [row, value] : set) rows[static_cast<std::size_t>(row)] = value;
    return rows;
}

TEST(FanLines, EveryHandPatternCodeHasItsExactLines) {
    // The whole table, typed from the players' boards, not from the code.
    const Lines gangKai{"   杠开：   ×2"};
    const Lines qiangGang{"   抢杠"};
    const std::map<int, Lines> table = {
        {1, {"   屁胡：   ×1"}},
        {2, {"   碰碰胡： ×2"}},
        {3, {"   清一色： ×2"}},
        {4, {"   风一色： ×2"}},
        {5, {"   将一色： ×2"}},
        {6, {"   清一色： ×2", "   碰碰胡： ×2"}},
        {7, {"   风一色： ×2", "   碰碰胡： ×2"}},
        {9, {"   将一色： ×2", "   碰碰胡： ×2"}},
        {16, gangKai},
        {17, gangKai},
        {18, {"   杠开：   ×2", "   碰碰胡： ×2"}},
        {19, {"   杠开：   ×2", "   清一色： ×2"}},
        {20, {"   杠开：   ×2", "   风一色： ×2"}},
        {21, {"   杠开：   ×2", "   将一色： ×2"}},
        {22, {"   杠开：   ×2", "   清一色： ×2", "   碰碰胡： ×2"}},
        {23, {"   杠开：   ×2", "   风一色： ×2", "   碰碰胡： ×2"}},
        {25, {"   杠开：   ×2", "   将一色： ×2", "   碰碰胡： ×2"}},
        {48, {"   全求人： ×1"}},
        {49, {"   全求人： ×1"}},  // decided: reads as 48
        {50, {"   全求人： ×1", "   碰碰胡： ×2"}},
        {51, {"   清一色：×2", "   全求人：×1"}},  // 清一色 first, unlike 52..57
        {52, {"   全求人：×1", "   风一色：×2"}},
        {53, {"   全求人：×1", "   将一色：×2"}},
        {54, {"   全求人：×1", "   清一色：×2", "   碰碰胡：×2"}},
        {55, {"   全求人：×1", "   风一色：×2", "   碰碰胡：×2"}},
        {57, {"   全求人：×1", "   碰碰胡：×2", "   将一色：×2"}},
        {64, qiangGang},
        {65, qiangGang},
        {66, {"   抢杠", "   碰碰胡：×2"}},
        {67, {"   抢杠", "   清一色：×2"}},
        {68, {"   抢杠", "   风一色：×2"}},
        {69, {"   抢杠", "   将一色：×2"}},
        {70, {"   抢杠清一色碰碰胡：×2"}},
        {71, {"   抢杠风一色碰碰胡：×2"}},
        {73, {"   抢杠将一色碰碰胡：×2"}},
    };
    ASSERT_EQ(table.size(), 35u);
    // Every byte value: a code in the table gives its lines and one empty
    // item after them, any other code nothing at all.
    for (int code = 0; code <= 255; ++code) {
        const auto it = table.find(code);
        const Lines expected = it == table.end() ? Lines{} : it->second;
        EXPECT_EQ(huPatternLines(code), expected) << "code " << code;
        Lines items = expected;
        if (!items.empty()) items.emplace_back();
        EXPECT_EQ(fanLines(rowsWith({{results::HuPattern, code}}), 2, 0), items) << "code " << code;
    }
}

struct Case {
    const char* what;
    SettleRowsOfSeat rows;
    int specialMode;
    int winnerPattern;
    Lines expected;
};

TEST(FanLines, RowsGiveTheirGroupsInOrder) {
    using namespace results;
    const std::vector<Case> cases = {
        {"a plain loser gets nothing", rowsWith({}), 2, 1, {}},
        {"豪华七对 with 碰碰胡", rowsWith({{QiDuiCode, 0x21}}), 2, 0, {"   豪华七对： ×2", "", "   碰碰胡：   ×2", ""}},
        {"high nibble 6 has no line", rowsWith({{QiDuiCode, 0x61}}), 2, 0, {"   碰碰胡：   ×2", ""}},
        {"pattern then kongs, count in full",
         rowsWith({{HuPattern, 3}, {SpecialGangCount, 2}, {BaoGangCount, 12}, {MingGangCount, 1}, {AnGangCount, 1}}),
         3,
         0,
         {"   清一色： ×2", "", "   痞子杠： 2 番", "   宝杠： 12 番", "   明杠： 1 番", "   暗杠： 1 番"}},
        {"红中杠 in mode 2", rowsWith({{SpecialGangCount, 1}}), 2, 0, {"   红中杠： 1 番"}},
        {"special kongs in another mode show nothing", rowsWith({{SpecialGangCount, 4}}), 0, 0, {}},
        {"硬胡 needs a pattern",
         rowsWith({{YingHuFlag, 1}, {HuPattern, 1}}),
         2,
         0,
         {"   屁胡：   ×1", "", "   硬胡： 1 番"}},
        {"硬胡 without a pattern gives 开口 when flagged",
         rowsWith({{YingHuFlag, 1}, {KaiKouFlag, 1}}),
         2,
         0,
         {"   开口:  1 番"}},
        {"点炮 to a 屁胡 winner", rowsWith({{DianPaoFlag, 1}}), 2, 1, {" ", "   点炮    "}},
        {"点炮 to any other pattern, or no winner", rowsWith({{DianPaoFlag, 1}}), 2, 0, {" ", "   点炮    1番"}},
        {"点炮 before 自摸; 自摸 reads the own pattern",
         rowsWith({{DianPaoFlag, 1}, {ZiMoFlag, 1}}),
         2,
         1,
         {" ", "   点炮    ", " ", "   自摸    1番"}},
        {"自摸 on the own 屁胡",
         rowsWith({{ZiMoFlag, 1}, {HuPattern, 1}}),
         2,
         0,
         {"   屁胡：   ×1", "", " ", "   自摸    "}},
    };
    for (const auto& c : cases) EXPECT_EQ(fanLines(c.rows, c.specialMode, c.winnerPattern), c.expected) << c.what;
}

}  // namespace
}  // namespace mj::test
