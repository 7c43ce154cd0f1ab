// box_phase.cpp: the treasure-box phase and its reward display.
#include "props/box_phase.h"

#include <algorithm>
#include <cmath>

#include "link/client.h"
#include "link/general.h"
#include "props/prop_requests.h"
#include "results/amount_text.h"

namespace mj::props {

namespace {

using link::Client;

constexpr char ChoosePrompt[] = "请选择一个宝箱打开";
constexpr char WaitOthersPrompt[] = "请等待其他玩家打开宝箱";
constexpr char WaitPrompt[] = "请等待玩家打开宝箱";
constexpr char Gold[] = "金币";
constexpr char LineBreak[] = "\r\n";
constexpr int PromptSeconds = 5;
constexpr int TicksPerSecond = 20;
constexpr int HistoryWidth = 44;
constexpr double UnitWidth = 14;
constexpr double PromptHeight = 50;
constexpr int FlightSteps = 5;
constexpr double FlightStepSeconds = 0.037;
constexpr long MaxTimerInterval = 65535;
// The reward display never holds the settlement longer than this.
constexpr long MaxRewardDisplayMs = 10000;
constexpr ui::Color Red{255, 0, 0};
constexpr ui::Color Yellow{255, 255, 0};

ui::Control* box(Client& c, int k) { return c.pic1->find("ImgProp", k); }

void hideBox(ui::Control& b) {
    b.setVisible(false);
    b.setEnabled(false);
}

long whole(double v) { return static_cast<long>(std::nearbyint(v)); }

bool takesPart(const platform::PropBoxInfo& info, int slot) {
    return !info[0][static_cast<std::size_t>(slot)].empty() || !info[1][static_cast<std::size_t>(slot)].empty();
}

// The settlement the phase ends in, once.
void settle(Client& c) {
    c.props.boxPhaseOn = false;
    if (c.showSettlement) c.showSettlement(c);
    if (c.props.propGameDllState >= 1 && c.props.propDll) c.props.propDll->initShowNext(false);
}

void placeClosedBox(Client& c, int k, bool enabled) {
    ui::Control* b = box(c, k);
    if (!b) throw std::runtime_error("treasure box " + std::to_string(k) + " is not loaded");
    const auto& l = c.props.layout;
    const auto& pos = l.boxPos[static_cast<std::size_t>(k)];
    b->move(static_cast<double>(pos[0]), static_cast<double>(pos[1]), static_cast<double>(l.boxSize[0]),
            static_cast<double>(l.boxSize[1]));
    b->setStretch(true);
    b->setPicture(l.closedPic);
    b->setVisible(true);
    b->setEnabled(enabled);
    b->bringToFront();
}

// Moves box k in five steps, pumping events between them; stops when the box
// is gone meanwhile (the plug-in shut down).
void moveBao(Client& c, long x1, long y1, long x2, long y2, int k) {
    const auto dx = static_cast<float>(x2 - x1) / FlightSteps;
    const auto dy = static_cast<float>(y2 - y1) / FlightSteps;
    for (int i = 1; i <= FlightSteps; ++i) {
        ui::Control* b = box(c, k);
        if (!b) return;
        b->move(static_cast<double>(static_cast<float>(x1) + static_cast<float>(i) * dx),
                static_cast<double>(static_cast<float>(y1) + static_cast<float>(i) * dy));
        link::waitSeconds(c.p.clock, FlightStepSeconds);
    }
}

void openBaoXiang(Client& c, int k, bool toCentre, int slot) {
    ui::Control* b = box(c, k);
    if (!b || slot < 0 || slot > 3) return;
    const auto& l = c.props.layout;
    if (toCentre) {
        b->setEnabled(false);
        const int group = k / 5 * 5;
        for (int other = group; other < group + 5; ++other) {
            ui::Control* o = box(c, other);
            if (o && other != k && o->visible()) hideBox(*o);
        }
        moveBao(c, whole(b->left()), whole(b->top()), whole(l.openCentre[0] - l.boxSize[0] / 2.0),
                whole(l.openCentre[1] - l.boxSize[1] / 2.0), k);
        if (ui::Control* still = box(c, k)) still->setVisible(false);
        return;
    }
    const long left = whole(l.openCentre[0] - l.openSize[0] / 2.0);
    const long top = whole(l.openCentre[1] - l.openSize[1] / 2.0);
    b->move(static_cast<double>(left), static_cast<double>(top), static_cast<double>(l.openSize[0]),
            static_cast<double>(l.openSize[1]));
    b->setStretch(true);
    b->setPicture(l.openPic);
    b->setVisible(true);
    b->bringToFront();
    const auto& target = l.seatTarget[static_cast<std::size_t>(slot)];
    moveBao(c, left, top, target[0], target[1], k);
}

void setPrompt(Client& c, const std::string& prompt, int seconds) {
    propLabel(c).setCaption(prompt + LineBreak + std::to_string(seconds));
}

void showRewards(Client& c, int tick) {
    auto& s = c.props;
    auto& lay = s.rewardLayout;
    const auto& reward = c.results.box.reward;
    std::string text;
    auto join = [&text](const std::string& line) {
        if (!text.empty()) text += LineBreak;
        text += line;
    };
    if (tick < s.rewardTickLimit) {
        for (std::size_t k = 0; k < 4; ++k) {
            if (reward[k] == 0) continue;
            join(rewardLine(s.rewardNames[k], results::amountText(std::nearbyint(lay.shown[k])), lay.amountWidth));
            lay.shown[k] += lay.step[k];
        }
    } else {
        if (c.loadChatWindows) c.loadChatWindows(c);
        ui::ListBox* history = c.talkText1;
        auto toHistory = [&c, history](const std::string& line) {
            if (!history) return;
            link::addWrappedText(c.p.codec, *history, line, HistoryWidth);
            if (history->listCount() > 0) history->setTopIndex(history->listCount() - 1);
        };
        for (std::size_t k = 0; k < 4; ++k) {
            if (reward[k] != 0) {
                const std::string line = rewardLine(s.rewardNames[k], results::amountText(reward[k]), lay.amountWidth);
                const bool first = text.empty();
                join(line);
                toHistory(first ? line : line.substr(0, line.size() - std::string(Gold).size()));
            }
            for (const auto& item : boxItems(s.boxInfo[1][k])) {
                join(item);
                toHistory(item);
            }
        }
        addToMessageStrip(c, text);
    }
    propLabel(c).setCaption(text);
    propLabel(c).bringToFront();
}

void setUpRewards(Client& c) {
    auto& s = c.props;
    for (std::size_t k = 0; k < 4; ++k) s.rewardNames[k] = s.boxInfo[0][k];
    const RewardLabel r = rewardLabel(c.p.codec, s.boxInfo, c.results.box.reward, s.rewardTickLimit);
    s.rewardLayout = r.layout;
    ui::Label& label = propLabel(c);
    label.setCaption("");
    double width = r.width;
    double height = r.height;
    double left = static_cast<double>(s.layout.promptCentre[0]) - width / 2;
    double top = static_cast<double>(s.layout.promptCentre[1]);
    // Names, amounts and items come from the plug-in: however long they are,
    // the label stays on the table picture.
    const double tableWidth = c.pic1->width();
    const double tableHeight = c.pic1->height();
    if (tableWidth > 0 && tableHeight > 0) {
        width = std::min(width, tableWidth);
        height = std::min(height, tableHeight);
        left = std::clamp(left, 0.0, tableWidth - width);
        top = std::clamp(top, 0.0, tableHeight - height);
    }
    label.move(left, top, width, height);
    label.setAlignment(ui::Control::Align::Center);
    label.setForeColor(Yellow);
    label.setVisible(true);
    label.bringToFront();
}

}  // namespace

std::vector<std::string> boxItems(const std::string& text) {
    std::vector<std::string> out;
    if (text.empty()) return out;
    std::size_t from = 0;
    while (true) {
        const std::size_t bar = text.find('|', from);
        out.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
        if (bar == std::string::npos) return out;
        from = bar + 1;
    }
}

std::string rewardLine(const std::string& name, const std::string& amount, int amountWidth) {
    const int have = static_cast<int>(link::utf8Chars(amount).size());
    return name + std::string(static_cast<std::size_t>(std::max(0, amountWidth - have)), ' ') + amount + Gold;
}

RewardLabel rewardLabel(const platform::TextCodec& codec, const platform::PropBoxInfo& boxInfo,
                        const platform::PropRewards& reward, int tickLimit) {
    RewardLabel out;
    auto& lay = out.layout;
    const int limit = std::max(1, tickLimit);
    for (const auto& name : boxInfo[0]) lay.nameWidth = std::max(lay.nameWidth, textWidthUnits(codec, name));
    int lines = 0;
    double top = 0;
    int itemWidth = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        if (reward[k] > 0) {
            top = std::max(top, reward[k]);
            lay.step[k] = reward[k] / limit;
            lines += 2;
        }
        for (const auto& item : boxItems(boxInfo[1][k])) {
            itemWidth = std::max(itemWidth, textWidthUnits(codec, item));
            ++lines;
        }
    }
    out.height = lines <= 2 ? PromptHeight : lines * 30.0;
    lay.amountWidth = static_cast<int>(results::amountText(top).size());
    const int text = lay.amountWidth + lay.nameWidth;
    out.width = (text > itemWidth ? text + 4 : itemWidth + 4) * UnitWidth;
    return out;
}

