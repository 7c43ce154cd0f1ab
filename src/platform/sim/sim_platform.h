// sim_platform.h: the deterministic in-memory platform: a virtual clock with
// timers, a scripted socket, a process whose end is observed, in-memory files
// and INI store, a hall with windows tests can add and remove.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
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

private:
    friend class SimTimer;
    void runDue();
    Millis now_{0};
    Millis midnightOffset_{Millis(10 * 3600 * 1000)};
    Millis slept_{0};
    std::vector<SimTimer*> timers_;
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
    [[noreturn]] void endProcess(int exitCode) override;

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
    std::map<std::string, std::string> files;
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

class NullComponents : public ComponentFactory {
public:
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
    NullComponents components;
    Platform platform{clock, socket, process, codec, ini, files, hall, sound, resources, pictures, components};
};

}  // namespace mj::platform::sim
