// chat_input.h: the chat box: typed lines with their rate limit, private lines
// addressed by a click on a table mate's face, and the chat message sent.
#pragma once
#include <string>
#include <string_view>

namespace mj::link {
class Client;
}
namespace mj::ui {
class TextBox;
}

namespace mj::shell {

inline constexpr std::string_view TooFastText = "（发送消息太快！）";
inline constexpr std::string_view PublicSays = "说道: ";

// The chat box, or nullptr before the table layout made it.
[[nodiscard]] ui::TextBox* chatBox(link::Client& c);

// Every key typed into the chat box (Enter sends, Backspace may drop the
// private addressing).
void chatKeyPress(link::Client& c, int& keyAscii);
// Every change of the chat box text.
void chatChange(link::Client& c);
// A click on face 0..3: a table mate's face addresses the next line to them.
void touClick(link::Client& c, int index);
// Filters the box text and sends it, public or to the addressed mate; Enter
// and the toolbar's send button both come here.
void sendChatBox(link::Client& c);
// Enter and the send button: a watcher says nothing, and a line within 800 ms
// of the last one is refused with a note in the history.
void sendChatWithLimit(link::Client& c);

// Where the reply prefix stands in `text`, or npos; a private line is one that
// still holds it.
[[nodiscard]] std::size_t findReplyPrefix(const link::Client& c, std::string_view text);
// The line as it goes out: own nickname, "说道: " or the private form of the
// prefix, then the text.
[[nodiscard]] std::string chatLine(const link::Client& c, bool privateLine, std::string_view text);

// Connects the chat box's events.
void installChatInput(link::Client& c);

}  // namespace mj::shell
