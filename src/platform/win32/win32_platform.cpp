// win32_platform.cpp: clock and timers, the game socket, the process, GBK,
// INI profile files, files and the hall window on Win32.
#include <winsock2.h>
#include <ws2tcpip.h>
// after windows.h
#include <shellapi.h>

#include "platform/win32/win32_platform.h"

#include <shellapi.h>

#include "platform/relay_video_socket.h"
#include "platform/win32/win32_camera.h"

#include <cstdio>
#include <map>
#include <stdexcept>

namespace mj::platform::win32 {

std::wstring widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), s.data(), n, nullptr, nullptr);
    return s;
}

namespace {
HWND makeMessageWindow(const wchar_t* className, WNDPROC proc, void* self) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className;
    RegisterClassW(&wc);  // a second registration fails harmlessly
    HWND h = CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return h;
}
}  // namespace

// ---------------------------------------------------------------- clock

class Win32Timer : public Timer {
public:
    Win32Timer(Win32Clock& clock, UINT_PTR id, Millis interval, std::function<void()> onTick)
        : clock_(clock), id_(id), interval_(interval), onTick_(std::move(onTick)) {
        clock_.timers_[id_] = this;
    }
    ~Win32Timer() override {
        KillTimer(clock_.window_, id_);
        clock_.timers_.erase(id_);
    }
    void setEnabled(bool on) override {
        if (on == enabled_) return;
        enabled_ = on;
        if (on)
            SetTimer(clock_.window_, id_, static_cast<UINT>(interval_.count()), nullptr);
        else
            KillTimer(clock_.window_, id_);
    }
    [[nodiscard]] bool enabled() const override { return enabled_; }
    void setInterval(Millis interval) override {
        interval_ = interval;
        if (enabled_) SetTimer(clock_.window_, id_, static_cast<UINT>(interval_.count()), nullptr);
    }
    [[nodiscard]] Millis interval() const override { return interval_; }

    void fire() {
        // A callback that pumps messages must not see its own timer again.
        if (running_ || !enabled_) return;
        running_ = true;
        auto fn = onTick_;
        fn();
        running_ = false;
    }

private:
    Win32Clock& clock_;
    UINT_PTR id_;
    Millis interval_;
    std::function<void()> onTick_;
    bool enabled_ = false;
    bool running_ = false;
};

Win32Clock::Win32Clock() { window_ = makeMessageWindow(L"MjClockWindow", &Win32Clock::timerWndProc, this); }
Win32Clock::~Win32Clock() { DestroyWindow(window_); }

LRESULT CALLBACK Win32Clock::timerWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_TIMER) {
        auto* self = reinterpret_cast<Win32Clock*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self) {
            auto it = self->timers_.find(static_cast<UINT_PTR>(w));
            if (it != self->timers_.end()) it->second->fire();
        }
        return 0;
    }
    return DefWindowProcW(h, msg, w, l);
}

Millis Win32Clock::monotonic() const { return Millis(static_cast<long long>(GetTickCount64())); }

double Win32Clock::secondsSinceMidnight() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

Clock::TimeOfDay Win32Clock::timeOfDay() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wHour, t.wMinute, t.wSecond};
}

Clock::Date Win32Clock::today() const {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay};
}

void Win32Clock::sleep(Millis duration) { Sleep(static_cast<DWORD>(duration.count())); }

void Win32Clock::pumpEvents(Millis maxWait) {
    MSG m;
    if (!PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(maxWait.count()), QS_ALLINPUT);
    }
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(m.wParam));
            return;
        }
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

std::unique_ptr<Timer> Win32Clock::createTimer(Millis interval, std::function<void()> onTick) {
    return std::make_unique<Win32Timer>(*this, nextId_++, interval, std::move(onTick));
}

int Win32Clock::runMessageLoop() {
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return static_cast<int>(m.wParam);
}

// ---------------------------------------------------------------- socket

namespace {
constexpr UINT WmSocket = WM_USER + 101;
}

Win32Socket::Win32Socket() {
    WSADATA wd;
    WSAStartup(MAKEWORD(2, 2), &wd);
    window_ = makeMessageWindow(L"MjSocketWindow", &Win32Socket::wndProc, this);
}

Win32Socket::~Win32Socket() {
    events_ = nullptr;
    close();
    DestroyWindow(window_);
}

