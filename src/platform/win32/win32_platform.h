// win32_platform.h: the Win32 implementations of the platform services.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/win32_web_browser.h"

namespace mj::platform::win32 {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view wide);

class Win32Clock : public Clock {
public:
    Win32Clock();
    ~Win32Clock() override;
    [[nodiscard]] Millis monotonic() const override;
    [[nodiscard]] double secondsSinceMidnight() const override;
    [[nodiscard]] TimeOfDay timeOfDay() const override;
    [[nodiscard]] Date today() const override;
    void sleep(Millis duration) override;
    void pumpEvents(Millis maxWait) override;
    [[nodiscard]] std::unique_ptr<Timer> createTimer(Millis interval, std::function<void()> onTick) override;

    // Runs the message loop until WM_QUIT; returns its exit code.
    int runMessageLoop();

private:
    friend class Win32Timer;
    static LRESULT CALLBACK timerWndProc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
    UINT_PTR nextId_ = 1;
    std::map<UINT_PTR, class Win32Timer*> timers_;
};

class Win32Socket : public Socket {
public:
    Win32Socket();
    ~Win32Socket() override;
    void setEvents(SocketEvents* events) override { events_ = events; }
    void connect(const std::string& host, std::uint16_t port) override;
    [[nodiscard]] SocketState state() const override { return state_; }
    bool send(std::span<const std::uint8_t> bytes) override;
    [[nodiscard]] std::size_t pendingBytes() const override { return pending_.size(); }
    void close() override;

    // The most one read event hands over; what is left comes with the next
    // event, after the messages queued meanwhile.
    static constexpr std::size_t MaxReadPerEvent = 64 * 1024;

private:
    static LRESULT CALLBACK wndProc(HWND, UINT, WPARAM, LPARAM);
    void onSelect(SOCKET s, int event, int error);
    void flush();
    HWND window_ = nullptr;
    SOCKET socket_ = INVALID_SOCKET;
    SocketState state_ = SocketState::Closed;
    SocketEvents* events_ = nullptr;
    std::vector<std::uint8_t> pending_;
};

class Win32Process : public Process {
public:
    Win32Process();
    [[nodiscard]] std::string commandLine() const override;
    [[nodiscard]] bool anotherInstanceRunning() override;
    [[nodiscard]] std::string programFolder() const override;
    void messageBox(std::string_view text, std::string_view title) override;
    [[nodiscard]] ScreenSize screenSize() const override;
    void openInBrowser(std::string_view address) override;
    void log(std::string_view line) override;
    void openFolder(const std::string& path) override;
    [[noreturn]] void endProcess(int exitCode) override;

private:
    HANDLE instanceMutex_ = nullptr;
    bool autoCloseBoxes_ = false;
};

class Win32Codec : public TextCodec {
public:
    [[nodiscard]] std::string toGbk(std::string_view utf8, bool* lossless = nullptr) const override;
    [[nodiscard]] std::string fromGbk(std::string_view gbk) const override;
};

class Win32Ini : public IniStore {
public:
    explicit Win32Ini(const TextCodec& codec) : codec_(codec) {}
    [[nodiscard]] std::string get(const std::string& path, std::string_view section,
                                  std::string_view key) const override;
    void write(const std::string& path, std::string_view section, std::string_view key,
               std::string_view value) override;
    void deleteKey(const std::string& path, std::string_view section, std::string_view key) override;
    void deleteSection(const std::string& path, std::string_view section) override;
    [[nodiscard]] Entries section(const std::string& path, std::string_view section) const override;
    void writeSection(const std::string& path, std::string_view section, const Entries& entries) override;

private:
    const TextCodec& codec_;
};

class Win32Files : public Files {
public:
    [[nodiscard]] bool exists(const std::string& path) const override;
    [[nodiscard]] std::optional<std::string> readAll(const std::string& path) const override;
    bool writeAll(const std::string& path, std::string_view bytes) override;
    bool remove(const std::string& path) override;
    bool makeFolder(const std::string& path) override;
    bool createNew(const std::string& path, std::string_view bytes) override;
};

class Win32Hall : public HallLink {
public:
    [[nodiscard]] WindowHandle findWindow(std::string_view title) const override;
    bool post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) override;
    void restore(WindowHandle window) override;
    void minimize(WindowHandle window) override;
};

// Our components: the browser is the system's web browser control in its
// pane, the video socket talks to the video relay, the camera paints a test
// card (no capture device is used), the plug-in is a library of our interface.
class StandInComponents : public ComponentFactory {
public:
    explicit StandInComponents(Process& process) : process_(process) {}
    // The browser panes on that form follow its change.
    void formChanged(const ui::Form& form) { panes_.follow(form); }
    [[nodiscard]] std::unique_ptr<Browser> createBrowser() override;
    [[nodiscard]] std::unique_ptr<VideoSocket> createVideoSocket() override;
    [[nodiscard]] std::unique_ptr<Camera> createCamera() override;
    // Loads the plug-in library and asks its exported factory for the plug-in.
    // The library stays loaded for the rest of the run.
    [[nodiscard]] std::unique_ptr<PropsPlugin> createPropsPlugin(const std::string& path) override;

private:
    Process& process_;
    BrowserPanes panes_;
};

}  // namespace mj::platform::win32
