// props_bridge_test.cpp: finding, loading and starting the props plug-in,
// shutting it down, clearing its display, and the messages relayed to it.
#include "dispatch/player_records.h"
#include "props/prop_requests.h"
#include "props/props_fixture.h"

namespace mj::test {
namespace {

namespace info = dispatch::userinfo;
using platform::Millis;

class PropsBridgeTest : public PropsFixture {
protected:
    WireMessage profileWithProps(std::uint8_t seat, std::string_view login) const {
        WireMessage m = message(20, seat);
        setText(m, info::NickName, login);
        setText(m, info::LoginName, login);
        m[info::NoProps] = 0;
        return m;
    }
    int loadedBoxes() const {
        int n = 0;
        for (int k = 1; k < platform::PropBoxCount; ++k) n += box(k) != nullptr;
        return n;
    }
};

TEST_F(PropsBridgeTest, TheFirstProfileLoadsThePluginFromTheProgramFolder) {
    offerPlugin(withBoxes);
    client->link.loggedIn = true;
    client->props.propSwicth = 1;
    client->props.propLaunchArg = 7;
    ASSERT_FALSE(receive(profileWithProps(OwnSeat, "zhang")));
    ASSERT_NE(fake, nullptr);
    EXPECT_EQ(sim.components.pluginPaths, std::vector<std::string>{props::pluginPath(*client)});
    EXPECT_EQ(props::pluginPath(*client),
              platform::joinPath(platform::joinPath(platform::joinPath(sim.process.folder, "plugin"), "tools"),
                                 "PropDll.dll"));
    EXPECT_EQ(fake->initUser, "zhang");
    EXPECT_EQ(fake->initKind, "DLL");
    EXPECT_EQ(fake->initProduct, "newqvp");
    EXPECT_EQ(fake->initScale, 1);
    EXPECT_EQ(fake->initLaunchArg, 7);
    EXPECT_TRUE(fake->initSelfIsThis);
    EXPECT_EQ(client->props.propGameDllState, props::PropStateBoxes);
    EXPECT_TRUE(client->props.propInitOk);
    EXPECT_EQ(loadedBoxes(), 14);
    for (int k = 0; k < platform::PropBoxCount; ++k) {
        EXPECT_FALSE(box(k)->visible()) << k;
        EXPECT_FALSE(box(k)->enabled()) << k;
    }
    // Later profiles neither load nor start it again.
    ASSERT_FALSE(receive(profileWithProps(2, "wang")));
    EXPECT_EQ(sim.components.pluginPaths.size(), 1u);
    EXPECT_EQ(std::count(fake->calls.begin(), fake->calls.end(), "initdll"), 1);
}

TEST_F(PropsBridgeTest, WithoutTheLibraryTheClientRunsWithoutPropsSilently) {
    client->link.loggedIn = true;
    client->props.propSwicth = 1;
    sim.components.propsPlugin = [] { return std::make_unique<platform::sim::FakePropsPlugin>(); };
    const std::string line0 = strip(0);
    ASSERT_FALSE(receive(profileWithProps(OwnSeat, "zhang")));
    EXPECT_EQ(client->props.propGameDllState, props::PropStateUnused);
    EXPECT_TRUE(sim.components.pluginPaths.empty()) << "nothing is loaded when the file is missing";
    EXPECT_EQ(strip(0), line0) << "nothing is said";
    EXPECT_EQ(strip(1), "");
    // And stays so: the next profile does not try again.
    offerPlugin();
    ASSERT_FALSE(receive(profileWithProps(2, "wang")));
    EXPECT_TRUE(sim.components.pluginPaths.empty());
}

TEST_F(PropsBridgeTest, HowTheStartEndsDecidesTheState) {
    struct Case {
        const char* what;
        bool loggedIn;
        std::function<void(Fake&)> setup;
        bool libraryLoads;
        int state;
        bool kept;
    };
    const std::vector<Case> cases{
        {"boxes", true, withBoxes, true, props::PropStateBoxes, true},
        {"no boxes", true, {}, true, props::PropStateLoaded, true},
        {"not logged in", false, withBoxes, true, props::PropStateUnused, false},
        {"library not loadable", true, withBoxes, false, props::PropStateUnused, false},
        {"refuses to start", true, [](Fake& p) { p.initdllResult = false; }, true, props::PropStateNotTried, false},
        {"box off the table", true,
         [](Fake& p) {
             withBoxes(p);
             p.boxPos[14] = {-5, 10};
         },
         true, props::PropStateLoaded, true},
        {"box picture not a picture", true,
         [](Fake& p) {
             withBoxes(p);
             p.openPic = "not a picture";
         },
         true, props::PropStateLoaded, true},
        {"box of no size", true,
         [](Fake& p) {
             withBoxes(p);
             p.boxSize = {0, 60};
         },
         true, props::PropStateLoaded, true},
    };
    // Each case starts from fresh props state on the same table and its label.
    ui::Label* lb = &props::propLabel(*client);
    for (const auto& k : cases) {
        client->props = {};
        client->props.timerProp = sim.clock.createTimer(Millis(50), [] {});
        client->props.lbProp = lb;
        offerPlugin(k.setup);
        if (!k.libraryLoads) sim.components.propsPlugin = [] { return nullptr; };
        client->link.loggedIn = k.loggedIn;
        client->initGameDll(*client);
        EXPECT_EQ(client->props.propGameDllState, k.state) << k.what;
        EXPECT_EQ(client->props.propDll != nullptr, k.kept) << k.what;
        EXPECT_EQ(client->props.propInitOk, k.state > 0) << k.what;
        if (k.state > 0) {
            EXPECT_EQ(loadedBoxes(), 14) << k.what << ": the boxes are loaded also without a layout";
        }
    }
}

TEST_F(PropsBridgeTest, ShuttingDownClearsTheBoxesAndOnlyALoadedPluginIsTold) {
    startPlugin();
    box(3)->setVisible(true);
    label().setCaption("x");
    label().setVisible(true);
    client->exitGameDll(*client, 0);
    EXPECT_EQ(fake->exits, std::vector<int>{0});
    EXPECT_EQ(client->props.propGameDllState, props::PropStateNotTried);
    EXPECT_FALSE(client->props.propInitOk);
    EXPECT_EQ(loadedBoxes(), 0);
    EXPECT_FALSE(box(0)->visible());
    EXPECT_FALSE(label().visible());
    EXPECT_EQ(label().caption(), "");
    // Not loaded any more: not told again.
    client->exitGameDll(*client, 0);
    client->props.propGameDllState = props::PropStateUnused;
    client->exitGameDll(*client, 1);
    EXPECT_EQ(fake->exits, std::vector<int>{0});
}

TEST_F(PropsBridgeTest, TheLastHandsDisplayIsClearedOncePerHand) {
    startPlugin();
    box(2)->setVisible(true);
    box(7)->setEnabled(true);
    label().setVisible(true);
    client->results.box.reward[1] = 50;
    client->props.boxInfo[0][1] = "li";
    client->closePropDisplay(*client);
    EXPECT_FALSE(box(2)->visible());
    EXPECT_FALSE(box(7)->enabled());
    EXPECT_FALSE(label().visible());
    EXPECT_EQ(fake->showNexts, std::vector<bool>{true});
    EXPECT_EQ(client->results.box.reward[1], 0);
    EXPECT_EQ(client->props.boxInfo[0][1], "");
    box(2)->setVisible(true);
    client->closePropDisplay(*client);
    EXPECT_TRUE(box(2)->visible()) << "the second deal of a hand leaves the display";
    EXPECT_EQ(fake->showNexts.size(), 1u);
}

TEST_F(PropsBridgeTest, PluginMessagesAreRelayedAsCopiesOnlyWhileLoaded) {
    WireMessage chat = message(19, 2);
    chat[236] = 0;
    chat[237] = 0;
    chat[238] = 1;
    chat[239] = 0x10;  // 272: a message of the plug-in's
    chat[100] = 0x5A;
    WireMessage unhandled = message(33, 2);
    unhandled[50] = 0xA5;

    ASSERT_FALSE(receive(chat));  // no plug-in: dropped, and not shown as chat
    EXPECT_TRUE(history().empty());

    startPlugin();
    ASSERT_FALSE(receive(chat));
    ASSERT_FALSE(receive(unhandled));
    ASSERT_EQ(fake->received.size(), 2u);
    EXPECT_EQ(fake->received[0].size(), WireMessageSize);
    EXPECT_EQ(fake->received[0][100], 0x5A);
    EXPECT_EQ(fake->received[1][50], 0xA5);
    // The plug-in's copy is its own.
    fake->received[1][50] = 0;
    EXPECT_EQ(client->link.msg[50], 0xA5);
    EXPECT_TRUE(history().empty()) << "a plug-in message is not chat";
}

TEST_F(PropsBridgeTest, TheStoreButtonTellsALoadedPlugin) {
    startPlugin();
    client->pic1->find("Bank")->onClick();
    EXPECT_EQ(fake->bankStates, std::vector<int>{0});
    client->exitGameDll(*client, 0);
    client->pic1->find("Bank")->onClick();
    EXPECT_EQ(fake->bankStates.size(), 1u);
}

}  // namespace
}  // namespace mj::test
