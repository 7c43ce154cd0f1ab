// gif_encoder_test.cpp: the exact bytes of the one-frame GIF, and round trips.
#include "anigif/gif_encoder.h"

#include <gtest/gtest.h>

#include <random>

#include "anigif/frame_decoder.h"

namespace mj::anigif {
namespace {

FrameRecord frame(int w, int h, int transparent = -1) {
    FrameRecord f;
    f.width = w;
    f.height = h;
    f.hasTransparency = transparent >= 0;
    f.transparentIndex = uint8_t(transparent >= 0 ? transparent : 0);
    return f;
}

Palette palette(int n) {
    Palette p;
    p.count = uint16_t(n);
    for (int k = 0; k < n; ++k) p.colors[size_t(k)] = 0x010203u * uint32_t(k + 1);
    return p;
}

std::vector<uint8_t> afterDescriptor(const std::vector<uint8_t>& gif, size_t descriptorAt) {
    return {gif.begin() + long(descriptorAt + 10), gif.end()};
}

TEST(GifEncoder, ExactBytes) {
    struct Case {
        int w, h;
        std::vector<uint8_t> pixels;
        std::vector<uint8_t> tail;  // from the minimum code size to the trailer
    } cases[] = {
        {1, 1, {5}, {0x08, 0x04, 0x00, 0x0B, 0x04, 0x04, 0x00, 0x3B}},                       // 256, 5, 257
        {2, 2, {0, 1, 1, 1}, {0x08, 0x06, 0x00, 0x01, 0x04, 0x18, 0x18, 0x10, 0x00, 0x3B}},  // 256 0 1 259 257
    };
    for (const auto& c : cases) {
        const auto gif = encodeFrameAsGif(frame(c.w, c.h), palette(256), c.pixels);
        ASSERT_EQ(gif.size(), 781u + 10u + c.tail.size());
        EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
        EXPECT_EQ(gif[6], c.w);
        EXPECT_EQ(gif[8], c.h);
        EXPECT_EQ(gif[10], 0x87);
        EXPECT_EQ(gif[781], 0x2C);
        EXPECT_EQ(std::vector<uint8_t>(gif.begin() + 782, gif.begin() + 791),
                  (std::vector<uint8_t>{0, 0, 0, 0, uint8_t(c.w), 0, uint8_t(c.h), 0, 0}));
        EXPECT_EQ(afterDescriptor(gif, 781), c.tail);
    }
}

TEST(GifEncoder, TransparencyBlockAndShortPalette) {
    const auto gif = encodeFrameAsGif(frame(1, 1, 255), palette(4), std::vector<uint8_t>{5});
    EXPECT_EQ(std::vector<uint8_t>(gif.begin() + 781, gif.begin() + 789),
              (std::vector<uint8_t>{0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0xFF, 0x00}));
    EXPECT_EQ(gif[789], 0x2C);
    EXPECT_EQ(gif[10], 0x87);  // still 256 entries
    EXPECT_EQ(std::vector<uint8_t>(gif.begin() + 13, gif.begin() + 16), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::vector<uint8_t>(gif.begin() + 22, gif.begin() + 25), (std::vector<uint8_t>{4, 8, 12}));
    for (size_t i = 25; i < 781; ++i) ASSERT_EQ(gif[i], 0) << i;
}

TEST(GifEncoder, NothingForAnEmptyFrame) {
    EXPECT_TRUE(encodeFrameAsGif(frame(0, 5), palette(4), {}).empty());
    EXPECT_TRUE(encodeFrameAsGif(frame(5, 0), palette(4), {}).empty());
    EXPECT_TRUE(encodeFrameAsGif(frame(4, 4), palette(4), std::vector<uint8_t>(15)).empty());
}

TEST(GifEncoder, LargeFramesRoundTrip) {
    struct Case {
        int w, h, colors, run;
    } cases[] = {{300, 300, 256, 1}, {640, 480, 16, 9}, {1000, 3, 2, 1}, {129, 77, 256, 400}};
    std::mt19937 rng(9);
    for (const auto& c : cases) {
        std::vector<uint8_t> px(size_t(c.w * c.h));
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = (i % size_t(c.run) == 0) ? uint8_t(rng() % unsigned(c.colors)) : px[i - 1];
        const auto gif = encodeFrameAsGif(frame(c.w, c.h), palette(256), px);
        const DecodedGif d = decodeGif(gif);
        ASSERT_EQ(d.cells.size(), 1u);
        EXPECT_EQ(d.cells[0].result, LzwEnd::Complete);
        EXPECT_EQ(d.cells[0].indices, px) << c.w << "x" << c.h;
        // Every full sub-block holds 254 bytes.
        EXPECT_EQ(gif[792], c.w * c.h > 300 ? 254 : gif[792]);
    }
}

}  // namespace
}  // namespace mj::anigif
