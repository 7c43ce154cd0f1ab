// hand_flow_test.cpp: the hand start, deal, draw and discard commands fed
// through the tick into a logged-in client with its table laid out.
#include <algorithm>

#include "dispatch/dispatch_fixture.h"
#include "link/hall_window.h"
#include "table/hand_start_shows.h"
#include "table/table_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

constexpr char Music[] = "C:\\game\\mj\\..\\common\\music\\";
constexpr char Voices[] = "C:\\game\\mj\\..\\common\\mj\\";

class HandFlow : public DispatchFixture {
protected:
    void SetUp() override {
        addTablePictures(sim);
        for (const char* f : {"dapai.wav", "qupai.wav", "xipai.wav", "zhise.wav"})
            sim.sound.files.insert(std::string(Music) + f);
        DispatchFixture::SetUp();
        // Own seat 1; the right-hand seat 2, the top 4, the left 8.
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) rec(v).seat = seats[v];
    }

    table::SeatRecord& rec(int v) { return client->table.custom[static_cast<std::size_t>(v)]; }
    ui::Control& ctl(std::string_view name, int index = -1) { return control(*client, name, index); }
    int shownId(std::string_view name, int index = -1) { return shownResource(ctl(name, index)); }

    static WireMessage handStart(SeatBit banker, std::array<int, 4> dice, int doubling = 0) {
        WireMessage m = message(4, banker);
        for (int k = 0; k < 4; ++k) setValue(m, k, dice[static_cast<std::size_t>(k)]);
        m[16] = static_cast<std::uint8_t>(doubling);
        return m;
    }
    // Runs the hand start with its shows to the end.
    std::optional<int> start(const WireMessage& m) {
        deliver(m);
        return run(Millis(5000));
    }
    static WireMessage deal(int tilesPerSeat, const std::vector<int>& codes) {
        WireMessage m = message(1, 0);
        setValue(m, 1, tilesPerSeat);
        for (std::size_t i = 0; i < codes.size(); ++i) {
            m[16 + 2 * i] = static_cast<std::uint8_t>(codes[i] & 15);
            m[17 + 2 * i] = static_cast<std::uint8_t>(codes[i] >> 4);
        }
        return m;
    }
    static WireMessage tileMessage(std::uint8_t cmd, SeatBit seat, int tile) {
        WireMessage m = message(cmd, seat);
        setValue(m, 3, tile);
        return m;
    }
    std::vector<std::string> soundsSince(std::size_t from) { return soundsPlayedSince(sim.sound, from); }
};

TEST_F(HandFlow, HandStartLaysTheWallFromTheBankersSideAndTheDice) {
    struct Case {
        SeatBit banker;
        std::array<int, 4> dice;
        int view, head;
    };
    const Case cases[] = {
        {1, {1, 1, 1, 1}, 0, 110}, {2, {6, 6, 6, 6}, 3, 48}, {4, {0, 3, 0, 5}, 2, 122},  // a die of 0 counts as 1
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.view);
        client->link.readySent = false;
        client->dispatch.seenTile[2][5] = 3;
        client->dispatch.actionCount = 4;
        const int hands = client->link.juNum;
        const auto posted = sim.hall.count(table::HallHandStarted);
        const auto sounds = sim.sound.log.size();
        ASSERT_FALSE(start(handStart(k.banker, k.dice)));
        const auto& t = client->table;
        EXPECT_EQ(t.wallHead, k.head);
        EXPECT_EQ(t.wallTail, (k.head + 134) % 136);
        EXPECT_EQ(t.wallStart, k.head);
        for (int v = 0; v < 4; ++v) EXPECT_EQ(rec(v).isBanker, v == k.view ? -1 : 0) << v;
        EXPECT_EQ(soundsSince(sounds), (std::vector<std::string>{"xipai.wav", "zhise.wav", "zhise.wav"}));
        EXPECT_EQ(sim.hall.count(table::HallHandStarted), posted + 1);
        EXPECT_TRUE(ctl("MJ_Image", 135).visible()) << "the wall is built";
        EXPECT_EQ(client->link.juNum, hands + 1);
        EXPECT_TRUE(client->link.handRunning);
        EXPECT_TRUE(client->link.inGame);
        EXPECT_TRUE(client->link.blinkTask.on);
        EXPECT_EQ(client->dispatch.seenTile[2][5], 0);
        EXPECT_EQ(client->dispatch.actionCount, 0);
        for (const char* shown : {"ZhiNan", "Host", "Zhuang"}) EXPECT_TRUE(ctl(shown).visible()) << shown;
        for (int i = 0; i < 5; ++i) {
            EXPECT_FALSE(ctl("Operation", i).visible());
            EXPECT_FALSE(ctl("Operation", i).enabled());
            EXPECT_EQ(shownId("Operation", i), 141 + 3 * i) << "the idle picture";
        }
    }
    EXPECT_EQ(client->dispatch.droppedMessages, 0);
}

