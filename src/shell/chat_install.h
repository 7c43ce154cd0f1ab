// chat_install.h: fills the client's chat seams.
#pragma once
#include <string>

namespace mj::link {
class Client;
}

namespace mj::shell {

// The received quick phrase's bubble beside the sender's view (0..3).
void showSpeakBubble(link::Client& c, int view, const std::string& phrase);
// The main window's resize: bubbles hidden while it is minimised, reset once
// a hand has been played.
void bubblesOnResize(link::Client& c);
// The main window's unload: the bubbles go with it.
void closeBubbles(link::Client& c);

// Connects the chat box, the chat windows, the filter and the bubbles.
void installChat(link::Client& c);

}  // namespace mj::shell
