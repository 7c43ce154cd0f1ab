// chat_filter_test.cpp: the words removed, their order, and what stays.
#include "shell/chat_filter.h"

#include <gtest/gtest.h>

namespace mj::shell {
namespace {

TEST(ChatFilter, RemovesListedWordsInListOrder) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"", ""},
        {"你好，大家好", "你好，大家好"},
        {"加群开外挂刷金币，赌博网站", "加群，网站"},
        {"代打牌博彩网", ""},
        {"黄色的花", "的花"},            // the colour goes too
        {"淫雨霏霏色情片", "雨霏霏片"},  // inside longer words
        {"Shit SHIT shit", "Shit SHIT "},
        {"FUCK fuck", "FUCK "},
        {"婊子养的", ""},
        {"婊子们", "们"},
        {"他妈的她妈的它妈的", ""},
        {"色色情情", "色情"},  // one pass removes the inner match only
        {"黄色情", "黄"},      // 色情 goes before 黄色 is looked for
        {"shfuckit", "shit"},  // shit was looked for before fuck made it
        {"fushitck", ""},      // fuck only appears once shit is gone
    };
    for (const auto& c : cases) EXPECT_EQ(filterChatText(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace mj::shell
