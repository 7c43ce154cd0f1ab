// win32_picture_decoder.h: GIF and JPEG decoding in memory with the Windows
// Imaging Component (no temporary file).
#pragma once
#include "platform/picture_decoder.h"

namespace mj::platform::win32 {

class Win32PictureDecoder : public PictureDecoder {
public:
    // Joins the window thread's COM apartment for as long as the decoder lives.
    Win32PictureDecoder();
    ~Win32PictureDecoder() override;
    Win32PictureDecoder(const Win32PictureDecoder&) = delete;
    Win32PictureDecoder& operator=(const Win32PictureDecoder&) = delete;

    [[nodiscard]] DecodedPicture decode(std::string_view bytes) const override;

private:
    bool comJoined_ = false;
};

}  // namespace mj::platform::win32
