// sim_picture_decoder.cpp: native picture decoding for tests.
#include "platform/sim/sim_picture_decoder.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "anigif/frame_decoder.h"

namespace mj::platform::sim {
namespace {

DecodedPicture failure(PictureError e) { return DecodedPicture{nullptr, e}; }

DecodedPicture decodeGif(std::string_view bytes) {
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    const anigif::ParsedGif gif = anigif::parseGif(data);
    if (gif.end == anigif::ParseEnd::TooLarge) return failure(PictureError::TooLarge);
    if (gif.frames.empty()) return failure(PictureError::Corrupt);
    if (gif.width > MaxPictureSide || gif.height > MaxPictureSide) return failure(PictureError::TooLarge);
    anigif::FrameDecoder decoder;
    const anigif::FrameCell cell = decoder.decode(gif, data, 0);
    if (!cell.decoded) return failure(PictureError::Corrupt);

    const anigif::FrameRecord& f = gif.frames[0];
    auto picture = std::make_shared<ui::Picture>();
    picture->width = gif.width;
    picture->height = gif.height;
    // Outside the first frame the picture is transparent, as a viewer shows it.
    picture->pixels.assign(static_cast<std::size_t>(gif.width) * static_cast<std::size_t>(gif.height), 0);
    const anigif::Palette& pal = gif.palettes.at(static_cast<std::size_t>(f.palette));
    // Frame positions are in the logical screen; the picture starts at the
    // union's corner, which for a one-frame still is the frame itself.
    int minLeft = f.left, minTop = f.top;
    for (const auto& r : gif.frames) {
        minLeft = std::min(minLeft, r.left);
        minTop = std::min(minTop, r.top);
    }
    for (int y = 0; y < f.height; ++y) {
        for (int x = 0; x < f.width; ++x) {
            const std::uint8_t index = cell.indices[static_cast<std::size_t>(y) * f.width + x];
            if (f.hasTransparency && index == f.transparentIndex) continue;
            const int px = f.left - minLeft + x, py = f.top - minTop + y;
            if (px < 0 || py < 0 || px >= gif.width || py >= gif.height) continue;
            picture->pixels[static_cast<std::size_t>(py) * gif.width + px] = 0xFF000000u | pal.colors[index];
        }
    }
    return DecodedPicture{std::move(picture), PictureError::None};
}

//   JPEG: FF D8, then segments FF <marker> <16-bit BE length incl. itself> ...
//   a start-of-frame segment (C0..CF except C4, C8, CC) holds:
//   +0 precision (1), +1 height (2, BE), +3 width (2, BE), +5 components
DecodedPicture decodeJpeg(std::string_view bytes) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(bytes[i])); };
    std::size_t pos = 2;
    while (pos + 4 <= bytes.size()) {
        if (at(pos) != 0xFF) return failure(PictureError::Corrupt);
        const unsigned marker = at(pos + 1);
        if (marker == 0xFF) {
            ++pos;
            continue;
        }                                             // fill byte
        if (marker == 0xD9 || marker == 0xDA) break;  // image end or scan before any frame
        const std::size_t length = (at(pos + 2) << 8) | at(pos + 3);
        if (length < 2 || pos + 2 + length > bytes.size()) return failure(PictureError::Corrupt);
        const bool sof = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (sof) {
            if (length < 8) return failure(PictureError::Corrupt);
            const int height = static_cast<int>((at(pos + 5) << 8) | at(pos + 6));
            const int width = static_cast<int>((at(pos + 7) << 8) | at(pos + 8));
            if (width == 0 || height == 0) return failure(PictureError::Corrupt);
            if (width > MaxPictureSide || height > MaxPictureSide) return failure(PictureError::TooLarge);
            auto picture = std::make_shared<ui::Picture>();
            picture->width = width;
            picture->height = height;
            picture->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
                                   SimPictureDecoder::JpegFill);
            return DecodedPicture{std::move(picture), PictureError::None};
        }
        pos += 2 + length;
    }
    return failure(PictureError::Corrupt);
}

}  // namespace

DecodedPicture SimPictureDecoder::decode(std::string_view bytes) const {
    ++decodes_;
    if (bytes.empty()) return failure(PictureError::Empty);
    switch (sniffPicture(bytes)) {
    case PictureKind::Gif:
        return decodeGif(bytes);
    case PictureKind::Jpeg:
        return decodeJpeg(bytes);
    case PictureKind::Unknown:
        break;
    }
    return failure(PictureError::Unrecognised);
}

}  // namespace mj::platform::sim