TEST_F(HandFlow, DiceDoublingShowsTheSumAndTheLastTwoFaces) {
    ASSERT_FALSE(start(handStart(1, {2, 3, 4, 6}, 1)));
    EXPECT_EQ(client->dispatch.diceDouble, 1);
    EXPECT_EQ(ctl("lblDifen").caption(), "10");
    EXPECT_TRUE(ctl("lblDifen").visible());
    EXPECT_TRUE(ctl("imgBeishu").visible());
    EXPECT_EQ(shownId("imgsezi", 0), 600 + 3);
    EXPECT_EQ(shownId("imgsezi", 1), 600 + 5);
    EXPECT_FALSE(ctl("lbfont", 0).visible());

    ASSERT_FALSE(start(handStart(1, {2, 3, 4, 6}, 0)));
    EXPECT_EQ(client->dispatch.diceDouble, 0);
    for (const char* hidden : {"lblDifen", "imgBeishu"}) EXPECT_FALSE(ctl(hidden).visible()) << hidden;
    EXPECT_FALSE(ctl("imgsezi", 1).visible());
}

TEST_F(HandFlow, HandStartWithoutTheOwnReadyStartsFromCleanHandData) {
    for (bool readySent : {false, true}) {
        rec(1).firstConcealed = 7;
        rec(1).concealedCount = 11;
        rec(0).slots[5] = {table::SlotPeng, 0x22, 40};
        client->link.readySent = readySent;
        ASSERT_FALSE(start(handStart(1, {1, 2, 3, 4})));
        EXPECT_TRUE(client->link.readySent);
        // The ready path has reset the table itself; nothing is cleared twice.
        EXPECT_EQ(rec(1).concealedCount, readySent ? 11 : 0);
        EXPECT_EQ(rec(1).firstConcealed, readySent ? 7 : 4);
        EXPECT_EQ(rec(0).slots[5].state, readySent ? table::SlotPeng : table::SlotEmpty);
    }
    // Dealt into reset data, a full deal and draw fit the slots.
    client->link.readySent = false;
    ASSERT_FALSE(start(handStart(1, {1, 2, 3, 4})));
    ASSERT_FALSE(receive(deal(12, std::vector<int>(12, 0x11))));
    ASSERT_FALSE(receive(tileMessage(5, 8, 0)));
    EXPECT_EQ(rec(1).concealedCount, 13);
    EXPECT_FALSE(sim.process.logged("draw refused"));
}

// The table status names the banker before the hand starts; a hand start
// that runs the per-hand reset itself keeps that wind on the table.
TEST_F(HandFlow, TheBankersWindAnnouncedBeforeTheHandStartStays) {
    for (bool readySent : {false, true}) {
        SCOPED_TRACE(readySent ? "ready sent" : "no ready sent");
        client->link.readySent = readySent;
        WireMessage status = message(16, 8);
        setValue(status, 3, 2);
        ASSERT_FALSE(receive(status));
        ASSERT_EQ(ctl("Zhuang").caption(), "东");
        ASSERT_FALSE(start(handStart(8, {1, 2, 3, 4})));
        EXPECT_EQ(ctl("Zhuang").caption(), "东");
        EXPECT_TRUE(ctl("Zhuang").visible());
        EXPECT_EQ(rec(1).isBanker, -1);
    }
}

TEST_F(HandFlow, BankerWithoutARecordTakesItsPlaceFromTheOwnSeat) {
    client->table.wallHead = 77;
    rec(2).seat = 0;  // the top seat's record not filled yet
    ASSERT_FALSE(start(handStart(4, {1, 3, 1, 5})));
    EXPECT_EQ(client->table.wallHead, 122);
    EXPECT_EQ(rec(2).isBanker, -1);

    for (int v = 0; v < 4; ++v) rec(v).seat = 0;
    client->table.wallHead = 77;
    const auto sounds = sim.sound.log.size();
    ASSERT_FALSE(start(handStart(4, {1, 3, 1, 5})));
    EXPECT_EQ(client->table.wallHead, 77);
    EXPECT_TRUE(sim.process.logged("banker seat 4 has no view"));
    EXPECT_EQ(soundsSince(sounds), std::vector<std::string>{"xipai.wav"}) << "no dice rolled";
    EXPECT_TRUE(ctl("ZhiNan").visible()) << "the rest of the hand start still runs";
}

