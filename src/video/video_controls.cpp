// video_controls.cpp: the message strip and painting a frame into a viewer.
#include "video/video_controls.h"

#include <memory>

#include "video/frame_bitmap.h"

namespace mj::video {

void putOnMessageStrip(link::Client& c, const std::string& text) {
    ui::ListBox* older = c.sysmsg[0];
    ui::ListBox* newer = c.sysmsg[1];
    if (!older || !newer) return;
    const bool olderEmpty = older->listCount() == 0;
    const bool newerEmpty = newer->listCount() == 0;
    if (olderEmpty && newerEmpty) {
        older->addItem(text);
    } else if (newerEmpty) {
        newer->addItem(text);
    } else {
        const std::string moved = newer->items().front();
        older->clear();
        older->addItem(moved);
        newer->clear();
        newer->addItem(text);
    }
}

PicturePtr framePicture(const Frame& frame) {
    if (frame.empty()) return nullptr;
    auto picture = decodeBmp(frame);
    if (!picture) return nullptr;
    return std::make_shared<const ui::Picture>(std::move(*picture));
}

PicturePtr checkFrame(link::Client& c, int view, const Frame& frame) {
    platform::RepeatLog& bad = c.video.badFrames[at(view)];
    PicturePtr picture = framePicture(frame);
    if (!picture) {
        if (bad.fault())
            c.log("video: a frame of " + std::to_string(frame.size()) + " bytes for view " + std::to_string(view) +
                  " is not a picture; such frames are dropped");
        return nullptr;
    }
    if (const std::size_t n = bad.sound())
        c.log("video: view " + std::to_string(view) + " sends pictures again; " + std::to_string(n) +
              " frames dropped");
    return picture;
}

void showFrame(ui::Control& viewer, const Frame& frame) { showPicture(viewer, framePicture(frame)); }

}  // namespace mj::video
