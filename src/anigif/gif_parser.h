// gif_parser.h: reads the block structure of a GIF87a/GIF89a stream into frame,
// palette and geometry tables; decompresses nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace mj::anigif {

// Geometry taken from a file is untrusted: a 16-bit position plus a 16-bit size
// would let a 30-byte file ask for a 131070 x 131070 picture. Streams beyond
// these caps are refused whole.
struct Limits {
    int32_t maxSide = 16384;                         // logical width or height, pixels
    int64_t maxLogicalPixels = int64_t{1} << 24;     // width x height of the union
    int64_t maxTotalFramePixels = int64_t{1} << 26;  // sum of all frames' areas
    std::size_t maxFrames = 65535;
};

// One colour table. Colours are 0xRRGGBB; entries at or past `count` are 0.
struct Palette {
    std::array<uint32_t, 256> colors{};
    uint16_t count = 0;  // 2..256 once read
};

enum class Disposal : uint8_t { Unspecified = 0, Keep = 1, Background = 2, Previous = 3 };

struct FrameRecord {
    int32_t left = 0, top = 0, width = 0, height = 0;  // in the logical screen, pixels
    int32_t delayMs = 0;                               // graphic control delay x 10; 0 without one
    int32_t palette = 0;                               // 0 the global table, k the k-th local table
    uint8_t transparentIndex = 0;
    bool hasTransparency = false;
    Disposal disposal = Disposal::Unspecified;
    bool interlaced = false;
    uint8_t minCodeSize = 0;  // as stored; the decoder judges it
    // Byte ranges in the source, clamped to the data: the image separator through
    // the terminator of the image data, and the first data sub-block.
    std::size_t chunkStart = 0, chunkLength = 0;
    std::size_t dataStart = 0;
};

// Why the block walk stopped.
enum class ParseEnd {
    Trailer,        // 0x3B or any byte that is no block introducer
    EndOfData,      // the data ended inside a table, extension or descriptor
    BadSignature,   // fewer than 6 bytes, or neither GIF87a nor GIF89a
    NoColourTable,  // an image without a local table in a stream without a global one
    TooLarge,       // the geometry or frame count passed the Limits
    EmptyPicture,   // frames whose union has no area
};
std::string_view toString(ParseEnd end);

struct ParsedGif {
    std::vector<FrameRecord> frames;  // empty: the stream is refused
    std::vector<Palette> palettes;    // [0] the global table (all zero when absent)
    int32_t width = 0, height = 0;    // union of the frame rectangles
    int32_t loops = 0;                // NETSCAPE2.0 count, 0 = forever or no block
    ParseEnd end = ParseEnd::Trailer;
};

// Never throws for any input; refused streams come back with no frames.
ParsedGif parseGif(std::span<const uint8_t> bytes, const Limits& limits = {});

}  // namespace mj::anigif