TEST_F(HandFlow, HallLeaveNowDuringTheWallShowAbandonsTheHandStart) {
    client->table.wallHead = 77;
    bool left = false;
    int shownWhenLeft = -1;
    auto hall = sim.clock.createTimer(Millis(1), [&] {
        if (!client->link.handRunning || left) return;
        left = true;
        shownWhenLeft = 0;
        for (int i = 0; i < 136; ++i) shownWhenLeft += ctl("MJ_Image", i).visible() ? 1 : 0;
        link::mainWindowProc(*client, link::HallLeaveNow, 0, 0, false);
    });
    hall->setEnabled(true);
    const auto sounds = sim.sound.log.size();
    ASSERT_FALSE(start(handStart(1, {1, 1, 1, 1}))) << "the process ended";
    hall.reset();
    ASSERT_TRUE(left);
    EXPECT_GT(shownWhenLeft, 0) << "the hall's message came while the wall was growing";
    EXPECT_LT(shownWhenLeft, 136);
    EXPECT_EQ(sentCommands(), std::vector<int>{16}) << "the leave message";
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
    EXPECT_GE(sim.hall.count(link::HallIdle), 1);
    EXPECT_TRUE(sim.process.logged("hand start abandoned"));
    EXPECT_EQ(soundsSince(sounds), std::vector<std::string>{"xipai.wav"}) << "no dice after the leave";
    EXPECT_EQ(client->table.wallHead, 77);
    EXPECT_FALSE(client->link.handRunning);
    EXPECT_FALSE(client->link.inGame);
    EXPECT_FALSE(ctl("ZhiNan").visible());
    // The tick goes on over the idle client.
    EXPECT_FALSE(run(Millis(1000)));
}

TEST_F(HandFlow, MessagesArrivingDuringTheShowsWaitForTheHandStart) {
    // A deal arriving while the wall grows is queued, not handled inside the
    // show: it is dealt from the wall start the dice give afterwards.
    bool delivered = false;
    auto socket = sim.clock.createTimer(Millis(1), [&] {
        if (!client->link.handRunning || delivered) return;
        delivered = true;
        deliver(deal(4, {0x11, 0x12, 0x13, 0x14}));
    });
    socket->setEnabled(true);
    ASSERT_FALSE(start(handStart(1, {1, 1, 1, 1})));
    socket.reset();
    ASSERT_TRUE(delivered);
    EXPECT_EQ(client->table.wallStart, 110);
    EXPECT_EQ(rec(0).slots[4].img, 110);
    EXPECT_EQ(rec(1).slots[7].img, 110 + 15);
    EXPECT_EQ(client->table.wallHead, 110 + 16);
}

TEST_F(HandFlow, HeldPluginMessagesGoOutAtTheHandStart) {
    WireMessage held = message(45, 0);
    held[16] = 0x77;
    client->link.heldCigaretteMsg = held;
    client->link.heldRenderCigaretteMsg = held;
    client->link.holdRenderCigaretteMsg = true;  // still held back
    ASSERT_FALSE(start(handStart(1, {1, 1, 1, 1})));
    const auto sent = sim.socket.sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], 45);
    EXPECT_EQ(sent[0][6], 1) << "sent for the own seat";
    EXPECT_EQ(sent[0][16], 0x77);
    EXPECT_FALSE(client->link.heldCigaretteMsg);
    EXPECT_TRUE(client->link.heldRenderCigaretteMsg);
}

