// prop_requests_test.cpp: the plug-in's requests as the tick fetches them:
// each checked, a bad one logged and ignored; the timed label; the message
// strip; the text widths.
#include "props/prop_requests.h"

#include "props/props_fixture.h"
#include "shell/shell_windows.h"

namespace mj::test {
namespace {

using platform::Millis;
using platform::PropRequest;

PropRequest numbered(int kind, std::string t) { return {"", std::move(t), {}, kind, {}, {}}; }

class PropRequestsTest : public PropsFixture {
protected:
    void SetUp() override {
        PropsFixture::SetUp();
        startPlugin();
    }
    void queue(PropRequest r) { fake->requests.push_back(std::move(r)); }
    static PropRequest text(std::string t) { return {"", std::move(t), {}, props::PropKindText, {}, {}}; }
    static PropRequest label(std::string t, std::vector<long> rect, std::vector<long> style) {
        return {"", std::move(t), {}, props::PropKindLabel, std::move(rect), std::move(style)};
    }
};

TEST(PropRequestChecks, NumbersAreReadLeniently) {
    struct Case {
        const char* text;
        std::optional<int> number;
    };
    const Case cases[] = {
        {"3", 3},
        {" 2 ", 2},
        {"2.5", 2},
        {"3.5", 4},
        {"-1", -1},
        {"+1", 1},
        {"32767", 32767},
        {"32768", std::nullopt},
        {"-32769", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
        {"3x", std::nullopt},
        {"1e9", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const auto& k : cases) EXPECT_EQ(props::requestNumber(k.text), k.number) << '"' << k.text << '"';
}

TEST(PropRequestChecks, EveryFieldALabelUsesIsChecked) {
    const std::vector<long> rect{200, 40, 100, 100};
    const std::vector<long> style{500, 3, 12, 0xFF, 2};
    struct Case {
        const char* what;
        PropRequest r;
        bool ok;
    };
    auto withStyle = [&](std::size_t i, long v) {
        auto s = style;
        s[i] = v;
        return PropRequest{"", "t", {}, props::PropKindLabel, rect, s};
    };
    auto withRect = [&](std::size_t i, long v) {
        auto r = rect;
        r[i] = v;
        return PropRequest{"", "t", {}, props::PropKindLabel, r, style};
    };
    const std::vector<Case> cases{
        {"good", {"", "t", {}, props::PropKindLabel, rect, style}, true},
        {"empty text asks for nothing", {"", "", {}, props::PropKindLabel, {}, {}}, true},
        {"three rect values", {"", "t", {}, props::PropKindLabel, {1, 2, 3}, style}, false},
        {"five rect values", {"", "t", {}, props::PropKindLabel, {1, 2, 3, 4, 5}, style}, false},
        {"short style", {"", "t", {}, props::PropKindLabel, rect, {500, 3, 12, 0xFF}}, false},
        {"no width", withRect(0, 0), false},
        {"far off", withRect(2, 5000), false},
        {"negative top", withRect(3, -1), false},
        {"font size 0", withStyle(2, 0), false},
        {"colour beyond 24 bits", withStyle(3, 0x1000000), false},
        {"alignment 3", withStyle(4, 3), false},
        {"interval beyond a timer's is still shown", withStyle(0, 100000), true},
        {"untimed", withStyle(0, 0), true},
        {"chat target not a number", numbered(props::PropKindChatTarget, "x"), false},
        {"player card out of range is checked at use", numbered(props::PropKindPlayerCard, "9"), true},
        {"key code beyond a key", numbered(props::PropKindKey, "300"), false},
        {"key code", numbered(props::PropKindKey, "112"), true},
        {"unset kind", numbered(-1, ""), true},
        {"unknown kind", numbered(9, "1"), false},
        {"packet is checked by the sender", {"", "", {1, 2}, props::PropKindPacket, {}, {}}, true},
    };
    for (const auto& k : cases) EXPECT_EQ(!props::requestProblem(k.r).has_value(), k.ok) << k.what;
}

TEST(PropRequestChecks, DoubleByteCharactersAreTwoUnitsWide) {
    platform::sim::SimPlatform sim;
    struct Case {
        const char* text;
        int units;
    };
    const Case cases[] = {{"", 0},     {"abc", 3},    {"甲", 2},
                          {"乙乙", 4}, {"a金币1", 6}, {"\xE2\x82\xAC", 1} /* one byte in this code page */,
                          {"😀", 1}};
    for (const auto& k : cases) EXPECT_EQ(props::textWidthUnits(sim.codec, k.text), k.units) << k.text;
}

TEST_F(PropRequestsTest, TextsGoToTheHistoryWholeAndToTheStripCut) {
    const std::string sixty(60, 'a');
    queue(text(sixty));
    queue(text("second"));
    queue(text("third"));
    ASSERT_FALSE(run(Millis(50)));
    const auto h = history();
    std::string joined;
    for (const auto& line : h) joined += line;
    EXPECT_EQ(std::count(joined.begin(), joined.end(), 'a'), 60);
    EXPECT_EQ(strip(0), "second");
    EXPECT_EQ(strip(1), "third");
    client->sysmsg[0]->clear();
    client->sysmsg[1]->clear();
    queue(text(sixty));
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(strip(0), std::string(45, 'a'));
    EXPECT_EQ(client->props.request.text, "") << "a shown text is emptied";
}

TEST_F(PropRequestsTest, ATimedLabelHidesAfterItsTicksAndAnUntimedOneStays) {
    queue(label("限时", {200, 40, 100, 120}, {500, 3, 14, 0xFF0000, 2}));
    ASSERT_FALSE(run(Millis(50)));
    ui::Label& l = PropsFixture::label();
    EXPECT_TRUE(l.visible());
    EXPECT_EQ(l.caption(), "限时");
    EXPECT_EQ(l.left(), 100);
    EXPECT_EQ(l.top(), 120);
    EXPECT_EQ(l.width(), 200);
    EXPECT_EQ(l.height(), 40);
    EXPECT_EQ(l.foreColor(), (ui::Color{0, 0, 255})) << "the colour is blue-green-red";
    EXPECT_EQ(l.alignment(), ui::Control::Align::Center);
    EXPECT_TRUE(client->props.request.rect.empty()) << "a shown label's fields are erased";
    ASSERT_FALSE(run(Millis(1450)));
    EXPECT_TRUE(l.visible());
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_FALSE(l.visible()) << "three ticks of 500 ms";

    queue(label("stays", {200, 40, 100, 120}, {0, 3, 14, 0, 0}));
    ASSERT_FALSE(run(Millis(60000)));
    EXPECT_TRUE(l.visible());
    // An interval no timer takes is the longest one.
    queue(label("long", {200, 40, 100, 120}, {100000, 1, 14, 0, 0}));
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_EQ(client->props.timerProp->interval(), Millis(65535));
}

TEST_F(PropRequestsTest, BadRequestsAreLoggedAndIgnored) {
    client->props.request = {};
    queue(label("short style", {200, 40, 100, 120}, {500, 3}));
    queue(numbered(props::PropKindChatTarget, "99999999999"));
    queue(numbered(props::PropKindKey, "abc"));
    queue(numbered(7, "1"));
    queue({"", "", std::vector<std::uint8_t>(100, 1), props::PropKindPacket, {}, {}});
    sim.socket.clearSent();
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_EQ(client->props.badRequests, 5);
    EXPECT_FALSE(PropsFixture::label().visible());
    EXPECT_TRUE(sim.socket.sentMessages().empty());
    EXPECT_TRUE(client->props.loaded()) << "never fatal";
}

TEST_F(PropRequestsTest, ARequestActsOnTheTable) {
    std::vector<int> keys;
    client->pic1KeyDown = [&keys](link::Client&, int& key, int) { keys.push_back(key); };
    std::vector<int> clicked;
    for (int v = 0; v < 4; ++v) {
        ui::Control* tou = client->mainForm.find("Tou", v);
        ASSERT_NE(tou, nullptr);
        tou->onClick = [&clicked, v] { clicked.push_back(v); };
    }
    std::vector<int> cards;
    client->showPlayerCard = [&cards](link::Client&, int view) { cards.push_back(view); };
    for (const char* t : {"0", "1", "3", "4"}) queue(numbered(props::PropKindChatTarget, t));
    for (const char* t : {"0", "3", "4", "-1"}) queue(numbered(props::PropKindPlayerCard, t));
    queue(numbered(props::PropKindKey, "113"));
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(clicked, (std::vector<int>{1, 3}));
    EXPECT_EQ(cards, (std::vector<int>{0, 3}));
    EXPECT_EQ(keys, std::vector<int>{113});
}

// The plug-in's card request opens the real card, with that seat's player,
// and moves it on to another seat; no handler of a face is involved.
TEST_F(PropRequestsTest, ThePlayerCardRequestOpensTheCard) {
    client->dispatch.player[1].nickName = "西家";
    client->dispatch.player[3].nickName = "东家";
    client->dispatch.player[3].sex = 1;
    client->dispatch.player[2].nickName.clear();
    for (int v = 0; v < 4; ++v) client->mainForm.find("Tou", v)->onMouseMove = nullptr;
    shell::LazyForm& card = shell::shellWindows(*client).information;
    queue(numbered(props::PropKindPlayerCard, "3"));
    ASSERT_FALSE(run(Millis(50)));
    ASSERT_TRUE(card.shown());
    EXPECT_EQ(card.get().find("Inf", 0)->caption(), "东家");
    EXPECT_EQ(card.get().find("Inf", 1)->caption(), "男");
    const double leftOfEast = card.get().left();
    queue(numbered(props::PropKindPlayerCard, "1"));
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(card.get().find("Inf", 0)->caption(), "西家");
    EXPECT_LT(card.get().left(), leftOfEast) << "beside the left seat now";
    // A seat nobody sits in opens nothing.
    card.unload();
    queue(numbered(props::PropKindPlayerCard, "2"));
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_FALSE(card.isLoaded());
}

TEST_F(PropRequestsTest, PacketsOfAWholeMessageAreSentAndAFieldLeftUnsetKeepsItsValue) {
    std::vector<std::uint8_t> packet(WireMessageSize, 0);
    packet[3] = 45;
    packet[100] = 7;
    queue({"", "", packet, props::PropKindPacket, {}, {}});
    client->link.echoByte = {0x11, 0x22};
    sim.socket.clearSent();
    ASSERT_FALSE(run(Millis(100)));
    ASSERT_EQ(sim.socket.sentMessages().size(), 1u);
    EXPECT_EQ(sim.socket.sentMessages()[0][100], 7);
    EXPECT_EQ(sim.socket.sentMessages()[0][260], 0x11) << "stamped with the echo bytes";
    // The next request leaves the kind unset: nothing; the kind is preset each fetch.
    queue({"", "", {}, -1, {}, {}});
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_EQ(sim.socket.sentMessages().size(), 1u);
    EXPECT_EQ(fake->kindPresets.back(), -1);
}

TEST_F(PropRequestsTest, APluginClaimingEndlessRequestsDoesNotHoldTheThread) {
    fake->waitingOverride = 2'000'000'000;
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(fake->fetches, 64);
    // Nothing asked while it claims none or fewer.
    fake->waitingOverride = -3;
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(fake->fetches, 64);
}

TEST_F(PropRequestsTest, ARequestThatShutsThePluginDownEndsTheTask) {
    fake->onFetch = [this] { client->exitGameDll(*client, 0); };
    queue(text("one"));
    queue(text("two"));
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(fake->fetches, 1);
    EXPECT_TRUE(client->timerBong->enabled()) << "the tick re-arms itself";
}

}  // namespace
}  // namespace mj::test
