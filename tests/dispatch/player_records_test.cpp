// The player record decoded from the user-info command, and the face index.
#include <gtest/gtest.h>

#include "dispatch/player_records.h"
#include "platform/sim/sim_platform.h"

namespace mj::test {
namespace {

using dispatch::PlayerInfo;
namespace ui = dispatch::userinfo;

void put(WireMessage& m, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) m[at++] = b;
}

void putText(WireMessage& m, std::size_t at, std::string_view text) {
    for (char ch : text) m[at++] = static_cast<std::uint8_t>(ch);
}

TEST(PlayerRecord, EveryFieldFromItsBytes) {
    platform::sim::IconvCodec codec;
    WireMessage m{};
    put(m, ui::NickName, {'A', 0xB0, 0xA1, 'B', 0});  // A啊B
    putText(m, ui::FaceCode, "w10");
    m[ui::Sex] = 1;
    put(m, ui::Location, {0xB1, 0xB1, 0xBE, 0xA9});                      // 北京
    put(m, ui::Score, {0x10, 0x27});                                     // 10000
    put(m, ui::Score + 8, {1});                                          // credit 1
    put(m, ui::Score + 16, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F});  // 2^53 - 1
    put(m, ui::LevelName, {0xB8, 0xDF, 0xCA, 0xD6});                     // 高手
    put(m, ui::Counts, {5});
    put(m, ui::Counts + 4, {0xFF, 0xFF, 0xFF, 0xFF});  // top byte 0x80 or more: negative, not fatal
    put(m, ui::Counts + 8, {0xFF, 0xFF, 0xFF, 0x7F});
    put(m, ui::Counts + 12, {0x00, 0x00, 0x00, 0x80});
    putText(m, ui::LoginName, "zhang");
    putText(m, ui::Title, "VIP");  // plain ASCII in a pair field stays readable
    putText(m, ui::VoiceCode1, "07");
    putText(m, ui::VoiceCode2, "12");
    put(m, ui::UserId, {0x39, 0x30});  // 12345

    PlayerInfo p;
    p.voiceSex = 3;
    p.showHandFlag = 1;
    dispatch::parseUserInfo(p, m, codec);
    EXPECT_EQ(p.nickName, "A啊B");
    EXPECT_EQ(p.faceCode, "w10");
    EXPECT_EQ(p.sex, 1);
    EXPECT_EQ(p.location, "北京");
    EXPECT_EQ(p.score, 10000);
    EXPECT_EQ(p.credit, 1);
    EXPECT_EQ(p.gold, 9007199254740991.0);
    EXPECT_EQ(p.levelName, "高手");
    EXPECT_EQ(p.loginCount, 5);
    EXPECT_EQ(p.dropCount, -1);
    EXPECT_EQ(p.winCount, 2147483647);
    EXPECT_EQ(p.lossCount, -2147483647 - 1);
    EXPECT_EQ(p.loginName, "zhang");
    EXPECT_EQ(p.title, "VIP");
    EXPECT_EQ(p.voiceCode1, "07");
    EXPECT_EQ(p.voiceCode2, "12");
    EXPECT_EQ(p.userId, 12345);
    // Not in the message: kept.
    EXPECT_EQ(p.voiceSex, 3);
    EXPECT_EQ(p.showHandFlag, 1);

    // Every text field is refilled, an empty face code becomes the first face.
    const WireMessage empty{};
    dispatch::parseUserInfo(p, empty, codec);
    EXPECT_EQ(p.nickName, "");
    EXPECT_EQ(p.faceCode, "m1");
    EXPECT_EQ(p.title, "");
    EXPECT_EQ(p.gold, 0);
    EXPECT_EQ(p.dropCount, 0);
}

TEST(PlayerRecord, TextFieldsStopAtTheirWidth) {
    platform::sim::IconvCodec codec;
    WireMessage m{};
    // A lead byte in the nickname's last place stands alone and does not take
    // the face code's first byte as its trail.
    for (std::size_t i = 0; i < 31; ++i) m[ui::NickName + i] = 'a';
    m[ui::NickName + 31] = 0xB0;
    putText(m, ui::FaceCode, "m2");
    // A title that fills its 24 bytes with double-byte characters.
    for (std::size_t i = 0; i < 24; i += 2) put(m, ui::Title + i, {0xB0, 0xA1});
    m[ui::Ready] = 1;
    PlayerInfo p;
    dispatch::parseUserInfo(p, m, codec);
    EXPECT_EQ(p.nickName, std::string(31, 'a') + "?");
    EXPECT_EQ(p.faceCode, "m2");
    std::string twelve;
    for (int i = 0; i < 12; ++i) twelve += "啊";
    EXPECT_EQ(p.title, twelve);
}

TEST(PlayerRecord, FaceIndexOfEveryForm) {
    struct Case {
        const char* code;
        int face;
    };
    const Case cases[] = {
        {"", 0},   {"m1", 0}, {"m10", 9}, {"w1", 10}, {"w10", 19}, {"m12", 0}, {"w12", 10},
        {"m0", 0}, {"w0", 0}, {"m00", 0}, {"mx", 0},  {"w1x", 0},  {"m", 0},   {"m123", 0},
        {"x5", 0}, {"M5", 0}, {"m5", 4},  {"w5", 14}, {"m09", 8},
    };
    for (const Case& k : cases) EXPECT_EQ(dispatch::faceIndex(k.code), k.face) << '"' << k.code << '"';
}

TEST(PlayerRecord, WealthMultipleIsSigned) {
    WireMessage m{};
    EXPECT_EQ(dispatch::wealthMultiple(m), 0);
    put(m, ui::WealthMultiple, {99});
    EXPECT_EQ(dispatch::wealthMultiple(m), 99);
    put(m, ui::WealthMultiple, {0xFE, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(dispatch::wealthMultiple(m), -2);
}

TEST(PlayerRecord, LeavingKeepsTheLoginAndVoiceFields) {
    PlayerInfo p;
    p.nickName = "nick";
    p.faceCode = "w3";
    p.sex = 1;
    p.gold = 5;
    p.winCount = 3;
    p.loginName = "zhang";
    p.title = "VIP";
    p.voiceCode2 = "10";
    p.voiceSex = 3;
    p.userId = 7;
    dispatch::clearShownFields(p);
    EXPECT_EQ(p.nickName, "");
    EXPECT_EQ(p.faceCode, "");
    EXPECT_EQ(p.sex, 0);
    EXPECT_EQ(p.gold, 0);
    EXPECT_EQ(p.winCount, 0);
    EXPECT_EQ(p.loginName, "zhang");
    EXPECT_EQ(p.title, "VIP");
    EXPECT_EQ(p.voiceCode2, "10");
    EXPECT_EQ(p.voiceSex, 3);
    EXPECT_EQ(p.userId, 7);
}

}  // namespace
}  // namespace mj::test
