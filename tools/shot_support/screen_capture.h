// screen_capture.h: for the screenshot tools that show real windows: pumping
// the window messages for a while, and copying the screen into a BMP file.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "shot_support/shot_table.h"

namespace mj::shots {

inline void pump(int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (GetTickCount() < end) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
        Sleep(5);
    }
}

inline bool shootScreen(const std::string& path, int w, int h) {
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    Pixels px(p, p + static_cast<std::size_t>(w) * h);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return writeBmp(path, w, h, px);
}

// Puts the client's main window on the screen at its top left, with the pop-ups
// it makes later, and lays a hand's wall on the table.
inline void showLive(ShotTable& shot, platform::win32::FormHost& host) {
    auto& c = shot.client;
    c.shell.attachForm = [&host](ui::Form& f) { host.attach(f); };
    c.shell.detachForm = [&host](ui::Form& f) { host.detach(f); };
    host.attach(c.mainForm);
    c.mainForm.move(0, 0);
    c.mainForm.setVisible(true);
    shot.layWall();
}

}  // namespace mj::shots
