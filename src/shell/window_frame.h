// window_frame.h: the main window's own frame on a screen larger than the
// table: the skin around the table, the title band with the title, the drag
// area and the minimise and close buttons.
#pragma once
#include <string>
#include <string_view>

#include "platform/controls.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

// The title when the launch line gives none.
inline constexpr std::string_view DefaultTitle = "四人麻将";

// A piece of a picture, in its pixels; empty when the rectangle leaves it.
[[nodiscard]] ui::PictureRef cropPicture(const ui::Picture& from, int x, int y, int w, int h);

// Makes the frame's controls (behind the table picture).
void buildFrameControls(link::Client& c);
// Paints the frame for the window's size and places the title band's controls.
void drawFormSkin(link::Client& c);

// The caption buttons: close is the toolbar's exit, minimise its minimise.
void captionButtonDown(link::Client& c, bool close);
void captionButtonUp(link::Client& c, bool close);
void captionButtonMove(link::Client& c, bool close);
// The pointer over the drag area or the window's background: both buttons normal.
void captionButtonsToNormal(link::Client& c);
// The left button on the drag area: the side windows go and the window follows the mouse.
void dragAreaDown(link::Client& c, int button);

// Whether `name` exists in `folder`, whatever its letter case; false on any error.
[[nodiscard]] bool isFileExist(link::Client& c, const std::string& folder, const std::string& name);

void installWindowFrame(link::Client& c);

}  // namespace mj::shell
