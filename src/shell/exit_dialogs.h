// exit_dialogs.h: the exit dialog `frmExit` (leave the table?) and the notice
// `frmOtherExit` shown when the table broke up under the player.
#pragma once
#include <string>
#include <string_view>

#include "platform/controls.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

inline constexpr std::string_view RunawayWarning = "游戏正在进行，逃跑会扣分！";
inline constexpr std::string_view ExitQuestion = "您真的要退出吗？";

// The load steps the window holders run.
void loadExitDialog(link::Client& c, ui::Form& f);
void loadOtherExit(link::Client& c, ui::Form& f);

// The warning shows while a hand runs for a seated player.
void setRunawayWarning(link::Client& c);

// pbCloseMe: leave the table for the hall. Runs once however often it is
// clicked while the waits inside it pump events.
void exitDialogLeave(link::Client& c);
// pbCancel: the dialog goes; nothing else changes.
void exitDialogStay(link::Client& c);
// imgOK: back to the hall without the leave message.
void otherExitLeave(link::Client& c);
// imgCancel: stay with the finished table; the start button leaves later.
void otherExitStay(link::Client& c);

// The dispatcher's notice: the reason text, centred over the main window,
// topmost, shown.
void showOtherExit(link::Client& c, const std::string& reason);

}  // namespace mj::shell
