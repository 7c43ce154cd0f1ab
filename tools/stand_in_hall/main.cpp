// stand_in_hall: a Win32 stand-in for the game hall. It owns a top-level
// window with the hall's title, launches the client with a launch line, logs
// every hall message and system command the client sends it, and plays a
// small script of the hall's own messages to the client.
//
//   stand_in_hall --client mjclient.exe --launch LINE [--title T] [--log F] [--script F] [--release F]
//                 [--abort F]
//   stand_in_hall --check SCRIPT...      only read the scripts
//
// Script, one statement a line ('#' starts a comment):
//   launch                       start the client
//   wait-msg N [MS]              wait for (and consume) one message N from the client
//   no-msg N MS                  no message N may arrive for MS
//   wait-syscommand restore|minimize [MS]
//   sleep MS                     pump messages for MS
//   post connect|status|leave|leavenow|N    post to the client's window
//   send-endsession              send the system's end-of-session message (0x16)
//   client restore|minimize      send the system command to the client's window
//   client-running               the client must still be running
//   hall minimize|restore        minimise or restore the hall's own window
//   close                        destroy the hall window
//   wait-exit [MS] [CODE]        wait for the client to end (with that code)
//   wait-release [MS]            wait until the --release file exists (the
//                                test runner creates it when its server is done)
//   forget                       drop the messages and system commands seen so far
// Exit code: 0 every step passed, 1 a step failed, 2 usage error or a script
// that cannot be read or has an unknown statement (then nothing is launched),
// 3 the --abort file appeared (the runner gives up on the case). A client
// still running at the end is ended by its process handle: the runner cannot
// reach it, so a client left behind would refuse the next case's client.
#include <windows.h>

#include <cstdio>
#include <climits>
#include <cwchar>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr UINT HallConnect = 0x16;
constexpr UINT HallLeaveRequest = 0x303;
constexpr UINT HallLeaveNow = 0x400;
constexpr UINT HallStatusQuery = 0x465;

struct Hall {
    HWND window = nullptr;
    std::wstring title = L"曲维山庄";
    std::wstring clientPath;
    std::wstring launchLine;
    std::wstring releasePath;
    std::wstring abortPath;
    FILE* log = stdout;
    DWORD start = GetTickCount();
    PROCESS_INFORMATION client{};
    bool launched = false;
    std::map<UINT, int> received;  // message -> count not yet consumed
    std::map<WPARAM, int> syscommands;
} g;

std::string narrow(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}
std::wstring widen(const std::string& s) {
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

void logLine(const std::string& text) {
    std::fprintf(g.log, "[%7lu ms] %s\n", static_cast<unsigned long>(GetTickCount() - g.start), text.c_str());
    std::fflush(g.log);
}

std::string hex(unsigned long v) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%04lx", v);
    return b;
}

LRESULT CALLBACK hallProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SYSCOMMAND) {
        logLine("syscommand " + hex(static_cast<unsigned long>(w & 0xFFF0)));
        ++g.syscommands[w & 0xFFF0];
    } else if (msg == 0x16 || msg == 0x303 || (msg >= WM_USER && msg < 0x8000)) {
        logLine("recv " + hex(msg) + " w=" + std::to_string(w) + " l=" + std::to_string(l));
        ++g.received[msg];
        return 0;
    }
    if (msg == WM_DESTROY) g.window = nullptr;
    return DefWindowProcW(h, msg, w, l);
}

bool clientRunning() { return g.launched && WaitForSingleObject(g.client.hProcess, 0) == WAIT_TIMEOUT; }

bool fileExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void endClient() {
    if (clientRunning()) {
        logLine("ending the client");
        TerminateProcess(g.client.hProcess, 99);
        WaitForSingleObject(g.client.hProcess, 5000);
    }
}

void pumpOnce(DWORD waitMs) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    if (fileExists(g.abortPath)) {
        logLine("aborted by the runner");
        endClient();
        ExitProcess(3);
    }
}

template <class Pred>
bool pumpUntil(DWORD timeoutMs, Pred done) {
    const DWORD t0 = GetTickCount();
    while (!done()) {
        if (GetTickCount() - t0 >= timeoutMs) return false;
        pumpOnce(10);
    }
    return true;
}

