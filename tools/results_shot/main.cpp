// results_shot: the settlement board after a won hand and after a drawn hand,
// and the session board with both rows, painted by the window host under Wine
// into BMP files. The boards go through the client's own settlement, so the
// hand history is written with the real profile functions on the way.
#include <string>

#include "results/result_boards.h"
#include "results/results_install.h"
#include "shot_support/shot_table.h"

namespace {

using mj::results::SettleRowsOfSeat;
using namespace mj::results;

void setAmount(SettleRowsOfSeat& rows, int first, unsigned long long v) {
    for (int k = 0; k < 8; ++k) rows[static_cast<std::size_t>(first + k)] = static_cast<int>((v >> (8 * k)) & 0xFF);
}

bool shootForm(const mj::ui::Form& form, const std::string& path) {
    const int w = static_cast<int>(form.width() / 15);
    const int h = static_cast<int>(form.height() / 15);
    mj::shots::Pixels px(static_cast<std::size_t>(w) * h);
    mj::platform::win32::FormHost::render(form, w, h, px.data());
    return mj::shots::writeBmp(path, w, h, px);
}

// View 1 wins a 清一色 with two kongs by 自摸; the others pay.
void wonHand(mj::link::Client& c) {
    auto& r = c.results;
    const char* names[4] = {"zhang", "李四", "王五", "赵六"};
    for (int v = 0; v < 4; ++v) {
        c.dispatch.resultPlayer[static_cast<std::size_t>(v)] = {names[v], std::to_string(v * 5)};
        c.dispatch.player[static_cast<std::size_t>(v)].gold = 12000;
        showBoardPlayer(c, v);
    }
    const long long amounts[4] = {-40, 120, -40, -40};
    for (int v = 0; v < 4; ++v) {
        auto& rows = r.settle[static_cast<std::size_t>(v)];
        rows.fill(0);
        rows[RoomBase] = 10;
        rows[CoinMode] = 1;
        setAmount(rows, HandScoreBytes, static_cast<unsigned long long>(amounts[v] < 0 ? -amounts[v] : amounts[v]));
        setAmount(rows, HandScore2Bytes, static_cast<unsigned long long>(amounts[v] < 0 ? -amounts[v] : amounts[v]));
        rows[ScoreSign] = amounts[v] < 0 ? 2 : 0;
        c.table.custom[static_cast<std::size_t>(v)].handGold = static_cast<double>(amounts[v]);
    }
    auto& w = r.settle[1];
    w[HuPattern] = 3;
    w[BaoGangCount] = 1;
    w[AnGangCount] = 1;
    w[ZiMoFlag] = 1;
    w[YingHuFlag] = 1;
    w[CapCode] = 1;
    const int level[] = {0xB8, 0xDF, 0xBC, 0xB6};  // 高级
    for (int k = 0; k < 4; ++k) w[static_cast<std::size_t>(LevelText + k)] = level[k];
    r.otherSeatsNote = "包";
    c.table.specialMode = 2;
    c.link.juNum = 1;
    r.settlementDue = true;
    showSettlement(c);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    mj::shots::ShotTable shot(1024, 768);
    auto& c = shot.client;
    wonHand(c);
    bool ok = shootForm(*c.results.score, dir + "/results_score_won.bmp");
    c.link.juNum = 2;
    showDrawnHand(c);
    ok = shootForm(*c.results.score, dir + "/results_score_drawn.bmp") && ok;
    // The session board's first row reopens the won hand from the file.
    reopenHeroRow(c, 0);
    ok = shootForm(*c.results.score, dir + "/results_score_reopened.bmp") && ok;
    ok = shootForm(*c.results.hero, dir + "/results_hero.bmp") && ok;
    return ok ? 0 : 1;
}
