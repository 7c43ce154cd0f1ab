// The table of a running hand laid out again from the restore messages: the
// meld split and the wall as tables of cases, a restored seat's slots and
// images, bad series, and a hand whose link drops at every message boundary,
// restored and compared with the same hand played without a break.
#include <algorithm>
#include <set>
#include <sstream>

#include "dispatch/dispatch_fixture.h"
#include "link/general.h"
#include "link/hall_window.h"
#include "table/discards.h"
#include "table/table_check.h"
#include "table/table_fixture.h"
#include "table/table_restore.h"
#include "table/tiles.h"

namespace mj::test {
namespace {

using platform::Millis;

constexpr int Wan(int r) { return 0x40 + r; }
constexpr int Tong(int r) { return 0x80 + r; }
constexpr int Tiao(int r) { return 0x20 + r; }
constexpr int Feng(int r) { return 0x10 + r; }

void setWord(WireMessage& m, int k, int v) {
    m[8 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    m[9 + 2 * static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v & 0xFF);
}

WireMessage command(int cmd, int seat) {
    WireMessage m{};
    m[wire::Cmd] = static_cast<std::uint8_t>(cmd);
    m[wire::Seat] = static_cast<std::uint8_t>(seat);
    return m;
}

WireMessage restoreHeader(int banker, int firstSum, int secondSum, int wild, int pizi1) {
    WireMessage m = command(41, banker);
    setWord(m, 0, firstSum);
    setWord(m, 1, secondSum);
    setWord(m, 2, wild);
    setWord(m, 3, pizi1);
    return m;
}

// `noBack` is the back value for no supplement drawn: 133 on a player's
// table, 135 on a watcher's.
WireMessage restoreSeat(int seat, int discards, int front, int backTiles, const std::vector<int>& exposed,
                        const std::vector<int>& concealed, int noBack = 133) {
    WireMessage m = command(40, seat);
    m[7] = static_cast<std::uint8_t>(discards);
    setWord(m, 1, front);
    setWord(m, 3, noBack - backTiles);
    std::size_t b = 0;
    for (int t : exposed) m[16 + 2 * b] = 0x20, m[17 + 2 * b++] = static_cast<std::uint8_t>(t);
    for (int t : concealed) m[16 + 2 * b] = 0x13, m[17 + 2 * b++] = static_cast<std::uint8_t>(t);
    return m;
}

// ---------------------------------------------------------------- meld split

struct SplitCase {
    const char* name;
    std::vector<int> tiles;
    std::vector<std::pair<int, std::vector<int>>> melds;
};

TEST(RestoredMelds, SplitLeavesAsFewTilesOutAsPossible) {
    using table::SlotChi, table::SlotEmpty, table::SlotMingGang, table::SlotPeng;
    const std::vector<SplitCase> cases = {
        {"nothing", {}, {}},
        {"a 碰", {Tong(2), Tong(2), Tong(2)}, {{SlotPeng, {Tong(2), Tong(2), Tong(2)}}}},
        {"a kong", {Wan(5), Wan(5), Wan(5), Wan(5)}, {{SlotMingGang, {Wan(5), Wan(5), Wan(5), Wan(5)}}}},
        {"a 吃", {Tiao(3), Tiao(4), Tiao(5)}, {{SlotChi, {Tiao(3), Tiao(4), Tiao(5)}}}},
        {"two 吃 that look like pairs",
         {Wan(1), Wan(1), Wan(2), Wan(2), Wan(3), Wan(3)},
         {{SlotChi, {Wan(1), Wan(2), Wan(3)}}, {SlotChi, {Wan(1), Wan(2), Wan(3)}}}},
        {"a 碰 and a 吃 rather than a kong and two left",
         {Wan(5), Wan(5), Wan(5), Wan(5), Wan(6), Wan(7)},
         {{SlotPeng, {Wan(5), Wan(5), Wan(5)}}, {SlotChi, {Wan(5), Wan(6), Wan(7)}}}},
        {"a kong and a 碰",
         {Tong(9), Tong(9), Tong(9), Tong(9), Feng(1), Feng(1), Feng(1)},
         {{SlotMingGang, {Tong(9), Tong(9), Tong(9), Tong(9)}}, {SlotPeng, {Feng(1), Feng(1), Feng(1)}}}},
        {"honours make no 吃", {Feng(1), Feng(2), Feng(3)}, {{SlotEmpty, {Feng(1), Feng(2), Feng(3)}}}},
        {"a 吃 does not run past 9", {Wan(8), Wan(9), Wan(9) + 1}, {{SlotEmpty, {Wan(8), Wan(9), Wan(9) + 1}}}},
        {"a lone tile after a 碰",
         {Tiao(1), Tiao(1), Tiao(1), Tiao(7)},
         {{SlotPeng, {Tiao(1), Tiao(1), Tiao(1)}}, {SlotEmpty, {Tiao(7)}}}},
    };
    for (const SplitCase& k : cases) {
        SCOPED_TRACE(k.name);
        const auto melds = table::splitMelds(k.tiles);
        ASSERT_EQ(melds.size(), k.melds.size());
        for (std::size_t i = 0; i < melds.size(); ++i) {
            EXPECT_EQ(melds[i].state, k.melds[i].first) << i;
            EXPECT_EQ(melds[i].tiles, k.melds[i].second) << i;
        }
    }
}

// ---------------------------------------------------------------- wall

TEST(RestoredWall, HeadTailAndTakenImagesFollowTheDraws) {
    struct Case {
        int origin, front, back, head, tail;
        std::vector<int> backImages;
    };
    const std::vector<Case> cases = {
        {0, 0, 0, 0, 134, {}},
        {0, 53, 0, 53, 134, {}},
        // Upper tile of the stack before the head, its lower tile, then the
        // stack before that.
        {0, 53, 1, 53, 135, {134}},
        {0, 53, 2, 53, 132, {134, 135}},
        {0, 53, 3, 53, 133, {134, 135, 132}},
        {130, 10, 2, 4, 126, {128, 129}},
        // A back value beyond what is left takes only what is left.
        {0, 130, 10, 130, 128, {134, 135, 132, 133, 130, 131}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::to_string(k.origin) + "/" + std::to_string(k.front) + "/" + std::to_string(k.back));
        const int backTiles = std::min(k.back, 136 - k.front);
        const table::RestoredWall w = table::restoredWall(k.origin, k.front, backTiles);
        EXPECT_EQ(w.head, k.head);
        EXPECT_EQ(w.tail, k.tail);
        ASSERT_EQ(w.taken.size(), static_cast<std::size_t>(k.front + backTiles));
        for (int i = 0; i < k.front; ++i) EXPECT_EQ(w.taken[static_cast<std::size_t>(i)], (k.origin + i) % 136);
        EXPECT_TRUE(std::equal(k.backImages.begin(), k.backImages.end(), w.taken.begin() + k.front));
    }
    EXPECT_EQ(table::backTilesOf(133, 60), 0);
    EXPECT_EQ(table::backTilesOf(130, 60), 3);
    EXPECT_EQ(table::backTilesOf(135, 60), 0);
    EXPECT_EQ(table::backTilesOf(0, 60), 76);
}

// The back value moves the tail from where it stood: from the head on a
// player's table, from the stack behind the head on a watcher's, which
// stands two tiles further on.
TEST(RestoredWall, TheBackValueCountsFromTheTailOfEachTable) {
    struct Case {
        int value;
        int player, watcher;  // supplements drawn
    };
    for (const Case& k :
         {Case{135, 0, 0}, Case{134, 0, 1}, Case{133, 0, 2}, Case{132, 1, 3}, Case{130, 3, 5}, Case{0, 76, 76}}) {
        SCOPED_TRACE(k.value);
        EXPECT_EQ(table::backTilesOf(k.value, 60, table::BackReading::Player), k.player);
        EXPECT_EQ(table::backTilesOf(k.value, 60, table::BackReading::Watcher), k.watcher);
    }
}

// ---------------------------------------------------------------- one restore

class TableRestore : public DispatchFixture {
protected:
    void SetUp() override {
        addTablePictures(sim);
        DispatchFixture::SetUp();
        // Own seat 1; the right-hand seat 2, the top 4, the left 8.
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) rec(v).seat = seats[v];
    }
    table::SeatRecord& rec(int v) { return client->table.custom[static_cast<std::size_t>(v)]; }
    ui::Control& tile(int i) { return control(*client, "MJ_Image", i); }
    int picture(int img) { return table::shownTilePicture(*client, img); }

    // Every image a seat, a stack or a discard row holds after the restore.
    std::vector<int> heldImages() {
        std::vector<int> out;
        for (int v = 0; v < 4; ++v) {
            for (const auto& s : rec(v).slots)
                if (s.img >= 0) out.push_back(s.img);
            const auto& stacks = client->table.singleGangImg[static_cast<std::size_t>(v)];
            for (int k = 0; k < rec(v).hongZhongGangs; ++k) out.push_back(stacks[static_cast<std::size_t>(k)]);
            for (int k = 0; k < rec(v).baoGangs; ++k) out.push_back(stacks[static_cast<std::size_t>(4 + k)]);
        }
        return out;
    }

    // Banker seat 1 (view 0) with dice sums 2 and 2: the wall starts on side
    // 3 at image 110.
    void header() { ASSERT_FALSE(receive(restoreHeader(1, 2, 2, Tiao(9), Tiao(8)))); }
};

TEST_F(TableRestore, SeatsAreLaidInTheClaimsSlotsWithUniqueImagesAndTheOwnHandFaceUp) {
    header();
    // Own: a 碰, an exposed kong, a 红中 and a wild single kong, five in hand.
    ASSERT_FALSE(receive(restoreSeat(1, 2, 70, 3,
                                     {Tong(2), HongZhong, Wan(4), Tong(2), Wan(4), Tiao(9), Tong(2), Wan(4), Wan(4)},
                                     {Wan(7), Feng(1), Wan(1), Tiao(3), Wan(2)})));
    // The top seat: two kongs and a 碰, two in hand, a legal hand the slots
    // must hold.
    ASSERT_FALSE(receive(restoreSeat(
        4, 3, 70, 3, {Wan(1), Wan(1), Wan(1), Wan(1), Tiao(6), Tiao(6), Tiao(6), Tiao(6), Feng(2), Feng(2), Feng(2)},
        {Tong(5), Tong(6)})));
    ASSERT_FALSE(receive(restoreSeat(8, 1, 70, 3, {}, std::vector<int>(13, Tong(1)))));
    EXPECT_FALSE(client->table.restoreDone);
    ASSERT_FALSE(receive(restoreSeat(2, 4, 70, 3, {Wan(2), Wan(3), Wan(4)}, std::vector<int>(11, Wan(9)))));

    const auto& t = client->table;
    EXPECT_TRUE(t.restoreDone);
    // Own melds from slot 1 in display order (筒 before 萬), three slots
    // each; the kong's fourth tile lies on its second and keeps no slot.
    const std::vector<std::pair<int, int>> own = {{table::SlotPeng, Tong(2)},    {table::SlotPeng, Tong(2)},
                                                  {table::SlotPeng, Tong(2)},    {table::SlotMingGang, Wan(4)},
                                                  {table::SlotMingGang, Wan(4)}, {table::SlotMingGang, Wan(4)}};
    for (std::size_t s = 0; s < own.size(); ++s) {
        EXPECT_EQ(rec(0).slots[1 + s].state, own[s].first) << s;
        EXPECT_EQ(rec(0).slots[1 + s].tile, own[s].second) << s;
    }
    EXPECT_EQ(rec(0).meldEnd, 9);
    EXPECT_EQ(rec(0).firstConcealed, 10);
    EXPECT_EQ(rec(0).concealedCount, 5);
    EXPECT_EQ(rec(0).hongZhongGangs, 1);
    EXPECT_EQ(rec(0).baoGangs, 1);
    // Face up and sorted: the player plays on from here.
    for (int s = 10; s < 15; ++s) {
        const auto& slot = rec(0).slots[static_cast<std::size_t>(s)];
        EXPECT_EQ(picture(slot.img), table::tilePicture(table::HandPictureSet, slot.tile)) << s;
        EXPECT_TRUE(tile(slot.img).visible());
    }
    // The other seats' melds from slot 2; two kongs and a 碰 fit, with the
    // hand after them.
    EXPECT_EQ(rec(2).slots[2].state, table::SlotMingGang);
    EXPECT_EQ(rec(2).slots[8].state, table::SlotPeng);
    EXPECT_EQ(rec(2).firstConcealed, 13);
    EXPECT_EQ(rec(2).concealedCount, 2);
    EXPECT_EQ(rec(3).slots[2].state, table::SlotChi);
    EXPECT_EQ(rec(3).concealedCount, 11);
    EXPECT_EQ(rec(1).firstConcealed, 4);
    EXPECT_EQ(rec(1).concealedCount, 13);
    // The side seats stay face down.
    EXPECT_EQ(picture(rec(1).slots[4].img), table::standingBack(1));

    // Every tile held and every discard has an image of its own, none from
    // the remaining wall.
    std::vector<int> held = heldImages();
    const table::RestoredWall wall = table::restoredWall(110, 70, 3);
    EXPECT_EQ(t.wallHead, wall.head);
    EXPECT_EQ(t.wallTail, wall.tail);
    std::set<int> taken(wall.taken.begin(), wall.taken.end());
    for (int img : held) EXPECT_TRUE(taken.count(img)) << img;
    std::set<int> unique(held.begin(), held.end());
    EXPECT_EQ(unique.size(), held.size());
    // 9 + 5 own, 11 + 2 top, 13 left, 3 + 11 right, the two kongs' fourth
    // tiles and ten discards leave 70 + 3 - 66 = 7 of the taken images free.
    int shownAsWall = 0;
    for (int img = 0; img < 136; ++img) {
        if (!taken.count(img) && tile(img).visible()) ++shownAsWall;
    }
    EXPECT_EQ(shownAsWall, 136 - 73);
    // The turned tile lies on the tail stack with the face of the first 痞子.
    EXPECT_EQ(t.indicatorImg, wall.tail);
    EXPECT_EQ(picture(wall.tail), table::tilePicture(wall.tail / 34, Tiao(8)));
    // Nothing is pending: the next draw lays no discard again.
    EXPECT_EQ(t.curTileImg, -1);
    EXPECT_EQ(t.lastDiscardView, 4);
    EXPECT_TRUE(control(*client, "QV_Image").visible());
}

// The client comes back into a running hand: it is in a game again, so the
// hall hears so and the receive watchdog runs.
TEST_F(TableRestore, ARestoredHandIsAHandInGame) {
    client->link.inGame = false;
    header();
    for (int seat : {1, 2, 4, 8}) ASSERT_FALSE(receive(restoreSeat(seat, 0, 53, 0, {}, std::vector<int>(13, Wan(1)))));
    ASSERT_TRUE(client->table.restoreDone);
    EXPECT_TRUE(client->link.inGame);
    const auto from = sim.hall.posted.size();
    EXPECT_TRUE(client->mainForm.onWindowMessage(link::HallStatusQuery, 0, 0, false));
    ASSERT_GT(sim.hall.posted.size(), from);
    EXPECT_EQ(sim.hall.posted.back().message, link::HallInGame);
}

TEST_F(TableRestore, PlayGoesOnFromTheRestoredSlots) {
    header();
    ASSERT_FALSE(receive(restoreSeat(1, 0, 53, 0, {},
                                     {Wan(1), Wan(2), Wan(3), Wan(5), Wan(6), Tong(2), Tong(2), Tong(7), Tong(8),
                                      Feng(1), Feng(3), Tiao(4), Tiao(5)})));
    ASSERT_FALSE(receive(restoreSeat(2, 1, 53, 0, {Feng(7), Feng(7), Feng(7)}, std::vector<int>(10, Wan(9)))));
    ASSERT_FALSE(receive(restoreSeat(4, 0, 53, 0, {}, std::vector<int>(13, Tong(9)))));
    ASSERT_FALSE(receive(restoreSeat(8, 0, 53, 0, {}, std::vector<int>(13, Tiao(1)))));
    const int cursorX = rec(3).discardX;
    const int head = client->table.wallHead;

    // The right-hand seat draws: the tile comes from the head, no discard is
    // laid a second time.
    WireMessage draw = command(5, 2);
    ASSERT_FALSE(receive(draw));
    ASSERT_FALSE(run(Millis(500)));
    EXPECT_EQ(rec(3).concealedCount, 11);
    EXPECT_EQ(rec(3).slots[static_cast<std::size_t>(rec(3).firstConcealed + 10)].img, head);
    EXPECT_EQ(rec(3).discardX, cursorX);

    // Its single kong onto the restored 碰 finds it by its state.
    WireMessage kong = command(7, 2);
    setWord(kong, 0, OpSingleGang);
    for (int k = 1; k <= 3; ++k) setWord(kong, k, Feng(7));
    ASSERT_FALSE(receive(kong));
    ASSERT_FALSE(run(Millis(3000)));
    EXPECT_EQ(rec(3).concealedCount, 10);
    EXPECT_EQ(rec(3).slots[2].state, table::SlotPeng);
    EXPECT_NE(rec(3).meldEnd, 4);  // the meld end moved only by the restored 碰
    EXPECT_EQ(rec(3).meldEnd, 7);
}

TEST_F(TableRestore, SeatMessagesOutsideASeriesAndRepeatedSeatsChangeNothing) {
    // Without a header.
    ASSERT_FALSE(receive(restoreSeat(1, 0, 53, 0, {}, {Wan(1), Wan(2)})));
    EXPECT_EQ(rec(0).concealedCount, 0);
    EXPECT_EQ(client->table.seatMsgCount, 0);

    header();
    ASSERT_FALSE(receive(restoreSeat(4, 0, 53, 0, {}, std::vector<int>(13, Tong(9)))));
    // The same seat again, with a different hand: not laid over the first.
    ASSERT_FALSE(receive(restoreSeat(4, 0, 53, 0, {}, std::vector<int>(5, Tong(1)))));
    EXPECT_EQ(rec(2).concealedCount, 13);
    EXPECT_EQ(client->table.seatMsgCount, 1);

    // More than fourteen concealed tiles: the first fourteen are laid.
    WireMessage many = restoreSeat(1, 0, 53, 0, {}, std::vector<int>(20, Wan(3)));
    ASSERT_FALSE(receive(many));
    EXPECT_EQ(rec(0).concealedCount, 14);
    ASSERT_FALSE(receive(restoreSeat(2, 0, 53, 0, {}, std::vector<int>(13, Tong(9)))));
    ASSERT_FALSE(receive(restoreSeat(8, 0, 53, 0, {}, std::vector<int>(13, Tong(9)))));
    EXPECT_TRUE(client->table.restoreDone);
    // The series is closed: a fifth seat message is not laid.
    ASSERT_FALSE(receive(restoreSeat(8, 0, 53, 0, {}, std::vector<int>(3, Tong(9)))));
    EXPECT_EQ(rec(1).concealedCount, 13);
    EXPECT_EQ(client->dispatch.droppedMessages, 0);
}

TEST_F(TableRestore, MeldsNeverPushTilesAlreadyInTheRowPastItsEnd) {
    header();
    // Twelve tiles dealt between the header and the seat messages.
    rec(0).concealedCount = 12;
    const std::vector<int> pungs{Wan(5), Wan(5), Wan(5), Tong(2), Tong(2), Tong(2)};
    ASSERT_FALSE(receive(restoreSeat(1, 0, 53, 0, pungs, std::vector<int>(12, Wan(1)))));
    EXPECT_LE(rec(0).firstConcealed + rec(0).concealedCount, table::SlotCount);
    EXPECT_EQ(table::tableProblems(client->table), std::vector<std::string>{});
}

TEST_F(TableRestore, DiscardsFillTheRowsAsPlayedDiscardsWould) {
    header();
    // The left seat has seventeen discards: two full rows and one more.
    ASSERT_FALSE(receive(restoreSeat(8, 17, 80, 0, {}, std::vector<int>(13, Tong(9)))));
    ASSERT_FALSE(receive(restoreSeat(1, 0, 80, 0, {}, std::vector<int>(13, Wan(1)))));
    ASSERT_FALSE(receive(restoreSeat(2, 0, 80, 0, {}, std::vector<int>(13, Wan(1)))));
    table::TableState expected = client->table;
    ASSERT_FALSE(receive(restoreSeat(4, 0, 80, 0, {}, std::vector<int>(13, Wan(1)))));
    // The same cursor as seventeen laid discards.
    table::setTileSizes(expected, table::TileSizeSet::Lying, client->link.scaleX, client->link.scaleY);
    for (int k = 0; k < 17; ++k) table::discardRowAdvance(expected, 1, client->link.scaleX, client->link.scaleY);
    EXPECT_EQ(rec(1).discardX, expected.custom[1].discardX);
    EXPECT_EQ(rec(1).discardY, expected.custom[1].discardY);
    EXPECT_EQ(rec(3).discardX, expected.custom[3].discardX);
}

// After a restore the seats play on: each discard lies in the middle until
// the next draw lays it into its seat's row, where it stays in sight, also
// when the own seat's discard cuts the newest one's blinking short. The own
// turn's answer comes at a range of moments after its draw.
TEST_F(TableRestore, DiscardsAfterTheRestoreAreLaidIntoTheirRowsAndStayInSight) {
    // The hand start had set the blink going before the link dropped.
    client->link.blinkTask = link::Task{true, 0};
    client->link.autoPlayOn = true;
    client->link.loggedIn = true;
    for (int answerAfter = 0; answerAfter <= 2000; answerAfter += 50) {
        SCOPED_TRACE("own turn offered " + std::to_string(answerAfter) + " ms after the draw");
        header();
        ASSERT_FALSE(receive(restoreSeat(4, 0, 54, 0, {},
                                         {Tiao(1), Tiao(2), Tiao(3), Tiao(5), Tiao(6), Tiao(7), Tong(1), Tong(3),
                                          Tong(4), Tong(5), Tong(6), Feng(2), Feng(4)})));
        ASSERT_FALSE(
            receive(restoreSeat(1, 2, 54, 0, {Tong(2), Tong(2), Tong(2)},
                                {Wan(1), Wan(2), Wan(3), Wan(5), Wan(6), Tong(7), Tong(8), Tiao(4), Wan(9), Feng(6)})));
        ASSERT_FALSE(receive(restoreSeat(8, 0, 54, 0, {},
                                         {Wan(1), Wan(2), Wan(3), Wan(4), Wan(5), Wan(6), Wan(7), Wan(8), Wan(9),
                                          Tong(4), Tong(7), Tong(8), HongZhong})));
        ASSERT_FALSE(receive(restoreSeat(2, 0, 54, 0, {},
                                         {Tiao(1), Tiao(1), Tiao(2), Tiao(2), Tiao(3), Tiao(3), Tong(1), Tong(1),
                                          Tong(9), Tong(9), Feng(7), Feng(7), Feng(7)})));
        ASSERT_TRUE(client->table.restoreDone);

        struct Turn {
            int seat;
            int view;
            int tile;
        };
        int pending = -1;
        int pendingView = -1;
        std::pair<int, int> pendingPlace{};
        int pendingTile = 0;
        std::vector<std::array<int, 3>> laid;  // image, view and tile of every laid discard
        for (const Turn& k : {Turn{2, 3, Feng(7)}, Turn{4, 2, Feng(4)}, Turn{8, 1, HongZhong}, Turn{1, 0, 0}}) {
            SCOPED_TRACE("seat " + std::to_string(k.seat));
            WireMessage draw = command(5, k.seat);
            if (k.seat == 1) setWord(draw, 3, Tiao(1));
            // The draw comes at any moment of the tick's blink and countdown
            // rounds.
            if (k.seat == 1) {
                ASSERT_FALSE(run(Millis(answerAfter % 1000)));
            }
            ASSERT_FALSE(receive(draw));
            if (pending >= 0) {
                // The draw laid the discard in the middle at its seat's cursor.
                EXPECT_DOUBLE_EQ(tile(pending).left(), pendingPlace.first);
                EXPECT_DOUBLE_EQ(tile(pending).top(), pendingPlace.second);
                EXPECT_NE(client->table.wallHead, pending);
                for (int v = 0; v < 4; ++v) {
                    const auto& r = rec(v);
                    for (int i = r.firstConcealed; i < r.firstConcealed + r.concealedCount; ++i)
                        EXPECT_NE(r.slots[static_cast<std::size_t>(i)].img, pending) << "view " << v;
                }
                laid.push_back({pending, pendingView, pendingTile});
                pending = -1;
            }
            if (k.seat == 1) {
                ASSERT_FALSE(run(Millis(answerAfter / 1000 * 500)));
                WireMessage offer = command(6, 1);
                offer[100] = 1;
                ASSERT_FALSE(receive(offer));
                ASSERT_FALSE(run(Millis(4000)));
                break;
            }
            ASSERT_FALSE(run(Millis(1500)));
            pendingPlace = {rec(k.view).discardX, rec(k.view).discardY};
            WireMessage discard = command(2, k.seat);
            setWord(discard, 3, k.tile);
            ASSERT_FALSE(receive(discard));
            ASSERT_FALSE(run(Millis(500)));
            pending = client->table.curTileImg;
            pendingView = k.view;
            pendingTile = k.tile;
            ASSERT_GE(pending, 0);
            EXPECT_TRUE(tile(pending).visible());
            EXPECT_EQ(picture(pending), table::tilePicture(k.view, k.tile));
        }
        ASSERT_EQ(laid.size(), 3U);
        for (const auto& [img, view, code] : laid) {
            EXPECT_TRUE(tile(img).visible()) << img;
            EXPECT_EQ(picture(img), table::tilePicture(view, code)) << img;
        }
        if (::testing::Test::HasFailure()) return;
    }
}

// ---------------------------------------------------------------- places

struct Screen {
    int w, h;
    double sx, sy;
};

// Where a restore lays the tiles, at both scales: the own kong stacks and
// melds where those laid in play stand, the other seats as the server's
// layout has them.
class RestorePlacement : public DispatchFixture, public ::testing::WithParamInterface<Screen> {
protected:
    void SetUp() override {
        addTablePictures(sim);
        sim.process.screen = {GetParam().w, GetParam().h};
        DispatchFixture::SetUp();
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (int v = 0; v < 4; ++v) rec(v).seat = seats[v];
    }
    table::SeatRecord& rec(int v) { return client->table.custom[static_cast<std::size_t>(v)]; }
    ui::Control& tile(int i) { return control(*client, "MJ_Image", i); }
    static int scaled(double base, double scale) { return table::roundHalfEven(base * scale); }

