// video_link.cpp: the per-hand video cycle (login, peer slots, leave) and
// the frames: the own ones sent to the linked slots, the received ones
// routed to the view of the player who sent them.
#include "video/video_link.h"

#include <algorithm>
#include <string>

#include "link/client.h"
#include "video/panels.h"
#include "video/video_controls.h"

namespace mj::video {
namespace {

// Slots the loops look at: the socket's count, never more than the slots the
// counters are kept for.
int slotCount(const platform::VideoSocket& s) { return std::clamp(s.userCount(), 0, VideoSlotCount); }

bool validSlot(link::Client& c, int slot) {
    if (c.p2pSocket && slot >= 1 && slot <= slotCount(*c.p2pSocket)) return true;
    c.log("video: event for slot " + std::to_string(slot) + " dropped");
    return false;
}

void hideSeatControls(link::Client& c, int v) {
    for (const char* n : {"vshow", "PicLocal", "ImgKuang", "ImgShow"}) hide(c, n, v);
}

// Frames to a slot in a reduced link: the first three after the counter was
// cleared, then one in 21.
bool throttlePasses(int& counter) {
    if (counter < 3) {
        ++counter;
        return true;
    }
    if (counter >= 23) {
        counter = 3;
        return true;
    }
    ++counter;
    return false;
}

}  // namespace

void loginVideoServer(link::Client& c) {
    VideoState& s = c.video;
    if (s.videoBusy[GuardLogin]) return;
    s.videoBusy[GuardLogin] = true;
    s.videoBusy[GuardLeave] = false;
    c.ignoringErrors("video login", [&] {
        if (s.videoEnabled && c.p2pSocket) {
            c.p2pSocket->configure(c.link.launch.serverHost, VideoServerPort, VideoSlotCount);
            c.p2pSocket->login(c.table.custom[0].name);
        }
    });
    if (c.showOwnVideo) c.showOwnVideo(c, s.ownVideoOn, false);
}

void requestTableVideo(link::Client& c) {
    VideoState& s = c.video;
    if (s.videoBusy[GuardRequest]) return;
    s.videoBusy[GuardRequest] = true;
    s.videoBusy[GuardLeave] = false;
    if (!s.videoEnabled || !c.p2pSocket) return;
    c.ignoringErrors("video request", [&] {
        platform::VideoSocket& sock = *c.p2pSocket;
        const int n = slotCount(sock);
        std::array<bool, VideoSlotCount + 1> given{};
        for (int v = 1; v <= 3; ++v) {
            const std::string& name = c.table.custom[at(v)].name;
            // An empty name would match a free slot's empty user.
            if (name.empty()) continue;
            int slot = 0;
            for (int j = 1; j <= n && slot == 0; ++j) {
                if (given[at(j)]) continue;
                const std::string id = sock.userId(j);
                if (id == name || sock.userState(j) < platform::UserStateFree) slot = j;
            }
            if (slot == 0) {
                // No slot holds the player and none is free: the view's own
                // slot, unless another player holds it.
                const std::string id = v <= n ? sock.userId(v) : std::string{};
                if (v > n || given[at(v)] || (!id.empty() && id != name)) {
                    c.log("video: no slot for view " + std::to_string(v));
                    continue;
                }
                slot = v;
            }
            given[at(slot)] = true;
            if (sock.userState(slot) < platform::UserStateLinked) sock.connectUser(slot, name);
        }
    });
}

void leaveVideo(link::Client& c) {
    VideoState& s = c.video;
    if (s.videoBusy[GuardLeave]) return;
    s.videoBusy[GuardLeave] = true;
    s.videoBusy[GuardCamera] = s.videoBusy[GuardLogin] = s.videoBusy[GuardRequest] = false;
    c.ignoringErrors("video leave", [&] {
        if (s.videoEnabled) {
            for (int i = 1; i <= 3; ++i) {
                hideSeatControls(c, i);
                show(c, "Tou", i);
                toFront(c, "Tou", i);
                const std::string& name = c.table.custom[at(i)].name;
                if (!name.empty()) tellPlugin(c, true, i);
                if (c.p2pSocket && !name.empty()) {
                    for (int slot = 1; slot <= slotCount(*c.p2pSocket); ++slot) {
                        if (c.p2pSocket->userId(slot) == name) c.p2pSocket->disconnectUser(slot);
                    }
                }
                s.videoShown[at(i)] = false;
                s.videoClosed[at(i)] = false;
                hidePanel(c, i);
                s.lastFrame[at(i)].clear();
            }
        }
        if (s.ownVideoOn) {
            if (s.camera) s.camera->stopCapture();
            for (const char* n : {"vcap1", "Tiplbl"}) hide(c, n);
            hide(c, "PicLocal", 0);
            hide(c, "ImgShow", 0);
            show(c, "Tou", 0);
            toFront(c, "Tou", 0);
            tellPlugin(c, true, 0);
        }
        if (c.p2pSocket) c.p2pSocket->logout();
    });
    // The logout dropped every slot, so every slot's counter starts over.
    s.videoThrottle = {};
    s.p2pConfigured = false;
    s.ownVideoOn = false;
}

void leaveTableVideo(link::Client& c) {
    VideoState& s = c.video;
    c.ignoringErrors("video at leaving the table", [&] {
        if (s.ownVideoOn) {
            if (s.camera) s.camera->stopCapture();
            hide(c, "vcap1");
            hide(c, "PicLocal", 0);
            hide(c, "Tiplbl");
        }
        for (int i = 1; i <= 3; ++i) {
            s.videoThrottle[at(i)] = 0;
            s.videoClosed[at(i)] = false;
            s.videoShown[at(i)] = false;
            for (const char* n : {"PicLocal", "ImgShow", "ImgKuang", "vshow"}) hide(c, n, i);
            if (c.p2pSocket) c.p2pSocket->disconnectUser(i);
            unloadPanel(c, i);
            c.table.custom[at(i)].name.clear();
        }
        for (int i = 1; i <= 3; ++i) s.lastFrame[at(i)].clear();
        if (c.p2pSocket) c.p2pSocket->logout();
    });
}

namespace {

// Between the hand's login and its leave.
bool handWantsVideo(const VideoState& s) {
    return s.videoEnabled && s.videoBusy[GuardLogin] && !s.videoBusy[GuardLeave];
}

}  // namespace

// A login lost in the middle of a hand (the relay went away) would leave the
// seats without video until the next hand: the login is tried again after a
// pause, for as long as the hand lasts. The socket links its slots again
// itself once logged in.
void onMineStateChange(link::Client& c, int state) {
    VideoState& s = c.video;
    if (state != s.loginState) c.log("video: own login state " + std::to_string(state));
    s.loginState = state;
    if (!s.timerRelogin) return;
    s.timerRelogin->setEnabled(state == 0 && handWantsVideo(s));
}

void reloginTick(link::Client& c) {
    VideoState& s = c.video;
    if (s.timerRelogin) s.timerRelogin->setEnabled(false);
    if (s.loginState != 0 || !handWantsVideo(s) || !c.p2pSocket) return;
    c.p2pSocket->login(c.table.custom[0].name);
}

void onUserStateChange(link::Client& c, int slot, int state) {
    if (state != platform::UserStateFirstFrame && state != platform::UserStateFullRate) return;
    if (!validSlot(c, slot)) return;
    platform::VideoSocket& sock = *c.p2pSocket;
    const int format = c.video.camera ? c.video.camera->videoFormat() : 0;
    const int mode = c.video.camera ? c.video.camera->videoMode() : 0;
    sock.sendVideoFormat(slot, format);
    sock.sendVideoMode(slot, mode);
    // Without a running camera there is no frame to give.
    if (!c.video.lastFrame[0].empty()) sock.sendVideoData(slot, c.video.lastFrame[0]);
}

void onFrameCaptured(link::Client& c, Frame data) {
    VideoState& s = c.video;
    // A frame that is no picture is neither kept for a photo nor sent.
    const PicturePtr picture = checkFrame(c, 0, data);
    if (!picture) return;
    s.lastFrame[0] = std::move(data);
    const Frame& frame = s.lastFrame[0];
    if (c.p2pSocket) {
        platform::VideoSocket& sock = *c.p2pSocket;
        const int n = slotCount(sock);
        for (int slot = 1; slot <= n; ++slot) {
            const int st = sock.userState(slot);
            if (st < platform::UserStateLinked) continue;
            if (st == platform::UserStateFullRate || throttlePasses(s.videoThrottle[at(slot)]))
                sock.sendVideoData(slot, frame);
        }
    }
    // Our camera has no picture of its own: the own frame shows on it.
    if (ui::Control* cam = find(c, "vcap1"); cam && cam->visible()) showPicture(*cam, picture);
    paintIntoShownPanel(c, 0, picture);
}

void onDataArrival(link::Client& c, int slot, Frame data) {
    if (!validSlot(c, slot)) return;
    VideoState& s = c.video;
    platform::VideoSocket& sock = *c.p2pSocket;
    const std::string id = sock.userId(slot);
    int v = 0;
    for (int k = 1; k <= 3 && v == 0 && !id.empty(); ++k) {
        if (c.table.custom[at(k)].name == id) v = k;
    }
    if (v == 0) return;
    // Only pictures are kept: a photo of the view must be one.
    const PicturePtr picture = checkFrame(c, v, data);
    if (!picture) return;
    if (v != 1) s.lastFrame[at(v)] = data;
    if (sock.userState(slot) < platform::UserStateLinked || s.videoClosed[at(v)]) return;
    if (v == 1) s.lastFrame[1] = data;

    ui::Control* viewer = find(c, "vshow", v);
    if (viewer && !viewer->visible() && !s.videoShown[at(v)]) {
        // The first frame brings the view up; its timer paints it a moment later.
        tellPlugin(c, false, v);
        show(c, "ImgKuang", v);
        show(c, "PicLocal", v);
        if (s.timerVshow[at(v)]) s.timerVshow[at(v)]->setEnabled(true);
        viewer->setVisible(true);
        viewer->bringToFront();
        s.videoShown[at(v)] = true;
        c.log("video: view " + std::to_string(v) + " shown");
    } else if (viewer) {
        showPicture(*viewer, picture);
    }
    paintIntoShownPanel(c, v, picture);
}

}  // namespace mj::video