struct Found {
    DWORD pid;
    HWND hwnd;
    long long area;
};
// The client's pop-ups (bubbles, the player card, dialogs) are windows of the
// same class. Only its main window is ever minimised, and otherwise it is the
// largest of them.
BOOL CALLBACK findClientWindow(HWND h, LPARAM p) {
    auto* f = reinterpret_cast<Found*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (pid == f->pid && std::wcscmp(cls, L"MjForm") == 0) {
        RECT r{};
        GetWindowRect(h, &r);
        const long long area = IsIconic(h) ? LLONG_MAX : static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
        if (!f->hwnd || area > f->area) {
            f->hwnd = h;
            f->area = area;
        }
    }
    return TRUE;
}

HWND clientWindow() {
    if (!g.launched) return nullptr;
    Found f{g.client.dwProcessId, nullptr, 0};
    EnumWindows(findClientWindow, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

bool launch() {
    std::wstring cmd = L"\"" + g.clientPath + L"\" " + g.launchLine;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    if (!CreateProcessW(g.clientPath.c_str(), cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                        &g.client)) {
        logLine("launch failed: error " + std::to_string(GetLastError()));
        return false;
    }
    g.launched = true;
    logLine("launched the client, pid " + std::to_string(g.client.dwProcessId));
    return true;
}

unsigned long number(const std::string& s) { return std::stoul(s, nullptr, 0); }

bool postToClient(UINT msg) {
    HWND c = nullptr;
    // The client's window appears a moment after its start.
    pumpUntil(10000, [&] { return (c = clientWindow()) != nullptr || !clientRunning(); });
    if (!c) {
        logLine("no client window");
        return false;
    }
    logLine("post " + hex(msg));
    return PostMessageW(c, msg, 0, 0) != 0;
}

bool sendSysCommand(WPARAM cmd) {
    HWND c = clientWindow();
    if (!c) {
        logLine("no client window");
        return false;
    }
    wchar_t title[128] = {};
    GetWindowTextW(c, title, 128);
    logLine("send syscommand " + hex(static_cast<unsigned long>(cmd)) + " to the client's window \"" + narrow(title) +
            "\"");
    SendMessageTimeoutW(c, WM_SYSCOMMAND, cmd, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    return true;
}

bool runStep(const std::vector<std::string>& w) {
    const std::string& op = w[0];
    auto arg = [&](std::size_t i, unsigned long dflt) { return w.size() > i ? number(w[i]) : dflt; };
    if (op == "launch") return launch();
    if (op == "sleep") {
        pumpUntil(static_cast<DWORD>(arg(1, 0)), [] { return false; });
        return true;
    }
    if (op == "wait-msg" || op == "no-msg") {
        const UINT msg = static_cast<UINT>(number(w.at(1)));
        const DWORD ms = static_cast<DWORD>(arg(2, 10000));
        const bool seen = pumpUntil(ms, [&] { return g.received[msg] > 0; });
        if (op == "no-msg") return !seen;
        if (seen) --g.received[msg];
        return seen;
    }
    if (op == "wait-syscommand") {
        const WPARAM cmd = w.at(1) == "restore" ? SC_RESTORE : SC_MINIMIZE;
        const bool seen = pumpUntil(static_cast<DWORD>(arg(2, 10000)), [&] { return g.syscommands[cmd] > 0; });
        if (seen) --g.syscommands[cmd];
        return seen;
    }
    if (op == "post") {
        static const std::map<std::string, UINT> names{{"connect", HallConnect},
                                                       {"status", HallStatusQuery},
                                                       {"leave", HallLeaveRequest},
                                                       {"leavenow", HallLeaveNow}};
        auto it = names.find(w.at(1));
        return postToClient(it != names.end() ? it->second : static_cast<UINT>(number(w[1])));
    }
    if (op == "send-endsession") {
        HWND c = clientWindow();
        if (!c) return false;
        logLine("send end-of-session");
        SendMessageTimeoutW(c, WM_ENDSESSION, TRUE, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
        return true;
    }
    if (op == "forget") {
        g.received.clear();
        g.syscommands.clear();
        return true;
    }
    if (op == "client") return sendSysCommand(w.at(1) == "restore" ? SC_RESTORE : SC_MINIMIZE);
    if (op == "client-running") {
        const bool running = clientRunning();
        logLine(running ? "client running" : "client not running");
        return running;
    }
    if (op == "hall") {
        ShowWindow(g.window, w.at(1) == "restore" ? SW_RESTORE : SW_MINIMIZE);
        return true;
    }
    if (op == "wait-release") {
        if (g.releasePath.empty()) {
            logLine("wait-release without --release");
            return false;
        }
        return pumpUntil(static_cast<DWORD>(arg(1, 600000)), [] { return fileExists(g.releasePath); });
    }
    if (op == "close") {
        logLine("hall window closed");
        DestroyWindow(g.window);
        return true;
    }
    if (op == "wait-exit") {
        if (!g.launched) return false;
        const bool ended = pumpUntil(static_cast<DWORD>(arg(1, 30000)), [] { return !clientRunning(); });
        if (!ended) return false;
        DWORD code = 0;
        GetExitCodeProcess(g.client.hProcess, &code);
        logLine("client exit " + std::to_string(code));
        return w.size() < 3 || code == number(w[2]);
    }
    logLine("unknown statement " + op);
    return false;
}

using Script = std::vector<std::vector<std::string>>;

// Reads a script into its statements. A script that cannot be read, names a
// statement we do not know or has none must fail the case rather than pass it
// with nothing played; `error` says why.
bool loadScript(const std::wstring& path, Script& steps, std::string& error) {
    std::ifstream in(path.c_str());
    if (!in) {
        error = "cannot read the script " + narrow(path);
        return false;
    }
    static const std::set<std::string> known{
        "launch", "wait-msg", "no-msg", "wait-syscommand", "sleep",     "post",         "send-endsession",
        "forget", "client",   "hall",   "client-running",  "wait-exit", "wait-release", "close"};
    std::string line;
    for (int lineNo = 1; std::getline(in, line); ++lineNo) {
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;
        if (known.count(w[0]) == 0) {
            error = narrow(path) + " line " + std::to_string(lineNo) + ": unknown statement " + w[0];
            return false;
        }
        steps.push_back(w);
    }
    if (steps.empty()) {
        error = "the script " + narrow(path) + " has no statements";
        return false;
    }
    return true;
}

// stand_in_hall --check SCRIPT...: only reads the scripts.
int checkScripts(int argc, wchar_t** argv) {
    int rc = 0;
    for (int i = 2; i < argc; ++i) {
        Script steps;
        std::string error;
        if (loadScript(argv[i], steps, error)) {
            std::printf("%s: %zu statements\n", narrow(argv[i]).c_str(), steps.size());
        } else {
            std::fprintf(stderr, "%s\n", error.c_str());
            rc = 2;
        }
    }
    return argc > 2 ? rc : 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 2 && std::wstring(argv[1]) == L"--check") return checkScripts(argc, argv);
    std::wstring scriptPath;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring k = argv[i];
        const std::wstring v = argv[i + 1];
        if (k == L"--title")
            g.title = v;
        else if (k == L"--client")
            g.clientPath = v;
        else if (k == L"--launch")
            g.launchLine = v;
        else if (k == L"--script")
            scriptPath = v;
        else if (k == L"--release")
            g.releasePath = v;
        else if (k == L"--abort")
            g.abortPath = v;
        else if (k == L"--log")
            g.log = _wfopen(v.c_str(), L"w");
        else {
            std::fwprintf(stderr, L"unknown option %ls\n", k.c_str());
            return 2;
        }
    }
    if (g.clientPath.empty() || !g.log) {
        std::fprintf(stderr,
                     "usage: stand_in_hall --client EXE --launch LINE [--title T] [--log F] [--script F] "
                     "[--release F] [--abort F]\n");
        return 2;
    }

    WNDCLASSW wc{};
    wc.lpfnWndProc = hallProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StandInHall";
    RegisterClassW(&wc);
    g.window = CreateWindowExW(0, wc.lpszClassName, g.title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 320, 200, nullptr,
                               nullptr, wc.hInstance, nullptr);
    if (!g.window) {
        std::fprintf(stderr, "cannot create the hall window\n");
        return 2;
    }
    ShowWindow(g.window, SW_SHOWNORMAL);
    logLine("hall window \"" + narrow(g.title) + "\"");

    Script steps;
    if (scriptPath.empty()) {
        steps.push_back({"launch"});
        steps.push_back({"wait-exit", "600000"});
    } else {
        std::string error;
        if (!loadScript(scriptPath, steps, error)) {
            logLine(error);
            return 2;
        }
    }

    int result = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        std::string text;
        for (const auto& s : steps[i]) text += (text.empty() ? "" : " ") + s;
        logLine("step " + std::to_string(i + 1) + ": " + text);
        bool ok = false;
        try {
            ok = runStep(steps[i]);
        } catch (const std::exception& e) {
            logLine(std::string("bad statement: ") + e.what());
        }
        if (!ok) {
            logLine("FAILED at step " + std::to_string(i + 1));
            result = 1;
            break;
        }
    }
    endClient();
    logLine(result == 0 ? "PASSED" : "FAILED");
    if (g.log != stdout) std::fclose(g.log);
    (void)widen;
    return result;
}
