// The INI object over the profile store.
#include <gtest/gtest.h>

#include "link/ini_file.h"
#include "platform/sim/sim_platform.h"

namespace mj::link {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    platform::sim::SimFiles files;
    platform::sim::IconvCodec codec;
    platform::sim::SimIni store{files, codec};
    IniFile ini{store};
    void SetUp() override { ini.setIniFileName("C:\\game\\chat.ini"); }
};

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesEmptyText) {
    EXPECT_EQ(ini.getIniKey("Phrase1", "1"), "");
    ini.writeIniKey("Phrase1", "1", "你好");
    EXPECT_EQ(ini.getIniKey("Phrase2", "1"), "");
    EXPECT_EQ(ini.getIniKey("Phrase1", "2"), "");
}

TEST_F(IniFileTest, WrittenValuesComeBackWithoutBlanksAndAreStoredAsGbk) {
    ini.writeIniKey("vidiosetting", "vidiovalue", "1");
    ini.writeIniKey("Phrase1", "1", "快点吧，我等到花儿都谢了");
    ini.writeIniKey("vidiosetting", "vidiovalue", " 0 ");
    EXPECT_EQ(ini.getIniKey("vidiosetting", "vidiovalue"), "0");
    EXPECT_EQ(ini.getIniKey("Phrase1", "1"), "快点吧，我等到花儿都谢了");
    const std::string raw = *files.readAll("C:\\game\\chat.ini");
    EXPECT_NE(raw.find(codec.toGbk("快点吧")), std::string::npos);
    EXPECT_EQ(raw.find("快点吧"), std::string::npos);
}

TEST_F(IniFileTest, DeleteKeyAndSection) {
    ini.writeIniKey("juNum:1", "name0", "a");
    ini.writeIniKey("juNum:1", "name1", "b");
    ini.writeIniKey("juNum:2", "name0", "c");
    ini.delIniKey("juNum:1", "name0");
    EXPECT_EQ(ini.getIniKey("juNum:1", "name0"), "");
    EXPECT_EQ(ini.getIniKey("juNum:1", "name1"), "b");
    ini.delIniSec("juNum:1");
    EXPECT_EQ(ini.getIniKey("juNum:1", "name1"), "");
    EXPECT_EQ(ini.getIniKey("juNum:2", "name0"), "c");
}

TEST_F(IniFileTest, FileNameIsKeptAsGiven) {
    ini.setIniFileName("D:\\x y\\info.qv");
    EXPECT_EQ(ini.iniFileName(), "D:\\x y\\info.qv");
}

}  // namespace
}  // namespace mj::link
