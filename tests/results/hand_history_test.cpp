// hand_history_test.cpp: the hand-history file through the in-memory INI
// engine: the exact keys, what reading back keeps, loading onto a board, and
// server text that tries to break out of its line.
#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "results/hand_history.h"

namespace mj::test {
namespace {

using results::BoardSnapshot;
using results::loadHandHistory;
using results::saveHandHistory;

class HandHistory : public ::testing::Test {
protected:
    platform::sim::SimPlatform sim;
    const std::string path = "C:\\mj\\info.qv";

    static BoardSnapshot wonBoard() {
        BoardSnapshot b;
        for (int i = 0; i < 4; ++i) {
            b.names[static_cast<std::size_t>(i)] = "玩家" + std::to_string(i);
            b.picIndex[static_cast<std::size_t>(i)] = std::to_string(i + 5);
            b.listColors[static_cast<std::size_t>(i)] = 65280;
        }
        for (int k = 0; k < 25; ++k) b.lists[0].push_back("line " + std::to_string(k));
        b.lists[1] = {"   初始：100", "", " ", "====================", "最终分：-5金币"};
        b.lists[4] = {"最终分：100金币"};
        return b;
    }
};

TEST_F(HandHistory, KeysAndValuesAsWritten) {
    saveHandHistory(sim.ini, path, 3, wonBoard());
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "name( 2 )"), "玩家2");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "PicIndex( 2 )"), "7");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "count( 0 )"), "25");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "count( 0 )( 24 )"), "line 24");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "count( 5 )"), "0");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "count( 3 ) ForeColor"), "65280");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "count( 4 ) ForeColor"), "");
    // The file is GBK, as the profile functions write it.
    const auto bytes = sim.files.readAll(path);
    ASSERT_TRUE(bytes);
    EXPECT_NE(bytes->find(sim.codec.toGbk("name( 1 )=玩家1")), std::string::npos);
}

TEST_F(HandHistory, LoadingBringsTheListsToTheStoredCountsAndTrimsLines) {
    saveHandHistory(sim.ini, path, 2, wonBoard());
    BoardSnapshot board;
    board.lists[0].assign(30, "old");
    board.lists[1].assign(2, "old");
    board.lists[7].assign(3, "kept?");
    board.picIndex = {"1", "1", "1", "1"};
    loadHandHistory(sim.ini, path, 2, board);
    EXPECT_EQ(board.lists[0].size(), 25u);
    EXPECT_EQ(board.lists[0][24], "line 24");
    EXPECT_EQ(board.lists[1],
              (std::vector<std::string>{"初始：100", " ", " ", "====================", "最终分：-5金币"}));
    EXPECT_TRUE(board.lists[7].empty());  // stored with 0 items
    EXPECT_EQ(board.names[3], "玩家3");
    EXPECT_EQ(board.picIndex[3], "8");
    EXPECT_EQ(board.listColors[0], 65280u);
    EXPECT_EQ(board.nameColors[0], 255u);
}

TEST_F(HandHistory, AHandNeverSavedOrNumberZero) {
    BoardSnapshot board;
    board.names = {"a", "b", "c", "d"};
    board.picIndex = {"3", "3", "3", "3"};
    board.lists[0] = {"x"};
    board.listColors.fill(99);
    loadHandHistory(sim.ini, path, 0, board);
    EXPECT_EQ(board.names[0], "a");
    EXPECT_EQ(board.listColors[0], 99u);
    loadHandHistory(sim.ini, path, 5, board);
    EXPECT_EQ(board.names[0], "");
    EXPECT_EQ(board.picIndex[0], "3");
    EXPECT_EQ(board.lists[0], std::vector<std::string>{"x"});
    EXPECT_EQ(board.listColors[0], 0u);
    EXPECT_EQ(board.nameColors[0], 255u);
}

TEST_F(HandHistory, ServerTextCannotAddLinesOrSections) {
    BoardSnapshot b = wonBoard();
    b.names[0] = "evil\r\n[juNum:9]\r\nname( 0 )=forged";
    b.lists[4] = {"x\n[juNum:3]\ncount( 0 )=1"};
    saveHandHistory(sim.ini, path, 3, b);
    saveHandHistory(sim.ini, path, 4, wonBoard());
    EXPECT_EQ(sim.ini.get(path, "juNum:9", "name( 0 )"), "");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "count( 0 )"), "25");
    EXPECT_EQ(sim.ini.get(path, "juNum:3", "name( 0 )"), "evil  [juNum:9]  name( 0 )=forged");
}