TEST_F(HandFlow, DealServesItsRoundsToEverySeatFromTheOwnSeatOn) {
    struct Case {
        int tilesPerSeat, rounds;
    };
    loadPlugin();
    int closes = 0;
    client->closePropDisplay = [&](link::Client&) { ++closes; };
    for (const Case k : {Case{12, 3}, Case{11, 3}, Case{255, 3}, Case{6, 2}, Case{2, 0}, Case{10, 2}}) {
        SCOPED_TRACE(k.tilesPerSeat);
        client->link.readySent = false;
        ASSERT_FALSE(start(handStart(1, {1, 1, 1, 1})));
        client->dispatch.capMark[2] = 1;
        const int head = client->table.wallHead;
        const auto sounds = sim.sound.log.size();
        std::vector<int> codes;
        for (int i = 0; i < 12; ++i) codes.push_back(0x81 + i % 9);
        ASSERT_FALSE(receive(deal(k.tilesPerSeat, codes)));
        EXPECT_EQ(client->dispatch.droppedMessages, 0);
        EXPECT_EQ(client->dispatch.capMark[2], 0);
        EXPECT_EQ(soundsSince(sounds), std::vector<std::string>(static_cast<std::size_t>(4 * k.rounds), "qupai.wav"));
        EXPECT_EQ(client->table.wallHead, (head + 16 * k.rounds) % 136);
        for (int v = 0; v < 4; ++v) EXPECT_EQ(rec(v).concealedCount, 4 * k.rounds) << v;
        if (k.rounds == 0) continue;
        // Round 0 goes to the own seat, then right, top and left.
        const int order[4] = {0, 3, 2, 1};
        for (int n = 0; n < 4; ++n) EXPECT_EQ(rec(order[n]).slots[4].img, (head + 4 * n) % 136) << n;
        for (int i = 0; i < 4 * k.rounds; ++i) EXPECT_EQ(rec(0).slots[static_cast<std::size_t>(4 + i)].tile, codes[i]);
    }
    EXPECT_EQ(closes, 6) << "the plug-in display closes at each hand's first deal message";
    ASSERT_FALSE(receive(deal(4, {0x11, 0x12, 0x13, 0x14})));
    EXPECT_EQ(closes, 6) << "and not at a later one";
    EXPECT_EQ(rec(0).concealedCount, 12);
}

TEST_F(HandFlow, DrawAndDiscardMoveTilesAndCountTheSeenOnes) {
    ASSERT_FALSE(start(handStart(1, {1, 1, 1, 1})));
    ASSERT_FALSE(receive(deal(12, std::vector<int>(12, 0x11))));
    ASSERT_FALSE(receive(tileMessage(5, 1, 0x43)));
    EXPECT_EQ(rec(0).concealedCount, 13);
    EXPECT_TRUE(std::any_of(rec(0).slots.begin(), rec(0).slots.end(), [](auto& s) { return s.tile == 0x43; }));
    // Another seat's draw carries no tile for us.
    ASSERT_FALSE(receive(tileMessage(5, 4, 0)));
    EXPECT_EQ(rec(2).concealedCount, 13);

    client->frmZhahu.setVisible(true);
    client->claims.zhahuShown = true;
    auto& top = client->dispatch.player[2];
    top.voiceCode1 = "00";
    top.voiceCode2 = "10";
    top.sex = 1;
    top.voiceSex = 3;
    sim.sound.files.insert(std::string(Voices) + "v00101345.wav");
    const auto sounds = sim.sound.log.size();
    ASSERT_FALSE(receive(tileMessage(2, 4, 0x85)));
    EXPECT_FALSE(client->frmZhahu.visible()) << "any discard closes the notice";
    EXPECT_FALSE(client->claims.zhahuShown);
    EXPECT_EQ(soundsSince(sounds), (std::vector<std::string>{"dapai.wav", "v00101345.wav"}));
    EXPECT_EQ(client->table.lastTileCode, 0x85);
    EXPECT_EQ(rec(2).concealedCount, 12);
    EXPECT_EQ(client->dispatch.seenTile[3][5], 1);
    // The own discard the server announces counts too; a seat without tiles
    // discards nothing.
    ASSERT_FALSE(receive(tileMessage(2, 1, 0x85)));
    EXPECT_EQ(client->dispatch.seenTile[3][5], 2);
    rec(1).concealedCount = 0;
    ASSERT_FALSE(receive(tileMessage(2, 8, 0x85)));
    EXPECT_EQ(client->dispatch.seenTile[3][5], 2);

    // Spectators keep no counts.
    client->link.launch.isSpectator = true;
    ASSERT_FALSE(receive(tileMessage(2, 2, 0x85)));
    EXPECT_EQ(rec(3).concealedCount, 11);
    EXPECT_EQ(client->dispatch.seenTile[3][5], 2);
}

TEST_F(HandFlow, SpectatorHandStartResetsTheTable) {
    client->link.launch.isSpectator = true;
    client->link.readySent = true;
    rec(3).concealedCount = 9;
    ASSERT_FALSE(start(handStart(2, {1, 1, 1, 1})));
    EXPECT_EQ(rec(3).concealedCount, 0);
    EXPECT_EQ(rec(3).isBanker, -1);
    EXPECT_TRUE(client->link.readySent);
}

}  // namespace
}  // namespace mj::test
