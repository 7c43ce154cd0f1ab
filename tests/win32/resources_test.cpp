// resources_test.cpp: the pictures linked into the program, read back through
// the Win32 resource calls and decoded in memory as the client loads them.
#include "platform/win32/win32_resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <string>
#include <vector>

#include "link/picture_resources.h"
#include "platform/win32/win32_picture_decoder.h"

namespace mj::platform::win32 {
namespace {

TEST(Win32Resources, FindsOurPicturesByNumberAndType) {
    Win32Resources resources;
    const auto tile = resources.bytes(205, "GIF");
    ASSERT_TRUE(tile.has_value());
    EXPECT_EQ(tile->substr(0, 6), "GIF89a");
    EXPECT_EQ(resources.bytes(205, "gif"), tile);  // the type ignores case
    EXPECT_FALSE(resources.bytes(865, "GIF").has_value());
    EXPECT_FALSE(resources.bytes(205, "JPG").has_value());
    EXPECT_FALSE(resources.bytes(0, "GIF").has_value());
    EXPECT_FALSE(resources.bytes(70000, "GIF").has_value());
}

// Everything the client loads at run time decodes with the system decoder,
// the JPEG skins under the same type included.
TEST(Win32Resources, EveryPictureLoadsIntoAControl) {
    Win32Resources resources;
    Win32PictureDecoder decoder;
    link::PictureLoader loader(resources, decoder);
    link::PictureTables tables;
    ui::Image target("MJ_Image", 0);
    int loaded = 0;
    for (double scale : {1.0, 0.78125}) {
        link::initPictureIdTables(tables, scale);
        auto loadAll = [&](const auto& table, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_TRUE(link::loadPictureFromResource(loader, table[i], "GIF", target)) << table[i];
                ++loaded;
            }
        };
        loadAll(tables.anNiuPic, 20);
        loadAll(tables.tilePic, 180);
        loadAll(tables.operationPic, 18);
        loadAll(tables.dicePic, 16);
        loadAll(tables.captionPic, 9);
        loadAll(tables.facePic, 20);
        loadAll(tables.dialogPic, 8);
        loadAll(tables.compassPic, 4);
        loadAll(tables.panelPic, 6);
        loadAll(tables.imCmdPic, 15);  // entry 15 names 865, which does not exist
        loadAll(tables.seziPic, 6);
        EXPECT_FALSE(link::loadPictureFromResource(loader, tables.imCmdPic[15], "GIF", target));
    }
    for (int id : {link::BombAnimationId, link::BankNormalId, link::BankHoverId})
        EXPECT_TRUE(link::loadPictureFromResource(loader, id, "GIF", target)) << id;
    for (int id = static_cast<int>(link::DesignPicture::Table); id <= static_cast<int>(link::DesignPicture::SaiImage);
         ++id)
        EXPECT_TRUE(link::loadPictureFromResource(loader, id, "GIF", target)) << id;
    EXPECT_GT(loaded, 500);

    ASSERT_TRUE(link::loadPictureFromResource(loader, 872, "GIF", target));
    EXPECT_EQ(target.picture()->width, 434);
    EXPECT_EQ(target.picture()->height, 341);
    ASSERT_TRUE(link::loadPictureFromResource(loader, 141, "GIF", target));
    EXPECT_EQ(target.picture()->width, 50);
    EXPECT_EQ(target.picture()->height, 71);
}

}  // namespace
}  // namespace mj::platform::win32

// ------------------------------------------------------------ on screen