TEST_F(HandHistory, ADamagedFileIsReadLeniently) {
    saveHandHistory(sim.ini, path, 1, wonBoard());
    sim.ini.write(path, "juNum:1", "PicIndex( 0 )", "57");
    sim.ini.write(path, "juNum:1", "PicIndex( 1 )", "face");
    sim.ini.write(path, "juNum:1", "count( 0 )", "many");
    sim.ini.write(path, "juNum:1", "count( 1 )", "2.0");
    sim.ini.write(path, "juNum:1", "count( 2 ) ForeColor", "red");
    BoardSnapshot board;
    board.lists[0] = {"stays"};
    loadHandHistory(sim.ini, path, 1, board);
    EXPECT_EQ(board.picIndex[0], "19");
    EXPECT_EQ(board.picIndex[1], "0");
    EXPECT_EQ(board.lists[0], std::vector<std::string>{"stays"});
    EXPECT_EQ(board.lists[1].size(), 2u);
    EXPECT_EQ(board.listColors[2], 0u);
    EXPECT_EQ(board.lists[4], std::vector<std::string>{"最终分：100金币"});
}

TEST_F(HandHistory, AStrayLineWithoutAValueHidesNoKeyOfItsName) {
    // A damaged file: a line naming a key but holding no "=" stands before
    // the section's real keys. Saving onto that hand and loading it back
    // keeps the board.
    sim.files.files[path] = "[juNum:1]\r\ncount( 2 )\r\nname( 0 )\r\n";
    BoardSnapshot b = wonBoard();
    b.lists[2] = {"一", "二"};
    saveHandHistory(sim.ini, path, 1, b);
    BoardSnapshot board;
    loadHandHistory(sim.ini, path, 1, board);
    EXPECT_EQ(board.lists[2], (std::vector<std::string>{"一", "二"}));
    EXPECT_EQ(board.names[0], "玩家0");
    EXPECT_EQ(board.lists[0].size(), 25u);
}

TEST_F(HandHistory, ABoardIsOneWriteOfTheFileAndOneReadHoweverLongTheSession) {
    // Every key a call of its own rewrote the whole file per key: a session
    // of many hands made each settlement slower than the last.
    for (int n = 1; n <= 30; ++n) saveHandHistory(sim.ini, path, n, wonBoard());
    const int writes = sim.ini.fileWrites;
    const int reads = sim.ini.fileReads;
    saveHandHistory(sim.ini, path, 31, wonBoard());
    EXPECT_EQ(sim.ini.fileWrites - writes, 1);
    EXPECT_LE(sim.ini.fileReads - reads, 1) << "a look whether the hand is there already";

    BoardSnapshot board;
    const int before = sim.ini.fileReads;
    loadHandHistory(sim.ini, path, 17, board);
    EXPECT_EQ(sim.ini.fileReads - before, 1);
    EXPECT_EQ(board.lists[0].size(), 25u);
    EXPECT_EQ(board.names[3], "玩家3");
}

TEST_F(HandHistory, ReadingASectionAtOnceAnswersAsEachKeyOnItsOwn) {
    // Quotes, blanks, an empty value and a value longer than one read gives:
    // the board gets what a read of each key gives.
    BoardSnapshot b = wonBoard();
    b.names = {"\"引号\"", "'a'", "\"", "  blanks  "};
    b.lists[2] = {"", "\"\"", "x=y", std::string(1500, 'L'), "'half"};
    saveHandHistory(sim.ini, path, 5, b);
    BoardSnapshot board;
    loadHandHistory(sim.ini, path, 5, board);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(board.names[static_cast<std::size_t>(i)],
                  sim.ini.get(path, "juNum:5", "name( " + std::to_string(i) + " )"))
            << i;
    }
    EXPECT_EQ(board.names[0], "引号");
    ASSERT_EQ(board.lists[2].size(), 5u);
    for (int k = 0; k < 5; ++k) {
        const std::string one = sim.ini.get(path, "juNum:5", "count( 2 )( " + std::to_string(k) + " )");
        EXPECT_EQ(board.lists[2][static_cast<std::size_t>(k)], one.empty() ? " " : one) << k;
    }
    EXPECT_EQ(board.lists[2][3].size(), 1023u);
}

TEST_F(HandHistory, AHandSavedTwiceKeepsTheKeysOfBothAsBefore) {
    saveHandHistory(sim.ini, path, 1, wonBoard());
    saveHandHistory(sim.ini, path, 2, wonBoard());
    BoardSnapshot shorter = wonBoard();
    shorter.lists[0] = {"only"};
    shorter.names[1] = "新名";
    saveHandHistory(sim.ini, path, 1, shorter);
    // Key by key, as every save once was: the old lines stay behind the
    // count, the section keeps its place before hand 2.
    EXPECT_EQ(sim.ini.get(path, "juNum:1", "count( 0 )"), "1");
    EXPECT_EQ(sim.ini.get(path, "juNum:1", "count( 0 )( 0 )"), "only");
    EXPECT_EQ(sim.ini.get(path, "juNum:1", "count( 0 )( 24 )"), "line 24");
    EXPECT_EQ(sim.ini.get(path, "juNum:1", "name( 1 )"), "新名");
    const std::string bytes = sim.files.readAll(path).value_or("");
    EXPECT_LT(bytes.find("[juNum:1]"), bytes.find("[juNum:2]"));
    BoardSnapshot board;
    loadHandHistory(sim.ini, path, 1, board);
    EXPECT_EQ(board.lists[0], std::vector<std::string>{"only"});
}

}  // namespace
}  // namespace mj::test
