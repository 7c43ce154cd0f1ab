// The offer to the local seat, the seats' actions, the hand's special tiles
// with the consecutive-wild animation, and the reveal at the hand's end, fed
// through the dispatcher to a logged-in client whose resources hold a tiny
// picture under every number the table uses.
#include <algorithm>

#include "anigif/gif_builder.h"
#include "dispatch/dispatch_fixture.h"
#include "dispatch/dispatcher.h"
#include "dispatch/offers_and_tiles.h"
#include "link/general.h"
#include "link/hall_window.h"
#include "link/picture_resources.h"
#include "link/wire_codec.h"
#include "table/hand_reveal.h"
#include "table/table_fixture.h"
#include "table/tiles.h"

namespace mj::test {
namespace {

using platform::Millis;

// Two frames of `delayCs` hundredths each.
std::string twoFrameGif(int delayCs) {
    using anigif::testing::GifBuilder;
    const auto b = GifBuilder("GIF89a", 2, 2)
                       .screen({0xFF0000, 0x00FF00}, 1)
                       .gce(1, delayCs)
                       .image(0, 0, 2, 2, {0, 0, 0, 0}, 2)
                       .gce(1, delayCs)
                       .image(0, 0, 2, 2, {1, 1, 1, 1}, 2)
                       .end();
    return std::string(b.begin(), b.end());
}

class OffersAndTiles : public DispatchFixture {
protected:
    void SetUp() override {
        addTablePictures(sim);
        sim.resources.add(link::BombAnimationId, "GIF", twoFrameGif(100));
        sim.sound.files.insert("C:\\game\\mj\\..\\common\\music\\lianlai.wav");
        DispatchFixture::SetUp();
        // Seats: own bit 1 at the bottom, bit 8 left, 4 top, 2 right.
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) t().custom[static_cast<std::size_t>(v)].seat = seats[v];
    }

    table::TableState& t() { return client->table; }
    ui::Control& ctl(std::string_view name, int index = -1) { return control(*client, name, index); }
    ui::Control& tile(int i) { return ctl("MJ_Image", i); }
    int shownId(std::string_view name, int index = -1) { return shownResource(ctl(name, index)); }
    // The resource of tile picture `set` for `code`.
    static int tileResource(int set, int code) { return 201 + table::tilePicture(set, code); }

