// The SOCKS5 handshake: the byte machine against tables of proxy replies, then
// its wiring to the game socket.
#include "dispatch/dispatch_fixture.h"
#include "link/hall_window.h"
#include "link/proxy.h"

namespace mj::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using link::Socks5Error;
using link::Socks5Handshake;
using link::Socks5Step;

Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Bytes Greeting{5, 2, 0, 2};
const Bytes Auth{1, 5, 'g', 'a', 'm', 'e', 'r', 6, 's', '3', 'c', 'r', 'e', 't'};
const Bytes Connect{5, 1, 0, 1, 10, 0, 0, 5, 0x01, 0xBB};
const Bytes ConnectOk{5, 0, 0, 1, 127, 0, 0, 1, 0x1F, 0x90};

struct HandshakeCase {
    const char* name;
    std::vector<Bytes> replies;  // each one arrival
    Bytes sent;                  // everything we sent, greeting included
    Socks5Step step;
    Socks5Error error;
    Bytes surplus;
};

class Socks5HandshakeTest : public ::testing::TestWithParam<HandshakeCase> {};

TEST_P(Socks5HandshakeTest, RepliesDriveTheRequests) {
    const auto& k = GetParam();
    Socks5Handshake h;
    Bytes sent = h.start({"10.0.0.5", 443, "gamer", "s3cret"});
    Bytes surplus;
    for (const auto& r : k.replies) {
        auto out = h.feed(r);
        sent.insert(sent.end(), out.send.begin(), out.send.end());
        surplus.insert(surplus.end(), out.surplus.begin(), out.surplus.end());
    }
    EXPECT_EQ(sent, k.sent);
    EXPECT_EQ(h.step(), k.step);
    EXPECT_EQ(h.error(), k.error);
    EXPECT_EQ(surplus, k.surplus);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, Socks5HandshakeTest,
    ::testing::Values(
        HandshakeCase{"NoAuthGoesStraightToConnect",
                      {{5, 0}, ConnectOk},
                      cat({Greeting, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {}},
        HandshakeCase{"UserAndPassword",
                      {{5, 2}, {1, 0}, ConnectOk},
                      cat({Greeting, Auth, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {}},
        HandshakeCase{"NoAcceptableMethod", {{5, 0xFF}}, Greeting, Socks5Step::Failed, Socks5Error::MethodRefused, {}},
        HandshakeCase{"NotSocks5", {{4, 0}}, Greeting, Socks5Step::Failed, Socks5Error::MethodRefused, {}},
        HandshakeCase{
            "WrongPassword", {{5, 2}, {1, 1}}, cat({Greeting, Auth}), Socks5Step::Failed, Socks5Error::AuthRefused, {}},
        // The authentication reply carries the sub-negotiation's version 1,
        // not the SOCKS version; anything else is no acceptance.
        HandshakeCase{"AuthReplyWithSocksVersion",
                      {{5, 2}, {5, 0}},
                      cat({Greeting, Auth}),
                      Socks5Step::Failed,
                      Socks5Error::AuthRefused,
                      {}},
        HandshakeCase{"AuthReplyWithVersionZero",
                      {{5, 2}, {0, 0}},
                      cat({Greeting, Auth}),
                      Socks5Step::Failed,
                      Socks5Error::AuthRefused,
                      {}},
        HandshakeCase{"ConnectRefused",
                      {{5, 2}, {1, 0}, {5, 5, 0, 1, 0, 0, 0, 0, 0, 0}},
                      cat({Greeting, Auth, Connect}),
                      Socks5Step::Failed,
                      Socks5Error::ConnectRefused,
                      {}},
        // After "01 00" a refusal split as "05" | "01 ..." is still a refusal.
        HandshakeCase{"RefusalSplitAfterAcceptedAuth",
                      {{5, 2}, {1, 0}, {5}, {1, 0, 1}},
                      cat({Greeting, Auth, Connect}),
                      Socks5Step::Failed,
                      Socks5Error::ConnectRefused,
                      {}},
        HandshakeCase{"MethodReplyByteByByte",
                      {{5}, {2}, {1}, {0}, ConnectOk},
                      cat({Greeting, Auth, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {}},
        // The CONNECT reply's tail and the game's first bytes share arrivals.
        HandshakeCase{"ConnectReplyInPiecesThenGameBytes",
                      {{5, 0}, {5, 0, 0}, {1, 127, 0}, {0, 1, 0x1F, 0x90, 0xAA, 0xBB}},
                      cat({Greeting, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {0xAA, 0xBB}},
        HandshakeCase{"BoundNameReply",
                      {{5, 0}, {5, 0, 0, 3, 4, 'h', 'o', 's', 't', 0, 80, 0xCC}},
                      cat({Greeting, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {0xCC}},
        HandshakeCase{"BoundIpv6Reply",
                      {{5, 0}, cat({{5, 0, 0, 4}, Bytes(16, 0), {0, 80}})},
                      cat({Greeting, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {}},
        HandshakeCase{"UnknownAddressType",
                      {{5, 0}, {5, 0, 0, 7, 0}},
                      cat({Greeting, Connect}),
                      Socks5Step::Failed,
                      Socks5Error::BadReply,
                      {}},
        // A proxy that answers ahead: the method and authentication replies
        // in one segment are both judged, so the connect request goes out.
        HandshakeCase{"MethodAndAuthRepliesInOneSegment",
                      {{5, 2, 1, 0}, ConnectOk},
                      cat({Greeting, Auth, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {}},
        HandshakeCase{"EveryReplyInOneSegment",
                      {cat({{5, 2, 1, 0}, ConnectOk, {0xDD}})},
                      cat({Greeting, Auth, Connect}),
                      Socks5Step::Done,
                      Socks5Error::None,
                      {0xDD}},
        HandshakeCase{"RefusedAuthAheadOfTime",
                      {{5, 2, 1, 1}},
                      cat({Greeting, Auth}),
                      Socks5Step::Failed,
                      Socks5Error::AuthRefused,
                      {}},
        HandshakeCase{"IncompleteReplyWaits",
                      {{5, 0}, {5, 0, 0, 1, 127, 0}},
                      cat({Greeting, Connect}),
                      Socks5Step::WaitConnect,
                      Socks5Error::None,
                      {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Socks5Requests, ConnectCarriesTheTarget) {
    struct Case {
        std::string host;
        std::uint16_t port;
        Bytes request;
    };
    for (const Case& k :
         {Case{"10.0.0.5", 443, Connect}, Case{"255.0.1.2", 9000, {5, 1, 0, 1, 255, 0, 1, 2, 0x23, 0x28}},
          // Anything but a dotted address goes by name, for the proxy to resolve.
          Case{"game.example", 80,
               cat({{5, 1, 0, 3, 12}, Bytes{'g', 'a', 'm', 'e', '.', 'e', 'x', 'a', 'm', 'p', 'l', 'e'}, {0, 80}})},
          Case{"1.2.3.256", 1, cat({{5, 1, 0, 3, 9}, Bytes{'1', '.', '2', '.', '3', '.', '2', '5', '6'}, {0, 1}})},
          Case{"1.2.3", 1, cat({{5, 1, 0, 3, 5}, Bytes{'1', '.', '2', '.', '3'}, {0, 1}})},
          Case{std::string(256, 'h'), 1, {}}}) {
        EXPECT_EQ(Socks5Handshake::connectRequest({k.host, k.port, "", ""}), k.request) << k.host;
    }
    Socks5Handshake h;
    EXPECT_TRUE(h.start({std::string(256, 'h'), 1, "", ""}).empty());
    EXPECT_EQ(h.error(), Socks5Error::BadTarget);
}

// ---------------------------------------------------------------- on the socket

class ProxyLinkTest : public ClientFixture {
protected:
    static constexpr char Line[] = "zhang$pw$10.0.0.5$443$Room$5$127.0.0.1$1080$gamer$s3cret$0$$$0$0$";
    std::vector<int> dispatched;
    void SetUp() override {
        ClientFixture::SetUp();
        client->dispatchServerCommand = [this](link::Client& c) { dispatched.push_back(c.link.info.cmd); };
    }
    void startAccepted() {
        sim.clock.post([this] { sim.socket.acceptConnection(); });
        ASSERT_FALSE(start(Line));
    }
    std::vector<std::uint8_t> sentBytes() const { return sim.socket.sent(); }
};

TEST_F(ProxyLinkTest, SuccessSendsTheLoginAndHandsTheRestToTheGame) {
    startAccepted();
    EXPECT_EQ(sim.socket.lastHost, "127.0.0.1");
    EXPECT_EQ(sim.socket.lastPort, 1080);
    EXPECT_TRUE(client->link.loginSent);
    EXPECT_EQ(sentBytes(), Greeting);
    sim.socket.deliver(Bytes{5, 2});
    sim.socket.deliver(Bytes{1, 0});
    EXPECT_EQ(sentBytes(), cat({Greeting, Auth, Connect}));
    sim.socket.clearSent();

    WireMessage game{};
    game[3] = 33;
    Bytes tail = cat({ConnectOk, Bytes(game.begin(), game.end())});
    sim.socket.deliver(std::span(tail).first(4));
    EXPECT_FALSE(client->link.proxyHandshakeDone);
    sim.socket.deliver(std::span(tail).subspan(4));
    EXPECT_TRUE(client->link.proxyHandshakeDone);
    ASSERT_EQ(sim.socket.sentMessages().size(), 1u);
    EXPECT_EQ(sim.socket.sentMessages()[0][3], 18);
    EXPECT_EQ(sim.hall.count(link::HallLoggedIn), 1);
    EXPECT_EQ(client->sysmsg[0]->items(), std::vector<std::string>{"连接代理服务器成功！"});
    ASSERT_FALSE(run(platform::Millis(200)));
    EXPECT_EQ(dispatched, std::vector<int>{33});
}

TEST_F(ProxyLinkTest, RefusalsShowTheirTextAndCloseTheSocket) {
    struct Case {
        std::vector<Bytes> replies;
        const char* text;
    };
    for (const Case& k : {Case{{{5, 0xFF}}, "请求代理失败！"}, Case{{{5, 2}, {1, 1}}, "代理服务器用户验证失败！"},
                          Case{{{5, 0}, {5, 1}}, "通过代理连接主站失败！"}}) {
        SCOPED_TRACE(k.text);
        sim.process.boxes.clear();
        sim.socket.close();
        startAccepted();
        for (const auto& r : k.replies) sim.socket.deliver(r);
        ASSERT_EQ(sim.process.boxes.size(), 1u);
        EXPECT_EQ(sim.process.boxes[0].text, k.text);
        EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
        EXPECT_FALSE(client->link.proxyHandshakeDone);
        EXPECT_EQ(sim.hall.count(link::HallLoggedIn), 0);
    }
}

// As during a direct connect, the login counts as under way from the moment
// the connection is asked for: the hall hears "logging in" and nothing is left.
TEST_F(ProxyLinkTest, LeaveRequestDuringTheProxyConnectIsAnsweredLoggingIn) {
    std::vector<std::uint32_t> replies;
    sim.clock.post([this, &replies] {
        const std::size_t from = sim.hall.posted.size();
        EXPECT_TRUE(client->mainForm.onWindowMessage(link::HallLeaveRequest, 0, 0, false));
        for (std::size_t i = from; i < sim.hall.posted.size(); ++i) replies.push_back(sim.hall.posted[i].message);
        sim.socket.acceptConnection();
    });
    ASSERT_FALSE(start(Line));
    EXPECT_EQ(replies, std::vector<std::uint32_t>{link::HallLoggingIn});
    EXPECT_TRUE(sim.process.boxes.empty());
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Connected);
    EXPECT_EQ(sentBytes(), Greeting) << "the handshake goes on, with no leave message before it";
}

TEST_F(ProxyLinkTest, ProxyThatNeverAcceptsEndsTheWaitAfterTheLimit) {
    const auto t0 = sim.clock.monotonic();
    ASSERT_FALSE(start(Line));
    EXPECT_GE(sim.clock.monotonic() - t0, link::ProxyTimeLimit);
    EXPECT_LT(sim.clock.monotonic() - t0, link::ProxyTimeLimit + platform::Millis(1000));
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
    EXPECT_FALSE(client->link.loginSent);
}

TEST_F(ProxyLinkTest, RefusedTcpConnectionEndsTheWaitAtOnce) {
    sim.clock.post([this] { sim.socket.refuseConnection(); });
    const auto t0 = sim.clock.monotonic();
    ASSERT_FALSE(start(Line));
    EXPECT_LT(sim.clock.monotonic() - t0, platform::Millis(1000));
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_TRUE(sim.socket.sent().empty());
}

TEST_F(ProxyLinkTest, SilentProxyIsGivenUpAfterTheLimit) {
    startAccepted();
    sim.socket.deliver(Bytes{5, 2});
    ASSERT_FALSE(run(link::ProxyTimeLimit - platform::Millis(100)));
    EXPECT_TRUE(sim.process.boxes.empty());
    ASSERT_FALSE(run(platform::Millis(200)));
    ASSERT_EQ(sim.process.boxes.size(), 1u);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
}

TEST_F(ProxyLinkTest, FinishedHandshakeIsNotGivenUpLater) {
    startAccepted();
    sim.socket.deliver(Bytes{5, 0});
    sim.socket.deliver(ConnectOk);
    ASSERT_FALSE(run(link::ProxyTimeLimit * 2));
    EXPECT_TRUE(sim.process.boxes.empty());
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Connected);
}

}  // namespace
}  // namespace mj::test
