// chat_shot: the table chat on real windows under Wine: the main window, a
// quick phrase's bubble beside the top seat, the chat history open over the
// table and a Chinese line in the chat box. It lets the windows run for a
// moment (the bubble fades in), then copies the screen into chat_live.bmp;
// then the history closes and the first quick-phrase list opens
// (phrases_live.bmp). Without a compositing manager Wine shows layered
// windows opaque. Usage: chat_shot DIR [WIDTH HEIGHT] (the screen, 1024 x 768
// unless given; 800 600 shows the small table).
#include <cstdlib>
#include <string>

#include "shell/chat_input.h"
#include "shell/chat_install.h"
#include "shell/chat_windows.h"
#include "shot_support/screen_capture.h"
#include "shot_support/shot_table.h"

using mj::shots::pump;
using mj::shots::shootScreen;

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    const int w = argc > 3 ? std::atoi(argv[2]) : 1024;
    const int h = argc > 3 ? std::atoi(argv[3]) : 768;
    mj::shots::ShotTable shot(w, h);
    auto& c = shot.client;
    mj::platform::win32::FormHost host;
    mj::shots::showLive(shot, host);
    c.link.loggedIn = true;
    c.dispatch.player[0].nickName = "zhang";
    c.dispatch.player[2].nickName = "王五";
    c.table.custom[2].seat = 8;

    auto& history = mj::shell::talkHistory(c);
    for (const char* line :
         {"王五说道: 大家好，很高兴认识大家！", "李四说道: 快点吧，我等得花儿都谢了", "你对王五说: 这把一定胡"})
        history.addItem(line);
    // The face click focuses the chat box, which activates the main window;
    // under Wine that raises it over topmost windows shown before, so the
    // history opens after it.
    mj::shell::touClick(c, 2);
    pump(200);
    mj::shell::historyAreaClick(c);
    if (auto* box = mj::shell::chatBox(c)) box->setText(box->text() + "加油啊");
    mj::shell::showSpeakBubble(c, 2, "大家好，很高兴认识大家！");
    pump(1500);

    bool ok = shootScreen(dir + "/chat_live.bmp", w, h);
    mj::shell::historyAreaClick(c);
    mj::shell::phraseAreaClick(c, 1);
    pump(800);
    ok = shootScreen(dir + "/phrases_live.bmp", w, h) && ok;
    return ok ? 0 : 1;
}
