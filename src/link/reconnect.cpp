// reconnect.cpp: the hidden reconnect controller and its attempts.
#include "link/reconnect.h"

#include <memory>

#include "link/client.h"

namespace mj::link {

namespace {

constexpr platform::Millis CountdownInterval{1000};
constexpr platform::Millis AttemptInterval{3000};

struct ReconnectController {
    std::unique_ptr<platform::Timer> countdownTimer;
    std::unique_ptr<platform::Timer> attemptTimer;
    int countdown = 1;
    int tries = 0;
    // A connection stood but the server has not accepted the reconnect yet.
    // A server that accepts the connection and drops it again must not give
    // the controller a fresh set of attempts each time.
    bool awaitingReply = false;
};

// The bytes of a message cut off by the loss would run into the new stream
// and misframe every later message.
void dropPartialMessage(ByteRing& ring) {
    const std::size_t whole = ring.waiting() / WireMessageSize * WireMessageSize;
    ring.setIndexes(ring.readIndex(), ring.readIndex() + whole);
}

void start(Client& c, ReconnectController& r) {
    // Already counting down or attempting: the same attempts go on.
    if (r.countdownTimer->enabled() || r.attemptTimer->enabled()) return;
    if (!r.awaitingReply || c.link.reconnected) r.tries = 0;
    r.awaitingReply = false;
    r.countdown = 1;
    r.attemptTimer->setEnabled(false);
    r.countdownTimer->setEnabled(true);
}

void countdownTick(ReconnectController& r) {
    if (--r.countdown >= 1) return;
    r.countdownTimer->setEnabled(false);
    r.countdown = 1;
    r.attemptTimer->setEnabled(true);
}

void attemptTick(Client& c, ReconnectController& r) {
    if (c.p.socket.state() == platform::SocketState::Connected) {
        r.attemptTimer->setEnabled(false);
        r.awaitingReply = true;
        return;
    }
    if (r.tries < ReconnectAttempts) {
        ++r.tries;
        c.log("reconnect attempt " + std::to_string(r.tries));
        reconnectServer(c);
        return;
    }
    r.attemptTimer->setEnabled(false);
    c.p.process.messageBox(ReconnectFailedText, c.mainForm.caption());
    c.restoreHallWindow();
    c.log("reconnect given up");
    c.p.process.endProcess(0);
}

}  // namespace

WireMessage reconnectMessage(const WireMessage& login, const std::array<std::uint8_t, 2>& echo,
                             const std::array<std::uint8_t, 4>& sessionKey) {
    WireMessage m = login;
    m[wire::Cmd] = CmdReconnect;
    m[wire::Echo] = echo[0];
    m[wire::Echo + 1] = echo[1];
    for (std::size_t i = 0; i < sessionKey.size(); ++i) m[wire::SessionKey + i] = sessionKey[i];
    return m;
}

void reconnectServer(Client& c) {
    LinkState& l = c.link;
    for (auto* line : c.sysmsg) line->clear();
    c.sysmsg[0]->addItem(ReconnectingStripText);
    l.reconnectMsg = reconnectMessage(l.loginMsg, l.echoByte, l.sessionKey);
    l.reconnected = false;
    l.proxyHandshakeDone = true;
    c.p.socket.close();
    dropPartialMessage(l.recvRing);
    switch (l.launch.connectMode) {
    case 0:
        c.p.socket.connect(l.launch.serverHost, static_cast<std::uint16_t>(l.launch.serverPort));
        l.loginTask = Task{true, 0};
        break;
    case 5:
        l.loginTask = Task{};
        if (c.connectViaProxy) c.connectViaProxy(c);
        break;
    default:
        break;
    }
}

void installReconnect(Client& c) {
    auto r = std::make_shared<ReconnectController>();
    ReconnectController* rp = r.get();
    Client* cp = &c;
    r->countdownTimer = c.p.clock.createTimer(CountdownInterval, [rp] { countdownTick(*rp); });
    r->attemptTimer =
        c.p.clock.createTimer(AttemptInterval, [cp, rp] { cp->trapped("reconnect", [&] { attemptTick(*cp, *rp); }); });
    c.startReconnect = [r](Client& client) { start(client, *r); };
}

}  // namespace mj::link