namespace mj::platform::win32 {
namespace {

struct Dib {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    std::uint32_t* bits = nullptr;
    int w = 0, h = 0;
    Dib(int width, int height) : w(width), h(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;  // top-down
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        SelectObject(dc, bitmap);
    }
    ~Dib() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
    // Draws a decoded picture with its transparent pixels left out.
    void draw(const ui::Picture& p, int x0, int y0) {
        GdiFlush();
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const std::uint32_t px = p.pixels[static_cast<std::size_t>(y) * p.width + x];
                if ((px >> 24) == 0 || x0 + x < 0 || y0 + y < 0 || x0 + x >= w || y0 + y >= h) continue;
                bits[(y0 + y) * w + x0 + x] = px & 0xFFFFFF;
            }
    }
    void saveBmp(const std::string& path) const {
        GdiFlush();
        BITMAPFILEHEADER fh{};
        BITMAPINFOHEADER ih{};
        ih.biSize = sizeof ih;
        ih.biWidth = w;
        ih.biHeight = -h;
        ih.biPlanes = 1;
        ih.biBitCount = 32;
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof ih;
        fh.bfSize = fh.bfOffBits + static_cast<DWORD>(w * h * 4);
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD n = 0;
        WriteFile(f, &fh, sizeof fh, &n, nullptr);
        WriteFile(f, &ih, sizeof ih, &n, nullptr);
        WriteFile(f, bits, static_cast<DWORD>(w * h * 4), &n, nullptr);
        CloseHandle(f);
    }
};

// One glyph drawn black on white in the named font; its pixels.
std::vector<std::uint32_t> glyph(const wchar_t* face, const wchar_t* text) {
    Dib d(40, 40);
    RECT r{0, 0, 40, 40};
    FillRect(d.dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HFONT font = CreateFontW(-28, 0, 0, 0, FW_NORMAL, 0, 0, 0, GB2312_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, face);
    HGDIOBJ old = SelectObject(d.dc, font);
    TextOutW(d.dc, 4, 4, text, static_cast<int>(wcslen(text)));
    SelectObject(d.dc, old);
    DeleteObject(font);
    GdiFlush();
    return std::vector<std::uint32_t>(d.bits, d.bits + 40 * 40);
}

// The window fonts the client names must draw Chinese: two characters look
// different from each other and from a character no font has (the tofu box).
TEST(ChineseText, TheClientsFontsDrawChinese) {
    for (const wchar_t* face : {L"宋体", L"华文新魏", L"Arial"}) {
        const auto zhong = glyph(face, L"中");
        const auto fa = glyph(face, L"發");
        const auto none = glyph(face, L"\xE000");
        int ink = 0;
        for (auto px : zhong) ink += (px & 0xFF) < 128;
        EXPECT_GT(ink, 20) << "nothing drawn";
        EXPECT_NE(zhong, fa);
        EXPECT_NE(zhong, none);
    }
}

LRESULT CALLBACK shotProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_ERASEBKGND) return 1;
    return DefWindowProcW(h, m, w, l);
}

// A window with our table, tiles, buttons and Chinese captions, shown and
// read back from the screen; the picture is saved beside the artwork.
TEST(ChineseText, ScreenshotOfAWindowWithPicturesAndText) {
    Win32Resources resources;
    Win32PictureDecoder decoder;
    link::PictureLoader loader(resources, decoder);
    const int W = 640, H = 420;
    Dib canvas(W, H);
    auto pic = [&](int id) { return loader.load(id, "GIF").picture; };
    canvas.draw(*pic(1001), -192, -174);
    int x = 40;
    for (int id : {201, 205, 206, 207, 210, 218, 219, 227, 228, 236}) {
        canvas.draw(*pic(id), x, 40);
        x += 44;
    }
    x = 40;
    for (int id : {345, 349, 350, 351, 354, 364, 372, 380, 352}) {
        canvas.draw(*pic(id), x, 110);
        x += 52;
    }
    x = 40;
    for (int id : {244, 245, 280, 281, 316, 317}) {
        canvas.draw(*pic(id), x, 210);
        x += 56;
    }
    canvas.draw(*pic(127), 420, 200);
    x = 40;
    for (int id : {142, 145, 148, 151, 154}) {
        canvas.draw(*pic(id), x, 290);
        x += 54;
    }
    canvas.draw(*pic(189), 330, 300);
    canvas.draw(*pic(105), 480, 300);
    canvas.draw(*pic(191), 540, 40);
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextColor(canvas.dc, RGB(255, 240, 180));
    HFONT font = CreateFontW(-18, 0, 0, 0, FW_BOLD, 0, 0, 0, GB2312_CHARSET, 0, 0, ANTIALIASED_QUALITY, 0, L"宋体");
    SelectObject(canvas.dc, font);
    const wchar_t* line = L"系统提示：游戏将在15秒内开始，祝你好运！";
    TextOutW(canvas.dc, 40, 380, line, static_cast<int>(wcslen(line)));
    DeleteObject(font);
    GdiFlush();

    WNDCLASSW wc{};
    wc.lpfnWndProc = shotProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MjShotWindow";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"麻将", WS_POPUP, 0, 0, W, H, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!window) GTEST_SKIP() << "no display for a window";
    ShowWindow(window, SW_SHOW);
    HDC wdc = GetDC(window);
    BitBlt(wdc, 0, 0, W, H, canvas.dc, 0, 0, SRCCOPY);
    GdiFlush();
    MSG msg;
    for (int i = 0; i < 20; ++i) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        BitBlt(wdc, 0, 0, W, H, canvas.dc, 0, 0, SRCCOPY);
        Sleep(10);
    }
    ReleaseDC(window, wdc);

    // Read back what the screen shows where the window stands.
    Dib shot(W, H);
    HDC screen = GetDC(nullptr);
    BitBlt(shot.dc, 0, 0, W, H, screen, 0, 0, SRCCOPY);
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
    GdiFlush();
#ifdef MJ_SHOT_DIR
    shot.saveBmp(std::string(MJ_SHOT_DIR) + "/chinese_text_window.bmp");
#endif
    int same = 0;
    for (int i = 0; i < W * H; ++i) same += (shot.bits[i] & 0xFFFFFF) == (canvas.bits[i] & 0xFFFFFF);
    EXPECT_GT(same, W * H * 9 / 10) << "the screen does not show the window";
}

}  // namespace
}  // namespace mj::platform::win32
