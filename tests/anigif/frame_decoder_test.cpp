// frame_decoder_test.cpp: LZW decoding to indices, interlace, and damaged data.
#include "anigif/frame_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "anigif/gif_builder.h"

namespace mj::anigif {
namespace {

using testing::Bytes;
using testing::GifBuilder;
using testing::greyPalette;
using testing::lzwData;

std::vector<uint8_t> randomPixels(size_t n, int colors, uint32_t seed, int run = 1) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> p(n);
    for (size_t i = 0; i < n; ++i)
        p[i] = (i % size_t(run) == 0 || i == 0) ? uint8_t(rng() % unsigned(colors)) : p[i - 1];
    return p;
}

struct RoundTrip {
    int codeSize;
    int w, h;
    int run;  // 1: noise, larger: runs that make long table strings
    bool clearWhenFull;
};

class LzwRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

TEST_P(LzwRoundTrip, DecodesWhatAnIndependentCoderWrote) {
    const RoundTrip c = GetParam();
    const auto pixels = randomPixels(size_t(c.w) * size_t(c.h), 1 << c.codeSize, 42u + unsigned(c.codeSize), c.run);
    const Bytes data = lzwData(pixels, c.codeSize, c.clearWhenFull, 300);
    std::vector<uint8_t> out(pixels.size(), 0xEE);
    LzwDecoder d;
    const LzwResult r = d.decode(data, c.codeSize, out);
    EXPECT_EQ(r.end, LzwEnd::Complete);
    EXPECT_EQ(r.pixels, pixels.size());
    EXPECT_EQ(out, pixels);
}

INSTANTIATE_TEST_SUITE_P(CodeSizes, LzwRoundTrip,
                         ::testing::Values(RoundTrip{2, 37, 23, 1, true}, RoundTrip{2, 300, 200, 7, true},
                                           RoundTrip{3, 64, 64, 1, true}, RoundTrip{4, 100, 90, 3, true},
                                           RoundTrip{5, 51, 49, 1, true}, RoundTrip{6, 80, 80, 2, true},
                                           RoundTrip{7, 33, 200, 1, true}, RoundTrip{8, 1, 1, 1, true},
                                           RoundTrip{8, 257, 255, 1, true},
                                           // The full 12-bit table stays in use until a late clear.
                                           RoundTrip{8, 300, 300, 1, false}, RoundTrip{2, 400, 400, 5, false},
                                           // Long runs: KwKwK codes and strings longer than 8 bytes.
                                           RoundTrip{8, 640, 1, 640, true}, RoundTrip{4, 1000, 50, 97, true}));

TEST(LzwDecoder, DamagedData) {
    const std::vector<uint8_t> pixels = randomPixels(400, 4, 7);
    const Bytes good = lzwData(pixels, 2);
    LzwDecoder d;
    std::vector<uint8_t> out(400);

    // Cut off halfway: what was decoded stays, the end is reported.
    Bytes cut(good.begin(), good.begin() + long(good.size() / 2));
    LzwResult r = d.decode(cut, 2, out);
    EXPECT_EQ(r.end, LzwEnd::EndOfData);
    EXPECT_GT(r.pixels, 0u);
    EXPECT_LT(r.pixels, 400u);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + long(r.pixels), pixels.begin()));

    // Output larger than the data: missing end code.
    std::vector<uint8_t> big(800, 0xEE);
    r = d.decode(good, 2, big);
    EXPECT_EQ(r.pixels, 400u);
    EXPECT_EQ(big[400], 0xEE);

    // Output smaller than the data: excess data is ignored.
    std::vector<uint8_t> small(100);
    r = d.decode(good, 2, small);
    EXPECT_EQ(r.end, LzwEnd::Complete);
    EXPECT_EQ(r.pixels, 100u);
    EXPECT_TRUE(std::equal(small.begin(), small.end(), pixels.begin()));

    // Code sizes outside 2..8 decode nothing.
    for (int bad : {0, 1, 9, 12}) EXPECT_EQ(d.decode(good, bad, out).end, LzwEnd::BadCodeSize) << bad;

    // A table code before any string: clear (4), then code 6 in 3 bits.
    const Bytes early = {1, 0x34, 0};  // bits: 100 110 ...
    r = d.decode(early, 2, out);
    EXPECT_EQ(r.end, LzwEnd::BadCode);
    EXPECT_EQ(r.pixels, 0u);

    // A code past the next free one: 1, then 7 while only 6 could be defined.
    const Bytes ahead = {2, 0xCC, 0x01, 0};  // 4 (100), 1 (001), 7 (111) -> 0b111001100
    r = d.decode(ahead, 2, out);
    EXPECT_EQ(r.end, LzwEnd::BadCode);
    EXPECT_EQ(r.pixels, 1u);
    EXPECT_EQ(out[0], 1);

    // Nothing at all.
    EXPECT_EQ(d.decode({}, 2, out).end, LzwEnd::EndOfData);
}

TEST(FrameDecoder, InterlacedRowsComeOutInDisplayOrder) {
    for (int h : {1, 2, 3, 5, 8, 9, 17, 33}) {
        const int w = 3;
        std::vector<uint8_t> pixels(size_t(w * h));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) pixels[size_t(y * w + x)] = uint8_t(y % 256);
        const Bytes b = GifBuilder().screen(greyPalette(64), 6).image(0, 0, w, h, pixels, 6, {}, 0, true).end();
        const DecodedGif g = decodeGif(b);
        ASSERT_EQ(g.cells.size(), 1u);
        EXPECT_EQ(g.cells[0].indices, pixels) << h;
    }
}

TEST(FrameDecoder, ZeroSizeAndCutFramesAreSafe) {
    const Bytes b = GifBuilder()
                        .screen(greyPalette(4), 2)
                        .image(0, 0, 4, 4, std::vector<uint8_t>(16, 2), 2)
                        .image(2, 2, 0, 0, {}, 2)
                        .image(0, 0, 4, 4, std::vector<uint8_t>(16, 3), 2)
                        .end();
    DecodedGif g = decodeGif(b);
    ASSERT_EQ(g.cells.size(), 3u);
    EXPECT_TRUE(g.cells[1].indices.empty());
    EXPECT_EQ(g.cells[2].indices, std::vector<uint8_t>(16, 3));

    // Cut inside the last frame's data: the frame counts and what is missing is 0.
    const Bytes cut(b.begin(), b.end() - 4);
    g = decodeGif(cut);
    ASSERT_EQ(g.cells.size(), 3u);
    ASSERT_EQ(g.cells[2].indices.size(), 16u);
    EXPECT_EQ(g.cells[2].result, LzwEnd::EndOfData);
    EXPECT_EQ(g.cells[2].indices.back(), 0);  // not reached: stays 0
}

}  // namespace
}  // namespace mj::anigif
