// video_install.cpp: the table video in the client.
#include "video/video_install.h"

#include <string>

#include "link/client.h"
#include "table/tiles.h"
#include "video/panels.h"
#include "video/tool_buttons.h"
#include "video/video_controls.h"
#include "video/video_display.h"
#include "video/video_link.h"

namespace mj::video {
namespace {

constexpr platform::Millis VshowDelay{30};
constexpr platform::Millis ZoomDelay{100};

// The components' events enter here. A fault in handling one is contained:
// logged, the frame dropped, the game goes on.
class SocketBridge : public platform::VideoSocketEvents {
public:
    explicit SocketBridge(link::Client& c) : c_(c) {}
    void onMineStateChange(int state) override {
        c_.ignoringErrors("video login state", [&] { video::onMineStateChange(c_, state); });
    }
    void onUserStateChange(int slot, int state) override {
        c_.ignoringErrors("video slot state", [&] { video::onUserStateChange(c_, slot, state); });
    }
    void onDataArrival(int slot, std::vector<std::uint8_t> data) override {
        c_.ignoringErrors("video frame", [&] { video::onDataArrival(c_, slot, std::move(data)); });
    }

private:
    link::Client& c_;
};

class CameraBridge : public platform::CameraEvents {
public:
    explicit CameraBridge(link::Client& c) : c_(c) {}
    void onFrameCaptured(std::vector<std::uint8_t> frame) override {
        c_.ignoringErrors("own frame", [&] { video::onFrameCaptured(c_, std::move(frame)); });
    }

private:
    link::Client& c_;
};

void hookControls(link::Client& c) {
    ui::PictureBox& table = *c.pic1;
    // The tooltip of the own tool buttons.
    if (!table.find("Tiplbl")) {
        auto& tip = table.add<ui::Label>("Tiplbl", -1);
        tip.setVisible(false);
        tip.setFontSize(9);
        tip.setBackColor({0xff, 0xff, 0xe1});
        tip.setHeight(16);
    }
    for (int i = 0; i < 4; ++i) {
        if (ui::Control* icon = find(c, "ImgShow", i)) {
            icon->setMousePointer(ui::PointerCustom);
            icon->onClick = [&c, i] { c.ignoringErrors("video icon", [&] { imgShowClick(c, i); }); };
        }
        if (ui::Control* strip = find(c, "PicLocal", i)) {
            strip->onMouseMove = [&c](const ui::MouseEvent&) { picLocalMouseMove(c); };
        }
    }
    for (int v = 1; v <= 3; ++v) {
        if (ui::Control* viewer = find(c, "vshow", v)) {
            viewer->onMouseMove = [&c, v](const ui::MouseEvent& e) {
                c.ignoringErrors("video hover", [&] { vshowMouseMove(c, v, e.x, e.y); });
            };
        }
    }
    if (ui::Control* frame = find(c, "Proponeself")) {
        frame->onMouseMove = [&c](const ui::MouseEvent& e) {
            c.ignoringErrors("own video hover", [&] { proponeselfMouseMove(c, e.x, e.y); });
        };
    }
    for (int i = 0; i < 16; ++i) {
        ui::Control* b = find(c, "ImCmd", i);
        if (!b) continue;
        // Every button has the hand pointer and its normal picture.
        b->setMousePointer(ui::PointerCustom);
        (void)table::loadPicture(c, toolPicture(i, false), *b);
        b->onClick = [&c, i] { c.ignoringErrors("video tool button", [&] { imCmdClick(c, i); }); };
        b->onMouseMove = [&c, i](const ui::MouseEvent&) { imCmdMouseMove(c, i); };
    }
}

}  // namespace

void connectComponents(link::Client& c) {
    if (c.p2pSocket) c.p2pSocket->setEvents(c.video.socketEvents.get());
    if (c.video.camera) {
        c.video.camera->setEvents(c.video.cameraEvents.get());
        c.video.camera->setLabel(c.table.custom[0].name);
    }
}

void installVideo(link::Client& c) {
    c.startOwnCamera = &startOwnCamera;
    c.showOwnVideo = &showOwnVideo;
    c.loginVideoServer = &loginVideoServer;
    c.requestTableVideo = &requestTableVideo;
    c.leaveVideo = &leaveVideo;
    c.leaveTableVideo = &leaveTableVideo;
    c.closeRemotePanel = [](link::Client& cl, int view) {
        if (view >= 1 && view <= 3) unloadPanel(cl, view);
    };
    c.hideRemotePanel = [](link::Client& cl, int view) {
        if (view >= 1 && view <= 3) hidePanel(cl, view);
    };
    c.connectVideoComponents = &connectComponents;
    c.video.socketEvents = std::make_unique<SocketBridge>(c);
    c.video.cameraEvents = std::make_unique<CameraBridge>(c);
    for (int v = 1; v <= 3; ++v) {
        c.video.timerVshow[at(v)] = c.p.clock.createTimer(
            VshowDelay, [&c, v] { c.ignoringErrors("video re-paint", [&] { vshowTimer(c, v); }); });
    }
    c.video.timerRelogin =
        c.p.clock.createTimer(ReloginDelay, [&c] { c.ignoringErrors("video login again", [&] { reloginTick(c); }); });
    c.video.timerZoom =
        c.p.clock.createTimer(ZoomDelay, [&c] { c.ignoringErrors("video panel paint", [&] { zoomTick(c); }); });
    hookControls(c);
}

}  // namespace mj::video
