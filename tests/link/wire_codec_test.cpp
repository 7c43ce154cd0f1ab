// Wire layout of messages and the rings between the socket and the tick.
#include <gtest/gtest.h>

#include "link/wire_codec.h"

namespace mj::link {
namespace {

WireMessage withValues(std::uint8_t cmd, std::uint8_t hi, std::uint8_t lo) {
    WireMessage m{};
    m[wire::Cmd] = cmd;
    m[wire::Value] = hi;
    m[wire::Value + 1] = lo;
    return m;
}

TEST(WireCodec, ValuesAreLowByteExceptHandDetailWhichIsSigned) {
    EXPECT_EQ(decodeHeader(withValues(17, 0xFF, 0xFE)).value[0], -2);
    EXPECT_EQ(decodeHeader(withValues(16, 0xFF, 0xFE)).value[0], 254);
    EXPECT_EQ(decodeHeader(withValues(17, 0x01, 0x02)).value[0], 258);
    EXPECT_EQ(decodeHeader(withValues(3, 0x01, 0x02)).value[0], 2);
}

TEST(WireCodec, SeatIsTheLowNibbleAndCommandByteThreeAlone) {
    WireMessage m{};
    m[wire::CmdHigh] = 7;
    m[wire::Cmd] = 21;
    m[wire::Seat] = 0xF4;
    m[wire::Byte7] = 9;
    const CmdInfo info = decodeHeader(m);
    EXPECT_EQ(info.cmd, 21);
    EXPECT_EQ(info.seat, 4);
    EXPECT_EQ(info.byte7, 9);
}

TEST(WireCodec, NegativeValueGoesOutAsTwosComplementAndIsMaskedInTheRecord) {
    CmdInfo info;
    info.cmd = 7;
    info.seat = 2;
    info.value = {4, -2, 0x2015, 300};
    WireMessage m{};
    encodeHeader(info, m);
    EXPECT_EQ(m[wire::Cmd], 7);
    EXPECT_EQ(m[wire::Seat], 2);
    EXPECT_EQ(m[8], 0);
    EXPECT_EQ(m[9], 4);
    EXPECT_EQ(m[10], 0xFF);
    EXPECT_EQ(m[11], 0xFE);
    EXPECT_EQ(m[12], 0x20);
    EXPECT_EQ(m[13], 0x15);
    EXPECT_EQ(m[14], 1);
    EXPECT_EQ(m[15], 44);
    EXPECT_EQ(info.value[1], 32766);
}

TEST(ByteRing, MessagesComeOutWholeAndInOrderAcrossTheWrap) {
    ByteRing ring;
    // Start near the end so that messages wrap around the ring's end.
    ring.setIndexes(RingSize - 272, RingSize - 272);
    for (std::uint8_t k = 1; k <= 3; ++k) {
        WireMessage m{};
        m.fill(k);
        ASSERT_TRUE(ring.pushMessage(m));
    }
    for (std::uint8_t k = 1; k <= 3; ++k) {
        auto m = ring.take();
        ASSERT_TRUE(m);
        EXPECT_EQ((*m)[0], k);
        EXPECT_EQ((*m)[271], k);
    }
    EXPECT_FALSE(ring.take());
}

TEST(ByteRing, PartialMessageIsNotTaken) {
    ByteRing ring;
    for (int i = 0; i < 271; ++i) ASSERT_TRUE(ring.pushByte(1));
    EXPECT_FALSE(ring.hasMessage());
    EXPECT_FALSE(ring.take());
    ASSERT_TRUE(ring.pushByte(1));
    EXPECT_TRUE(ring.take());
}

TEST(ByteRing, FullRingRefusesAMessageInsteadOfOverwritingWaitingOnes) {
    ByteRing ring;
    WireMessage m{};
    for (std::size_t i = 0; i < RingMessages - 1; ++i) {
        m.fill(static_cast<std::uint8_t>(i));
        ASSERT_TRUE(ring.pushMessage(m)) << i;
    }
    m.fill(0xEE);
    EXPECT_FALSE(ring.pushMessage(m));
    EXPECT_EQ(ring.waiting(), (RingMessages - 1) * WireMessageSize);
    EXPECT_EQ((*ring.take())[0], 0);
}

TEST(ByteRing, TheByteThatCatchesTheReadIndexReportsFull) {
    ByteRing ring;
    ring.setIndexes(100, 99);
    EXPECT_FALSE(ring.pushByte(7));
}

}  // namespace
}  // namespace mj::link
