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

// The board key by key, each key a write of its own, as the file has always
// been written: what saving a board must still put on disk, byte for byte.
void writeKeyByKey(Win32Ini& ini, const std::string& path, int n, const results::BoardSnapshot& b) {
    const std::string section = "juNum:" + std::to_string(n);
    for (int i = 0; i < 4; ++i) {
        ini.write(path, section, "name( " + std::to_string(i) + " )", b.names[static_cast<std::size_t>(i)]);
        ini.write(path, section, "PicIndex( " + std::to_string(i) + " )", b.picIndex[static_cast<std::size_t>(i)]);
    }
    for (int j = 0; j < 8; ++j) {
        const auto& list = b.lists[static_cast<std::size_t>(j)];
        const std::string count = "count( " + std::to_string(j) + " )";
        ini.write(path, section, count, std::to_string(list.size()));
        for (std::size_t k = 0; k < list.size(); ++k)
            ini.write(path, section, count + "( " + std::to_string(k) + " )", list[k]);
    }
    for (int j = 0; j < 4; ++j) {
        ini.write(path, section, "count( " + std::to_string(j) + " ) ForeColor",
                  std::to_string(b.listColors[static_cast<std::size_t>(j)]));
    }
}

TEST(Win32HandHistory, BoardsGoToDiskWithTheBytesKeyByKeyWritesGaveAndReadBackAsEachKey) {
    Win32Codec codec;
    Win32Ini ini(codec);
    Win32Files files;
    const std::string byKey = tempPath("mj_info_bykey.qv");
    const std::string bySection = tempPath("mj_info_bysection.qv");
    files.remove(byKey);
    files.remove(bySection);

    results::BoardSnapshot a;
    a.names = {"  张三  ", "\"引号\"", "'单'", "\t制表\t"};
    a.picIndex = {"0", "5", "", "19"};
    a.lists[0] = {"   初始：12000", " -------------------  ", "", " ", "   清一色： ×2", "a=b=c", "\"", "'x"};
    a.lists[1] = {std::string(900, 'x') + std::string("长行长行长行长行长行长行长行长行长行长行长行长行长行长行长行"
                                                      "长行长行长行长行长行长行长行长行长行长行长行长行长行长行长行"
                                                      "长行长行长行长行长行长行长行长行长行长行长行长行长行长行长行"
                                                      "长行长行长行长行长行长行长行长行长行长行长行长行长行长行长行"
                                                      "长行长行长行长行长行长行长行长行长行长行")};
    a.lists[4] = {"最终分：120金币"};
    a.listColors = {0, 255, 65280, 16711680};
    results::BoardSnapshot b = a;
    b.names[0] = "李四";
    b.names[3] = "";
    b.lists[0].resize(3);
    b.lists[5] = {"最终分：-40金币", "  "};

    // Fresh sections, then a hand number saved a second time with less.
    for (const auto& [n, board] :
         std::vector<std::pair<int, const results::BoardSnapshot*>>{{1, &a}, {2, &b}, {3, &a}, {2, &a}, {1, &b}}) {
        writeKeyByKey(ini, byKey, n, *board);
        results::saveHandHistory(ini, bySection, n, *board);
        const auto want = files.readAll(byKey);
        const auto got = files.readAll(bySection);
        ASSERT_TRUE(want && got);
        ASSERT_EQ(*got, *want) << "after saving hand " << n;
    }

    for (int n = 1; n <= 3; ++n) {
        results::BoardSnapshot loaded;
        results::loadHandHistory(ini, bySection, n, loaded);
        const std::string section = "juNum:" + std::to_string(n);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(loaded.names[static_cast<std::size_t>(i)],
                      ini.get(bySection, section, "name( " + std::to_string(i) + " )"))
                << n << " " << i;
        }
        for (int j = 0; j < 8; ++j) {
            const auto& list = loaded.lists[static_cast<std::size_t>(j)];
            const std::string count = "count( " + std::to_string(j) + " )";
            ASSERT_EQ(std::to_string(list.size()), ini.get(bySection, section, count)) << n << " " << j;
            for (std::size_t k = 0; k < list.size(); ++k) {
                const std::string one = ini.get(bySection, section, count + "( " + std::to_string(k) + " )");
                EXPECT_EQ(list[k], one.empty() ? " " : one) << n << " " << j << " " << k;
            }
        }
    }
    results::BoardSnapshot loaded;
    results::loadHandHistory(ini, bySection, 3, loaded);
    EXPECT_EQ(loaded.names[1], "引号");
    EXPECT_EQ(loaded.lists[0][6], "\"");
    EXPECT_LT(loaded.lists[1][0].size(), 1500u) << "cut as a read of the key cuts it";
    files.remove(byKey);
    files.remove(bySection);
}

}  // namespace
}  // namespace mj::test
