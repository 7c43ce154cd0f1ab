// hub.cpp: the video relay's bookkeeping.
#include "hub.h"

namespace mj::relay_tool {

namespace relay = platform::relay;

void Hub::open(ConnId id) { conns_[id] = Conn{}; }

std::vector<Outgoing> Hub::close(ConnId id) {
    std::vector<Outgoing> out;
    auto it = conns_.find(id);
    if (it == conns_.end()) return out;
    Conn& c = it->second;
    std::set<SlotRef> slots;
    if (c.loggedIn) linkersOf(c.name, slots);
    while (!c.links.empty()) unlink(id, c, c.links.begin()->first);
    logOut(id, c);
    conns_.erase(it);
    std::erase_if(slots, [id](const SlotRef& s) { return s.first == id; });
    report(slots, out);
    return out;
}

std::size_t Hub::loggedInCount() const {
    std::size_t n = 0;
    for (const auto& [name, byOrder] : logins_) n += byOrder.size();
    return n;
}

const Hub::Conn* Hub::byName(const std::string& name, ConnId* id) const {
    const auto it = logins_.find(name);
    if (it == logins_.end() || it->second.empty()) return nullptr;
    const ConnId newest = it->second.rbegin()->second;
    if (id) *id = newest;
    return &conns_.at(newest);
}

void Hub::logIn(ConnId id, Conn& c, std::string name) {
    logOut(id, c);
    c.name = std::move(name);
    c.loggedIn = true;
    c.loginOrder = ++loginCount_;
    logins_[c.name][c.loginOrder] = id;
}

void Hub::logOut(ConnId, Conn& c) {
    if (!c.loggedIn) return;
    auto it = logins_.find(c.name);
    if (it != logins_.end()) {
        it->second.erase(c.loginOrder);
        if (it->second.empty()) logins_.erase(it);
    }
    c.loggedIn = false;
}

void Hub::link(ConnId id, Conn& c, int slot, std::string user) {
    unlink(id, c, slot);
    ++c.linkedUsers[user];
    linkers_[user].insert({id, slot});
    c.links[slot] = std::move(user);
}

void Hub::unlink(ConnId id, Conn& c, int slot) {
    c.reported.erase(slot);
    const auto it = c.links.find(slot);
    if (it == c.links.end()) return;
    const std::string& user = it->second;
    if (--c.linkedUsers[user] == 0) c.linkedUsers.erase(user);
    auto l = linkers_.find(user);
    if (l != linkers_.end()) {
        l->second.erase({id, slot});
        if (l->second.empty()) linkers_.erase(l);
    }
    c.links.erase(it);
}

void Hub::linkersOf(const std::string& user, std::set<SlotRef>& slots) const {
    const auto it = linkers_.find(user);
    if (it != linkers_.end()) slots.insert(it->second.begin(), it->second.end());
}

void Hub::touched(ConnId id, const Conn& c, std::set<SlotRef>& slots) const {
    for (const auto& [slot, user] : c.links) slots.insert({id, slot});
    if (c.loggedIn) linkersOf(c.name, slots);
}

bool Hub::onPacket(ConnId id, const relay::Packet& p, std::vector<Outgoing>& out) {
    auto it = conns_.find(id);
    if (it == conns_.end()) return false;
    Conn& c = it->second;
    const auto& b = p.body;
    std::set<SlotRef> slots;
    switch (p.kind) {
    case relay::Login:
        if (b.empty() || b.size() > relay::MaxName) return false;
        // The slots that linked the old name and those that link the new one.
        touched(id, c, slots);
        logIn(id, c, std::string(b.begin(), b.end()));
        touched(id, c, slots);
        out.push_back({id, relay::encode(relay::LoggedIn), false});
        break;
    case relay::Logout:
        touched(id, c, slots);
        while (!c.links.empty()) unlink(id, c, c.links.begin()->first);
        logOut(id, c);
        c = Conn{};
        break;
    case relay::Link:
        if (b.size() < 2 || b.size() > relay::MaxName + 1 || b[0] == 0) return false;
        if (c.loggedIn) linkersOf(c.name, slots);
        link(id, c, b[0], std::string(b.begin() + 1, b.end()));
        slots.insert({id, b[0]});
        break;
    case relay::Unlink:
        if (b.size() != 1) return false;
        if (c.loggedIn) linkersOf(c.name, slots);
        unlink(id, c, b[0]);
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
            out.push_back({peerId, relay::encode(relay::Data, body), true});
            break;
        }
        return true;
    }
    default:
        return false;
    }
    report(slots, out);
    return true;
}

void Hub::report(const std::set<SlotRef>& slots, std::vector<Outgoing>& out) {
    for (const auto& [id, slot] : slots) {
        auto it = conns_.find(id);
        if (it == conns_.end()) continue;
        Conn& c = it->second;
        if (!c.loggedIn) continue;
        const auto link = c.links.find(slot);
        if (link == c.links.end()) continue;
        const Conn* peer = byName(link->second);
        int state = relay::StateWaiting;
        if (peer) state = peer->linkedUsers.count(c.name) ? relay::StateBothWays : relay::StateOneWay;
        auto r = c.reported.find(slot);
        if (r != c.reported.end() && r->second == state) continue;
        c.reported[slot] = state;
        const std::uint8_t body[2] = {static_cast<std::uint8_t>(slot), static_cast<std::uint8_t>(state)};
        out.push_back({id, relay::encode(relay::SlotState, body), false});
    }
}

Outbox::Put Outbox::put(const Outgoing& o) {
    if (o.droppable && size() > FrameBacklog) return Put::Skipped;
    if (size() + o.bytes.size() > MaxBacklog) return Put::Overflow;
    bytes_.insert(bytes_.end(), o.bytes.begin(), o.bytes.end());
    return Put::Queued;
}

void Outbox::taken(std::size_t n) {
    start_ += std::min(n, size());
    if (start_ == bytes_.size()) {
        bytes_.clear();
        start_ = 0;
    } else if (start_ > FrameBacklog) {
        bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(start_));
        start_ = 0;
    }
}

}  // namespace mj::relay_tool
