// received_text_test.cpp: seat names and chat lines as the decoder handles
// them: relay marker, phrases with bubble and voice, nickname rule, message
// strip, chat button flashing, and hostile message bytes.
#include "link/received_text.h"

#include <algorithm>
#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "platform/sim/sim_sound.h"

namespace mj::link {
namespace {

using platform::sim::IconvCodec;
using platform::sim::SimSoundDevice;

WireMessage chatMessage(std::uint8_t seatBit, const std::string& gbkText, int kind = 0, int number = 0) {
    WireMessage m{};
    m[wire::Cmd] = static_cast<std::uint8_t>(CmdChat);
    m[wire::Seat] = seatBit;
    m[wire::Value + 1] = static_cast<std::uint8_t>(kind);
    m[wire::Value + 7] = static_cast<std::uint8_t>(number);
    for (std::size_t i = 0; i < gbkText.size() && ChatTextStart + i < ChatTextEnd; ++i)
        m[ChatTextStart + i] = static_cast<std::uint8_t>(gbkText[i]);
    return m;
}

CmdInfo infoOf(const WireMessage& m) {
    CmdInfo info;
    info.cmd = m[wire::Cmd];
    info.seat = m[wire::Seat];
    for (int i = 0; i < 4; ++i) info.value[static_cast<std::size_t>(i)] = m[wire::Value + 2 * i + 1];
    return info;
}

struct ReceivedChat : ::testing::Test {
    IconvCodec codec;
    ReceivedTextState state;
    ui::ListBox history{"Text1", -1};
    ui::ListBox strip0{"Sysmsg", 0};
    ui::ListBox strip1{"Sysmsg", 1};
    std::vector<std::string> list1{"大家好", "快点吧"};
    std::vector<std::string> list2{"再见", "谢谢", "不好意思，我要离开一会儿。"};
    SoundState sound;
    SimSoundDevice device;
    std::vector<std::pair<int, std::string>> bubbles;
    std::vector<WireMessage> relayed;
    std::vector<std::string> logged;
    ChatTargets targets{
        codec,
        history,
        {&strip0, &strip1},
        list1,
        list2,
        4,
        "小明",
        {VoiceId{"00", "10", 1, 3}, VoiceId{"00", "10", 0, 2}, VoiceId{"00", "10", 1, 3}, VoiceId{"00", "30", 1, 3}},
        true,
        sound,
        device,
        nullptr,
        nullptr,
        nullptr,
        nullptr};

