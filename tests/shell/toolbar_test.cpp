// toolbar_test.cpp: the toolbar's pictures, the start button's states and the
// windows the buttons open.
#include <gtest/gtest.h>

#include <cmath>

#include "shell/browsers.h"
#include "shell/chat_windows.h"
#include "shell/keys.h"
#include "shell/shell_fixture.h"
#include "shell/toolbar.h"

namespace mj::test {
namespace {

class ToolbarTest : public ShellFixture {
protected:
    void click(int i) { button(i).onClick(); }
    void hover(int i) { button(i).onMouseMove({}); }
    void armStart() { client->table.anNiuState[2] = false; }
};

TEST_F(ToolbarTest, HoverAndRestorePicturesFollowTheTable) {
    // Button: normal, hover resource at the large scale (start pair for 2).
    const struct {
        int button, normal, hover;
    } cases[] = {{0, 101, 102}, {1, 103, 104}, {2, 105, 106}, {3, 109, 110}, {4, 111, 112},
                 {5, 113, 114}, {6, 115, 116}, {7, 117, 118}, {8, 119, 120}};
    for (const auto& k : cases) {
        EXPECT_EQ(buttonPicture(k.button), k.normal) << k.button;
        hover(k.button);
        EXPECT_EQ(buttonPicture(k.button), k.hover) << k.button;
        EXPECT_EQ(button(k.button).toolTip(), shell::ToolbarTips[static_cast<std::size_t>(k.button)]);
    }
    client->pic1->onMouseMove({});
    for (const auto& k : cases) EXPECT_EQ(buttonPicture(k.button), k.normal) << k.button;
    for (bool h : client->table.anNiuHover) EXPECT_FALSE(h);
}

TEST_F(ToolbarTest, TheHoverPictureIsLoadedOncePerVisitButTheTipEveryMove) {
    hover(3);
    button(3).setPicture({});
    button(3).setToolTip("");
    hover(3);
    EXPECT_EQ(buttonPicture(3), 0);
    EXPECT_EQ(button(3).toolTip(), "游戏的基本设置");
}

TEST_F(ToolbarTest, StartReadiesOnceAndStopsTheCountdown) {
    armStart();
    client->link.readyCountdown.on = true;
    control(*client, "Number").setVisible(true);
    click(2);
    EXPECT_EQ(sentOf(CmdReady), 1);
    EXPECT_FALSE(client->link.readyCountdown.on);
    EXPECT_FALSE(control(*client, "Number").visible());
    EXPECT_TRUE(control(*client, "OK", 0).visible());
    EXPECT_TRUE(client->link.readySent);
    // Continue pair from now on, also on hover.
    EXPECT_EQ(buttonPicture(2), 107);
    hover(2);
    EXPECT_EQ(buttonPicture(2), 108);
    // The spent button does nothing, and the countdown does not fire later.
    click(2);
    EXPECT_FALSE(run(platform::Millis(20000)));
    EXPECT_EQ(sentOf(CmdReady), 0);
}

TEST_F(ToolbarTest, AWatcherHasNoStartButton) {
    client->link.launch.isSpectator = true;
    armStart();
    click(2);
    EXPECT_EQ(sentOf(CmdReady), 0);
    EXPECT_FALSE(client->table.anNiuState[2]);
}

TEST_F(ToolbarTest, StartOnABrokenUpTableLeavesForTheHall) {
    armStart();
    client->link.leaveAfterGame = true;
    click(2);
    EXPECT_EQ(sentOf(CmdReady), 0);  // also no leave message: both are command 16
    EXPECT_TRUE(minimized());
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
    // Until a hand or a profile clears the flag, it keeps leaving; without the
    // hall the client ends.
    sim.hall.windows.clear();
    EXPECT_THROW(click(2), platform::ProcessEnded);
}

TEST_F(ToolbarTest, StartOpensTheSeatChangeOnlyWhenBothFlagsAreSet) {
    auto& s = client->dispatch.seating;
    armStart();
    s.shuffleWanted = true;
    click(2);
    EXPECT_FALSE(s.shuffling);
    EXPECT_TRUE(s.shuffleWanted);

    armStart();
    s.randomSeatOn = true;
    click(2);
    EXPECT_TRUE(s.shuffling);
    EXPECT_FALSE(s.shuffleWanted);
    EXPECT_EQ(client->table.custom[0].seat, 0);
    auto& caption = control(*client, "LblShuffle");
    EXPECT_TRUE(caption.visible());
    std::vector<std::string> seen{caption.caption()};
    for (int i = 0; i < 5; ++i) {
        EXPECT_FALSE(run(platform::Millis(300)));
        seen.push_back(caption.caption());
    }
    const std::vector<std::string> dots{"正在随机换座中..",   "正在随机换座中..",    "正在随机换座中...",
                                        "正在随机换座中....", "正在随机换座中.....", "正在随机换座中.."};
    EXPECT_EQ(seen, dots);
}

TEST_F(ToolbarTest, TheReadyCountdownSpendsTheButtonAndOpensTheSeatChange) {
    armStart();
    auto& s = client->dispatch.seating;
    s.shuffleWanted = s.randomSeatOn = true;
    client->link.countdownSeconds = 0;
    client->link.readyCountdown = link::Task{true, 0};
    EXPECT_FALSE(run(platform::Millis(1100)));
    EXPECT_EQ(sentOf(CmdReady), 1);
    EXPECT_TRUE(client->table.anNiuState[2]);
    EXPECT_EQ(buttonPicture(2), 107);
    EXPECT_TRUE(s.shuffling);
    click(2);
    EXPECT_EQ(sentOf(CmdReady), 0);
}

TEST_F(ToolbarTest, SendButtonHasNoLimitAndServesWatchers) {
    // Two clicks within 800 ms both send, and the history is left alone.
    const auto historyBefore = history();
    type("你好");
    click(0);
    type("再来");
    click(0);
    auto sent = sentChats();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].text, "小张说道: 你好");
    EXPECT_EQ(sent[1].text, "小张说道: 再来");
    EXPECT_EQ(history(), historyBefore);
    EXPECT_TRUE(box->text().empty());
    // The button neither takes nor needs Enter's lock: Enter right after it
    // still sends.
    EXPECT_TRUE(client->shell.chatAllowed);

