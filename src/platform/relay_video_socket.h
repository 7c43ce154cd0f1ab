// relay_video_socket.h: our video socket: the slots kept here, the link to
// the other users through the video relay over one TCP connection. Works on
// any platform::Socket; its events come from the socket's, so they arrive
// through the message loop.
#pragma once
#include <array>
#include <functional>
#include <string_view>
#include <memory>
#include <string>
#include <vector>

#include "platform/components.h"
#include "platform/repeat_log.h"
#include "platform/socket.h"
#include "platform/video_relay_protocol.h"

namespace mj::platform {

class RelayVideoSocket : public VideoSocket, private SocketEvents {
public:
    // The socket is owned; `log` may be null.
    RelayVideoSocket(std::unique_ptr<Socket> socket, std::function<void(std::string_view)> log = {});
    ~RelayVideoSocket() override;

    void setEvents(VideoSocketEvents* events) override { events_ = events; }
    void configure(const std::string& serverAddr, int serverPort, int userCount) override;
    [[nodiscard]] int userCount() const override { return userCount_; }
    void login(const std::string& name) override;
    void logout() override;
    void connectUser(int slot, const std::string& name) override;
    void disconnectUser(int slot) override;
    [[nodiscard]] std::string userId(int slot) const override;
    [[nodiscard]] int userState(int slot) const override;
    void sendVideoFormat(int slot, int format) override;
    void sendVideoMode(int slot, int mode) override;
    void sendVideoData(int slot, const std::vector<std::uint8_t>& frame) override;

    static constexpr int MaxSlots = 8;

private:
    struct Slot {
        std::string name;
        int state = 0;
        // The newest frame packet for the slot not yet given to the socket.
        std::vector<std::uint8_t> waitingFrame;
    };
    void onConnected() override;
    void onData(std::span<const std::uint8_t> bytes) override;
    void onClosed(int errorCode) override;
    void onDrained() override { sendWaitingFrames(); }
    void sendWaitingFrames();
    void linkLost();
    void handle(const relay::Packet& p);
    // False for a packet we refuse.
    bool accept(const relay::Packet& p);
    void sendPacket(std::uint8_t kind, std::span<const std::uint8_t> body = {});
    void sendData(int slot, relay::What what, std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool inRange(int slot) const { return slot >= 1 && slot <= userCount_; }
    void note(const std::string& line) {
        if (log_) log_(line);
    }

    std::unique_ptr<Socket> socket_;
    std::function<void(std::string_view)> log_;
    VideoSocketEvents* events_ = nullptr;
    std::string addr_;
    int port_ = 0;
    int userCount_ = 0;
    std::string loginName_;
    bool wantLogin_ = false;
    std::array<Slot, MaxSlots + 1> slots_{};
    // Sent once the connection is up: the login, then the links asked for.
    std::vector<std::vector<std::uint8_t>> queued_;
    relay::PacketReader reader_;
    // Logged per change, not per event: connections that fail, packets the
    // relay sends that we refuse, frames dropped for a slow uplink.
    RepeatLog failedConnects_;
    RepeatLog refusedPackets_;
    RepeatLog droppedFrames_;
};

}  // namespace mj::platform
