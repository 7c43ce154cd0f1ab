// relay_video_socket.cpp: the video socket over the relay protocol.
#include "platform/relay_video_socket.h"

#include <algorithm>

namespace mj::platform {
namespace {

// Control packets kept while the connection comes up; frames are never kept.
constexpr std::size_t MaxQueued = 64;

}  // namespace

RelayVideoSocket::RelayVideoSocket(std::unique_ptr<Socket> socket, std::function<void(std::string_view)> log)
    : socket_(std::move(socket)), log_(std::move(log)) {
    socket_->setEvents(this);
}

RelayVideoSocket::~RelayVideoSocket() {
    socket_->setEvents(nullptr);
    socket_->close();
}

void RelayVideoSocket::configure(const std::string& serverAddr, int serverPort, int userCount) {
    addr_ = serverAddr;
    port_ = serverPort;
    userCount_ = std::clamp(userCount, 0, MaxSlots);
}

void RelayVideoSocket::login(const std::string& name) {
    loginName_ = name.substr(0, relay::MaxName);
    wantLogin_ = true;
    const SocketState st = socket_->state();
    if (st != SocketState::Connected && st != SocketState::Connecting && st != SocketState::ResolvingHost) {
        socket_->close();
        reader_.reset();
        queued_.clear();
        if (port_ <= 0 || port_ > 65535 || addr_.empty()) {
            note("video socket: no server to log in to");
            return;
        }
        queued_.push_back(relay::encode(relay::Login, relay::bytesOf(loginName_)));
        // Slots still held from a link that was lost are linked again.
        for (int slot = 1; slot <= userCount_; ++slot) {
            Slot& held = slots_[static_cast<std::size_t>(slot)];
            if (held.name.empty()) continue;
            std::vector<std::uint8_t> body{static_cast<std::uint8_t>(slot)};
            body.insert(body.end(), held.name.begin(), held.name.end());
            queued_.push_back(relay::encode(relay::Link, body));
        }
        socket_->connect(addr_, static_cast<std::uint16_t>(port_));
        return;
    }
    sendPacket(relay::Login, relay::bytesOf(loginName_));
}

void RelayVideoSocket::logout() {
    for (Slot& s : slots_) s = Slot{};
    if (socket_->state() == SocketState::Connected) socket_->send(relay::encode(relay::Logout));
    socket_->close();
    queued_.clear();
    reader_.reset();
    wantLogin_ = false;
}

void RelayVideoSocket::connectUser(int slot, const std::string& name) {
    if (!inRange(slot)) return;
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    s.name = name.substr(0, relay::MaxName);
    // Taken at once: a second request in the same pass sees the slot busy.
    s.state = UserStateFree;
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(slot)};
    body.insert(body.end(), s.name.begin(), s.name.end());
    sendPacket(relay::Link, body);
}

void RelayVideoSocket::disconnectUser(int slot) {
    if (!inRange(slot)) return;
    slots_[static_cast<std::size_t>(slot)] = Slot{};  // with its waiting frame
    const std::uint8_t body[1] = {static_cast<std::uint8_t>(slot)};
    sendPacket(relay::Unlink, body);
}

std::string RelayVideoSocket::userId(int slot) const {
    return inRange(slot) ? slots_[static_cast<std::size_t>(slot)].name : std::string{};
}

int RelayVideoSocket::userState(int slot) const {
    return inRange(slot) ? slots_[static_cast<std::size_t>(slot)].state : 0;
}

void RelayVideoSocket::sendVideoFormat(int slot, int format) {
    const std::uint8_t v[4] = {static_cast<std::uint8_t>(format >> 24), static_cast<std::uint8_t>(format >> 16),
                               static_cast<std::uint8_t>(format >> 8), static_cast<std::uint8_t>(format)};
    sendData(slot, relay::Format, v);
}

void RelayVideoSocket::sendVideoMode(int slot, int mode) {
    const std::uint8_t v[2] = {static_cast<std::uint8_t>(mode >> 8), static_cast<std::uint8_t>(mode)};
    sendData(slot, relay::Mode, v);
}

// A frame goes to the socket only while the socket has nothing left to send;
// meanwhile the newest frame per slot waits and replaces the one before. So a
// slow uplink shows a peer a recent picture at a lower rate, never a picture
// seconds old: per slot at most one frame in the socket and one waiting.
void RelayVideoSocket::sendVideoData(int slot, const std::vector<std::uint8_t>& frame) {
    if (frame.empty() || frame.size() + 8 > relay::MaxPacket) return;
    if (!inRange(slot) || userState(slot) < UserStateLinked) return;
    if (socket_->state() != SocketState::Connected) return;
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(slot), relay::Frame};
    body.insert(body.end(), frame.begin(), frame.end());
    Slot& s = slots_[static_cast<std::size_t>(slot)];
    if (!s.waitingFrame.empty() && droppedFrames_.fault())
        note("video socket: the relay takes frames slower than they come; older frames are dropped");
    s.waitingFrame = relay::encode(relay::Data, body);
    sendWaitingFrames();
}

