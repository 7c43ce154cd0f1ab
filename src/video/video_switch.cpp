// video_switch.cpp: the settings dialog's video switch.
#include "video/video_switch.h"

#include "link/client.h"
#include "link/ini_file.h"
#include "video/panels.h"
#include "video/video_controls.h"
#include "video/video_link.h"

namespace mj::video {
namespace {

constexpr const char* SettingsFile = "vidiosetting.ini";

void showFace(link::Client& c, int view) {
    show(c, "Tou", view);
    toFront(c, "Tou", view);
    if (c.props.loaded()) {
        hide(c, "Tou", view);
        c.props.propDll->recState(2, true, view);
    }
}

void turnOff(link::Client& c) {
    VideoState& s = c.video;
    if (s.ownVideoOn && shown(c, "vcap1")) {
        if (s.camera) s.camera->stopCapture();
        hide(c, "vcap1");
        hide(c, "PicLocal", 0);
        hide(c, "Tiplbl");
        showFace(c, 0);
    }
    for (int v = 1; v <= 3; ++v) {
        if (!shown(c, "vshow", v)) continue;
        for (const char* n : {"vshow", "ImgKuang", "PicLocal"}) hide(c, n, v);
        showFace(c, v);
    }
    for (int v = 0; v <= 3; ++v) hidePanel(c, v);
    if (c.p2pSocket) c.p2pSocket->logout();
    s.p2pConfigured = false;
}

void turnOn(link::Client& c) {
    VideoState& s = c.video;
    const std::string& own = c.table.custom[0].name;
    if (!own.empty() && !s.p2pConfigured && c.p2pSocket) {
        s.p2pConfigured = true;
        c.p2pSocket->configure(c.link.launch.serverHost, VideoServerPort, VideoSlotCount);
        c.p2pSocket->login(own);
    }
    if (s.ownVideoOn) {
        if (s.camera) (void)s.camera->startCapture();
        show(c, "vcap1");
        show(c, "PicLocal", 0);
        hide(c, "ImgShow", 0);
        if (ui::Control* face = find(c, "Tou", 0)) {
            face->setVisible(false);
            face->setEnabled(false);
        }
        tellPlugin(c, false, 0);
    }
    for (int v = 1; v <= 3; ++v) {
        if (!shown(c, "ImgShow", v)) continue;
        for (const char* n : {"vshow", "ImgKuang", "PicLocal"}) show(c, n, v);
        hide(c, "ImgShow", v);
        hide(c, "Tou", v);
        tellPlugin(c, false, v);
    }
}

}  // namespace

SwitchResult flipVideoSwitch(link::Client& c) {
    link::IniFile ini(c.p.ini);
    ini.setIniFileName(platform::joinPath(c.p.process.programFolder(), SettingsFile));
    if (!c.p.files.exists(ini.iniFileName())) {
        ini.writeIniKey("vidiosetting", "vidiovalue", "1");
        return SwitchResult::FileCreated;
    }
    SwitchResult result = SwitchResult::TurnedOn;
    c.ignoringErrors("video switch", [&] {
        if (c.video.videoEnabled) {
            ini.writeIniKey("vidiosetting", "vidiovalue", "0");
            c.video.videoEnabled = false;
            result = SwitchResult::TurnedOff;
            turnOff(c);
            c.log("video switch: off");
        } else {
            ini.writeIniKey("vidiosetting", "vidiovalue", "1");
            c.video.videoEnabled = true;
            turnOn(c);
            c.log("video switch: on");
        }
    });
    return result;
}

}  // namespace mj::video
