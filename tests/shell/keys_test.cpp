// keys_test.cpp: the boss key, Alt then C, Esc, typing on the table, table
// clicks and the pointer over the table.
#include <gtest/gtest.h>

#include "shell/keys.h"
#include "shell/shell_fixture.h"

namespace mj::test {
namespace {

class KeysTest : public ShellFixture {
protected:
    void keyOn(ui::Control& target, int key) {
        ASSERT_TRUE(target.onKeyDown);
        target.onKeyDown(key, 0);
    }
    void keys(ui::Control& target, std::initializer_list<int> codes) {
        for (int k : codes) keyOn(target, k);
    }
};

TEST_F(KeysTest, BossKeyRunsOnceFromEveryControl) {
    ui::Control* targets[] = {client->pic1, client->pic2, box, client->sysmsg[0]};
    for (ui::Control* target : targets) {
        client->mainForm.setWindowState(ui::Form::WindowState::Normal);
        loadPlugin();
        sim.hall.minimized.clear();
        client->talk.setVisible(true);
        client->results.hero->setVisible(true);
        windows().vosSet.get().setVisible(true);
        windows().information.get().setVisible(true);
        keyOn(*target, shell::KeyF1);
        EXPECT_EQ(plugin->keys, std::vector<int>{shell::KeyF1}) << target->name();
        EXPECT_EQ(sim.hall.minimized.size(), 1u) << target->name();
        EXPECT_TRUE(minimized());
        EXPECT_TRUE(client->shell.bossKeyOn);
        EXPECT_EQ(client->link.countdownStart, 0);
        EXPECT_FALSE(client->talk.visible());
        EXPECT_FALSE(client->results.hero->visible());
        EXPECT_FALSE(windows().vosSet.shown());
        EXPECT_FALSE(windows().information.isLoaded());
    }
}

TEST_F(KeysTest, RestoringTheWindowEndsTheBossKey) {
    keyOn(*client->pic1, shell::KeyF1);
    client->mainForm.setWindowState(ui::Form::WindowState::Normal);
    EXPECT_FALSE(client->shell.bossKeyOn);
    EXPECT_EQ(client->link.countdownStart, 8);
}

TEST_F(KeysTest, FunctionKeysReachThePluginOnce) {
    loadPlugin();
    keyOn(*box, 114);
    keyOn(*client->pic1, 115);
    keyOn(*client->pic1, 118);  // F7 is not the plug-in's
    EXPECT_EQ(plugin->keys, (std::vector<int>{114, 115}));
}

TEST_F(KeysTest, AltThenCOpensTheHistory) {
    const struct {
        std::vector<int> keys;
        bool opens;
    } cases[] = {{{shell::KeyAlt, shell::KeyC}, true},
                 {{shell::KeyC, shell::KeyAlt}, true},
                 {{shell::KeyAlt, shell::KeyAlt, shell::KeyAlt, shell::KeyC}, true},
                 {{shell::KeyAlt, shell::KeyEsc, shell::KeyC}, true},
                 {{shell::KeyAlt, 88, shell::KeyC}, false},
                 {{shell::KeyC}, false}};
    for (const auto& k : cases) {
        client->talk.setVisible(false);
        client->shell.altCKeyState = {0, 0};
        for (int key : k.keys) keyOn(*client->pic1, key);
        EXPECT_EQ(client->talk.visible(), k.opens) << k.keys.size();
    }
}

TEST_F(KeysTest, EscTogglesTheExitDialogCentredOnTheWindow) {
    loadPlugin();
    client->link.inGame = true;
    keyOn(*client->pic1, shell::KeyEsc);
    ASSERT_TRUE(windows().frmExit.shown());
    const ui::Form& f = windows().frmExit.get();
    const ui::Form& m = client->mainForm;
    EXPECT_DOUBLE_EQ(f.left(), m.left() + (m.width() - f.width()) / 2);
    EXPECT_DOUBLE_EQ(f.top(), m.top() + (m.height() - f.height()) / 2);
    EXPECT_FALSE(f.topmost());
    EXPECT_TRUE(f.find("Label2")->visible());
    keyOn(*client->pic1, shell::KeyEsc);
    EXPECT_FALSE(windows().frmExit.shown());
    keyOn(*client->pic2, shell::KeyEsc);
    EXPECT_TRUE(windows().frmExit.shown());
    // The bank call comes from Pic1 only.
    EXPECT_EQ(plugin->bankStates, (std::vector<int>{2, 2}));
}

TEST_F(KeysTest, TheFirstCharacterTypedOnTheTableLandsInTheChatBox) {
    type("早");
    int key = 'a';
    client->pic1->onKeyPress(key);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(box->text(), "早a");
    EXPECT_EQ(box->selStart(), 2);
    // Not while the window is minimised.
    client->mainForm.setWindowState(ui::Form::WindowState::Minimized);
    key = 'b';
    client->pic1->onKeyPress(key);
    EXPECT_EQ(box->text(), "早a");
}

TEST_F(KeysTest, TableClickClosesThePopUpsButNotTheCard) {
    client->talk.setVisible(true);
    client->results.score->setVisible(true);
    windows().vosSet.get().setVisible(true);
    windows().frmExit.get().setVisible(true);
    windows().information.get().setVisible(true);
    client->pic1->onClick();
    EXPECT_FALSE(client->talk.visible());
    EXPECT_FALSE(client->results.score->visible());
    EXPECT_FALSE(windows().vosSet.shown());
    EXPECT_FALSE(windows().frmExit.shown());
    EXPECT_TRUE(windows().information.shown());
}

TEST_F(KeysTest, MessageStripClickTogglesTheHistory) {
    client->sysmsg[0]->onClick();
    EXPECT_TRUE(client->talk.visible());
    client->sysmsg[1]->onClick();
    EXPECT_FALSE(client->talk.visible());
}

class RaisedTileTest : public KeysTest {
protected:
    ui::Control* tile = nullptr;
    void SetUp() override {
        KeysTest::SetUp();
        auto& own = client->table.custom[0];
        own.firstConcealed = 4;
        own.concealedCount = 16;  // past the last slot
        own.handY = 600;
        for (auto& s : own.slots) s.img = -1;
        own.slots[5].img = 7;
        tile = table::tileControl(*client, 7);
        ASSERT_NE(tile, nullptr);
        tile->move(100, own.handY - 10, 40, 57);
        client->table.anNiuState[2] = true;
    }
    void pointerAt(double x, double y) { client->pic1->onMouseMove({0, 0, x, y}); }
};

TEST_F(RaisedTileTest, StaysWhileThePointerIsOnItOrInTheGapBelow) {
    pointerAt(120, 600);  // on the tile
    pointerAt(120, 645);  // in the 10 pixels it was lifted by
    EXPECT_EQ(tile->top(), 590);
    pointerAt(90, 600);  // left of it
    EXPECT_EQ(tile->top(), 600);
    // The hand's count is the hand's, not the pointer's.
    EXPECT_EQ(client->table.custom[0].concealedCount, 16);
}

TEST_F(RaisedTileTest, AWatcherOrAnArmedStartButtonLeavesItRaised) {
    client->table.anNiuState[2] = false;
    pointerAt(0, 0);
    EXPECT_EQ(tile->top(), 590);
}

TEST_F(KeysTest, PointerOverTheTableEndsEveryHover) {
    loadPlugin();
    client->video.qvVideoSeat = 3;
    client->shell.bankHover = true;
    windows().information.get().setVisible(true);
    client->pic1->onMouseMove({});
    EXPECT_EQ(plugin->videos, (std::vector<std::pair<int, bool>>{{2, false}}));
    EXPECT_EQ(client->video.qvVideoSeat, 0);
    EXPECT_FALSE(client->shell.bankHover);
    EXPECT_EQ(shownResource(control(*client, "Bank")), link::BankNormalId);
    EXPECT_FALSE(windows().information.shown());
}

}  // namespace
}  // namespace mj::test
