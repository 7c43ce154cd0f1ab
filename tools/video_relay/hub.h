// hub.h: the video relay's bookkeeping, free of sockets: who is logged in
// under which name, which slot of whom links to whom, and what to send to
// whom for each packet that arrives; and what waits to be sent to each
// connection.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/video_relay_protocol.h"

namespace mj::relay_tool {

using ConnId = int;

struct Outgoing {
    ConnId to;
    std::vector<std::uint8_t> bytes;  // one whole packet
    bool droppable = false;           // peer data: may be skipped when the receiver lags
};

class Hub {
public:
    void open(ConnId id);
    // The connection is gone; its peers' slots go back to waiting.
    std::vector<Outgoing> close(ConnId id);
    // Handles one packet; false when the packet is malformed (the caller
    // drops the connection).
    bool onPacket(ConnId id, const platform::relay::Packet& p, std::vector<Outgoing>& out);

    [[nodiscard]] std::size_t loggedInCount() const;
    [[nodiscard]] std::size_t connectionCount() const { return conns_.size(); }

private:
    struct Conn {
        std::string name;
        bool loggedIn = false;
        std::uint64_t loginOrder = 0;
        std::map<int, std::string> links;        // slot -> user
        std::map<int, int> reported;             // slot -> state last sent
        std::map<std::string, int> linkedUsers;  // user -> slots linking it
    };
    using SlotRef = std::pair<ConnId, int>;

    // The logged-in connection of that user, the newest login winning.
    [[nodiscard]] const Conn* byName(const std::string& name, ConnId* id = nullptr) const;
    void logIn(ConnId id, Conn& c, std::string name);
    void logOut(ConnId id, Conn& c);
    void link(ConnId id, Conn& c, int slot, std::string user);
    void unlink(ConnId id, Conn& c, int slot);
    // The slots whose state may change when `id` changes: its own and every
    // slot that links the user it is logged in as.
    void touched(ConnId id, const Conn& c, std::set<SlotRef>& slots) const;
    void linkersOf(const std::string& user, std::set<SlotRef>& slots) const;
    // Sends the state of each of those slots that changed since last sent.
    void report(const std::set<SlotRef>& slots, std::vector<Outgoing>& out);

    std::map<ConnId, Conn> conns_;
    // Per user the logged-in connections by login order; per user the slots
    // that link it. Both keep a report to the slots a change concerns,
    // rather than to every slot of every connection.
    std::map<std::string, std::map<std::uint64_t, ConnId>> logins_;
    std::map<std::string, std::set<SlotRef>> linkers_;
    std::uint64_t loginCount_ = 0;
};

// What waits to be sent to one connection. Peer data is skipped while the
// backlog is above the frame backlog, until the receiver catches up; so the
// relay's own reports always find room up to the hard limit, and a backlog
// beyond it means a receiver that does not read: the caller drops it.
class Outbox {
public:
    static constexpr std::size_t FrameBacklog = 2 * 1024 * 1024;
    static constexpr std::size_t MaxBacklog = FrameBacklog + platform::relay::MaxPacket + 256 * 1024;

    enum class Put { Queued, Skipped, Overflow };
    Put put(const Outgoing& o);
    [[nodiscard]] std::span<const std::uint8_t> pending() const {
        return {bytes_.data() + start_, bytes_.size() - start_};
    }
    void taken(std::size_t n);
    [[nodiscard]] bool empty() const { return start_ == bytes_.size(); }
    [[nodiscard]] std::size_t size() const { return bytes_.size() - start_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t start_ = 0;
};

}  // namespace mj::relay_tool
