// props_plugin_load_test.cpp: the demonstration plug-in library as the client
// loads it: through its exported factory, with strings, arrays and pictures
// crossing into the client intact; a missing or foreign library gives none.
#include <gtest/gtest.h>

#include "platform/win32/win32_picture_decoder.h"
#include "platform/win32/win32_platform.h"

namespace mj::platform::win32 {
namespace {

std::string demoLibrary(const Process& process) {
    // The Windows build puts the library where the client looks for it.
    return joinPath(joinPath(joinPath(joinPath(process.programFolder(), "bin"), "plugin"), "tools"), "PropDll.dll");
}

TEST(PropsPluginLibrary, TheDemoLoadsAndAnswersAcrossTheLibraryBoundary) {
    Win32Process process;
    StandInComponents components(process);
    auto plugin = components.createPropsPlugin(demoLibrary(process));
    ASSERT_NE(plugin, nullptr) << demoLibrary(process);
    std::string user = "测试者", empty;
    int scale = 1, arg = 0;
    ASSERT_TRUE(plugin->initdll(user, empty, "DLL", 0, "newqvp", *plugin, scale, arg));
    PropBoxPositions pos{};
    PropPoint openCentre{}, promptCentre{}, size{}, openSize{};
    PropSeatTargets targets{};
    PropBoxTiming timing{};
    std::string closed, open;
    ASSERT_TRUE(plugin->getBaoInfo(pos, openCentre, targets, promptCentre, timing, closed, size, open, openSize));
    EXPECT_EQ(size[0], 80);
    Win32PictureDecoder decoder;
    for (const std::string* gif : {&closed, &open}) {
        const auto d = decoder.decode(*gif);
        ASSERT_TRUE(d) << toString(d.error);
        EXPECT_EQ(d.picture->width, 64);
    }
    EXPECT_EQ(plugin->checkSendBuff(), 6);
    std::string picture, text;
    std::vector<std::uint8_t> packet;
    std::vector<long> rect, style;
    int kind = -1;
    plugin->getSendBuff(picture, text, packet, kind, rect, style);
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(text, "道具演示插件已加载");
    ASSERT_TRUE(plugin->setUserinfo("我", "tester", 1, 0, false, 1, "", ""));
    plugin->initShowEnd();
    PropItemTexts items{};
    PropRewards rewards{};
    PropBoxInfo info{};
    for (int i = 0; i < 25; ++i) (void)plugin->checkSendBuff();
    ASSERT_EQ(plugin->getScoreInfo(items, rewards, info), 1);
    EXPECT_EQ(rewards[0], 188);
    EXPECT_EQ(info[0][0], "我");
    plugin.reset();  // the plug-in's own code frees it
}

TEST(PropsPluginLibrary, AMissingOrForeignLibraryGivesNoPlugin) {
    Win32Process process;
    StandInComponents components(process);
    EXPECT_EQ(components.createPropsPlugin(joinPath(process.programFolder(), "no-such-plugin.dll")), nullptr);
    // A library without our factory: a system one.
    EXPECT_EQ(components.createPropsPlugin("kernel32.dll"), nullptr);
}

}  // namespace
}  // namespace mj::platform::win32
