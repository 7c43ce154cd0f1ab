// The Win32 platform under Wine: GBK, INI profile files, files, timers and the
// pump, the game socket on loopback, the hall lookup, and painting forms.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/win32/win32_forms.h"
#include "platform/win32/win32_platform.h"

namespace mj::platform::win32 {
namespace {

std::string tempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    return narrow(buf);
}

TEST(Win32Codec, GbkRoundTripAndReplacement) {
    Win32Codec codec;
    const std::string han = "本游戏需从游戏大厅中启动！";
    const std::string gbk = codec.toGbk(han);
    EXPECT_EQ(gbk.size(), 26u);
    EXPECT_EQ(static_cast<unsigned char>(gbk[0]), 0xB1);  // 本 is B1 BE in GBK
    EXPECT_EQ(static_cast<unsigned char>(gbk[1]), 0xBE);
    EXPECT_EQ(codec.fromGbk(gbk), han);
    bool lossless = true;
    EXPECT_EQ(codec.toGbk("a\xF0\x9F\x98\x80"
                          "b",
                          &lossless),
              "a?b");
    EXPECT_FALSE(lossless);
}

TEST(Win32Ini, ProfileFunctionsKeepGbkValues) {
    Win32Codec codec;
    Win32Ini ini(codec);
    Win32Files files;
    const std::string path = tempFolder() + "mj_ini_test.ini";
    files.remove(path);
    EXPECT_EQ(ini.get(path, "Phrase1", "1"), "");
    ini.write(path, "Phrase1", "1", "快点吧，我等到花儿都谢了");
    ini.write(path, "vidiosetting", "vidiovalue", "1");
    EXPECT_EQ(ini.get(path, "Phrase1", "1"), "快点吧，我等到花儿都谢了");
    // The file itself holds GBK, which other tools of the hall read.
    const auto raw = files.readAll(path);
    ASSERT_TRUE(raw);
    EXPECT_NE(raw->find(codec.toGbk("快点吧")), std::string::npos);
    ini.deleteKey(path, "Phrase1", "1");
    EXPECT_EQ(ini.get(path, "Phrase1", "1"), "");
    ini.deleteSection(path, "vidiosetting");
    EXPECT_EQ(ini.get(path, "vidiosetting", "vidiovalue"), "");
    files.remove(path);
}

TEST(Win32Files, WriteReadRemove) {
    Win32Files files;
    const std::string path = tempFolder() + "mj_files_test.bin";
    const std::string bytes("a\0b\xFF", 4);
    ASSERT_TRUE(files.writeAll(path, bytes));
    EXPECT_TRUE(files.exists(path));
    EXPECT_EQ(files.readAll(path), bytes);
    EXPECT_TRUE(files.remove(path));
    EXPECT_FALSE(files.exists(path));
    EXPECT_FALSE(files.readAll(path));
}

TEST(Win32Clock, TimersFireWhilePumpingButNeverNested) {
    Win32Clock clock;
    int ticks = 0;
    int depth = 0, maxDepth = 0;
    std::unique_ptr<Timer> timer;
    timer = clock.createTimer(Millis(10), [&] {
        ++ticks;
        maxDepth = std::max(maxDepth, ++depth);
        // A handler that pumps, as the pumping waits do.
        const auto until = clock.monotonic() + Millis(40);
        while (clock.monotonic() < until) clock.pumpEvents(Millis(5));
        --depth;
    });
    timer->setEnabled(true);
    const auto until = clock.monotonic() + Millis(300);
    while (clock.monotonic() < until) clock.pumpEvents(Millis(10));
    timer.reset();
    EXPECT_GE(ticks, 3);
    EXPECT_EQ(maxDepth, 1);
}

TEST(Win32Socket, ConnectsSendsReceivesAndSeesThePeerClose) {
    WSADATA wd;
    WSAStartup(MAKEWORD(2, 2), &wd);
    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    int len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    listen(listener, 1);
    const int port = ntohs(addr.sin_port);

    // The peer echoes one 272-byte message in two pieces, then closes.
    std::thread peer([listener] {
        SOCKET c = accept(listener, nullptr, nullptr);
        char buf[272];
        int got = 0;
        while (got < 272) {
            const int n = recv(c, buf + got, 272 - got, 0);
            if (n <= 0) break;
            got += n;
        }
        send(c, buf, 100, 0);
        Sleep(50);
        send(c, buf + 100, 172, 0);
        Sleep(50);
        closesocket(c);
    });

    struct Events : SocketEvents {
        bool connected = false, closed = false;
        std::vector<std::uint8_t> data;
        void onConnected() override { connected = true; }
        void onData(std::span<const std::uint8_t> b) override { data.insert(data.end(), b.begin(), b.end()); }
        void onClosed(int) override { closed = true; }
    } events;
    Win32Clock clock;
    Win32Socket sock;
    sock.setEvents(&events);
    sock.connect("127.0.0.1", static_cast<std::uint16_t>(port));
    for (int i = 0; i < 200 && !events.connected; ++i) clock.pumpEvents(Millis(10));
    ASSERT_TRUE(events.connected);
    EXPECT_EQ(sock.state(), SocketState::Connected);
    std::vector<std::uint8_t> msg(272);
    for (int i = 0; i < 272; ++i) msg[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    ASSERT_TRUE(sock.send(msg));
    for (int i = 0; i < 300 && !events.closed; ++i) clock.pumpEvents(Millis(10));
    peer.join();
    closesocket(listener);
    EXPECT_TRUE(events.closed);
    EXPECT_EQ(events.data, msg);
    sock.close();
    EXPECT_EQ(sock.state(), SocketState::Closed);
}

TEST(Win32Socket, RefusedConnectArrivesAsClose) {
    struct Events : SocketEvents {
        int closedWith = -1;
        void onConnected() override {}
        void onData(std::span<const std::uint8_t>) override {}
        void onClosed(int e) override { closedWith = e; }
    } events;
    Win32Clock clock;
    Win32Socket sock;
    sock.setEvents(&events);
    sock.connect("127.0.0.1", 1);  // nothing listens on port 1
    for (int i = 0; i < 300 && events.closedWith < 0; ++i) clock.pumpEvents(Millis(10));
    EXPECT_GT(events.closedWith, 0);
    EXPECT_NE(sock.state(), SocketState::Connected);
    EXPECT_FALSE(sock.send(std::vector<std::uint8_t>(272)));
}

TEST(Win32Hall, FindsAWindowByItsChineseTitle) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MjTestHall";
    RegisterClassW(&wc);
    HWND h = CreateWindowExW(0, L"MjTestHall", widen("曲维山庄").c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                             nullptr, wc.hInstance, nullptr);
    Win32Hall hall;
    EXPECT_EQ(hall.findWindow("曲维山庄"), reinterpret_cast<WindowHandle>(h));
    EXPECT_EQ(hall.findWindow("别的大厅"), 0u);
    // An untitled window is never the hall, though the system has many.
    HWND untitled = CreateWindowExW(0, L"MjTestHall", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                    wc.hInstance, nullptr);
    ASSERT_NE(untitled, nullptr);
    ASSERT_NE(FindWindowW(nullptr, L""), nullptr) << "the system finds an untitled window by a blank title";
    EXPECT_EQ(hall.findWindow(""), 0u);
    DestroyWindow(untitled);
    EXPECT_TRUE(hall.post(reinterpret_cast<WindowHandle>(h), WM_USER + 22, 0, 0));
    MSG m;
    ASSERT_TRUE(PeekMessageW(&m, h, WM_USER + 22, WM_USER + 22, PM_REMOVE));
    DestroyWindow(h);
}

TEST(FormHost, PaintsPicturesWithTransparencyInStackingOrder) {
    ui::Form form("F");
    form.setBackColor({0, 0, 0});
    auto& box = form.add<ui::PictureBox>("Pic1", -1);
    box.move(0, 0, 40 * 15, 30 * 15);
    box.setBackColor({0, 0, 255});
    auto pic = std::make_shared<ui::Picture>();
    pic->width = 2;
    pic->height = 1;
    pic->pixels = {0xFFFF0000u, 0x00000000u};  // red, transparent
    auto& back = box.add<ui::Image>("A", -1);
    back.setStretch(true);
    back.move(0, 0, 20, 10);
    back.setPicture(pic);
    auto& front = box.add<ui::Image>("B", -1);
    front.setStretch(true);
    front.move(5, 0, 20, 10);
    auto green = std::make_shared<ui::Picture>(ui::Picture{1, 1, {0xFF00FF00u}, 0});
    front.setPicture(green);
    std::vector<std::uint32_t> px(40 * 30);
    FormHost::render(form, 40, 30, px.data());
    auto at = [&](int x, int y) { return px[static_cast<std::size_t>(y * 40 + x)] & 0xFFFFFF; };
    EXPECT_EQ(at(2, 2), 0xFF0000u);    // the back image
    EXPECT_EQ(at(7, 2), 0x00FF00u);    // the front image covers it
    EXPECT_EQ(at(30, 20), 0x0000FFu);  // the picture box behind
    front.sendToBack();
    FormHost::render(form, 40, 30, px.data());
    EXPECT_EQ(at(7, 2), 0xFF0000u);
    // The transparent right half of the red picture shows what lies behind.
    EXPECT_EQ(at(12, 2), 0x00FF00u);
    back.setVisible(false);
    front.setVisible(false);
    FormHost::render(form, 40, 30, px.data());
    EXPECT_EQ(at(2, 2), 0x0000FFu);
}

}  // namespace
}  // namespace mj::platform::win32

