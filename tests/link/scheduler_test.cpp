// The 50 ms tick: send and receive pacing, holds, countdowns, the watchdog and
// the keep-alive.
#include "link/client_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class TickTest : public ClientFixture {
protected:
    std::vector<int> dispatched;
    void SetUp() override {
        ClientFixture::SetUp();
        client->dispatchServerCommand = [this](link::Client& c) { dispatched.push_back(c.link.info.cmd); };
        ASSERT_FALSE(start("zhang$pw$127.0.0.1$9000$"));
        sim.socket.acceptConnection();
        ASSERT_FALSE(run(Millis(200)));  // the login goes out
        sim.socket.clearSent();
    }
};

TEST_F(TickTest, BurstIsDispatchedOnePerTickStartingTwoTicksAfterArrival) {
    std::vector<std::uint8_t> burst;
    for (std::uint8_t k = 1; k <= 5; ++k) {
        const auto m = message(static_cast<std::uint8_t>(30 + k));
        burst.insert(burst.end(), m.begin(), m.end());
    }
    sim.socket.deliver(burst);
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_TRUE(dispatched.empty());
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(dispatched, (std::vector<int>{31}));
    ASSERT_FALSE(run(Millis(200)));
    EXPECT_EQ(dispatched, (std::vector<int>{31, 32, 33, 34, 35}));
}

TEST_F(TickTest, MessageSplitOverEventsIsDecodedWhenWhole) {
    const auto m = message(33);
    sim.socket.deliver(std::span(m).first(100));
    ASSERT_FALSE(run(Millis(300)));
    EXPECT_TRUE(dispatched.empty());
    sim.socket.deliver(std::span(m).subspan(100));
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_EQ(dispatched, std::vector<int>{33});
}

TEST_F(TickTest, SteadyStreamDoesNotStarveTheDecoder) {
    // A message every 40 ms for two seconds: faster than the 100 ms pause the
    // decoder waits for after an arrival.
    for (int i = 0; i < 50; ++i) {
        deliver(message(40));
        ASSERT_FALSE(run(Millis(40)));
    }
    EXPECT_GE(dispatched.size(), 35u);
}

TEST_F(TickTest, EchoBytesOfTheLastDispatchedMessageAreStampedExceptFromReconnectReply) {
    auto m = message(33);
    m[260] = 0xAB;
    m[261] = 0xCD;
    deliver(m);
    ASSERT_FALSE(run(Millis(100)));
    auto r = message(29);
    r[260] = 0x11;
    deliver(r);
    ASSERT_FALSE(run(Millis(100)));
    CmdInfo ka;
    ka.cmd = 24;
    client->sendCommand(ka);
    ASSERT_FALSE(run(Millis(50)));
    const auto sent = sim.socket.sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][260], 0xAB);
    EXPECT_EQ(sent[0][261], 0xCD);
}

TEST_F(TickTest, OneMessageSentPerTickAndKeptWhileDisconnected) {
    for (int i = 0; i < 3; ++i) {
        CmdInfo c;
        c.cmd = 2;
        c.value[3] = static_cast<std::int16_t>(0x4000 | (0x21 + i));
        client->sendCommand(c);
    }
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(sentCommands().size(), 1u);
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_EQ(sentCommands().size(), 3u);

    sim.socket.peerClose();
    CmdInfo c;
    c.cmd = 2;
    client->sendCommand(c);
    ASSERT_FALSE(run(Millis(200)));
    EXPECT_EQ(sentCommands().size(), 3u);
    EXPECT_TRUE(client->link.sendRing.hasMessage());
}

TEST_F(TickTest, FullSendRingRefusesNewMessagesAndKeepsTheWaitingOnes) {
    sim.socket.peerClose();
    for (int i = 0; i < 130; ++i) {
        CmdInfo c;
        c.cmd = 2;
        c.value[0] = static_cast<std::int16_t>(i);
        client->sendCommand(c);
    }
    EXPECT_EQ(client->link.sendRingRefused, 3);
    auto first = client->link.sendRing.take();
    ASSERT_TRUE(first);
    EXPECT_EQ((*first)[9], 0);
}

