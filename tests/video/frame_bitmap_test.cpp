// frame_bitmap_test.cpp: frames as BMP pictures, and what is refused.
#include <gtest/gtest.h>

#include "video/frame_bitmap.h"

namespace mj::test {
namespace {

TEST(FrameBitmap, APictureComesBackAsItWasWritten) {
    for (const auto& [w, h] : {std::pair{1, 1}, {3, 2}, {5, 7}, {160, 120}}) {
        std::vector<std::uint32_t> px(static_cast<std::size_t>(w * h));
        for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<std::uint32_t>(i * 2654435761u) & 0xFFFFFF;
        const auto bytes = video::encodeBmp(w, h, px);
        const auto pic = video::decodeBmp(bytes);
        ASSERT_TRUE(pic) << w << "x" << h;
        EXPECT_EQ(pic->width, w);
        EXPECT_EQ(pic->height, h);
        for (std::size_t i = 0; i < px.size(); ++i) ASSERT_EQ(pic->pixels[i], 0xFF000000u | px[i]) << i;
    }
}

TEST(FrameBitmap, ATopDown32BitPictureIsRead) {
    auto b = video::encodeBmp(2, 2, std::vector<std::uint32_t>{1, 2, 3, 4});
    // Rewrite as 32 bits, top-down.
    b.resize(54);
    const std::uint8_t rows[] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0, 0, 0};
    b.insert(b.end(), std::begin(rows), std::end(rows));
    b[28] = 32;
    const std::int32_t negative = -2;
    for (int i = 0; i < 4; ++i) b[22 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(negative) >> (8 * i));
    const auto pic = video::decodeBmp(b);
    ASSERT_TRUE(pic);
    EXPECT_EQ(pic->pixels, (std::vector<std::uint32_t>{0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}));
}

TEST(FrameBitmap, AnythingElseIsRefused) {
    const auto good = video::encodeBmp(4, 4, std::vector<std::uint32_t>(16, 0x808080));
    struct Case {
        const char* what;
        std::size_t at;
        std::uint8_t value;
        std::size_t cut;
    };
    const std::vector<Case> cases = {
        {"signature", 0, 'X', 0},
        {"bits per pixel", 28, 8, 0},
        {"compressed", 30, 1, 0},
        {"planes", 26, 2, 0},
        {"zero width", 18, 0, 0},
        {"width beyond the limit", 19, 0x10, 0},
        {"data offset past the end", 11, 0x40, 0},
        {"cut short", 0, 'B', 3},
        {"header only", 0, 'B', 60},
    };
    for (const Case& k : cases) {
        auto b = good;
        b[k.at] = k.value;
        b.resize(b.size() - std::min(k.cut, b.size()));
        EXPECT_FALSE(video::decodeBmp(b)) << k.what;
    }
    EXPECT_FALSE(video::decodeBmp({}));
    EXPECT_TRUE(video::encodeBmp(0, 3, {}).empty());
}

}  // namespace
}  // namespace mj::test
