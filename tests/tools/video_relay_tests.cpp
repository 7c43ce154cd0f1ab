// video_relay_tests.cpp: the relay's bookkeeping: link states both ways,
// frames passed to the slot that links back, logouts and lost connections.
#include <gtest/gtest.h>

#include "hub.h"

namespace mj::test {
namespace {

namespace relay = platform::relay;
using relay_tool::Hub;
using relay_tool::Outgoing;
using Bytes = std::vector<std::uint8_t>;

class RelayHub : public ::testing::Test {
protected:
    Hub hub;
    std::vector<Outgoing> out;

    bool send(int conn, std::uint8_t kind, Bytes body) {
        return hub.onPacket(conn, relay::Packet{kind, std::move(body)}, out);
    }
    void login(int conn, const std::string& name) {
        hub.open(conn);
        ASSERT_TRUE(send(conn, relay::Login, Bytes(name.begin(), name.end())));
    }
    void link(int conn, int slot, const std::string& name) {
        Bytes b{static_cast<std::uint8_t>(slot)};
        b.insert(b.end(), name.begin(), name.end());
        ASSERT_TRUE(send(conn, relay::Link, b));
    }
    // What went out since the last look, as "to:kind:body".
    std::vector<std::string> taken() {
        std::vector<std::string> s;
        for (const auto& o : out) {
            std::string line = std::to_string(o.to) + ":" + std::to_string(o.bytes[4]);
            for (std::size_t i = 5; i < o.bytes.size(); ++i) line += ":" + std::to_string(o.bytes[i]);
            s.push_back(line);
        }
        out.clear();
        return s;
    }
};

TEST_F(RelayHub, ALinkIsWaitingThenOneWayThenBothWays) {
    login(1, "a");
    link(1, 2, "b");
    EXPECT_EQ(taken(), (std::vector<std::string>{"1:129", "1:130:2:5"}));
    login(2, "b");
    EXPECT_EQ(taken(), (std::vector<std::string>{"2:129", "1:130:2:12"}));
    link(2, 3, "a");
    EXPECT_EQ(taken(), (std::vector<std::string>{"1:130:2:15", "2:130:3:15"}));
}

TEST_F(RelayHub, FramesGoToTheSlotThatLinksBack) {
    login(1, "a");
    login(2, "b");
    login(3, "c");
    link(1, 1, "b");
    link(2, 3, "a");
    link(3, 1, "a");
    taken();
    ASSERT_TRUE(send(1, relay::Data, Bytes{1, relay::Frame, 9, 8}));
    const auto sent = out;
    EXPECT_EQ(taken(), (std::vector<std::string>{"2:5:3:2:9:8"}));
    EXPECT_TRUE(sent[0].isFrame);
    // c links a, but a does not link c: nothing for c; a slot without a link drops.
    ASSERT_TRUE(send(3, relay::Data, Bytes{1, relay::Frame, 1}));
    ASSERT_TRUE(send(1, relay::Data, Bytes{3, relay::Frame, 1}));
    EXPECT_TRUE(taken().empty());
}

TEST_F(RelayHub, ALeavingUserPutsItsPeersBackToWaiting) {
    login(1, "a");
    login(2, "b");
    link(1, 1, "b");
    link(2, 1, "a");
    taken();
    EXPECT_EQ(hub.close(2).size(), 1u);
    ASSERT_TRUE(send(1, relay::Logout, {}));
    EXPECT_EQ(hub.loggedInCount(), 0u);
    login(2, "b");
    link(2, 1, "a");
    EXPECT_EQ(taken(), (std::vector<std::string>{"2:129", "2:130:1:5"}));
}

TEST_F(RelayHub, MalformedPacketsAreRefused) {
    login(1, "a");
    EXPECT_FALSE(send(1, relay::Login, {}));
    EXPECT_FALSE(send(1, relay::Link, Bytes{0, 'b'}));
    EXPECT_FALSE(send(1, relay::Link, Bytes{1}));
    EXPECT_FALSE(send(1, relay::Unlink, {}));
    EXPECT_FALSE(send(1, relay::Data, Bytes{1}));
    EXPECT_FALSE(send(1, 0x55, {}));
    EXPECT_FALSE(send(9, relay::Login, Bytes{'x'})) << "an unknown connection";
    EXPECT_FALSE(send(1, relay::Login, Bytes(relay::MaxName + 1, 'n')));
}

}  // namespace
}  // namespace mj::test
