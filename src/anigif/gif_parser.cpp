// gif_parser.cpp: the GIF block walk. Only the parts the control uses are read:
// the logical screen's own size fields, background index and aspect ratio are
// skipped, and the picture's size is the union of its frames.
#include "anigif/gif_parser.h"

#include <algorithm>

namespace mj::anigif {
namespace {

// Reads at a cursor; a read past the end sets `eof` and yields 0, so a block can
// be read whole and checked once.
struct Reader {
    std::span<const uint8_t> data;
    std::size_t pos = 0;
    bool eof = false;

    uint8_t byte() {
        if (pos >= data.size()) {
            eof = true;
            return 0;
        }
        return data[pos++];
    }
    uint16_t word() {
        if (pos + 1 >= data.size()) {
            eof = true;
            pos = data.size();
            return 0;
        }
        uint16_t v = static_cast<uint16_t>(data[pos] | (data[pos + 1] << 8));
        pos += 2;
        return v;
    }
    bool matchesIgnoringCase(std::size_t at, std::string_view text) const {
        if (at + text.size() > data.size()) return false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            uint8_t c = data[at + i];
            if (c >= 'A' && c <= 'Z') c = static_cast<uint8_t>(c - 'A' + 'a');
            if (c != static_cast<uint8_t>(text[i])) return false;
        }
        return true;
    }
    // A data sub-block chain: length byte, that many bytes, ..., a zero length.
    // Cut-off data stops at the end without an error.
    void skipSubBlocks() {
        while (pos < data.size() && data[pos] != 0) pos += std::size_t{data[pos]} + 1;
        pos = std::min(pos + 1, data.size());
    }
    // A colour table of 2^(code) entries. As in the control's long-standing reader,
    // a table must be followed by at least one byte (a well-formed stream always
    // has one), so a table ending on the very last byte counts as cut short.
    bool colorTable(Palette& out, int sizeCode) {
        const std::size_t count = std::size_t{1} << sizeCode;
        if (pos + 3 * count >= data.size()) {
            eof = true;
            pos = data.size();
            return false;
        }
        out = Palette{};
        for (std::size_t k = 0; k < count; ++k, pos += 3)
            out.colors[k] = (uint32_t{data[pos]} << 16) | (uint32_t{data[pos + 1]} << 8) | data[pos + 2];
        out.count = static_cast<uint16_t>(count);
        return true;
    }
};

constexpr uint8_t Extension = 0x21;
constexpr uint8_t Image = 0x2C;
constexpr uint8_t Application = 0xFF;
constexpr uint8_t GraphicControl = 0xF9;

ParsedGif refused(ParseEnd why) {
    ParsedGif g;
    g.end = why;
    return g;
}

}  // namespace

std::string_view toString(ParseEnd end) {
    switch (end) {
    case ParseEnd::Trailer:
        return "end of stream";
    case ParseEnd::EndOfData:
        return "data cut short";
    case ParseEnd::BadSignature:
        return "not a GIF file";
    case ParseEnd::NoColourTable:
        return "image without a colour table";
    case ParseEnd::TooLarge:
        return "picture too large";
    case ParseEnd::EmptyPicture:
        return "picture has no area";
    }
    return "unknown parse result";
}

/*
 * Header and logical screen descriptor:
 *   0  6  "GIF87a" / "GIF89a", any letter case
 *   6  2  width, 8 2 height (not used)
 *  10  1  packed: bit 7 global table, bits 0-2 size code - 1
 *  11  1  background index, 12 1 aspect ratio (not used)
 *  13     global colour table, 3 bytes per entry
 */
