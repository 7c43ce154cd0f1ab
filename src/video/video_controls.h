// video_controls.h: small helpers the video code shares: the main window's
// video controls by name, the plug-in's video notices, the message strip.
#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "link/client.h"

namespace mj::video {

[[nodiscard]] inline ui::Control* find(link::Client& c, std::string_view name, int index = -1) {
    return c.mainForm.find(name, index);
}
inline void setShown(link::Client& c, std::string_view name, int index, bool on) {
    if (ui::Control* x = find(c, name, index)) x->setVisible(on);
}
inline void hide(link::Client& c, std::string_view name, int index = -1) { setShown(c, name, index, false); }
inline void show(link::Client& c, std::string_view name, int index = -1) { setShown(c, name, index, true); }
inline void toFront(link::Client& c, std::string_view name, int index = -1) {
    if (ui::Control* x = find(c, name, index)) x->bringToFront();
}
[[nodiscard]] inline bool shown(link::Client& c, std::string_view name, int index = -1) {
    ui::Control* x = find(c, name, index);
    return x && x->visible();
}

// Tells the props plug-in that a view's picture is hidden (true) or shown.
inline void tellPlugin(link::Client& c, bool hidden, int view) {
    if (c.props.loaded()) c.props.propDll->recState(2, hidden, view);
}

[[nodiscard]] inline std::size_t at(int i) { return static_cast<std::size_t>(i); }

// A text for the two-line message strip: the first free line, or the lower
// line after moving its text up.
void putOnMessageStrip(link::Client& c, const std::string& text);

using PicturePtr = std::shared_ptr<const ui::Picture>;

// The picture a frame holds; nothing for a frame that is empty or not a
// picture of ours.
[[nodiscard]] PicturePtr framePicture(const Frame& frame);

// Whether a new frame of the view is a picture, logged once per change
// between pictures and not with the number of frames dropped. The picture,
// or nothing when the frame is to be dropped.
[[nodiscard]] PicturePtr checkFrame(link::Client& c, int view, const Frame& frame);

// Paints a stored frame into a viewer; an empty one paints nothing.
void showFrame(ui::Control& viewer, const Frame& frame);
inline void showPicture(ui::Control& viewer, const PicturePtr& picture) {
    if (picture) viewer.setPicture(picture);
}

}  // namespace mj::video
