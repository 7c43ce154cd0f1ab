// shell_shot: the main window's shell on real windows under Wine, on a
// 1280 x 1024 screen: the painted frame with its caption buttons, a hovered
// toolbar button, the settings dialog, the player card of the top seat and
// the exit dialog. It copies the screen into shell_live.bmp. Usage:
// shell_shot DIR [WIDTH HEIGHT] (another screen size, such as 800 600).
#include <cstdlib>
#include <string>

#include "shell/exit_dialogs.h"
#include "shell/player_card.h"
#include "shell/shell_windows.h"
#include "shell/toolbar.h"
#include "shot_support/screen_capture.h"
#include "shot_support/shot_table.h"

using mj::shots::pump;
using mj::shots::shootScreen;

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const int w = argc > 3 ? std::atoi(argv[2]) : 1280;
    const int h = argc > 3 ? std::atoi(argv[3]) : 1024;
    mj::shots::ShotTable shot(w, h);
    auto& c = shot.client;
    mj::platform::win32::FormHost host;
    mj::shots::showLive(shot, host);
    c.link.loggedIn = true;
    auto& p = c.dispatch.player[2];
    p.nickName = "王五";
    p.sex = 1;
    p.location = "成都";
    p.score = 1234.5;
    p.credit = 98;
    p.loginCount = 120;
    p.winCount = 61;
    p.lossCount = 47;
    pump(300);
    mj::shell::toolbarMouseMove(c, 3);
    mj::shell::toolbarClick(c, 3);
    mj::shell::showPlayerCard(c, 2);
    c.link.inGame = true;
    mj::shell::toggleExitDialog(c);
    pump(1000);
    return shootScreen(dir + "/shell_live.bmp", w, h) ? 0 : 1;
}
