// relay_video_socket_test.cpp: our video socket against a scripted relay.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/relay_video_socket.h"
#include "platform/sim/sim_platform.h"

namespace mj::test {
namespace {

using namespace platform;
using Bytes = std::vector<std::uint8_t>;

class Events : public VideoSocketEvents {
public:
    void onMineStateChange(int state) override { log.push_back("mine " + std::to_string(state)); }
    void onUserStateChange(int slot, int state) override {
        log.push_back("state " + std::to_string(slot) + " " + std::to_string(state));
    }
    void onDataArrival(int slot, std::vector<std::uint8_t> data) override {
        log.push_back("data " + std::to_string(slot) + " " + std::string(data.begin(), data.end()));
    }
    std::vector<std::string> log;
};

class RelaySocket : public ::testing::Test {
protected:
    sim::SimSocket* tcp = nullptr;
    std::vector<std::string> logLines;
    std::unique_ptr<RelayVideoSocket> video;
    Events events;

    void SetUp() override {
        auto s = std::make_unique<sim::SimSocket>();
        tcp = s.get();
        video =
            std::make_unique<RelayVideoSocket>(std::move(s), [this](std::string_view l) { logLines.emplace_back(l); });
        video->setEvents(&events);
        video->configure("10.0.0.5", 8888, 3);
    }
    // The packets the socket sent since the last look, as kind and body.
    std::vector<relay::Packet> sentPackets() {
        relay::PacketReader r;
        r.feed(tcp->sent());
        std::vector<relay::Packet> out;
        while (auto p = r.next()) out.push_back(*p);
        tcp->clearSent();
        return out;
    }
    void fromRelay(std::uint8_t kind, const Bytes& body) { tcp->deliver(relay::encode(kind, body)); }
    void loggedIn() {
        video->login("zhang");
        tcp->acceptConnection();
        fromRelay(relay::LoggedIn, {});
        tcp->clearSent();
        events.log.clear();
    }
};

TEST_F(RelaySocket, TheLoginAndLinksWaitForTheConnection) {
    video->login("zhang");
    video->connectUser(2, "li");
    EXPECT_EQ(tcp->lastHost, "10.0.0.5");
    EXPECT_EQ(tcp->lastPort, 8888);
    EXPECT_EQ(video->userId(2), "li");
    EXPECT_EQ(video->userState(2), UserStateFree) << "taken at once";
    EXPECT_TRUE(tcp->sent().empty());
    tcp->acceptConnection();
    const auto sent = sentPackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].kind, relay::Login);
    EXPECT_EQ(std::string(sent[0].body.begin(), sent[0].body.end()), "zhang");
    EXPECT_EQ(sent[1].kind, relay::Link);
    EXPECT_EQ(sent[1].body, (Bytes{2, 'l', 'i'}));
    EXPECT_TRUE(events.log.empty()) << "no event from inside a member call";
}

TEST_F(RelaySocket, RelayReportsBecomeEventsAndBadOnesAreRefused) {
    loggedIn();
    video->connectUser(1, "li");
    // Split over several arrivals.
    Bytes both = relay::encode(relay::SlotState, Bytes{1, 15});
    const Bytes frame = relay::encode(relay::Data, Bytes{1, relay::Frame, 'x', 'y'});
    both.insert(both.end(), frame.begin(), frame.end());
    tcp->deliver(Bytes(both.begin(), both.begin() + 3));
    tcp->deliver(Bytes(both.begin() + 3, both.begin() + 9));
    tcp->deliver(Bytes(both.begin() + 9, both.end()));
    fromRelay(relay::SlotState, {2, 15});  // a slot nobody asked for
    fromRelay(relay::SlotState, {9, 15});  // out of range
    fromRelay(relay::Data, {7, relay::Frame, 'z'});
    fromRelay(0x42, {});
    EXPECT_EQ(events.log, (std::vector<std::string>{"state 1 15", "data 1 xy"}));
    EXPECT_EQ(video->userState(1), 15);
    EXPECT_EQ(video->userState(2), 0);
    // The refused packets: one line when they start, one with the count
    // when a good packet ends them.
    const auto refused = [&] {
        return std::count_if(logLines.begin(), logLines.end(),
                             [](const std::string& l) { return l.find("refused") != std::string::npos; });
    };
    EXPECT_EQ(refused(), 1);
    fromRelay(relay::SlotState, {1, 12});
    EXPECT_EQ(refused(), 2);
    EXPECT_NE(logLines.back().find("3 packets from the relay were refused"), std::string::npos) << logLines.back();
}

