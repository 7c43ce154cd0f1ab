// video_components_test.cpp: our video components on Win32 under Wine: the
// test-card camera's frames, the photo files made only when new, and the
// video socket over a real loopback connection to a relay of the test's own.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/relay_video_socket.h"
#include "platform/win32/win32_camera.h"
#include "platform/win32/win32_platform.h"
#include "video/frame_bitmap.h"

namespace mj::platform::win32 {
namespace {

std::string tempFolder() {
    wchar_t buf[MAX_PATH];
    GetTempPathW(MAX_PATH, buf);
    return narrow(buf);
}

struct Frames : CameraEvents {
    void onFrameCaptured(std::vector<std::uint8_t> f) override { frames.push_back(std::move(f)); }
    std::vector<std::vector<std::uint8_t>> frames;
};

TEST(Win32TestCardCamera, SendsWholePicturesWhileCapturingOnly) {
    Win32Clock clock;
    Win32TestCardCamera cam;
    Frames got;
    cam.setEvents(&got);
    cam.setLabel("测试者");
    cam.setOptions({true, true, 2, false});
    ASSERT_EQ(cam.startCapture(), 0);
    for (int i = 0; i < 200 && got.frames.size() < 3; ++i) clock.pumpEvents(Millis(10));
    ASSERT_GE(got.frames.size(), 3u);
    const auto pic = video::decodeBmp(got.frames.front());
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->width, Win32TestCardCamera::Width);
    EXPECT_EQ(pic->height, Win32TestCardCamera::Height);
    EXPECT_NE(got.frames[0], got.frames[2]) << "the clock and the sweep move";
    EXPECT_EQ(cam.videoMode(), 2);

    cam.stopCapture();
    const auto before = got.frames.size();
    for (int i = 0; i < 30; ++i) clock.pumpEvents(Millis(10));
    EXPECT_EQ(got.frames.size(), before);
}

TEST(Win32TestCardCamera, ReportsNoCameraWhenToldSo) {
    SetEnvironmentVariableW(L"MJ_NO_CAMERA", L"1");
    Win32TestCardCamera cam;
    EXPECT_NE(cam.startCapture(), 0);
    SetEnvironmentVariableW(L"MJ_NO_CAMERA", nullptr);
    EXPECT_EQ(cam.startCapture(), 0);
    cam.stopCapture();
}

TEST(Win32Files, NewFilesNeverReplaceOldOnes) {
    Win32Files files;
    const std::string folder = tempFolder() + "mj_photo_test";
    ASSERT_TRUE(files.makeFolder(folder));
    EXPECT_TRUE(files.makeFolder(folder)) << "an existing folder is fine";
    const std::string path = folder + "\\1.bmp";
    files.remove(path);
    ASSERT_TRUE(files.createNew(path, "first and longer"));
    EXPECT_FALSE(files.createNew(path, "second"));
    EXPECT_EQ(files.readAll(path), "first and longer");
    files.remove(path);
    RemoveDirectoryW(widen(folder).c_str());
}

// A relay of the test's own: accepts one connection, answers the login and
// reports the link as up both ways, then sends one frame.
TEST(RelayVideoSocket, LogsInLinksAndReceivesOverLoopback) {
    Win32Clock clock;
    WSADATA wd;
    WSAStartup(MAKEWORD(2, 2), &wd);
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    int len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    listen(listener, 1);
    const int port = ntohs(a.sin_port);

    struct Events : VideoSocketEvents {
        void onMineStateChange(int s) override { mine = s; }
        void onUserStateChange(int slot, int s) override { states.push_back(slot * 100 + s); }
        void onDataArrival(int slot, std::vector<std::uint8_t> d) override {
            frameSlot = slot;
            frame = std::move(d);
        }
        int mine = 0;
        std::vector<int> states;
        int frameSlot = 0;
        std::vector<std::uint8_t> frame;
    } events;
    RelayVideoSocket video(std::make_unique<Win32Socket>());
    video.setEvents(&events);
    video.configure("127.0.0.1", port, 3);
    video.login("zhang");
    video.connectUser(2, "li");

    SOCKET peer = INVALID_SOCKET;
    for (int i = 0; i < 200 && peer == INVALID_SOCKET; ++i) {
        clock.pumpEvents(Millis(10));
        fd_set r;
        FD_ZERO(&r);
        FD_SET(listener, &r);
        timeval tv{0, 0};
        if (select(0, &r, nullptr, nullptr, &tv) > 0) peer = accept(listener, nullptr, nullptr);
    }
    ASSERT_NE(peer, INVALID_SOCKET);
    // What the client sent: its login and the link, in order.
    relay::PacketReader reader;
    std::vector<relay::Packet> got;
    for (int i = 0; i < 200 && got.size() < 2; ++i) {
        clock.pumpEvents(Millis(10));
        u_long avail = 0;
        ioctlsocket(peer, FIONREAD, &avail);
        if (avail == 0) continue;
        std::vector<std::uint8_t> buf(avail);
        const int n = recv(peer, reinterpret_cast<char*>(buf.data()), static_cast<int>(avail), 0);
        reader.feed({buf.data(), static_cast<std::size_t>(n)});
        while (auto p = reader.next()) got.push_back(*p);
    }
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].kind, relay::Login);
    EXPECT_EQ(got[1].kind, relay::Link);

    auto out = relay::encode(relay::LoggedIn);
    const std::uint8_t state[2] = {2, 15};
    const auto s = relay::encode(relay::SlotState, state);
    out.insert(out.end(), s.begin(), s.end());
    const std::vector<std::uint8_t> body{2, relay::Frame, 'B', 'M'};
    const auto f = relay::encode(relay::Data, body);
    out.insert(out.end(), f.begin(), f.end());
    send(peer, reinterpret_cast<const char*>(out.data()), static_cast<int>(out.size()), 0);
    for (int i = 0; i < 200 && events.frame.empty(); ++i) clock.pumpEvents(Millis(10));
    EXPECT_EQ(events.mine, 2);
    EXPECT_EQ(events.states, std::vector<int>{215});
    EXPECT_EQ(events.frameSlot, 2);
    EXPECT_EQ(events.frame, (std::vector<std::uint8_t>{'B', 'M'}));
    closesocket(peer);
    closesocket(listener);
}

