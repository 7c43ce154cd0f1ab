// Reconnecting after the game link was lost: the request's bytes, the
// attempts and their limit, and a fresh connect afterwards.
#include "dispatch/dispatch_fixture.h"
#include "link/hall_window.h"
#include "link/reconnect.h"

namespace mj::test {
namespace {

class ReconnectTest : public DispatchFixture {
protected:
    static constexpr std::array<std::uint8_t, 4> Key{0x81, 0xFE, 0x00, 0x9A};

    void SetUp() override {
        DispatchFixture::SetUp();
        // Logged in, then told the banker and the session key.
        WireMessage ok = message(18);
        setValue(ok, 3, 1);
        ASSERT_FALSE(receive(ok));
        WireMessage status = message(16, 2);
        setValue(status, 3, 2);
        std::copy(Key.begin(), Key.end(), status.begin() + wire::SessionKey);
        status[wire::Echo] = 0x12;
        status[wire::Echo + 1] = 0xC3;
        ASSERT_FALSE(receive(status));
        ASSERT_TRUE(client->link.canReconnect);
        sim.socket.clearSent();
    }

    // The link drops; the link check (every 2 s) finds it lost.
    std::optional<int> loseLink() {
        sim.socket.peerClose();
        return run(platform::Millis(2000));
    }

    [[nodiscard]] std::vector<std::vector<std::uint8_t>> sentOf(int cmd) const {
        std::vector<std::vector<std::uint8_t>> out;
        for (auto& m : sim.socket.sentMessages()) {
            if (m[wire::Cmd] == cmd) out.push_back(m);
        }
        return out;
    }
};

TEST(ReconnectMessage, CarriesTheKeyAndEchoAsReceivedAndLeavesTheLoginAlone) {
    WireMessage login{};
    login[wire::Cmd] = CmdLogin;
    login[16] = 'z';
    login[32] = 'p';
    const WireMessage before = login;
    const WireMessage m = link::reconnectMessage(login, {0xAB, 0x80}, {0xFF, 0x80, 0x7F, 0x80});
    EXPECT_EQ(login, before);
    EXPECT_EQ(m[wire::Cmd], CmdReconnect);
    EXPECT_EQ(m[16], 'z');
    EXPECT_EQ(m[32], 'p');
    EXPECT_EQ(m[260], 0xAB);
    EXPECT_EQ(m[261], 0x80);
    EXPECT_EQ((std::array<std::uint8_t, 4>{m[268], m[269], m[270], m[271]}),
              (std::array<std::uint8_t, 4>{0xFF, 0x80, 0x7F, 0x80}));
}

TEST_F(ReconnectTest, LostLinkReconnectsWithTheKeyAndAFreshConnectLogsInAgain) {
    const int connectsBefore = sim.socket.connectCalls;
    ASSERT_FALSE(loseLink());
    EXPECT_FALSE(client->link.loggedIn);
    // The countdown second, then the first three-second tick makes the attempt.
    ASSERT_FALSE(run(platform::Millis(4000)));
    EXPECT_EQ(sim.socket.connectCalls, connectsBefore + 1);
    EXPECT_EQ(strip(0), link::ReconnectingStripText);
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(300)));
    const auto sent = sentOf(CmdReconnect);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sentOf(CmdLogin).empty());
    EXPECT_EQ((std::array<std::uint8_t, 4>{sent[0][268], sent[0][269], sent[0][270], sent[0][271]}), Key);
    EXPECT_EQ(sent[0][260], 0x12);
    EXPECT_EQ(sent[0][261], 0xC3);
    EXPECT_EQ(client->link.loginMsg[wire::Cmd], CmdLogin);

    // The hall's connect after the table was left is a plain login.
    sim.socket.close();
    sim.socket.clearSent();
    ASSERT_TRUE(client->mainForm.onWindowMessage(link::HallConnect, 0, 0, false));
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(300)));
    EXPECT_EQ(sentOf(CmdLogin).size(), 1u);
    EXPECT_TRUE(sentOf(CmdReconnect).empty());
}

