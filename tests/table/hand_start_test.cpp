// hand_start_test.cpp: the per-hand data reset and the hand-start shows on
// the virtual clock: order of steps, pictures, sounds and pauses.
#include <algorithm>
#include <set>

#include "table/hand_reset.h"
#include "table/hand_start_shows.h"
#include "table/table_fixture.h"

namespace mj::test {
namespace {

using platform::Millis;

class HandStart : public TableFixture {
protected:
    void SetUp() override {
        TableFixture::SetUp();
        for (const char* f : {"majiang.wav", "qupai.wav", "xipai.wav", "zhise.wav"})
            sim.sound.files.insert(std::string("C:\\game\\mj\\..\\common\\music\\") + f);
        startOn(1024, 768);
    }
    // Runs `look` on every millisecond of virtual time that window events are
    // pumped; blocking pauses do not pump.
    std::unique_ptr<platform::Timer> watch(std::function<void()> look) {
        auto t = sim.clock.createTimer(Millis(1), std::move(look));
        t->setEnabled(true);
        return t;
    }
    std::vector<std::string> soundsPlayedSince(std::size_t from) { return test::soundsPlayedSince(sim.sound, from); }
};

TEST_F(HandStart, RoundDataResetClearsTheHandButKeepsNamesSeatsAndTileCodes) {
    auto& t = c().table;
    for (int v = 0; v < 4; ++v) {
        auto& r = t.custom[static_cast<std::size_t>(v)];
        r.name = "p" + std::to_string(v);
        r.seat = static_cast<SeatBit>(1 << v);
        r.handGold = 12;
        r.isBanker = -1;
        r.firstConcealed = 10;
        r.concealedCount = 5;
        r.baoGangs = 2;
        r.meldEnd = 9;
        r.pizi1Count = 3;
        r.handX = 77;
        r.slots[6] = {table::SlotPeng, 0x25, 17};
    }
    t.wildTile = 0x25;
    t.drawFromHead = false;
    t.canDiscard = true;
    t.winnerView = 2;
    t.discardImg3Count = 4;
    t.singleGangImg[1][3] = 9;
    c().link.inGame = true;
    c().resetRoundData(c());
    c().newGameResetRoundData(c());
    for (int v = 0; v < 4; ++v) {
        const auto& r = t.custom[static_cast<std::size_t>(v)];
        EXPECT_EQ(r.name, "p" + std::to_string(v));
        EXPECT_EQ(r.seat, 1 << v);
        EXPECT_EQ(r.handGold, 0);
        EXPECT_EQ(r.isBanker, 0);
        EXPECT_EQ(r.firstConcealed, 4);
        EXPECT_EQ(r.concealedCount, 0);
        EXPECT_EQ(r.baoGangs, 0);
        EXPECT_EQ(r.meldEnd, v == 0 ? 3 : 4);
        EXPECT_EQ(r.pizi1Count, 3);
        EXPECT_EQ(r.handX, 77);
        EXPECT_EQ(r.slots[6].state, table::SlotEmpty);
        EXPECT_EQ(r.slots[6].img, -1);
        EXPECT_EQ(r.slots[6].tile, 0x25);
    }
    EXPECT_EQ(t.wildTile, -1);
    EXPECT_TRUE(t.drawFromHead);
    EXPECT_FALSE(t.canDiscard);
    EXPECT_EQ(t.winnerView, -1);
    EXPECT_EQ(t.discardImg3Count, 0);
    EXPECT_EQ(t.singleGangImg[1][3], 0);
    EXPECT_FALSE(c().link.inGame);
}

TEST_F(HandStart, HandDisplayResetHidesTheHandAndKeepsTheSpectatorsBankerLabel) {
    for (bool spectator : {false, true}) {
        c().link.launch.isSpectator = spectator;
        ctl("Zhuang").setCaption("庄");
        table::setTileImage(c(), 9, 3);
        ctl("Operation", 2).setVisible(true);
        ctl("Operation", 2).setEnabled(true);
        ctl("QV_Image").setVisible(true);
        c().table.curTileImg = 9;
        c().link.receivedText.seatName[2] = "李四";
        c().resetHandDisplay(c());
        EXPECT_EQ(c().link.receivedText.seatName[2], "");
        EXPECT_FALSE(tile(9).visible());
        EXPECT_FALSE(ctl("Operation", 2).visible());
        EXPECT_FALSE(ctl("Operation", 2).enabled());
        EXPECT_FALSE(ctl("QV_Image").visible());
        EXPECT_EQ(c().table.curTileImg, -1);
        EXPECT_EQ(c().table.tileW[1], 48);
        EXPECT_EQ(ctl("Zhuang").caption(), spectator ? "庄" : "");
    }
}

TEST_F(HandStart, SeatDrawTurnsUpTheOwnWindAmongFourBacksInTheMiddle) {
    struct Case {
        int seatIndex, picture;
    };
    for (const Case k : {Case{3, 144}, Case{0, 147}, Case{1, 146}}) {
        c().resetTableForHand(c());
        const auto sounds = sim.sound.log.size();
        const auto slept = sim.clock.totalSlept();
        std::vector<int> shownAtStart;
        table::showSeatDraw(c(), k.seatIndex);
        EXPECT_EQ(soundsPlayedSince(sounds), std::vector<std::string>{"qupai.wav"});
        EXPECT_EQ(sim.clock.totalSlept() - slept, Millis(1000)) << "two blocking half seconds";
        int turned = 0;
        for (int i = 0; i < 4; ++i) {
            EXPECT_FALSE(tile(i).visible());
            EXPECT_DOUBLE_EQ(tile(i).left(), 512 - 2 * 36 + i * 36);
            EXPECT_DOUBLE_EQ(tile(i).top(), 384 - 50);
            const int id = shownId("MJ_Image", i);
            if (id == 201 + k.picture)
                ++turned;
            else
                EXPECT_EQ(id, 201 + 7) << "a standing back";
        }
        EXPECT_EQ(turned, 1);
    }
    const auto logs = sim.process.logLines.size();
    table::showSeatDraw(c(), 4);
    EXPECT_EQ(sim.process.logLines.size(), logs + 1);
}

TEST_F(HandStart, CompassFacesTheOwnSeat) {
    struct Case {
        SeatBit seat;
        int gif;
        SeatBit after;
    };
    for (const Case k : {Case{8, 129, 8}, Case{1, 126, 1}, Case{0, 126, 1}, Case{4, 128, 4}}) {
        c().table.custom[0].seat = k.seat;
        ctl("ZhiNan").setVisible(false);
        table::showCompass(c());
        EXPECT_EQ(shownId("ZhiNan"), k.gif);
        EXPECT_TRUE(ctl("ZhiNan").visible());
        EXPECT_EQ(c().table.custom[0].seat, k.after);
    }
    c().table.custom[0].seat = 0x40;
    table::showCompass(c());
    EXPECT_TRUE(sim.process.logged("compass refused"));
}

TEST_F(HandStart, WallGrowsOneStackPerSideAtEachPumpingStep) {
    c().resetTableForHand(c());
    c().table.anGangCount = 3;
    c().table.wallPeekImg[2] = 7;
    ctl("ImgProp", 0).sendToBack();
    std::vector<int> growth;
    auto w = watch([&] {
        int shown = 0;
        for (int i = 0; i < 136; ++i) shown += tile(i).visible() ? 1 : 0;
        if (growth.empty() || growth.back() != shown) growth.push_back(shown);
    });
    const auto sounds = sim.sound.log.size();
    const auto posted = sim.hall.count(table::HallHandStarted);
    table::showWallBuilding(c());
    w.reset();
    EXPECT_EQ(sim.hall.count(table::HallHandStarted), posted + 1);
    EXPECT_EQ(c().link.hallHwnd, HallWindow);
    EXPECT_EQ(soundsPlayedSince(sounds), std::vector<std::string>{"xipai.wav"});
    std::vector<int> expected;
    for (int k = 1; k <= 16; ++k) expected.push_back(8 * (k + 1));
    EXPECT_EQ(growth, expected) << "stack 0 and one more stack per side before each pause";
    for (int i = 0; i < 136; ++i) {
        EXPECT_TRUE(tile(i).visible()) << i;
        EXPECT_EQ(shownId("MJ_Image", i), 201 + table::lyingBack(i / 34)) << i;
        EXPECT_GT(zOf(ctl("ImgProp", 0)), zOf(tile(i))) << "boxes over the wall";
    }
    EXPECT_EQ(c().table.anGangCount, 0);
    EXPECT_EQ(c().table.wallPeekImg[2], 0);
}

TEST_F(HandStart, WallBuildingWithoutAHallWindowPostsNothing) {
    sim.hall.windows.clear();
    c().resetTableForHand(c());
    table::showWallBuilding(c());
    EXPECT_EQ(c().link.hallHwnd, 0u);
    EXPECT_EQ(sim.hall.count(table::HallHandStarted), 0);
    EXPECT_TRUE(tile(135).visible());
}

TEST_F(HandStart, DiceTumbleThenShowTheServersFacesTwice) {
    std::vector<std::pair<int, int>> frames;
    auto w = watch([&] {
        const auto& d0 = ctl("Sai_Image", 0);
        const auto& d1 = ctl("Sai_Image", 1);
        if (!d0.visible()) return;
        const std::pair<int, int> f{d0.picture()->resourceId, d1.picture()->resourceId};
        if (frames.empty() || frames.back() != f) frames.push_back(f);
    });
    std::array<int, 4> dice = {0, 3, 6, 0};
    const auto sounds = sim.sound.log.size();
    const auto slept = sim.clock.totalSlept();
    table::rollDice(c(), 2, dice);
    w.reset();
    EXPECT_EQ(dice, (std::array<int, 4>{1, 3, 6, 1}));
    EXPECT_EQ(soundsPlayedSince(sounds), (std::vector<std::string>{"zhise.wav", "zhise.wav"}));
    EXPECT_EQ(sim.clock.totalSlept() - slept, Millis(1800)) << "three blocking pauses of 0.6 s";
    EXPECT_FALSE(ctl("Sai_Image", 0).visible());
    EXPECT_FALSE(ctl("Sai_Image", 1).visible());
    EXPECT_DOUBLE_EQ(ctl("Sai_Image", 0).left(), 400);
    EXPECT_DOUBLE_EQ(ctl("Sai_Image", 1).left(), 560);
    EXPECT_DOUBLE_EQ(ctl("Sai_Image", 1).top(), 284);
    // Faces are dice pictures 0-5 (161-166), tumbling frames 6-15 (167-176).
    const auto first = std::find(frames.begin(), frames.end(), std::pair{161, 163});
    const auto second = std::find(frames.begin(), frames.end(), std::pair{166, 161});
    ASSERT_NE(first, frames.end());
    ASSERT_NE(second, frames.end());
    EXPECT_LT(first, second);
    EXPECT_EQ(second, frames.end() - 1);
    for (auto f = frames.begin(); f != frames.end(); ++f) {
        if (f == first || f == second) continue;
        EXPECT_GE(f->first, 167);
        EXPECT_LE(f->second, 176);
    }
    const auto tumbles = first - frames.begin();
    // 20 to 24 tumbling frames before the faces (a repeated pair counts once).
    EXPECT_GE(tumbles, 15);
    EXPECT_LE(tumbles, 24);
}

TEST_F(HandStart, DieValuesOutsideTheFacesShowTheNearestFaceAndAreLogged) {
    std::array<int, 4> dice = {9, 2, 1, 200};
    table::rollDice(c(), 0, dice);
    EXPECT_EQ(shownId("Sai_Image", 1), 161 + 5);
    EXPECT_TRUE(sim.process.logged("die value 200"));
    EXPECT_EQ(dice, (std::array<int, 4>{9, 2, 1, 200}));
}

TEST_F(HandStart, IndicatorTileTurnsUpTheFirstPiziInItsSidesSet) {
    struct Case {
        int wallStart, offset, pizi1, position, picture;
    };
    const Case cases[] = {
        {10, 3, 0x15, 4, 4}, {2, 5, 0x21, 128, 108 + 9}, {80, 4, 0x15, 72, 76},
        {0, 0, 0x89, 0, 35}, {5, 70, 0x11, 1, 0},        {5, 1000, 0x11, 45, 36},
    };
    c().resetTableForHand(c());
    for (const Case& k : cases) {
        c().table.wallStart = k.wallStart;
        c().table.indicatorOffset = k.offset;
        c().table.piziTile1 = k.pizi1;
        const double left = tile(k.position).left();
        table::turnIndicatorTile(c());
        EXPECT_EQ(c().table.indicatorImg, k.position);
        EXPECT_EQ(shownId("MJ_Image", k.position), 201 + k.picture) << k.position;
        EXPECT_TRUE(tile(k.position).visible());
        EXPECT_DOUBLE_EQ(tile(k.position).left(), left) << "stays at its wall place";
    }
    c().table.piziTile1 = 0;
    table::turnIndicatorTile(c());
    EXPECT_TRUE(sim.process.logged("indicator tile refused"));
}

}  // namespace
}  // namespace mj::test
