// video_display.h: the own camera and the seats' pictures on the table: the
// camera start, the own picture's show, the video-on icons, the re-paint of a
// view that has just appeared and the plug-in's popup on hover.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::video {

inline constexpr const char* NoCameraText = "您没有视频设备或您的视频源正在使用。";

void startOwnCamera(link::Client& c);
void showOwnVideo(link::Client& c, bool running, bool hide);
void imgShowClick(link::Client& c, int index);
void vshowTimer(link::Client& c, int view);
// Pointer moves in the viewer's own units (pixels on the table).
void vshowMouseMove(link::Client& c, int view, double x, double y);
void proponeselfMouseMove(link::Client& c, double x, double y);

}  // namespace mj::video
