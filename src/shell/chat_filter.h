// chat_filter.h: the words a table chat loses, sent or received.
#pragma once
#include <string>
#include <string_view>

namespace mj::shell {

// Deletes every listed word, one pass per word in list order, matches taken
// left to right without overlap; exact and case-sensitive. Nothing is put in
// a word's place.
[[nodiscard]] std::string filterChatText(std::string_view text);

}  // namespace mj::shell
