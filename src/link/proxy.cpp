// proxy.cpp: the SOCKS5 handshake and its wiring to the game socket.
#include "link/proxy.h"

#include <charconv>

#include "link/client.h"
#include "link/hall_window.h"

namespace mj::link {

namespace {
constexpr std::uint8_t SocksVersion = 5;
constexpr std::uint8_t AuthVersion = 1;
constexpr std::uint8_t MethodNone = 0;
constexpr std::uint8_t MethodUserPass = 2;
constexpr std::uint8_t CmdConnect = 1;
constexpr std::uint8_t AtypIpv4 = 1;
constexpr std::uint8_t AtypName = 3;
constexpr std::uint8_t AtypIpv6 = 4;
constexpr std::size_t MaxNameBytes = 255;

constexpr char MethodRefusedText[] = "请求代理失败！";
constexpr char AuthRefusedText[] = "代理服务器用户验证失败！";
constexpr char ConnectRefusedText[] = "通过代理连接主站失败！";
constexpr char ProxySucceededText[] = "连接代理服务器成功！";

// The four numbers of a dotted IPv4 address, or false.
bool parseIpv4(std::string_view host, std::uint8_t out[4]) {
    for (int i = 0; i < 4; ++i) {
        const std::size_t dot = host.find('.');
        const std::string_view part = i < 3 ? host.substr(0, dot) : host;
        if ((i < 3 && dot == std::string_view::npos) || part.empty() || part.size() > 3) return false;
        unsigned v = 0;
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), v);
        if (ec != std::errc{} || end != part.data() + part.size() || v > 255) return false;
        out[i] = static_cast<std::uint8_t>(v);
        if (i < 3) host.remove_prefix(dot + 1);
    }
    return true;
}

std::string_view failureText(Socks5Error e) {
    switch (e) {
    case Socks5Error::MethodRefused:
        return MethodRefusedText;
    case Socks5Error::AuthRefused:
        return AuthRefusedText;
    case Socks5Error::None:
    case Socks5Error::ConnectRefused:
    case Socks5Error::BadTarget:
    case Socks5Error::BadReply:
        break;
    }
    return ConnectRefusedText;
}
}  // namespace

std::string_view toString(Socks5Error e) {
    switch (e) {
    case Socks5Error::None:
        return "no error";
    case Socks5Error::MethodRefused:
        return "the proxy accepted none of our methods";
    case Socks5Error::AuthRefused:
        return "the proxy refused the user name or password";
    case Socks5Error::ConnectRefused:
        return "the proxy could not connect to the game server";
    case Socks5Error::BadTarget:
        return "the game server's host name is too long for the proxy";
    case Socks5Error::BadReply:
        return "the proxy's reply has an unknown address type";
    }
    return "unknown proxy error";
}

// ---------------------------------------------------------------- byte machine

std::vector<std::uint8_t> Socks5Handshake::greeting() { return {SocksVersion, 2, MethodNone, MethodUserPass}; }

std::vector<std::uint8_t> Socks5Handshake::authRequest(const Socks5Request& r) {
    std::vector<std::uint8_t> out{AuthVersion, static_cast<std::uint8_t>(r.user.size())};
    out.insert(out.end(), r.user.begin(), r.user.end());
    out.push_back(static_cast<std::uint8_t>(r.password.size()));
    out.insert(out.end(), r.password.begin(), r.password.end());
    return out;
}

std::vector<std::uint8_t> Socks5Handshake::connectRequest(const Socks5Request& r) {
    std::vector<std::uint8_t> out{SocksVersion, CmdConnect, 0};
    std::uint8_t ip[4];
    if (parseIpv4(r.targetHost, ip)) {
        out.push_back(AtypIpv4);
        out.insert(out.end(), ip, ip + 4);
    } else {
        // A name is handed to the proxy to resolve rather than sent as 0.0.0.0.
        if (r.targetHost.empty() || r.targetHost.size() > MaxNameBytes) return {};
        out.push_back(AtypName);
        out.push_back(static_cast<std::uint8_t>(r.targetHost.size()));
        out.insert(out.end(), r.targetHost.begin(), r.targetHost.end());
    }
    out.push_back(static_cast<std::uint8_t>(r.targetPort >> 8));
    out.push_back(static_cast<std::uint8_t>(r.targetPort & 0xFF));
    return out;
}

