// video_state.h: the table video switch and the delayed own-video show.
#pragma once
#include <array>

namespace mj::video {

struct VideoState {
    bool videoEnabled = false;
    bool videoDeferred = true;
    bool p2pConfigured = false;
    bool ownVideoOn = false;
    bool ownVideoWait = false;
    int ownVideoTicks = 0;
    bool videoBusy[5] = {};
    // Per remote view 1..3: its video shown, closed by the user, and the
    // frame-send counter.
    std::array<bool, 4> videoShown{};
    std::array<bool, 4> videoClosed{};
    std::array<int, 4> videoThrottle{};
};

}  // namespace mj::video