TEST_F(TickTest, ChatIsCutToOneHundredCharactersAndEmptyChatQueuesNothing) {
    CmdInfo chat;
    chat.cmd = 19;
    client->sendCommand(chat);
    EXPECT_FALSE(client->link.sendRing.hasMessage());

    // A single-byte line shows a missing cut: its 101st byte would still fit
    // the 200 bytes of text.
    struct Case {
        const char* character;
        std::size_t textBytes;  // the first 100 characters in GBK
    };
    for (const Case& k : {Case{"a", 100}, Case{"好", 200}}) {
        SCOPED_TRACE(k.character);
        std::string first100;
        for (int i = 0; i < 100; ++i) first100 += k.character;
        client->link.chatOut = first100 + k.character;
        client->sendCommand(chat);
        EXPECT_TRUE(client->link.chatOut.empty());
        const auto m = *client->link.sendRing.take();
        const std::string text(reinterpret_cast<const char*>(&m[16]), k.textBytes);
        EXPECT_EQ(sim.codec.fromGbk(text), first100);
        for (std::size_t i = 16 + k.textBytes; i < 216; ++i) ASSERT_EQ(m[i], 0) << "byte " << i;
    }
}

TEST_F(TickTest, HeldPropMessageIsKeptBackOnce) {
    client->link.holdCigaretteMsg = true;
    for (int i = 0; i < 2; ++i) {
        WireMessage m = message(45);
        m[8] = 1032 / 256;
        m[9] = 1032 % 256;
        m[20] = static_cast<std::uint8_t>(i + 1);
        client->sendRawMessage(m);
    }
    WireMessage high = message(45);
    high[8] = 0x80;
    client->sendRawMessage(high);
    ASSERT_FALSE(run(Millis(200)));
    const auto sent = sim.socket.sentMessages();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0][20], 2);
    EXPECT_EQ(sent[1][8], 0x80);
    ASSERT_TRUE(client->link.heldCigaretteMsg);
    EXPECT_EQ((*client->link.heldCigaretteMsg)[20], 1);
}

TEST_F(TickTest, HeldQuitMessageBlocksLaterMessagesAndStartsKeepAlive) {
    client->table.custom[0].seat = 1;
    client->link.holdQuitMsg = true;
    deliver(message(21, 4));
    deliver(message(33));
    ASSERT_FALSE(run(Millis(500)));
    EXPECT_TRUE(dispatched.empty());
    EXPECT_TRUE(client->timerKeepAlive->enabled());
    client->link.holdQuitMsg = false;
    ASSERT_FALSE(run(Millis(200)));
    EXPECT_EQ(dispatched, (std::vector<int>{21, 33}));
}

TEST_F(TickTest, KeepAliveEveryFiveSecondsWithOwnSeat) {
    client->table.custom[0].seat = 2;
    client->timerKeepAlive->setEnabled(true);
    ASSERT_FALSE(run(Millis(10100)));
    const auto sent = sim.socket.sentMessages();
    ASSERT_EQ(sent.size(), 2u);
    for (const auto& m : sent) {
        EXPECT_EQ(m[3], 24);
        EXPECT_EQ(m[6], 2);
        for (std::size_t i = 8; i < 16; ++i) EXPECT_EQ(m[i], 0);
    }
}

TEST_F(TickTest, ReceiveRingOverflowRestoresTheHallAndEnds) {
    client->link.recvRing.setIndexes(1000, 999);
    const std::uint8_t byte = 1;
    EXPECT_THROW(sim.socket.deliver(std::span(&byte, 1)), platform::ProcessEnded);
    EXPECT_EQ(sim.hall.restored.size(), 1u);
}

TEST_F(TickTest, WatchdogResetsTheSessionAfter240SecondsWithoutADispatch) {
    int resets = 0;
    client->resetSession = [&](link::Client&) { ++resets; };
    deliver(message(32));
    ASSERT_FALSE(run(Millis(100)));
    client->link.inGame = true;
    // 2400 receive-task runs without a dispatched message: two ticks a run.
    ASSERT_FALSE(run(Millis(2399 * 100)));
    EXPECT_EQ(resets, 0);
    ASSERT_FALSE(run(Millis(100)));
    EXPECT_EQ(resets, 1);
    EXPECT_EQ(client->sysmsg[0]->items(), std::vector<std::string>{"已经与服务器断开连接，请重新入座！"});
    EXPECT_EQ(sim.hall.restored.size(), 1u);
    EXPECT_EQ(client->mainForm.windowState(), ui::Form::WindowState::Minimized);
}

