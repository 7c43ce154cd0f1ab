// Seating: the names that fix the seats, the profiles that fill the player
// records and run the seat draw, a player's ready mark and a player leaving.
#include "dispatch/dispatch_fixture.h"
#include "dispatch/player_records.h"
#include "link/leave.h"

namespace mj::test {
namespace {

namespace info = dispatch::userinfo;

class SeatingTest : public DispatchFixture {
protected:
    static WireMessage nameMessage(std::uint8_t seat, std::string_view name) {
        WireMessage m = message(3, seat);
        setText(m, 16, name);
        return m;
    }

    // The nickname in UTF-8; the server sends it in GBK.
    WireMessage profile(std::uint8_t seat, std::string_view login, std::string_view nick, int sex = 1) const {
        WireMessage m = message(20, seat);
        setText(m, info::NickName, sim.codec.toGbk(nick));
        setText(m, info::LoginName, login);
        m[info::Sex] = static_cast<std::uint8_t>(sex);
        m[info::NoProps] = 1;
        return m;
    }

    static WireMessage leaveMessage(std::string_view name) {
        WireMessage m = message(21);
        setText(m, 16, name);
        return m;
    }

    void receiveAll(const std::vector<WireMessage>& ms) {
        for (const auto& m : ms) ASSERT_FALSE(receive(m)) << "the process ended";
    }

    // The own login "zhang" at seat bit 1, the others at 2, 4 and 8.
    void seatFourNames(std::string_view atFour = "li") {
        receiveAll({nameMessage(1, "zhang"), nameMessage(2, "wang"), nameMessage(4, atFour), nameMessage(8, "zhao")});
    }

    ui::Control& ctl(std::string_view name, int index = -1) {
        ui::Control* x = client->mainForm.find(name, index);
        if (!x) throw std::runtime_error("no control " + std::string(name));
        return *x;
    }

