// picture_resources_test.cpp: the picture-id tables, the resource loader, the
// in-memory decoder, and the generated artwork against the numbers and sizes
// the table relies on.
#include "link/picture_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>

#include "platform/sim/sim_picture_decoder.h"
#include "platform/sim/sim_resources.h"

namespace mj::link {
namespace {

using platform::PictureError;
using platform::sim::SimPictureDecoder;
using platform::sim::SimResources;

// 3 x 2, global table red, green, blue, black; black (3) is transparent.
// Pixels: red green blue / black red green.
const std::uint8_t TinyGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0x81, 0x00, 0x00, 0xFF,
                                0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                                0x01, 0x00, 0x00, 0x03, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00,
                                0x00, 0x08, 0x08, 0x00, 0x01, 0x04, 0x10, 0x30, 0x40, 0x60, 0x40, 0x00, 0x3B};

std::string tinyGif() { return std::string(reinterpret_cast<const char*>(TinyGif), sizeof TinyGif); }

// SOI, then a baseline frame header: 5 wide, 3 high.
std::string tinyJpeg() {
    const std::uint8_t bytes[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0, 0x00, 0x0B,
                                  0x08, 0x00, 0x03, 0x00, 0x05, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// ------------------------------------------------------------ tables

TEST(PictureTables, EveryTableAtBothScales) {
    using Pick = std::string (*)(const PictureTables&);
    struct Case {
        const char* name;
        double scale;
        Pick pick;
        const char* expected;
    };
    const Case cases[] = {
        {"send", 1.0, [](const PictureTables& t) { return t.anNiuPic[0]; }, "101"},
        {"send small", 0.78125, [](const PictureTables& t) { return t.anNiuPic[0]; }, "101"},
        {"send hover small", 0.78125, [](const PictureTables& t) { return t.anNiuPic[1]; }, "102"},
        {"chat", 1.0, [](const PictureTables& t) { return t.anNiuPic[2]; }, "103"},
        {"chat small", 0.78125, [](const PictureTables& t) { return t.anNiuPic[2]; }, "381"},
        {"exit hover", 1.0, [](const PictureTables& t) { return t.anNiuPic[19]; }, "120"},
        {"exit hover small", 0.78125, [](const PictureTables& t) { return t.anNiuPic[19]; }, "398"},
        // the scale test is exact: anything but 1.0 takes the small set
        {"chat near 1", 0.999, [](const PictureTables& t) { return t.anNiuPic[2]; }, "381"},
        {"first tile", 0.78125, [](const PictureTables& t) { return t.tilePic[0]; }, "201"},
        {"big back", 1.0, [](const PictureTables& t) { return t.tilePic[151]; }, "352"},
        {"last tile", 1.0, [](const PictureTables& t) { return t.tilePic[179]; }, "380"},
        {"face 9", 1.0, [](const PictureTables& t) { return t.facePic[9]; }, "200"},
        {"face 10", 1.0, [](const PictureTables& t) { return t.facePic[10]; }, "401"},
        {"face 10 small", 0.78125, [](const PictureTables& t) { return t.facePic[10]; }, "401"},
        {"face 19", 0.78125, [](const PictureTables& t) { return t.facePic[19]; }, "410"},
        {"operation 17", 1.0, [](const PictureTables& t) { return t.operationPic[17]; }, "158"},
        {"dice 15", 1.0, [](const PictureTables& t) { return t.dicePic[15]; }, "176"},
        {"caption 8", 1.0, [](const PictureTables& t) { return t.captionPic[8]; }, "190"},
        {"dialog 7", 1.0, [](const PictureTables& t) { return t.dialogPic[7]; }, "137"},
        {"compass 3", 1.0, [](const PictureTables& t) { return t.compassPic[3]; }, "129"},
        {"panel 5", 0.78125, [](const PictureTables& t) { return t.panelPic[5]; }, "875"},
        {"imCmd 15", 1.0, [](const PictureTables& t) { return t.imCmdPic[15]; }, "865"},
        {"sezi 5", 1.0, [](const PictureTables& t) { return t.seziPic[5]; }, "605"},
    };
    for (const Case& c : cases) {
        PictureTables t;
        initPictureIdTables(t, c.scale);
        EXPECT_EQ(c.pick(t), c.expected) << c.name;
    }
}

// ------------------------------------------------------------ decoder

TEST(SimPictureDecoder, DecodesGifPixelsWithTransparency) {
    SimPictureDecoder decoder;
    const auto result = decoder.decode(tinyGif());
    ASSERT_TRUE(result) << platform::toString(result.error);
    ASSERT_EQ(result.picture->width, 3);
    ASSERT_EQ(result.picture->height, 2);
    const std::vector<std::uint32_t> expected = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                                 0x00000000, 0xFFFF0000, 0xFF00FF00};
    EXPECT_EQ(result.picture->pixels, expected);
}

TEST(SimPictureDecoder, ReadsJpegSize) {
    SimPictureDecoder decoder;
    const auto result = decoder.decode(tinyJpeg());
    ASSERT_TRUE(result);
    EXPECT_EQ(result.picture->width, 5);
    EXPECT_EQ(result.picture->height, 3);
}

TEST(SimPictureDecoder, ReportsWhyItFailed) {
    std::string truncatedJpeg = tinyJpeg().substr(0, 12);
    std::string hugeJpeg = tinyJpeg();
    hugeJpeg[15] = static_cast<char>(0x40);  // width 0x4005
    std::string badGif = tinyGif().substr(0, 20);
    struct Case {
        const char* name;
        std::string bytes;
        PictureError error;
    };
    const Case cases[] = {
        {"empty", "", PictureError::Empty},
        {"text", "hello, this is no picture", PictureError::Unrecognised},
        {"png", "\x89PNG\r\n\x1a\n", PictureError::Unrecognised},
        {"truncated gif", badGif, PictureError::Corrupt},
        {"truncated jpeg", truncatedJpeg, PictureError::Corrupt},
        {"huge jpeg", hugeJpeg, PictureError::TooLarge},
    };
    SimPictureDecoder decoder;
    for (const Case& c : cases) {
        const auto result = decoder.decode(c.bytes);
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(result.error, c.error) << c.name << ": " << platform::toString(result.error);
    }
}

// ------------------------------------------------------------ loader

struct ResourcePictureLoader : ::testing::Test {
    SimResources resources;
    SimPictureDecoder decoder;
    PictureLoader loader{resources, decoder};
    ui::Image target{"MJ_Image", 0};
    void SetUp() override {
        resources.add(205, "GIF", tinyGif());
        resources.add(870, "GIF", tinyJpeg());
        resources.add(999, "GIF", "not a picture");
    }
};

TEST_F(ResourcePictureLoader, SetsThePictureAndNamesItsNumber) {
    EXPECT_TRUE(loadPictureFromResource(loader, "205", "GIF", target));
    ASSERT_NE(target.picture(), nullptr);
    EXPECT_EQ(target.picture()->resourceId, 205);
    EXPECT_EQ(target.picture()->width, 3);
    // JPEG skins live under the same type.
    EXPECT_TRUE(loadPictureFromResource(loader, 870, "gif", target));
    EXPECT_EQ(target.picture()->resourceId, 870);
}

TEST_F(ResourcePictureLoader, FailureKeepsThePreviousPicture) {
    ASSERT_TRUE(loadPictureFromResource(loader, "205", "GIF", target));
    const ui::PictureRef before = target.picture();
    for (const char* id : {"865", "999", "", "20x", "-5", "99999999999", "205 "}) {
        EXPECT_FALSE(loadPictureFromResource(loader, id, "GIF", target)) << '"' << id << '"';
        EXPECT_EQ(target.picture(), before) << '"' << id << '"';
    }
    EXPECT_FALSE(loadPictureFromResource(loader, 205, "JPG", target));
    EXPECT_EQ(target.picture(), before);
}

TEST_F(ResourcePictureLoader, DecodesEachResourceOnce) {
    ui::Image other{"MJ_Image", 1};
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(loadPictureFromResource(loader, 205, "GIF", target));
        EXPECT_TRUE(loadPictureFromResource(loader, 205, "GIF", other));
        EXPECT_FALSE(loadPictureFromResource(loader, 865, "GIF", other));
    }
    EXPECT_EQ(resources.reads(), 2);
    EXPECT_EQ(decoder.decodes(), 1);
    EXPECT_EQ(target.picture(), other.picture());  // one shared picture
}

// ------------------------------------------------------------ generated artwork

#ifdef MJ_ART_DIR
struct ResourceArtwork : ::testing::Test {
    static SimResources& resources() {
        static SimResources r = [] {
            SimResources s;
            s.loadScript(std::string(MJ_ART_DIR) + "/resources.rc");
            return s;
        }();
        return r;
    }
    SimPictureDecoder decoder;
    PictureLoader loader{resources(), decoder};
    platform::DecodedPicture load(int id) { return loader.load(id, "GIF"); }
};

TEST_F(ResourceArtwork, EveryNumberTheClientLoadsIsThereAndDecodes) {
    std::vector<int> ids;
    auto range = [&](int first, int last) {
        for (int i = first; i <= last; ++i) ids.push_back(i);
    };
    range(101, 120);
    range(126, 137);
    range(141, 158);
    range(161, 176);
    range(182, 200);
    range(201, 380);
    range(381, 398);
    range(401, 410);
    range(600, 605);
    range(850, 864);
    range(870, 875);
    range(1001, 1049);
    ids.insert(ids.end(), {420, 450, 451});
    for (int id : ids) {
        const auto r = load(id);
        EXPECT_TRUE(r) << id << ": " << platform::toString(r.error);
    }
    EXPECT_FALSE(load(865)) << "865 must not exist";
    EXPECT_FALSE(load(121));
}

TEST_F(ResourceArtwork, PicturesHaveTheSizesTheirPlacesUse) {
    struct Case {
        int id;
        int w, h;
    };
    const Case cases[] = {
        {101, 50, 30},     {103, 60, 30},    {120, 60, 30},    {381, 47, 23},    {398, 47, 23},    {141, 50, 71},
        {155, 50, 71},     {158, 50, 71},    {130, 70, 29},    {132, 70, 29},    {134, 64, 26},    {137, 64, 26},
        {600, 24, 24},     {850, 16, 14},    {864, 16, 14},    {420, 150, 143},  {450, 54, 31},    {451, 54, 31},
        {870, 175, 138},   {871, 276, 215},  {872, 434, 341},  {873, 137, 108},  {874, 216, 168},  {875, 339, 266},
        {1001, 1024, 768}, {1002, 800, 600}, {1005, 41, 49},   {1018, 41, 57},   {1003, 124, 107}, {1025, 46, 220},
        {1031, 320, 180},  {1032, 220, 365}, {1033, 220, 330}, {1034, 16, 16},   {1039, 16, 16},   {1040, 70, 29},
        {1042, 91, 35},    {1047, 640, 480}, {1048, 655, 454}, {1049, 320, 180}, {1024, 320, 180},
    };
    for (const Case& c : cases) {
        const auto r = load(c.id);
        ASSERT_TRUE(r) << c.id;
        EXPECT_EQ(r.picture->width, c.w) << c.id;
        EXPECT_EQ(r.picture->height, c.h) << c.id;
    }
}

// Each view's set shares one size for faces and lying back; upright sets are
// taller than wide, the side views wider than tall; standing backs of the
// side views are tall (a tile seen from its side).
TEST_F(ResourceArtwork, TileSetsHaveOneShapePerView) {
    for (int set = 0; set < 5; ++set) {
        const auto face = load(201 + set * 36);  // 東 of the set
        ASSERT_TRUE(face);
        const bool wide = set == 1 || set == 3;
        EXPECT_EQ(face.picture->width > face.picture->height, wide) << "set " << set;
        for (int place = 0; place < 36; ++place) {
            if (place == 7) continue;  // the standing back has its own shape
            const auto p = load(201 + set * 36 + place);
            ASSERT_TRUE(p) << set << "/" << place;
            EXPECT_EQ(p.picture->width, face.picture->width) << set << "/" << place;
            EXPECT_EQ(p.picture->height, face.picture->height) << set << "/" << place;
        }
        const auto standing = load(208 + set * 36);
        ASSERT_TRUE(standing);
        EXPECT_GT(standing.picture->height, standing.picture->width) << "standing back of set " << set;
    }
}

// No two faces of one set may look the same, and backs must differ from faces.
TEST_F(ResourceArtwork, TileFacesAreDistinct) {
    for (int set = 0; set < 5; ++set) {
        std::set<std::vector<std::uint32_t>> seen;
        for (int place = 0; place < 36; ++place) {
            const auto p = load(201 + set * 36 + place);
            ASSERT_TRUE(p);
            EXPECT_TRUE(seen.insert(p.picture->pixels).second) << "set " << set << " place " << place;
        }
    }
}

// The own hand's upright faces are also the claim-choice pictures, stacked so
// that each row covers the top fifth of the row below: that band must look the
// same on every face, or a covered 二萬 reads as 一萬.
TEST_F(ResourceArtwork, UprightFacesLookAlikeInTheirCoveredTopFifth) {
    constexpr int Upright = 201 + 4 * 36;
    const auto plain = load(Upright);  // 東
    ASSERT_TRUE(plain);
    const int w = plain.picture->width;
    const int band = (plain.picture->height + 4) / 5;
    auto channelGap = [](std::uint32_t a, std::uint32_t b) {
        int gap = 0;
        for (int shift = 0; shift < 32; shift += 8)
            gap =
                std::max(gap, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
        return gap;
    };
    for (int place = 0; place < 36; ++place) {
        if (place == 7 || place == 8) continue;  // the backs
        const auto p = load(Upright + place);
        ASSERT_TRUE(p) << place;
        int worst = 0;
        // The rounded rim is left out: its few colours quantise differently
        // from picture to picture.
        for (int y = 3; y < band; ++y)
            for (int x = 4; x < w - 4; ++x) {
                const auto i = static_cast<std::size_t>(y * w + x);
                worst = std::max(worst, channelGap(p.picture->pixels[i], plain.picture->pixels[i]));
            }
        EXPECT_LE(worst, 24) << "place " << place << " shows something in its top " << band << " rows";
    }
}

// A claim caption sits 0.17 of its bubble's width (112) right of the right
// seat's bubble, which starts at 936 x the scale: at 800 x 600 that leaves
// 800 - 731.25 - 19.04 = 49.7 pixels of the window, at 1024 x 768 about 69.
TEST_F(ResourceArtwork, ClaimCaptionsFitWhatTheRightSeatShows) {
    const int onScreen = static_cast<int>(800 - 936 * 0.78125 - 0.17 * 112);
    for (int id = 182; id <= 190; ++id) {
        const auto p = load(id);
        ASSERT_TRUE(p) << id;
        int right = -1;
        for (int y = 0; y < p.picture->height; ++y)
            for (int x = 0; x < p.picture->width; ++x)
                if ((p.picture->pixels[static_cast<std::size_t>(y * p.picture->width + x)] >> 24) != 0)
                    right = std::max(right, x);
        EXPECT_GE(right, 0) << id << " is empty";
        EXPECT_LT(right, onScreen) << id << " draws at x " << right;
    }
}

// Where a click closes a pop-up, its picture shows a red close mark: the
// boards' close areas at their top right, the chat windows' top strip.
TEST_F(ResourceArtwork, PopUpPicturesMarkWhereTheyClose) {
    struct Case {
        int id;
        int l, t, w, h;  // pixels of the close areas (or the strip's right end)
    };
    const Case cases[] = {
        {1047, 598, 8, 43, 23}, {1048, 608, 8, 41, 17}, {1049, 290, 0, 23, 17}, {1024, 290, 0, 23, 17}};
    for (const Case& k : cases) {
        const auto p = load(k.id);
        ASSERT_TRUE(p) << k.id;
        int red = 0, white = 0;
        for (int y = k.t; y < k.t + k.h; ++y)
            for (int x = k.l; x < k.l + k.w; ++x) {
                const std::uint32_t px = p.picture->pixels[static_cast<std::size_t>(y * p.picture->width + x)];
                const int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
                red += r > 150 && g < 90 && b < 90;
                white += r > 230 && g > 230 && b > 230;
            }
        EXPECT_GT(red, 40) << k.id;
        EXPECT_GT(white, 8) << k.id << ": no cross on the mark";
    }
}

// The animation's frames and timing are checked with the player that shows it.
TEST_F(ResourceArtwork, SkinsAreJpeg) {
    for (int id = 870; id <= 875; ++id)
        EXPECT_EQ(platform::sniffPicture(*resources().bytes(id, "GIF")), platform::PictureKind::Jpeg) << id;
    EXPECT_EQ(platform::sniffPicture(*resources().bytes(201, "GIF")), platform::PictureKind::Gif);
}
#endif

}  // namespace
}  // namespace mj::link