LRESULT CALLBACK Win32Socket::wndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WmSocket) {
        auto* self = reinterpret_cast<Win32Socket*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self) self->onSelect(static_cast<SOCKET>(w), WSAGETSELECTEVENT(l), WSAGETSELECTERROR(l));
        return 0;
    }
    return DefWindowProcW(h, msg, w, l);
}

void Win32Socket::connect(const std::string& host, std::uint16_t port) {
    if (state_ != SocketState::Closed) return;
    state_ = SocketState::ResolvingHost;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &res) != 0 || !res) {
        state_ = SocketState::Error;
        if (events_) events_->onClosed(WSAHOST_NOT_FOUND);
        return;
    }
    socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    WSAAsyncSelect(socket_, window_, WmSocket, FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE);
    state_ = SocketState::Connecting;
    const int rc = ::connect(socket_, res->ai_addr, static_cast<int>(res->ai_addrlen));
    freeaddrinfo(res);
    if (rc == SOCKET_ERROR && WSAGetLastError() != WSAEWOULDBLOCK) {
        const int err = WSAGetLastError();
        close();
        state_ = SocketState::Error;
        if (events_) events_->onClosed(err);
    }
}

void Win32Socket::onSelect(SOCKET s, int event, int error) {
    // Events of a socket that has been closed since are dropped.
    if (s != socket_ || socket_ == INVALID_SOCKET) return;
    switch (event) {
    case FD_CONNECT:
        if (error != 0) {
            close();
            state_ = SocketState::Error;
            if (events_) events_->onClosed(error);
        } else {
            state_ = SocketState::Connected;
            if (events_) events_->onConnected();
        }
        break;
    case FD_READ: {
        // A peer that sends without pause must not keep the window thread
        // here: a read that leaves data behind has the system post the next
        // read event, so timers and the other sockets get their turn.
        std::uint8_t buf[8192];
        std::size_t taken = 0;
        while (socket_ != INVALID_SOCKET && taken < MaxReadPerEvent) {
            const int n = recv(socket_, reinterpret_cast<char*>(buf), sizeof buf, 0);
            if (n <= 0) break;
            taken += static_cast<std::size_t>(n);
            if (events_) events_->onData(std::span<const std::uint8_t>(buf, static_cast<std::size_t>(n)));
        }
        break;
    }
    case FD_WRITE: {
        const bool waiting = !pending_.empty();
        flush();
        if (waiting && pending_.empty() && events_) events_->onDrained();
        break;
    }
    case FD_CLOSE:
        state_ = SocketState::Closing;
        if (events_) events_->onClosed(error);
        break;
    default:
        break;
    }
}

bool Win32Socket::send(std::span<const std::uint8_t> bytes) {
    if (state_ != SocketState::Connected) return false;
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    flush();
    return true;
}

void Win32Socket::flush() {
    while (!pending_.empty() && socket_ != INVALID_SOCKET) {
        const int n =
            ::send(socket_, reinterpret_cast<const char*>(pending_.data()), static_cast<int>(pending_.size()), 0);
        if (n <= 0) break;  // would block: FD_WRITE resumes
        pending_.erase(pending_.begin(), pending_.begin() + n);
    }
}

void Win32Socket::close() {
    if (socket_ != INVALID_SOCKET) {
        WSAAsyncSelect(socket_, window_, 0, 0);
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    pending_.clear();
    state_ = SocketState::Closed;
}

// ---------------------------------------------------------------- process

Win32Process::Win32Process() {
    wchar_t buf[8] = {};
    autoCloseBoxes_ = GetEnvironmentVariableW(L"MJ_TEST_AUTOCLOSE_MSGBOX", buf, 8) > 0 && buf[0] == L'1';
}

std::string Win32Process::commandLine() const {
    // Everything after the program name, as the hall wrote it.
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        ++p;
        while (*p && *p != L'"') ++p;
        if (*p) ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t') ++p;
    }
    while (*p == L' ' || *p == L'\t') ++p;
    std::wstring rest(p);
    // A launch line passed as one quoted argument arrives with its quotes.
    if (rest.size() >= 2 && rest.front() == L'"' && rest.back() == L'"') rest = rest.substr(1, rest.size() - 2);
    return narrow(rest);
}