    static WireMessage offer(SeatBit seat, int mask, int lacksFan, int seconds) {
        WireMessage m = message(6, seat);
        setValue(m, 0, mask);
        setValue(m, 1, lacksFan);
        m[100] = static_cast<std::uint8_t>(seconds);
        return m;
    }
    static WireMessage action(SeatBit seat, int op, int t1, int t2, int t3) {
        WireMessage m = message(7, seat);
        setValue(m, 0, op);
        setValue(m, 1, t1);
        setValue(m, 2, t2);
        setValue(m, 3, t3);
        return m;
    }
    static WireMessage specialTiles(int lianLai, int wild, int pizi1, int mode, int pizi2, int offset) {
        WireMessage m = message(14, 0);
        setValue(m, 1, lianLai);
        setValue(m, 2, wild);
        setValue(m, 3, pizi1);
        m[16] = static_cast<std::uint8_t>(mode);
        m[22] = static_cast<std::uint8_t>(pizi2);
        m[24] = static_cast<std::uint8_t>(offset);
        return m;
    }
    static WireMessage reveal(SeatBit seat, std::array<int, 4> v, std::array<std::uint8_t, 5> wall = {}) {
        WireMessage m = message(15, seat);
        for (int k = 0; k < 4; ++k) setValue(m, k, v[static_cast<std::size_t>(k)]);
        std::copy(wall.begin(), wall.end(), m.begin() + 16);
        return m;
    }
    // Runs the dispatcher on the message at once, outside the tick.
    void dispatchNow(const WireMessage& m) {
        client->link.msg = m;
        client->link.info = link::decodeHeader(m);
        dispatch::dispatchServerCommand(*client);
    }
    int seen(int code) const {
        const int suit = link::bitToIndex(static_cast<std::uint8_t>(code >> 4));
        return client->dispatch.seenTile[static_cast<std::size_t>(suit)][static_cast<std::size_t>(code & 15)];
    }
    // Lays `codes` as the concealed hand of the view from slot 4 on, on tile
    // controls from `firstImage` on.
    void giveHand(int view, const std::vector<int>& codes, int firstImage) {
        auto& r = t().custom[static_cast<std::size_t>(view)];
        r.firstConcealed = 4;
        r.concealedCount = static_cast<int>(codes.size());
        for (std::size_t i = 0; i < codes.size(); ++i) {
            r.slots[4 + i] = {table::SlotConcealed, codes[i], firstImage + static_cast<int>(i)};
            tile(firstImage + static_cast<int>(i)).move(100 + 40 * static_cast<double>(i), 300, 30, 40);
        }
    }
};

// ---------------------------------------------------------------- offers

TEST_F(OffersAndTiles, AnOfferForAnotherSeatChangesNothing) {
    client->claims.offerAnswered = true;
    client->claims.actionState = 2;
    EXPECT_FALSE(receive(offer(4, OpPeng | OpHu, 0, 15)));
    EXPECT_TRUE(client->claims.offerAnswered);
    EXPECT_EQ(client->claims.actionState, 2);
    EXPECT_FALSE(client->claims.offerReceived);
    EXPECT_FALSE(client->link.turnCountdown.on);
    EXPECT_FALSE(ctl("Operation", 1).visible());
    EXPECT_FALSE(client->timeImg->visible());
}

TEST_F(OffersAndTiles, TheMaskArmsItsButtonsAndTheWinRuleReadsTheFanBit) {
    struct Case {
        int mask, lacksFan;
        std::array<int, 5> offered;
        int huState;
        bool zhahu;
        int opOptions;
    };
    const Case cases[] = {
        {OpHu, 1, {0, 0, 0, 2, 0}, 2, true, 0},
        {OpHu | OpPeng, 1, {0, 2, 0, 2, 0}, 3, true, 0},
        {OpHu, 0, {0, 0, 0, 2, 0}, 1, false, 0},
        {2, 0, {0, 0, 0, 0, 0}, 9, false, 0},  // bit 1 is no claim
        {OpMingGang | OpAnGang, 0, {0, 0, 2, 0, 0}, 9, false, 0x30},
        {OpPass | OpChi | OpSingleGang, 0, {2, 0, 2, 0, 2}, 9, false, 0x45},
    };
    const auto& pics = client->link.pictures.operationPic;
    const int armed[5] = {1, 4, 7, 10, 13};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.mask);
        client->claims = {};
        client->claims.huState = 9;
        client->claims.offerAnswered = true;
        client->claims.actionState = 2;
        client->frmZhahu.setVisible(true);
        for (int i = 0; i < 5; ++i) {
            ctl("Operation", i).setEnabled(false);
            ctl("Operation", i).setPicture({});
        }
        ASSERT_FALSE(receive(offer(OwnSeat, k.mask, k.lacksFan, 15)));
        EXPECT_EQ(client->claims.opOffered, k.offered);
        EXPECT_EQ(client->claims.huState, k.huState);
        EXPECT_EQ(client->claims.zhahuShown, k.zhahu);
        EXPECT_EQ(client->claims.opOptions, k.opOptions);
        EXPECT_FALSE(client->claims.offerAnswered);
        EXPECT_EQ(client->claims.actionState, 0);
        EXPECT_TRUE(client->claims.offerReceived);
        // The notice is hidden only by an offer with the win bit.
        EXPECT_EQ(client->frmZhahu.visible(), (k.mask & OpHu) == 0);
        for (int i = 0; i < 5; ++i) {
            const bool on = k.offered[static_cast<std::size_t>(i)] == 2;
            EXPECT_TRUE(ctl("Operation", i).visible()) << i;
            EXPECT_EQ(ctl("Operation", i).enabled(), on) << i;
            EXPECT_EQ(shownId("Operation", i), on ? std::stoi(pics[static_cast<std::size_t>(armed[i])]) : 0) << i;
        }
    }
}

TEST_F(OffersAndTiles, AnOfferStartsTheCountdownBesideTheWealthPicture) {
    struct Case {
        bool bossKey;
        int seconds, shown;
    };
    for (const Case k : {Case{false, 15, 15}, Case{false, 0, 0}, Case{true, 15, 1}}) {
        client->shell.bossKeyOn = k.bossKey;
        client->link.turnCountdown = {};
        ctl("Imgwealth").move(6, 288);
        dispatchNow(offer(OwnSeat, OpPass, 0, k.seconds));
        EXPECT_TRUE(client->link.turnCountdown.on);
        EXPECT_EQ(client->link.countdownSeconds, k.shown);
        const ui::Control& time = *client->timeImg;
        const ui::Control& number = *client->number;
        EXPECT_TRUE(time.visible());
        EXPECT_TRUE(number.visible());
        EXPECT_DOUBLE_EQ(time.left(), 6);
        EXPECT_DOUBLE_EQ(time.top(), 288 + 200);
        EXPECT_DOUBLE_EQ(number.left(), 6 + 48);
        EXPECT_DOUBLE_EQ(number.top(), 488 + 5);
        EXPECT_EQ(number.caption(), std::to_string(k.shown));
        EXPECT_EQ(number.foreColor(), (ui::Color{0, 255, 0}));
        EXPECT_GT(client->pic1->zIndexOf(number), client->pic1->zIndexOf(time));
    }
}

