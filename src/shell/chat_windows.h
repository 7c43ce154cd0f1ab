// chat_windows.h: the chat history window `Talk`, the quick-phrase window
// `huifu` and the click areas of the main window that open them.
#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "shell/speak_box.h"

namespace mj::link {
class Client;
}

namespace mj::shell {

// Phrases read per list at most; a huge "num" would otherwise make that many
// profile reads at load.
inline constexpr int MaxPhrases = 200;
// The alpha every pop-up window gets when it is made.
inline constexpr int PopupAlpha = 200;

struct ChatWindows {
    // Pop-ups are translucent only where the system can layer them; tests and
    // the host may say otherwise.
    bool layeredPopups = true;
    bool talkLoaded = false;
    bool huifuLoaded = false;
    ui::Form huifu{"huifu"};
    ui::ListBox* list1 = nullptr;
    ui::ListBox* list2 = nullptr;
    // One bubble per view, made on first use.
    std::array<std::unique_ptr<SpeakBox>, 4> bubbles;
};

[[nodiscard]] ChatWindows& chatWindows(link::Client& c);

// Talk.Text1, the window loaded first.
[[nodiscard]] ui::ListBox& talkHistory(link::Client& c);
void ensureTalkLoaded(link::Client& c);
// Loads huifu and its phrase lists from chat.ini on first use.
void ensureHuifuLoaded(link::Client& c);

// The leading number of a profile value ("12abc" is 12, "" and "x" are 0).
[[nodiscard]] int leadingNumber(const std::string& value);

// A double-click on phrase list 1 or 2 sends the selected phrase.
void sendPhrase(link::Client& c, int listNo);
// imgword1 / imgword2: open the phrase window on that list, switch lists, or close it.
void phraseAreaClick(link::Client& c, int listNo);
// The history shown, topmost, over the lower middle of the table.
void showChatWindow(link::Client& c);
// Lbchat, toolbar button 1 and the message strip: open or close the history.
void historyAreaClick(link::Client& c);
// A key in the history list: Alt then C, or C then Alt, hides the window.
void talkKeyDown(link::Client& c, int keyCode);

// Makes the windows and connects the main window's click areas.
void installChatWindows(link::Client& c);

}  // namespace mj::shell