bool Win32Process::anotherInstanceRunning() {
    if (!instanceMutex_) instanceMutex_ = CreateMutexW(nullptr, TRUE, L"mjclient.single.instance");
    return GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string Win32Process::programFolder() const {
    wchar_t buf[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::wstring path(buf, n);
    const auto slash = path.find_last_of(L"\\/");
    return narrow(slash == std::wstring::npos ? path : path.substr(0, slash));
}

void Win32Process::messageBox(std::string_view text, std::string_view title) {
    log("messagebox: " + std::string(title) + ": " + std::string(text));
    if (autoCloseBoxes_) return;
    MessageBoxW(nullptr, widen(text).c_str(), widen(title).c_str(), MB_OK | MB_ICONWARNING);
}

ScreenSize Win32Process::screenSize() const { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

void Win32Process::openInBrowser(std::string_view address) {
    // Shown normally: a browser started hidden would never be seen.
    const std::wstring w = widen(address);
    const auto done =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", w.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Nothing is shown to the player when no browser opens; the log says so.
    log("browser: " + std::string(address) + (done > 32 ? "" : " (no browser opened)"));
}

void Win32Process::log(std::string_view line) {
    // One bare line each: test runners match them from the line's start.
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(stderr);
}

void Win32Process::openFolder(const std::string& path) {
    ShellExecuteW(nullptr, L"open", widen(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Win32Process::endProcess(int exitCode) {
    log("exit " + std::to_string(exitCode));
    std::fflush(stderr);
    ExitProcess(static_cast<UINT>(exitCode));
}

// ---------------------------------------------------------------- codec

std::string Win32Codec::toGbk(std::string_view utf8, bool* lossless) const {
    std::wstring w = widen(utf8);
    if (lossless) *lossless = true;
    if (w.empty()) return {};
    // A character outside the basic plane is one '?', not one per half.
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
        if (w[i] >= 0xD800 && w[i] <= 0xDBFF && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
            w.replace(i, 2, 1, L'\xFFFF');
        }
    }
    BOOL usedDefault = FALSE;
    const int n = WideCharToMultiByte(936, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, "?", &usedDefault);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(936, 0, w.data(), static_cast<int>(w.size()), s.data(), n, "?", &usedDefault);
    if (lossless && usedDefault) *lossless = false;
    return s;
}

std::string Win32Codec::fromGbk(std::string_view gbk) const {
    if (gbk.empty()) return {};
    const int n = MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, gbk.data(), static_cast<int>(gbk.size()), w.data(), n);
    return narrow(w);
}

// ---------------------------------------------------------------- INI

// The A profile functions carry GBK bytes through unchanged whatever the code
// page of the system, and write new files as plain GBK.
std::string Win32Ini::get(const std::string& path, std::string_view section, std::string_view key) const {
    char buf[1024] = {};
    GetPrivateProfileStringA(codec_.toGbk(section).c_str(), codec_.toGbk(key).c_str(), "", buf, sizeof buf,
                             codec_.toGbk(path).c_str());
    return codec_.fromGbk(buf);
}

void Win32Ini::write(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
    WritePrivateProfileStringA(codec_.toGbk(section).c_str(), codec_.toGbk(key).c_str(), codec_.toGbk(value).c_str(),
                               codec_.toGbk(path).c_str());
}

void Win32Ini::deleteKey(const std::string& path, std::string_view section, std::string_view key) {
    WritePrivateProfileStringA(codec_.toGbk(section).c_str(), codec_.toGbk(key).c_str(), nullptr,
                               codec_.toGbk(path).c_str());
}

void Win32Ini::deleteSection(const std::string& path, std::string_view section) {
    WritePrivateProfileStringA(codec_.toGbk(section).c_str(), nullptr, nullptr, codec_.toGbk(path).c_str());
}

IniStore::Entries Win32Ini::section(const std::string& path, std::string_view section) const {
    const std::string file = codec_.toGbk(path);
    const std::string name = codec_.toGbk(section);
    // The reader says a section did not fit by filling the buffer to two
    // short of its size; then it is read again into one twice as large.
    std::vector<char> buf(64 * 1024);
    DWORD n = 0;
    while (true) {
        n = GetPrivateProfileSectionA(name.c_str(), buf.data(), static_cast<DWORD>(buf.size()), file.c_str());
        if (n + 2 < buf.size() || buf.size() >= (64U << 20)) break;
        buf.resize(buf.size() * 2);
    }
    Entries out;
    for (std::size_t at = 0; at < n && buf[at] != '\0';) {
        const std::string_view line(buf.data() + at);
        at += line.size() + 1;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        out.emplace_back(codec_.fromGbk(line.substr(0, eq)), codec_.fromGbk(line.substr(eq + 1)));
    }
    return out;
}

void Win32Ini::writeSection(const std::string& path, std::string_view section, const Entries& entries) {
    // The key-by-key writer drops the blanks around a value; the section
    // writer only those in front. Both go, so the file reads the same bytes
    // whichever wrote it.
    auto trimmed = [](std::string_view v) {
        constexpr std::string_view Blanks = " \t\r\n\v\f\x1a";
        const auto first = v.find_first_not_of(Blanks);
        if (first == std::string_view::npos) return std::string_view();
        return v.substr(first, v.find_last_not_of(Blanks) - first + 1);
    };
    std::string block;
    for (const auto& [key, value] : entries) {
        block += codec_.toGbk(trimmed(key));
        block += '=';
        block += codec_.toGbk(trimmed(value));
        block += '\0';
    }
    block += '\0';
    WritePrivateProfileSectionA(codec_.toGbk(section).c_str(), block.data(), codec_.toGbk(path).c_str());
}

// ---------------------------------------------------------------- files

bool Win32Files::exists(const std::string& path) const {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> Win32Files::readAll(const std::string& path) const {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string out;
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) out.append(buf, n);
    CloseHandle(h);
    return out;
}

bool Win32Files::writeAll(const std::string& path, std::string_view bytes) {
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
    return ok && n == bytes.size();
}

bool Win32Files::remove(const std::string& path) { return DeleteFileW(widen(path).c_str()) != 0; }

bool Win32Files::makeFolder(const std::string& path) {
    const std::wstring w = widen(path);
    CreateDirectoryW(w.c_str(), nullptr);
    const DWORD a = GetFileAttributesW(w.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::createNew(const std::string& path, std::string_view bytes) {
    // CREATE_NEW: a file of that name is never opened, so never partly overwritten.
    HANDLE h = CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    const BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(h);
    if (ok && n == bytes.size()) return true;
    DeleteFileW(widen(path).c_str());
    return false;
}

// ---------------------------------------------------------------- hall

WindowHandle Win32Hall::findWindow(std::string_view title) const {
    // The system would give some untitled window for a blank title; a blank
    // hall title means there is no hall.
    if (title.empty()) return 0;
    // The W function finds the Chinese title whatever the system's code page.
    return reinterpret_cast<WindowHandle>(FindWindowW(nullptr, widen(title).c_str()));
}

bool Win32Hall::post(WindowHandle window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    return PostMessageW(reinterpret_cast<HWND>(window), message, wParam, lParam) != 0;
}

void Win32Hall::restore(WindowHandle window) {
    SendMessageW(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, SC_RESTORE, 0);
}

void Win32Hall::minimize(WindowHandle window) {
    SendMessageW(reinterpret_cast<HWND>(window), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

// ---------------------------------------------------------------- stand-ins

std::unique_ptr<Browser> StandInComponents::createBrowser() {
    return std::make_unique<WebBrowserPane>(process_, panes_, defaultWebBrowserOptions());
}
std::unique_ptr<VideoSocket> StandInComponents::createVideoSocket() {
    return std::make_unique<RelayVideoSocket>(std::make_unique<Win32Socket>(),
                                              [this](std::string_view line) { process_.log(line); });
}
std::unique_ptr<Camera> StandInComponents::createCamera() { return std::make_unique<Win32TestCardCamera>(); }

std::unique_ptr<PropsPlugin> StandInComponents::createPropsPlugin(const std::string& path) {
    HMODULE library = LoadLibraryW(widen(path).c_str());
    if (!library) {
        process_.log("props plug-in: cannot load " + path + " (error " + std::to_string(GetLastError()) + ")");
        return nullptr;
    }
    const auto factory =
        reinterpret_cast<PropsPluginFactory>(reinterpret_cast<void*>(GetProcAddress(library, PropsPluginFactoryName)));
    PropsPlugin* plugin = factory ? factory(PropsPluginInterfaceVersion) : nullptr;
    if (!plugin) {
        process_.log("props plug-in: " + path + " does not offer our interface");
        FreeLibrary(library);
        return nullptr;
    }
    // The plug-in's code lives in the library, which is never unloaded: a
    // plug-in made again later shares it.
    return std::unique_ptr<PropsPlugin>(plugin);
}

}  // namespace mj::platform::win32
