// hall_window.cpp: the hall's connect, status and leave messages.
#include "link/hall_window.h"

#include "link/client.h"
#include "link/leave.h"
#include "link/proxy.h"

namespace mj::link {

namespace {

platform::WindowHandle findHall(Client& c) {
    if (c.link.hallCaption.empty()) return 0;
    return c.p.hall.findWindow(c.link.hallCaption);
}

// The leave both hall messages ask for: the leave message only while the
// socket is connected, then the reset. The hall window is neither restored
// nor is the hand's state cleared.
void leaveForHall(Client& c) {
    c.trapped("hall leave", [&] {
        if (c.p.socket.state() == platform::SocketState::Connected) {
            c.link.linkCheck = Task{};
            leaveTable(c);
        }
        resetSession(c);
    });
}

void connectForHall(Client& c) {
    c.trapped("hall connect", [&] {
        c.link.proxyHandshakeDone = true;
        c.link.reconnectMsg.reset();  // a fresh connect logs in
        switch (c.link.launch.connectMode) {
        case 0:
            c.resetRingBuffers();
            if (c.p.socket.state() != platform::SocketState::Closed) c.p.socket.close();
            c.p.socket.connect(c.link.launch.serverHost, static_cast<std::uint16_t>(c.link.launch.serverPort));
            c.timerBong->setEnabled(true);
            c.link.loginTask = Task{true, 0};
            // Only a connection under way makes a login pending; otherwise
            // every later leave request would be answered "logging in".
            c.link.loginSent = true;
            break;
        case 5:
            c.link.loginTask = Task{};
            connectViaProxy(c);  // marks the login pending once the proxy accepts
            break;
        default:
            c.log("hall connect: connection mode " + std::to_string(c.link.launch.connectMode) +
                  " makes no connection");
            break;
        }
        // The start button armed, with its start picture.
        c.table.anNiuState[2] = false;
        if (auto* start = c.mainForm.find("AnNiu", 2))
            (void)loadPictureFromResource(c.pictureLoader, c.link.pictures.anNiuPic[4], "GIF", *start);
        c.timeImg->setVisible(false);
        c.number->setVisible(false);
    });
}

}  // namespace

bool mainWindowProc(Client& c, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam, bool sent) {
    (void)wParam;
    (void)lParam;
    switch (msg) {
    case HallStatusQuery: {
        const auto hall = findHall(c);
        if (hall == 0) return true;
        c.p.hall.post(hall, c.link.inGame ? HallInGame : HallIdle, 0, 0);
        return true;
    }
    case HallLeaveRequest: {
        if (sent) return false;
        const auto hall = findHall(c);
        if (hall == 0) return true;
        // A proxy connect under way is a login under way, as a direct one is
        // from the moment it is asked for.
        if (c.link.loginSent || c.proxy.connecting) {
            c.p.hall.post(hall, HallLoggingIn, 0, 0);
            return true;
        }
        if (c.link.inGame) {
            c.p.hall.post(hall, HallInGame, 0, 0);
            return true;
        }
        leaveForHall(c);
        c.postToHall(HallIdle);
        return true;
    }
    case HallLeaveNow:
        leaveForHall(c);
        c.postToHall(HallIdle);
        return true;
    case HallConnect:
        // The system's end-of-session message has this number too and is
        // always sent; logging off must not reconnect the game.
        if (sent) return false;
        connectForHall(c);
        return true;
    default:
        return false;
    }
}

}  // namespace mj::link
