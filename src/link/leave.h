// leave.h: leaving the table and resetting the link to idle, and the two
// ways the player leaves from the client's own dialogs.
#pragma once
#include "platform/clock.h"

namespace mj::link {

class Client;

// What leaving keeps between its steps. Both procedures pump events while
// they wait, so a hall message can ask for them again in the middle; the
// guards make the nested request a no-op.
struct SessionState {
    bool leaving = false;    // inside leaveTable
    bool resetting = false;  // inside resetSession
    // Counts the resets, so a handler that pumps events can tell that the
    // table was left while it waited.
    int resets = 0;
};

// How long the reset waits for the socket to report it is no longer connected.
inline constexpr platform::Millis SocketCloseLimit{2000};

// Tells the server the player leaves (when connected), stops the video, the
// tasks and the timers, and pauses so the message gets out.
void leaveTable(Client& c);
// Closes the socket and clears the table, the players, the hand history and
// the plug-in: the client is idle afterwards, its window minimised.
void resetSession(Client& c);

// The exit dialog: leave, reset, clear the hand and give the hall back.
void leaveByExitDialog(Client& c);
// The leave dialog: the same without the leave message.
void leaveByLeaveDialog(Client& c);

}  // namespace mj::link
