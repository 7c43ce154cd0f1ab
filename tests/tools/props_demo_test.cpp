// props_demo_test.cpp: the demonstration plug-in in the client on the
// in-memory platform: it starts with boxes, its requests are all carried out,
// its pictures decode at both scales, and after a hand it leads the client
// through the box phase to the settlement.
#include "demo_plugin.h"
#include "props/props_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class PropsDemoTest : public PropsFixture {
protected:
    props_demo::DemoPlugin* demo = nullptr;
    void SetUp() override {
        PropsFixture::SetUp();
        (void)sim.files.writeAll(props::pluginPath(*client), "MZ");
        sim.components.propsPlugin = [this]() -> std::unique_ptr<platform::PropsPlugin> {
            auto p = std::make_unique<props_demo::DemoPlugin>();
            demo = p.get();
            return p;
        };
        client->link.loggedIn = true;
    }
};

TEST(PropsDemoPictures, DecodeAtBothScales) {
    platform::sim::SimPlatform sim;
    for (int side : {64, 50}) {
        for (const std::string& gif : {props_demo::closedBoxGif(side), props_demo::openBoxGif(side)}) {
            const auto d = sim.pictures.decode(gif);
            ASSERT_TRUE(d) << side << ": " << platform::toString(d.error);
            EXPECT_EQ(d.picture->width, side);
            EXPECT_EQ(d.picture->height, side);
            EXPECT_EQ(d.picture->pixels[0] >> 24, 0u) << "the corner is transparent";
        }
    }
}

TEST_F(PropsDemoTest, StartsWithBoxesAndEveryRequestIsCarriedOut) {
    client->initGameDll(*client);
    ASSERT_EQ(client->props.propGameDllState, props::PropStateBoxes);
    EXPECT_EQ(demo->waiting(), 6u);
    sim.socket.clearSent();
    ASSERT_FALSE(run(Millis(200)));
    EXPECT_EQ(demo->waiting(), 0u);
    EXPECT_EQ(client->props.badRequests, 0);
    EXPECT_TRUE(label().visible());
    EXPECT_EQ(label().caption(), "欢迎来到牌桌");
    EXPECT_TRUE(strip(0) == "道具演示插件已加载" || strip(1) == "道具演示插件已加载");
    const auto sent = sentCommands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), 45), 1);
}

TEST_F(PropsDemoTest, AtTheSmallScaleTheLayoutShrinks) {
    client->link.scaleY = 0.78125;
    client->initGameDll(*client);
    ASSERT_EQ(client->props.propGameDllState, props::PropStateBoxes);
    EXPECT_EQ(client->props.layout.boxSize[0], 63);
    EXPECT_EQ(client->props.layout.closedPic->width, 50);
}

TEST_F(PropsDemoTest, LeadsAHandThroughTheBoxesToTheSettlement) {
    client->initGameDll(*client);
    ASSERT_TRUE(demo->setUserinfo("我", "tester", 1, 0, false, 1, "", ""));
    ASSERT_TRUE(demo->setUserinfo("对家", "north", 4, 2, false, 1, "", ""));
    ASSERT_FALSE(run(Millis(200)));
    client->dispatch.player[0].gold = 1000;
    wonHand();
    ASSERT_FALSE(run(Millis(1500)));
    ASSERT_TRUE(client->props.boxPromptOn);
    EXPECT_TRUE(box(0)->visible());
    box(2)->onClick();
    ASSERT_FALSE(run(Millis(5000)));
    EXPECT_EQ(heroRows(), 1);
    EXPECT_EQ(client->dispatch.player[0].gold, 1000 + 30 + 188);
    const auto h = history();
    EXPECT_NE(std::find(h.begin(), h.end(), "聚宝盆 "), h.end());
    const auto& items = scoreList(0).items();
    EXPECT_NE(std::find(items.begin(), items.end(), "宝箱：金元宝"), items.end()) << "the colour is taken off";
}

}  // namespace
}  // namespace mj::test