    client->link.launch.isSpectator = true;
    type("看客");
    click(0);
    sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张说道: 看客");
    // An empty box sends nothing and says nothing.
    click(0);
    EXPECT_TRUE(sentChats().empty());
    EXPECT_EQ(history(), historyBefore);
}

TEST_F(ToolbarTest, ExitButtonTogglesTheDialogOverTheTable) {
    loadPlugin();
    client->link.inGame = true;
    click(8);
    auto& holder = windows().frmExit;
    ASSERT_TRUE(holder.shown());
    ui::Form& f = holder.get();
    EXPECT_TRUE(f.topmost());
    EXPECT_TRUE(f.find("Label2")->visible());
    const auto& m = client->mainForm;
    EXPECT_DOUBLE_EQ(f.left(), std::lround(m.left() / 15 + (client->pic1->width() / 15 - 320) / 2) * 15.0);
    click(8);
    EXPECT_FALSE(holder.shown());
    EXPECT_EQ(plugin->bankStates, (std::vector<int>{2, 2}));
    // A watcher is warned of nothing.
    client->link.launch.isSpectator = true;
    click(8);
    EXPECT_FALSE(f.find("Label2")->visible());
}

TEST_F(ToolbarTest, SettingsBoardsAndRules) {
    click(3);
    ASSERT_TRUE(windows().vosSet.shown());
    const ui::Form& v = windows().vosSet.get();
    const auto& m = client->mainForm;
    EXPECT_DOUBLE_EQ(v.left(), m.left() + client->pic1->left() + client->pic1->width() - 1.1 * v.width());
    click(3);
    EXPECT_FALSE(windows().vosSet.shown());

    click(6);
    EXPECT_TRUE(client->results.hero->visible());
    click(6);
    EXPECT_FALSE(client->results.hero->visible());

    click(7);
    EXPECT_EQ(sim.process.opened, std::vector<std::string>{"http://127.0.0.1/gameinfo/tovek/index.php"});
}

// Each pop-up shows its own picture (with its close mark) under its lists,
// labels and close areas; on the boards the picture also drags the board.
TEST_F(ToolbarTest, PopUpsShowTheirPictureUnderEverythingElse) {
    shell::ensureTalkLoaded(*client);
    shell::ensureHuifuLoaded(*client);
    struct Case {
        ui::Form* form;
        int picture;
        bool drags;
    };
    const Case cases[] = {{client->results.score.get(), 1047, true},
                          {client->results.hero.get(), 1048, true},
                          {&client->talk, 1049, false},
                          {&shell::chatWindows(*client).huifu, 1024, false}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.form->caption() + " " + std::to_string(k.picture));
        ui::Control* back = k.form->find("Background");
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(shownResource(*back), k.picture);
        EXPECT_EQ(k.form->zIndexOf(*back), 0);
        EXPECT_DOUBLE_EQ(back->left(), 0);
        EXPECT_DOUBLE_EQ(back->top(), 0);
        EXPECT_DOUBLE_EQ(back->width(), k.form->width());
        EXPECT_DOUBLE_EQ(back->height(), k.form->height());
        if (ui::Control* close = k.form->find("Image1", 0)) {
            EXPECT_GT(k.form->zIndexOf(*close), 0);
        }
        bool dragged = false;
        k.form->moveWithMouse = [&dragged] { dragged = true; };
        if (back->onMouseDown) back->onMouseDown(ui::MouseEvent{});
        EXPECT_EQ(dragged, k.drags);
    }
}

// The chat-history area has no words of its own; the table picture has them.
TEST_F(ToolbarTest, ChatHistoryAreaHasNoCaption) { EXPECT_EQ(control(*client, "Lbchat").caption(), ""); }

TEST_F(ToolbarTest, MinimiseButtonHidesTheSideWindowsAndPressesTheBossKey) {
    client->results.score->setVisible(true);
    client->talk.setVisible(true);
    click(4);
    EXPECT_FALSE(client->results.score->visible());
    EXPECT_FALSE(client->talk.visible());
    EXPECT_TRUE(client->shell.bossKeyOn);
    EXPECT_TRUE(minimized());
    EXPECT_EQ(sim.hall.minimized.size(), 1u);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(ToolbarTest, TheChatButtonFlashesAndTheLastFlashIsLit) {
    // The blink task's runs after a received line: the count before each run
    // and the picture the run leaves (104 lit, 103 normal).
    client->link.receivedText.chatBlink = 8;
    client->link.blinkTask = link::Task{true, 0};
    std::vector<int> seen;
    for (int run = 0; run < 9; ++run) {
        const int before = client->link.receivedText.chatBlink;
        client->onChatButtonBlink(*client, before);
        if (before > 0) --client->link.receivedText.chatBlink;
        seen.push_back(buttonPicture(1));
    }
    EXPECT_EQ(seen, (std::vector<int>{103, 104, 103, 104, 103, 104, 103, 104, 103}));
}

TEST_F(ToolbarTest, TheTablesResetTakesTheChatWindowAway) {
    client->talk.setVisible(true);
    client->resetTableForHand(*client);
    EXPECT_FALSE(client->talk.visible());
}

}  // namespace
}  // namespace mj::test