TEST_F(TickTest, WatchdogDropsAHeldMessageInsteadOfDispatchingItIntoTheFreshSession) {
    client->resetSession = [](link::Client& c) { c.link.holdQuitMsg = false; };
    client->table.custom[0].seat = 1;
    deliver(message(32));
    ASSERT_FALSE(run(Millis(100)));
    client->link.inGame = true;
    client->link.holdQuitMsg = true;
    deliver(message(21, 2));
    ASSERT_FALSE(run(Millis(2401 * 100)));
    EXPECT_EQ(dispatched, std::vector<int>{32});
    EXPECT_FALSE(client->link.recvRing.hasMessage());
}

TEST_F(TickTest, WatchdogEndsWhenTheHallIsGone) {
    deliver(message(32));
    ASSERT_FALSE(run(Millis(100)));
    client->link.inGame = true;
    sim.hall.windows.clear();
    EXPECT_EQ(run(Millis(2400 * 100 + 100)), 0);
}

class CountdownTest : public TickTest {
protected:
    int autoPlays = 0, defaults = 0, bossKeys = 0;
    void SetUp() override {
        TickTest::SetUp();
        client->autoPlay = [this](link::Client&) { ++autoPlays; };
        client->timeoutDefaultAction = [this](link::Client&) { ++defaults; };
        client->pic1KeyDown = [this](link::Client&, int& key, int) { bossKeys += key == 112; };
        client->link.loggedIn = true;
    }
    void startTurn(int seconds) {
        client->link.countdownSeconds = seconds;
        client->link.turnCountdown.on = true;
        client->link.turnTickStart = sim.clock.secondsSinceMidnight();
    }
};

TEST_F(CountdownTest, TimeOutActsOnceAnOfferWasReceived) {
    client->claims.offerReceived = true;
    startTurn(3);
    ASSERT_FALSE(run(Millis(2100)));
    EXPECT_EQ(client->number->caption(), "1");
    EXPECT_EQ(client->number->foreColor(), (ui::Color{255, 0, 0}));
    ASSERT_FALSE(run(Millis(2000)));
    EXPECT_EQ(defaults, 1);
    EXPECT_EQ(autoPlays, 0);
    EXPECT_EQ(client->claims.actionState, 3);
    EXPECT_FALSE(client->link.turnCountdown.on);
    EXPECT_EQ(client->link.countdownSeconds, client->link.countdownStart);
}

TEST_F(CountdownTest, WithoutOfferOrWhileActingNothingIsActed) {
    startTurn(1);
    ASSERT_FALSE(run(Millis(3000)));
    EXPECT_EQ(defaults + autoPlays, 0);
    EXPECT_FALSE(client->link.turnCountdown.on);

    client->claims.offerReceived = true;
    client->claims.actionState = 2;
    startTurn(0);
    ASSERT_FALSE(run(Millis(3000)));
    EXPECT_EQ(defaults + autoPlays, 0);
    EXPECT_TRUE(client->link.turnCountdown.on);
}

TEST_F(CountdownTest, SecondTimeOutPressesTheBossKeyWhenTheLimitIsTwo) {
    client->claims.offerReceived = true;
    client->link.timeoutLimit = 2;
    client->link.autoPlayOn = true;
    for (int i = 0; i < 2; ++i) {
        client->claims.actionState = 0;
        startTurn(0);
        ASSERT_FALSE(run(Millis(1100)));
    }
    EXPECT_EQ(bossKeys, 1);
    EXPECT_EQ(autoPlays, 2);
}

TEST_F(CountdownTest, CountdownAdvancesAcrossMidnight) {
    sim.clock.setMidnightOffset(Millis(24LL * 3600 * 1000) - sim.clock.monotonic() - Millis(300));
    client->claims.offerReceived = true;
    startTurn(2);
    ASSERT_FALSE(run(Millis(2500)));
    EXPECT_EQ(defaults, 1);
}

TEST_F(CountdownTest, ReadyCountdownSendsReadyEvenWhenAlreadySent) {
    client->table.custom[0].seat = 4;
    client->link.readySent = true;
    client->link.countdownSeconds = 1;
    client->link.readyCountdown.on = true;
    client->link.readyTickStart = sim.clock.secondsSinceMidnight();
    ASSERT_FALSE(run(Millis(2500)));
    const auto sent = sim.socket.sentMessages();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0][3], 16);
    EXPECT_EQ(sent[0][6], 4);
    EXPECT_EQ(sent[0][14], 0);
    EXPECT_EQ(sent[0][15], 1);
    EXPECT_FALSE(client->link.readyCountdown.on);
}

