// relay_video_socket.cpp: the video socket over the relay protocol.
#include "platform/relay_video_socket.h"

#include <algorithm>

namespace mj::platform {
namespace {

// Control packets kept while the connection comes up; frames are never kept.
constexpr std::size_t MaxQueued = 64;
// A relay that does not take what we send gets no more frames until it does;
// the queue would otherwise grow by every frame.
constexpr std::size_t MaxPendingForFrames = 1024 * 1024;

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
    slots_[static_cast<std::size_t>(slot)] = Slot{};
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

void RelayVideoSocket::sendVideoData(int slot, const std::vector<std::uint8_t>& frame) {
    if (frame.empty() || frame.size() + 8 > relay::MaxPacket) return;
    if (socket_->pendingBytes() > MaxPendingForFrames) return;
    sendData(slot, relay::Frame, frame);
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
    note("video socket: connected to " + addr_ + ":" + std::to_string(port_));
    auto waiting = std::move(queued_);
    queued_.clear();
    for (const auto& packet : waiting) socket_->send(packet);
}

void RelayVideoSocket::onData(std::span<const std::uint8_t> bytes) {
    reader_.feed(bytes);
    while (auto p = reader_.next()) handle(*p);
    if (reader_.broken()) {
        note("video socket: the relay sent a broken packet; link closed");
        socket_->close();
        reader_.reset();
        onClosed(0);
    }
}

void RelayVideoSocket::onClosed(int errorCode) {
    note("video socket: link closed (" + std::to_string(errorCode) + ")");
    socket_->close();
    // The slots keep their users; the next login links them again.
    for (Slot& s : slots_) {
        if (!s.name.empty()) s.state = UserStateFree;
    }
}

void RelayVideoSocket::handle(const relay::Packet& p) {
    switch (p.kind) {
    case relay::LoggedIn:
        if (events_) events_->onMineStateChange(2);
        return;
    case relay::SlotState: {
        if (p.body.size() != 2 || !inRange(p.body[0])) break;
        Slot& s = slots_[p.body[0]];
        // A late report for a slot dropped meanwhile.
        if (s.name.empty()) return;
        s.state = p.body[1];
        if (events_) events_->onUserStateChange(p.body[0], s.state);
        return;
    }
    case relay::Data: {
        if (p.body.size() < 2 || !inRange(p.body[0])) break;
        if (p.body[1] != relay::Frame) return;  // format and mode: frames say it all
        if (events_) events_->onDataArrival(p.body[0], std::vector<std::uint8_t>(p.body.begin() + 2, p.body.end()));
        return;
    }
    default:
        break;
    }
    note("video socket: packet of kind " + std::to_string(p.kind) + " refused");
}

}  // namespace mj::platform
