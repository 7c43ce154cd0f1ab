// video_display.cpp: the own camera and the seats' pictures on the table.
#include "video/video_display.h"

#include "link/client.h"
#include "shell/shell_windows.h"
#include "video/video_controls.h"

namespace mj::video {

void startOwnCamera(link::Client& c) {
    VideoState& s = c.video;
    if (!s.videoEnabled || s.videoBusy[GuardCamera]) return;
    s.videoBusy[GuardCamera] = true;
    hide(c, "PicLocal", 0);
    hide(c, "vcap1");
    if (s.ownVideoOn) return;

    int result = -1;
    // A camera that fails is a missing camera: the game goes on without it.
    c.ignoringErrors("camera start", [&] {
        if (!s.camera) return;
        s.camera->initCapture();
        ui::Control* face = find(c, "Tou", 0);
        ui::Control* cam = find(c, "vcap1");
        if (face && cam) {
            cam->move(face->left(), face->top(), face->width(), face->height() - 7 * c.link.scaleX);
            if (ui::Control* frame = find(c, "Proponeself")) {
                frame->move(cam->left() - 10, cam->top() - 10, cam->width() + 15, cam->height() + 35);
                frame->setEnabled(true);
                frame->bringToFront();
            }
        }
        s.camera->setOptions({true, true, 2, false});
        hide(c, "vcap1");
        result = s.camera->startCapture();
    });

    if (result == 0) {
        s.ownVideoOn = true;
        if (ui::Control* cam = find(c, "vcap1")) {
            if (ui::Control* tools = find(c, "PicLocal", 0)) tools->setTop(cam->top() + cam->height());
        }
        s.ownVideoWait = true;
        s.ownVideoTicks = 0;
    } else {
        s.ownVideoOn = false;
        hide(c, "vcap1");
        hide(c, "PicLocal", 0);
        putOnMessageStrip(c, NoCameraText);
    }
}

void showOwnVideo(link::Client& c, bool running, bool hidePicture) {
    c.ignoringErrors("own video", [&] {
        if (hidePicture) {
            show(c, "Tou", 0);
            toFront(c, "Tou", 0);
            hide(c, "vcap1");
            hide(c, "PicLocal", 0);
            hide(c, "Tiplbl");
            tellPlugin(c, true, 0);
        } else if (running) {
            // The user switched the own picture off (its icon is up): the
            // camera is stopped and its last picture is not shown again.
            if (shown(c, "ImgShow", 0)) return;
            show(c, "Tou", 0);
            tellPlugin(c, false, 0);
            show(c, "vcap1");
            show(c, "PicLocal", 0);
            toFront(c, "vcap1");
            // The last frame, so the picture does not wait for the next one.
            if (ui::Control* cam = find(c, "vcap1")) showFrame(*cam, c.video.lastFrame[0]);
        }
    });
}

void imgShowClick(link::Client& c, int index) {
    VideoState& s = c.video;
    if (index >= 1 && index <= 3) {
        s.videoClosed[at(index)] = false;
        tellPlugin(c, false, index);
        show(c, "ImgKuang", index);
        show(c, "PicLocal", index);
        show(c, "vshow", index);
        toFront(c, "vshow", index);
        if (s.timerVshow[at(index)]) s.timerVshow[at(index)]->setEnabled(true);
    } else if (index == 0 && s.ownVideoOn) {
        if (s.camera) (void)s.camera->startCapture();
        show(c, "vcap1");
        show(c, "PicLocal", 0);
        toFront(c, "vcap1");
        hide(c, "ImgShow", 0);
        toFront(c, "PicLocal", 0);
        if (ui::Control* face = find(c, "Tou", 0)) {
            face->setVisible(false);
            face->setEnabled(false);
        }
        tellPlugin(c, false, 0);
    }
}

void vshowTimer(link::Client& c, int view) {
    if (view < 1 || view > 3) return;
    if (c.video.timerVshow[at(view)]) c.video.timerVshow[at(view)]->setEnabled(false);
    if (!shown(c, "PicLocal", view)) return;
    if (ui::Control* v = find(c, "vshow", view)) showFrame(*v, c.video.lastFrame[at(view)]);
}

void vshowMouseMove(link::Client& c, int view, double x, double y) {
    if (view < 1 || view > 3) return;
    // The player card, when shown, stays the only thing over the seat.
    if (c.shell.windows && c.shell.windows->information.shown()) return;
    if (c.dispatch.player[at(view)].nickName.empty()) return;
    ui::Control* v = find(c, "vshow", view);
    if (!v || x <= 0 || x >= v->width() || y <= 0 || y >= v->height()) return;
    if (!c.props.loaded() || c.video.qvVideoShown) return;
    c.video.qvVideoShown = true;
    if (c.props.propDll->showQvVideo(view, true, 0)) c.video.qvVideoSeat = view + 1;
}

void proponeselfMouseMove(link::Client& c, double x, double y) {
    ui::Control* l = find(c, "Proponeself");
    if (!l || x <= 0 || x >= l->width() || y <= 0 || y >= l->height()) return;
    if (!c.props.loaded() || c.video.qvVideoShown) return;
    c.video.qvVideoShown = true;
    if (c.props.propDll->showQvVideo(0, true, 0)) c.video.qvVideoSeat = 1;
}

}  // namespace mj::video
