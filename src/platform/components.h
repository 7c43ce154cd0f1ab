// components.h: the components the client places on its windows and calls
// through these interfaces: the web browser, the peer-to-peer video socket,
// the camera, and the props plug-in. Each has a small stand-in of our own.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mj::platform {

// A browser pane of our own: it loads no HTML and runs no script. Pages are
// asked for by address; the events report, later and on the window thread,
// how the load went.
class Browser {
public:
    virtual ~Browser() = default;
    virtual void navigate(const std::string& url) = 0;
    std::function<void()> onDownloadComplete;
    std::function<void(const std::string& url)> onDocumentComplete;
    std::function<void(const std::string& url, int statusCode)> onNavigateError;
};

// The peer-to-peer video socket.
class VideoSocket {
public:
    virtual ~VideoSocket() = default;
    virtual void configure(const std::string& serverAddr, int serverPort, int userCount) = 0;
    [[nodiscard]] virtual std::string userId(int slot) const = 0;
    virtual void disconnectUser(int slot) = 0;
    virtual void logout() = 0;
    // Logs in as the seat's player; the answer comes later as the socket's events.
    virtual void login(const std::string& userName) = 0;
};

class Camera {
public:
    virtual ~Camera() = default;
    // False when the camera cannot start.
    virtual bool startCapture() = 0;
    virtual void stopCapture() = 0;
    virtual void freeCapture() = 0;
};

// One request the props plug-in has queued for the client.
struct PropRequest {
    std::string picture;
    std::string text;
    std::vector<std::uint8_t> packet;
    int kind = -1;
    std::vector<long> rect;
    std::vector<long> style;
};

// One seated player as the props plug-in is told about them.
struct PropsUser {
    std::string nickName;
    std::string seatName;
    std::uint8_t seatBit = 0;
    int view = 0;
    bool hasCredit = false;
    int sex = 0;
    std::string title;
    std::string faceCode;
};

// The props plug-in, created by name; absent when it cannot be created.
class PropsPlugin {
public:
    virtual ~PropsPlugin() = default;
    [[nodiscard]] virtual int checkSendBuff() = 0;
    virtual PropRequest getSendBuff() = 0;
    virtual void initShowNext(bool flag) = 0;
    // The hand's result is complete: the plug-in shows it (after its boxes).
    virtual void initShowEnd() = 0;
    virtual void initExit(int flag) = 0;
    virtual void recState(int kind, bool flag, int view) = 0;
    virtual void fixBuffPos() = 0;
    virtual void setKeyDown(int keyCode) = 0;
    virtual void recMsg(const std::vector<std::uint8_t>& message) = 0;
    // The seating members. A plug-in that does not track players accepts
    // every player and has nothing to forget or reload.
    // False when the plug-in refuses the player.
    [[nodiscard]] virtual bool setUserinfo(const PropsUser&) { return true; }
    // Forgets the player of view 1..3.
    virtual void clearUser(int) {}
    // Re-initialises the plug-in from its settings file; the result is not used.
    virtual bool ainit(const std::string&) { return true; }
    // The shell's members: the bank panel's state (2 closes it), the video
    // pop-up of a seat, and the player's props saved before leaving. A plug-in
    // without them ignores the calls.
    virtual void setBankState(int) {}
    virtual void showQvVideo(int, bool, int) {}
    virtual void updataMyProp(bool) {}
};

// Creates the components; the in-memory and Win32 factories differ.
class ComponentFactory {
public:
    virtual ~ComponentFactory() = default;
    [[nodiscard]] virtual std::unique_ptr<Browser> createBrowser() = 0;
    [[nodiscard]] virtual std::unique_ptr<VideoSocket> createVideoSocket() = 0;
    [[nodiscard]] virtual std::unique_ptr<Camera> createCamera() = 0;
    // nullptr when the plug-in cannot be created.
    [[nodiscard]] virtual std::unique_ptr<PropsPlugin> createPropsPlugin() = 0;
};

}  // namespace mj::platform
