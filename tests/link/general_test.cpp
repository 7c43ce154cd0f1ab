// Shared small procedures: bits, pauses, wrapping, padding.
#include <gtest/gtest.h>

#include "link/general.h"
#include "platform/sim/sim_platform.h"

namespace mj::link {
namespace {

TEST(General, BitToIndexAndBack) {
    const std::pair<int, int> cases[] = {{0, 0}, {1, 0}, {2, 1}, {4, 2}, {8, 3}, {16, 4}, {128, 7}};
    for (auto [bit, index] : cases) EXPECT_EQ(bitToIndex(static_cast<std::uint8_t>(bit)), index) << bit;
    for (int n = 0; n < 4; ++n) EXPECT_EQ(bitToIndex(indexToBit(static_cast<std::uint8_t>(n))), n);
    EXPECT_EQ(indexToBit(8), 0);
}

class WrapTest : public ::testing::Test {
protected:
    platform::sim::IconvCodec codec;
};

TEST_F(WrapTest, PiecesEndAtTheWidthAndCarryOneBlank) {
    struct Case {
        std::string text;
        int width;
        std::vector<std::size_t> charsPerPiece;
    };
    std::string han30;
    for (int i = 0; i < 30; ++i) han30 += "中";
    const Case cases[] = {
        {std::string(60, 'a'), 50, {50, 10}},
        {std::string(50, 'a'), 50, {50}},
        {han30, 50, {25, 5}},
        {"ab中", 3, {3}},  // the double-byte character crosses the limit: 4 columns
        {"", 50, {}},
    };
    for (const auto& c : cases) {
        const auto pieces = wrapText(codec, c.text, c.width);
        ASSERT_EQ(pieces.size(), c.charsPerPiece.size()) << c.text;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].back(), ' ');
            EXPECT_EQ(utf8Chars(pieces[i]).size(), c.charsPerPiece[i] + 1) << c.text << " piece " << i;
        }
    }
}

TEST_F(WrapTest, TextStopsAtNul) {
    ui::ListBox list("l", -1);
    addWrappedText(codec, list, std::string("\0abc", 4), 50);
    EXPECT_EQ(list.listCount(), 0);
    addWrappedText(codec, list, std::string("ab\0cd", 5), 50);
    ASSERT_EQ(list.listCount(), 1);
    EXPECT_EQ(list.items()[0], "ab ");
}

TEST_F(WrapTest, SingleByteTest) {
    EXPECT_TRUE(isSingleByteChar(codec, "a"));
    EXPECT_FALSE(isSingleByteChar(codec, "萬"));
    EXPECT_TRUE(isSingleByteChar(codec, ""));
}

TEST(General, PadRightCountsCharacters) {
    EXPECT_EQ(padRight("ab", 5), "ab   ");
    EXPECT_EQ(padRight("abcdefg", 5), "abcdefg");
    EXPECT_EQ(padRight("胡牌", 4), "胡牌  ");
}

TEST(General, LowestWealthMultiple) {
    EXPECT_EQ(lowestWealthMultiple({0, 2, 3, 1}), 1);
    EXPECT_EQ(lowestWealthMultiple({4, 0, 2, 0}), 2);
    EXPECT_EQ(lowestWealthMultiple({0, -1, 0, -5}), 0);
}

TEST(General, WaitSecondsPumpsAndEndsAcrossMidnight) {
    platform::sim::SimClock clock;
    // Half a second before midnight: the seconds clock falls back to 0 during
    // the wait, which must still end after its duration.
    clock.setMidnightOffset(platform::Millis(24LL * 3600 * 1000 - 500));
    int ticks = 0;
    auto timer = clock.createTimer(platform::Millis(50), [&] { ++ticks; });
    timer->setEnabled(true);
    const auto start = clock.monotonic();
    waitSeconds(clock, 2.0);
    const auto waited = clock.monotonic() - start;
    EXPECT_GT(waited, platform::Millis(2000));
    EXPECT_LT(waited, platform::Millis(2100));
    EXPECT_GE(ticks, 39);  // timers ran during the wait
}

TEST(General, SleepSecondsBlocksWithoutEvents) {
    platform::sim::SimClock clock;
    int ticks = 0;
    auto timer = clock.createTimer(platform::Millis(50), [&] { ++ticks; });
    timer->setEnabled(true);
    sleepSeconds(clock, 1.0);
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(clock.totalSlept(), platform::Millis(1000));
}

}  // namespace
}  // namespace mj::link
