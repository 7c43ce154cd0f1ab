// win32_camera.cpp: the test-card camera.
#include "platform/win32/win32_camera.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "video/frame_bitmap.h"

namespace mj::platform::win32 {
namespace {

constexpr UINT_PTR FrameTimer = 1;
constexpr UINT FrameMillis = 125;

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

// A hue per name, so every seat's card looks different.
COLORREF tint(const std::string& name, int bar) {
    unsigned h = 2166136261u;
    for (unsigned char ch : name) h = (h ^ ch) * 16777619u;
    const int base = static_cast<int>(h % 6);
    static const COLORREF bars[6] = {RGB(200, 60, 60),  RGB(60, 170, 70),  RGB(60, 90, 200),
                                     RGB(210, 180, 40), RGB(160, 60, 180), RGB(40, 170, 180)};
    return bars[(base + bar) % 6];
}

}  // namespace

Win32TestCardCamera::Win32TestCardCamera() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Win32TestCardCamera::wndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MjTestCardCamera";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32TestCardCamera::~Win32TestCardCamera() {
    stopCapture();
    DestroyWindow(window_);
}

int Win32TestCardCamera::startCapture() {
    wchar_t flag[8] = {};
    if (GetEnvironmentVariableW(L"MJ_NO_CAMERA", flag, 8) > 0 && flag[0] == L'1') return 1;
    if (!capturing_) SetTimer(window_, FrameTimer, FrameMillis, nullptr);
    capturing_ = true;
    return 0;
}

void Win32TestCardCamera::stopCapture() {
    if (capturing_) KillTimer(window_, FrameTimer);
    capturing_ = false;
}

LRESULT CALLBACK Win32TestCardCamera::wndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_TIMER && w == FrameTimer) {
        auto* self = reinterpret_cast<Win32TestCardCamera*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (self && self->capturing_) self->frame();
        return 0;
    }
    return DefWindowProcW(h, msg, w, l);
}

void Win32TestCardCamera::frame() {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = Width;
    bi.bmiHeader.biHeight = -Height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) {
        DeleteDC(dc);
        return;
    }
    HGDIOBJ old = SelectObject(dc, bmp);
    for (int b = 0; b < 6; ++b) {
        RECT r{b * Width / 6, 0, (b + 1) * Width / 6, Height};
        HBRUSH br = CreateSolidBrush(tint(label_, b));
        FillRect(dc, &r, br);
        DeleteObject(br);
    }
    // A bar that sweeps across, so a frozen picture shows.
    const int x = static_cast<int>(frames_ * 4 % Width);
    RECT sweep{x, Height - 14, x + 12, Height - 4};
    FillRect(dc, &sweep, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT band{0, 34, Width, 86};
    FillRect(dc, &band, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    HFONT font = CreateFontW(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"Tahoma");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(255, 255, 255));
    const std::wstring name = widen(label_);
    RECT nameRect{0, 36, Width, 58};
    DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &nameRect, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    SYSTEMTIME t;
    GetLocalTime(&t);
    wchar_t clock[32];
    wsprintfW(clock, L"%02u:%02u:%02u.%u", t.wHour, t.wMinute, t.wSecond, t.wMilliseconds / 100);
    RECT clockRect{0, 60, Width, 84};
    SetTextColor(dc, RGB(255, 230, 120));
    DrawTextW(dc, clock, -1, &clockRect, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    GdiFlush();
    const auto* px = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> pixels(px, px + static_cast<std::size_t>(Width) * Height);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    ++frames_;
    if (events_) events_->onFrameCaptured(mj::video::encodeBmp(Width, Height, pixels));
}

}  // namespace mj::platform::win32
