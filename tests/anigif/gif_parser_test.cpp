// gif_parser_test.cpp: the block walk on hand-made streams.
#include "anigif/gif_parser.h"

#include <gtest/gtest.h>

#include "anigif/gif_builder.h"

namespace mj::anigif {
namespace {

using testing::Bytes;
using testing::GifBuilder;
using testing::greyPalette;

std::vector<uint8_t> fill(int w, int h, uint8_t v = 1) { return std::vector<uint8_t>(size_t(w) * size_t(h), v); }

Bytes oneFrame(std::string sig = "GIF89a") {
    return GifBuilder(sig, 500, 500).screen(greyPalette(4), 2).image(5, 5, 10, 20, fill(10, 20), 2).end();
}

TEST(GifParser, SignatureIgnoresLetterCase) {
    struct Case {
        const char* sig;
        bool accepted;
    } cases[] = {{"GIF89a", true},  {"gif87a", true},  {"GIF89A", true}, {"GiF87a", true},
                 {"GIF88a", false}, {"PNG89a", false}, {"GIF8", false}};
    for (const auto& c : cases) {
        const ParsedGif g = parseGif(oneFrame(c.sig));
        EXPECT_EQ(g.frames.size(), c.accepted ? 1u : 0u) << c.sig;
        if (!c.accepted) {
            EXPECT_EQ(g.end, ParseEnd::BadSignature) << c.sig;
        }
    }
    EXPECT_EQ(parseGif(Bytes{'G', 'I', 'F'}).end, ParseEnd::BadSignature);
    EXPECT_EQ(parseGif(Bytes{}).end, ParseEnd::BadSignature);
}

TEST(GifParser, LogicalSizeIsUnionOfFrames) {
    // The screen fields say 500 x 500; only the frames count.
    ParsedGif g = parseGif(oneFrame());
    EXPECT_EQ(g.width, 15);
    EXPECT_EQ(g.height, 25);

    g = parseGif(GifBuilder("GIF89a", 1, 1)
                     .screen(greyPalette(4), 2)
                     .image(0, 0, 10, 10, fill(10, 10), 2)
                     .image(20, 0, 5, 30, fill(5, 30), 2)
                     .end());
    ASSERT_EQ(g.frames.size(), 2u);
    EXPECT_EQ(g.width, 25);
    EXPECT_EQ(g.height, 30);
    EXPECT_EQ(g.end, ParseEnd::Trailer);
}

TEST(GifParser, GraphicControlFields) {
    struct Case {
        int disposal, delayCs, transparent;
        bool firstFrame;
        Disposal wantDisposal;
    } cases[] = {
        {3, 7, -1, true, Disposal::Unspecified},  // "restore previous" has nothing to restore on frame 1
        {3, 7, -1, false, Disposal::Previous},    {2, 0, 5, false, Disposal::Background},
        {5, 1, -1, false, Disposal::Unspecified},  // reserved values
        {7, 1, -1, true, Disposal::Unspecified},  {1, 65535, 255, true, Disposal::Keep},
    };
    for (const auto& c : cases) {
        GifBuilder b;
        b.screen(greyPalette(4), 2);
        if (!c.firstFrame) b.image(0, 0, 2, 2, fill(2, 2), 2);
        b.gce(c.disposal, c.delayCs, c.transparent).image(0, 0, 2, 2, fill(2, 2), 2);
        const ParsedGif g = parseGif(b.end());
        ASSERT_FALSE(g.frames.empty());
        const FrameRecord& f = g.frames.back();
        EXPECT_EQ(f.disposal, c.wantDisposal) << c.disposal;
        EXPECT_EQ(f.delayMs, c.delayCs * 10);
        EXPECT_EQ(f.hasTransparency, c.transparent >= 0);
        EXPECT_EQ(f.transparentIndex, c.transparent >= 0 ? c.transparent : 0);
    }
}

TEST(GifParser, NothingCarriesToTheNextImageAndASecondControlBlockReplacesTheFirst) {
    const ParsedGif g = parseGif(GifBuilder()
                                     .screen(greyPalette(4), 2)
                                     .gce(1, 50, 2)
                                     .gce(2, 9, -1)
                                     .image(0, 0, 2, 2, fill(2, 2), 2)
                                     .image(0, 0, 2, 2, fill(2, 2), 2)
                                     .end());
    ASSERT_EQ(g.frames.size(), 2u);
    EXPECT_EQ(g.frames[0].delayMs, 90);
    EXPECT_EQ(g.frames[0].disposal, Disposal::Background);
    EXPECT_FALSE(g.frames[0].hasTransparency);
    EXPECT_EQ(g.frames[1].delayMs, 0);
    EXPECT_EQ(g.frames[1].disposal, Disposal::Unspecified);
    EXPECT_FALSE(g.frames[1].hasTransparency);
}

TEST(GifParser, ControlBlockOfAnotherSizeIsSteppedOverByItsSize) {
    // A 6-byte block: the fields are its first four bytes and the parse stays in step.
    Bytes g6 = GifBuilder().screen(greyPalette(4), 2).gce(2, 3, 1, 6).image(0, 0, 2, 2, fill(2, 2), 2).end();
    ParsedGif g = parseGif(g6);
    ASSERT_EQ(g.frames.size(), 1u);
    EXPECT_EQ(g.frames[0].delayMs, 30);
    EXPECT_TRUE(g.frames[0].hasTransparency);
    // A 2-byte block says nothing reliable and is ignored.
    g = parseGif(GifBuilder().screen(greyPalette(4), 2).gce(2, 3, 1, 2).image(0, 0, 2, 2, fill(2, 2), 2).end());
    ASSERT_EQ(g.frames.size(), 1u);
    EXPECT_EQ(g.frames[0].delayMs, 0);
    EXPECT_FALSE(g.frames[0].hasTransparency);
}

TEST(GifParser, NetscapeLoopCount) {
    struct Case {
        std::string id;
        int count;
        int want;
    } cases[] = {{"NETSCAPE2.0", 0, 0},
                 {"NETSCAPE2.0", 0xFFFF, 65535},
                 {"netscape2.0", 3, 3},
                 {"ANIMEXTS1.0", 3, 0},
                 {"NETSCAPE2.", 3, 0}};
    for (const auto& c : cases) {
        const ParsedGif g = parseGif(
            GifBuilder().screen(greyPalette(4), 2).netscape(c.count, c.id).image(0, 0, 2, 2, fill(2, 2), 2).end());
        ASSERT_EQ(g.frames.size(), 1u) << c.id;
        EXPECT_EQ(g.loops, c.want) << c.id;
    }
    // Control block before the loop block, as some encoders write them.
    const ParsedGif g =
        parseGif(GifBuilder().screen(greyPalette(4), 2).gce(0, 5).netscape(4).image(0, 0, 2, 2, fill(2, 2), 2).end());
    EXPECT_EQ(g.loops, 4);
    EXPECT_EQ(g.frames.at(0).delayMs, 50);
}

TEST(GifParser, OtherExtensionsAndStrayZerosAreSkipped) {
    const ParsedGif g = parseGif(GifBuilder()
                                     .screen(greyPalette(4), 2)
                                     .extension(0xFE, "a comment")
                                     .raw({0, 0})
                                     .extension(0x01, "plain text here")
                                     .extension(0x42, "unknown")
                                     .image(0, 0, 2, 2, fill(2, 2), 2)
                                     .end());
    EXPECT_EQ(g.frames.size(), 1u);
    EXPECT_EQ(g.end, ParseEnd::Trailer);
}

TEST(GifParser, AnyOtherByteEndsTheStream) {
    Bytes b = GifBuilder()
                  .screen(greyPalette(4), 2)
                  .image(0, 0, 2, 2, fill(2, 2), 2)
                  .raw({0x42})
                  .image(0, 0, 2, 2, fill(2, 2), 2)
                  .end();
    EXPECT_EQ(parseGif(b).frames.size(), 1u);
}

TEST(GifParser, ColourTables) {
    const ParsedGif g = parseGif(GifBuilder()
                                     .screen({0x112233, 0x445566}, 1)
                                     .image(0, 0, 2, 2, fill(2, 2, 0), 2)
                                     .image(0, 0, 2, 2, fill(2, 2, 0), 2, {0xAABBCC, 1, 2, 3}, 2)
                                     .image(0, 0, 2, 2, fill(2, 2, 0), 3, greyPalette(8), 3)
                                     .end());
    ASSERT_EQ(g.frames.size(), 3u);
    ASSERT_EQ(g.palettes.size(), 3u);
    EXPECT_EQ(g.frames[0].palette, 0);
    EXPECT_EQ(g.frames[1].palette, 1);
    EXPECT_EQ(g.frames[2].palette, 2);
    EXPECT_EQ(g.palettes[0].count, 2);
    EXPECT_EQ(g.palettes[0].colors[1], 0x445566u);
    EXPECT_EQ(g.palettes[0].colors[2], 0u);
    EXPECT_EQ(g.palettes[1].colors[0], 0xAABBCCu);
    EXPECT_EQ(g.palettes[2].count, 8);
}

TEST(GifParser, ImageWithoutAnyColourTableRefusesTheWholeStream) {
    const ParsedGif g = parseGif(GifBuilder()
                                     .screen()
                                     .image(0, 0, 2, 2, fill(2, 2), 2, greyPalette(4), 2)
                                     .image(0, 0, 2, 2, fill(2, 2), 2)
                                     .end());
    EXPECT_TRUE(g.frames.empty());
    EXPECT_EQ(g.end, ParseEnd::NoColourTable);
}

TEST(GifParser, CutOffDataKeepsTheCompletedFrames) {
    GifBuilder b;
    b.screen(greyPalette(4), 2);
    for (int i = 0; i < 3; ++i) b.image(0, 0, 4, 4, fill(4, 4), 2);
    const Bytes full = b.end();
    // Where the third image separator sits.
    size_t third = 0;
    for (size_t i = full.size() - 2, seen = 0; i > 0; --i)
        if (full[i] == 0x2C && ++seen == 1) {
            third = i;
            break;
        }
    ASSERT_GT(third, 0u);
    const ParsedGif g = parseGif(std::span(full).first(third + 5));  // inside the descriptor
    EXPECT_EQ(g.frames.size(), 2u);
    EXPECT_EQ(g.end, ParseEnd::EndOfData);

    // Cut inside the first image's data: the frame counts, clamped to the data.
    const size_t cut = full.size() - 20;
    const ParsedGif h = parseGif(std::span(full).first(cut));
    for (const FrameRecord& f : h.frames) EXPECT_LE(f.chunkStart + f.chunkLength, cut);

    // The global table ending on the very last byte counts as cut short.
    Bytes tableOnly = GifBuilder().screen(greyPalette(256), 8).b;
    EXPECT_EQ(parseGif(tableOnly).end, ParseEnd::EndOfData);
}

TEST(GifParser, TwelveFramesAndImageRecords) {
    GifBuilder b;
    b.screen(greyPalette(4), 2);
    for (int i = 0; i < 12; ++i) b.image(i, 0, 3, 2, fill(3, 2), 2, {}, 0, i % 2 == 1);
    const Bytes bytes = b.end();
    const ParsedGif g = parseGif(bytes);
    ASSERT_EQ(g.frames.size(), 12u);
    EXPECT_TRUE(g.frames[1].interlaced);
    EXPECT_FALSE(g.frames[2].interlaced);
    EXPECT_EQ(g.frames[11].left, 11);
    EXPECT_EQ(bytes[g.frames[4].chunkStart], 0x2C);
    EXPECT_EQ(g.frames[4].minCodeSize, 2);
    EXPECT_EQ(bytes[g.frames[4].chunkStart + g.frames[4].chunkLength - 1], 0);  // data terminator
}

TEST(GifParser, GeometryBeyondTheLimitsIsRefused) {
    struct Case {
        int left, top, w, h;
        ParseEnd want;
    } cases[] = {
        {65535, 65535, 65535, 65535, ParseEnd::TooLarge},
        {16384, 0, 1, 1, ParseEnd::TooLarge},
        {0, 0, 16384, 2000, ParseEnd::TooLarge},  // passes the side cap, not the pixel cap
        {16383, 0, 1, 1, ParseEnd::Trailer},
        {4, 4, 0, 0, ParseEnd::Trailer},  // a zero-size frame in a picture that has area
        {0, 0, 0, 7, ParseEnd::EmptyPicture},
    };
    for (const auto& c : cases) {
        // Tiny data: the parser must not care how many pixels the data holds.
        const Bytes b = GifBuilder().screen(greyPalette(4), 2).image(c.left, c.top, c.w, c.h, {}, 2).end();
        const ParsedGif g = parseGif(b);
        EXPECT_EQ(g.end, c.want) << c.left << "," << c.w;
        EXPECT_EQ(g.frames.empty(), c.want != ParseEnd::Trailer);
    }
    Limits few;
    few.maxFrames = 2;
    GifBuilder b;
    b.screen(greyPalette(4), 2);
    for (int i = 0; i < 3; ++i) b.image(0, 0, 1, 1, fill(1, 1), 2);
    EXPECT_EQ(parseGif(b.end(), few).end, ParseEnd::TooLarge);
}

}  // namespace
}  // namespace mj::anigif