TEST_F(OffersAndTiles, AnOfferAllowsADiscardOnlyWithATileToDiscard) {
    for (int count : {14, 11, 8, 5, 2, 13, 12, 0}) {
        SCOPED_TRACE(count);
        t().canDiscard = false;
        t().custom[0].concealedCount = count;
        ASSERT_FALSE(receive(offer(OwnSeat, OpPass, 0, 10)));
        EXPECT_EQ(t().canDiscard, (count - 2) % 3 == 0);
    }
    t().canDiscard = true;
    t().custom[0].concealedCount = 13;
    ASSERT_FALSE(receive(offer(OwnSeat, OpPass, 0, 10)));
    EXPECT_TRUE(t().canDiscard) << "never cleared here";
}

// ---------------------------------------------------------------- actions

TEST_F(OffersAndTiles, ActionsCountTheFacesTheyShowAndReachTheDisplay) {
    struct Case {
        int op, t1, t2, t3;
        std::vector<std::pair<int, int>> counts;  // tile, expected seen count
    };
    const Case cases[] = {
        {OpChi, 0x22, 0x23, 0x21, {{0x22, 1}, {0x23, 1}, {0x21, 0}}},
        {OpPeng, 0x85, 0x85, 0x85, {{0x85, 2}}},
        {OpMingGang, 0x11, 0x11, 0x47, {{0x47, 3}, {0x11, 0}}},
        {OpSingleGang, 0, 0, 0x15, {{0x15, 1}}},
        {OpAnGang, 0x49, 0x49, 0x49, {{0x49, 0}}},
        {OpHu, 0x21, 0, 0, {{0x21, 0}}},
        {OpPass, 0, 0, 0, {}},
    };
    std::vector<std::tuple<int, int, std::array<int, 3>>> shown;
    client->showAction = [&](link::Client&, int op, int seat, const std::array<int, 3>& tiles) {
        shown.emplace_back(op, seat, tiles);
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.op);
        client->dispatch.seenTile = {};
        shown.clear();
        ASSERT_FALSE(receive(action(0x40 | 4, k.op, k.t1, k.t2, k.t3)));
        for (auto [code, n] : k.counts) EXPECT_EQ(seen(code), n) << std::hex << code;
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(std::get<0>(shown[0]), k.op);
        EXPECT_EQ(std::get<1>(shown[0]), 4) << "the seat's low nibble";
        EXPECT_EQ(std::get<2>(shown[0]), (std::array<int, 3>{k.t1, k.t2, k.t3}));
    }
    EXPECT_EQ(client->dispatch.droppedMessages, 0);
}

TEST_F(OffersAndTiles, TheSpectatorTableShowsActionsWithoutCounting) {
    client->link.launch.isSpectator = true;
    int player = 0, side = 0;
    client->showAction = [&](link::Client&, int, int, const std::array<int, 3>&) { ++player; };
    client->sideShowAction = [&](link::Client&, int op, int seat, const std::array<int, 3>& tiles) {
        ++side;
        EXPECT_EQ(op, OpMingGang);
        EXPECT_EQ(seat, 2);
        EXPECT_EQ(tiles[2], 0x47);
    };
    ASSERT_FALSE(receive(action(2, OpMingGang, 0, 0, 0x47)));
    EXPECT_EQ(side, 1);
    EXPECT_EQ(player, 0);
    EXPECT_EQ(seen(0x47), 0);
}

TEST_F(OffersAndTiles, AnActionWithATileThatHasNoCountIsDropped) {
    int shown = 0;
    client->showAction = [&](link::Client&, int, int, const std::array<int, 3>&) { ++shown; };
    struct Case {
        int op, t1, t2, t3;
    };
    // Rank 0, rank 10, a two-bit suit, a missing kong tile.
    for (const Case k : {Case{OpChi, 0x20, 0x21, 0x22}, Case{OpPeng, 0x21, 0x2A, 0}, Case{OpMingGang, 0, 0, 0x65},
                         Case{OpSingleGang, 0x21, 0, 0}}) {
        SCOPED_TRACE(k.op);
        const int dropped = client->dispatch.droppedMessages;
        ASSERT_FALSE(receive(action(1, k.op, k.t1, k.t2, k.t3)));
        EXPECT_EQ(client->dispatch.droppedMessages, dropped + 1);
    }
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(client->dispatch.seenTile, (std::array<std::array<int, 10>, 4>{}));
    EXPECT_TRUE(sim.process.logged("dropped command 7"));
}

