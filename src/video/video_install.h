// video_install.h: puts the table video into the client: its seams, the
// components' event bridges, the timers and the table controls' handlers.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::video {

void installVideo(link::Client& c);

// Hands the components made at start-up their event bridges.
void connectComponents(link::Client& c);

}  // namespace mj::video
