// hub.h: the video relay's bookkeeping, free of sockets: who is logged in
// under which name, which slot of whom links to whom, and what to send to
// whom for each packet that arrives.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/video_relay_protocol.h"

namespace mj::relay_tool {

using ConnId = int;

struct Outgoing {
    ConnId to;
    std::vector<std::uint8_t> bytes;  // one whole packet
    bool isFrame = false;             // may be dropped when the receiver lags
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

private:
    struct Conn {
        std::string name;
        bool loggedIn = false;
        std::map<int, std::string> links;  // slot -> user
        std::map<int, int> reported;       // slot -> state last sent
    };
    // The logged-in connection of that user, the newest login winning.
    [[nodiscard]] const Conn* byName(const std::string& name, ConnId* id = nullptr) const;
    void report(std::vector<Outgoing>& out);
    std::map<ConnId, Conn> conns_;
    std::map<ConnId, std::uint64_t> loginOrder_;
    std::uint64_t logins_ = 0;
};

}  // namespace mj::relay_tool