void RelayVideoSocket::sendWaitingFrames() {
    if (socket_->state() != SocketState::Connected || socket_->pendingBytes() > 0) return;
    bool sent = false;
    for (int slot = 1; slot <= userCount_; ++slot) {
        Slot& s = slots_[static_cast<std::size_t>(slot)];
        if (s.waitingFrame.empty()) continue;
        if (s.state >= UserStateLinked) {
            socket_->send(s.waitingFrame);
            sent = true;
        }
        s.waitingFrame.clear();
    }
    if (sent) {
        if (const std::size_t n = droppedFrames_.sound())
            note("video socket: the relay keeps up again; " + std::to_string(n) + " frames were dropped");
    }
}

void RelayVideoSocket::sendData(int slot, relay::What what, std::span<const std::uint8_t> bytes) {
    if (!inRange(slot) || userState(slot) < UserStateLinked) return;
    if (socket_->state() != SocketState::Connected) return;
    std::vector<std::uint8_t> body{static_cast<std::uint8_t>(slot), what};
    body.insert(body.end(), bytes.begin(), bytes.end());
    socket_->send(relay::encode(relay::Data, body));
}

void RelayVideoSocket::sendPacket(std::uint8_t kind, std::span<const std::uint8_t> body) {
    if (socket_->state() == SocketState::Connected) {
        socket_->send(relay::encode(kind, body));
    } else if (wantLogin_ && queued_.size() < MaxQueued) {
        queued_.push_back(relay::encode(kind, body));
    }
}

void RelayVideoSocket::onConnected() {
    const std::size_t failed = failedConnects_.sound();
    note("video socket: connected to " + addr_ + ":" + std::to_string(port_) +
         (failed ? " after " + std::to_string(failed) + " lost or failed connections" : std::string{}));
    auto waiting = std::move(queued_);
    queued_.clear();
    for (const auto& packet : waiting) socket_->send(packet);
}

void RelayVideoSocket::onData(std::span<const std::uint8_t> bytes) {
    reader_.feed(bytes);
    while (auto p = reader_.next()) handle(*p);
    if (reader_.broken()) {
        if (failedConnects_.fault()) note("video socket: the relay sent a broken packet; link closed");
        linkLost();
    }
}

void RelayVideoSocket::onClosed(int errorCode) {
    if (failedConnects_.fault())
        note("video socket: link closed or not made (" + std::to_string(errorCode) + "); logged again once it is back");
    linkLost();
}

// The slots keep their users, so the next login links them again; the own
// login and every linked slot report the loss.
void RelayVideoSocket::linkLost() {
    socket_->close();
    reader_.reset();
    queued_.clear();
    std::vector<int> dropped;
    for (int slot = 1; slot <= userCount_; ++slot) {
        Slot& s = slots_[static_cast<std::size_t>(slot)];
        s.waitingFrame.clear();
        if (s.name.empty()) continue;
        if (s.state != UserStateFree) dropped.push_back(slot);
        s.state = UserStateFree;
    }
    if (!events_) return;
    for (int slot : dropped) events_->onUserStateChange(slot, UserStateFree);
    if (wantLogin_) events_->onMineStateChange(0);
}

void RelayVideoSocket::handle(const relay::Packet& p) {
    if (accept(p)) {
        if (const std::size_t n = refusedPackets_.sound())
            note("video socket: " + std::to_string(n) + " packets from the relay were refused");
        return;
    }
    if (refusedPackets_.fault())
        note("video socket: packet of kind " + std::to_string(p.kind) + " refused; logged again with the count");
}

bool RelayVideoSocket::accept(const relay::Packet& p) {
    switch (p.kind) {
    case relay::LoggedIn:
        if (events_) events_->onMineStateChange(2);
        return true;
    case relay::SlotState: {
        if (p.body.size() != 2 || !inRange(p.body[0])) break;
        Slot& s = slots_[p.body[0]];
        // A late report for a slot dropped meanwhile.
        if (s.name.empty()) return true;
        s.state = p.body[1];
        if (s.state < UserStateLinked) s.waitingFrame.clear();
        if (events_) events_->onUserStateChange(p.body[0], s.state);
        return true;
    }
    case relay::Data: {
        if (p.body.size() < 2 || !inRange(p.body[0])) break;
        if (p.body[1] != relay::Frame) return true;  // format and mode: frames say it all
        if (events_) events_->onDataArrival(p.body[0], std::vector<std::uint8_t>(p.body.begin() + 2, p.body.end()));
        return true;
    }
    default:
        break;
    }
    return false;
}

}  // namespace mj::platform