    dispatch::SeatingState& seating() { return client->dispatch.seating; }
    dispatch::PlayerInfo& player(int v) { return client->dispatch.player[static_cast<std::size_t>(v)]; }
    table::SeatRecord& seat(int v) { return client->table.custom[static_cast<std::size_t>(v)]; }
};

// ------------------------------------------------------------ command 3

TEST_F(SeatingTest, FourthNameSeatsEveryViewAroundTheOwnName) {
    client->timerKeepAlive->setEnabled(true);
    ctl("OK", 2).setVisible(true);
    receiveAll({nameMessage(1, "li"), nameMessage(2, "wang"), nameMessage(4, "zhang")});
    EXPECT_FALSE(client->timerKeepAlive->enabled());
    EXPECT_FALSE(ctl("OK", 2).visible());
    EXPECT_EQ(seat(0).seat, OwnSeat) << "the seats wait for the fourth name";

    receiveAll({nameMessage(8, "zhao")});
    const SeatBit bits[4] = {4, 2, 1, 8};
    const char* names[4] = {"zhang", "wang", "li", "zhao"};
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(seat(v).seat, bits[v]) << v;
        EXPECT_EQ(seat(v).name, names[v]) << v;
    }
    EXPECT_TRUE(client->table.anNiuState[2]);
}

TEST_F(SeatingTest, NamesWithoutTheOwnLeaveTheSeatsAsTheyWere) {
    seat(2).seat = 4;
    receiveAll({nameMessage(1, "a"), nameMessage(2, "b"), nameMessage(4, "c"), nameMessage(8, "d")});
    EXPECT_EQ(seat(0).seat, OwnSeat);
    EXPECT_EQ(seat(2).seat, 4);
    EXPECT_TRUE(seating().namesDone) << "the cycle goes on to the profiles";
}

TEST_F(SeatingTest, OwnSeatIsFoundByTheLaunchLoginAfterTheTableWasLeft) {
    // Leaving empties the table's own record; a later round of names must
    // still find the own seat.
    seat(0).name.clear();
    seatFourNames();
    EXPECT_EQ(seat(0).seat, 1);
    EXPECT_EQ(seat(0).name, "zhang");
    EXPECT_EQ(seat(2).name, "li");
}

// ------------------------------------------------------------ command 20

TEST_F(SeatingTest, ProfileBySeatBitFillsItsView) {
    WireMessage m = profile(2, "wang", "老王");
    setText(m, info::Title, "VIP");
    setText(m, info::FaceCode, "w3");
    m[info::Score + 16] = 0xA0;  // gold 100000
    m[info::Score + 17] = 0x86;
    m[info::Score + 18] = 0x01;
    m[info::Ready] = 1;
    m[info::HideDiceNote] = 1;
    ctl("lbfont", 0).setVisible(true);
    ctl("lbfont", 2).setVisible(true);
    ASSERT_FALSE(receive(m));
    // Own seat 1: seat 2 is the right-hand view.
    EXPECT_EQ(seat(3).name, "wang");
    EXPECT_EQ(player(3).nickName, "老王");
    EXPECT_EQ(ctl("Nid", 3).caption(), "[VIP] 老王");
    EXPECT_EQ(ctl("Cash", 3).caption(), "100000金币");
    EXPECT_TRUE(ctl("OK", 3).visible());
    EXPECT_FALSE(ctl("lbfont", 0).visible());
    EXPECT_TRUE(ctl("lbfont", 2).visible());
    EXPECT_EQ(client->dispatch.resultPlayer[3].name, "老王");
    EXPECT_EQ(client->dispatch.resultPlayer[3].picIndex, "12");
    EXPECT_EQ(client->props.propGameDllState, -1) << "the table has no props";

    // A later profile without the ready byte does not hide the mark.
    ASSERT_FALSE(receive(profile(2, "wang", "老王")));
    EXPECT_TRUE(ctl("OK", 3).visible());
}

TEST_F(SeatingTest, OwnSeatBitRefreshesOnlyTheWealthMultiple) {
    ASSERT_FALSE(receive(profile(15, "zhang", "小张")));
    EXPECT_EQ(player(0).nickName, "小张");
    WireMessage again = profile(OwnSeat, "zhang", "别人");
    again[info::WealthMultiple] = 7;
    ASSERT_FALSE(receive(again));
    EXPECT_EQ(player(0).nickName, "小张");
    EXPECT_EQ(ctl("Nid", 0).caption(), "[] 小张");
    EXPECT_EQ(client->table.wealthByView[0], 7);
    EXPECT_EQ(ctl("lbwealth").caption(), "7");
    EXPECT_TRUE(ctl("lbwealth").visible());
}

TEST_F(SeatingTest, ProfilesWithoutAViewAreIgnored) {
    // A new player when every seat label is filled.
    seating().playerCount = 1;
    for (int k = 1; k <= 3; ++k) ctl("Nid", k).setCaption("x");
    ASSERT_FALSE(receive(profile(0, "late", "late")));
    EXPECT_EQ(seating().playerCount, 1);
    for (int k = 1; k <= 3; ++k) EXPECT_NE(seat(k).name, "late");

    // A seat's profile while the own seat is unknown must not take the own
    // record.
    ASSERT_FALSE(receive(profile(15, "zhang", "小张")));
    seat(0).seat = 0;
    ASSERT_FALSE(receive(profile(1, "wang", "老王")));
    EXPECT_EQ(player(0).nickName, "小张");
    EXPECT_EQ(seat(0).name, "zhang");
    EXPECT_TRUE(sim.process.logged("the own seat is not known yet"));
}

TEST_F(SeatingTest, WealthLabelTakesItsLayoutFromTheSmallestMultiple) {
    struct Case {
        int multiple;
        double font, left, top;
        bool shown;
    };
    for (const Case& k : {Case{99, 18, 56, 289, true}, Case{100, 13, 54, 292, true}, Case{0, 0, 0, 0, false}}) {
        SCOPED_TRACE(k.multiple);
        client->table.wealthByView.fill(0);
        WireMessage m = profile(2, "wang", "w");
        m[info::WealthMultiple] = static_cast<std::uint8_t>(k.multiple);
        ASSERT_FALSE(receive(m));
        const ui::Control& label = ctl("lbwealth");
        EXPECT_EQ(label.visible(), k.shown);
        EXPECT_EQ(ctl("Imgwealth").visible(), k.shown);
        if (!k.shown) continue;
        EXPECT_EQ(label.caption(), std::to_string(k.multiple));
        EXPECT_EQ(label.font().size, k.font);
        EXPECT_EQ(label.left(), k.left);
        EXPECT_EQ(label.top(), k.top);
    }
    // The label shows the smallest positive multiple of the four views; a
    // negative one counts as none.
    client->table.wealthByView = {0, 0, 5, 0};
    WireMessage m = profile(2, "wang", "w");
    for (std::size_t i = 0; i < 4; ++i) m[info::WealthMultiple + i] = 0xFF;
    ASSERT_FALSE(receive(m));
    EXPECT_EQ(ctl("lbwealth").caption(), "5");
}

TEST_F(SeatingTest, FourthProfileRunsTheSeatDrawAndFixesTheVoices) {
    seatFourNames();
    WireMessage own = profile(15, "zhang", "小张");
    setText(own, info::VoiceCode1, "33");
    setText(own, info::VoiceCode2, "44");
    WireMessage other = profile(2, "wang", "w", 2);
    setText(other, info::VoiceCode1, "55");
    setText(other, info::VoiceCode2, "66");
    receiveAll({own, other, profile(4, "li", "l", 0)});
    const auto slept = sim.clock.totalSlept();
    EXPECT_EQ(player(0).voiceSex, 0) << "nothing before the fourth profile";

    ASSERT_FALSE(receive(profile(8, "zhao", "z")));
    EXPECT_EQ(sim.clock.totalSlept() - slept, platform::Millis(1000)) << "the seat draw's two pauses";
    EXPECT_TRUE(ctl("ZhiNan").visible());
    EXPECT_EQ(player(0).voiceCode1, "00");
    EXPECT_EQ(player(0).voiceCode2, "10");
    EXPECT_EQ(player(0).voiceSex, 3);
    EXPECT_EQ(player(2).voiceSex, 2);
    // Sex 2 keeps the codes it was sent.
    EXPECT_EQ(player(3).voiceCode1, "55");
    EXPECT_EQ(player(3).voiceCode2, "66");
    EXPECT_EQ(player(3).voiceSex, 3);
    EXPECT_EQ(seating().savedVoiceNo[3], "66");
    EXPECT_FALSE(client->table.countingUserInfo);

    // A further profile does not run the draw again.
    ASSERT_FALSE(receive(profile(8, "zhao", "z")));
    EXPECT_EQ(sim.clock.totalSlept() - slept, platform::Millis(1000));
}

TEST_F(SeatingTest, TableFilledByNewPlayersStillRunsTheSeatDraw) {
    // The others sit down after the local player: the third new player fills
    // the table, which resets it. The seat draw must still run, before the
    // reset puts its tiles back into the wall.
    seatFourNames();
    const auto slept = sim.clock.totalSlept();
    int focusCalls = 0;
    client->mainForm.onFocusRequest = [&] { ++focusCalls; };
    receiveAll(
        {profile(15, "zhang", "小张"), profile(0, "zhao", "z"), profile(0, "li", "l", 0), profile(0, "wang", "w")});
    EXPECT_EQ(sim.clock.totalSlept() - slept, platform::Millis(1000));
    EXPECT_EQ(seating().playerCount, 3);
    EXPECT_EQ(seat(1).name, "zhao");
    EXPECT_EQ(seat(2).name, "li");
    EXPECT_EQ(seat(3).name, "wang");
    EXPECT_EQ(player(0).voiceSex, 3);
    EXPECT_EQ(player(2).voiceSex, 2);
    EXPECT_TRUE(client->link.readySent);
    EXPECT_EQ(strip(0), "游戏将在15秒内开始");
    EXPECT_EQ(sim.hall.minimized.size(), 1u);
    // The filled table comes up with the input focus.
    EXPECT_EQ(focusCalls, 1);
    // The reset came last: the drawn tiles are back in the wall, hidden.
    EXPECT_FALSE(ctl("MJ_Image", 0).visible());
    EXPECT_EQ(ctl("MJ_Image", 0).left(), 809);
    EXPECT_EQ(ctl("MJ_Image", 0).top(), 476);
}

TEST_F(SeatingTest, NewRoundOfNamesAfterALeaveSeatsTheTableAgain) {
    seatFourNames();
    receiveAll({profile(15, "zhang", "小张"), profile(2, "wang", "w"), profile(4, "li", "l"), profile(8, "zhao", "z")});
    ASSERT_FALSE(receive(leaveMessage("li")));
    for (int v = 0; v < 4; ++v) EXPECT_EQ(seat(v).seat, 0);

    // The same names again and a newcomer, before any per-hand reset: the
    // seats come back and no name is doubled.
    seatFourNames("sun");
    const SeatBit bits[4] = {1, 8, 4, 2};
    const char* names[4] = {"zhang", "zhao", "sun", "wang"};
    for (int v = 0; v < 4; ++v) {
        EXPECT_EQ(seat(v).seat, bits[v]) << v;
        EXPECT_EQ(seat(v).name, names[v]) << v;
    }
    const auto slept = sim.clock.totalSlept();
    receiveAll(
        {profile(15, "zhang", "小张"), profile(2, "wang", "w"), profile(4, "sun", "s", 0), profile(8, "zhao", "z")});
    EXPECT_EQ(sim.clock.totalSlept() - slept, platform::Millis(1000)) << "the second cycle's seat draw";
    EXPECT_EQ(player(2).voiceSex, 2);
}

TEST_F(SeatingTest, WatchingModeBuildsTheTableFromTheFirstFourProfiles) {
    client->link.launch.isSpectator = true;
    int builds = 0;
    client->setupSpectatorTable = [&](link::Client& c) {
        ++builds;
        EXPECT_EQ(c.dispatch.seating.spectatorInfoCount, 4);
        c.table.custom[0].seat = 1;
    };
    receiveAll({profile(1, "a", "a"), profile(2, "b", "b"), profile(4, "c", "c")});
    EXPECT_EQ(builds, 0);
    for (int v = 0; v < 4; ++v) EXPECT_EQ(player(v).nickName, "") << "buffered, not shown";

    ASSERT_FALSE(receive(profile(8, "d", "d")));
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(player(1).nickName, "d");
    // Once the table stands, a later profile is shown at once.
    ASSERT_FALSE(receive(profile(2, "b", "b2")));
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(player(3).nickName, "b2");
}

TEST_F(SeatingTest, PluginGetsEachPlayerWithGoldAndMayRefuse) {
    loadPlugin();
    client->props.propSwicth = 1;
    WireMessage m = profile(2, "wang", "老王");
    m[info::NoProps] = 0;
    m[info::Score + 16] = 1;  // gold
    m[info::Score + 8] = 1;   // credit
    ASSERT_FALSE(receive(m));
    ASSERT_EQ(plugin->users.size(), 1u);
    EXPECT_EQ(plugin->users[0].nickName, "老王");
    EXPECT_EQ(plugin->users[0].seatBit, 8) << "the view's bit while the seat is not fixed";
    EXPECT_EQ(plugin->users[0].view, 3);
    EXPECT_TRUE(plugin->users[0].hasCredit);
    EXPECT_FALSE(ctl("Tou", 3).visible()) << "the plug-in shows the player";

    plugin->refuseUsers = true;
    ctl("Tou", 1).setVisible(true);
    WireMessage refused = profile(8, "zhao", "z");
    refused[info::NoProps] = 0;
    refused[info::Score + 16] = 1;
    ASSERT_FALSE(receive(refused));
    EXPECT_EQ(client->props.propGameDllState, -1);
    EXPECT_EQ(plugin->exits, std::vector<int>{0});
    EXPECT_TRUE(ctl("Tou", 1).visible()) << "without the plug-in the face stays";
}

// ------------------------------------------------------------ command 23

TEST_F(SeatingTest, ReadyMarkShowsForTheNamedPlayerOnly) {
    seat(2).name = "li";
    ctl("Nid", 2).setCaption("[] li");
    WireMessage ready = message(23);
    setValue(ready, 3, 1);
    setText(ready, 16, "li");
    ASSERT_FALSE(receive(ready));
    EXPECT_TRUE(ctl("OK", 2).visible());

    // An empty name matches no seat, not even one whose record is empty.
    ctl("Nid", 1).setCaption("[] ?");
    WireMessage empty = message(23);
    setValue(empty, 3, 1);
    ASSERT_FALSE(receive(empty));
    EXPECT_FALSE(ctl("OK", 1).visible());
}

TEST_F(SeatingTest, OthersReadyAfterAHandResetsTheTable) {
    client->dispatch.gameStarted = 1;
    for (int v = 1; v <= 3; ++v) ctl("OK", v).setVisible(true);
    seat(1).concealedCount = 9;
    ASSERT_FALSE(receive(message(23)));  // value 3 is not 1: the reset runs all the same
    EXPECT_TRUE(client->link.readySent);
    EXPECT_EQ(seat(1).concealedCount, 0);
    EXPECT_TRUE(client->table.anNiuState[2]);
}

TEST_F(SeatingTest, PerHandDataResetClearsTheSeatNames) {
    client->link.receivedText.seatName = {"a", "b", "c", "d"};
    client->resetRoundData(*client);
    for (const auto& name : client->link.receivedText.seatName) EXPECT_EQ(name, "");
}

// ------------------------------------------------------------ command 21

TEST_F(SeatingTest, LeavingNameMatchesTheSeatIncludingItsLoweredForm) {
    struct Case {
        const char* label;
        std::uint8_t byte8;
        const char* bytes;
        bool removed;
    };
    const Case cases[] = {
        {"plain", 0, "bob", true},
        {"first code lowered", 1, "cob", true},
        {"other name", 0, "bo", false},
        {"empty", 0, "", false},
        {"lowered to nothing", 1, "", false},
        {"lowered to a NUL", 1,
         "\x01"
         "bob",
         false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.label);
        seat(2).name = "bob";
        seat(2).seat = 4;
        ctl("Nid", 2).setCaption("[] bob");
        WireMessage m = leaveMessage(k.bytes);
        m[8] = k.byte8;
        ASSERT_FALSE(receive(m));
        EXPECT_EQ(seat(2).name.empty(), k.removed);
        EXPECT_EQ(ctl("Nid", 2).caption().empty(), k.removed);
        // Every leave forgets the seats and arms the end-of-hand clean-up.
        EXPECT_EQ(seat(2).seat, 0);
        EXPECT_EQ(seat(0).seat, 0);
        EXPECT_TRUE(client->table.nextHandPending);
    }
}

TEST_F(SeatingTest, LeaverIsClearedFromTheTable) {
    loadPlugin();
    ASSERT_NE(sim.components.videoSocket, nullptr);
    platform::sim::SimVideoSocket& video = *sim.components.videoSocket;
    sim.components.videoCalls.clear();
    video.setSlot(1, "li", 12);
    video.setSlot(2, "x", 12);
    video.setSlot(3, "x", 12);
    client->video.videoThrottle = {0, 7, 8, 9};
    seat(2).name = "li";
    player(2).nickName = "小李";
    ctl("Nid", 2).setCaption("[] 小李");
    ctl("Cash", 2).setCaption("1金币");
    ctl("OK", 2).setVisible(true);
    client->table.isWealthMultiple = 4;
    client->table.wealthByView = {0, 9, 4, 0};
    client->link.readySent = true;
    seating().playerCount = 0;

    ASSERT_FALSE(receive(leaveMessage("li")));
    const auto now = sim.clock.timeOfDay();
    EXPECT_EQ(strip(0), "小李退出了游戏 " + std::to_string(now.hour) + ":" + std::to_string(now.minute) + ":" +
                            std::to_string(now.second));
    EXPECT_EQ(ctl("Cash", 2).caption(), "");
    EXPECT_FALSE(ctl("OK", 2).visible());
    EXPECT_EQ(player(2).nickName, "");
    EXPECT_EQ(seating().playerCount, 0) << "never below 0";
    EXPECT_FALSE(client->link.readySent);
    EXPECT_EQ(ctl("lbwealth").caption(), "9");
    EXPECT_EQ(plugin->clearedViews, std::vector<int>{2});
    EXPECT_EQ(sim.components.videoCalls, std::vector<std::string>{"disconnect 1"});
    EXPECT_EQ(client->video.videoThrottle, (std::array<int, 4>{0, 0, 8, 9})) << "the dropped slot's counter";
    EXPECT_TRUE(client->timerKeepAlive->enabled());
}

TEST_F(SeatingTest, LeaveAfterAHandStartsTheNextHandCountdown) {
    struct Case {
        int value1;
        bool bossKey;
        int seconds;
    };
    for (const Case& k : {Case{0, false, 15}, Case{1, false, 10}, Case{1, true, 1}}) {
        SCOPED_TRACE(k.seconds);
        client->table.nextHandPending = true;
        client->shell.bossKeyOn = k.bossKey;
        client->link.readyCountdown.on = false;
        client->link.inGame = true;
        WireMessage m = leaveMessage("nobody");
        setValue(m, 1, k.value1);
        ASSERT_FALSE(receive(m));
        EXPECT_TRUE(client->link.readyCountdown.on);
        EXPECT_EQ(client->number->caption(), std::to_string(k.seconds));
        EXPECT_TRUE(client->number->visible());
        EXPECT_FALSE(client->link.inGame);
        EXPECT_TRUE(client->table.nextHandPending) << "armed again for the next leave";
    }
    // Without a hand just ended nothing counts down.
    client->table.nextHandPending = false;
    client->link.readyCountdown.on = false;
    ASSERT_FALSE(receive(leaveMessage("nobody")));
    EXPECT_FALSE(client->link.readyCountdown.on);
}

TEST_F(SeatingTest, OwnNameEndsTheClientWithoutRestoringTheHall) {
    seat(0).name.clear();  // as after leaving: the launch login still names the seat
    const auto restored = sim.hall.restored.size();
    EXPECT_EQ(receive(leaveMessage("zhang")), 0);
    EXPECT_EQ(sim.hall.restored.size(), restored);
}

TEST_F(SeatingTest, EmptyLeaveNameNeverEndsTheClient) {
    client->link.launch.loginName.clear();
    seat(0).name.clear();
    EXPECT_FALSE(receive(leaveMessage("")));
}

TEST_F(SeatingTest, AnyLeaveEndsWatching) {
    client->link.launch.isSpectator = true;
    seat(0).name = "watched";
    EXPECT_EQ(receive(leaveMessage("someone")), 0);
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.process.boxes[0].text, "有用户退出，旁观结束！");
}

TEST_F(SeatingTest, LeavingTheTableForgetsThePlayers) {
    // Half a round of names before the table is left.
    receiveAll({nameMessage(1, "x"), nameMessage(2, "y")});
    player(1).nickName = "w";
    player(1).loginName = "wang";
    seating().playerCount = 2;
    client->table.wealthByView = {3, 3, 0, 0};
    link::resetSession(*client);
    EXPECT_EQ(player(1).nickName, "");
    EXPECT_EQ(player(1).loginName, "wang");
    EXPECT_EQ(seating().playerCount, 0);
    EXPECT_EQ(client->table.wealthByView[0], 0);

    // The names after the next login are a whole new round.
    client->timerBong->setEnabled(true);
    sim.socket.connect("h", 1);
    sim.socket.acceptConnection();
    receiveAll({nameMessage(1, "zhang"), nameMessage(2, "wang")});
    EXPECT_EQ(seat(0).seat, 0) << "two names do not seat the table";
    receiveAll({nameMessage(4, "li"), nameMessage(8, "zhao")});
    EXPECT_EQ(seat(0).seat, 1);
    EXPECT_EQ(seat(2).name, "li");
}

}  // namespace
}  // namespace mj::test