TEST_F(RelaySocket, FramesGoOnlyToLinkedSlots) {
    loggedIn();
    video->connectUser(1, "li");
    video->connectUser(2, "wang");
    fromRelay(relay::SlotState, {1, 12});
    tcp->clearSent();
    video->sendVideoData(1, Bytes{'a'});
    video->sendVideoData(2, Bytes{'b'});
    video->sendVideoData(1, Bytes{});
    video->sendVideoMode(1, 2);
    const auto sent = sentPackets();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].body, (Bytes{1, relay::Frame, 'a'}));
    EXPECT_EQ(sent[1].body, (Bytes{1, relay::Mode, 0, 2}));
}

TEST(RelaySocketBacklog, FramesWaitWhileTheRelayDoesNotTakeWhatWasSent) {
    struct SlowSocket : sim::SimSocket {
        std::size_t pendingBytes() const override { return pending; }
        std::size_t pending = 0;
    };
    auto s = std::make_unique<SlowSocket>();
    SlowSocket& tcp = *s;
    RelayVideoSocket video(std::move(s));
    video.configure("h", 8888, 3);
    video.login("zhang");
    tcp.acceptConnection();
    video.connectUser(1, "li");
    tcp.deliver(relay::encode(relay::SlotState, Bytes{1, 15}));
    tcp.clearSent();
    tcp.pending = 2 * 1024 * 1024;
    video.sendVideoData(1, Bytes{'a'});
    EXPECT_TRUE(tcp.sent().empty());
    tcp.pending = 0;
    video.sendVideoData(1, Bytes{'b'});
    EXPECT_FALSE(tcp.sent().empty());
}

// While the socket still holds bytes, frames wait one per slot, the newer
// replacing the older; they go out once the socket has drained.
TEST(RelaySocketBacklog, ASlowUplinkKeepsOnlyTheNewestFrameOfEachSlot) {
    struct SlowSocket : sim::SimSocket {
        void setEvents(SocketEvents* e) override {
            events = e;
            sim::SimSocket::setEvents(e);
        }
        std::size_t pendingBytes() const override { return pending; }
        std::size_t pending = 0;
        SocketEvents* events = nullptr;
    };
    auto s = std::make_unique<SlowSocket>();
    SlowSocket& tcp = *s;
    std::vector<std::string> logLines;
    RelayVideoSocket video(std::move(s), [&](std::string_view l) { logLines.emplace_back(l); });
    video.configure("h", 8888, 3);
    video.login("zhang");
    tcp.acceptConnection();
    for (int slot : {1, 2}) {
        video.connectUser(slot, "p" + std::to_string(slot));
        tcp.deliver(relay::encode(relay::SlotState, Bytes{static_cast<std::uint8_t>(slot), 15}));
    }
    tcp.clearSent();
    logLines.clear();
    tcp.pending = 100;  // one frame still on its way
    for (char f : {'a', 'b', 'c'}) video.sendVideoData(1, Bytes{static_cast<std::uint8_t>(f)});
    video.sendVideoData(2, Bytes{'x'});
    EXPECT_TRUE(tcp.sent().empty());
    tcp.pending = 0;
    tcp.events->onDrained();
    relay::PacketReader r;
    r.feed(tcp.sent());
    std::vector<Bytes> bodies;
    while (auto p = r.next()) bodies.push_back(p->body);
    EXPECT_EQ(bodies, (std::vector<Bytes>{{1, relay::Frame, 'c'}, {2, relay::Frame, 'x'}}));
    ASSERT_EQ(logLines.size(), 2u);
    EXPECT_NE(logLines[1].find("2 frames were dropped"), std::string::npos) << logLines[1];
    // A slot dropped meanwhile gets nothing of what waited for it.
    tcp.clearSent();
    tcp.pending = 100;
    video.sendVideoData(1, Bytes{'d'});
    video.disconnectUser(1);
    tcp.clearSent();
    tcp.pending = 0;
    tcp.events->onDrained();
    EXPECT_TRUE(tcp.sent().empty());
}

