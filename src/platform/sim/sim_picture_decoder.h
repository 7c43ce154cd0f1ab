// sim_picture_decoder.h: decodes pictures natively for tests: GIF fully (first
// frame, through the animated GIF control's decoder), JPEG only as far as its
// size, filled with one plain colour.
#pragma once
#include "platform/picture_decoder.h"

namespace mj::platform::sim {

class SimPictureDecoder : public PictureDecoder {
public:
    // The colour a decoded JPEG is filled with.
    static constexpr std::uint32_t JpegFill = 0xFF808080;
    [[nodiscard]] DecodedPicture decode(std::string_view bytes) const override;
    // How many pictures were decoded, to see what a cache saves.
    [[nodiscard]] int decodes() const { return decodes_; }

private:
    mutable int decodes_ = 0;
};

}  // namespace mj::platform::sim
