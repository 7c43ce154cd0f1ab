// settings_dialog.h: the settings dialog `VosSet`: all sound, music, the
// voice style and the table video.
#pragma once

#include "platform/controls.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

void loadSettingsDialog(link::Client& c, ui::Form& f);

}  // namespace mj::shell
