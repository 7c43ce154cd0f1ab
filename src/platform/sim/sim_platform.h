// sim_platform.h: the deterministic in-memory platform: a virtual clock with
// timers, a scripted socket, a process whose end is observed, in-memory files
// and INI store, a hall with windows tests can add and remove.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <array>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/sim_picture_decoder.h"
#include "platform/sim/sim_resources.h"
#include "platform/sim/sim_sound.h"

namespace mj::platform::sim {

class SimTimer;

class SimClock : public Clock {
public:
    SimClock();
    ~SimClock() override;
    [[nodiscard]] Millis monotonic() const override { return now_; }
    [[nodiscard]] double secondsSinceMidnight() const override;
    [[nodiscard]] TimeOfDay timeOfDay() const override;
    [[nodiscard]] Date today() const override { return date; }
    void sleep(Millis duration) override;
    void pumpEvents(Millis maxWait) override;
    [[nodiscard]] std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) override;

    // Advances virtual time, firing due timers and posted events in order.
    void advance(Millis duration);
    // Runs `event` the next time events are pumped (as a window message would).
    void post(std::function<void()> event);
    // Where the wall clock stands at monotonic 0 (ms since midnight).
    void setMidnightOffset(Millis sinceMidnight) { midnightOffset_ = sinceMidnight; }
    [[nodiscard]] Millis totalSlept() const { return slept_; }
    Date date{2012, 3, 4};

private:
    friend class SimTimer;
    void runDue();
    Millis now_{0};
    Millis midnightOffset_{Millis(10 * 3600 * 1000)};
    Millis slept_{0};
    std::vector<SimTimer*> timers_;
    // The timers whose callbacks are running, innermost last.
    std::vector<SimTimer*> firing_;
    std::deque<std::function<void()>> posted_;
};

// Records what the client sends; tests push connect results and data.
class SimSocket : public Socket {
public:
    void setEvents(SocketEvents* events) override { events_ = events; }
    void connect(const std::string& host, std::uint16_t port) override;
    [[nodiscard]] SocketState state() const override { return state_; }
    bool send(std::span<const std::uint8_t> bytes) override;
    void close() override;

    // Test side.
    void acceptConnection();
    void refuseConnection(int errorCode = 10061);
    void deliver(std::span<const std::uint8_t> bytes);
    void peerClose();
    [[nodiscard]] const std::vector<std::uint8_t>& sent() const { return sent_; }
    // The whole 272-byte messages sent so far.
    [[nodiscard]] std::vector<std::vector<std::uint8_t>> sentMessages() const;
    void clearSent() { sent_.clear(); }
    std::string lastHost;
    std::uint16_t lastPort = 0;
    int connectCalls = 0;
    int closeCalls = 0;

private:
    SocketEvents* events_ = nullptr;
    SocketState state_ = SocketState::Closed;
    std::vector<std::uint8_t> sent_;
};

class SimProcess : public Process {
public:
    [[nodiscard]] std::string commandLine() const override { return commandLineText; }
    [[nodiscard]] bool anotherInstanceRunning() override { return otherInstance; }
    [[nodiscard]] std::string programFolder() const override { return folder; }
    void messageBox(std::string_view text, std::string_view title) override;
    [[nodiscard]] ScreenSize screenSize() const override { return screen; }
    void openInBrowser(std::string_view address) override { opened.emplace_back(address); }
    void log(std::string_view line) override { logLines.emplace_back(line); }
    void openFolder(const std::string& path) override { openedFolders.push_back(path); }
    [[noreturn]] void endProcess(int exitCode) override;
    std::vector<std::string> openedFolders;

    std::string commandLineText;
    bool otherInstance = false;
    std::string folder = "C:\\game\\mj";
    ScreenSize screen{1280, 1024};
    struct Box {
        std::string text, title;
    };
    std::vector<Box> boxes;
    std::vector<std::string> opened;
    std::vector<std::string> logLines;
    std::optional<int> endedWith;
    [[nodiscard]] bool logged(std::string_view needle) const;
};

// GBK through iconv.
class IconvCodec : public TextCodec {
public:
    [[nodiscard]] std::string toGbk(std::string_view utf8, bool* lossless = nullptr) const override;
    [[nodiscard]] std::string fromGbk(std::string_view gbk) const override;
};

class SimFiles : public Files {
public:
    [[nodiscard]] bool exists(const std::string& path) const override { return files.count(path) != 0; }
    [[nodiscard]] std::optional<std::string> readAll(const std::string& path) const override;
    bool writeAll(const std::string& path, std::string_view bytes) override;
    bool remove(const std::string& path) override { return files.erase(path) != 0; }
    bool makeFolder(const std::string& path) override {
        folders.insert(path);
        return true;
    }
    bool createNew(const std::string& path, std::string_view bytes) override;
    std::map<std::string, std::string> files;
    std::set<std::string> folders;
};

// The profile format kept in SimFiles as GBK text with CRLF lines.
class SimIni : public IniStore {
public:
    SimIni(SimFiles& files, const TextCodec& codec) : files_(files), codec_(codec) {}
    [[nodiscard]] std::string get(const std::string& path, std::string_view section,
                                  std::string_view key) const override;
    void write(const std::string& path, std::string_view section, std::string_view key,
               std::string_view value) override;
    void deleteKey(const std::string& path, std::string_view section, std::string_view key) override;
    void deleteSection(const std::string& path, std::string_view section) override;
    [[nodiscard]] Entries section(const std::string& path, std::string_view section) const override;
    void writeSection(const std::string& path, std::string_view section, const Entries& entries) override;
    // Calls that went to the file, for tests that count them.
    mutable int fileReads = 0;
    int fileWrites = 0;

private:
    SimFiles& files_;
    const TextCodec& codec_;
};

