// proxy.h: the SOCKS5 connection to the game server (RFC 1928, with user name
// and password by RFC 1929): a pure byte machine for the handshake, and the
// procedures that run it on the game socket.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"

namespace mj::link {

class Client;

// Where the proxy is to connect us, with the credentials it may ask for. The
// user name and password are the bytes sent on the wire (ANSI text; the launch
// line has already refused anything longer than 255 bytes or not single-byte).
struct Socks5Request {
    std::string targetHost;  // dotted IPv4 is sent as an address, anything else as a name
    std::uint16_t targetPort = 0;
    std::string user;
    std::string password;
};

enum class Socks5Step {
    Idle,         // nothing sent yet
    WaitMethod,   // greeting sent
    WaitAuth,     // user name and password sent
    WaitConnect,  // CONNECT sent
    Done,         // the tunnel stands
    Failed,
};

enum class Socks5Error {
    None,
    MethodRefused,   // no method we offered was chosen, or not a SOCKS5 reply
    AuthRefused,     // the user name or password was not accepted
    ConnectRefused,  // the proxy could not reach the game server
    BadTarget,       // a host name longer than a SOCKS5 name field holds
    BadReply,        // a CONNECT reply with an address type we cannot size
};
[[nodiscard]] std::string_view toString(Socks5Error e);

// The handshake as bytes in and bytes out; it never touches a socket.
//
// Requests (one write each):
//   greeting   1 ver=05 | 1 nmethods=02 | 1 no-auth=00 | 1 user/pass=02
//   user/pass  1 ver=01 | 1 ulen | ulen user | 1 plen | plen password
//   CONNECT    1 ver=05 | 1 cmd=01 | 1 rsv=00 | 1 atyp | addr | 2 port (big-endian)
//              atyp 01: 4 address bytes; atyp 03: 1 length + the name
// Replies:
//   method     1 ver=05 | 1 method (00 none, 02 user/pass, FF none acceptable)
//   auth       1 ver=01 | 1 status (00 accepted)
//   CONNECT    1 ver=05 | 1 rep (00 succeeded) | 1 rsv | 1 atyp | addr | 2 port
//              addr: atyp 01 4 bytes, 03 1 length + name, 04 16 bytes
//
// A reply is judged only on its own bytes: it is kept until it is whole, and
// exactly its bytes are consumed. Bytes after the CONNECT reply belong to the
// game and are handed back as surplus.
class Socks5Handshake {
public:
    struct Output {
        std::vector<std::uint8_t> send;     // the requests now due, in order
        std::vector<std::uint8_t> surplus;  // game bytes that came after the last reply
    };
    // Starts over and returns the greeting (empty, and Failed, for a bad target).
    std::vector<std::uint8_t> start(Socks5Request request);
    // Takes bytes from the proxy. Bytes after Done or Failed are not consumed
    // (after Done they come back as surplus).
    Output feed(std::span<const std::uint8_t> bytes);
    [[nodiscard]] Socks5Step step() const { return step_; }
    [[nodiscard]] Socks5Error error() const { return error_; }

    [[nodiscard]] static std::vector<std::uint8_t> greeting();
    [[nodiscard]] static std::vector<std::uint8_t> authRequest(const Socks5Request& r);
    // Empty when the host cannot be sent (a name over 255 bytes).
    [[nodiscard]] static std::vector<std::uint8_t> connectRequest(const Socks5Request& r);

private:
    void fail(Socks5Error e);
    Socks5Request request_;
    Socks5Step step_ = Socks5Step::Idle;
    Socks5Error error_ = Socks5Error::None;
    std::vector<std::uint8_t> pending_;  // bytes of the reply being waited for
};

// The proxy's state on the client.
struct ProxyLink {
    Socks5Handshake handshake;
    bool connecting = false;  // inside the pumping wait for the proxy's TCP connection
    // Bounds the handshake once the greeting is out: a proxy that goes silent
    // is treated like one that refused.
    std::unique_ptr<platform::Timer> replyTimer;
};

// How long the proxy may take to accept the TCP connection, and again to
// finish the handshake.
inline constexpr platform::Millis ProxyTimeLimit{20000};

// Connects the game socket to the proxy (closing it first when open), waits
// for the TCP connection while pumping events, and sends the greeting.
void connectViaProxy(Client& c);
// The data event's handler while the handshake runs.
void handleProxyReply(Client& c, std::span<const std::uint8_t> bytes);

}  // namespace mj::link