TEST_F(ReconnectTest, LinkBackBeforeTheFirstAttemptMakesNoAttempt) {
    ASSERT_FALSE(loseLink());
    const int connects = sim.socket.connectCalls;
    client->p.socket.connect("127.0.0.1", 9000);
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(10000)));
    EXPECT_EQ(sim.socket.connectCalls, connects + 1);
}

TEST_F(ReconnectTest, RefusedAttemptsEndAfterTheLastWithTheHallRestored) {
    ASSERT_FALSE(loseLink());
    const int connects = sim.socket.connectCalls;
    std::optional<int> ended;
    for (int i = 0; i < 30 && !ended; ++i) {
        ended = run(platform::Millis(3000));
        if (sim.socket.state() == platform::SocketState::Connecting) sim.socket.refuseConnection();
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(sim.socket.connectCalls - connects, link::ReconnectAttempts);
    ASSERT_FALSE(sim.process.boxes.empty());
    EXPECT_EQ(sim.process.boxes.back().text, link::ReconnectFailedText);
    EXPECT_FALSE(sim.hall.restored.empty());
}

// A server that takes the connection and drops it before answering must not
// give the client a new set of attempts each time.
TEST_F(ReconnectTest, ServerThatAcceptsAndDropsDoesNotGetEndlessAttempts) {
    ASSERT_FALSE(loseLink());
    const int connects = sim.socket.connectCalls;
    std::optional<int> ended;
    for (int i = 0; i < 200 && !ended; ++i) {
        ended = run(platform::Millis(1000));
        if (sim.socket.state() == platform::SocketState::Connecting) sim.socket.acceptConnection();
        if (!ended && sim.socket.state() == platform::SocketState::Connected) {
            // Long enough for the controller to see the connection stand.
            ended = run(platform::Millis(3300));
            sim.socket.peerClose();
        }
    }
    ASSERT_TRUE(ended) << "still reconnecting";
    EXPECT_LE(sim.socket.connectCalls - connects, link::ReconnectAttempts);
    EXPECT_EQ(sim.process.boxes.back().text, link::ReconnectFailedText);
}

TEST_F(ReconnectTest, AcceptedReconnectGivesALaterLossAFullSetOfAttempts) {
    ASSERT_FALSE(loseLink());
    ASSERT_FALSE(run(platform::Millis(4000)));
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(3300)));
    WireMessage accepted = message(29);
    setValue(accepted, 3, 1);
    ASSERT_FALSE(receive(accepted));
    EXPECT_TRUE(client->link.loggedIn);
    WireMessage any = message(24);
    any[wire::Echo] = 0x44;
    ASSERT_FALSE(receive(any));
    sim.socket.clearSent();

    // A second loss sends the request again, with the latest echo bytes.
    ASSERT_FALSE(loseLink());
    ASSERT_FALSE(run(platform::Millis(4000)));
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(300)));
    const auto sent = sentOf(CmdReconnect);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][260], 0x44);
}

// Once the server has accepted a reconnect, a later loss is a new one: its
// attempts are counted from the first again.
TEST_F(ReconnectTest, AnAcceptedReconnectCountsTheNextLossesAttemptsAfresh) {
    ASSERT_FALSE(loseLink());
    // Five attempts refused, the sixth accepted.
    int connects = sim.socket.connectCalls;
    for (int i = 0; i < 40 && sim.socket.connectCalls - connects < 6; ++i) {
        ASSERT_FALSE(run(platform::Millis(500)));
        if (sim.socket.state() != platform::SocketState::Connecting) continue;
        if (sim.socket.connectCalls - connects < 6)
            sim.socket.refuseConnection();
        else
            sim.socket.acceptConnection();
    }
    ASSERT_EQ(sim.socket.connectCalls - connects, 6);
    if (sim.socket.state() == platform::SocketState::Connecting) sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(3300)));
    WireMessage accepted = message(29);
    setValue(accepted, 3, 1);
    ASSERT_FALSE(receive(accepted));
    ASSERT_TRUE(client->link.loggedIn);

    ASSERT_FALSE(loseLink());
    connects = sim.socket.connectCalls;
    std::optional<int> ended;
    for (int i = 0; i < 200 && !ended; ++i) {
        ended = run(platform::Millis(500));
        if (sim.socket.state() == platform::SocketState::Connecting) sim.socket.refuseConnection();
    }
    ASSERT_TRUE(ended);
    EXPECT_EQ(sim.socket.connectCalls - connects, link::ReconnectAttempts);
}