platform::PropBoxTiming boundedRewardTiming(const platform::PropBoxTiming& asked) {
    const long interval = std::clamp<long>(asked[0], 1, MaxTimerInterval);
    long ticks = std::max<long>(asked[1], 1);
    ticks = std::min(ticks, std::max<long>(1, MaxRewardDisplayMs / interval));
    return {static_cast<int>(interval), static_cast<int>(ticks)};
}

int randomPick(PropsState& s) {
    // A 32-bit linear congruential generator; the pick needs no more.
    s.randomState = s.randomState * 1664525U + 1013904223U;
    const double u = static_cast<double>(s.randomState >> 8) / static_cast<double>(1U << 24);
    return static_cast<int>(std::nearbyint(u * 4));
}

void startBaoXiang(Client& c) {
    auto& s = c.props;
    // The phase is bounded by its own countdown and display from here.
    if (c.results.handOffGuard) c.results.handOffGuard->setEnabled(false);
    s.boxPhaseOn = true;
    try {
        propLabel(c).setCaption("");
        s.baoChs.fill(-1);
        int j = 0;
        while (j < 4 && !takesPart(s.boxInfo, j)) ++j;
        if (j == 4) return settle(c);
        std::string prompt;
        if (j == 0) {
            for (int k = 0; k < 5; ++k) placeClosedBox(c, k, true);
            prompt = ChoosePrompt;
        } else {
            int g = 0;
            for (int l = 1; l <= 3; ++l) {
                if (!takesPart(s.boxInfo, l)) continue;
                for (int k = 5 * g; k < 5 * g + 5; ++k) placeClosedBox(c, k, false);
                s.baoChs[static_cast<std::size_t>(l)] = 5 * g + randomPick(s);
                ++g;
            }
            prompt = WaitOthersPrompt;
        }
        ui::Label& label = propLabel(c);
        label.setAlignment(ui::Control::Align::Center);
        const double w = textWidthUnits(c.p.codec, prompt) * UnitWidth;
        label.move(static_cast<double>(s.layout.promptCentre[0]) - w / 2, static_cast<double>(s.layout.promptCentre[1]),
                   w, PromptHeight);
        setPrompt(c, prompt, PromptSeconds);
        label.setForeColor(Red);
        label.setVisible(true);
        label.bringToFront();
        s.propLabelOn = false;
        s.boxPromptOn = true;
        s.boxPromptTicks = 0;
        s.boxPromptSec = PromptSeconds;
    } catch (const std::exception& e) {
        c.log(std::string("treasure boxes could not be set up (") + e.what() + "); the hand is settled without them");
        for (int k = 0; k < platform::PropBoxCount; ++k) {
            if (ui::Control* b = box(c, k)) hideBox(*b);
        }
        if (s.lbProp) s.lbProp->setVisible(false);
        settle(c);
    }
}

