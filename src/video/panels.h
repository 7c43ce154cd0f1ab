// panels.h: the four floating video panels: frm_Local (own camera, 0) and
// frm_Remote1..3 (the seats), their three sizes, the drag, and the zoom
// timer that paints a seat's stored frame into its panel.
#pragma once
#include <memory>

#include "video/video_state.h"

namespace mj::link {
class Client;
}

namespace mj::video {

// The panel of view 0..3, made and set up at its normal size when it is
// absent (hidden; only the zoom button shows it).
ui::Form& panel(link::Client& c, int view);
[[nodiscard]] bool panelShown(link::Client& c, int view);
// Hides a shown panel; it keeps its size and place.
void hidePanel(link::Client& c, int view);
// Hides and unloads: the next use sets it up from its design again.
void unloadPanel(link::Client& c, int view);
// The zoom button: closes a shown panel, else opens it beside the table.
void togglePanel(link::Client& c, int view);
// The panel's buttons: 0 close, 1 enlarge, 2 shrink.
void panelButton(link::Client& c, int view, int button);
// A new frame's picture, into the view's panel when the panel is shown.
void paintIntoShownPanel(link::Client& c, int view, const std::shared_ptr<const ui::Picture>& picture);
// The zoom timer's tick.
void zoomTick(link::Client& c);

}  // namespace mj::video
