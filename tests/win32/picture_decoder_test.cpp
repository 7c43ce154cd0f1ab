// picture_decoder_test.cpp: decoding GIF and JPEG bytes in memory with WIC,
// checked pixel by pixel against a hand-made picture and against the native
// decoder on our own artwork.
#include "platform/win32/win32_picture_decoder.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_picture_decoder.h"
#include "platform/win32/win32_resources.h"

namespace mj::platform::win32 {
namespace {

// 3 x 2, global table red, green, blue, black; black (3) is transparent.
const std::uint8_t TinyGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x03, 0x00, 0x02, 0x00, 0x81, 0x00, 0x00, 0xFF,
                                0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04,
                                0x01, 0x00, 0x00, 0x03, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00,
                                0x00, 0x08, 0x08, 0x00, 0x01, 0x04, 0x10, 0x30, 0x40, 0x60, 0x40, 0x00, 0x3B};

std::string tinyGif() { return std::string(reinterpret_cast<const char*>(TinyGif), sizeof TinyGif); }

TEST(Win32PictureDecoder, DecodesGifPixelsWithTransparency) {
    Win32PictureDecoder decoder;
    const auto result = decoder.decode(tinyGif());
    ASSERT_TRUE(result) << toString(result.error);
    ASSERT_EQ(result.picture->width, 3);
    ASSERT_EQ(result.picture->height, 2);
    const auto& px = result.picture->pixels;
    EXPECT_EQ(px[0], 0xFFFF0000u);
    EXPECT_EQ(px[1], 0xFF00FF00u);
    EXPECT_EQ(px[2], 0xFF0000FFu);
    EXPECT_EQ(px[3] >> 24, 0u) << "transparent index must have alpha 0";
    EXPECT_EQ(px[4], 0xFFFF0000u);
}

TEST(Win32PictureDecoder, ReportsWhyItFailed) {
    struct Case {
        const char* name;
        std::string bytes;
        PictureError error;
    };
    const Case cases[] = {
        {"empty", "", PictureError::Empty},
        {"text", "hello, this is no picture", PictureError::Unrecognised},
        {"gif header only", tinyGif().substr(0, 13), PictureError::Corrupt},
        {"jpeg marker only", std::string("\xFF\xD8\xFF\xE0\x00\x02", 6), PictureError::Corrupt},
    };
    Win32PictureDecoder decoder;
    for (const Case& c : cases) {
        const auto result = decoder.decode(c.bytes);
        EXPECT_FALSE(result) << c.name;
        EXPECT_EQ(result.error, c.error) << c.name << ": " << toString(result.error);
    }
}

// The system decoder and the native one must agree on our own GIFs, so the
// native tests see the pictures the client shows.
TEST(Win32PictureDecoder, AgreesWithTheNativeDecoderOnOurPictures) {
    Win32Resources resources;
    Win32PictureDecoder system;
    sim::SimPictureDecoder native;
    for (int id : {101, 126, 141, 161, 182, 191, 205, 244, 245, 316, 352, 380, 600, 850, 1005}) {
        const auto bytes = resources.bytes(id, "GIF");
        ASSERT_TRUE(bytes) << id;
        const auto a = system.decode(*bytes);
        const auto b = native.decode(*bytes);
        ASSERT_TRUE(a && b) << id;
        ASSERT_EQ(a.picture->width, b.picture->width) << id;
        ASSERT_EQ(a.picture->height, b.picture->height) << id;
        int differing = 0;
        for (std::size_t i = 0; i < a.picture->pixels.size(); ++i) {
            const auto pa = a.picture->pixels[i], pb = b.picture->pixels[i];
            // fully transparent pixels may carry any colour
            if ((pa >> 24) == 0 && (pb >> 24) == 0) continue;
            if (pa != pb) ++differing;
        }
        EXPECT_EQ(differing, 0) << id;
    }
}

TEST(Win32PictureDecoder, DecodesOurJpegSkins) {
    Win32Resources resources;
    Win32PictureDecoder decoder;
    const auto result = decoder.decode(*resources.bytes(1001, "GIF"));
    ASSERT_TRUE(result) << toString(result.error);
    EXPECT_EQ(result.picture->width, 1024);
    EXPECT_EQ(result.picture->height, 768);
    // the table is green felt: green dominates in the middle
    const std::uint32_t mid = result.picture->pixels[384 * 1024 + 512];
    EXPECT_EQ(mid >> 24, 0xFFu);
    EXPECT_GT((mid >> 8) & 0xFF, (mid >> 16) & 0xFF);
}

}  // namespace
}  // namespace mj::platform::win32