// An action the client does not know is a seat's answer all the same: it
// counts towards the actions that let auto-play declare a win, and the
// seat's row is shown in order again, on either table.
TEST_F(OffersAndTiles, AnUnknownActionCountsAsAPassAndRestacksTheRow) {
    for (bool spectator : {false, true}) {
        for (int op : {0, 2, 3, 0x55}) {
            SCOPED_TRACE((spectator ? "spectator, op " : "player, op ") + std::to_string(op));
            client->link.launch.isSpectator = spectator;
            client->table.restoreDone = true;
            giveHand(1, {0x21, 0x22, 0x23, 0x24}, 40);
            for (int i = 40; i < 44; ++i) tile(i).setVisible(true);
            tile(40).bringToFront();  // out of order: the first tile over the others
            const int count = client->dispatch.actionCount;
            const int dropped = client->dispatch.droppedMessages;
            const int words = shownId("Words");
            ASSERT_FALSE(receive(action(8, op, 0x21, 0xEE, 0)));
            EXPECT_EQ(shownId("Words"), words);
            EXPECT_EQ(client->dispatch.droppedMessages, dropped);
            EXPECT_EQ(client->dispatch.actionCount, count + (spectator ? 0 : 1));
            for (int i = 40; i < 43; ++i)
                EXPECT_LT(client->pic1->zIndexOf(tile(i)), client->pic1->zIndexOf(tile(i + 1)));
            EXPECT_EQ(t().custom[1].concealedCount, 4);
            // Only the watching table shows a bubble for it, with no caption
            // of its own.
            EXPECT_EQ(ctl("Speak", 0).visible(), spectator && op > OpPass);
            ctl("Speak", 0).setVisible(false);
        }
    }
}

// ---------------------------------------------------------------- special tiles

TEST_F(OffersAndTiles, SpecialTilesAreStoredShownAndCounted) {
    struct Case {
        int mode;
        int pizi2Stored;
        bool secondShown;
    };
    for (const Case k : {Case{3, 0x29, true}, Case{0, 0x17, false}, Case{2, 0x17, false}, Case{4, 0x17, false}}) {
        SCOPED_TRACE(k.mode);
        client->dispatch.seenTile = {};
        t().piziTile2 = 0x17;
        t().wallStart = 40;
        ctl("imgPiZi", 1).setVisible(true);
        ASSERT_FALSE(receive(specialTiles(0, 0x85, 0x43, k.mode, 0x29, 3)));
        EXPECT_EQ(t().wildTile, 0x85);
        EXPECT_EQ(t().piziTile1, 0x43);
        EXPECT_EQ(t().specialMode, k.mode == 3 ? 3 : 2);
        EXPECT_EQ(t().piziTile2, k.pizi2Stored);
        EXPECT_EQ(t().indicatorOffset, 3);
        EXPECT_EQ(t().lianLaiCount, 0);
        // 筒 is suit index 3: the large 筒 5 is picture 144 + 27 + 4.
        EXPECT_EQ(shownId("QV_Image"), 201 + 175);
        EXPECT_TRUE(ctl("QV_Image").visible());
        EXPECT_EQ(shownId("imgPiZi", 0), tileResource(4, 0x43));
        EXPECT_TRUE(ctl("imgPiZi", 0).visible());
        EXPECT_EQ(ctl("imgPiZi", 1).visible(), k.secondShown);
        if (k.secondShown) {
            EXPECT_EQ(shownId("imgPiZi", 1), tileResource(4, 0x29));
        }
        EXPECT_EQ(shownId("QuVei"), static_cast<int>(link::DesignPicture::QuveiImg));
        // The turned tile lies 2 x 3 positions before the wall start.
        EXPECT_EQ(t().indicatorImg, 34);
        EXPECT_EQ(shownId("MJ_Image", 34), tileResource(1, 0x43));
        EXPECT_EQ(seen(0x43), 1);
    }
}

TEST_F(OffersAndTiles, SpecialTilesResortTheOwnHandOnlyOnThePlayerTable) {
    for (bool spectator : {false, true}) {
        SCOPED_TRACE(spectator);
        client->link.launch.isSpectator = spectator;
        giveHand(0, {0x21, 0x85, 0x45}, 60);
        ASSERT_FALSE(receive(specialTiles(0, 0x45, 0x43, 2, 0, 0)));
        const auto& s = t().custom[0].slots;
        const std::vector<int> order{s[4].tile, s[5].tile, s[6].tile};
        EXPECT_EQ(order, spectator ? (std::vector<int>{0x21, 0x85, 0x45}) : (std::vector<int>{0x45, 0x85, 0x21}));
        EXPECT_EQ(seen(0x43), spectator ? 2 : 1) << "counted in both modes";
    }
}