void boxCountdownTick(Client& c) {
    auto& s = c.props;
    if (!s.boxPromptOn) return;
    if (++s.boxPromptTicks < TicksPerSecond) return;
    s.boxPromptTicks = 0;
    --s.boxPromptSec;
    if (s.boxChosen) {
        s.boxPromptOn = false;
        return;
    }
    if (!(c.results.box.reward[0] > 0) && s.boxInfo[1][0].empty()) {
        setPrompt(c, WaitPrompt, s.boxPromptSec);
        if (s.boxPromptSec <= 2) {
            s.boxPromptOn = false;
            playBaoXiang(c, -1);
        }
        return;
    }
    setPrompt(c, ChoosePrompt, s.boxPromptSec);
    if (s.boxPromptSec < 1) {
        s.boxPromptOn = false;
        playBaoXiang(c, randomPick(s));
    }
}

void boxClicked(Client& c, int index) {
    auto& s = c.props;
    if (index < 0 || index >= platform::PropBoxCount) return;
    if (s.propGameDllState != PropStateBoxes) {
        for (int k = 1; k < platform::PropBoxCount; ++k) (void)c.pic1->unloadElement("ImgProp", k);
        return;
    }
    // Only a box still offered takes a click.
    ui::Control* b = box(c, index);
    if (s.boxChosen || !s.boxPhaseOn || !b || !b->visible() || !b->enabled()) return;
    s.boxChosen = true;
    playBaoXiang(c, index);
}

