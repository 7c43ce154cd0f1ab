// video_switch.h: the settings dialog's video switch: the settings file and
// what turning the table video off and on does to the link, the camera, the
// pictures and the panels. The dialog shows the result on its switch.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::video {

enum class SwitchResult {
    FileCreated,  // the settings file was missing: made with video on, nothing else
    TurnedOff,
    TurnedOn,
};

SwitchResult flipVideoSwitch(link::Client& c);

}  // namespace mj::video
