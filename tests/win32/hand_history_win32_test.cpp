// hand_history_win32_test.cpp: the hand-history file through the real profile
// functions: GBK on disk, what reading back trims, and server text that tries
// to open a line or a section of its own.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/win32_platform.h"
#include "results/hand_history.h"

namespace mj::test {
namespace {

using namespace platform::win32;

std::string tempPath(const char* name) {
    char buf[MAX_PATH];
    GetTempPathA(MAX_PATH, buf);
    return std::string(buf) + name;
}

TEST(Win32HandHistory, SavedBoardsReadBackThroughTheProfileFunctions) {
    Win32Codec codec;
    Win32Ini ini(codec);
    Win32Files files;
    const std::string path = tempPath("mj_info.qv");
    files.remove(path);

    results::BoardSnapshot board;
    board.names = {"zhang", "李四\r\n[juNum:9]\r\nname( 0 )=假", "王五", "\"赵六\""};
    board.picIndex = {"0", "5", "10", "19"};
    board.lists[0] = {"   初始：12000", " -------------------  ", "", " ", "   清一色： ×2"};
    board.lists[4] = {"最终分：120金币"};
    board.listColors = {0, 255, 65280, 16711680};
    results::saveHandHistory(ini, path, 3, board);

    const auto raw = files.readAll(path);
    ASSERT_TRUE(raw);
    EXPECT_NE(raw->find("[juNum:3]"), std::string::npos);
    // Wine's writer drops the blanks around a value on the way to the file,
    // as the reader does anyway; the text itself is GBK.
    EXPECT_NE(raw->find(codec.toGbk("清一色： ×2")), std::string::npos) << codec.fromGbk(*raw);
    EXPECT_EQ(raw->find("[juNum:9]\r"), std::string::npos);  // never a line of its own

    results::BoardSnapshot loaded;
    results::loadHandHistory(ini, path, 3, loaded);
    EXPECT_EQ(loaded.names[0], "zhang");
    EXPECT_EQ(loaded.names[1], "李四  [juNum:9]  name( 0 )=假");
    EXPECT_EQ(loaded.names[3], "赵六");  // the profile reader drops one pair of quotes
    EXPECT_EQ(loaded.picIndex[3], "19");
    EXPECT_EQ(loaded.lists[0],
              (std::vector<std::string>{"初始：12000", "-------------------", " ", " ", "清一色： ×2"}));
    EXPECT_EQ(loaded.lists[4], std::vector<std::string>{"最终分：120金币"});
    EXPECT_EQ(loaded.listColors[3], 16711680u);
    EXPECT_EQ(ini.get(path, "juNum:9", "name( 0 )"), "");
    files.remove(path);
}

}  // namespace
}  // namespace mj::test
