// robustness_test.cpp: every fixture cut at every length and randomly damaged
// goes through the whole control without a crash or an out-of-bounds access
// (run under the sanitizer build to catch the latter).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "anigif/animated_gif.h"
#include "anigif/frame_decoder.h"
#include "anigif/frame_renderer.h"
#include "anigif/gif_encoder.h"
#include "anigif/null_gif_host.h"

namespace mj::anigif {
namespace {

namespace fs = std::filesystem;

std::vector<std::vector<uint8_t>> loadFixtures() {
    std::vector<std::vector<uint8_t>> out;
    for (const auto& e : fs::directory_iterator(fs::path(__FILE__).parent_path() / "fixtures")) {
        if (e.path().extension() != ".gif") continue;
        std::ifstream f(e.path(), std::ios::binary);
        out.emplace_back(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    return out;
}

// Parses, decodes, composes every frame and encodes it; checks the invariants
// every accepted picture keeps.
void exercise(std::span<const uint8_t> bytes, bool roundTrip = true) {
    const DecodedGif d = decodeGif(bytes);
    if (d.gif.frames.empty()) return;
    ASSERT_GT(d.gif.width, 0);
    ASSERT_GT(d.gif.height, 0);
    Compositor c;
    c.reset(d.gif.width, d.gif.height);
    for (std::size_t i = 0; i < d.gif.frames.size(); ++i) {
        const FrameRecord& f = d.gif.frames[i];
        ASSERT_LE(f.chunkStart + f.chunkLength, bytes.size());
        ASSERT_LE(f.left + f.width, d.gif.width);
        ASSERT_LT(std::size_t(f.palette), d.gif.palettes.size());
        ASSERT_EQ(d.cells[i].indices.size(), std::size_t(f.width) * std::size_t(f.height));
        const Rect r = c.compose(d.gif, d.cells, i);
        ASSERT_LE(r.x + r.width, d.gif.width);
        const auto enc = encodeFrameAsGif(f, d.gif.palettes[std::size_t(f.palette)], d.cells[i].indices);
        if (roundTrip && f.width > 0 && f.height > 0) {
            // What we write, we read back unchanged.
            const DecodedGif back = decodeGif(enc);
            ASSERT_EQ(back.cells.size(), 1u);
            ASSERT_EQ(back.cells[0].indices, d.cells[i].indices);
        }
    }
}

TEST(Robustness, EveryCutOfEveryFixture) {
    const auto all = loadFixtures();
    ASSERT_GE(all.size(), 10u);
    for (const auto& bytes : all)
        for (std::size_t len = 0; len <= bytes.size(); ++len) {
            // The encoder's round trip once per file keeps this quick; the cuts
            // are about the reader.
            exercise(std::span(bytes).first(len), len == bytes.size());
            if (::testing::Test::HasFatalFailure()) {
                FAIL() << "cut at " << len << " of " << bytes.size();
            }
        }
}

TEST(Robustness, RandomDamageThroughTheControl) {
    const auto all = loadFixtures();
    std::mt19937 rng(1234);
    NullGifHost host(64, 48);
    AnimatedGif gif(host);
    for (int round = 0; round < 3000; ++round) {
        std::vector<uint8_t> bytes = all[rng() % all.size()];
        const int flips = 1 + int(rng() % 8);
        for (int k = 0; k < flips; ++k) bytes[rng() % bytes.size()] ^= uint8_t(1u << (rng() % 8));
        exercise(bytes);
        ASSERT_FALSE(::testing::Test::HasFatalFailure()) << "round " << round;
        gif.setMirrored(int32_t(rng() % 4));
        if (gif.loadArray(bytes)) {
            for (int t = 0; t < 12 && host.armed; ++t) {
                host.armed = false;
                gif.timerFired();
                if (const Image* img = gif.paint()) {
                    ASSERT_EQ(img->pixels.size(), std::size_t(img->width) * std::size_t(img->height));
                }
            }
            gif.setMirrored(int32_t(rng() % 4));
            gif.setAction(3);
            (void)gif.animatedGif();
        }
    }
}

}  // namespace
}  // namespace mj::anigif