    // Every seat: a 红中 and a wild kong, a 碰 of 筒 2 and a kong of 萬 4,
    // and a hand behind them.
    void restore() {
        ASSERT_FALSE(receive(restoreHeader(1, 2, 2, Tiao(9), Tiao(8))));
        const std::vector<int> exposed{HongZhong, Tiao(9), Tong(2), Tong(2), Tong(2), Wan(4), Wan(4), Wan(4), Wan(4)};
        for (int seat : {1, 2, 4, 8}) {
            const std::vector<int> hand =
                seat == 1 ? std::vector<int>{Wan(7), Wan(7), Feng(1), Feng(2)} : std::vector<int>(4, Tong(9));
            ASSERT_FALSE(receive(restoreSeat(seat, 0, 70, 3, exposed, hand)));
        }
        ASSERT_TRUE(client->table.restoreDone);
    }
};

TEST_P(RestorePlacement, OwnStacksAndMeldsLieWhereThoseLaidInPlayLie) {
    const Screen k = GetParam();
    restore();
    const auto& t = client->table;
    const auto& r = rec(0);
    // The stacks at full standing size, a quarter tile down.
    const int sw = scaled(48, k.sx);
    const int sh = scaled(78, k.sy);
    const ui::Control& hong = tile(t.singleGangImg[0][0]);
    const ui::Control& wild = tile(t.singleGangImg[0][4]);
    EXPECT_DOUBLE_EQ(hong.left(), r.handX);
    EXPECT_DOUBLE_EQ(hong.top(), r.handY + sh / 4.0);
    EXPECT_DOUBLE_EQ(wild.left(), r.handX + (sw - 5 * k.sx));
    EXPECT_DOUBLE_EQ(wild.top(), r.handY + sh / 4.0);
    EXPECT_DOUBLE_EQ(wild.width(), sw);
    EXPECT_DOUBLE_EQ(wild.height(), sh);
    // The melds at the size and line of melds laid in play.
    const int mw = scaled(45, k.sx);
    const int mh = scaled(60, k.sy);
    for (int s = 1; s <= 6; ++s) {
        SCOPED_TRACE(s);
        const ui::Control& x = tile(r.slots[static_cast<std::size_t>(s)].img);
        EXPECT_DOUBLE_EQ(x.left(), r.handX + (s + 1) * (mw - 2 * k.sx));
        EXPECT_DOUBLE_EQ(x.top(), r.handY + mh / 3.0);
        EXPECT_DOUBLE_EQ(x.width(), mw);
        EXPECT_DOUBLE_EQ(x.height(), mh);
    }
    // The concealed tiles standing from the first slot after the melds.
    for (int s = r.firstConcealed; s < r.firstConcealed + r.concealedCount; ++s) {
        const ui::Control& x = tile(r.slots[static_cast<std::size_t>(s)].img);
        EXPECT_DOUBLE_EQ(x.left(), r.handX + s * sw) << s;
        EXPECT_DOUBLE_EQ(x.top(), r.handY) << s;
    }

    // A 碰 laid in play after the restore continues the same row.
    const int before = r.meldEnd;
    WireMessage discard = command(2, 2);
    setWord(discard, 3, Wan(7));
    ASSERT_FALSE(receive(discard));
    ASSERT_FALSE(run(Millis(500)));
    WireMessage peng = command(7, 1);
    setWord(peng, 0, OpPeng);
    for (int i = 1; i <= 3; ++i) setWord(peng, i, Wan(7));
    ASSERT_FALSE(receive(peng));
    ASSERT_FALSE(run(Millis(500)));
    ASSERT_EQ(r.meldEnd, before + 3);
    const ui::Control& restored = tile(r.slots[6].img);
    for (int s = 7; s <= 9; ++s) {
        SCOPED_TRACE(s);
        const ui::Control& x = tile(r.slots[static_cast<std::size_t>(s)].img);
        EXPECT_DOUBLE_EQ(x.top(), restored.top());
        EXPECT_DOUBLE_EQ(x.height(), restored.height());
        EXPECT_DOUBLE_EQ(x.width(), restored.width());
        EXPECT_DOUBLE_EQ(x.left(), restored.left() + (s - 6) * (mw - 2 * k.sx));
    }
}

TEST_P(RestorePlacement, OtherSeatsTilesLieWhereTheServersLayoutPutsThem) {
    const Screen k = GetParam();
    restore();
    const auto& t = client->table;
    struct Place {
        const char* what;
        int img;
        double left, top;
    };
    // The first 红中 and wild kongs, the first meld tile (the message's
    // fourth place) and the first concealed tile, per view, by the layout's
    // own pixel steps.
    for (int v = 1; v <= 3; ++v) {
        SCOPED_TRACE(v);
        const auto& r = rec(v);
        const auto& stacks = t.singleGangImg[static_cast<std::size_t>(v)];
        const double x = r.handX;
        const double y = r.handY;
        const int mw = scaled(v == 2 ? 34 : 45, k.sx);
        const int mh = scaled(v == 2 ? 40 : 35, k.sy);
        const int sw = v == 2 ? scaled(36, k.sx) : scaled(35, k.sx);
        const int s = r.firstConcealed;
        std::vector<Place> places;
        switch (v) {
        case 1:
            places = {{"红中", stacks[0], x, y},
                      {"wild", stacks[4], x - 5, y + mh - 17},
                      {"meld", r.slots[2].img, x - 5.0 * 4 + 10, y + 2 * (mh - 17)},
                      {"concealed", r.slots[static_cast<std::size_t>(s)].img, x - 5.0 * s, y + s * sw * 0.5}};
            break;
        case 2:
            places = {{"红中", stacks[0], x, y},
                      {"wild", stacks[4], x - mw, y},
                      {"meld", r.slots[2].img, x - 2.0 * mw, y},
                      {"concealed", r.slots[static_cast<std::size_t>(s)].img, x - s * sw, y}};
            break;
        default:
            places = {
                {"红中", stacks[0], x - 10, y},
                {"wild", stacks[4], x - 15, y - mh + 17},
                {"meld", r.slots[2].img, x - 5.0 * 4, y - 2 * (mh - 17)},
                {"concealed", r.slots[static_cast<std::size_t>(s)].img, x - 5.0 * (s + 1), y - (s + 1) * sw * 0.5}};
            break;
        }
        for (const Place& p : places) {
            EXPECT_DOUBLE_EQ(tile(p.img).left(), p.left) << p.what;
            EXPECT_DOUBLE_EQ(tile(p.img).top(), p.top) << p.what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothScales, RestorePlacement,
                         ::testing::Values(Screen{1024, 768, 1.0, 1.0}, Screen{800, 600, 0.78125, 0.78125}),
                         [](const auto& info) { return std::to_string(info.param.w); });

// ---------------------------------------------------------------- a dropped hand

// The server's side of a hand: what every seat holds, how far the wall has
// gone, and the restore messages for the hand as it stands.
struct SeatModel {
    std::vector<int> concealed;
    std::vector<int> exposed;
    int discards = 0;
};

struct HandModel {
    static constexpr int Banker = 1;
    std::array<int, 4> dice{1, 2, 3, 1};
    int wild = Tiao(9);
    int pizi1 = Tiao(8);
    std::array<SeatModel, 4> seats{};  // by seat index: seat bits 1, 2, 4, 8
    int front = 0;
    int back = 0;
    std::array<bool, 4> afterKong{};
    int pendingSeat = -1;  // the seat whose discard still lies in the middle
    int lastDiscard = 0;

    SeatModel& of(int seat) { return seats[static_cast<std::size_t>(link::bitToIndex(static_cast<SeatBit>(seat)))]; }
    static void take(std::vector<int>& from, int tile) {
        auto it = std::find(from.begin(), from.end(), tile);
        ASSERT_NE(it, from.end()) << "tile " << tile << " not held";
        from.erase(it);
    }

    std::vector<WireMessage> restore(bool watcher) const {
        std::vector<WireMessage> out{
            restoreHeader(Banker, dice[0] + dice[1], dice[2] + dice[3], wild, pizi1),
        };
        // Any seat order; the own seat not first.
        for (int seat : {4, 1, 8, 2}) {
            const SeatModel& s = seats[static_cast<std::size_t>(link::bitToIndex(static_cast<SeatBit>(seat)))];
            out.push_back(restoreSeat(seat, s.discards, front, back, s.exposed, s.concealed, watcher ? 135 : 133));
        }
        return out;
    }
};

enum class Step { Start, Special, Deal, Draw, Discard, OwnTurn, Claim };
struct HandStep {
    Step step;
    int seat = 0;
    int tile = 0;
    int op = 0;
};

// A client at the table as the program builds it, logged in with a session
// key, auto-play on, seated at 1 with 2 on its right, 4 opposite and 8 left;
// or a watcher of seat 1 seated the same way.
class TableRun {
public:
    explicit TableRun(bool watching = false) : watcher(watching) {
        addTablePictures(sim);
        sim.hall.windows["曲维山庄"] = 0x1234;
        client.emplace(sim.platform);
        sim.process.commandLineText = "zhang$pw$127.0.0.1$9000$";
        client->formLoad();
        sim.socket.acceptConnection();
        run(200);
        WireMessage ok = command(18, 0);
        setWord(ok, 3, 1);
        deliver(ok, 100);
        WireMessage status = command(16, 2);
        setWord(status, 3, 2);
        for (std::size_t i = 0; i < 4; ++i) status[wire::SessionKey + i] = static_cast<std::uint8_t>(0x91 + i);
        deliver(status, 100);
        client->link.autoPlayOn = !watcher;
        client->link.launch.isSpectator = watcher;
        const SeatBit seats[4] = {1, 8, 4, 2};
        for (std::size_t v = 0; v < 4; ++v) client->table.custom[v].seat = seats[v];
    }

    void run(int ms) {
        try {
            sim.clock.advance(Millis(ms));
        } catch (const platform::ProcessEnded& e) {
            ADD_FAILURE() << "the client ended with " << e.exitCode;
        }
    }
    void deliver(const WireMessage& m, int ms) {
        sim.socket.deliver(m);
        run(ms);
    }

    void play(const HandStep& s) {
        HandModel& h = model;
        switch (s.step) {
        case Step::Start: {
            WireMessage m = command(4, HandModel::Banker);
            for (int k = 0; k < 4; ++k) setWord(m, k, h.dice[static_cast<std::size_t>(k)]);
            deliver(m, 6000);
            for (int i = 0; i < 136; ++i) {
                const ui::Control& x = control(*client, "MJ_Image", i);
                wallPlace[static_cast<std::size_t>(i)] = {x.left(), x.top()};
            }
            startCursors = client->table.custom;
            break;
        }
        case Step::Special: {
            WireMessage m = command(14, 0);
            setWord(m, 2, h.wild);
            setWord(m, 3, h.pizi1);
            m[16] = 2;
            // The turned tile lies deep in the back, past every kong
            // supplement of the hand.
            m[24] = 5;
            deliver(m, 500);
            break;
        }
        case Step::Deal: {
            WireMessage m = command(1, 0);
            setWord(m, 1, 12);
            const std::vector<int> own{Wan(1),  Wan(2),  Wan(3),  Wan(5),  Wan(6),  Tong(2),
                                       Tong(2), Tong(7), Tong(8), Feng(1), Feng(3), Tiao(4)};
            for (std::size_t i = 0; i < own.size(); ++i) {
                m[16 + 2 * i] = static_cast<std::uint8_t>(own[i] & 15);
                m[17 + 2 * i] = static_cast<std::uint8_t>(own[i] >> 4);
            }
            h.of(1).concealed = own;
            h.of(2).concealed = {Feng(7), Feng(7), Wan(9),  Wan(9),  Wan(9),  Tiao(1),
                                 Tiao(2), Tiao(3), Tong(4), Tong(5), Tong(6), Feng(2)};
            h.of(4).concealed = {Tiao(6), Tiao(6), Tiao(6), Tong(1), Tong(1), Tong(3),
                                 Tong(9), Wan(7),  Wan(8),  Feng(4), Feng(4), Feng(6)};
            h.of(8).concealed = {Wan(4),  Wan(4),  Wan(4),  Tiao(5), Tiao(5), Tiao(7),
                                 Tong(2), Tong(3), Feng(6), Feng(6), Feng(3), Wan(2)};
            h.front += 48;
            deliver(m, 3000);
            break;
        }
        case Step::Draw: {
            WireMessage m = command(5, s.seat);
            if (s.seat == 1) setWord(m, 3, s.tile);
            const std::size_t i = static_cast<std::size_t>(link::bitToIndex(static_cast<SeatBit>(s.seat)));
            (h.afterKong[i] ? h.back : h.front) += 1;
            h.afterKong[i] = false;
            h.of(s.seat).concealed.push_back(s.tile);
            h.pendingSeat = -1;
            deliver(m, 1000);
            break;
        }
        case Step::Discard:
            discard(s.seat, s.tile);
            break;
        case Step::OwnTurn: {
            sim.socket.clearSent();
            WireMessage offer = command(6, 1);
            offer[100] = 1;
            deliver(offer, 3000);
            int tile = -1;
            for (const auto& m : sim.socket.sentMessages()) {
                if (m[wire::Cmd] == 2) tile = m[15];
            }
            ASSERT_GE(tile, 0) << "no discard on the own turn";
            ownDiscards.push_back(tile);
            discard(1, tile);
            break;
        }
        case Step::Claim: {
            WireMessage m = command(7, s.seat);
            setWord(m, 0, s.op);
            for (int k = 1; k <= 3; ++k) setWord(m, k, s.tile);
            SeatModel& seat = h.of(s.seat);
            const std::size_t i = static_cast<std::size_t>(link::bitToIndex(static_cast<SeatBit>(s.seat)));
            if (s.op == OpSingleGang || s.op == OpAnGang) {
                const int fromHand = s.op == OpAnGang ? 4 : 1;
                for (int k = 0; k < fromHand; ++k) HandModel::take(seat.concealed, s.tile);
                for (int k = 0; k < fromHand; ++k) seat.exposed.push_back(s.tile);
                h.afterKong[i] = true;
            } else {
                const int fromHand = s.op == OpPeng ? 2 : 3;
                for (int k = 0; k < fromHand; ++k) HandModel::take(seat.concealed, s.tile);
                for (int k = 0; k <= fromHand; ++k) seat.exposed.push_back(s.tile);
                h.of(1 << h.pendingSeat).discards -= 1;
                h.pendingSeat = -1;
                h.afterKong[i] = s.op != OpPeng;
            }
            deliver(m, 3000);
            break;
        }
        }
    }

    void discard(int seat, int tile) {
        WireMessage m = command(2, seat);
        setWord(m, 3, tile);
        HandModel::take(model.of(seat).concealed, tile);
        model.of(seat).discards += 1;
        model.pendingSeat = link::bitToIndex(static_cast<SeatBit>(seat));
        deliver(m, 500);
    }

    // The link drops; the client reconnects with its key and the server lays
    // the hand out again as it stands.
    void dropAndRestore() {
        sim.socket.peerClose();
        run(2000);
        run(4000);
        sim.socket.clearSent();
        sim.socket.acceptConnection();
        run(300);
        bool reconnected = false;
        for (const auto& m : sim.socket.sentMessages()) {
            if (m[wire::Cmd] == CmdReconnect && m[wire::SessionKey] == 0x91 && m[wire::SessionKey + 3] == 0x94)
                reconnected = true;
        }
        ASSERT_TRUE(reconnected) << "no reconnect message with the session key";
        WireMessage accepted = command(29, 0);
        setWord(accepted, 3, 1);
        deliver(accepted, 100);
        for (const WireMessage& m : model.restore(watcher)) deliver(m, 100);
        run(500);
    }

    // What the table shows of the hand, image numbers aside: the wall, every
    // seat's melds, single kongs, hand and discards.
    std::string describe() {
        const table::TableState& t = client->table;
        std::ostringstream o;
        std::set<int> wall;
        for (int i = 0; i < 136; ++i) {
            const ui::Control& x = control(*client, "MJ_Image", i);
            const auto place = wallPlace[static_cast<std::size_t>(i)];
            const bool atPlace = x.left() == place.first && x.top() == place.second;
            // The restored turned tile lies raised over its own place until a
            // kong supplement takes it.
            const bool raised = i == t.indicatorImg && x.left() == place.first && x.top() < place.second &&
                                x.top() >= place.second - 22;
            if (x.visible() && (atPlace || raised)) wall.insert(i);
        }
        o << "head " << t.wallHead << " tail " << t.wallTail << " wall " << wall.size() << ":";
        for (int i : wall) o << ' ' << i;
        o << '\n';
        for (int v = 0; v < 4; ++v) {
            const table::SeatRecord& r = t.custom[static_cast<std::size_t>(v)];
            o << "view " << v << " meld end " << r.meldEnd << " first " << r.firstConcealed << " melds";
            const int first = v == 0 ? 1 : 2;
            const int meldSlots = 3 * ((r.firstConcealed - 4) / 3);
            for (int s = first; s < first + meldSlots && s < table::SlotCount; ++s) {
                const auto& slot = r.slots[static_cast<std::size_t>(s)];
                // A kong from a 碰 keeps its 碰 slots in play; the restore
                // cannot tell the two apart, and either way three slots.
                const bool set = slot.state == table::SlotPeng || slot.state == table::SlotMingGang ||
                                 slot.state == table::SlotAnGang;
                const int kind = set ? table::SlotPeng : slot.state;
                o << ' ' << kind << '/' << std::hex << slot.tile << std::dec;
            }
            o << " kongs " << r.hongZhongGangs << '+' << r.baoGangs << " hand " << r.concealedCount;
            if (v == 0) {
                std::vector<std::string> tiles;
                for (int s = r.firstConcealed; s < r.firstConcealed + r.concealedCount; ++s) {
                    const auto& slot = r.slots[static_cast<std::size_t>(s)];
                    const bool face = table::shownTilePicture(*client, slot.img) ==
                                      table::tilePicture(table::HandPictureSet, slot.tile);
                    std::ostringstream one;
                    // A watcher cannot see what a face-down tile is, and its
                    // table need not know either.
                    if (watcher && !face)
                        one << "(down)";
                    else
                        one << std::hex << slot.tile << (face ? "" : "(down)");
                    tiles.push_back(one.str());
                }
                std::sort(tiles.begin(), tiles.end());
                for (const auto& s : tiles) o << ' ' << s;
            }
            o << " discards " << discardsOf(v) << " in sight " << discardsInSight(v) << '\n';
        }
        return o.str();
    }

    // Discards laid in the view's rows, counted by the cursor's steps from
    // the hand start, and the one still in the middle.
    int discardsOf(int view) {
        table::TableState scratch = client->table;
        scratch.custom = startCursors;
        table::setTileSizes(scratch, table::TileSizeSet::Lying, client->link.scaleX, client->link.scaleY);
        const auto& now = client->table.custom[static_cast<std::size_t>(view)];
        auto& r = scratch.custom[static_cast<std::size_t>(view)];
        int n = 0;
        while (n < 60 && (r.discardX != now.discardX || r.discardY != now.discardY)) {
            table::discardRowAdvance(scratch, view, client->link.scaleX, client->link.scaleY);
            ++n;
        }
        // A watcher's table lays every discard into its row at once.
        const bool pending = !watcher && client->table.curTileImg >= 0 && client->table.lastDiscardView == view &&
                             model.pendingSeat >= 0 &&
                             table::viewPos(1, static_cast<SeatBit>(1 << model.pendingSeat)) == view;
        return n + (pending ? 1 : 0);
    }

    // The row places of the view's laid discards, from the hand start's
    // cursor on, that show a tile lying there (the newest discard may be in
    // the dark phase of its blinking); and the discard waiting in the middle,
    // when no hand holds its image.
    int discardsInSight(int view) {
        const table::TableState& t = client->table;
        table::TableState scratch = t;
        scratch.custom = startCursors;
        table::setTileSizes(scratch, table::TileSizeSet::Lying, client->link.scaleX, client->link.scaleY);
        const auto& now = t.custom[static_cast<std::size_t>(view)];
        auto& r = scratch.custom[static_cast<std::size_t>(view)];
        int shown = 0;
        for (int n = 0; n < 60 && (r.discardX != now.discardX || r.discardY != now.discardY); ++n) {
            for (int i = 0; i < 136; ++i) {
                const ui::Control& x = control(*client, "MJ_Image", i);
                if ((x.visible() || i == t.curTileImg) && x.left() == r.discardX && x.top() == r.discardY) {
                    ++shown;
                    break;
                }
            }
            table::discardRowAdvance(scratch, view, client->link.scaleX, client->link.scaleY);
        }
        const bool pending = !watcher && t.curTileImg >= 0 && t.lastDiscardView == view && model.pendingSeat >= 0 &&
                             table::viewPos(1, static_cast<SeatBit>(1 << model.pendingSeat)) == view;
        if (pending && !table::isImageInHand(t, t.curTileImg)) ++shown;
        return shown;
    }

    bool watcher = false;
    platform::sim::SimPlatform sim;
    std::optional<link::Client> client;
    HandModel model;
    std::vector<int> ownDiscards;  // what auto-play discarded on the own turns
    std::array<std::pair<double, double>, 136> wallPlace{};
    std::array<table::SeatRecord, 4> startCursors{};
};

// Seat 1 (own, banker), then 2 on its right, 4 opposite and 8 on its left:
// a concealed kong, a 碰 taken out of turn and turned into a kong, wild and
// 红中 single kongs, supplements from the back, and the own seat's turns
// played by auto-play.
std::vector<HandStep> droppedHand() {
    using S = Step;
    return {
        {S::Start},
        {S::Special},
        {S::Deal},
        {S::Draw, 1, Wan(9)},
        {S::Draw, 2, Feng(7)},
        {S::Draw, 4, Tiao(6)},
        {S::Draw, 8, Wan(4)},
        {S::Draw, 1, Feng(6)},
        {S::OwnTurn},
        {S::Draw, 2, Tong(9)},
        {S::Discard, 2, Tong(9)},
        {S::Draw, 4, Feng(4)},
        {S::Claim, 4, Tiao(6), OpAnGang},
        {S::Draw, 4, Tong(8)},
        {S::Discard, 4, Tong(8)},
        {S::Draw, 8, Wan(7)},
        {S::Discard, 8, Tong(3)},
        {S::Draw, 1, Tiao(1)},
        {S::OwnTurn},
        {S::Draw, 2, Tiao(5)},
        {S::Discard, 2, Tiao(5)},
        {S::Claim, 8, Tiao(5), OpPeng},
        {S::Discard, 8, Tiao(7)},
        {S::Draw, 1, Tong(3)},
        {S::OwnTurn},
        {S::Draw, 2, Tiao(9)},
        {S::Claim, 2, Tiao(9), OpSingleGang},
        {S::Draw, 2, Tong(5)},
        {S::Discard, 2, Tong(5)},
        {S::Draw, 4, Wan(5)},
        {S::Discard, 4, Wan(5)},
        {S::Draw, 8, Tiao(5)},
        {S::Claim, 8, Tiao(5), OpSingleGang},
        {S::Draw, 8, Tong(7)},
        {S::Discard, 8, Tong(7)},
        {S::Draw, 1, Wan(8)},
        {S::OwnTurn},
        {S::Draw, 2, HongZhong},
        {S::Claim, 2, HongZhong, OpSingleGang},
        {S::Draw, 2, Wan(1)},
        {S::Discard, 2, Wan(1)},
        {S::Draw, 4, Tong(2)},
        {S::Discard, 4, Tong(2)},
    };
}

// The hand as a watcher of seat 1 sees it: the own turns are the discards
// the player's auto-play made.
std::vector<HandStep> watchedHand(const std::vector<int>& ownDiscards) {
    std::vector<HandStep> hand;
    std::size_t next = 0;
    for (const HandStep& s : droppedHand()) {
        if (s.step != Step::OwnTurn) {
            hand.push_back(s);
        } else if (next < ownDiscards.size()) {
            hand.push_back({Step::Discard, 1, ownDiscards[next++]});
        }
    }
    return hand;
}

// Plays the hand without a break, then once more for every boundary with the
// link dropped there and the hand restored, on a player's or a watcher's
// table. Returns what auto-play discarded on the own turns.
std::vector<int> dropEveryBoundary(bool watcher, const std::vector<HandStep>& hand) {
    const char* who = watcher ? "watcher" : "player";
    // The hand played without a break: the table after every step.
    std::vector<std::string> unbroken;
    std::vector<int> ownDiscards;
    {
        TableRun a(watcher);
        for (const HandStep& s : hand) {
            a.play(s);
            unbroken.push_back(a.describe());
        }
        EXPECT_FALSE(::testing::Test::HasFailure()) << unbroken.back();
        if (::testing::Test::HasFailure()) return {};
        ownDiscards = a.ownDiscards;
    }
    int tried = 0;
    int restored = 0;
    int playedOn = 0;
    int claimsOfTheLastDiscard = 0;
    // A drop before the deal has no hand to restore.
    for (std::size_t k = 2; k < hand.size(); ++k) {
        SCOPED_TRACE(std::string(who) + ": link dropped after step " + std::to_string(k));
        TableRun b(watcher);
        for (std::size_t i = 0; i <= k; ++i) b.play(hand[i]);
        b.dropAndRestore();
        ++tried;
        const std::string after = b.describe();
        EXPECT_EQ(after, unbroken[k]);
        EXPECT_TRUE(b.client->table.restoreDone);
        EXPECT_TRUE(b.client->link.inGame);
        restored += after == unbroken[k] ? 1 : 0;
        // The restore messages do not say whose discard lies in the middle,
        // so a claim of it right after a restore finds it in no row: the
        // meld is laid without that tile's picture and the discard stays in
        // its row. Every other boundary plays on to the same end.
        const bool claimNext = k + 1 < hand.size() && hand[k + 1].step == Step::Claim &&
                               (hand[k + 1].op == OpPeng || hand[k + 1].op == OpMingGang);
        for (std::size_t i = k + 1; i < hand.size(); ++i) {
            b.play(hand[i]);
            // The next step after the restore: every discard still in sight.
            if (i == k + 1 && !claimNext) {
                EXPECT_EQ(b.describe(), unbroken[i]) << "one step after the restore";
            }
        }
        EXPECT_TRUE(table::tableProblems(b.client->table).empty());
        if (claimNext) {
            ++claimsOfTheLastDiscard;
        } else {
            EXPECT_EQ(b.describe(), unbroken.back());
            playedOn += b.describe() == unbroken.back() ? 1 : 0;
        }
        if (::testing::Test::HasFatalFailure()) return ownDiscards;
    }
    EXPECT_EQ(restored, tried);
    EXPECT_EQ(playedOn + claimsOfTheLastDiscard, tried);
    std::cout << "[ dropped hand ] " << who << ", " << tried << " boundaries: " << restored
              << " restored the table of the unbroken hand, " << playedOn << " played on to its end, "
              << claimsOfTheLastDiscard << " were followed by a claim of the discard in the middle\n";
    return ownDiscards;
}

TEST(DroppedHand, EveryBoundaryRestoresTheTableOfTheUnbrokenHand) { (void)dropEveryBoundary(false, droppedHand()); }

// The watcher's table takes the back value from its own tail and lays every
// discard at once; coming back at any boundary it shows what a watcher who
// never left shows.
TEST(DroppedHand, AWatcherComingBackAtEveryBoundarySeesTheTableOfTheUnbrokenHand) {
    std::vector<int> ownDiscards;
    {
        TableRun player;
        for (const HandStep& s : droppedHand()) player.play(s);
        ownDiscards = player.ownDiscards;
    }
    ASSERT_EQ(ownDiscards.size(), 4U);
    (void)dropEveryBoundary(true, watchedHand(ownDiscards));
}

}  // namespace
}  // namespace mj::test
