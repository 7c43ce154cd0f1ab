// settings_dialog.h: the settings dialog `VosSet`: background music, system
// sounds, all sound, the voice style and the table video. Each switch acts at
// once; OK keeps the changes, Cancel switches the first four back.
#pragma once

#include "platform/controls.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

inline constexpr int SwitchCount = 5;

void loadSettingsDialog(link::Client& c, ui::Form& f);

// A click on switch `index` (0 music, 1 system sounds, 2 all sound, 3 voice
// style, 4 video).
void settingsSwitchClick(link::Client& c, int index);
// OK (0) or Cancel (1).
void settingsButtonClick(link::Client& c, int index);
// The table filled and every voice went back to standard: the voice-style
// switch follows, and a Cancel no longer undoes an earlier click on it.
void voiceStyleReset(link::Client& c);

}  // namespace mj::shell
