// video_state.h: the table video: the switch, the per-hand guards, the
// seats' last frames, the own camera's delayed show, the floating panels and
// the timers that re-paint a stored frame.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/clock.h"
#include "platform/components.h"
#include "platform/controls.h"
#include "platform/repeat_log.h"

namespace mj::video {

using Frame = std::vector<std::uint8_t>;

// Sizes of a floating panel, in the order enlarge steps through them.
enum class PanelSize : int { Small = 0, Normal = 1, Big = 2 };

// One floating video panel. "Unloaded" keeps the window object but marks it
// absent; the next use sets it up again from its design state.
struct Panel {
    std::unique_ptr<ui::Form> form;
    bool loaded = false;
    PanelSize size = PanelSize::Normal;
    int skinOffset = 0;
};

// Guards of the per-hand cycle, VideoBusy(1..4).
enum Guard : int { GuardCamera = 1, GuardLogin = 2, GuardRequest = 3, GuardLeave = 4 };

struct VideoState {
    bool videoEnabled = false;
    bool p2pConfigured = false;
    bool ownVideoOn = false;
    bool ownVideoWait = false;
    int ownVideoTicks = 0;
    bool videoBusy[5] = {};
    // Per remote view 1..3: its video shown, closed by the user; per slot
    // 1..3 the frame-send counter.
    std::array<bool, 4> videoShown{};
    std::array<bool, 4> videoClosed{};
    std::array<int, 4> videoThrottle{};
    // The last frame per view: 0 the own camera, 1..3 from that seat. Only
    // frames that are pictures are kept, so a photo is always one.
    std::array<Frame, 4> lastFrame{};
    // Frames per view that were not pictures, logged per change.
    std::array<platform::RepeatLog, 4> badFrames{};
    // The plug-in's popup over a seat's video and its seat as view + 1 (0
    // none): opened by the hover over a picture, closed when the pointer
    // moves over the table.
    bool qvVideoShown = false;
    int qvVideoSeat = 0;

    // The tool buttons that show their hover picture.
    std::array<bool, 16> imCmdHover{};

    // The floating panels, 0 own camera, 1..3 the seats; the panel the zoom
    // timer paints next.
    std::array<Panel, 4> panels{};
    int zoomPanel = 0;

    std::unique_ptr<platform::Camera> camera;
    // The bridges from the components' events into the client.
    std::unique_ptr<platform::VideoSocketEvents> socketEvents;
    std::unique_ptr<platform::CameraEvents> cameraEvents;
    // One-shot re-paints of views 1..3 after they appear; the panel paint.
    std::array<std::unique_ptr<platform::Timer>, 4> timerVshow{};
    std::unique_ptr<platform::Timer> timerZoom;
    // The own login as the socket last reported it (2 logged in, 0 lost),
    // and the timer that logs in again after a login lost during a hand.
    int loginState = 0;
    std::unique_ptr<platform::Timer> timerRelogin;
};

}  // namespace mj::video
