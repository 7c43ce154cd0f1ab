// gif_encoder.h: writes one frame's colour indices as a one-frame GIF89a file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "anigif/gif_parser.h"

namespace mj::anigif {

// `indices` holds frame.width x frame.height indices, top row first. Only the
// frame's size, transparency and palette are used; the picture sits at (0, 0)
// with no delay and no loop block. A frame without area, or indices that do not
// cover it, give no bytes.
std::vector<uint8_t> encodeFrameAsGif(const FrameRecord& frame, const Palette& palette,
                                      std::span<const uint8_t> indices);

}  // namespace mj::anigif
