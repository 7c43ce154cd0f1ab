// shell_shot: the main window's shell on real windows under Wine, on a
// 1280 x 1024 screen: the painted frame with its caption buttons, a hovered
// toolbar button, the settings dialog, the player card of the top seat and
// the exit dialog. It copies the screen into shell_live.bmp.
#include <string>

#include "shell/exit_dialogs.h"
#include "shell/player_card.h"
#include "shell/shell_windows.h"
#include "shell/toolbar.h"
#include "shot_support/shot_table.h"

namespace {

using mj::shots::Pixels;

void pump(int ms) {
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

bool shootScreen(const std::string& path, int w, int h) {
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
    return mj::shots::writeBmp(path, w, h, px);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    mj::shots::ShotTable shot(1280, 1024);
    auto& c = shot.client;
    mj::platform::win32::FormHost host;
    c.shell.attachForm = [&host](mj::ui::Form& f) { host.attach(f); };
    c.shell.detachForm = [&host](mj::ui::Form& f) { host.detach(f); };
    host.attach(c.mainForm);
    c.mainForm.move(0, 0);
    c.mainForm.setVisible(true);
    shot.layWall();
    c.link.loggedIn = true;
    auto& p = c.dispatch.player[2];
    p.nickName = "王五";
    p.sex = 1;
    p.location = "成都";
    p.score = 1234.5;
    p.credit = 98;
    p.loginCount = 120;
    p.winCount = 61;
    p.lossCount = 47;
    pump(300);
    mj::shell::toolbarMouseMove(c, 3);
    mj::shell::toolbarClick(c, 3);
    mj::shell::showPlayerCard(c, 2);
    c.link.inGame = true;
    mj::shell::toggleExitDialog(c);
    pump(1000);
    return shootScreen(dir + "/shell_live.bmp", 1280, 1024) ? 0 : 1;
}