ParsedGif parseGif(std::span<const uint8_t> bytes, const Limits& limits) {
    Reader in{bytes};
    if (!in.matchesIgnoringCase(0, "gif89a") && !in.matchesIgnoringCase(0, "gif87a"))
        return refused(ParseEnd::BadSignature);

    ParsedGif g;
    g.palettes.emplace_back();
    in.pos = 10;
    const uint8_t screen = in.byte();
    in.pos = 13;
    bool globalTable = false;
    int64_t totalPixels = 0;
    FrameRecord pending;

    auto finish = [&](ParseEnd why) {
        g.end = why;
        if (!g.frames.empty() && (g.width == 0 || g.height == 0)) return refused(ParseEnd::EmptyPicture);
        return std::move(g);
    };

    if (in.eof) return finish(ParseEnd::EndOfData);
    if (screen & 0x80) {
        if (!in.colorTable(g.palettes[0], (screen & 7) + 1)) return finish(ParseEnd::EndOfData);
        globalTable = true;
    }

    for (;;) {
        const uint8_t b = in.byte();
        if (in.eof) return finish(ParseEnd::EndOfData);
        if (b == 0) continue;  // stray zeros between blocks
        if (b == Extension) {
            const uint8_t label = in.byte();
            if (in.eof) return finish(ParseEnd::EndOfData);
            if (label == Application) {
                /* 1 size (11), 11 "NETSCAPE2.0", then sub-block: 1 length (3), 1 id, 2 count LE */
                const uint8_t size = in.byte();
                if (in.eof) return finish(ParseEnd::EndOfData);
                const std::size_t idAt = in.pos;
                const bool netscape = size == 11 && in.matchesIgnoringCase(idAt, "netscape2.0");
                if (netscape) {
                    in.pos += size;
                    const uint8_t length = in.byte();
                    if (length == 3) {
                        in.byte();
                        const uint16_t count = in.word();
                        if (in.eof) return finish(ParseEnd::EndOfData);
                        g.loops = count;
                    } else if (!in.eof) {
                        --in.pos;
                    }
                    if (in.eof) return finish(ParseEnd::EndOfData);
                } else {
                    --in.pos;  // the size byte starts the sub-block chain
                }
                in.skipSubBlocks();
            } else if (label == GraphicControl) {
                /* 1 size (4), 1 packed: bits 2-4 disposal, bit 0 transparency,
                   2 delay in 1/100 s LE, 1 transparent index, then the terminator */
                pending = FrameRecord{};
                const uint8_t size = in.byte();
                if (in.eof || in.pos + size > bytes.size()) return finish(ParseEnd::EndOfData);
                const std::size_t blockEnd = in.pos + size;
                // A block shorter than its four fields says nothing reliable; it is
                // stepped over like any other, honouring its own size byte.
                if (size >= 4) {
                    const uint8_t packed = in.byte();
                    const uint16_t delay = in.word();
                    const uint8_t index = in.byte();
                    uint8_t disposal = (packed >> 2) & 7;
                    if (disposal > 3 || (disposal == 3 && g.frames.empty())) disposal = 0;
                    pending.disposal = static_cast<Disposal>(disposal);
                    pending.delayMs = int32_t{delay} * 10;
                    pending.hasTransparency = packed & 1;
                    pending.transparentIndex = pending.hasTransparency ? index : 0;
                }
                in.pos = blockEnd;
                in.skipSubBlocks();
            } else {
                in.skipSubBlocks();  // comment, plain text, unknown labels
            }
            continue;
        }
        if (b != Image) return finish(ParseEnd::Trailer);

        /* Image descriptor: 2 left, 2 top, 2 width, 2 height (LE), 1 packed:
           bit 7 local table, bit 6 interlaced, bits 0-2 size code - 1;
           then the local table, 1 minimum code size, the data sub-blocks. */
        FrameRecord f = pending;
        pending = FrameRecord{};
        f.chunkStart = in.pos - 1;
        f.left = in.word();
        f.top = in.word();
        f.width = in.word();
        f.height = in.word();
        const uint8_t packed = in.byte();
        if (in.eof) return finish(ParseEnd::EndOfData);
        f.interlaced = packed & 0x40;
        if (packed & 0x80) {
            Palette local;
            if (!in.colorTable(local, (packed & 7) + 1)) return finish(ParseEnd::EndOfData);
            g.palettes.push_back(local);
            f.palette = static_cast<int32_t>(g.palettes.size() - 1);
        } else if (!globalTable) {
            return refused(ParseEnd::NoColourTable);
        }
        f.minCodeSize = in.byte();
        if (in.eof) return finish(ParseEnd::EndOfData);
        f.dataStart = in.pos;
        in.skipSubBlocks();
        f.chunkLength = in.pos - f.chunkStart;

        const int64_t right = int64_t{f.left} + f.width, bottom = int64_t{f.top} + f.height;
        const int64_t width = std::max<int64_t>(g.width, right), height = std::max<int64_t>(g.height, bottom);
        totalPixels += int64_t{f.width} * f.height;
        if (width > limits.maxSide || height > limits.maxSide || width * height > limits.maxLogicalPixels ||
            totalPixels > limits.maxTotalFramePixels || g.frames.size() >= limits.maxFrames)
            return refused(ParseEnd::TooLarge);
        g.width = static_cast<int32_t>(width);
        g.height = static_cast<int32_t>(height);
        g.frames.push_back(f);
    }
}

}  // namespace mj::anigif
