// frame_bitmap.h: the frame format of our video link. A frame is a whole
// uncompressed BMP picture, so a frame saved unchanged as a photo opens in
// any picture viewer.
#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/controls.h"

namespace mj::video {

// The largest frame side we take from a peer.
inline constexpr int MaxFrameSide = 1024;

// A 24-bit bottom-up BMP of the pixels (0x??RRGGBB, rows from the top).
[[nodiscard]] std::vector<std::uint8_t> encodeBmp(int width, int height, std::span<const std::uint32_t> pixels);

// The picture of a 24- or 32-bit uncompressed BMP; nothing for anything else
// (wrong signature, sizes that do not fit the bytes, sides beyond the limit).
[[nodiscard]] std::optional<ui::Picture> decodeBmp(std::span<const std::uint8_t> bytes);

}  // namespace mj::video
