// chat_input_test.cpp: typed lines, the rate limit, private lines and the
// backspace into the reply prefix.
#include <gtest/gtest.h>

#include "shell/chat_fixture.h"

namespace mj::test {
namespace {

using ChatInput = ChatFixture;

TEST_F(ChatInput, EnterSendsThePublicLineInGbkWithZerosAfterIt) {
    type("你好abc");
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张说道: 你好abc");
    EXPECT_EQ(sent[0].bytes[wire::Seat], OwnSeat);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(sent[0].value(k), 0) << k;
    const std::string gbk = sim.codec.toGbk("小张说道: 你好abc");
    EXPECT_EQ(std::string(sent[0].bytes.begin() + 16, sent[0].bytes.begin() + 16 + gbk.size()), gbk);
    for (std::size_t i = 16 + gbk.size(); i < 260; ++i) EXPECT_EQ(sent[0].bytes[i], 0) << i;
    EXPECT_EQ(box->text(), "");
}

TEST_F(ChatInput, RateLimitRefusesASecondLineWithin800Ms) {
    type("一");
    press(13);
    ASSERT_FALSE(run(platform::Millis(300)));
    type("二");
    press(13);
    EXPECT_EQ(box->text(), "");
    ASSERT_FALSE(history().empty());
    EXPECT_EQ(history().back(), shell::TooFastText);
    EXPECT_EQ(shell::talkHistory(*client).topIndex(), static_cast<int>(history().size()) - 1);
    ASSERT_EQ(sentChats().size(), 1u);

    ASSERT_FALSE(run(platform::Millis(500)));
    type("三");
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张说道: 三");
}

TEST_F(ChatInput, EnterOnAnEmptyBoxTakesTheLock) {
    press(13);
    type("快");
    press(13);
    EXPECT_TRUE(sentChats().empty());
    EXPECT_EQ(history().back(), shell::TooFastText);
}

TEST_F(ChatInput, SpectatorEnterDoesNothing) {
    client->link.launch.isSpectator = true;
    type("看客");
    press(13);
    EXPECT_TRUE(sentChats().empty());
    EXPECT_EQ(box->text(), "看客");
    EXPECT_TRUE(client->shell.chatAllowed);
}

TEST_F(ChatInput, LineThatFiltersToNothingIsNotSent) {
    type("开外挂");
    press(13);
    EXPECT_TRUE(sentChats().empty());
}

TEST_F(ChatInput, ComposedLineIsCutTo100Characters) {
    type(std::string(120, 'x'));
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    // 小张说道: is 6 characters; the cut counts them.
    EXPECT_EQ(sent[0].text, "小张说道: " + std::string(94, 'x'));
}

TEST_F(ChatInput, FaceClickAddressesAMateAndTheLineGoesPrivate) {
    type("ab");
    client->mainForm.find("Tou", 2)->onClick();
    EXPECT_EQ(box->text(), "你对Bob说: ab");
    client->mainForm.find("Tou", 1)->onClick();
    EXPECT_EQ(box->text(), "你对阿明说: ab");
    EXPECT_EQ(client->dispatch.replySeat, 2);
    EXPECT_TRUE(client->shell.chatHasFocus);
    type("c");
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张对阿明说: abc");
    EXPECT_EQ(sent[0].value(1), 2);
    EXPECT_TRUE(client->dispatch.replyPrefix.empty());
}

TEST_F(ChatInput, OwnFaceOrLoggedOutClickDoesNothing) {
    client->mainForm.find("Tou", 0)->onClick();
    client->link.loggedIn = false;
    client->mainForm.find("Tou", 1)->onClick();
    EXPECT_EQ(box->text(), "");
    EXPECT_TRUE(client->dispatch.replyPrefix.empty());
}

TEST_F(ChatInput, BarePrefixSendsNothing) {
    for (const char* extra : {"", "  "}) {
        shell::touClick(*client, 1);
        type(extra);
        client->shell.chatAllowed = true;
        press(13);
        EXPECT_TRUE(sentChats().empty()) << '[' << extra << ']';
        box->setText("");
    }
}

TEST_F(ChatInput, MateNameWithAFilteredWordStaysPrivate) {
    shell::touClick(*client, 3);
    type("你好色情");
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].value(1), 8);
    EXPECT_EQ(sent[0].text, "小张对赌博王说: 你好");
}

TEST_F(ChatInput, TextTypedBeforeThePrefixKeepsTheLinePrivateAndWhole) {
    shell::touClick(*client, 2);
    box->setText("嗨" + box->text() + "好");
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].value(1), 4);
    EXPECT_EQ(sent[0].text, "小张对Bob说: 嗨好");
}

TEST_F(ChatInput, BackspaceIntoThePrefixDropsTheAddressing) {
    shell::touClick(*client, 2);  // "你对Bob说: " is 8 characters
    type("xy");
    backspace();  // caret at the end: only the y goes
    EXPECT_EQ(box->text(), "你对Bob说: x");
    EXPECT_FALSE(client->dispatch.replyPrefix.empty());

    type("y");
    box->setSelStart(8);
    backspace();
    EXPECT_EQ(box->text(), "xy");
    EXPECT_TRUE(client->dispatch.replyPrefix.empty());
    EXPECT_EQ(client->dispatch.replySeat, 0);
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张说道: xy");
    EXPECT_EQ(sent[0].value(1), 0);
}

TEST_F(ChatInput, BackspaceAtTheStartLeavesNoFlagForLaterChanges) {
    shell::touClick(*client, 2);
    type("hi");
    box->setSelStart(0);
    backspace();  // deletes nothing
    press(13);
    const auto sent = sentChats();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].text, "小张对Bob说: hi");
    EXPECT_EQ(box->text(), "");  // the old text does not come back
}

TEST_F(ChatInput, MoreThan100HistoryLinesAreClearedAtTheNextKey) {
    auto& list = shell::talkHistory(*client);
    for (int i = 0; i < 101; ++i) list.addItem("line");
    press('a');
    EXPECT_EQ(list.listCount(), 0);
}

}  // namespace
}  // namespace mj::test