namespace mj::platform::win32 {
namespace {

// Labels sized for their font's em (14 pixels for 10.5 points) are shorter
// than the stand-in font's cell: their text must lose nothing at the bottom,
// descenders included, and stay about the size of the same text in a tall
// label.
TEST(FormHost, ShortLabelsKeepTheBottomsOfTheirGlyphs) {
    ui::Form form("F");
    form.setBackColor({0, 0, 0});
    auto& box = form.add<ui::PictureBox>("Pic1", -1);
    box.move(0, 0, 200 * 15, 80 * 15);
    box.setBackColor({0, 0, 0});
    const char* text = "zhang 点击查看明细";
    auto& tall = box.add<ui::Label>("Tall", -1);
    tall.move(0, 0, 200, 40);
    auto& shortOne = box.add<ui::Label>("Short", -1);
    shortOne.move(0, 50, 200, 14);
    for (ui::Label* l : {&tall, &shortOne}) {
        l->setFont({"宋体", 10.5, true});
        l->setForeColor({255, 255, 255});
        l->setTransparentBack(true);
        l->setCaption(text);
    }
    std::vector<std::uint32_t> px(200 * 80);
    FormHost::render(form, 200, 80, px.data());
    auto ink = [&](int top, int bottom) {
        long sum = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 200; ++x) sum += px[static_cast<std::size_t>(y * 200 + x)] & 0xFF;
        return sum;
    };
    const long whole = ink(0, 40);
    ASSERT_GT(whole, 0);
    // Cut text ends in a full row of strokes at the label's bottom; whole
    // text ends in the tips of descenders there.
    long fullest = 0;
    for (int y = 50; y < 64; ++y) fullest = std::max(fullest, ink(y, y + 1));
    EXPECT_LE(ink(63, 64), fullest / 10) << "the short label cuts its text at the bottom";
    EXPECT_GE(ink(50, 64), whole * 6 / 10) << "the short label's text is too small to read";
    EXPECT_EQ(ink(64, 80), 0) << "nothing is drawn below the label";
}

TEST(FormHost, ClicksReachTheFrontControlAndHandlerErrorsStayInside) {
    ui::Form form("F");
    form.move(0, 0, 100 * 15, 80 * 15);
    auto& box = form.add<ui::PictureBox>("Pic1", -1);
    box.move(0, 0, 100 * 15, 80 * 15);
    auto& under = box.add<ui::Image>("Under", -1);
    under.setStretch(true);
    under.move(10, 10, 30, 30);
    auto& over = box.add<ui::Image>("Over", -1);
    over.setStretch(true);
    over.move(20, 20, 30, 30);
    int underClicks = 0;
    std::vector<ui::MouseEvent> downs;
    under.onClick = [&] { ++underClicks; };
    over.onMouseDown = [&](const ui::MouseEvent& e) { downs.push_back(e); };
    over.onClick = [] { throw std::runtime_error("handler failed"); };
    FormHost host;
    std::string caught;
    host.onHandlerError = [&](const std::exception_ptr& e) {
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& ex) {
            caught = ex.what();
        }
    };
    form.setVisible(true);
    host.attach(form);
    HWND h = host.windowOf(form);
    ASSERT_NE(h, nullptr);
    auto click = [h](int x, int y) {
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    click(25, 25);  // both images lie here; the front one gets it
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0].x, 5);
    EXPECT_EQ(downs[0].y, 5);
    EXPECT_EQ(caught, "handler failed");
    EXPECT_EQ(underClicks, 0);
    click(12, 12);
    EXPECT_EQ(underClicks, 1);
    over.isHit = [](double, double) { return false; };
    click(25, 25);  // a control that shows nothing lets the click through
    EXPECT_EQ(underClicks, 2);
    over.isHit = nullptr;
    over.setEnabled(false);
    click(25, 25);  // a disabled control swallows the click
    EXPECT_EQ(underClicks, 2);
    host.detach(form);
}