std::vector<std::uint8_t> Socks5Handshake::start(Socks5Request request) {
    request_ = std::move(request);
    pending_.clear();
    error_ = Socks5Error::None;
    if (connectRequest(request_).empty() || request_.user.size() > MaxNameBytes ||
        request_.password.size() > MaxNameBytes) {
        fail(Socks5Error::BadTarget);
        return {};
    }
    step_ = Socks5Step::WaitMethod;
    return greeting();
}

void Socks5Handshake::fail(Socks5Error e) {
    step_ = Socks5Step::Failed;
    error_ = e;
    pending_.clear();
}

Socks5Handshake::Output Socks5Handshake::feed(std::span<const std::uint8_t> bytes) {
    Output out;
    if (step_ == Socks5Step::Done) {
        out.surplus.assign(bytes.begin(), bytes.end());
        return out;
    }
    if (step_ == Socks5Step::Failed || step_ == Socks5Step::Idle) return out;
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());

    // Every whole reply held is judged in turn. A proxy that answers ahead
    // (the method and the authentication replies in one segment) has its
    // second reply judged right after the request it answers is queued, in
    // the same send, instead of waiting for bytes that may never come.
    const auto queue = [&out](const std::vector<std::uint8_t>& request) {
        out.send.insert(out.send.end(), request.begin(), request.end());
    };
    while (step_ != Socks5Step::Done && step_ != Socks5Step::Failed) {
        std::size_t used = 0;
        switch (step_) {
        case Socks5Step::WaitMethod:
            if (pending_.size() < 2) return out;
            used = 2;
            if (pending_[0] != SocksVersion) {
                fail(Socks5Error::MethodRefused);
            } else if (pending_[1] == MethodUserPass) {
                step_ = Socks5Step::WaitAuth;
                queue(authRequest(request_));
            } else if (pending_[1] == MethodNone) {
                step_ = Socks5Step::WaitConnect;
                queue(connectRequest(request_));
            } else {
                fail(Socks5Error::MethodRefused);
            }
            break;
        case Socks5Step::WaitAuth:
            if (pending_.size() < 2) return out;
            used = 2;
            if (pending_[0] == AuthVersion && pending_[1] == 0) {
                step_ = Socks5Step::WaitConnect;
                queue(connectRequest(request_));
            } else {
                fail(Socks5Error::AuthRefused);
            }
            break;
        case Socks5Step::WaitConnect: {
            if (pending_.size() < 2) return out;
            // A refusal is known from its first two bytes; no need to wait
            // for an address the proxy may never send.
            if (pending_[0] != SocksVersion || pending_[1] != 0) {
                fail(Socks5Error::ConnectRefused);
                break;
            }
            if (pending_.size() < 5) return out;
            std::size_t whole = 0;
            switch (pending_[3]) {
            case AtypIpv4:
                whole = 4 + 4 + 2;
                break;
            case AtypName:
                whole = 4 + 1 + pending_[4] + 2;
                break;
            case AtypIpv6:
                whole = 4 + 16 + 2;
                break;
            default:
                fail(Socks5Error::BadReply);
                break;
            }
            if (step_ == Socks5Step::Failed) break;
            if (pending_.size() < whole) return out;
            used = whole;
            step_ = Socks5Step::Done;
            break;
        }
        case Socks5Step::Idle:
        case Socks5Step::Done:
        case Socks5Step::Failed:
            return out;
        }
        if (step_ == Socks5Step::Failed) return out;
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
    }
    if (step_ == Socks5Step::Done) {
        out.surplus = std::move(pending_);
        pending_.clear();
    }
    return out;
}

// ---------------------------------------------------------------- on the socket

namespace {

void stopReplyTimer(ProxyLink& proxy) {
    if (proxy.replyTimer) proxy.replyTimer->setEnabled(false);
}

// A refusal: the message box, the socket closed; the client stays idle until
// the hall or a reconnect attempt connects again.
void proxyFailed(Client& c, Socks5Error e, std::string_view why) {
    stopReplyTimer(c.proxy);
    c.log(std::string("proxy: ") + std::string(why));
    c.p.socket.close();
    c.p.process.messageBox(failureText(e), c.mainForm.caption());
}

Socks5Request requestFor(const Client& c) {
    const LaunchConfig& l = c.link.launch;
    // The launch line has checked that the credentials are single-byte text,
    // so their GBK bytes are their ANSI bytes.
    return Socks5Request{l.serverHost, static_cast<std::uint16_t>(l.serverPort), c.p.codec.toGbk(l.proxyUser),
                         c.p.codec.toGbk(l.proxyPassword)};
}

}  // namespace