TEST_F(OffersAndTiles, ASpecialTileThatIsNoTileDropsTheMessage) {
    struct Case {
        int wild, pizi1, mode, pizi2;
    };
    for (const Case k : {Case{0x8A, 0x43, 2, 0}, Case{0x85, 0x40, 2, 0}, Case{0x00, 0x43, 2, 0},
                         Case{0x85, 0x43, 3, 0x00}, Case{0x85, 0x43, 3, 0x18}}) {
        const int dropped = client->dispatch.droppedMessages;
        ASSERT_FALSE(receive(specialTiles(0, k.wild, k.pizi1, k.mode, k.pizi2, 0)));
        EXPECT_EQ(client->dispatch.droppedMessages, dropped + 1);
    }
    EXPECT_EQ(t().wildTile, -1);
    EXPECT_FALSE(ctl("QV_Image").visible());
}

// The handler's run: from the first tick that dispatches it to its end.
struct HandlerRun {
    Millis start{-1}, end{-1};
};

class LianLai : public OffersAndTiles {
protected:
    // Dispatches the message, noting when its handler ran, and lets the
    // client run on for a while afterwards.
    HandlerRun dispatchTimed(const WireMessage& m) {
        HandlerRun r;
        auto inner = client->dispatchServerCommand;
        client->dispatchServerCommand = [&](link::Client& c) {
            const bool timed = c.link.info.cmd == m[wire::Cmd];
            if (timed) r.start = sim.clock.monotonic();
            inner(c);
            if (timed) r.end = sim.clock.monotonic();
        };
        deliver(m);
        EXPECT_FALSE(run(Millis(15000)));
        client->dispatchServerCommand = inner;
        return r;
    }
    anigif::GifPlayer& player() { return *client->bombPlayer; }
};

TEST_F(LianLai, TheAnimationPlaysOnceWithItsSoundAndTheHandlerWaitsForIt) {
    const auto sounds = sim.sound.log.size();
    const HandlerRun r = dispatchTimed(specialTiles(2, 0x85, 0x43, 2, 0, 0));
    ASSERT_GE(r.end, r.start);
    // Two frames of one second each, started after the first frame's decode.
    EXPECT_GE(r.end - r.start, Millis(2000));
    EXPECT_LT(r.end - r.start, Millis(2200));
    EXPECT_EQ(t().lianLaiCount, 2);
    EXPECT_EQ(shownId("QuVei"), static_cast<int>(link::DesignPicture::LianlaiImg));
    EXPECT_EQ(player().action(), 0);
    EXPECT_TRUE(ctl("bombPlayer").visible()) << "stays until the next hand's reset";
    EXPECT_FALSE(ctl("Img_bg").visible());
    EXPECT_TRUE(ctl("QV_Image").visible());
    const std::vector<std::string> tail(sim.sound.log.begin() + static_cast<long>(sounds), sim.sound.log.end());
    EXPECT_TRUE(std::any_of(tail.begin(), tail.end(),
                            [](const std::string& l) { return l.find("lianlai.wav") != std::string::npos; }));
}

TEST_F(LianLai, AnAnimationThatDoesNotStopIsCutAtTheLimit) {
    // 655 s a frame: far beyond any wait.
    sim.resources.add(link::BombAnimationId, "GIF", twoFrameGif(65535));
    const HandlerRun r = dispatchTimed(specialTiles(1, 0x85, 0x43, 2, 0, 0));
    EXPECT_GE(r.end - r.start, Millis(dispatch::LianLaiWaitLimitMs));
    EXPECT_LT(r.end - r.start, Millis(dispatch::LianLaiWaitLimitMs + 100));
    EXPECT_EQ(player().action(), 0) << "stopped";
    EXPECT_TRUE(sim.process.logged("time limit"));
    EXPECT_TRUE(ctl("QV_Image").visible()) << "the handler went on";
    EXPECT_EQ(seen(0x43), 1);
}

TEST_F(LianLai, AnAnimationThatCannotBeLoadedIsNotWaitedFor) {
    sim.resources.add(link::BombAnimationId, "GIF", "GIF89a broken");
    const HandlerRun r = dispatchTimed(specialTiles(1, 0x85, 0x43, 2, 0, 0));
    EXPECT_EQ(r.end, r.start);
    EXPECT_TRUE(sim.process.logged("consecutive-wild animation not played"));
    EXPECT_FALSE(ctl("Img_bg").visible());
    EXPECT_TRUE(ctl("QV_Image").visible());
    EXPECT_EQ(t().lianLaiCount, 1);
}

