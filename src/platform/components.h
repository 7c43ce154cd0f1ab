// components.h: the components the client places on its windows and calls
// through these interfaces: the web browser, the peer-to-peer video socket,
// the camera, and the props plug-in. Each has a small stand-in of our own.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mj::ui {
class Control;
}

namespace mj::platform {

// A browser pane. Pages are asked for by address; the events report, later and
// on the window thread, how the load went. Where the system has a browser
// control the page shows over the pane's control; elsewhere no page is shown
// and every navigation is reported failed.
class Browser {
public:
    virtual ~Browser() = default;
    // The control whose place, size and visibility the page takes; borrowed,
    // it must outlive the browser. A browser that shows nothing ignores it.
    virtual void setPane(ui::Control* pane) { (void)pane; }
    virtual void navigate(const std::string& url) = 0;
    std::function<void()> onDownloadComplete;
    std::function<void(const std::string& url)> onDocumentComplete;
    std::function<void(const std::string& url, int statusCode)> onNavigateError;
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

// One request the props plug-in has queued for the client: the six fields
// its queue fills. The client keeps them between fetches, so a field the
// plug-in leaves alone keeps its earlier value.
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

// Where the treasure boxes go, in pixels of the table picture.
using PropPoint = std::array<long, 2>;
inline constexpr int PropBoxCount = 15;  // three groups of five
using PropBoxPositions = std::array<PropPoint, PropBoxCount>;
using PropSeatTargets = std::array<PropPoint, 4>;
using PropBoxTiming = std::array<int, 2>;  // timer interval in ms, number of ticks

// The hand-end box data, per seat slot (0 = the local player).
using PropItemTexts = std::array<std::string, 4>;
using PropRewards = std::array<double, 4>;
// [0][s]: the name on the reward label; [1][s]: its item lines, "|" apart.
using PropBoxInfo = std::array<std::array<std::string, 4>, 2>;

// The props plug-in. Every member the client calls, no more; arguments the
// plug-in fills are references. Pictures are the bytes of a GIF or JPEG file.
// A plug-in never throws across this interface.
class PropsPlugin {
public:
    virtual ~PropsPlugin() = default;
    // Readies the plug-in for this user. `kind` is "DLL", `product` "newqvp";
    // `self` is the plug-in's own interface; `scale` 1 at full size, else 2.
    // The caller's optional seventh argument is never passed.
    [[nodiscard]] virtual bool initdll(std::string& userName, std::string& userText2, const std::string& kind,
                                       std::uintptr_t mainWindow, const std::string& product, PropsPlugin& self,
                                       int& scale, int& launchArg) = 0;
    // The treasure-box layout and pictures; false when the plug-in has no boxes.
    [[nodiscard]] virtual bool getBaoInfo(PropBoxPositions& boxPos, PropPoint& openCentre, PropSeatTargets& seatTarget,
                                          PropPoint& promptCentre, PropBoxTiming& rewardTiming,
                                          std::string& closedPicture, PropPoint& boxSize, std::string& openPicture,
                                          PropPoint& openSize) = 0;
    // The number of requests waiting.
    [[nodiscard]] virtual int checkSendBuff() = 0;
    // Fills one request; `kind` comes in as -1.
    virtual void getSendBuff(std::string& picture, std::string& text, std::vector<std::uint8_t>& packet, int& kind,
                             std::vector<long>& rect, std::vector<long>& style) = 0;
    // 1 when the hand-end box data is ready (and filled in).
    [[nodiscard]] virtual int getScoreInfo(PropItemTexts& itemText, PropRewards& reward, PropBoxInfo& boxInfo) = 0;
    // A server message for the plug-in: a copy, never the client's own.
    virtual void recMsg(const std::vector<std::uint8_t>& message) = 0;
    // False when the plug-in refuses the player (and so shuts down).
    [[nodiscard]] virtual bool setUserinfo(const std::string& nickName, const std::string& seatName,
                                           std::uint8_t seatBit, int view, bool hasCredit, int sex,
                                           const std::string& title, const std::string& faceCode) = 0;
    // Forgets the player of that view.
    virtual void clearUser(int view) = 0;
    // Re-initialises the plug-in from its settings file; the result is not used.
    virtual bool ainit(const std::string& settingsFile) = 0;
    // The hand's result messages are complete.
    virtual void initShowEnd() = 0;
    virtual void initShowNext(bool flag) = 0;
    virtual void showGif(int which, bool show) = 0;
    // 1 at program end, else 0.
    virtual void initExit(int flag) = 0;
    virtual void setKeyDown(int keyCode) = 0;
    // 0 the store button was clicked, 2 exit.
    virtual void setbankstate(int state) = 0;
    virtual void fixBuffPos() = 0;
    // kind 1 sound on/off, 2 a seat's video (true = hidden), 3 the server link.
    virtual void recState(int kind, bool flag, int seat) = 0;
    virtual bool showQvVideo(int seat, bool show, int zero) = 0;
    virtual void updataMyProp(bool flag) = 0;
};

// What a plug-in library exports, by this name: returns a new plug-in (the
// caller deletes it) when the library speaks this interface version, else
// nullptr.
inline constexpr char PropsPluginFactoryName[] = "mjCreatePropsPlugin";
inline constexpr int PropsPluginInterfaceVersion = 1;
using PropsPluginFactory = PropsPlugin* (*)(int interfaceVersion);

// Creates the components; the in-memory and Win32 factories differ.
class ComponentFactory {
public:
    virtual ~ComponentFactory() = default;
    [[nodiscard]] virtual std::unique_ptr<Browser> createBrowser() = 0;
    [[nodiscard]] virtual std::unique_ptr<VideoSocket> createVideoSocket() = 0;
    [[nodiscard]] virtual std::unique_ptr<Camera> createCamera() = 0;
    // Loads the plug-in library at `path`; nullptr when it cannot be loaded or
    // does not speak our interface.
    [[nodiscard]] virtual std::unique_ptr<PropsPlugin> createPropsPlugin(const std::string& path) = 0;
};

}  // namespace mj::platform
