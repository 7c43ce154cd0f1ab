// The restore header and the watching client's table around the watched player.
#include "dispatch/dispatch_fixture.h"
#include "dispatch/player_records.h"

namespace mj::test {
namespace {

namespace info = dispatch::userinfo;

class SpectatorTableTest : public DispatchFixture {
protected:
    static constexpr std::uint64_t WatchedId = 12345;

    void SetUp() override {
        DispatchFixture::SetUp();
        client->link.launch.isSpectator = true;
        client->link.launch.watchedUserId = WatchedId;
        client->table.custom[0].seat = 0;
    }

    WireMessage profile(std::uint8_t seat, std::string_view login, std::uint64_t id,
                        std::string_view face = "m1") const {
        WireMessage m = message(20, seat);
        setText(m, info::NickName, sim.codec.toGbk("nick_" + std::string(login)));
        setText(m, info::LoginName, login);
        setText(m, info::FaceCode, face);
        m[info::NoProps] = 1;
        for (std::size_t i = 0; i < 8; ++i) m[info::UserId + i] = static_cast<std::uint8_t>(id >> (8 * i));
        return m;
    }

    static WireMessage restoreHeader(std::uint8_t banker, int sum0, int sum1) {
        WireMessage m = message(41, banker);
        setValue(m, 0, sum0);
        setValue(m, 1, sum1);
        setValue(m, 2, 0x11);
        setValue(m, 3, 0x12);
        return m;
    }

    void receiveAll(const std::vector<WireMessage>& ms) {
        for (const auto& m : ms) ASSERT_FALSE(receive(m)) << "the process ended";
    }

    const table::SeatRecord& seat(int v) const { return client->table.custom[static_cast<std::size_t>(v)]; }
};

TEST_F(SpectatorTableTest, RestoreHeaderKeepsTheBankerDiceAndSpecialTiles) {
    ASSERT_FALSE(receive(restoreHeader(0x84, 7, 5)));
    EXPECT_EQ(client->table.restoreBanker, 4);
    EXPECT_EQ(client->table.restoreDice, (std::array<int, 2>{7, 5}));
    EXPECT_EQ(client->table.wildTile, 0x11);
    EXPECT_EQ(client->table.piziTile1, 0x12);
    EXPECT_EQ(client->mainForm.find("Zhuang")->caption(), "南");
    EXPECT_TRUE(client->link.readySent);
}

struct AroundCase {
    std::uint8_t watchedSeat;
    std::array<std::uint8_t, 3> others;  // seat bits of the other three profiles
    std::array<int, 3> expectedViews;    // the views they take
};

TEST_F(SpectatorTableTest, OthersTakeTheirViewsAroundTheWatchedSeat) {
    const std::vector<AroundCase> cases{
        {2, {1, 4, 8}, {1, 3, 2}},
        {8, {1, 2, 4}, {3, 2, 1}},
        {1, {2, 4, 8}, {3, 2, 1}},
    };
    for (const auto& k : cases) {
        client->dispatch.seating.spectatorInfoCount = 0;
        receiveAll({profile(k.others[0], "o0", 1), profile(k.watchedSeat, "watched", WatchedId, "w3"),
                    profile(k.others[1], "o1", 2), profile(k.others[2], "o2", 3)});
        EXPECT_EQ(seat(0).seat, k.watchedSeat);
        EXPECT_EQ(seat(0).name, "watched");
        for (int i = 0; i < 3; ++i) {
            const int v = k.expectedViews[static_cast<std::size_t>(i)];
            EXPECT_EQ(seat(v).seat, k.others[static_cast<std::size_t>(i)]) << "watched " << int(k.watchedSeat);
            EXPECT_EQ(seat(v).name, "o" + std::to_string(i));
        }
        EXPECT_EQ(client->dispatch.resultPlayer[0].picIndex, "12") << "face w3";
        EXPECT_EQ(client->mainForm.find("Nid", 0)->caption(), "[] nick_watched");
    }
}

TEST_F(SpectatorTableTest, BankerAndDiceSumsPlaceTheWallStart) {
    ASSERT_FALSE(receive(restoreHeader(4, 7, 5)));
    // The watched player at seat 8: the banker at seat 4 is view 1.
    receiveAll({profile(8, "watched", WatchedId), profile(1, "a", 1), profile(2, "b", 2), profile(4, "c", 3)});
    EXPECT_EQ(seat(1).seat, 4);
    EXPECT_EQ(seat(1).isBanker, -1);
    EXPECT_EQ(client->table.wallHead, 126);
    EXPECT_EQ(client->table.wallTail, 124);
}

TEST_F(SpectatorTableTest, DiceSumsTwoDiceCannotMakeLeaveTheWallAlone) {
    client->table.wallHead = 40;
    ASSERT_FALSE(receive(restoreHeader(4, 15, 5)));
    receiveAll({profile(8, "watched", WatchedId), profile(1, "a", 1), profile(2, "b", 2), profile(4, "c", 3)});
    EXPECT_EQ(client->table.wallHead, 40);
}

TEST_F(SpectatorTableTest, WatchedPlayerMissingLeavesTheViewsUnassigned) {
    receiveAll({profile(8, "x", 7), profile(1, "a", 1), profile(2, "b", 2), profile(4, "c", 3)});
    EXPECT_EQ(seat(0).seat, 0);
    EXPECT_TRUE(sim.process.logged("not among the four profiles"));
}

}  // namespace
}  // namespace mj::test