TEST_F(LianLai, AMessageArrivingDuringTheAnimationIsDispatchedAfterTheHandler) {
    std::vector<Millis> actions;
    client->showAction = [&](link::Client&, int, int, const std::array<int, 3>&) {
        actions.push_back(sim.clock.monotonic());
    };
    bool sent = false;
    auto arrive = sim.clock.createTimer(Millis(500), [&] {
        if (!std::exchange(sent, true)) deliver(action(2, OpPass, 0, 0, 0));
    });
    arrive->setEnabled(true);
    const HandlerRun r = dispatchTimed(specialTiles(2, 0x85, 0x43, 2, 0, 0));
    arrive.reset();
    ASSERT_EQ(actions.size(), 1u);
    EXPECT_GE(actions.front(), r.end) << "no message is dispatched inside the handler's wait";
    EXPECT_GT(r.end - r.start, Millis(2000));
}

TEST_F(LianLai, LeavingForTheHallDuringTheAnimationEndsTheHandlerWithoutRedrawingTheTable) {
    // The hall asks the client to leave one second into the animation.
    auto leaveNow = sim.clock.createTimer(Millis(1000), [&] {
        if (client->bombPlayer->action() == 1) client->mainForm.onWindowMessage(link::HallLeaveNow, 0, 0, false);
    });
    leaveNow->setEnabled(true);
    giveHand(0, {0x21, 0x85}, 60);
    const HandlerRun r = dispatchTimed(specialTiles(2, 0x85, 0x43, 2, 0, 0));
    leaveNow.reset();
    ASSERT_GE(r.start, Millis(0));
    EXPECT_LT(r.end - r.start, Millis(1500)) << "the wait ended with the leave";
    EXPECT_TRUE(sim.process.logged("the table was left"));
    EXPECT_EQ(sim.hall.count(link::HallIdle), 1);
    EXPECT_EQ(sim.socket.state(), platform::SocketState::Closed);
    EXPECT_FALSE(sim.process.endedWith.has_value());
    // Nothing of the abandoned hand is drawn on the idle table.
    EXPECT_FALSE(ctl("QV_Image").visible());
    EXPECT_FALSE(ctl("imgPiZi", 0).visible());
    EXPECT_FALSE(ctl("Img_bg").visible());
    EXPECT_EQ(player().action(), 0);
    EXPECT_EQ(seen(0x43), 0);
    EXPECT_EQ(t().custom[0].slots[4].tile, 0x21) << "the own hand was not re-sorted";
}

// ---------------------------------------------------------------- reveal

class Reveal : public OffersAndTiles {
protected:
    void SetUp() override {
        OffersAndTiles::SetUp();
        for (int v = 1; v <= 3; ++v) giveHand(v, std::vector<int>(13, 0), 34 * v);
        giveHand(0, {0x49, 0x21, 0x11}, 20);
        t().winnerView = -1;
    }
    const table::SeatRecord& seat(int v) { return t().custom[static_cast<std::size_t>(v)]; }
    // Sends the view's 13 tiles 0x21.. 0x29, 0x81.. 0x84 in four messages
    // (the last carrying its one tile in value 3).
    void sendThirteen(SeatBit bit) {
        ASSERT_FALSE(receive(reveal(bit, {0x24, 0x23, 0x22, 0x21})));
        ASSERT_FALSE(receive(reveal(bit, {0x28, 0x27, 0x26, 0x25})));
        ASSERT_FALSE(receive(reveal(bit, {0x83, 0x82, 0x81, 0x29})));
        ASSERT_FALSE(receive(reveal(bit, {0x11, 0x12, 0x13, 0x84})));
    }
};

