// Launch line fields and the login message.
#include <gtest/gtest.h>

#include "link/launch_line.h"
#include "platform/sim/sim_platform.h"

namespace mj::link {
namespace {

class LaunchLineTest : public ::testing::Test {
protected:
    platform::sim::IconvCodec codec;
    LaunchResult parse(std::string_view line) { return parseLaunchLine(line, codec); }
};

TEST_F(LaunchLineTest, AllFifteenFieldsDirect) {
    const auto r = parse("  zhang$pw$127.0.0.1$9000$一号房$0$proxy$1080$pu$pp$0$别的大厅$标题$0$7$ ");
    ASSERT_EQ(r.error, LaunchError::None);
    const auto& c = r.config;
    EXPECT_FALSE(c.isSpectator);
    EXPECT_EQ(c.loginName, "zhang");
    EXPECT_EQ(c.loginPassword, "pw");
    EXPECT_EQ(c.serverHost, "127.0.0.1");
    EXPECT_EQ(c.serverPort, 9000);
    EXPECT_EQ(c.roomCaption, "一号房");
    EXPECT_EQ(c.connectMode, 0);
    EXPECT_EQ(c.proxyPort, 1080);
    EXPECT_FALSE(c.customHallMode);
    EXPECT_EQ(c.hallTitle, "曲维山庄");  // field 12 counts only in custom-hall mode
    EXPECT_EQ(c.propSwitch, 0);
    EXPECT_EQ(c.propLaunchArg, 7);
}

TEST_F(LaunchLineTest, WatchingFormTakesTheIdAfterFieldFive) {
    const auto r = parse("li$pw$10.0.0.1$9000$房间$123456");
    ASSERT_EQ(r.error, LaunchError::None);
    EXPECT_TRUE(r.config.isSpectator);
    EXPECT_DOUBLE_EQ(r.config.watchedUserId, 123456);
    EXPECT_EQ(r.config.connectMode, 0);
    EXPECT_EQ(r.config.hallTitle, "曲维山庄");
    EXPECT_EQ(parse("li$pw$h$1$r$12$34").error, LaunchError::BadWatchedId);
}

TEST_F(LaunchLineTest, ShortLineKeepsDefaults) {
    const auto r = parse("a$b$host$80$");
    ASSERT_EQ(r.error, LaunchError::None);
    EXPECT_FALSE(r.config.isSpectator);
    EXPECT_FALSE(r.config.roomCaption.has_value());
    EXPECT_EQ(r.config.connectMode, 0);
}

TEST_F(LaunchLineTest, CustomHallTakesTitleAndCaption) {
    auto r = parse("a$b$h$1$r$0$$0$$$1$My Hall$My Window$$$");
    EXPECT_EQ(r.error, LaunchError::BadNumber);  // empty numeric field 8
    r = parse("a$b$h$1$r$0$$0$$$1$My Hall$My Window$0$0$");
    ASSERT_EQ(r.error, LaunchError::None);
    EXPECT_TRUE(r.config.customHallMode);
    EXPECT_EQ(r.config.hallTitle, "My Hall");
    EXPECT_EQ(r.config.windowCaption, "My Window");
    r = parse("a$b$h$1$r$0$$0$$$1$$$0$0$");
    EXPECT_EQ(r.config.hallTitle, "");
    r = parse("a$b$h$1$r$0$$0$$$1$");
    EXPECT_EQ(r.config.hallTitle, "");
}

TEST_F(LaunchLineTest, NumericFieldsMustBeWholeNumbers) {
    struct Case {
        std::string line;
        LaunchError error;
        int field;
    };
    const Case cases[] = {
        {"a$b$h$x$", LaunchError::BadNumber, 4},    {"a$b$h$$", LaunchError::BadNumber, 4},
        {"a$b$h$12.5$", LaunchError::BadNumber, 4}, {"a$b$h$70000$", LaunchError::BadNumber, 4},
        {"a$b$h$65535$", LaunchError::None, 0},     {"a$b$h$1$r$five$", LaunchError::BadNumber, 6},
        {"a$b$h$1$r$3$", LaunchError::None, 0},
    };
    for (const auto& c : cases) {
        const auto r = parse(c.line);
        EXPECT_EQ(r.error, c.error) << c.line;
        EXPECT_EQ(r.badField, c.field) << c.line;
    }
}

TEST_F(LaunchLineTest, CredentialsAreMeasuredInWireBytes) {
    EXPECT_EQ(parse("abcdefghijklmnop$p$h$1$").error, LaunchError::None);  // 16 bytes
    EXPECT_EQ(parse("abcdefghijklmnopq$p$h$1$").error, LaunchError::NameTooLong);
    EXPECT_EQ(parse("一二三四五六七八$p$h$1$").error, LaunchError::None);  // 16 GBK bytes
    EXPECT_EQ(parse("一二三四五六七八九$p$h$1$").error, LaunchError::NameTooLong);
    EXPECT_EQ(parse("a$" + std::string(228, 'x') + "$h$1$").error, LaunchError::None);
    EXPECT_EQ(parse("a$" + std::string(229, 'x') + "$h$1$").error, LaunchError::PasswordTooLong);
    EXPECT_EQ(parse("a😀$p$h$1$").error, LaunchError::LoginNotGbk);
    EXPECT_EQ(parse("a$p$h$1$r$5$ph$1$" + std::string(256, 'u') + "$pp$").error, LaunchError::ProxyCredentialTooLong);
    EXPECT_EQ(parse("a$p$h$1$r$5$ph$1$用户$pp$").error, LaunchError::ProxyCredentialNotSingleByte);
}

TEST_F(LaunchLineTest, LoginMessageLayout) {
    const auto r = parse("一二三四五六七八$secret$h$1$");
    const WireMessage m = buildLoginMessage(r.config, codec);
    EXPECT_EQ(m[3], 18);
    EXPECT_EQ(m[14], 1);
    EXPECT_EQ(m[15], 0);
    const std::string name = codec.toGbk("一二三四五六七八");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&m[16]), 16), name);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&m[32]), 6), "secret");
    for (std::size_t i = 38; i < 272; ++i) ASSERT_EQ(m[i], 0) << i;
    for (std::size_t i : {0u, 1u, 2u, 4u, 5u, 6u, 7u}) EXPECT_EQ(m[i], 0);
    const auto longPass = parse("a$" + std::string(228, 'x') + "$h$1$");
    const WireMessage m2 = buildLoginMessage(longPass.config, codec);
    EXPECT_EQ(m2[259], 'x');
    for (std::size_t i = 260; i < 272; ++i) EXPECT_EQ(m2[i], 0);
}

TEST(LeadingNumber, ReadsLikeTheHallSwitch) {
    EXPECT_EQ(leadingNumber("1"), 1);
    EXPECT_EQ(leadingNumber(" 01"), 1);
    EXPECT_EQ(leadingNumber("1.0"), 1);
    EXPECT_EQ(leadingNumber("abc"), 0);
    EXPECT_EQ(leadingNumber("12x"), 12);
}

}  // namespace
}  // namespace mj::link
