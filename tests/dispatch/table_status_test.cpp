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

// The banker's announcement brings a minimised or maximised window back to
// normal with the input focus, unless the boss key hid it.
TEST_F(TableStatusTest, BankerAnnouncementRestoresTheWindowWithTheFocus) {
    using State = ui::Form::WindowState;
    struct Case {
        State state;
        bool bossKey;
        bool restores;
    };
    for (const Case k : {Case{State::Normal, false, false}, Case{State::Minimized, false, true},
                         Case{State::Maximized, false, true}, Case{State::Minimized, true, false}}) {
        client->mainForm.setWindowState(k.state);
        client->shell.bossKeyOn = k.bossKey;
        int focusCalls = 0;
        client->mainForm.onFocusRequest = [&] { ++focusCalls; };
        const auto hallBefore = sim.hall.minimized.size();
        ASSERT_FALSE(receive(status(2, 8)));
        const int state = static_cast<int>(k.state);
        EXPECT_EQ(focusCalls, k.restores ? 1 : 0) << state;
        EXPECT_EQ(client->mainForm.windowState(), k.restores ? State::Normal : k.state) << state;
        EXPECT_EQ(sim.hall.minimized.size() > hallBefore, k.restores) << state;
    }
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

// Only the highest missing seat tells whether the local seat was removed.
struct QuitCase {
    int present;
    bool ends;
    const char* notice;
};
class OwnSeatRuleTest : public TableStatusTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(OwnSeatRuleTest, OwnSeatRemovedOnlyWhenItIsTheHighestMissing) {
    const QuitCase& k = GetParam();
    const auto ended = receive(status(1, k.present));
    EXPECT_EQ(ended.has_value(), k.ends);
    EXPECT_EQ(notice, k.notice);
    EXPECT_TRUE(sim.process.boxes.empty());
}
INSTANTIATE_TEST_SUITE_P(TableStatus, OwnSeatRuleTest,
                         ::testing::Values(QuitCase{14, true, ""},
                                           QuitCase{6, false, "玩家自己,丙,退出了游戏！游戏结束！"},
                                           QuitCase{12, false, "玩家自己,甲,退出了游戏！游戏结束！"}));

// A table that breaks up shows the session's board over the main window.
TEST_F(TableStatusTest, PlayersQuittingShowTheSessionBoardCentredOverTheMainWindow) {
    ui::Form& hero = *client->results.hero;
    client->mainForm.move(3000, 1500, 15360, 11520);
    hero.setVisible(false);
    ASSERT_FALSE(receive(status(1, 7)));
    EXPECT_TRUE(hero.visible());
    EXPECT_DOUBLE_EQ(hero.left(), (15360 - hero.width()) / 2 + 3000);
    EXPECT_DOUBLE_EQ(hero.top(), (11520 - hero.height()) / 2 + 1500);
    EXPECT_FALSE(client->results.score->visible()) << "only the session board";
}

class FlagTest : public TableStatusTest, public ::testing::WithParamInterface<bool> {};
using ScoreBoardTest = FlagTest;
using SeatVideoTest = FlagTest;

TEST_P(ScoreBoardTest, OutOfGoldShowsTheHandBoardUnlessTheWindowIsMinimised) {
    const bool minimised = GetParam();
    ui::Form& score = *client->results.score;
    score.setVisible(false);
    client->mainForm.move(1500, 750, 15360, 11520);
    if (minimised) client->mainForm.setWindowState(ui::Form::WindowState::Minimized);
    ASSERT_FALSE(receive(status(3, 1 | 4)));
    EXPECT_EQ(score.visible(), !minimised);
    if (!minimised) {
        EXPECT_DOUBLE_EQ(score.left(), (15360 - score.width()) / 2 + 1500);
        EXPECT_DOUBLE_EQ(score.top(), (11520 - score.height()) / 2 + 750);
    }
}
INSTANTIATE_TEST_SUITE_P(TableStatus, ScoreBoardTest, ::testing::Bool());

// Other players running out leave every seat's video alone; the local player
// running out closes the other views' video with the table.
TEST_P(SeatVideoTest, OnlyTheOwnRunOutClosesTheSeatsVideo) {
    const bool ownOut = GetParam();
    auto& video = client->video;
    for (int v = 1; v <= 3; ++v) {
        const auto i = static_cast<std::size_t>(v);
        video.videoShown[i] = true;
        video.videoThrottle[i] = 2;
        video.lastFrame[i] = {1, 2, 3};
        ctl("vshow", v).setVisible(true);
    }
    ASSERT_FALSE(receive(status(3, ownOut ? 2 | 4 | 8 : 1 | 8)));
    for (int v = 1; v <= 3; ++v) {
        const auto i = static_cast<std::size_t>(v);
        EXPECT_EQ(video.videoShown[i], !ownOut) << v;
        EXPECT_EQ(video.videoThrottle[i], ownOut ? 0 : 2) << v;
        EXPECT_EQ(video.lastFrame[i].empty(), ownOut) << v;
        EXPECT_EQ(ctl("vshow", v).visible(), !ownOut) << v;
    }
}
INSTANTIATE_TEST_SUITE_P(TableStatus, SeatVideoTest, ::testing::Bool());

struct WealthCase {
    double scale;
    long own;
    double font;
};
class WealthAfterOutTest : public TableStatusTest, public ::testing::WithParamInterface<WealthCase> {};

TEST_P(WealthAfterOutTest, OwnOutOfGoldSizesTheWealthLabelWhereItStands) {
    const WealthCase& k = GetParam();
    client->link.scaleX = client->link.scaleY = k.scale;
    client->table.isWealthMultiple = 5;
    client->table.wealthByView = {k.own, 2, 3, 4};
    ui::Control& label = ctl("lbwealth");
    label.move(123, 456);
    ASSERT_FALSE(receive(status(3, 2 | 4 | 8)));
    EXPECT_EQ(label.caption(), std::to_string(k.own)) << "only the own multiple is left";
    EXPECT_DOUBLE_EQ(label.font().size, k.font);
    EXPECT_DOUBLE_EQ(label.left(), 123);
    EXPECT_DOUBLE_EQ(label.top(), 456);
    EXPECT_TRUE(label.visible());
    EXPECT_TRUE(ctl("Imgwealth").visible());
}
INSTANTIATE_TEST_SUITE_P(TableStatus, WealthAfterOutTest,
                         ::testing::Values(WealthCase{1.0, 150, 12}, WealthCase{1.0, 50, 16}, WealthCase{0.78, 150, 11},
                                           WealthCase{0.78, 99, 15}));

// The server's own opening of the seat-change screen: caption, animation and
// page, while the seats are kept until the server gives new ones.
TEST_F(TableStatusTest, NextHandOpensTheSeatChangeScreenAtOnce) {
    std::vector<std::string> pages;
    client->dispatch.seatChangePage = std::make_unique<RecordingBrowser>(pages);
    client->dispatch.adPageUrl = "http://example.test/ad.gamead";
    client->table.nextHandPending = true;
    client->shell.shufflePos = 2;
    ui::Control& caption = ctl("LblShuffle");
    const std::string designText = caption.caption();
    WireMessage open = status(0, 0);
    setValue(open, 2, 1);
    ASSERT_FALSE(receive(open));

    EXPECT_EQ(caption.caption(), "正在随机换座中..") << "was " << designText;
    EXPECT_TRUE(caption.visible());
    EXPECT_TRUE(ctl("ImgShuffle").visible());
    EXPECT_TRUE(client->shell.timerShuffle->enabled());
    EXPECT_EQ(client->shell.timerShuffle->interval(), platform::Millis(300));
    EXPECT_EQ(client->shell.shufflePos, 0);
    EXPECT_TRUE(client->dispatch.seating.shuffling);
    EXPECT_TRUE(client->dispatch.seating.shuffleWanted) << "the server's opening leaves it pending";
    EXPECT_EQ(pages, std::vector<std::string>{"http://example.test/ad.gamead"});
    const ui::Control& bar = ctl("ImgShuffle");
    const ui::Control& pane = ctl("WebBrowser2");
    EXPECT_TRUE(pane.visible());
    EXPECT_DOUBLE_EQ(pane.left(), bar.left());
    EXPECT_DOUBLE_EQ(pane.top(), bar.top() + bar.height());
    EXPECT_DOUBLE_EQ(pane.width(), bar.width());
    EXPECT_DOUBLE_EQ(pane.height(), 2 * bar.height());
    for (int v = 0; v < 4; ++v) EXPECT_EQ(client->table.custom[static_cast<std::size_t>(v)].seat, 1 << v);

    // The animation runs; a second opening message finds nothing pending.
    ASSERT_FALSE(run(platform::Millis(600)));
    EXPECT_EQ(caption.caption(), "正在随机换座中...");
    ASSERT_FALSE(receive(open));
    EXPECT_EQ(pages.size(), 1U);
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
