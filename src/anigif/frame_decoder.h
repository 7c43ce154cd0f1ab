// frame_decoder.h: turns every frame of a parsed GIF into raw colour indices,
// one cell per frame, rows top to bottom in display order.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "anigif/gif_parser.h"
#include "anigif/lzw_decoder.h"

namespace mj::anigif {

// A frame's indices, width x height, row-major, display order (de-interlaced).
// Pixels the data did not reach stay 0.
struct FrameCell {
    std::vector<uint8_t> indices;
    bool decoded = false;
    LzwEnd result = LzwEnd::Complete;
};

class FrameDecoder {
public:
    // Decodes frame `index` of `gif` from `source` (the bytes `gif` was parsed
    // from). A zero-area frame gives an empty cell.
    FrameCell decode(const ParsedGif& gif, std::span<const uint8_t> source, std::size_t index);

private:
    LzwDecoder lzw_;
    std::vector<uint8_t> linear_;  // interlaced frames decode here first
};

// Parse and decode every frame at once: the path of tools, fuzzers and checks.
struct DecodedGif {
    ParsedGif gif;
    std::vector<FrameCell> cells;
};
DecodedGif decodeGif(std::span<const uint8_t> bytes, const Limits& limits = {});

}  // namespace mj::anigif
