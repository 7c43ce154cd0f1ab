// The dispatcher frame: where each command number goes, and what a message
// with a field out of range does.
#include <set>

#include "dispatch/dispatch_fixture.h"
#include "dispatch/dispatcher.h"
#include "link/wire_codec.h"

namespace mj::test {
namespace {

class DispatcherTest : public DispatchFixture {};

// Runs the dispatcher directly on one message.
void dispatchDirect(link::Client& c, const WireMessage& m) {
    c.link.msg = m;
    c.link.info = link::decodeHeader(m);
    dispatch::dispatchServerCommand(c);
}

TEST_F(DispatcherTest, EveryNumberWithoutAHandlerReachesThePluginUnchanged) {
    loadPlugin();
    // A profile at a table without the plug-in switch would mark it unused.
    client->props.propSwicth = 1;
    const std::set<int> handled{1, 2, 3, 4, 5, 6, 7, 9, 14, 15, 16, 17, 19, 20, 21, 23, 40, 41};
    // 18, 22 and 29 end the process or the link on some values; they have
    // their own tests below.
    for (int n = 0; n <= 255; ++n) {
        if (n == 18 || n == 22 || n == 29) continue;
        SCOPED_TRACE(n);
        const WireMessage m = validMessage(static_cast<std::uint8_t>(n));
        const std::size_t before = plugin->received.size();
        dispatchDirect(*client, m);
        if (handled.count(n)) {
            EXPECT_EQ(plugin->received.size(), before);
        } else {
            ASSERT_EQ(plugin->received.size(), before + 1);
            EXPECT_TRUE(std::equal(m.begin(), m.end(), plugin->received.back().begin()));
        }
    }
    EXPECT_EQ(client->dispatch.droppedMessages, 0);
}

TEST_F(DispatcherTest, UnhandledNumbersWithoutPluginChangeNothing) {
    for (int n : {0, 8, 24, 44, 45, 46, 47, 255}) {
        SCOPED_TRACE(n);
        EXPECT_FALSE(receive(validMessage(static_cast<std::uint8_t>(n))));
    }
    EXPECT_FALSE(client->props.scoreInfoReady);
    EXPECT_EQ(client->dispatch.droppedMessages, 0);
}

TEST_F(DispatcherTest, ScoreNoticeSetsItsFlagOnlyWithThePluginLoaded) {
    EXPECT_FALSE(receive(validMessage(46)));
    EXPECT_FALSE(client->props.scoreInfoReady);
    loadPlugin();
    EXPECT_FALSE(receive(validMessage(46)));
    EXPECT_TRUE(client->props.scoreInfoReady);
    EXPECT_EQ(plugin->received.size(), 1u);
}

TEST_F(DispatcherTest, ChatSenderBecomesItsView) {
    struct Case {
        SeatBit own, sender;
        int view;
    };
    for (const Case& k : {Case{1, 1, 0}, Case{1, 2, 3}, Case{1, 8, 1}, Case{4, 2, 1}, Case{8, 1, 3}}) {
        client->table.custom[0].seat = k.own;
        dispatchDirect(*client, message(19, k.sender));
        EXPECT_EQ(client->link.info.seat, k.view) << int(k.own) << " " << int(k.sender);
    }
}

struct FieldCase {
    const char* name;
    std::uint8_t cmd;
    std::function<void(WireMessage&)> change;
    const char* dropReason;  // nullptr: the message is handled
};

class MalformedFieldTest : public DispatchFixture, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(MalformedFieldTest, OutOfRangeFieldsDropTheMessageNotTheClient) {
    loadPlugin();
    const FieldCase& k = GetParam();
    WireMessage m = validMessage(k.cmd);
    k.change(m);
    ASSERT_FALSE(receive(m)) << "the process ended";
    if (k.dropReason) {
        EXPECT_EQ(client->dispatch.droppedMessages, 1);
        EXPECT_TRUE(sim.process.logged(std::string("dropped command ") + std::to_string(k.cmd) + ": " + k.dropReason))
            << sim.process.logLines.back();
    } else {
        EXPECT_EQ(client->dispatch.droppedMessages, 0) << sim.process.logLines.back();
    }
    EXPECT_TRUE(plugin->received.empty());
}

using W = WireMessage;

// A deal of `tilesPerSeat` whose twelve tile pairs all carry `tile`.
void fullDeal(W& m, int tilesPerSeat, int tile) {
    m[11] = static_cast<std::uint8_t>(tilesPerSeat);
    for (std::size_t i = 0; i < 12; ++i) {
        m[16 + 2 * i] = static_cast<std::uint8_t>(tile & 15);
        m[17 + 2 * i] = static_cast<std::uint8_t>(tile >> 4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, MalformedFieldTest,
    ::testing::Values(
        FieldCase{"DiscardSeatNotOneBit", 2, [](W& m) { m[6] = 3; }, "seat = 3"},
        FieldCase{"DiscardSeatZero", 2, [](W& m) { m[6] = 0; }, "seat = 0"},
        FieldCase{"DiscardHonourSeven", 2, [](W& m) { m[15] = 0x17; }, nullptr},
        FieldCase{"DiscardHonourEight", 2, [](W& m) { m[15] = 0x18; }, "discarded tile = 24"},
        FieldCase{"DiscardBambooNine", 2, [](W& m) { m[15] = 0x29; }, nullptr},
        FieldCase{"DiscardRankTen", 2, [](W& m) { m[15] = 0x4A; }, "discarded tile = 74"},
        FieldCase{"DiscardRankZero", 2, [](W& m) { m[15] = 0x80; }, "discarded tile = 128"},
        FieldCase{"DiscardTwoSuitBits", 2, [](W& m) { m[15] = 0x31; }, "discarded tile = 49"},
        FieldCase{"DealThreeRounds", 1, [](W& m) { fullDeal(m, 12, 0x89); }, nullptr},
        FieldCase{"DealPastThreeRoundsServesThree", 1, [](W& m) { fullDeal(m, 255, 0x15), m[40] = 0xEE; }, nullptr},
        FieldCase{"DealPastThreeRoundsChecksTheThird", 1, [](W& m) { fullDeal(m, 16, 0x15), m[38] = 8; },
                  "dealt tile 11 = 24"},
        FieldCase{"DealBadTileInSecondRound", 1, [](W& m) { fullDeal(m, 8, 0x41), m[17 + 2 * 5] = 0; },
                  "dealt tile 5 = 1"},
        // 11 tiles a seat is 2.75 rounds, rounded up to a third round.
        FieldCase{"DealElevenBadTileInThirdRound", 1,
                  [](W& m) {
                      m[11] = 11;
                      for (int i = 0; i < 12; ++i) m[16 + 2 * i] = 1, m[17 + 2 * i] = 4;
                      m[17 + 2 * 9] = 0;
                  },
                  "dealt tile 9 = 1"},
        FieldCase{"DealUnusedPairsNotChecked", 1, [](W& m) { m[16 + 2 * 6] = 0xEE; }, nullptr},
        FieldCase{"HandStartDieSeven", 4, [](W& m) { m[9] = 7; }, "die 0 = 7"},
        FieldCase{"HandStartDieZeroIsRolled", 4, [](W& m) { m[9] = 0; }, nullptr},
        FieldCase{"HandStartDoublingDieZeroIsOne", 4, [](W& m) { m[16] = 1, m[13] = 3, m[15] = 0; }, nullptr},
        FieldCase{"HandStartPlainDieSeven", 4, [](W& m) { m[16] = 0, m[15] = 7; }, "die 3 = 7"},
        FieldCase{"HandStartDieFar", 4, [](W& m) { m[11] = 200; }, "die 1 = 200"},
        FieldCase{"HandStartBankerNotOneBit", 4, [](W& m) { m[6] = 0x0C; }, "seat = 12"},
        FieldCase{"OwnDrawWithoutTile", 5, [](W& m) { m[15] = 0; }, "drawn tile = 0"},
        FieldCase{"OthersDrawWithoutTile", 5, [](W& m) { m[6] = 4, m[15] = 0; }, nullptr},
        FieldCase{"ChiWithRankZero", 7, [](W& m) { m[9] = 4, m[11] = 0x40; }, "action tile 1 = 64"},
        FieldCase{"KongWithBadThirdTile", 7, [](W& m) { m[9] = 16, m[15] = 0x0A; }, "action tile 3 = 10"},
        FieldCase{"PassWithoutTiles", 7, [](W& m) { m[11] = m[13] = m[15] = 0; }, nullptr},
        FieldCase{"UnknownActionIsKept", 7, [](W& m) { m[9] = 3, m[15] = 0xEE; }, nullptr},
        FieldCase{"SpecialTilesNoWild", 14, [](W& m) { m[13] = 0; }, "wild tile = 0"},
        FieldCase{"SpecialTilesTurnedRankTen", 14, [](W& m) { m[15] = 0x8A; }, "turned tile = 138"},
        FieldCase{"RevealBadWallTile", 15, [](W& m) { m[18] = 0x0F; }, "wall tile 2 = 15"},
        FieldCase{"TableStatusBankerMissing", 16, [](W& m) { m[15] = 2, m[6] = 0; }, "seat = 0"},
        FieldCase{"TableStatusQuitMaskAccepted", 16, [](W& m) { m[15] = 1, m[6] = 0x0B; }, nullptr},
        FieldCase{"RestoreTooManyDiscards", 40, [](W& m) { m[7] = 25; }, "discard count = 25"},
        FieldCase{"RestoreFrontCountPastWall", 40, [](W& m) { m[11] = 136; }, "front count = 136"},
        FieldCase{"RestoreBadPairTile", 40, [](W& m) { m[16 + 2 * 23 + 1] = 0x1F; }, "restored tile 23 = 31"},
        FieldCase{"RestoreHandBadTurnedTile", 41, [](W& m) { m[15] = 0x1A; }, "turned tile = 26"},
        FieldCase{"HandGoldSeatNotOneBit", 9, [](W& m) { m[6] = 0x0F; }, "seat = 15"},
        FieldCase{"SeatNameSeatZero", 3, [](W& m) { m[6] = 0; }, "seat = 0"},
        FieldCase{"SeatNameTwoSeats", 3, [](W& m) { m[6] = 6; }, "seat = 6"},
        FieldCase{"SeatNameHighNibbleIgnored", 3, [](W& m) { m[6] = 0x24; }, nullptr},
        FieldCase{"ProfileOwn", 20, [](W& m) { m[6] = 15; }, nullptr},
        FieldCase{"ProfileNewPlayer", 20, [](W& m) { m[6] = 0; }, nullptr},
        FieldCase{"ProfileSeatThree", 20, [](W& m) { m[6] = 3; }, "seat = 3"},
        FieldCase{"ProfileSeatFive", 20, [](W& m) { m[6] = 5; }, "seat = 5"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace mj::test
