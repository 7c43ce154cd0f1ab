// results_shot: the settlement board after a won hand and after a drawn hand,
// and the session board with both rows, painted by the window host under Wine
// into BMP files; then both boards in real windows, scrolled and reopened by
// real mouse input, taken from the screen. The boards go through the client's own settlement, so the
// hand history is written with the real profile functions on the way.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "results/result_boards.h"
#include "results/results_install.h"
#include "shot_support/screen_capture.h"
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

INPUT mouseAt(int x, int y) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    i.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    i.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    return i;
}

INPUT mouseDo(DWORD flags, DWORD data = 0) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = flags;
    i.mi.mouseData = data;
    return i;
}

void send(std::vector<INPUT> in) { SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)); }

// A control's top left on the screen, in pixels.
POINT screenOf(const mj::ui::Control& ctl) {
    const mj::ui::PixelRect r = const_cast<mj::ui::Control&>(ctl).paintedRect();
    auto& form = *const_cast<mj::ui::Control&>(ctl).form();
    return POINT{static_cast<LONG>(form.left() / 15) + r.left, static_cast<LONG>(form.top() / 15) + r.top};
}

// The boards in real windows, played by real input: the wheel scrolls the
// longest detail list of the won hand and its bar's arrow goes one row
// further; a double-click on the session board's second row reopens the
// drawn hand.
bool liveBoards(mj::link::Client& c, const std::string& dir) {
    mj::platform::win32::FormHost host;
    auto& score = *c.results.score;
    auto& hero = *c.results.hero;
    host.attach(score);
    host.attach(hero);
    mj::ui::ListBox* longest = nullptr;
    for (int j = 0; j < 4; ++j) {
        auto* l = score.findAs<mj::ui::ListBox>("State", j);
        std::fprintf(stderr, "detail list %d: %d items, %d rows shown\n", j, l->listCount(), l->visibleRows());
        if (!longest || l->listCount() > longest->listCount()) longest = l;
    }
    if (!longest->showsScrollBar()) {
        std::fprintf(stderr, "the won hand's lists all fit: nothing to scroll\n");
        return false;
    }
    SetForegroundWindow(host.windowOf(score));
    mj::shots::pump(200);
    const POINT at = screenOf(*longest);
    send({mouseAt(at.x + 30, at.y + 60), mouseDo(MOUSEEVENTF_LEFTDOWN), mouseDo(MOUSEEVENTF_LEFTUP),
          mouseDo(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA))});
    mj::shots::pump(300);
    const auto bar = longest->scrollBar();
    send({mouseAt(at.x + bar.left + bar.width / 2, at.y + bar.height - 3), mouseDo(MOUSEEVENTF_LEFTDOWN),
          mouseDo(MOUSEEVENTF_LEFTUP)});
    mj::shots::pump(300);
    std::fprintf(stderr, "scrolled to row %d of %d\n", longest->topIndex(), longest->maxTopIndex());
    if (longest->topIndex() != std::min(4, longest->maxTopIndex())) return false;
    bool ok = mj::shots::shootScreen(dir + "/results_score_scrolled.bmp", 1024, 768);

    score.setVisible(false);
    toggleHeroBoard(c);
    SetForegroundWindow(host.windowOf(hero));
    mj::shots::pump(200);
    const POINT row = screenOf(*hero.find("Grade", 1));
    const int line = static_cast<int>(hero.findAs<mj::ui::ListBox>("Grade", 1)->itemHeight() / 15);
    send({mouseAt(row.x + 20, row.y + line + line / 2), mouseDo(MOUSEEVENTF_LEFTDOWN), mouseDo(MOUSEEVENTF_LEFTUP),
          mouseDo(MOUSEEVENTF_LEFTDOWN), mouseDo(MOUSEEVENTF_LEFTUP)});
    mj::shots::pump(400);
    const auto& reopened = score.findAs<mj::ui::ListBox>("State", 0)->items();
    std::fprintf(stderr, "after the double-click: board %s, row %d selected, first line \"%s\"\n",
                 score.visible() ? "shown" : "hidden", c.results.heroSelected,
                 reopened.empty() ? "" : reopened.front().c_str());
    if (!score.visible() || c.results.heroSelected != 1) return false;
    ok = mj::shots::shootScreen(dir + "/results_reopened_live.bmp", 1024, 768) && ok;
    host.detach(score);
    host.detach(hero);
    return ok;
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
    ok = liveBoards(c, dir) && ok;
    return ok ? 0 : 1;
}
