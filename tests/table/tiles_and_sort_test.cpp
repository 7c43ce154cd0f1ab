// tiles_and_sort_test.cpp: tile codes to pictures, views, tile sizes, the
// picture setter's boundary, the hand searches, and the display order.
#include <algorithm>
#include <vector>

#include "table/hand_sort.h"
#include "table/table_fixture.h"

namespace mj::test {
namespace {

using table::tilePicture;
using table::viewPos;

TEST(TileVocabulary, ViewsFollowTheSeatIndexes) {
    struct Case {
        SeatBit own, seat;
        int view;
    };
    const Case cases[] = {{8, 1, 3}, {1, 8, 1}, {4, 4, 0}, {1, 2, 3}, {2, 1, 1}, {1, 4, 2}, {8, 2, 2}};
    for (const Case& k : cases) EXPECT_EQ(viewPos(k.own, k.seat), k.view) << int(k.own) << " " << int(k.seat);
}

TEST(TileVocabulary, PictureNumbersBySetSuitAndRank) {
    struct Case {
        int set, code, picture;
    };
    const Case cases[] = {
        {0, 0x15, 4},
        {4, 0x89, 179},
        {4, 0x11, 144},
        {2, 0x15, 76},
        {1, 0x21, 45},
        {3, 0x49, 134},
        {0, 0x81, 27},
        {4, 0x47, 168},
        // Bits above the low byte do not change suit or rank.
        {0, 0x4000 | 0x15, 4},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(tilePicture(k.set, k.code), k.picture) << k.set << " " << k.code;
    }
    EXPECT_EQ(table::standingBack(2), 79);
    EXPECT_EQ(table::lyingBack(3), 116);
    EXPECT_EQ(table::standingBack(4), 151);
}

TEST(TileVocabulary, StoredSizesRoundHalvesToEven) {
    EXPECT_EQ(table::roundHalfEven(48 * 0.78125), 38);  // 37.5
    EXPECT_EQ(table::roundHalfEven(16 * 0.78125), 12);  // 12.5
    EXPECT_EQ(table::roundHalfEven(35 * 0.78125), 27);  // 27.34375
    struct Case {
        table::TileSizeSet set;
        double scale;
        int w[4], h[4];
    };
    const Case cases[] = {
        {table::TileSizeSet::Lying, 1.0, {36, 48, 30, 48}, {50, 35, 36, 35}},
        {table::TileSizeSet::Lying, 0.78125, {28, 38, 23, 38}, {39, 27, 28, 27}},
        {table::TileSizeSet::Standing, 0.78125, {38, 27, 28, 27}, {61, 52, 39, 52}},
        {table::TileSizeSet::Action, 1.0, {45, 45, 34, 45}, {60, 35, 40, 35}},
        {table::TileSizeSet::Reveal, 0.78125, {38, 35, 28, 35}, {47, 27, 30, 27}},
    };
    for (const Case& k : cases) {
        table::TableState t;
        table::setTileSizes(t, k.set, k.scale, k.scale);
        for (int v = 0; v < 4; ++v) {
            EXPECT_EQ(t.tileW[static_cast<std::size_t>(v)], k.w[v]) << v;
            EXPECT_EQ(t.tileH[static_cast<std::size_t>(v)], k.h[v]) << v;
        }
    }
}

class TableTiles : public TableFixture {
protected:
    void SetUp() override {
        TableFixture::SetUp();
        startOn(1024, 768);
    }
    // Puts the codes into view's concealed slots from slot 4, each slot
    // showing tile control 40 + i with the picture of its current code.
    void deal(int view, const std::vector<int>& codes) {
        auto& r = c().table.custom[static_cast<std::size_t>(view)];
        r.firstConcealed = 4;
        r.concealedCount = static_cast<int>(codes.size());
        for (std::size_t i = 0; i < codes.size(); ++i) {
            auto& s = r.slots[4 + i];
            s.state = table::SlotConcealed;
            s.tile = codes[i];
            s.img = 40 + static_cast<int>(i);
            table::setTileImage(c(), s.img, tilePicture(view == 0 ? 4 : view, codes[i]));
        }
    }
    std::vector<int> hand(int view) {
        const auto& r = c().table.custom[static_cast<std::size_t>(view)];
        std::vector<int> out;
        for (int i = r.firstConcealed; i < r.firstConcealed + r.concealedCount; ++i)
            out.push_back(r.slots[static_cast<std::size_t>(i)].tile);
        return out;
    }
};

TEST_F(TableTiles, SetTileImageShowsTheTileAndRefusesNumbersOutsideItsRange) {
    tile(5).setVisible(false);
    table::setTileImage(c(), 5, 151);
    EXPECT_TRUE(tile(5).visible());
    EXPECT_EQ(shownId("MJ_Image", 5), 352);
    EXPECT_EQ(table::shownTilePicture(c(), 5), 151);

    struct Bad {
        int image, picture;
    };
    for (const Bad b : {Bad{5, 180}, Bad{5, -1}, Bad{136, 3}, Bad{-1, 3}}) {
        const auto logs = sim.process.logLines.size();
        table::setTileImage(c(), b.image, b.picture);
        EXPECT_EQ(sim.process.logLines.size(), logs + 1) << b.image << " " << b.picture;
    }
    EXPECT_TRUE(tile(5).visible());
    EXPECT_EQ(shownId("MJ_Image", 5), 352);
}

TEST_F(TableTiles, HandSearchesLookAtTheConcealedRangeOnly) {
    deal(0, {0x11, 0x12, 0x13});
    auto& r = c().table.custom[0];
    r.slots[2] = {table::SlotPeng, 0x21, 7};
    EXPECT_TRUE(table::isImageInHand(c().table, 41));
    EXPECT_EQ(table::findSlotOfImage(c().table, 42), 6);
    EXPECT_FALSE(table::isImageInHand(c().table, 7));
    r.concealedCount = 0;
    EXPECT_FALSE(table::isImageInHand(c().table, 40));
    EXPECT_EQ(table::findSlotOfImage(c().table, 40), -1);
}

struct SortCase {
    const char* what;
    int wild, mode, pizi1, pizi2;
    std::vector<int> in, out;
    int wildCount, pizi1Count, pizi2Count;
};

const SortCase SortCases[] = {
    {"no wild tile yet", -1, 0, 0, 0, {0x43, 0x25, 0x11, 0x89, 0x41}, {0x89, 0x41, 0x43, 0x25, 0x11}, 0, 0, 0},
    {"wild 萬3", 0x43, 2, 0, 0, {0x43, 0x25, 0x11, 0x89, 0x41}, {0x43, 0x89, 0x41, 0x25, 0x11}, 1, 0, 0},
    {"痞子 mode", 0x81, 3, 0x25, 0x15, {0x15, 0x25, 0x81, 0x49, 0x81}, {0x81, 0x81, 0x25, 0x15, 0x49}, 2, 1, 1},
    {"痞子 outside 痞子 mode stay in suit order",
     0x81,
     2,
     0x25,
     0x15,
     {0x15, 0x25, 0x81, 0x49},
     {0x81, 0x49, 0x25, 0x15},
     1,
     0,
     0},
    {"first 痞子 equals the wild tile",
     0x25,
     3,
     0x25,
     0x15,
     {0x15, 0x25, 0x89, 0x25, 0x11, 0x15},
     {0x25, 0x25, 0x15, 0x15, 0x89, 0x11},
     2,
     2,
     2},
    {"second 痞子 equals the wild tile",
     0x81,
     3,
     0x23,
     0x81,
     {0x81, 0x23, 0x49, 0x23, 0x81},
     {0x81, 0x81, 0x23, 0x23, 0x49},
     2,
     2,
     2},
    {"both 痞子 codes equal",
     0x49,
     3,
     0x15,
     0x15,
     {0x15, 0x49, 0x21, 0x15, 0x89},
     {0x49, 0x15, 0x15, 0x89, 0x21},
     1,
     2,
     2},
    {"full hand with pairs",
     0x17,
     3,
     0x12,
     0x88,
     {0x88, 0x12, 0x17, 0x11, 0x29, 0x21, 0x45, 0x45, 0x17, 0x88, 0x81, 0x29, 0x12, 0x23},
     {0x17, 0x17, 0x12, 0x12, 0x88, 0x88, 0x81, 0x45, 0x45, 0x21, 0x23, 0x29, 0x29, 0x11},
     2,
     2,
     2},
};

TEST_F(TableTiles, SortOrdersWildAndPiziFirstThenSuitAndRankWithoutLosingATile) {
    for (const SortCase& k : SortCases) {
        SCOPED_TRACE(k.what);
        for (int view : {0, 2}) {
            auto& t = c().table;
            t.wildTile = k.wild;
            t.specialMode = k.mode;
            t.piziTile1 = k.pizi1;
            t.piziTile2 = k.pizi2;
            deal(view, k.in);
            table::sortAndDrawHand(c(), view, static_cast<int>(k.in.size()));
            EXPECT_EQ(hand(view), k.out) << "view " << view;
            auto sortedIn = k.in, sortedOut = hand(view);
            std::sort(sortedIn.begin(), sortedIn.end());
            std::sort(sortedOut.begin(), sortedOut.end());
            EXPECT_EQ(sortedIn, sortedOut) << "the same tiles, none lost, none doubled";
            const auto& r = t.custom[static_cast<std::size_t>(view)];
            EXPECT_EQ(r.wildCount, k.wildCount);
            if (k.mode == 3) {
                EXPECT_EQ(r.pizi1Count, k.pizi1Count);
                EXPECT_EQ(r.pizi2Count, k.pizi2Count);
            }
            for (std::size_t i = 0; i < k.out.size(); ++i) {
                const int img = r.slots[4 + i].img;
                EXPECT_EQ(img, 40 + static_cast<int>(i)) << "each slot keeps its control";
                EXPECT_EQ(table::shownTilePicture(c(), img), tilePicture(view == 0 ? 4 : view, k.out[i]));
                EXPECT_TRUE(tile(img).visible());
            }
        }
    }
}

TEST_F(TableTiles, OnceTheWildTileIsKnownOnlyWrongFacesOfTheOwnHandAreRedrawn) {
    auto& t = c().table;
    t.wildTile = 0x43;
    t.specialMode = 2;
    deal(0, {0x43, 0x25, 0x11, 0x89, 0x41});
    // A face turned down meanwhile without a change of code is redrawn.
    table::setTileImage(c(), 40, table::standingBack(4));
    table::sortAndDrawHand(c(), 0, 5);
    EXPECT_EQ(hand(0), (std::vector<int>{0x43, 0x89, 0x41, 0x25, 0x11}));
    EXPECT_EQ(table::shownTilePicture(c(), 44), tilePicture(4, 0x11));
    EXPECT_EQ(table::shownTilePicture(c(), 40), tilePicture(4, 0x43));
}

TEST_F(TableTiles, SortRefusesARangeOutsideTheRecord) {
    deal(1, {0x21, 0x11});
    c().table.custom[1].firstConcealed = 16;
    const auto logs = sim.process.logLines.size();
    table::sortAndDrawHand(c(), 1, 3);
    table::sortAndDrawHand(c(), 4, 1);
    EXPECT_EQ(sim.process.logLines.size(), logs + 2);
    c().table.custom[1].firstConcealed = 4;
    table::sortAndDrawHand(c(), 1, 0);
    EXPECT_EQ(hand(1), (std::vector<int>{0x21, 0x11}));
    EXPECT_EQ(c().table.custom[1].wildCount, 0);
}

TEST_F(TableTiles, SortTilesOrdersAPlainListAndLeavesTheRestAlone) {
    std::vector<int> list = {0x11, 0x29, 0x81, 0x45, 0x21, 0x89, 0x17, 0x15};
    table::sortTiles(c(), list, 6);
    EXPECT_EQ(list, (std::vector<int>{0x81, 0x89, 0x45, 0x21, 0x29, 0x11, 0x17, 0x15}));
    const auto copy = list;
    table::sortTiles(c(), list, 9);
    EXPECT_EQ(list, copy);
    EXPECT_TRUE(sim.process.logged("refused"));
    table::sortTiles(c(), list, 1);
    EXPECT_EQ(list, copy);
}

}  // namespace
}  // namespace mj::test