void connectViaProxy(Client& c) {
    ProxyLink& proxy = c.proxy;
    if (proxy.connecting) {
        // A connect request during our own wait would close the socket the
        // wait is watching; the attempt under way serves it.
        c.log("proxy: connection already under way");
        return;
    }
    c.ignoringErrors("proxy connect", [&] {
        c.resetRingBuffers();
        c.link.proxyHandshakeDone = false;
        stopReplyTimer(proxy);
        // Connecting an open socket does nothing; the greeting would then go
        // over the live game connection.
        if (c.p.socket.state() != platform::SocketState::Closed) c.p.socket.close();
        c.p.socket.connect(c.link.launch.proxyHost, static_cast<std::uint16_t>(c.link.launch.proxyPort));

        proxy.connecting = true;
        struct Done {
            ProxyLink& p;
            ~Done() { p.connecting = false; }
        } done{proxy};
        const platform::Millis deadline = c.p.clock.monotonic() + ProxyTimeLimit;
        while (c.p.socket.state() != platform::SocketState::Connected) {
            const auto s = c.p.socket.state();
            if (s == platform::SocketState::Closed || s == platform::SocketState::Error) {
                proxyFailed(c, Socks5Error::ConnectRefused, "the proxy refused the connection");
                return;
            }
            if (c.p.clock.monotonic() >= deadline) {
                proxyFailed(c, Socks5Error::ConnectRefused, "no connection to the proxy in time");
                return;
            }
            c.p.clock.pumpEvents(platform::Millis(50));
        }
        c.link.loginSent = true;

        const auto greeting = proxy.handshake.start(requestFor(c));
        if (greeting.empty()) {
            proxyFailed(c, proxy.handshake.error(), toString(proxy.handshake.error()));
            return;
        }
        if (!proxy.replyTimer) {
            proxy.replyTimer = c.p.clock.createTimer(ProxyTimeLimit, [&c] {
                ProxyLink& pl = c.proxy;
                stopReplyTimer(pl);
                if (c.link.proxyHandshakeDone) return;
                c.ignoringErrors("proxy time limit", [&c] {
                    proxyFailed(c, Socks5Error::ConnectRefused, "the proxy did not finish the handshake in time");
                });
            });
        }
        proxy.replyTimer->setEnabled(false);
        proxy.replyTimer->setEnabled(true);
        c.p.socket.send(greeting);
        c.link.linkCheck = Task{true, 0};
    });
}

void handleProxyReply(Client& c, std::span<const std::uint8_t> bytes) {
    ProxyLink& proxy = c.proxy;
    std::vector<std::uint8_t> surplus;
    bool done = false;
    // An error here must not take the client down: it ends this attempt.
    try {
        auto out = proxy.handshake.feed(bytes);
        if (!out.send.empty()) c.p.socket.send(out.send);
        switch (proxy.handshake.step()) {
        case Socks5Step::Done:
            stopReplyTimer(proxy);
            c.link.proxyHandshakeDone = true;
            c.postToHall(HallLoggedIn);
            c.sysmsg[0]->clear();
            c.sysmsg[0]->addItem(ProxySucceededText);
            c.p.socket.send(c.link.reconnectMsg ? *c.link.reconnectMsg : c.link.loginMsg);
            c.log("login sent through the proxy");
            c.timerBong->setEnabled(true);
            surplus = std::move(out.surplus);
            done = true;
            break;
        case Socks5Step::Failed:
            proxyFailed(c, proxy.handshake.error(), toString(proxy.handshake.error()));
            break;
        case Socks5Step::Idle:
        case Socks5Step::WaitMethod:
        case Socks5Step::WaitAuth:
        case Socks5Step::WaitConnect:
            break;
        }
    } catch (const platform::ProcessEnded&) {
        throw;
    } catch (const std::exception& e) {
        c.log(std::string("proxy reply: ") + e.what());
        c.p.socket.close();
    }
    // The game's first bytes may share a segment with the CONNECT reply.
    if (done && !surplus.empty()) c.onData(surplus);
}

}  // namespace mj::link
