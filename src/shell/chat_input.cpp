// chat_input.cpp: the chat box's handlers.
#include "shell/chat_input.h"

#include "link/client.h"
#include "link/general.h"
#include "shell/chat_filter.h"
#include "shell/chat_windows.h"

namespace mj::shell {
namespace {

constexpr int KeyEnter = 13;
constexpr int KeyBackspace = 8;
constexpr int HistoryLimit = 100;

std::string_view trimBlanks(std::string_view s) {
    const auto b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

std::size_t charCount(std::string_view s) { return link::utf8Chars(s).size(); }

// The text without the reply prefix where it stands.
std::string withoutPrefix(std::string_view text, std::size_t at, std::size_t prefixBytes) {
    std::string out(text.substr(0, at));
    out.append(text.substr(at + prefixBytes));
    return out;
}

}  // namespace

ui::TextBox* chatBox(link::Client& c) { return c.mainForm.findAs<ui::TextBox>("Chat"); }

std::size_t findReplyPrefix(const link::Client& c, std::string_view text) {
    const std::string& prefix = c.dispatch.replyPrefix;
    if (prefix.empty()) return std::string_view::npos;
    return text.find(prefix);
}

std::string chatLine(const link::Client& c, bool privateLine, std::string_view text) {
    std::string line = c.dispatch.player[0].nickName;
    if (privateLine) {
        // "你对X说: " loses its 你: the line reads "nick对X说: text".
        const auto chars = link::utf8Chars(c.dispatch.replyPrefix);
        for (std::size_t i = 1; i < chars.size(); ++i) line += chars[i];
    } else {
        line += PublicSays;
    }
    line += text;
    return line;
}

void sendChatBox(link::Client& c) {
    ui::TextBox* box = chatBox(c);
    if (!box) return;
    CmdInfo info;
    info.cmd = CmdChat;
    info.seat = c.table.custom[0].seat;

    const std::string text = box->text();
    const std::string& prefix = c.dispatch.replyPrefix;
    // The prefix is split off before filtering: a mate's nickname holding a
    // filtered word must not turn a private line into a public one. Found
    // anywhere, it is removed where it stands, not from the line's start.
    const std::size_t at = findReplyPrefix(c, text);
    const bool privateLine = at != std::string::npos;
    const std::string out = filterChatText(privateLine ? withoutPrefix(text, at, prefix.size()) : text);

    if (out.empty()) return;
    if (privateLine && trimBlanks(out).empty()) return;
    if (!prefix.empty() && trimBlanks(text) == trimBlanks(prefix)) return;

    if (privateLine) info.value[1] = static_cast<std::int16_t>(c.dispatch.replySeat);
    c.link.chatOut = chatLine(c, privateLine, out);
    c.dispatch.replyPrefix.clear();
    box->setText("");
    c.sendCommand(info);
}

void sendChatWithLimit(link::Client& c) {
    ui::TextBox* box = chatBox(c);
    if (!box || c.link.launch.isSpectator) return;
    if (c.shell.chatAllowed) {
        c.shell.chatAllowed = false;
        c.timerChat->setEnabled(true);
        sendChatBox(c);
    } else if (!box->text().empty()) {
        ui::ListBox& history = talkHistory(c);
        history.addItem(std::string(TooFastText));
        box->setText("");
        history.setTopIndex(history.listCount() - 1);
    }
}

void chatKeyPress(link::Client& c, int& keyAscii) {
    ui::TextBox* box = chatBox(c);
    if (!box) return;
    ui::ListBox& history = talkHistory(c);
    if (history.listCount() > HistoryLimit) history.clear();

    if (keyAscii == KeyEnter) sendChatWithLimit(c);

    const std::string& prefix = c.dispatch.replyPrefix;
    if (!prefix.empty() && keyAscii == KeyBackspace) {
        c.shell.prefixEditText = box->text();
        // Only a backspace that deletes something changes the box; a flag set
        // at the caret's start would fire on some later, unrelated change.
        const bool deletes = box->selLength() > 0 || box->selStart() > 0;
        if (deletes && static_cast<std::size_t>(box->selStart()) <= charCount(prefix)) c.shell.prefixBackspace = true;
    }
}

void chatChange(link::Client& c) {
    if (!c.shell.prefixBackspace) return;
    c.shell.prefixBackspace = false;
    ui::TextBox* box = chatBox(c);
    if (!box) return;
    // The saved text predates the backspace: the whole prefix goes and the
    // deleted character is back.
    const auto chars = link::utf8Chars(c.shell.prefixEditText);
    const std::size_t drop = std::min(chars.size(), charCount(c.dispatch.replyPrefix));
    std::string rest;
    for (std::size_t i = drop; i < chars.size(); ++i) rest += chars[i];
    c.dispatch.replyPrefix.clear();
    c.dispatch.replySeat = 0;
    c.shell.chatBody.clear();
    box->setText(rest);
    box->setSelStart(static_cast<int>(chars.size() - drop));
}

void touClick(link::Client& c, int index) {
    if (!c.link.loggedIn || index < 1 || index > 3) return;
    const std::string& nick = c.dispatch.player[static_cast<std::size_t>(index)].nickName;
    if (nick.empty()) return;
    ui::TextBox* box = chatBox(c);
    if (!box) return;

    const std::string newPrefix = "你对" + nick + "说: ";
    c.shell.chatBody = box->text();
    c.dispatch.replySeat = c.table.custom[static_cast<std::size_t>(index)].seat;
    // The earlier addressing goes where it stands, so text typed before it survives.
    if (!box->text().empty()) {
        const std::size_t at = findReplyPrefix(c, c.shell.chatBody);
        if (at != std::string::npos)
            c.shell.chatBody = withoutPrefix(c.shell.chatBody, at, c.dispatch.replyPrefix.size());
    }
    c.dispatch.replyPrefix = newPrefix;
    box->setText(newPrefix + c.shell.chatBody);
    box->setSelStart(static_cast<int>(charCount(box->text())));
    box->setFocus();
}

void installChatInput(link::Client& c) {
    if (ui::TextBox* box = chatBox(c)) {
        // A real edit control: an input method can type Chinese into it.
        box->setNative(true);
        box->onKeyPress = [&c](int& key) { c.ignoringErrors("chat key", [&] { chatKeyPress(c, key); }); };
        box->onChange = [&c] { c.ignoringErrors("chat change", [&] { chatChange(c); }); };
        box->onGotFocus = [&c] { c.shell.chatHasFocus = true; };
        box->onLostFocus = [&c] { c.shell.chatHasFocus = false; };
    }
    for (int i = 0; i < 4; ++i) {
        if (ui::Control* face = c.mainForm.find("Tou", i))
            face->onClick = [&c, i] { c.ignoringErrors("face click", [&] { touClick(c, i); }); };
    }
}

}  // namespace mj::shell
