// chat_windows_test.cpp: the phrase lists from chat.ini, sending a phrase,
// receiving one, and opening and closing the two windows.
#include <gtest/gtest.h>

#include "shell/chat_fixture.h"
#include "shell/chat_install.h"

namespace mj::test {
namespace {

class ChatWindowsTest : public ChatFixture {
protected:
    const std::string iniPath = "C:\\game\\mj\\chat.ini";

    void writePhrases() {
        sim.ini.write(iniPath, "Phrase1", "num", "3");
        sim.ini.write(iniPath, "Phrase1", "1", "大家好");
        sim.ini.write(iniPath, "Phrase1", "3", "快点吧");  // key 2 missing
        sim.ini.write(iniPath, "Phrase2", "num", "2个");
        sim.ini.write(iniPath, "Phrase2", "1", "再见");
        sim.ini.write(iniPath, "Phrase2", "2", " 谢谢 ");
    }
    shell::ChatWindows& windows() {
        shell::ensureHuifuLoaded(*client);
        return shell::chatWindows(*client);
    }
    void click(const char* area) { client->mainForm.find(area)->onClick(); }

    WireMessage phraseFrom(int view, int kind, int number, const std::string& text) {
        WireMessage m = message(CmdChat, static_cast<std::uint8_t>(1u << view));
        setValue(m, 0, kind);
        setValue(m, 3, number);
        setText(m, 16, sim.codec.toGbk(text));
        return m;
    }
};

TEST(LeadingNumber, TakesTheNumericStartOfTheValue) {
    const struct {
        const char* in;
        int n;
    } cases[] = {{"3", 3}, {"12abc", 12}, {"", 0}, {"x3", 0}, {"-4", 0}, {"99999999999", 0}};
    for (const auto& c : cases) EXPECT_EQ(shell::leadingNumber(c.in), c.n) << c.in;
}

TEST_F(ChatWindowsTest, PhraseListsKeepTheFileNumbering) {
    writePhrases();
    auto& w = windows();
    EXPECT_EQ(w.list1->items(), (std::vector<std::string>{"大家好", "", "快点吧"}));
    EXPECT_EQ(w.list2->items(), (std::vector<std::string>{"再见", "谢谢"}));
    EXPECT_EQ(client->phrases1, w.list1->items());
    EXPECT_EQ(w.huifu.alpha(), shell::PopupAlpha);
}

TEST_F(ChatWindowsTest, NoFileGivesEmptyListsAndAHugeCountIsCapped) {
    EXPECT_EQ(windows().list1->listCount(), 0);
    // A fresh client reads the file once, at the window's first use.
    sim.ini.write(iniPath, "Phrase1", "num", "100000");
    client.reset();
    client.emplace(sim.platform);
    EXPECT_EQ(windows().list1->listCount(), shell::MaxPhrases);
}

TEST_F(ChatWindowsTest, DoubleClickSendsThePhraseByListAndIndex) {
    writePhrases();
    auto& w = windows();
    w.list2->setListIndex(1);
    type("丢掉");
    w.huifu.setVisible(true);
    w.list2->onDblClick();
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张说道: 谢谢");
    EXPECT_EQ(sent[0].value(0), 2);
    EXPECT_EQ(sent[0].value(3), 2);
    EXPECT_EQ(box->text(), "");
    EXPECT_FALSE(w.huifu.visible());
}

TEST_F(ChatWindowsTest, PhraseGoesPrivateWhileTheBoxHoldsThePrefix) {
    writePhrases();
    auto& w = windows();
    shell::touClick(*client, 1);
    type("打的字");
    w.list1->setListIndex(0);
    w.list1->onDblClick();
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张对阿明说: 大家好");
    EXPECT_EQ(sent[0].value(1), 2);
    EXPECT_TRUE(client->dispatch.replyPrefix.empty());
}

TEST_F(ChatWindowsTest, NothingSelectedOrABlankPhraseSendsNothing) {
    writePhrases();
    auto& w = windows();
    w.list1->onDblClick();
    w.list1->setListIndex(1);
    w.list1->onDblClick();
    EXPECT_TRUE(sentChats().empty());
}

TEST_F(ChatWindowsTest, ReceivedPhraseShowsTheOwnPhraseInABubbleAndTheSendersLineInHistory) {
    writePhrases();
    ASSERT_FALSE(receive(phraseFrom(2, 1, 3, "Bob说道: 快点吧小张")));
    auto& bubble = shell::chatWindows(*client).bubbles[2];
    ASSERT_NE(bubble, nullptr);
    EXPECT_EQ(bubble->labPhrase->caption(), "快点吧");
    EXPECT_TRUE(bubble->form.visible());
    ASSERT_FALSE(history().empty());
    EXPECT_EQ(history().back(), "Bob说道: 快点吧你 ");

    // An index the own file lacks: the line still, but no bubble for view 1.
    ASSERT_FALSE(receive(phraseFrom(1, 2, 5, "阿明说道: 开外挂吗")));
    EXPECT_EQ(shell::chatWindows(*client).bubbles[1], nullptr);
    EXPECT_EQ(history().back(), "阿明说道: 吗 ");
}

TEST_F(ChatWindowsTest, PhraseAreasOpenSwitchAndClose) {
    auto& w = windows();
    client->talk.setVisible(true);
    click("imgword1");
    EXPECT_FALSE(client->talk.visible());
    EXPECT_TRUE(w.huifu.visible());
    EXPECT_TRUE(w.huifu.topmost());
    EXPECT_TRUE(w.list1->visible());
    EXPECT_FALSE(w.list2->visible());
    click("imgword2");
    EXPECT_TRUE(w.huifu.visible());
    EXPECT_TRUE(w.list2->visible());
    EXPECT_FALSE(w.list1->visible());
    click("imgword2");
    EXPECT_FALSE(w.huifu.visible());
}

TEST_F(ChatWindowsTest, PhraseWindowSitsOverTheTableInBothLayouts) {
    auto& w = windows();
    client->mainForm.move(1500, 3000);
    click("imgword1");
    const auto& pic = *client->pic1;
    EXPECT_DOUBLE_EQ(w.huifu.left(), 1500 + pic.left() + pic.width() * 0.30);
    EXPECT_DOUBLE_EQ(w.huifu.top(), 3000 + pic.top() + pic.height() * 0.66);
    click("imgword1");
    client->link.scaleX = client->link.scaleY = 0.78125;
    click("Lbchat");
    const auto& m = client->mainForm;
    EXPECT_DOUBLE_EQ(client->talk.left(), 1500 + pic.left() + m.width() * 0.22);
    EXPECT_DOUBLE_EQ(client->talk.top(), 3000 + pic.top() + m.height() * 0.60);
    EXPECT_TRUE(client->talk.visible());
    click("Lbchat");
    EXPECT_FALSE(client->talk.visible());
}

TEST_F(ChatWindowsTest, AltThenCClosesTheHistoryOnlyWithoutAKeyBetween) {
    client->talk.setVisible(true);
    for (int key : {18, 65, 67}) shell::talkKeyDown(*client, key);
    EXPECT_TRUE(client->talk.visible());
    for (int key : {67, 18}) shell::talkKeyDown(*client, key);
    EXPECT_FALSE(client->talk.visible());
    EXPECT_EQ(client->shell.altCKeyState, (std::array<int, 2>{0, 0}));
}

}  // namespace
}  // namespace mj::test
