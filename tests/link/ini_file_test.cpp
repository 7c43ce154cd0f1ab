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

TEST_F(IniFileTest, HandWrittenFilesReadAsTheProfileFunctionsReadThem) {
    struct Case {
        const char* text;
        const char* section;
        const char* key;
        const char* want;
    };
    const Case cases[] = {
        {"[Phrase1]\r\nnum=3\r\n", "Phrase1", "num", "3"},
        {"[Phrase1]\nnum=3\n", "Phrase1", "num", "3"},
        {"  [ phrase1 ]  \r\n  NUM =  3  \r\n", "Phrase1", "num", "3"},
        {"num=9\r\n[Phrase1]\r\nnum=3", "Phrase1", "num", "3"},
        {"[Phrase1]\r\n1=\"a b\"\r\n", "Phrase1", "1", "a b"},
        {"[Phrase1]\r\n1=a=b\r\n", "Phrase1", "1", "a=b"},
        // Only the first section of a name is read, and a key only there.
        {"[Phrase1]\r\nnum=1\r\n[Phrase1]\r\nnum=2\r\n", "Phrase1", "num", "1"},
        {"[Phrase1]\r\n[Phrase2]\r\nnum=2\r\n[Phrase1]\r\nnum=3\r\n", "Phrase1", "num", ""},
        {"[Phrase1]\r\nnum=3\r\n[Phrase2]\r\n", "Phrase2", "num", ""},
        {"[Phrase1\r\nnum=3\r\n", "Phrase1", "num", ""},
        {"", "Phrase1", "num", ""},
    };
    for (const Case& c : cases) {
        files.files["C:\\game\\chat.ini"] = c.text;
        EXPECT_EQ(ini.getIniKey(c.section, c.key), c.want) << c.text;
    }
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
