// video_state.h: the table video switch and the delayed own-video show.
#pragma once

namespace mj::video {

struct VideoState {
    bool videoEnabled = false;
    bool videoDeferred = true;
    bool p2pConfigured = false;
    bool ownVideoOn = false;
    bool ownVideoWait = false;
    int ownVideoTicks = 0;
    bool videoBusy[5] = {};
};

}  // namespace mj::video
