// settings_dialog.cpp: the settings dialog.
#include "shell/settings_dialog.h"

#include "link/client.h"
#include "shell/shell_windows.h"

namespace mj::shell {

void loadSettingsDialog(link::Client& c, ui::Form& f) {
    makePopupTranslucent(c, f);
    f.setCaption("设置");
    f.move(0, 0, 260 * 15.0, 200 * 15.0);
}

}  // namespace mj::shell