TEST(FormHost, PressesOnTheFormItselfAndOnItsListsCountInTwips) {
    ui::Form form("F");
    form.move(0, 0, 100 * 15, 80 * 15);
    auto& list = form.add<ui::ListBox>("L", -1);
    list.move(10 * 15, 10 * 15, 50 * 15, 40 * 15);
    auto& off = form.add<ui::Image>("Off", -1);
    off.move(70 * 15, 10 * 15, 20 * 15, 20 * 15);
    off.setEnabled(false);
    std::vector<ui::MouseEvent> formDowns, listDowns;
    form.onMouseDown = [&](const ui::MouseEvent& e) { formDowns.push_back(e); };
    list.onMouseDown = [&](const ui::MouseEvent& e) { listDowns.push_back(e); };
    FormHost host;
    form.setVisible(true);
    host.attach(form);
    HWND h = host.windowOf(form);
    ASSERT_NE(h, nullptr);
    auto press = [h](int x, int y) {
        SendMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    };
    press(40, 70);  // below the list: the form's own surface
    ASSERT_EQ(formDowns.size(), 1u);
    EXPECT_EQ(formDowns[0].x, 40 * 15);
    EXPECT_EQ(formDowns[0].y, 70 * 15);
    press(20, 30);  // in the list, 20 pixels below its top: in the form's units
    ASSERT_EQ(listDowns.size(), 1u);
    EXPECT_EQ(listDowns[0].x, 10 * 15);
    EXPECT_EQ(listDowns[0].y, 20 * 15);
    EXPECT_EQ(formDowns.size(), 1u);
    press(75, 15);  // a disabled control swallows the press; the form hears nothing
    EXPECT_EQ(formDowns.size(), 1u);
    host.detach(form);
}

}  // namespace
}  // namespace mj::platform::win32