TEST_F(Reveal, ThirteenTilesTakeFourMessagesAndOnlyTheLastSeatRevealsTheTable) {
    sendThirteen(8);  // view 1
    EXPECT_EQ(seat(1).concealedCount, 0);
    EXPECT_EQ(table::revealedCount(t(), 1), 13);
    EXPECT_EQ(t().revealedTiles[1][0], 0x21);
    EXPECT_EQ(t().revealedTiles[1][12], 0x84) << "only value 3 of the fourth message";
    EXPECT_EQ(t().revealedTiles[1][13], 0);
    EXPECT_EQ(seat(1).slots[4 + 12].tile, 0x84);
    sendThirteen(2);  // view 3
    EXPECT_EQ(table::shownTilePicture(*client, 34), -1) << "nothing turned before the last seat";
    sendThirteen(4);  // view 2
    for (int v = 1; v <= 3; ++v) {
        SCOPED_TRACE(v);
        const auto& r = seat(v);
        // The first twelve sorted (筒 before 条), the last revealed after them.
        EXPECT_EQ(r.slots[4].tile, 0x81);
        EXPECT_EQ(r.slots[7].tile, 0x21);
        EXPECT_EQ(r.slots[16].tile, 0x84);
        for (int i = 4; i <= 16; ++i) {
            const int img = r.slots[static_cast<std::size_t>(i)].img;
            EXPECT_EQ(table::shownTilePicture(*client, img),
                      table::tilePicture(v, r.slots[static_cast<std::size_t>(i)].tile));
            EXPECT_DOUBLE_EQ(tile(img).width(), t().tileW[static_cast<std::size_t>(v)]);
            EXPECT_DOUBLE_EQ(tile(img).height(), t().tileH[static_cast<std::size_t>(v)]);
        }
    }
    EXPECT_EQ(t().tileW[2], 36);
    EXPECT_EQ(t().tileH[2], 39);
    // The player's own tiles lie face up in set 0 and keep their size.
    for (int i = 0; i < 3; ++i) {
        const auto& s = seat(0).slots[static_cast<std::size_t>(4 + i)];
        EXPECT_EQ(table::shownTilePicture(*client, s.img), table::tilePicture(0, s.tile));
        EXPECT_DOUBLE_EQ(tile(s.img).width(), 30);
    }
}

TEST_F(Reveal, TheSpectatorTableSortsAndShrinksTheWatchedHand) {
    client->link.launch.isSpectator = true;
    for (SeatBit b : {8, 4, 2}) sendThirteen(b);
    const std::vector<int> order{seat(0).slots[4].tile, seat(0).slots[5].tile, seat(0).slots[6].tile};
    EXPECT_EQ(order, (std::vector<int>{0x49, 0x21, 0x11}));
    for (int i = 4; i < 7; ++i) {
        const int img = seat(0).slots[static_cast<std::size_t>(i)].img;
        EXPECT_EQ(table::shownTilePicture(*client, img),
                  table::tilePicture(4, seat(0).slots[static_cast<std::size_t>(i)].tile));
        EXPECT_DOUBLE_EQ(tile(img).width(), 48);
        EXPECT_DOUBLE_EQ(tile(img).height(), 60);
        EXPECT_DOUBLE_EQ(tile(img).top(), 300) << "keeps its place";
    }
}

TEST_F(Reveal, AWinOnADiscardLaysTheDiscardAfterTheWinnersHand) {
    t().winnerView = 2;
    t().curTileImg = 130;
    t().lastTileCode = 0x45;
    t().custom[2].handX = 820;
    t().custom[2].handY = 170;
    for (SeatBit b : {8, 4, 2}) sendThirteen(b);
    EXPECT_EQ(table::shownTilePicture(*client, 130), table::tilePicture(2, 0x45));
    EXPECT_DOUBLE_EQ(tile(130).left(), 820 - 36 * 17 - 5);
    EXPECT_DOUBLE_EQ(tile(130).top(), 170);
    EXPECT_DOUBLE_EQ(tile(130).width(), 36);

    // A self-drawn winner's count needs no further tile.
    tile(131).move(1, 1);
    t().curTileImg = 131;
    t().revealedTiles[1].fill(0);
    t().winnerView = 1;
    giveHand(1, std::vector<int>(11, 0), 34);
    ASSERT_FALSE(receive(reveal(8, {0x24, 0x23, 0x22, 0x21})));
    ASSERT_FALSE(receive(reveal(8, {0x28, 0x27, 0x26, 0x25})));
    ASSERT_FALSE(receive(reveal(8, {0, 0x83, 0x82, 0x81})));
    EXPECT_EQ(table::revealedCount(t(), 1), 11);
    EXPECT_DOUBLE_EQ(tile(131).left(), 1);
    EXPECT_EQ(table::shownTilePicture(*client, 131), -1);
}

TEST_F(Reveal, ASeatKeepsOnlyWhatItOwesAndZerosAreNoTiles) {
    giveHand(1, std::vector<int>(2, 0), 34);
    ASSERT_FALSE(receive(reveal(8, {0x21, 0x22, 0x23, 0x24})));
    EXPECT_EQ(table::revealedCount(t(), 1), 2);
    EXPECT_EQ(t().revealedTiles[1][0], 0x24);
    EXPECT_EQ(t().revealedTiles[1][1], 0x23);

    // A zero among the values does not take a place a later tile would fill.
    giveHand(3, std::vector<int>(3, 0), 102);
    ASSERT_FALSE(receive(reveal(2, {0, 0x21, 0, 0x22})));
    EXPECT_EQ(seat(3).concealedCount, 1);
    EXPECT_EQ(table::revealedCount(t(), 3), 2);
    ASSERT_FALSE(receive(reveal(2, {0, 0, 0, 0x25})));
    EXPECT_EQ(table::revealedCount(t(), 3), 3);
    EXPECT_EQ(t().revealedTiles[3][2], 0x25);

    // A message for the local seat stores nothing.
    ASSERT_FALSE(receive(reveal(1, {0x21, 0x22, 0x23, 0x24})));
    EXPECT_EQ(seat(0).concealedCount, 3);
}