    void SetUp() override {
        loadSoundPaths(sound, "C:\\game\\mj");
        device.files = {sound.voiceDir + "v00100200203.wav", sound.voiceDir + "v00101300101.wav"};
        initDirectSound(sound, device);
        targets.showSpeakBubble = [this](int view, const std::string& phrase) { bubbles.emplace_back(view, phrase); };
        targets.log = [this](std::string_view line) { logged.emplace_back(line); };
    }
    bool voiceLogged() const {
        return std::any_of(logged.begin(), logged.end(),
                           [](const std::string& l) { return l.rfind("phrase voice ", 0) == 0; });
    }
    std::string gbk(const std::string& utf8) { return codec.toGbk(utf8); }
    CmdInfo receive(const WireMessage& m) {
        CmdInfo info = infoOf(m);
        handleChat(state, targets, m, info);
        return info;
    }
    CmdInfo receive(std::uint8_t seat, const std::string& utf8, int kind = 0, int number = 0) {
        return receive(chatMessage(seat, gbk(utf8), kind, number));
    }
};

// ------------------------------------------------------------ seat names

TEST(ReceivedSeatName, TheLoginNameReplacesTheSeatsEntry) {
    IconvCodec codec;
    ReceivedTextState state;
    WireMessage m{};
    m[16] = 'a';
    m[17] = 'b';
    m[18] = 'c';
    m[20] = 'x';  // the x after the 0 is not read
    handleSeatName(state, codec, m, 4);
    EXPECT_EQ(state.seatName[2], "abc");
    // A second round of names before the per-hand reset keeps one name.
    handleSeatName(state, codec, m, 4);
    EXPECT_EQ(state.seatName[2], "abc");
    m[16] = 'd';
    handleSeatName(state, codec, m, 0x14);  // the seat is the low nibble
    EXPECT_EQ(state.seatName[2], "dbc");
    WireMessage full{};
    for (int i = 16; i < 32; ++i) full[static_cast<std::size_t>(i)] = 'z';
    full[32] = 'q';  // beyond the field
    handleSeatName(state, codec, full, 8);
    EXPECT_EQ(state.seatName[3], std::string(16, 'z'));
    for (std::uint8_t bad : {0x00, 0x03, 0x10, 0x80, 0xFF}) handleSeatName(state, codec, m, bad);
    EXPECT_EQ(state.seatName[0], "");
    EXPECT_EQ(state.seatName[1], "");
}

// ------------------------------------------------------------ relay marker

TEST_F(ReceivedChat, RelayMarkerGoesToThePluginOrIsDropped) {
    struct Case {
        std::uint8_t b236, b237, b238, b239;
        bool loaded;
        bool relayed;
        bool shown;
    };
    const Case cases[] = {
        {0x00, 0x00, 0x01, 0x10, true, true, false},    // 272
        {0x00, 0x00, 0x01, 0x04, true, true, false},    // 260
        {0x00, 0x00, 0x01, 0x10, false, false, false},  // plug-in not loaded: dropped
        {0x00, 0x00, 0x01, 0x11, true, false, true},    // 273 is chat
        {0x80, 0x00, 0x01, 0x10, true, false, true},    // high bit: no overflow, it is chat
        {0xFF, 0xFF, 0xFF, 0xFF, true, false, true},
    };
    for (const Case& c : cases) {
        history.clear();
        relayed.clear();
        targets.relayToProps =
            c.loaded ? std::function<void(const WireMessage&)>([this](const WireMessage& m) { relayed.push_back(m); })
                     : nullptr;
        WireMessage m = chatMessage(2, "hi");
        m[236] = c.b236;
        m[237] = c.b237;
        m[238] = c.b238;
        m[239] = c.b239;
        receive(m);
        EXPECT_EQ(relayed.size(), c.relayed ? 1u : 0u) << int(c.b239);
        EXPECT_EQ(history.listCount() > 0, c.shown) << int(c.b236) << " " << int(c.b239);
        if (c.relayed) {
            EXPECT_EQ(relayed[0], m);
        }
    }
}

// ------------------------------------------------------------ quick phrases

TEST_F(ReceivedChat, PhraseFromTheLeftShowsItsBubbleAndSpeaks) {
    // own seat 4 (index 2); seat 2 (index 1) sits at view 1, the left
    const CmdInfo info = receive(2, "李四：谢谢", ChatKindPhrase2, 3);
    EXPECT_EQ(info.seat, 1);
    ASSERT_EQ(bubbles.size(), 1u);
    EXPECT_EQ(bubbles[0], std::make_pair(1, list2[2]));
    ASSERT_TRUE(device.effects[1]);
    EXPECT_EQ(device.effects[1]->file, sound.voiceDir + "v00100200203.wav");
    EXPECT_EQ(device.effects[1]->volume, -800);
    EXPECT_EQ(history.items().back(), "李四：谢谢 ");
    // The log tells what was heard and shown.
    EXPECT_EQ(logged, (std::vector<std::string>{"phrase voice " + sound.voiceDir + "v00100200203.wav on slot 1",
                                                "chat line: 李四：谢谢"}));
}

TEST_F(ReceivedChat, PhraseWithoutBubbleOrVoice) {
    struct Case {
        const char* name;
        int kind;
        int number;
        bool minimised;
        bool soundOn;
        VoiceId voice;
        bool bubble;
        bool voiced;
    };
    const VoiceId good{"00", "10", 0, 2};
    const Case cases[] = {
        {"minimised", ChatKindPhrase2, 3, true, true, good, false, false},
        {"number 0", ChatKindPhrase2, 0, false, true, good, false, false},
        {"number past the list", ChatKindPhrase2, 4, false, true, good, false, false},
        {"number 255", ChatKindPhrase1, 255, false, true, good, false, false},
        {"sound off", ChatKindPhrase2, 3, false, false, good, true, false},
        {"voice code leaving the folder", ChatKindPhrase2, 3, false, true, VoiceId{"..\\..\\x", "10", 0, 2}, true,
         false},
        {"free text", ChatKindText, 3, false, true, good, false, false},
        {"no such voice file", ChatKindPhrase2, 3, false, true, VoiceId{"00", "10", 1, 3}, true, false},
    };
    for (const Case& c : cases) {
        bubbles.clear();
        device.effects = {};
        history.clear();
        logged.clear();
        targets.mainWindowNormal = !c.minimised;
        sound.soundOn = c.soundOn;
        targets.voices[1] = c.voice;
        receive(2, "李四：谢谢", c.kind, c.number);
        EXPECT_EQ(!bubbles.empty(), c.bubble) << c.name;
        EXPECT_EQ(device.effects[1].has_value(), c.voiced) << c.name;
        EXPECT_EQ(voiceLogged(), c.voiced) << c.name;
        EXPECT_EQ(history.listCount(), 1) << c.name << ": the line is still shown";
    }
}

TEST_F(ReceivedChat, OwnSeatUnknownKeepsTheSeatBitAndSkipsThePhrase) {
    targets.ownSeat = 0;
    const CmdInfo info = receive(0x22, "hello", ChatKindPhrase1, 1);  // high nibble is dropped
    EXPECT_EQ(info.seat, 2);
    EXPECT_TRUE(bubbles.empty());
    EXPECT_EQ(state.chatBlink, 8);
}

// ------------------------------------------------------------ the line itself

TEST_F(ReceivedChat, OwnNicknameBecomesYouExceptInSystemLines) {
    struct Case {
        std::string nickname;
        std::string line;
        std::string shown;
    };
    const Case cases[] = {
        {"小明", "张三对小明说：小明你好", "张三对你说：你你好"},
        {"小明", "系统提示：小明进入了房间", "系统提示：小明进入了房间"},
        {"小明", "张三：小明明天见", "张三：你明天见"},
        {"Bob", "bob and Bob", "bob and 你"},
        {"", "一个空名字不会替换", "一个空名字不会替换"},
    };
    for (const Case& c : cases) {
        history.clear();
        targets.ownNickname = c.nickname;
        receive(2, c.line);
        ASSERT_EQ(history.listCount(), 1) << c.line;
        EXPECT_EQ(history.items()[0], c.shown + " ") << c.line;
    }
}

TEST_F(ReceivedChat, TheStripKeepsTheTwoNewestLines) {
    receive(2, "第一行");
    EXPECT_EQ(strip0.items(), std::vector<std::string>{"第一行"});
    EXPECT_EQ(strip1.listCount(), 0);
    receive(2, "第二行");
    receive(2, "第三行");
    EXPECT_EQ(strip0.items(), std::vector<std::string>{"第二行"});
    EXPECT_EQ(strip1.items(), std::vector<std::string>{"第三行"});
}

TEST_F(ReceivedChat, LongLinesAreCutOnTheStripAndWrappedInTheHistory) {
    std::string line;
    for (int i = 0; i < 60; ++i) line += "字";
    receive(2, line);
    std::string first50;
    for (int i = 0; i < 50; ++i) first50 += "字";
    EXPECT_EQ(strip0.items()[0], first50);
    EXPECT_GE(history.listCount(), 3);  // 120 display columns at 50 a line
    EXPECT_EQ(history.topIndex(), history.listCount() - 1);
}

TEST_F(ReceivedChat, FilterRunsOnEveryLine) {
    targets.filterChatText = [](std::string_view s) {
        std::string out(s);
        const std::string bad = "坏词";
        for (auto p = out.find(bad); p != std::string::npos; p = out.find(bad)) out.erase(p, bad.size());
        return out;
    };
    receive(2, "这是坏词一句");
    EXPECT_EQ(strip0.items()[0], "这是一句");
}

TEST_F(ReceivedChat, OnlyOtherSeatsFlashTheChatButton) {
    receive(4, "我自己说的");  // the own line echoed back: view 0
    EXPECT_EQ(state.chatBlink, 0);
    receive(0, "no seat");
    EXPECT_EQ(state.chatBlink, 0);
    receive(8, "对家");
    EXPECT_EQ(state.chatBlink, 8);
}

TEST_F(ReceivedChat, DecodesGbkUpToTheNulAndTheLastLeadByte) {
    WireMessage m = chatMessage(2, gbk("中文abc"));
    m[30] = 'x';  // after the NUL: not shown
    EXPECT_EQ(decodeChatLine(codec, m), "中文abc");

    WireMessage edge{};
    for (std::size_t i = ChatTextStart; i < 215; ++i) edge[i] = 'a';
    const std::string zhong = gbk("中");
    edge[215] = static_cast<std::uint8_t>(zhong[0]);
    edge[216] = static_cast<std::uint8_t>(zhong[1]);  // the trail lies past the 200 bytes
    edge[217] = 'z';
    const std::string line = decodeChatLine(codec, edge);
    EXPECT_EQ(line, std::string(199, 'a') + "中");
}

// Any bytes a server sends are handled without a crash or a throw.
TEST_F(ReceivedChat, HostileBytesAreHandled) {
    std::uint32_t seed = 12345;
    for (int round = 0; round < 500; ++round) {
        WireMessage m{};
        for (auto& b : m) {
            seed = seed * 1103515245u + 12345u;
            b = static_cast<std::uint8_t>(seed >> 16);
        }
        CmdInfo info = infoOf(m);
        EXPECT_NO_THROW(handleChat(state, targets, m, info));
        EXPECT_LE(info.seat, 15);
    }
}

}  // namespace
}  // namespace mj::link
