// hub.cpp: the video relay's bookkeeping.
#include "hub.h"

namespace mj::relay_tool {

namespace relay = platform::relay;

void Hub::open(ConnId id) { conns_[id] = Conn{}; }

std::vector<Outgoing> Hub::close(ConnId id) {
    conns_.erase(id);
    loginOrder_.erase(id);
    std::vector<Outgoing> out;
    report(out);
    return out;
}

std::size_t Hub::loggedInCount() const {
    std::size_t n = 0;
    for (const auto& [id, c] : conns_) n += c.loggedIn ? 1 : 0;
    return n;
}

const Hub::Conn* Hub::byName(const std::string& name, ConnId* id) const {
    const Conn* best = nullptr;
    std::uint64_t order = 0;
    for (const auto& [cid, c] : conns_) {
        if (!c.loggedIn || c.name != name) continue;
        const std::uint64_t o = loginOrder_.at(cid);
        if (!best || o > order) {
            best = &c;
            order = o;
            if (id) *id = cid;
        }
    }
    return best;
}

bool Hub::onPacket(ConnId id, const relay::Packet& p, std::vector<Outgoing>& out) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return false;
    Conn& c = it->second;
    const auto& b = p.body;
    switch (p.kind) {
    case relay::Login:
        if (b.empty() || b.size() > relay::MaxName) return false;
        c.name.assign(b.begin(), b.end());
        c.loggedIn = true;
        loginOrder_[id] = ++logins_;
        out.push_back({id, relay::encode(relay::LoggedIn), false});
        break;
    case relay::Logout:
        c = Conn{};
        loginOrder_.erase(id);
        break;
    case relay::Link:
        if (b.size() < 2 || b.size() > relay::MaxName + 1 || b[0] == 0) return false;
        c.links[b[0]].assign(b.begin() + 1, b.end());
        c.reported.erase(b[0]);
        break;
    case relay::Unlink:
        if (b.size() != 1) return false;
        c.links.erase(b[0]);
        c.reported.erase(b[0]);
        break;
    case relay::Data: {
        if (b.size() < 2 || !c.loggedIn) return false;
        const auto link = c.links.find(b[0]);
        if (link == c.links.end()) return true;
        ConnId peerId = 0;
        const Conn* peer = byName(link->second, &peerId);
        if (!peer) return true;
        // The peer's slot that links back to the sender.
        for (const auto& [slot, user] : peer->links) {
            if (user != c.name) continue;
            std::vector<std::uint8_t> body{static_cast<std::uint8_t>(slot)};
            body.insert(body.end(), b.begin() + 1, b.end());
            out.push_back({peerId, relay::encode(relay::Data, body), b[1] == relay::Frame});
            break;
        }
        return true;
    }
    default:
        return false;
    }
    report(out);
    return true;
}

void Hub::report(std::vector<Outgoing>& out) {
    for (auto& [id, c] : conns_) {
        if (!c.loggedIn) continue;
        for (const auto& [slot, user] : c.links) {
            const Conn* peer = byName(user);
            int state = relay::StateWaiting;
            if (peer) {
                state = relay::StateOneWay;
                for (const auto& [s, back] : peer->links) {
                    if (back == c.name) state = relay::StateBothWays;
                }
            }
            auto r = c.reported.find(slot);
            if (r != c.reported.end() && r->second == state) continue;
            c.reported[slot] = state;
            const std::uint8_t body[2] = {static_cast<std::uint8_t>(slot), static_cast<std::uint8_t>(state)};
            out.push_back({id, relay::encode(relay::SlotState, body), false});
        }
    }
}

}  // namespace mj::relay_tool
