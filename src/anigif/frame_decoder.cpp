// frame_decoder.cpp: LZW to a frame cell, with interlaced rows put in place.
#include "anigif/frame_decoder.h"

#include <algorithm>
#include <cstring>

namespace mj::anigif {

FrameCell FrameDecoder::decode(const ParsedGif& gif, std::span<const uint8_t> source, std::size_t index) {
    FrameCell cell;
    cell.decoded = true;
    const FrameRecord& f = gif.frames.at(index);
    const std::size_t w = static_cast<std::size_t>(f.width), h = static_cast<std::size_t>(f.height);
    if (w == 0 || h == 0) return cell;
    cell.indices.assign(w * h, 0);

    const std::size_t begin = std::min(f.dataStart, source.size());
    const std::size_t end = std::min(f.chunkStart + f.chunkLength, source.size());
    const auto data = source.subspan(begin, std::max(begin, end) - begin);

    if (!f.interlaced) {
        cell.result = lzw_.decode(data, f.minCodeSize, cell.indices).end;
        return cell;
    }

    // Interlaced rows arrive in four passes: every 8th row from 0, every 8th from
    // 4, every 4th from 2, every 2nd from 1.
    linear_.assign(w * h, 0);
    cell.result = lzw_.decode(data, f.minCodeSize, linear_).end;
    static constexpr std::size_t Start[4] = {0, 4, 2, 1};
    static constexpr std::size_t Step[4] = {8, 8, 4, 2};
    const uint8_t* row = linear_.data();
    for (int pass = 0; pass < 4; ++pass)
        for (std::size_t y = Start[pass]; y < h; y += Step[pass], row += w)
            std::memcpy(cell.indices.data() + y * w, row, w);
    return cell;
}

DecodedGif decodeGif(std::span<const uint8_t> bytes, const Limits& limits) {
    DecodedGif out;
    out.gif = parseGif(bytes, limits);
    out.cells.reserve(out.gif.frames.size());
    FrameDecoder decoder;
    for (std::size_t i = 0; i < out.gif.frames.size(); ++i) out.cells.push_back(decoder.decode(out.gif, bytes, i));
    return out;
}

}  // namespace mj::anigif