// The countdown's own opening gives the seats up to the server.
TEST_F(CountdownTest, ReadyCountdownOpensAPendingSeatChangeWithoutSeats) {
    for (int v = 0; v < 4; ++v) client->table.custom[static_cast<std::size_t>(v)].seat = static_cast<SeatBit>(1 << v);
    auto& s = client->dispatch.seating;
    s.shuffleWanted = s.randomSeatOn = true;
    client->link.countdownSeconds = 1;
    client->link.readyCountdown.on = true;
    client->link.readyTickStart = sim.clock.secondsSinceMidnight();
    ASSERT_FALSE(run(Millis(2500)));
    EXPECT_TRUE(s.shuffling);
    EXPECT_FALSE(s.shuffleWanted);
    for (const auto& seat : client->table.custom) EXPECT_EQ(seat.seat, 0);
    EXPECT_EQ(sim.socket.sentMessages().at(0)[6], 1) << "the ready message still carries the seat";
}

TEST_F(TickTest, ExceptionInATaskTakesTheFatalPath) {
    client->dispatchServerCommand = [](link::Client&) { throw std::runtime_error("boom"); };
    deliver(message(33));
    EXPECT_EQ(run(Millis(200)), 1);
    EXPECT_TRUE(sim.process.logged("fatal: dispatch: boom"));
    EXPECT_EQ(sim.hall.restored.size(), 1u);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(TickTest, DecoderTakesSeatNamesAndChatLinesBeforeDispatch) {
    client->table.custom[0].seat = 1;
    WireMessage name = message(3, 4);
    const std::string li = sim.codec.toGbk("李四");
    std::copy(li.begin(), li.end(), name.begin() + 16);
    deliver(name);
    WireMessage chat = message(19, 2);
    const std::string text = sim.codec.toGbk("大家好");
    std::copy(text.begin(), text.end(), chat.begin() + 16);
    deliver(chat);
    ASSERT_FALSE(run(Millis(200)));
    EXPECT_EQ(dispatched, (std::vector<int>{3, 19}));
    EXPECT_EQ(client->link.receivedText.seatName[2], "李四");
    ASSERT_FALSE(client->talkText1->items().empty());
    EXPECT_NE(client->talkText1->items().back().find("大家好"), std::string::npos);
    EXPECT_EQ(client->link.receivedText.chatBlink, 8);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(ClientFixture, LostLinkWithoutAKnownHallStartsTheReconnectInsteadOfEnding) {
    int reconnects = 0;
    client->startReconnect = [&](link::Client&) { ++reconnects; };
    ASSERT_FALSE(start("a$b$h$1$r$0$$0$$$1$$w$0$0$"));
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(300)));
    client->link.canReconnect = true;
    sim.socket.peerClose();
    ASSERT_FALSE(run(platform::Millis(2500)));
    EXPECT_EQ(reconnects, 1);
    EXPECT_FALSE(client->link.loggedIn);
}

TEST_F(ClientFixture, LostLinkWithTheHallGoneEnds) {
    ASSERT_FALSE(start("a$b$h$1$"));
    sim.socket.acceptConnection();
    ASSERT_FALSE(run(platform::Millis(300)));
    sim.hall.windows.clear();
    sim.socket.peerClose();
    EXPECT_EQ(run(platform::Millis(2500)), 0);
}

}  // namespace
}  // namespace mj::test

namespace mj::test {
namespace {

TEST_F(TickTest, OwnVideoIsShownFourTicksAfterTheCameraStarted) {
    std::vector<std::pair<bool, bool>> calls;
    client->showOwnVideo = [&](link::Client&, bool running, bool hide) { calls.emplace_back(running, hide); };
    client->video.ownVideoOn = true;
    client->video.ownVideoWait = true;
    client->video.ownVideoTicks = 0;
    ASSERT_FALSE(run(Millis(150)));
    EXPECT_TRUE(calls.empty());
    ASSERT_FALSE(run(Millis(50)));
    EXPECT_EQ(calls, (std::vector<std::pair<bool, bool>>{{true, false}}));
    EXPECT_FALSE(client->video.ownVideoWait);
    ASSERT_FALSE(run(Millis(500)));
    EXPECT_EQ(calls.size(), 1u);
}

}  // namespace
}  // namespace mj::test
