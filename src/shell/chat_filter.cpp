// chat_filter.cpp: the fixed word list.
#include "shell/chat_filter.h"

#include <array>

namespace mj::shell {
namespace {

// Cheating and gambling advertising first, then insults and lewd words. The
// order matters: a longer word goes before a word it contains.
constexpr std::array<std::string_view, 15> Words = {
    "代打牌",   "赌博", "开外挂", "刷金币", "博彩网", "他妈的", "她妈的", "它妈的",
    "婊子养的", "婊子", "淫",     "色情",   "黄色",   "shit",   "fuck",
};

}  // namespace

std::string filterChatText(std::string_view text) {
    // UTF-8 never starts a character inside another, so a byte match of a
    // whole word is a match of whole characters.
    std::string out(text);
    for (const std::string_view word : Words) {
        std::string next;
        next.reserve(out.size());
        std::size_t from = 0;
        for (std::size_t at = out.find(word); at != std::string::npos; at = out.find(word, from)) {
            next.append(out, from, at - from);
            from = at + word.size();
        }
        next.append(out, from);
        out = std::move(next);
    }
    return out;
}

}  // namespace mj::shell
