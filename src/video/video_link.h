// video_link.h: the video link between the seats: the per-hand login, the
// peer slots, the frames sent and received.
#pragma once
#include <vector>

#include "video/video_state.h"

namespace mj::link {
class Client;
}

namespace mj::video {

inline constexpr int VideoServerPort = 8888;
inline constexpr int VideoSlotCount = 3;

void loginVideoServer(link::Client& c);
void requestTableVideo(link::Client& c);
void leaveVideo(link::Client& c);

// How long a login lost during a hand waits before the next try.
inline constexpr platform::Millis ReloginDelay{3000};

// The components' events, as the bridge hands them in.
void onMineStateChange(link::Client& c, int state);
void onUserStateChange(link::Client& c, int slot, int state);
void onDataArrival(link::Client& c, int slot, Frame data);
void onFrameCaptured(link::Client& c, Frame data);

// The relogin timer's tick: logs in again while a hand still wants video.
void reloginTick(link::Client& c);

// Leaving the table with video on: the camera stopped, every seat's video,
// slot and panel dropped, the frames erased, the login dropped.
void leaveTableVideo(link::Client& c);

}  // namespace mj::video
