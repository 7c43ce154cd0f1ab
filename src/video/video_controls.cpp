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

void showFrame(link::Client& c, ui::Control& viewer, const Frame& frame) {
    // Nothing stored yet (or erased when the video stopped): nothing to paint.
    if (frame.empty()) return;
    auto picture = decodeBmp(frame);
    if (!picture) {
        c.log("video: a frame of " + std::to_string(frame.size()) + " bytes is not a picture; dropped");
        return;
    }
    viewer.setPicture(std::make_shared<const ui::Picture>(std::move(*picture)));
}

}  // namespace mj::video
