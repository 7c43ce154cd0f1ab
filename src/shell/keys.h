// keys.h: the main window's keys (F1 boss key, F2-F6 to the props plug-in,
// Esc, Alt then C, typing on the table), the table clicks and the pointer
// moving over the table.
#pragma once

namespace mj::link {
class Client;
}

namespace mj::shell {

inline constexpr int KeyF1 = 112, KeyF6 = 117, KeyEsc = 27, KeyAlt = 18, KeyC = 67;

// Feeds one key to the Alt-then-C sequence (either order, any number of Alts
// between; any other key starts over); true when it completes.
bool altThenCDone(link::Client& c, int keyCode);

// Hides every side window, makes the client act at once for the player,
// minimises the main window and the hall, tells the plug-in. Once per keystroke.
void bossKey(link::Client& c);

// The key handlers of the controls; each runs the boss key itself for F1.
void chatKeyDown(link::Client& c, int& keyCode, int shift);
void pic1KeyDown(link::Client& c, int& keyCode, int shift);
void pic2KeyDown(link::Client& c, int& keyCode, int shift);
void sysmsgKeyDown(link::Client& c, int& keyCode, int shift);
// A character typed on the table goes on into the chat box.
void pic1KeyPress(link::Client& c, int& keyAscii);

// Esc on a table picture: the exit dialog centred on the main window.
void escapeOnTable(link::Client& c, bool fromPic2);

// A click on a table picture closes the pop-ups (not the player card).
void tableClick(link::Client& c);
// The message strip: the chat history window opens or closes.
void sysmsgClick(link::Client& c);
// The pointer over the table: every hover effect ends.
void pic1MouseMove(link::Client& c, double x, double y);

// Connects the handlers.
void installKeys(link::Client& c);

}  // namespace mj::shell
