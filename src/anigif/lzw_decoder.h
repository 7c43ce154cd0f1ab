// lzw_decoder.h: GIF image data (LZW sub-blocks) to colour indices.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace mj::anigif {

enum class LzwEnd {
    Complete,     // end-of-information code, or the output is full
    EndOfData,    // the data ran out first (missing end code, cut-off file)
    BadCode,      // a code that is not in the table; decoding stops there
    BadCodeSize,  // minimum code size outside 2..8: nothing decoded
};
std::string_view toString(LzwEnd end);

struct LzwResult {
    std::size_t pixels = 0;  // indices written, from the start of the output
    LzwEnd end = LzwEnd::Complete;
};

// Keeps its working buffers between frames, so decoding an animation allocates
// only when a frame's data is larger than any before.
class LzwDecoder {
public:
    // `subBlocks` starts at the first data sub-block's length byte; decoding
    // stops at its zero terminator or at the end of the span, whichever comes
    // first. Indices go to `out` in stream order; bytes past the result's
    // `pixels` are left as they were.
    LzwResult decode(std::span<const uint8_t> subBlocks, int minCodeSize, std::span<uint8_t> out);

private:
    std::vector<uint8_t> packed_;  // the sub-blocks' data gathered, plus padding
    std::vector<uint8_t> work_;    // literal strings, then the indices as decoded
};

}  // namespace mj::anigif
