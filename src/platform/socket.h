// socket.h: the game connection, a TCP client with events delivered on the
// window thread (also inside pumping waits).
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace mj::platform {

// The states the client tests; numbers as the classic TCP control reports them.
enum class SocketState : int {
    Closed = 0,
    Open = 1,
    ResolvingHost = 4,
    Connecting = 6,
    Connected = 7,
    Closing = 8,
    Error = 9,
};

// What the socket reports back. Lifetime: after Socket::close() returns, no
// event arrives for the connection that was closed. A failed connect arrives
// as onClosed, like a dropped link.
class SocketEvents {
public:
    virtual ~SocketEvents() = default;
    virtual void onConnected() = 0;
    virtual void onData(std::span<const std::uint8_t> bytes) = 0;
    // The peer closed the connection, or it failed (connect refused, reset).
    virtual void onClosed(int errorCode) = 0;
    // Everything queued for sending has gone to the system (after pendingBytes
    // was above 0). Never raised from inside send.
    virtual void onDrained() {}
};

class Socket {
public:
    virtual ~Socket() = default;
    // Borrowed; must outlive the socket or be reset to nullptr.
    virtual void setEvents(SocketEvents* events) = 0;
    // Starts a connection; the result arrives as an event. A socket that is not
    // closed must be closed first (connect on it does nothing).
    virtual void connect(const std::string& host, std::uint16_t port) = 0;
    [[nodiscard]] virtual SocketState state() const = 0;
    // Queues the bytes for sending; false when not connected (nothing sent).
    virtual bool send(std::span<const std::uint8_t> bytes) = 0;
    // Bytes accepted by send that the system has not taken yet.
    [[nodiscard]] virtual std::size_t pendingBytes() const { return 0; }
    virtual void close() = 0;
};

}  // namespace mj::platform
