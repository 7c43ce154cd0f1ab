// anigif_crosscheck.cpp: the control's parser, decoder, compositor and encoder
// against giflib and ImageMagick on the checked-in fixtures.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "anigif/frame_decoder.h"
#include "anigif/frame_renderer.h"
#include "anigif/gif_encoder.h"
#include "anigif/crosscheck/giflib_reader.h"

namespace mj::anigif {
namespace {

namespace fs = std::filesystem;
using reference::MemoryInput;

std::vector<uint8_t> readFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), {}};
}

std::vector<fs::path> fixtures() {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(ANIGIF_FIXTURES))
        if (e.path().extension() == ".gif" && e.path().stem() != "truncated") out.push_back(e.path());
    std::sort(out.begin(), out.end());
    return out;
}

// Runs `command` and returns its standard output.
std::vector<uint8_t> run(const std::string& command) {
    std::vector<uint8_t> out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return out;
    uint8_t buf[65536];
    for (std::size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.insert(out.end(), buf, buf + n);
    pclose(p);
    return out;
}

const ColorMapObject* mapOf(const GifFileType* g, int i) {
    const ColorMapObject* m = g->SavedImages[i].ImageDesc.ColorMap;
    return m ? m : g->SColorMap;
}

int loopCount(const GifFileType* g) {
    for (int i = 0; i < g->ImageCount; ++i) {
        const SavedImage& s = g->SavedImages[i];
        for (int k = 0; k + 1 < s.ExtensionBlockCount; ++k) {
            const ExtensionBlock& b = s.ExtensionBlocks[k];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
                std::memcmp(b.Bytes, "NETSCAPE2.0", 11) == 0 && s.ExtensionBlocks[k + 1].ByteCount >= 3)
                return s.ExtensionBlocks[k + 1].Bytes[1] | (s.ExtensionBlocks[k + 1].Bytes[2] << 8);
        }
    }
    return 0;
}

TEST(CrossCheck, FixturesExist) { EXPECT_GE(fixtures().size(), 10u); }

TEST(CrossCheck, TablesAndRastersMatchGiflib) {
    for (const fs::path& path : fixtures()) {
        SCOPED_TRACE(path.filename().string());
        const auto bytes = readFile(path);
        MemoryInput in{bytes};
        const auto ref = reference::slurp(in);
        ASSERT_TRUE(ref);
        const DecodedGif ours = decodeGif(bytes);
        ASSERT_EQ(int(ours.gif.frames.size()), ref->ImageCount);
        EXPECT_EQ(ours.gif.loops, loopCount(ref.get()));
        int unionW = 0, unionH = 0;
        for (int i = 0; i < ref->ImageCount; ++i) {
            SCOPED_TRACE(i);
            const FrameRecord& f = ours.gif.frames[size_t(i)];
            const GifImageDesc& d = ref->SavedImages[i].ImageDesc;
            EXPECT_EQ(f.left, d.Left);
            EXPECT_EQ(f.top, d.Top);
            EXPECT_EQ(f.width, d.Width);
            EXPECT_EQ(f.height, d.Height);
            EXPECT_EQ(f.interlaced, d.Interlace);
            unionW = std::max(unionW, d.Left + d.Width);
            unionH = std::max(unionH, d.Top + d.Height);

            const ColorMapObject* map = mapOf(ref.get(), i);
            const Palette& pal = ours.gif.palettes.at(size_t(f.palette));
            ASSERT_EQ(pal.count, map->ColorCount);
            for (int k = 0; k < map->ColorCount; ++k) {
                const GifColorType c = map->Colors[k];
                ASSERT_EQ(pal.colors[size_t(k)], uint32_t(c.Red << 16 | c.Green << 8 | c.Blue)) << k;
            }

            GraphicsControlBlock gcb{};
            if (DGifSavedExtensionToGCB(ref.get(), i, &gcb) == GIF_OK) {
                int disposal = gcb.DisposalMode > 3 || (gcb.DisposalMode == 3 && i == 0) ? 0 : gcb.DisposalMode;
                EXPECT_EQ(int(f.disposal), disposal);
                EXPECT_EQ(f.delayMs, gcb.DelayTime * 10);
                EXPECT_EQ(f.hasTransparency, gcb.TransparentColor >= 0);
                if (gcb.TransparentColor >= 0) {
                    EXPECT_EQ(f.transparentIndex, gcb.TransparentColor);
                }
            }

            const FrameCell& cell = ours.cells[size_t(i)];
            EXPECT_EQ(cell.result, LzwEnd::Complete);
            ASSERT_EQ(cell.indices.size(), size_t(d.Width) * size_t(d.Height));
            EXPECT_EQ(0, std::memcmp(cell.indices.data(), ref->SavedImages[i].RasterBits, cell.indices.size()));
        }
        EXPECT_EQ(ours.gif.width, unionW);
        EXPECT_EQ(ours.gif.height, unionH);
    }
}

// Where the control's rules and ImageMagick's agree: a logical screen equal to
// the union of the frames, no "restore previous" on frame 1, no index past its
// palette.
bool coalesceComparable(const DecodedGif& d, const GifFileType* ref) {
    if (ref->SWidth != d.gif.width || ref->SHeight != d.gif.height) return false;
    for (std::size_t i = 0; i < d.cells.size(); ++i) {
        const int count = d.gif.palettes[size_t(d.gif.frames[i].palette)].count;
        for (uint8_t v : d.cells[i].indices)
            if (v >= count) return false;
    }
    GraphicsControlBlock gcb{};
    return !(DGifSavedExtensionToGCB(const_cast<GifFileType*>(ref), 0, &gcb) == GIF_OK && gcb.DisposalMode == 3);
}

