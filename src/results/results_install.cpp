// results_install.cpp: the settlement as the running client shows it.
#include "results/results_install.h"

#include "link/client.h"
#include "link/general.h"
#include "results/amount_text.h"
#include "results/result_boards.h"
#include "results/settle_rows.h"
#include "results/settlement.h"

namespace mj::results {

namespace {

using link::Client;

constexpr char ContinuePrompt[] = "请点击【继续】按钮继续游戏！";
constexpr char StartsSoonText[] = "游戏将在15秒内开始";
constexpr char DrawnLine[] = "      黄  庄";
constexpr int ReadySeconds = 15;
// Only a won hand's settlement hurries an auto-playing seat on; a drawn hand
// gives everyone the full wait.
constexpr int AutoPlayReadySeconds = 3;
constexpr ui::Color Green{0, 0xFF, 0};
// Every wait on the plug-in ends after this; a treasure-box phase takes less.
constexpr platform::Millis HandOffLimit{10000};

std::string historyPath(const Client& c) { return platform::joinPath(c.p.process.programFolder(), HandHistoryFile); }

ui::ListBox& scoreList(Client& c, int j) { return *c.results.score->findAs<ui::ListBox>("State", j); }

void setMainCaption(Client& c, std::string_view name, int index, std::string text) {
    if (auto* l = c.mainForm.find(name, index)) l->setCaption(std::move(text));
}

void showScoreBoard(Client& c) {
    if (c.mainForm.windowState() == ui::Form::WindowState::Minimized) return;
    placeOverTable(c, *c.results.score);
    c.results.score->setVisible(true);
    c.results.score->bringToFront();
}

// The prompt, the next-hand countdown and the release of a held player-left
// message: how every shown hand result ends.
void finishHandResult(Client& c, int countdownSeconds) {
    auto& l = c.link;
    c.sysmsg[0]->clear();
    c.sysmsg[0]->addItem(ContinuePrompt);
    c.table.anNiuState[2] = false;
    l.inGame = false;
    l.readySent = false;
    c.sysmsg[1]->clear();
    c.sysmsg[1]->addItem(StartsSoonText);
    l.holdQuitMsg = false;
    if (l.launch.isSpectator) return;
    l.readyCountdown = link::Task{true, 0};
    l.readyTickStart = c.p.clock.secondsSinceMidnight();
    l.countdownSeconds = countdownSeconds;
    c.number->setCaption(std::to_string(l.countdownSeconds));
    c.number->setForeColor(Green);
    c.timeImg->setVisible(true);
    c.number->setVisible(true);
    c.timeImg->bringToFront();
    c.number->bringToFront();
}

Settlement settlementInputs(const Client& c) {
    const auto& r = c.results;
    Settlement s;
    s.rows = r.settle;
    for (int v = 0; v < 4; ++v) {
        const auto at = static_cast<std::size_t>(v);
        s.handGold[at] = c.table.custom[at].handGold;
        s.levelText[at] = levelText(r.settle[at], c.p.codec);
    }
    s.otherSeatsNote = r.otherSeatsNote;
    s.juNum = c.link.juNum;
    s.specialMode = c.table.specialMode;
    s.lianLaiCount = c.table.lianLaiCount;
    s.wealthOn = c.table.isWealthMultiple != 0;
    s.wealthCaption = c.dispatch.wealthCaption;
    s.diceOn = c.dispatch.diceDouble != 0;
    if (const auto* difen = c.mainForm.find("lblDifen")) s.difenCaption = difen->caption();
    s.winnerView = c.table.winnerView;
    for (std::size_t v = 0; v < 4; ++v) {
        const auto& p = c.dispatch.player[v];
        s.player[v] = {p.gold, p.score, p.winCount, p.lossCount, p.levelName};
    }
    s.sumScore = c.dispatch.sumScore;
    s.box = r.box;
    s.marks = r.marks;
    return s;
}

}  // namespace

void showBoardPlayers(Client& c) {
    auto& score = *c.results.score;
    for (int i = 0; i < 4; ++i) {
        const auto& p = c.dispatch.resultPlayer[static_cast<std::size_t>(i)];
        showFace(c, *score.find("Tou", i), p.picIndex);
        score.find("ID", i)->setCaption(p.name);
        c.results.shownPlayer[static_cast<std::size_t>(i)] = p;
    }
}

void showBoardPlayer(Client& c, int view) {
    if (view < 0 || view > 3) return;
    const auto& p = c.dispatch.resultPlayer[static_cast<std::size_t>(view)];
    for (ui::Form* board : {c.results.hero.get(), c.results.score.get()}) {
        showFace(c, *board->find("Tou", view), p.picIndex);
        board->find("ID", view)->setCaption(p.name);
    }
}

void saveHandBoard(Client& c, int n) { saveHandHistory(c.p.ini, historyPath(c), n, snapshotOf(c)); }

void clearHandHistory(Client& c) {
    const std::string path = historyPath(c);
    if (c.p.files.exists(path)) c.p.files.remove(path);
}

void awaitPluginResult(Client& c) {
    if (c.results.handOffGuard) c.results.handOffGuard->setEnabled(true);
}

void showSettlement(Client& c) {
    auto& r = c.results;
    if (r.handOffGuard) r.handOffGuard->setEnabled(false);
    c.props.scorePending = false;
    if (!r.settlementDue) {
        c.log("settlement: no complete round of settlement rows; not booked again");
        return;
    }
    r.settlementDue = false;

    Settlement s = settlementInputs(c);
    settle(s);
    r.handScore = s.handScore;
    r.handScore2 = s.handScore2;
    r.marks = s.marks;
    for (std::size_t v = 0; v < 4; ++v) {
        auto& p = c.dispatch.player[v];
        p.gold = s.player[v].gold;
        p.score = s.player[v].score;
        p.winCount = s.player[v].winCount;
        p.lossCount = s.player[v].lossCount;
        p.levelName = s.player[v].levelName;
    }
    r.box = s.box;
    c.dispatch.sumScore = s.sumScore;
    c.table.winnerView = s.winnerView;

    addHeroRow(c, c.link.juNum, s.heroGrade);
    for (int v = 0; v < 4; ++v) {
        const auto at = static_cast<std::size_t>(v);
        setMainCaption(c, "Level", v, c.dispatch.player[at].levelName);
        setMainCaption(c, "Cash", v, s.cashText[at]);
        r.hero->find("sumScore", v)->setCaption(s.sumScoreText[at]);
        auto& detail = scoreList(c, v);
        detail.clear();
        for (const auto& item : s.detail[at]) detail.addItem(item);
        detail.setForeColor(colorOf(s.detailColor[at]));
        auto& final = scoreList(c, v + 4);
        final.clear();
        for (const auto& item : s.final[at]) final.addItem(item);
    }
    showBoardPlayers(c);
    showScoreBoard(c);
    finishHandResult(c, c.link.autoPlayOn ? AutoPlayReadySeconds : ReadySeconds);
    saveHandBoard(c, c.link.juNum);
    if (c.props.exitPluginAfterDraw == -1) {
        if (c.props.propGameDllState > 0 && c.exitGameDll) {
            c.exitGameDll(c, 0);
        } else if (c.props.loaded()) {
            c.props.propDll->initExit(0);
            c.props.propGameDllState = 0;
            c.props.propInitOk = false;
        }
        c.props.propResultMode = 0;
    } else {
        c.props.propResultMode = 2;
    }
}

void showDrawnHand(Client& c) {
    auto& r = c.results;
    if (r.handOffGuard) r.handOffGuard->setEnabled(false);
    c.props.scorePending = false;
    c.props.drawWithBoxes = 0;
    c.link.inGame = false;
    std::array<std::string, 4> grades;
    for (int v = 0; v < 4; ++v) {
        const auto at = static_cast<std::size_t>(v);
        auto& detail = scoreList(c, v);
        detail.clear();
        detail.addItem(DrawnLine);
        r.handScore[at] = 0;
        // The treasure-box bonus of the hand: its item lines, and the reward
        // credited whenever there is one.
        const std::string& items = r.box.itemText[at];
        if (!items.empty()) {
            std::vector<std::string> lines{std::string()};
            const std::uint32_t color = addBoxLines(lines, items, 0);
            lines.emplace_back();
            for (auto& line : lines) detail.addItem(line);
            detail.setForeColor(colorOf(color));
        }
        if (!items.empty() || r.box.reward[at] != 0) {
            const double reward = r.box.reward[at];
            r.handScore[at] += reward;
            c.dispatch.player[at].gold += reward;
            c.dispatch.sumScore[at] += reward;
            r.box.reward[at] = 0;
            r.box.itemText[at].clear();
            c.props.boxInfo = {};
        }
        setMainCaption(c, "Cash", v, amountText(c.dispatch.player[at].gold) + "金币");
        auto& final = scoreList(c, v + 4);
        final.clear();
        final.addItem("最终分：" + amountText(r.handScore[at]) + "金币");
        grades[at] = link::padRight(amountText(r.handScore[at]), 9) + "金币";
        r.hero->find("sumScore", v)->setCaption(amountText(c.dispatch.sumScore[at]) + "金币");
    }
    addHeroRow(c, c.link.juNum, grades);
    showBoardPlayers(c);
    if (!c.shell.bossKeyOn) showScoreBoard(c);
    saveHandBoard(c, c.link.juNum);
    if (c.props.exitPluginAfterDraw == -1) {
        if (c.exitGameDll) c.exitGameDll(c, 0);
        c.props.propResultMode = 0;
    } else {
        c.props.propResultMode = 2;
    }
    finishHandResult(c, ReadySeconds);
}

void runHandResult(Client& c) {
    if (c.props.drawWithBoxes != 0) return showDrawnHand(c);
    showSettlement(c);
}

void resetResultsForHand(Client& c) {
    auto& r = c.results;
    // All rows, not only the one the old reset touched: a seat's rows must
    // never survive into the next hand's settlement.
    for (auto& rows : r.settle) rows.fill(0);
    r.handScore = {};
    r.handScore2 = {};
    r.marks = {};
    r.goldReceived = 0;
    r.detailReceived = 0;
    r.settlementDue = false;
    if (r.handOffGuard) r.handOffGuard->setEnabled(false);
}

void installResults(Client& c) {
    buildBoards(c);
    // An earlier run's hands must never be shown as this run's.
    clearHandHistory(c);
    c.showSettlement = &runHandResult;
    c.showBoardPlayer = &showBoardPlayer;
    c.results.handOffGuard = c.p.clock.createTimer(HandOffLimit, [&c] {
        c.results.handOffGuard->setEnabled(false);
        if (!c.results.settlementDue && c.props.drawWithBoxes == 0) return;
        c.log("hand result: the props plug-in did not show it; shown by the client");
        // Its announcement belongs to this hand; a later hand waits for its own.
        c.props.scoreInfoReady = false;
        c.trapped("hand result", [&c] {
            runHandResult(c);
            if (c.props.loaded()) c.props.propDll->initShowNext(false);
        });
    });
    c.results.handOffGuard->setEnabled(false);
    for (auto* seam : {&c.resetRoundData, &c.newGameResetRoundData}) {
        *seam = [table = *seam](Client& client) {
            if (table) table(client);
            resetResultsForHand(client);
        };
    }
    c.resetSession = [leave = c.resetSession](Client& client) {
        if (leave) leave(client);
        clearBoards(client);
    };
}

}  // namespace mj::results