void playBaoXiang(Client& c, int choice) {
    auto& s = c.props;
    if (choice == -1) {
        for (int i = 1; i <= 3; ++i) {
            const int k = s.baoChs[static_cast<std::size_t>(i)];
            if (k != -1) openBaoXiang(c, k, true, 0);
        }
    } else {
        s.baoChs[0] = choice;
        openBaoXiang(c, choice, true, 0);
    }
    // The plug-in may have gone during the flights; then the phase is over.
    if (!s.boxPhaseOn) return;
    for (int k : s.baoChs) {
        if (k == -1) continue;
        if (ui::Control* b = box(c, k)) hideBox(*b);
    }
    if (s.propGameDllState == PropStateBoxes && s.propDll) s.propDll->showGif(1, true);
    const auto timing = boundedRewardTiming(s.layout.rewardTiming);
    s.timerProp->setInterval(platform::Millis(timing[0]));
    s.rewardTicks = 0;
    s.rewardShowing = true;
    s.propLabelOn = false;
    s.rewardTickLimit = timing[1];
    setUpRewards(c);
    s.timerProp->setEnabled(true);
}

void rewardTick(Client& c) {
    auto& s = c.props;
    ++s.rewardTicks;
    if (s.rewardTicks < s.rewardTickLimit) {
        showRewards(c, s.rewardTicks);
        s.timerProp->setEnabled(true);
        return;
    }
    s.rewardShowing = false;
    s.rewardTicks = 0;
    showRewards(c, s.rewardTickLimit);
    if (s.propGameDllState > 0 && s.propDll) s.propDll->showGif(1, false);
    if (s.baoChs[0] == -1) {
        for (int i = 1; i <= 3; ++i) {
            const int k = s.baoChs[static_cast<std::size_t>(i)];
            if (k != -1) openBaoXiang(c, k, false, i);
        }
    } else {
        openBaoXiang(c, s.baoChs[0], false, 0);
    }
    if (!s.boxPhaseOn) return;
    s.boxPhaseOn = false;
    if (c.showSettlement) c.showSettlement(c);
    if (s.propGameDllState > 0 && s.propDll) {
        s.propDll->initShowNext(false);
        link::sleepSeconds(c.p.clock, 1);
        propLabel(c).setVisible(false);
    }
}

}  // namespace mj::props