TEST(CrossCheck, ComposedFramesMatchImageMagickCoalesce) {
    int compared = 0;
    for (const fs::path& path : fixtures()) {
        SCOPED_TRACE(path.filename().string());
        const auto bytes = readFile(path);
        MemoryInput in{bytes};
        const auto ref = reference::slurp(in);
        ASSERT_TRUE(ref);
        const DecodedGif d = decodeGif(bytes);
        if (!coalesceComparable(d, ref.get())) continue;
        const auto im = run(std::string(IMAGEMAGICK_CONVERT) + " '" + path.string() + "' -coalesce -depth 8 rgba:-");
        const std::size_t frameBytes = size_t(d.gif.width) * size_t(d.gif.height) * 4;
        ASSERT_EQ(im.size(), frameBytes * d.cells.size());
        Compositor c;
        c.reset(d.gif.width, d.gif.height);
        for (std::size_t i = 0; i < d.cells.size(); ++i) {
            c.compose(d.gif, d.cells, i);
            int mismatches = 0;
            for (std::size_t p = 0; p < c.image().pixels.size(); ++p) {
                const uint32_t ours = c.image().pixels[p];
                const uint8_t* theirs = &im[i * frameBytes + p * 4];
                const bool opaque = theirs[3] != 0;
                const uint32_t want = opaque ? Opaque | uint32_t(theirs[0] << 16 | theirs[1] << 8 | theirs[2]) : 0;
                if (ours != want && ++mismatches <= 3)
                    ADD_FAILURE() << "frame " << i << " pixel " << p << ": ours " << std::hex << ours << " theirs "
                                  << want;
            }
        }
        ++compared;
    }
    EXPECT_GE(compared, 5);
}

TEST(CrossCheck, EncodedFramesDecodeIdenticallyInGiflibAndImageMagick) {
    const fs::path dir = fs::temp_directory_path() / "anigif_crosscheck";
    fs::create_directories(dir);
    for (const fs::path& path : fixtures()) {
        SCOPED_TRACE(path.filename().string());
        const DecodedGif d = decodeGif(readFile(path));
        for (std::size_t i = 0; i < d.cells.size(); ++i) {
            SCOPED_TRACE(i);
            const FrameRecord& f = d.gif.frames[i];
            const Palette& pal = d.gif.palettes[size_t(f.palette)];
            const auto gif = encodeFrameAsGif(f, pal, d.cells[i].indices);
            ASSERT_FALSE(gif.empty());

            MemoryInput in{gif};
            const auto ref = reference::slurp(in);
            ASSERT_TRUE(ref);
            ASSERT_EQ(ref->ImageCount, 1);
            ASSERT_EQ(ref->SavedImages[0].ImageDesc.Width, f.width);
            EXPECT_EQ(
                0, std::memcmp(ref->SavedImages[0].RasterBits, d.cells[i].indices.data(), d.cells[i].indices.size()));

            const fs::path file = dir / (path.stem().string() + "_" + std::to_string(i) + ".gif");
            std::ofstream(file, std::ios::binary)
                .write(reinterpret_cast<const char*>(gif.data()), std::streamsize(gif.size()));
            const auto rgb = run(std::string(IMAGEMAGICK_CONVERT) + " '" + file.string() + "' -depth 8 rgb:-");
            ASSERT_EQ(rgb.size(), d.cells[i].indices.size() * 3);
            for (std::size_t p = 0; p < d.cells[i].indices.size(); ++p) {
                const uint8_t v = d.cells[i].indices[p];
                const uint32_t c = v < pal.count ? pal.colors[v] : 0;
                const uint32_t theirs = uint32_t(rgb[p * 3] << 16 | rgb[p * 3 + 1] << 8 | rgb[p * 3 + 2]);
                // ImageMagick shows transparent pixels in whatever colour it keeps for them.
                if (f.hasTransparency && v == f.transparentIndex) continue;
                ASSERT_EQ(theirs, c) << "pixel " << p;
            }
        }
    }
    fs::remove_all(dir);
}

TEST(CrossCheck, CutFileKeepsWhatGiflibCanRead) {
    const auto bytes = readFile(fs::path(ANIGIF_FIXTURES) / "truncated.gif");
    const DecodedGif d = decodeGif(bytes);
    EXPECT_EQ(d.gif.end, ParseEnd::EndOfData);
    ASSERT_GE(d.cells.size(), 2u);
    // Frames before the cut decode as giflib decodes them from the whole file.
    const auto whole = readFile(fs::path(ANIGIF_FIXTURES) / "disposal.gif");
    MemoryInput in{whole};
    const auto ref = reference::slurp(in);
    ASSERT_TRUE(ref);
    for (std::size_t i = 0; i + 1 < d.cells.size(); ++i)
        EXPECT_EQ(0, std::memcmp(d.cells[i].indices.data(), ref->SavedImages[i].RasterBits, d.cells[i].indices.size()));
}

}  // namespace
}  // namespace mj::anigif