// The attempts come about 4, 7 and 10 seconds after the loss is found: a
// second's countdown, then one every three seconds.
TEST_F(ReconnectTest, AttemptsFollowTheFoundLossAtFourSevenAndTenSeconds) {
    sim.socket.peerClose();
    std::optional<platform::Millis> found;
    for (int i = 0; i < 40 && !found; ++i) {
        ASSERT_FALSE(run(platform::Millis(100)));
        if (!client->link.loggedIn) found = sim.clock.monotonic();
    }
    ASSERT_TRUE(found) << "the loss was never found";
    std::vector<long long> attempts;
    int connects = sim.socket.connectCalls;
    while (sim.clock.monotonic() - *found < platform::Millis(10500)) {
        ASSERT_FALSE(run(platform::Millis(50)));
        if (sim.socket.connectCalls != connects) {
            connects = sim.socket.connectCalls;
            attempts.push_back((sim.clock.monotonic() - *found).count());
            sim.socket.refuseConnection();
        }
    }
    ASSERT_EQ(attempts.size(), 3u);
    for (std::size_t k = 0; k < 3; ++k) {
        const long long due = 4000 + 3000 * static_cast<long long>(k);
        EXPECT_GE(attempts[k], due - 100) << k;
        EXPECT_LE(attempts[k], due + 100) << k;
    }
}

// Through the proxy an attempt connects to the proxy, with no login task of
// its own, and sends the reconnect request once the proxy has connected it.
TEST_F(ReconnectTest, ThroughTheProxyTheRequestFollowsTheProxysConnectReply) {
    auto& launch = client->link.launch;
    launch.connectMode = 5;
    launch.proxyHost = "10.0.0.9";
    launch.proxyPort = 1080;
    launch.proxyUser = "gamer";
    launch.proxyPassword = "s3cret";
    // The proxy takes the connection while the attempt waits for it.
    auto proxyAccepts = sim.clock.createTimer(platform::Millis(50), [this] {
        if (sim.socket.state() == platform::SocketState::Connecting) sim.socket.acceptConnection();
    });
    proxyAccepts->setEnabled(true);
    ASSERT_FALSE(loseLink());
    sim.socket.clearSent();
    ASSERT_FALSE(run(platform::Millis(4000)));
    proxyAccepts->setEnabled(false);
    EXPECT_EQ(sim.socket.lastHost, "10.0.0.9");
    EXPECT_EQ(sim.socket.lastPort, 1080);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Connected);
    EXPECT_FALSE(client->link.loginTask.on);
    sim.socket.deliver(std::vector<std::uint8_t>{5, 2});
    sim.socket.deliver(std::vector<std::uint8_t>{1, 0});
    // Only the proxy's handshake so far: no message goes out before the
    // proxy has connected it to the server.
    EXPECT_LT(sim.socket.sent().size(), WireMessageSize);
    sim.socket.clearSent();
    sim.socket.deliver(std::vector<std::uint8_t>{5, 0, 0, 1, 127, 0, 0, 1, 0x1F, 0x90});
    ASSERT_FALSE(run(platform::Millis(300)));
    const auto sent = sentOf(CmdReconnect);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sentOf(CmdLogin).empty());
    EXPECT_EQ((std::array<std::uint8_t, 4>{sent[0][268], sent[0][269], sent[0][270], sent[0][271]}), Key);
}

// Bytes of a message cut off by the loss are dropped, so the new stream's
// messages are framed from their first byte.
TEST_F(ReconnectTest, PartialMessageLeftByTheLossIsDropped) {
    std::vector<std::uint8_t> half(100, 0x55);
    sim.socket.deliver(half);
    client->link.recvTask.on = false;  // keep the tail in the ring
    ASSERT_FALSE(loseLink());
    ASSERT_FALSE(run(platform::Millis(4000)));
    EXPECT_EQ(client->link.recvRing.waiting(), 0u);
}

}  // namespace
}  // namespace mj::test
