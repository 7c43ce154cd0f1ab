// input_helper.cpp: what the input runner cannot see from the X server: which
// of the client's windows are shown, where they stand and which control holds
// the keyboard focus; and the one thing a player's hall does for the player,
// bringing the hidden client back.
//
//   input_helper.exe state TITLE...   one line per title:
//                                     TITLE<TAB>shown<TAB>left,top,right,bottom<TAB>HANDLE
//                                     (shown 0 and nothing more when no window
//                                     has the title), then focus<TAB>CLASS of
//                                     the control with the keyboard focus in
//                                     the first title's thread. A TITLE @X,Y
//                                     names the top-level window at that screen
//                                     point, #HANDLE the window with the handle
//                                     (both for windows without a title)
//   input_helper.exe restore TITLE    the system's restore command to the window
//   input_helper.exe hall TITLE       a small window with the hall's title,
//                                     shown in the screen's lower right corner
//                                     until the process is ended: the client
//                                     finds a hall to hide and to go back to
//
// Exit code 0, or 2 on a usage error.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

std::string utf8(const wchar_t* w) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w, -1, out.data(), n, nullptr, nullptr);
    return out;
}

// The shown top-level window with the title, else any with it.
HWND findTitled(const wchar_t* title) {
    struct Search {
        const wchar_t* title;
        HWND shown = nullptr, any = nullptr;
    } s{title};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            wchar_t text[256] = {};
            GetWindowTextW(h, text, 256);
            if (wcscmp(text, s.title) != 0) return TRUE;
            if (!s.any) s.any = h;
            if (IsWindowVisible(h) && !IsIconic(h)) {
                s.shown = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.shown ? s.shown : s.any;
}

HWND findNamed(const wchar_t* name) {
    if (name[0] == L'@') {
        POINT pt{};
        if (swscanf(name + 1, L"%ld,%ld", &pt.x, &pt.y) != 2) return nullptr;
        const HWND h = WindowFromPoint(pt);
        return h ? GetAncestor(h, GA_ROOT) : nullptr;
    }
    if (name[0] == L'#') {
        const HWND h = reinterpret_cast<HWND>(static_cast<INT_PTR>(wcstoll(name + 1, nullptr, 10)));
        return IsWindow(h) ? h : nullptr;
    }
    return findTitled(name);
}

int state(int argc, wchar_t** argv) {
    DWORD firstThread = 0;
    for (int i = 2; i < argc; ++i) {
        const HWND h = findNamed(argv[i]);
        const bool shown = h && IsWindowVisible(h) && !IsIconic(h);
        std::printf("%s\t%d", utf8(argv[i]).c_str(), shown ? 1 : 0);
        if (h) {
            RECT r{};
            GetWindowRect(h, &r);
            std::printf("\t%ld,%ld,%ld,%ld\t%lld", r.left, r.top, r.right, r.bottom,
                        static_cast<long long>(reinterpret_cast<INT_PTR>(h)));
            if (!firstThread && i == 2) firstThread = GetWindowThreadProcessId(h, nullptr);
        }
        std::printf("\n");
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    wchar_t cls[128] = L"none";
    if (firstThread && GetGUIThreadInfo(firstThread, &info) && info.hwndFocus) GetClassNameW(info.hwndFocus, cls, 128);
    std::printf("focus\t%s\n", utf8(cls).c_str());
    return 0;
}

int hall(const wchar_t* title) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"StandInHallWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    const HWND h = CreateWindowExW(0, wc.lpszClassName, title, WS_POPUP | WS_VISIBLE, 1180, 960, 100, 64, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    if (!h) return 1;
    std::printf("hall window up\n");
    std::fflush(stdout);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) DispatchMessageW(&m);
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: input_helper state TITLE... | restore TITLE | hall TITLE\n");
        return 2;
    }
    const std::wstring verb = argv[1];
    if (verb == L"state") return state(argc, argv);
    if (verb == L"hall") return hall(argv[2]);
    if (verb == L"restore") {
        const HWND h = findTitled(argv[2]);
        if (!h) return 1;
        PostMessageW(h, WM_SYSCOMMAND, SC_RESTORE, 0);
        return 0;
    }
    std::fprintf(stderr, "unknown verb\n");
    return 2;
}
