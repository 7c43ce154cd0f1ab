// frame_renderer_test.cpp: composition with disposal and transparency, mirroring,
// and the stretch geometry.
#include "anigif/frame_renderer.h"

#include <gtest/gtest.h>

#include "anigif/gif_builder.h"

namespace mj::anigif {
namespace {

using testing::Bytes;
using testing::GifBuilder;

constexpr uint32_t Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF, White = 0xFFFFFF;
const std::vector<uint32_t> Colors = {Red, Green, Blue, White};

std::vector<uint8_t> fill(int w, int h, uint8_t v) { return std::vector<uint8_t>(size_t(w) * size_t(h), v); }

struct Composed {
    DecodedGif d;
    Compositor c;
    explicit Composed(const Bytes& b) : d(decodeGif(b)) { c.reset(d.gif.width, d.gif.height); }
    Rect draw(size_t i) { return c.compose(d.gif, d.cells, i); }
    uint32_t at(int x, int y) const { return c.image().pixels[size_t(y * c.image().width + x)]; }
};

// A 4 x 4 red background frame, then a 2 x 2 frame at (1, 1) with the given
// disposal, then a 1 x 1 white frame at (0, 0).
Bytes threeFrames(int disposal, int transparent = -1, std::vector<uint8_t> second = fill(2, 2, 1)) {
    return GifBuilder()
        .screen(Colors, 2)
        .gce(1, 0)
        .image(0, 0, 4, 4, fill(4, 4, 0), 2)
        .gce(disposal, 0, transparent)
        .image(1, 1, 2, 2, second, 2)
        .gce(1, 0)
        .image(0, 0, 1, 1, fill(1, 1, 3), 2)
        .end();
}

TEST(Compositor, DisposalMethods) {
    struct Case {
        int disposal;
        uint32_t insideAfter;  // pixel (1, 1) once the third frame is drawn
    } cases[] = {
        {0, Opaque | Green},
        {1, Opaque | Green},
        {2, 0},             // restored to transparent, not to a background colour
        {3, Opaque | Red},  // what lay there before
    };
    for (const auto& c : cases) {
        Composed p(threeFrames(c.disposal));
        EXPECT_EQ(p.draw(0), (Rect{0, 0, 4, 4}));
        p.draw(1);
        EXPECT_EQ(p.at(1, 1), Opaque | Green) << c.disposal;
        const Rect dirty = p.draw(2);
        EXPECT_EQ(p.at(1, 1), c.insideAfter) << c.disposal;
        EXPECT_EQ(p.at(0, 0), Opaque | White);
        EXPECT_EQ(p.at(3, 3), Opaque | Red);
        EXPECT_EQ(dirty, c.disposal >= 2 ? (Rect{0, 0, 3, 3}) : (Rect{0, 0, 1, 1})) << c.disposal;
        // Frame 0 again starts the pass from an empty picture.
        p.draw(0);
        EXPECT_EQ(p.at(1, 1), Opaque | Red);
    }
}

TEST(Compositor, TransparentIndexShowsWhatIsBehind) {
    // Index 2 is transparent in the second frame; it is also the blue of others.
    Composed p(threeFrames(1, 2, {1, 2, 2, 1}));
    p.draw(0);
    p.draw(1);
    EXPECT_EQ(p.at(1, 1), Opaque | Green);
    EXPECT_EQ(p.at(2, 1), Opaque | Red);
    EXPECT_EQ(p.at(1, 2), Opaque | Red);
}

TEST(Compositor, FirstFrameSmallerThanThePictureLeavesTheRestTransparent) {
    Composed p(
        GifBuilder().screen(Colors, 2).image(0, 0, 2, 2, fill(2, 2, 1), 2).image(2, 2, 2, 2, fill(2, 2, 2), 2).end());
    p.draw(0);
    EXPECT_EQ(p.at(0, 0), Opaque | Green);
    EXPECT_EQ(p.at(3, 3), 0u);
    p.draw(1);
    EXPECT_EQ(p.at(3, 3), Opaque | Blue);
    EXPECT_EQ(p.at(0, 3), 0u);
}

TEST(Compositor, IndicesPastThePaletteAreOpaqueBlackAndTransparencyStillWorks) {
    // A 2-colour table; index 3 is past it, index 2 is past it and transparent.
    Composed p(GifBuilder().screen({Red, Green}, 1).gce(0, 0, 2).image(0, 0, 3, 1, {0, 3, 2}, 2).end());
    p.draw(0);
    EXPECT_EQ(p.at(0, 0), Opaque | Red);
    EXPECT_EQ(p.at(1, 0), Opaque);
    EXPECT_EQ(p.at(2, 0), 0u);
}

TEST(Compositor, RestorePreviousAfterMirroring) {
    // Frame 2 at left 1, width 2 in a 5-wide picture, "restore previous"; the
    // picture is mirrored left-right while frame 2 shows.
    const Bytes b = GifBuilder()
                        .screen(Colors, 2)
                        .image(0, 0, 5, 1, {0, 1, 2, 3, 0}, 2)
                        .gce(3, 0)
                        .image(1, 0, 2, 1, {3, 3}, 2)
                        .image(4, 0, 1, 1, {0}, 2)
                        .end();
    Composed p(b);
    p.draw(0);
    p.draw(1);
    for (size_t i = 0; i < p.d.gif.frames.size(); ++i)
        mirrorFrame(p.d.gif.frames[i], p.d.cells[i], 1, p.d.gif.width, p.d.gif.height);
    p.c.mirror(1);
    EXPECT_EQ(p.d.gif.frames[1].left, 2);
    p.draw(2);  // mirrored frame 3 sits at x 0
    // The picture under frame 2 came back, mirrored: 0 3 2 1 0 -> red at 4, white 1, blue 2, green 3.
    EXPECT_EQ(p.at(1, 0), Opaque | White);
    EXPECT_EQ(p.at(2, 0), Opaque | Blue);
    EXPECT_EQ(p.at(3, 0), Opaque | Green);
    EXPECT_EQ(p.at(0, 0), Opaque | Red);
}

TEST(MirrorFrame, FlipsCellAndPosition) {
    FrameRecord f;
    f.left = 7;
    f.top = 1;
    f.width = 3;
    f.height = 2;
    FrameCell c;
    c.indices = {1, 2, 3, 4, 5, 6};
    mirrorFrame(f, c, 3, 32, 10);
    EXPECT_EQ(f.left, 32 - 10);
    EXPECT_EQ(f.top, 10 - 3);
    EXPECT_EQ(c.indices, (std::vector<uint8_t>{6, 5, 4, 3, 2, 1}));
    mirrorFrame(f, c, 2, 32, 10);
    EXPECT_EQ(c.indices, (std::vector<uint8_t>{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(f.top, 1);
}

TEST(Stretch, Modes) {
    struct Case {
        StretchMode mode;
        int w, h;
        int outW, outH;
        float sx, sy;
    } cases[] = {
        {StretchMode::Fit, 300, 100, 105, 100, float(100.0 / 143), float(100.0 / 143)},
        {StretchMode::FitNoEnlarge, 300, 300, 150, 143, 1, 1},
        {StretchMode::Fit, 300, 300, 300, 286, 2, 2},
        {StretchMode::Clip, 100, 200, 100, 143, 1, 1},
        {StretchMode::Fill, 300, 100, 300, 100, 2, float(100.0 / 143)},
        {StretchMode::Natural, 7, 7, 150, 143, 1, 1},
        {StretchMode::FitNoEnlarge, 300, 100, 105, 100, float(100.0 / 143), float(100.0 / 143)},
    };
    for (const auto& c : cases) {
        const StretchResult r = computeStretch(c.mode, c.w, c.h, 150, 143);
        EXPECT_EQ(r.width, c.outW) << int(c.mode) << " " << c.w << "x" << c.h;
        EXPECT_EQ(r.height, c.outH) << int(c.mode);
        EXPECT_FLOAT_EQ(r.scaleX, c.sx);
        EXPECT_FLOAT_EQ(r.scaleY, c.sy);
    }
    EXPECT_EQ(computeStretch(StretchMode::Fit, 10, 10, 0, 0).width, 0);  // no picture
}

TEST(Stretch, RoundsTheSinglePrecisionProductHalfToEven) {
    struct Case {
        float scale;
        int value, want;
    } cases[] = {{0.5f, 5, 2},
                 {0.5f, 7, 4},
                 {1.5f, 1, 2},
                 {2.5f, 1, 2},
                 {0.7f, 150, 105},
                 {1.0f, 143, 143},
                 {float(100.0 / 143), 150, 105},
                 {0.1f, 5, 0},
                 {0.3f, 5, 2}};
    for (const auto& c : cases) EXPECT_EQ(scaled(c.scale, c.value), c.want) << c.scale << "*" << c.value;
}

}  // namespace
}  // namespace mj::anigif