TEST_F(Reveal, ASeatThatShowedNoTileIsSkipped) {
    // View 3 holds no concealed tile; the slot before its hand is a concealed
    // kong lying face down, which the reveal must leave so.
    giveHand(3, {}, 102);
    t().custom[3].slots[3] = {table::SlotAnGang, 0x45, 110};
    table::setTileImage(*client, 110, table::lyingBack(3));
    const auto sizeBefore = tile(110).width();
    sendThirteen(8);
    sendThirteen(4);
    EXPECT_EQ(shownId("MJ_Image", 110), 201 + table::lyingBack(3));
    EXPECT_DOUBLE_EQ(tile(110).width(), sizeBefore);
    EXPECT_FALSE(sim.process.logged("sort refused"));
    EXPECT_EQ(table::shownTilePicture(*client, 34 + 12), table::tilePicture(1, 0x84)) << "the table was revealed";
}

TEST_F(Reveal, AnInvalidRevealedTileDropsTheMessage) {
    for (std::array<int, 4> v : {std::array<int, 4>{0x21, 0x22, 0x2A, 0x21}, std::array<int, 4>{0x30, 0, 0, 0}}) {
        const int dropped = client->dispatch.droppedMessages;
        ASSERT_FALSE(receive(reveal(8, v)));
        EXPECT_EQ(client->dispatch.droppedMessages, dropped + 1);
    }
    ASSERT_FALSE(receive(reveal(8, {0, 0, 0, 0}, {0x15, 0x0F, 0, 0, 0})));
    EXPECT_EQ(t().wallPeekCount, 0);
    EXPECT_EQ(seat(1).concealedCount, 13);
}

TEST_F(Reveal, TheFirstListOfWallTilesIsKeptForTheClickReveal) {
    struct Case {
        std::array<std::uint8_t, 5> listed;
        int tail, head;
        int count;
        std::array<int, 5> tiles;
        std::vector<int> images;
    };
    const Case cases[] = {
        {{0x15, 0x21, 0, 0, 0}, 20, 50, 2, {0x15, 0x21, 0, 0, 0}, {20, 21}},
        {{0x15, 0x21, 0, 0, 0}, 21, 50, 2, {0x15, 0x21, 0, 0, 0}, {21, 18}},
        {{0x15, 0x21, 0x22, 0x23, 0x24}, 1, 135, 5, {0x15, 0x21, 0x22, 0x23, 0x24}, {1, 134, 135, 0, 1}},
        // Zeros among them close up: every tile keeps its place's position.
        {{0x15, 0, 0x21, 0x45, 0}, 20, 50, 3, {0x15, 0x21, 0x45, 0, 0}, {20, 21, 50}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.tail);
        t().wallPeekCount = 0;
        t().wallTail = k.tail;
        t().wallHead = k.head;
        ASSERT_FALSE(receive(reveal(1, {0, 0, 0, 0}, k.listed)));
        EXPECT_EQ(t().wallPeekCount, k.count);
        EXPECT_EQ(t().wallPeekTile, k.tiles);
        for (std::size_t i = 0; i < k.images.size(); ++i) EXPECT_EQ(t().wallPeekImg[i], k.images[i]) << i;
    }
    // Filled once per hand.
    ASSERT_FALSE(receive(reveal(1, {0, 0, 0, 0}, {0x11, 0x12, 0x13, 0, 0})));
    EXPECT_EQ(t().wallPeekTile[0], 0x15);
    EXPECT_EQ(t().wallPeekCount, 3);

    // A list without a tile leaves it free for the next one.
    t().wallPeekCount = 0;
    ASSERT_FALSE(receive(reveal(1, {0, 0, 0, 0}, {0, 0, 0, 0, 0})));
    EXPECT_EQ(t().wallPeekCount, 0);
    ASSERT_FALSE(receive(reveal(1, {0, 0, 0, 0}, {0x11, 0, 0, 0, 0})));
    EXPECT_EQ(t().wallPeekCount, 1);
}

}  // namespace
}  // namespace mj::test
