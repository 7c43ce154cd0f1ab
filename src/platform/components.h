// components.h: the components the client places on its windows and calls
// through these interfaces: the web browser, the peer-to-peer video socket,
// the camera, and the props plug-in. Each has a small stand-in of our own.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mj::platform {

class Browser {
public:
    virtual ~Browser() = default;
    virtual void navigate(const std::string& url) = 0;
};

// What the video socket reports. Events arrive on the window thread through
// the message loop, never from inside one of the socket's own members.
class VideoSocketEvents {
public:
    virtual ~VideoSocketEvents() = default;
    // The own login on the video server: 2 logged in, 0 logged out or lost.
    virtual void onMineStateChange(int state) = 0;
    virtual void onUserStateChange(int slot, int state) = 0;
    // One frame from the peer of that slot.
    virtual void onDataArrival(int slot, std::vector<std::uint8_t> data) = 0;
};

// Slot states as the socket reports them.
inline constexpr int UserStateFree = 1;     // below: the slot is free
inline constexpr int UserStateLinked = 10;  // from here frames flow
inline constexpr int UserStateFirstFrame = 14;
inline constexpr int UserStateFullRate = 15;  // every frame is wanted

// The peer-to-peer video socket: one login on the video server and a few
// slots, each linked to one other user by name. Slots are numbered from 1.
class VideoSocket {
public:
    virtual ~VideoSocket() = default;
    // Borrowed; must outlive the socket or be reset to nullptr.
    virtual void setEvents(VideoSocketEvents* events) = 0;
    virtual void configure(const std::string& serverAddr, int serverPort, int userCount) = 0;
    [[nodiscard]] virtual int userCount() const = 0;
    virtual void login(const std::string& name) = 0;
    // Drops every slot and the server login.
    virtual void logout() = 0;
    // The slot holds the name and leaves "free" at once; the link comes up later.
    virtual void connectUser(int slot, const std::string& name) = 0;
    virtual void disconnectUser(int slot) = 0;
    // Empty and 0 for a slot out of range.
    [[nodiscard]] virtual std::string userId(int slot) const = 0;
    [[nodiscard]] virtual int userState(int slot) const = 0;
    virtual void sendVideoFormat(int slot, int format) = 0;
    virtual void sendVideoMode(int slot, int mode) = 0;
    virtual void sendVideoData(int slot, const std::vector<std::uint8_t>& frame) = 0;
};

class CameraEvents {
public:
    virtual ~CameraEvents() = default;
    // One captured frame, on the window thread through the message loop.
    virtual void onFrameCaptured(std::vector<std::uint8_t> frame) = 0;
};

// The options the client sets before starting the camera.
struct CaptureOptions {
    bool option4 = false;
    bool option2 = false;
    int videoMode = 0;
    bool option1 = false;
};

// The local camera. Ours makes pictures of its own (a test card), as the
// machines this is built for have no camera.
class Camera {
public:
    virtual ~Camera() = default;
    virtual void setEvents(CameraEvents* events) = 0;
    // What the synthetic picture names (the own login name).
    virtual void setLabel(const std::string& text) = 0;
    virtual void initCapture() = 0;
    virtual void setOptions(const CaptureOptions& options) = 0;
    // 0 capturing; anything else: no camera or the camera is busy.
    [[nodiscard]] virtual int startCapture() = 0;
    virtual void stopCapture() = 0;
    virtual void freeCapture() = 0;
    [[nodiscard]] virtual int videoFormat() const = 0;
    [[nodiscard]] virtual int videoMode() const = 0;
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
    // Opens the plug-in's popup over a seat's video; true when it opened.
    [[nodiscard]] virtual bool showQvVideo(int, bool, int) { return false; }
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
