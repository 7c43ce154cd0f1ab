// The table status between hands: the next hand's wealth multiple, players who
// quit, the banker with the reconnect key, and players out of gold.
#include "dispatch/dispatch_fixture.h"
#include "results/results_install.h"

namespace mj::test {
namespace {

class TableStatusTest : public DispatchFixture {
protected:
    std::string notice;

    void SetUp() override {
        DispatchFixture::SetUp();
        // The own seat 1 at view 0, then seats 2, 4, 8 at views 1..3.
        const std::array<const char*, 4> nicks{"自己", "甲", "乙", "丙"};
        for (int v = 0; v < 4; ++v) {
            auto& r = client->table.custom[static_cast<std::size_t>(v)];
            r.seat = static_cast<SeatBit>(1 << v);
            r.name = v == 0 ? "zhang" : "p" + std::to_string(v);
            client->dispatch.player[static_cast<std::size_t>(v)].nickName = nicks[static_cast<std::size_t>(v)];
            client->dispatch.player[static_cast<std::size_t>(v)].userId = 100 + v;
        }
        client->dispatch.seating.playerCount = 3;
        client->dispatch.showOtherExit = [this](link::Client&, const std::string& t) { notice = t; };
    }

    static WireMessage status(int sub, int seat) {
        WireMessage m = message(16, static_cast<std::uint8_t>(seat));
        setValue(m, 3, sub);
        return m;
    }

    ui::Control& ctl(std::string_view name, int index = -1) {
        ui::Control* x = client->mainForm.find(name, index);
        if (!x) throw std::runtime_error("no control " + std::string(name));
        return *x;
    }
};

TEST_F(TableStatusTest, BankerAnnouncementKeepsTheKeyBytesAsReceived) {
    WireMessage m = status(2, 8);
    const std::array<std::uint8_t, 4> key{0x80, 0x01, 0xFF, 0xF0};
    std::copy(key.begin(), key.end(), m.begin() + wire::SessionKey);
    ASSERT_FALSE(receive(m));
    EXPECT_EQ(ctl("Zhuang").caption(), "东");
    EXPECT_EQ(client->table.custom[3].isBanker, -1);
    EXPECT_EQ(client->link.sessionKey, key);
    EXPECT_TRUE(client->table.nextHandPending);
    EXPECT_EQ(client->dispatch.seating.otherName[2], "p2");
}

TEST_F(TableStatusTest, NextHandShowsTheTablesOwnMultipleUnlessTheScreenOpens) {
    client->table.isWealthMultiple = 3;
    client->table.wealthByView = {3, 2, 5, 9};
    WireMessage m = status(0, 0);
    m[16] = 150;  // 150, little-endian
    ASSERT_FALSE(receive(m));
    EXPECT_EQ(ctl("lbwealth").caption(), "150");
    EXPECT_TRUE(ctl("lbwealth").visible());

    // The seat-change screen opening leaves the multiple alone.
    WireMessage open = status(0, 0);
    setValue(open, 2, 1);
    open[16] = 7;
    ASSERT_FALSE(receive(open));
    EXPECT_EQ(ctl("lbwealth").caption(), "150");

    // No multiple at this table: the label goes, whatever the bytes say.
    client->table.isWealthMultiple = 0;
    ASSERT_FALSE(receive(m));
    EXPECT_FALSE(ctl("lbwealth").visible());
    EXPECT_FALSE(ctl("Imgwealth").visible());
}

TEST_F(TableStatusTest, AnotherPlayerQuittingEndsTheGameAtThisTable) {
    EXPECT_FALSE(receive(status(1, 15)));
    EXPECT_TRUE(notice.empty()) << "everybody present: nothing happens";

    ASSERT_FALSE(receive(status(1, 7)));
    EXPECT_EQ(client->dispatch.seating.playerCount, 2);
    EXPECT_EQ(notice, "玩家丙,退出了游戏！游戏结束！");
    EXPECT_EQ(strip(1), "丙,请退出重新开始游戏.");
    EXPECT_TRUE(client->link.leaveAfterGame);
    EXPECT_NE(sim.socket.state(), platform::SocketState::Connected);
    for (int v = 1; v <= 3; ++v) {
        EXPECT_EQ(client->dispatch.player[static_cast<std::size_t>(v)].nickName, "") << v;
        EXPECT_EQ(client->dispatch.player[static_cast<std::size_t>(v)].userId, 100 + v) << "kept";
    }
}

// The own seat is gone even when a higher seat is missing too.
TEST_F(TableStatusTest, OwnSeatRemovedAlongsideAnotherEndsTheProcess) {
    EXPECT_EQ(receive(status(1, 6)), 0);
    EXPECT_TRUE(sim.process.boxes.empty());
}

TEST_F(TableStatusTest, PlayerCountNeverGoesBelowZero) {
    client->dispatch.seating.playerCount = 0;
    ASSERT_FALSE(receive(status(1, 1)));
    EXPECT_EQ(client->dispatch.seating.playerCount, 0);
}

TEST_F(TableStatusTest, OthersOutOfGoldAreListedAndTheLinkStays) {
    ASSERT_FALSE(receive(status(3, 1 | 4)));
    EXPECT_EQ(strip(0), "玩家甲，丙金币不够，退出游戏！");
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Connected);
    EXPECT_TRUE(notice.empty());
}

TEST_F(TableStatusTest, OwnOutOfGoldWhileThePluginHoldsTheResultShutsItDownAfterTheBoard) {
    loadPlugin();
    client->props.propResultMode = 1;
    ASSERT_FALSE(receive(status(3, 2 | 4 | 8)));
    EXPECT_EQ(client->props.exitPluginAfterDraw, -1);
    EXPECT_TRUE(plugin->exits.empty()) << "not while the plug-in holds the result";
    results::showDrawnHand(*client);
    EXPECT_EQ(plugin->exits, std::vector<int>{0});
    EXPECT_EQ(client->props.propGameDllState, 0);
    EXPECT_EQ(client->props.propResultMode, 0);
}

TEST_F(TableStatusTest, OwnOutOfGoldStopsTheLinkAndAdvisesByTheRoomBit) {
    client->link.canReconnect = true;
    WireMessage m = status(3, 2 | 4 | 8);
    m[11] = 1;
    ASSERT_FALSE(receive(m));
    EXPECT_EQ(strip(0), "zhang金币不够，退出游戏！");
    EXPECT_EQ(notice, "您的金币不够，请更换房间或充值后继续游戏！");
    EXPECT_FALSE(client->link.canReconnect) << "no reconnecting after being put out";
    EXPECT_NE(sim.socket.state(), platform::SocketState::Connected);
    EXPECT_EQ(client->dispatch.seating.playerCount, 0);
    EXPECT_TRUE(client->link.leaveAfterGame);
}

TEST_F(TableStatusTest, WatchingEndsWhenAPlayerQuits) {
    client->link.launch.isSpectator = true;
    EXPECT_EQ(receive(status(1, 1 | 2 | 4)), 0);
    ASSERT_FALSE(sim.process.boxes.empty());
    EXPECT_EQ(sim.process.boxes.back().text, "有用户退出，旁观结束！");
}

}  // namespace
}  // namespace mj::test
