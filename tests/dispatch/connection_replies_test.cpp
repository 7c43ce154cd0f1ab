// The login reply, the reconnect reply and the kick.
#include "dispatch/dispatch_fixture.h"
#include "link/hall_window.h"

namespace mj::test {
namespace {

using platform::Millis;

class LoginReplyTest : public DispatchFixture {
protected:
    static WireMessage loginReply(int status, int countdown = 8, int timeoutLimit = 0) {
        WireMessage m = message(18);
        setValue(m, 3, status);
        setValue(m, 1, countdown);
        m[9] = static_cast<std::uint8_t>(timeoutLimit);
        return m;
    }
};

TEST_F(LoginReplyTest, AcceptedTellsTheHallAndTakesTheServersLimits) {
    struct Case {
        int countdownValue;
        bool autoPlay;
        int countdownStart;
    };
    for (const Case& k : {Case{0x1F, false, 15}, Case{0x1F, true, 1}, Case{0x20, false, 0}, Case{9, false, 9}}) {
        SCOPED_TRACE(k.countdownValue);
        client->link.autoPlayOn = k.autoPlay;
        client->link.loginSent = true;
        const int postedBefore = sim.hall.count(link::HallLoggedIn);
        ASSERT_FALSE(receive(loginReply(1, k.countdownValue, 3)));
        EXPECT_EQ(client->link.countdownStart, k.countdownStart);
        EXPECT_EQ(client->link.timeoutLimit, 3);
        EXPECT_TRUE(client->link.loggedIn);
        EXPECT_TRUE(client->link.canReconnect);
        EXPECT_FALSE(client->link.loginSent);
        EXPECT_TRUE(client->timerKeepAlive->enabled());
        EXPECT_EQ(sim.hall.count(link::HallLoggedIn), postedBefore + 1);
        EXPECT_EQ(strip(0), "连接服务器成功！");
        // The welcome line names no web address.
        EXPECT_EQ(strip(1), "欢迎进入岚溪飞星局麻将 祝您游戏愉快！");
    }
}

TEST_F(LoginReplyTest, EveryRefusalRestoresTheHallAndEnds) {
    struct Case {
        int status;
        const char* text;
    };
    for (const Case& k : {Case{0, "验证错误，请重新登陆游戏！"}, Case{2, "启动游戏失败，请重新在大厅就座后进入游戏！"},
                          Case{3, "验证错误，请重新登陆游戏！"}}) {
        SCOPED_TRACE(k.status);
        client->link.juNum = 4;
        client->dispatch.sumScore[2] = 17.5;
        const auto restoredBefore = sim.hall.restored.size();
        const int pendingBefore = sim.hall.count(link::HallConnectPending);
        EXPECT_EQ(receive(loginReply(k.status)), 1);
        EXPECT_EQ(strip(0), k.text);
        EXPECT_EQ(sim.hall.count(link::HallConnectPending), pendingBefore + 1);
        ASSERT_EQ(sim.hall.restored.size(), restoredBefore + 1);
        EXPECT_EQ(sim.hall.restored.back(), HallWindow);
        EXPECT_EQ(client->link.juNum, 0);
        EXPECT_EQ(client->dispatch.sumScore[2], 0.0);
        EXPECT_FALSE(client->link.loggedIn);
        sim.process.endedWith.reset();
    }
}

TEST_F(LoginReplyTest, OnlyWebAddressesOpenTheBanner) {
    struct Case {
        std::string_view address;
        bool opened;
    };
    std::vector<std::string> navigated;
    client->dispatch.banner = std::make_unique<RecordingBrowser>(navigated);
    client->dispatch.adPageUrl = "before";
    for (const Case& k : {Case{"", false}, Case{"http://ads.example/a", true}, Case{"HTTPS://ads.example/b", true},
                          Case{"javascript:alert(1)", false}, Case{"file:///C:/x.exe", false},
                          Case{"http://a b", false}, Case{"http://", false}}) {
        SCOPED_TRACE(k.address);
        const auto before = navigated.size();
        const std::string pageBefore = client->dispatch.adPageUrl;
        WireMessage m = loginReply(1);
        setText(m, 16, k.address);
        ASSERT_FALSE(receive(m));
        if (k.opened) {
            ASSERT_EQ(navigated.size(), before + 1);
            EXPECT_EQ(navigated.back(), k.address);
            EXPECT_EQ(client->dispatch.adPageUrl, std::string(k.address) + ".gamead");
        } else {
            EXPECT_EQ(navigated.size(), before);
            EXPECT_EQ(client->dispatch.adPageUrl, pageBefore);
        }
    }
}

TEST_F(LoginReplyTest, AddressFieldEndsAtByte115) {
    std::vector<std::string> navigated;
    client->dispatch.banner = std::make_unique<RecordingBrowser>(navigated);
    WireMessage m = loginReply(1);
    const std::string full = "http://" + std::string(93, 'a');  // exactly bytes 16..115
    setText(m, 16, full + "zz");
    ASSERT_FALSE(receive(m));
    ASSERT_EQ(navigated.size(), 1u);
    EXPECT_EQ(navigated[0], full);
}

class ReconnectReplyTest : public DispatchFixture {};

TEST_F(ReconnectReplyTest, AcceptedResumesSending) {
    loadPlugin();
    WireMessage m = message(29);
    setValue(m, 3, 1);
    ASSERT_FALSE(receive(m));
    EXPECT_TRUE(client->link.reconnected);
    EXPECT_TRUE(client->link.loggedIn);
    EXPECT_TRUE(client->link.sendTask.on);
    EXPECT_EQ(plugin->states, (std::vector<std::pair<int, bool>>{{3, true}}));
    EXPECT_EQ(strip(0), "正在重连服务器，请等待...！");
}

TEST_F(ReconnectReplyTest, RefusedShowsTheBoxRestoresTheHallAndEnds) {
    loadPlugin();
    WireMessage m = message(29);
    setValue(m, 3, 2);
    EXPECT_EQ(receive(m), 1);
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.process.boxes[0].text, "重连服务器失败，退出后请重新入座！");
    EXPECT_EQ(plugin->exits, std::vector<int>{0});
    EXPECT_EQ(sim.hall.restored, std::vector<platform::WindowHandle>{HallWindow});
}

class KickTest : public DispatchFixture {
protected:
    std::string shown;
    void SetUp() override {
        DispatchFixture::SetUp();
        client->dispatch.showOtherExit = [this](link::Client&, const std::string& t) { shown = t; };
        client->link.inGame = true;
        client->link.linkCheck = link::Task{true, 0};
        client->link.canReconnect = true;
    }
};

TEST_F(KickTest, ClosesTheLinkShowsTheTextAndLeavesWithoutReconnecting) {
    WireMessage m = message(22);
    setText(m, 16, sim.codec.toGbk("服务器维护，再见"));
    const auto sleptBefore = sim.clock.totalSlept();
    ASSERT_FALSE(receive(m));
    EXPECT_EQ(shown, "服务器维护，再见");
    EXPECT_GE(sim.clock.totalSlept() - sleptBefore, Millis(2000));
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
    // The socket was closed before the leave, so no leave message went out.
    EXPECT_TRUE(sim.socket.sentMessages().empty());
    EXPECT_FALSE(client->link.inGame);
    EXPECT_FALSE(client->link.linkCheck.on);
    EXPECT_FALSE(client->link.canReconnect);
    EXPECT_TRUE(client->link.leaveAfterGame);
}

TEST_F(KickTest, TextStopsAtTheFieldsEnd) {
    struct Case {
        std::string bytes;  // from byte 16
        std::string text;
    };
    const std::string a200(200, 'a');
    const std::string gbkZhong = sim.codec.toGbk("中");
    for (const Case& k : {Case{a200 + "bb", a200}, Case{std::string(1, '\0') + "abc", ""},
                          // A lead byte at byte 215 has its partner outside the field.
                          Case{std::string(199, 'a') + gbkZhong, std::string(199, 'a')},
                          Case{std::string(198, 'a') + gbkZhong, std::string(198, 'a') + "中"}}) {
        WireMessage m = message(22);
        setText(m, 16, k.bytes);
        shown = "unset";
        ASSERT_FALSE(receive(m));
        EXPECT_EQ(shown, k.text) << k.bytes.size();
    }
}

}  // namespace
}  // namespace mj::test