class SimHall : public HallLink {
public:
    [[nodiscard]] WindowHandle findWindow(std::string_view title) const override;
    bool post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void restore(WindowHandle window) override { restored.push_back(window); }
    void minimize(WindowHandle window) override { minimized.push_back(window); }

    std::map<std::string, WindowHandle> windows;  // title -> handle
    struct Posted {
        WindowHandle window;
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<Posted> posted;
    std::vector<WindowHandle> restored;
    std::vector<WindowHandle> minimized;
    [[nodiscard]] int count(std::uint32_t message) const;
};

// The video socket in memory: it records every call, keeps the slots, and
// lets the test play the server's side; its events go through the clock's
// posted queue, as window messages would.
class SimVideoSocket : public VideoSocket {
public:
    SimVideoSocket(SimClock& clock, std::vector<std::string>& calls) : clock_(clock), calls_(calls) {}
    void setEvents(VideoSocketEvents* events) override { events_ = events; }
    void configure(const std::string& addr, int port, int users) override;
    [[nodiscard]] int userCount() const override { return reportedUserCount >= 0 ? reportedUserCount : userCount_; }
    void login(const std::string& name) override;
    void logout() override;
    void connectUser(int slot, const std::string& name) override;
    void disconnectUser(int slot) override;
    [[nodiscard]] std::string userId(int slot) const override;
    [[nodiscard]] int userState(int slot) const override;
    void sendVideoFormat(int slot, int format) override;
    void sendVideoMode(int slot, int mode) override;
    void sendVideoData(int slot, const std::vector<std::uint8_t>& frame) override;

    // Test side. Slots that tests set directly (no event).
    void setSlot(int slot, std::string name, int state);
    // The server reports a slot's new state (posted).
    void peerState(int slot, int state);
    // A frame from the peer of the slot (posted).
    void peerFrame(int slot, std::vector<std::uint8_t> frame);
    void loggedIn();
    // The relay went away: the slots keep their users, not linked; the own
    // login reports 0.
    void linkLost();
    // Frames sent per slot, in order.
    std::map<int, std::vector<std::vector<std::uint8_t>>> sentFrames;
    // Lets a test report a larger slot count than the slots kept.
    int reportedUserCount = -1;

private:
    struct Slot {
        std::string name;
        int state = 0;
    };
    Slot* at(int slot);
    [[nodiscard]] const Slot* at(int slot) const;
    SimClock& clock_;
    std::vector<std::string>& calls_;
    VideoSocketEvents* events_ = nullptr;
    int userCount_ = 0;
    std::array<Slot, 8> slots_{};
};

// A camera in memory: startCapture answers what the test chose; frames come
// when the test hands them in (posted).
class SimCamera : public Camera {
public:
    SimCamera(SimClock& clock, std::vector<std::string>& calls) : clock_(clock), calls_(calls) {}
    void setEvents(CameraEvents* events) override { events_ = events; }
    void setLabel(const std::string& text) override { label = text; }
    void initCapture() override { calls_.push_back("initCapture"); }
    void setOptions(const CaptureOptions& o) override { options = o; }
    [[nodiscard]] int startCapture() override;
    void stopCapture() override;
    void freeCapture() override { calls_.push_back("freeCapture"); }
    [[nodiscard]] int videoFormat() const override { return 1; }
    [[nodiscard]] int videoMode() const override { return options.videoMode; }

    void capture(std::vector<std::uint8_t> frame);
    int startResult = 0;
    bool capturing = false;
    std::string label;
    CaptureOptions options;

private:
    SimClock& clock_;
    std::vector<std::string>& calls_;
    CameraEvents* events_ = nullptr;
};

class NullComponents : public ComponentFactory {
public:
    explicit NullComponents(SimClock& clock) : clock_(clock) {}
    [[nodiscard]] std::unique_ptr<Browser> createBrowser() override;
    [[nodiscard]] std::unique_ptr<VideoSocket> createVideoSocket() override;
    [[nodiscard]] std::unique_ptr<Camera> createCamera() override;
    // The plug-in the test offers (nullptr: none); each path asked for is kept.
    [[nodiscard]] std::unique_ptr<PropsPlugin> createPropsPlugin(const std::string& path) override {
        pluginPaths.push_back(path);
        return propsPlugin ? propsPlugin() : nullptr;
    }
    std::vector<std::string> videoCalls;
    std::function<std::unique_ptr<PropsPlugin>()> propsPlugin;
    std::vector<std::string> pluginPaths;
    std::vector<std::string> cameraCalls;
    // The last ones made, borrowed from their owner.
    SimVideoSocket* videoSocket = nullptr;
    SimCamera* camera = nullptr;
    // What the next camera's start answers.
    int cameraStartResult = 0;

private:
    SimClock& clock_;
};

// Everything together, for tests.
struct SimPlatform {
    SimClock clock;
    SimSocket socket;
    SimProcess process;
    IconvCodec codec;
    SimFiles files;
    SimIni ini{files, codec};
    SimHall hall;
    SimSoundDevice sound;
    SimResources resources;
    SimPictureDecoder pictures;
    NullComponents components{clock};
    Platform platform{clock, socket, process, codec, ini, files, hall, sound, resources, pictures, components};
};

}  // namespace mj::platform::sim