// A peer that has sent a lot at once: one read event hands over a bounded
// part, and a message posted during the first part runs before most of it.
TEST(Win32Socket, OneReadEventTakesABoundedPartOfWhatArrived) {
    Win32Clock clock;
    WSADATA wd;
    WSAStartup(MAKEWORD(2, 2), &wd);
    SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    int len = sizeof a;
    getsockname(listener, reinterpret_cast<sockaddr*>(&a), &len);
    listen(listener, 1);

    struct Marker {
        static LRESULT CALLBACK proc(HWND h, UINT m, WPARAM w, LPARAM l) {
            if (m == WM_APP + 7) {
                reinterpret_cast<Marker*>(GetWindowLongPtrW(h, GWLP_USERDATA))->seen = true;
                return 0;
            }
            return DefWindowProcW(h, m, w, l);
        }
        bool seen = false;
    } marker;
    WNDCLASSW wc{};
    wc.lpfnWndProc = &Marker::proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"MjTestReadMarker";
    RegisterClassW(&wc);
    HWND markerWindow =
        CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(markerWindow, nullptr);
    SetWindowLongPtrW(markerWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&marker));

    struct Counter : SocketEvents {
        void onConnected() override { connected = true; }
        void onData(std::span<const std::uint8_t> b) override {
            if (!posted) posted = PostMessageW(window, WM_APP + 7, 0, 0) != 0;
            total += b.size();
            if (!marker->seen) beforeMarker += b.size();
        }
        void onClosed(int) override {}
        HWND window = nullptr;
        Marker* marker = nullptr;
        bool connected = false;
        bool posted = false;
        std::size_t total = 0;
        std::size_t beforeMarker = 0;
    } counter;
    counter.window = markerWindow;
    counter.marker = &marker;
    Win32Socket sock;
    sock.setEvents(&counter);
    sock.connect("127.0.0.1", ntohs(a.sin_port));
    SOCKET peer = INVALID_SOCKET;
    for (int i = 0; i < 200 && (peer == INVALID_SOCKET || !counter.connected); ++i) {
        clock.pumpEvents(Millis(10));
        fd_set r;
        FD_ZERO(&r);
        FD_SET(listener, &r);
        timeval tv{0, 0};
        if (peer == INVALID_SOCKET && select(0, &r, nullptr, nullptr, &tv) > 0)
            peer = accept(listener, nullptr, nullptr);
    }
    ASSERT_NE(peer, INVALID_SOCKET);
    ASSERT_TRUE(counter.connected);
    // As much as the system takes without a reader, before any read event.
    u_long nonBlocking = 1;
    ioctlsocket(peer, FIONBIO, &nonBlocking);
    std::vector<char> chunk(64 * 1024, 'v');
    std::size_t sent = 0;
    for (int i = 0; i < 256; ++i) {
        const int n = ::send(peer, chunk.data(), static_cast<int>(chunk.size()), 0);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
    }
    ASSERT_GT(sent, 4 * Win32Socket::MaxReadPerEvent) << "the test needs more than a few events' worth";
    for (int i = 0; i < 500 && counter.total < sent; ++i) clock.pumpEvents(Millis(10));
    EXPECT_EQ(counter.total, sent) << "the rest comes with later events";
    EXPECT_TRUE(marker.seen);
    // The first read re-arms the next event before the marker is posted, so
    // two events may run ahead of it; reading until the socket is empty
    // would take everything.
    EXPECT_LE(counter.beforeMarker, 2 * Win32Socket::MaxReadPerEvent);
    sock.close();
    closesocket(peer);
    closesocket(listener);
    DestroyWindow(markerWindow);
}

}  // namespace
}  // namespace mj::platform::win32
