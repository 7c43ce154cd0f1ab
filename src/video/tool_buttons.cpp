// tool_buttons.cpp: the video tool buttons and the photos.
#include "video/tool_buttons.h"

#include <array>

#include "link/client.h"
#include "table/tiles.h"
#include "video/panels.h"
#include "video/video_controls.h"

namespace mj::video {
namespace {

constexpr std::array<int, 16> NormalPicture = {863, 851, 852, 853, 850, 851, 852, 858,
                                               850, 851, 852, 858, 850, 851, 852, 858};
constexpr std::array<int, 16> HoverPicture = {864, 855, 856, 857, 854, 855, 856, 859,
                                              854, 855, 856, 859, 854, 855, 856, 859};
constexpr const char* OwnTips[4] = {"像册", "放大", "拍照", "视频开关"};
// Names that are taken get a number; past this many we give up.
constexpr int MaxSameNamePhotos = 1000;

std::string photoFolder(link::Client& c) { return platform::joinPath(c.p.process.programFolder(), PhotoFolder); }

void openAlbum(link::Client& c) {
    const std::string folder = photoFolder(c);
    c.p.files.makeFolder(folder);
    c.p.process.openFolder(folder);
}

void ownVideoOff(link::Client& c) {
    VideoState& s = c.video;
    if (!s.ownVideoOn || !shown(c, "vcap1")) return;
    if (s.camera) s.camera->stopCapture();
    hide(c, "vcap1");
    hide(c, "PicLocal", 0);
    hide(c, "Tiplbl");
    show(c, "ImgShow", 0);
    show(c, "Tou", 0);
    toFront(c, "Tou", 0);
    toFront(c, "ImgShow", 0);
    show(c, "Tou", 0);
    toFront(c, "Tou", 0);
    if (c.props.loaded()) {
        hide(c, "Tou", 0);
        c.props.propDll->recState(2, true, 0);
    }
}

void viewVideoOff(link::Client& c, int v) {
    VideoState& s = c.video;
    if (s.videoClosed[at(v)]) return;
    s.videoClosed[at(v)] = true;
    hide(c, "PicLocal", v);
    if (shown(c, "vshow", v)) {
        hide(c, "vshow", v);
        hide(c, "ImgKuang", v);
        tellPlugin(c, true, v);
    } else {
        show(c, "vshow", v);
        hide(c, "ImgKuang", v);
    }
    hidePanel(c, v);
    show(c, "ImgShow", v);
}

}  // namespace

int toolPicture(int index, bool hover) {
    if (index < 0 || index > 15) return 0;
    return hover ? HoverPicture[at(index)] : NormalPicture[at(index)];
}

std::optional<std::string> takePhoto(link::Client& c, int view) {
    const Frame& frame = c.video.lastFrame[at(view)];
    if (frame.empty()) {
        c.log("photo: no frame of view " + std::to_string(view) + " yet");
        return std::nullopt;
    }
    // Frames are kept only when they are pictures; a photo checks again, as
    // it is what the player keeps.
    if (!framePicture(frame)) {
        c.log("photo: the last frame of view " + std::to_string(view) + " is not a picture");
        return std::nullopt;
    }
    const std::string folder = photoFolder(c);
    c.p.files.makeFolder(folder);
    const auto d = c.p.clock.today();
    const auto t = c.p.clock.timeOfDay();
    const std::string base = std::to_string(d.year) + std::to_string(d.month) + std::to_string(d.day) +
                             std::to_string(t.hour) + std::to_string(t.minute) + std::to_string(t.second);
    const std::string_view bytes(reinterpret_cast<const char*>(frame.data()), frame.size());
    // A taken name keeps its photo: the new one gets the next free number.
    for (int n = 1; n <= MaxSameNamePhotos; ++n) {
        std::string name = base;
        if (n > 1) {
            name += '_';
            name += std::to_string(n);
        }
        name += ".bmp";
        const std::string path = platform::joinPath(folder, name);
        if (c.p.files.createNew(path, bytes)) {
            c.log("photo: saved " + path);
            return path;
        }
    }
    c.log("photo: no free file name for " + base);
    return std::nullopt;
}

void imCmdClick(link::Client& c, int index) {
    if (index < 0 || index > 15) return;
    const int v = index / 4;
    switch (index % 4) {
    case 0:
        if (v == 0)
            openAlbum(c);
        else
            viewVideoOff(c, v);
        return;
    case 1:
        togglePanel(c, v);
        return;
    case 2:
        if (takePhoto(c, v)) putOnMessageStrip(c, PhotoSavedText);
        return;
    default:
        if (v == 0) ownVideoOff(c);
        return;
    }
}

void imCmdMouseMove(link::Client& c, int index) {
    if (index < 0 || index > 15) return;
    ui::Control* b = find(c, "ImCmd", index);
    if (!b) return;
    bool& hover = c.video.imCmdHover[at(index)];
    if (!hover) {
        hover = true;
        (void)table::loadPicture(c, toolPicture(index, true), *b);
    }
    if (index > 3) return;
    ui::Control* tip = find(c, "Tiplbl");
    ui::Control* strip = find(c, "PicLocal", 0);
    if (!tip || !strip) return;
    const double sx = c.link.scaleX;
    tip->setWidth((index == 3 ? 54 : 28) * sx);
    if (auto* box = dynamic_cast<ui::TextBox*>(tip))
        box->setText(OwnTips[index]);
    else
        tip->setCaption(OwnTips[index]);
    tip->setLeft(strip->left() + b->left() + b->width());
    tip->setTop(strip->top() + 10 * c.link.scaleY);
    tip->setVisible(true);
    tip->bringToFront();
}

void picLocalMouseMove(link::Client& c) {
    if (shown(c, "Tiplbl")) hide(c, "Tiplbl");
    for (int i = 0; i < 16; ++i) {
        bool& hover = c.video.imCmdHover[at(i)];
        if (!hover) continue;
        if (ui::Control* b = find(c, "ImCmd", i)) (void)table::loadPicture(c, toolPicture(i, false), *b);
        hover = false;
    }
}

}  // namespace mj::video
