// fan_lines.cpp: the fixed texts of the fan lines. Their spacing and order
// differ between the groups of codes; they are kept exactly as players know them.
#include "results/fan_lines.h"

#include <map>

namespace mj::results {

namespace {

const char* const PiHu = "   屁胡：   ×1";
const char* const PengPeng = "   碰碰胡： ×2";
const char* const QingYiSe = "   清一色： ×2";
const char* const FengYiSe = "   风一色： ×2";
const char* const JiangYiSe = "   将一色： ×2";
const char* const GangKai = "   杠开：   ×2";
const char* const QuanQiuRen = "   全求人： ×1";
// From code 51 on there are no blanks between the colon and the multiplier.
const char* const QingYiSeTight = "   清一色：×2";
const char* const FengYiSeTight = "   风一色：×2";
const char* const JiangYiSeTight = "   将一色：×2";
const char* const PengPengTight = "   碰碰胡：×2";
const char* const QuanQiuRenTight = "   全求人：×1";
const char* const QiangGang = "   抢杠";

const std::map<int, std::vector<std::string>>& patternTable() {
    static const std::map<int, std::vector<std::string>> table{
        {1, {PiHu}},
        {2, {PengPeng}},
        {3, {QingYiSe}},
        {4, {FengYiSe}},
        {5, {JiangYiSe}},
        {6, {QingYiSe, PengPeng}},
        {7, {FengYiSe, PengPeng}},
        {9, {JiangYiSe, PengPeng}},
        {16, {GangKai}},
        {17, {GangKai}},
        {18, {GangKai, PengPeng}},
        {19, {GangKai, QingYiSe}},
        {20, {GangKai, FengYiSe}},
        {21, {GangKai, JiangYiSe}},
        {22, {GangKai, QingYiSe, PengPeng}},
        {23, {GangKai, FengYiSe, PengPeng}},
        {25, {GangKai, JiangYiSe, PengPeng}},
        {48, {QuanQiuRen}},
        // 全求人 on a plain hand reads as 48 does, as 17 reads as 16.
        {49, {QuanQiuRen}},
        {50, {QuanQiuRen, PengPeng}},
        {51, {QingYiSeTight, QuanQiuRenTight}},
        {52, {QuanQiuRenTight, FengYiSeTight}},
        {53, {QuanQiuRenTight, JiangYiSeTight}},
        {54, {QuanQiuRenTight, QingYiSeTight, PengPengTight}},
        {55, {QuanQiuRenTight, FengYiSeTight, PengPengTight}},
        {57, {QuanQiuRenTight, PengPengTight, JiangYiSeTight}},
        {64, {QiangGang}},
        {65, {QiangGang}},
        {66, {QiangGang, PengPengTight}},
        {67, {QiangGang, QingYiSeTight}},
        {68, {QiangGang, FengYiSeTight}},
        {69, {QiangGang, JiangYiSeTight}},
        {70, {"   抢杠清一色碰碰胡：×2"}},
        {71, {"   抢杠风一色碰碰胡：×2"}},
        {73, {"   抢杠将一色碰碰胡：×2"}},
    };
    return table;
}

const char* sevenPairsLine(int highNibble) {
    switch (highNibble) {
    case 1:
        return "   七对：   ×1";
    case 2:
        return "   豪华七对： ×2";
    case 3:
        return "   超豪华七对：×4";
    case 4:
        return "   超超豪华七对：×8";
    case 5:
        return "   门前清： ×1";
    default:
        return nullptr;
    }
}

int row(const SettleRowsOfSeat& rows, int r) { return rows[static_cast<std::size_t>(r)] & 0xFF; }

}  // namespace

const std::vector<std::string>& huPatternLines(int code) {
    static const std::vector<std::string> none;
    const auto& table = patternTable();
    const auto it = table.find(code);
    return it == table.end() ? none : it->second;
}

std::vector<std::string> fanLines(const SettleRowsOfSeat& rows, int specialMode, int winnerPattern) {
    std::vector<std::string> out;
    const int qiDui = row(rows, QiDuiCode);
    const int pattern = row(rows, HuPattern);
    if (const char* line = sevenPairsLine(qiDui >> 4)) {
        out.emplace_back(line);
        out.emplace_back();
    }
    if ((qiDui & 0x0F) == 1) {
        out.emplace_back("   碰碰胡：   ×2");
        out.emplace_back();
    }
    if (const auto& lines = huPatternLines(pattern); !lines.empty()) {
        out.insert(out.end(), lines.begin(), lines.end());
        out.emplace_back();
    }
    auto countLine = [&](const char* label, int count) {
        if (count > 0) out.push_back(std::string(label) + std::to_string(count) + " 番");
    };
    if (specialMode == SpecialModeHongZhong) countLine("   红中杠： ", row(rows, SpecialGangCount));
    if (specialMode == SpecialModePizi) countLine("   痞子杠： ", row(rows, SpecialGangCount));
    countLine("   宝杠： ", row(rows, BaoGangCount));
    countLine("   明杠： ", row(rows, MingGangCount));
    countLine("   暗杠： ", row(rows, AnGangCount));
    if (row(rows, YingHuFlag) > 0 && (pattern != 0 || qiDui != 0)) out.emplace_back("   硬胡： 1 番");
    if (row(rows, KaiKouFlag) > 0 && pattern == 0 && qiDui == 0) out.emplace_back("   开口:  1 番");
    if (row(rows, DianPaoFlag) > 0) {
        out.emplace_back(" ");
        out.emplace_back((winnerPattern & 0xFF) == 1 ? "   点炮    " : "   点炮    1番");
    }
    if (row(rows, ZiMoFlag) > 0) {
        out.emplace_back(" ");
        out.emplace_back(pattern == 1 ? "   自摸    " : "   自摸    1番");
    }
    return out;
}

}  // namespace mj::results