TEST_F(RelaySocket, ABrokenStreamOrALostLinkLeavesTheSlotsWaiting) {
    loggedIn();
    video->connectUser(3, "zhao");
    fromRelay(relay::SlotState, {3, 15});
    tcp->deliver(Bytes{0, 0, 0, 0});  // a zero length
    EXPECT_EQ(tcp->state(), SocketState::Closed);
    EXPECT_EQ(video->userId(3), "zhao");
    EXPECT_EQ(video->userState(3), UserStateFree);
    video->logout();
    EXPECT_EQ(video->userId(3), "");
    // A new login connects again.
    video->login("zhang");
    EXPECT_EQ(tcp->state(), SocketState::Connecting);
}

// A relay that drops the connection mid-hand: the own login reports 0 and
// the linked slots their fall; the slots keep their users and a new login
// links them again without being asked.
TEST_F(RelaySocket, ALostLinkReportsTheLoginLostAndANewLoginLinksTheSlotsAgain) {
    loggedIn();
    video->connectUser(1, "li");
    video->connectUser(3, "zhao");
    fromRelay(relay::SlotState, {1, 15});
    events.log.clear();
    tcp->peerClose();
    EXPECT_EQ(events.log, (std::vector<std::string>{"state 1 1", "mine 0"}));
    EXPECT_EQ(video->userId(1), "li");
    EXPECT_EQ(video->userState(1), UserStateFree);
    video->sendVideoData(1, Bytes{'a'});

    tcp->clearSent();
    video->login("zhang");
    EXPECT_EQ(tcp->state(), SocketState::Connecting);
    tcp->acceptConnection();
    const auto sent = sentPackets();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].kind, relay::Login);
    EXPECT_EQ(sent[1].kind, relay::Link);
    EXPECT_EQ(sent[1].body, (Bytes{1, 'l', 'i'}));
    EXPECT_EQ(sent[2].body, (Bytes{3, 'z', 'h', 'a', 'o'}));
    fromRelay(relay::LoggedIn, {});
    fromRelay(relay::SlotState, {1, 15});
    EXPECT_EQ(events.log.back(), "state 1 15");

    // A relay that stays away: one log line for all the failed tries, one
    // when it is back.
    logLines.clear();
    for (int i = 0; i < 20; ++i) {
        tcp->peerClose();
        video->login("zhang");
    }
    tcp->acceptConnection();
    EXPECT_EQ(logLines.size(), 2u);
    EXPECT_NE(logLines.back().find("after 20"), std::string::npos) << logLines.back();
}

TEST_F(RelaySocket, LogoutTellsTheRelayAndDropsEverySlot) {
    loggedIn();
    video->connectUser(1, "li");
    video->disconnectUser(1);
    video->connectUser(2, "wang");
    video->logout();
    const auto sent = sentPackets();
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent[1].kind, relay::Unlink);
    EXPECT_EQ(sent[3].kind, relay::Logout);
    EXPECT_EQ(tcp->state(), SocketState::Closed);
    EXPECT_EQ(video->userState(2), 0);
}

}  // namespace
}  // namespace mj::test
