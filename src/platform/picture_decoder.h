// picture_decoder.h: turns the bytes of a GIF or JPEG picture held in memory
// into pixels. No file is written on the way (the program folder may be
// read-only).
#pragma once
#include <memory>
#include <string_view>

#include "platform/controls.h"

namespace mj::platform {

enum class PictureError {
    None,
    Empty,         // no bytes at all
    Unrecognised,  // neither GIF nor JPEG
    Corrupt,       // the right kind, but the data cannot be decoded
    TooLarge,      // larger than MaxPictureSide on a side
    System,        // the platform's decoder could not be started
};

[[nodiscard]] constexpr std::string_view toString(PictureError e) {
    switch (e) {
    case PictureError::None:
        return "no error";
    case PictureError::Empty:
        return "no picture data";
    case PictureError::Unrecognised:
        return "not a GIF or JPEG picture";
    case PictureError::Corrupt:
        return "picture data cannot be decoded";
    case PictureError::TooLarge:
        return "picture too large";
    case PictureError::System:
        return "picture decoder unavailable";
    }
    return "unknown picture error";
}

// Our pictures are at most the 1024 x 768 table; anything far larger is bad data.
inline constexpr int MaxPictureSide = 4096;

struct DecodedPicture {
    // The first frame of the picture; null exactly when error is not None.
    std::shared_ptr<ui::Picture> picture;
    PictureError error = PictureError::None;
    [[nodiscard]] explicit operator bool() const { return picture != nullptr; }
};

class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;
    // Never throws; every failure comes back in the result.
    [[nodiscard]] virtual DecodedPicture decode(std::string_view bytes) const = 0;
};

// The kind of picture by its first bytes: "GIF87a"/"GIF89a" or the JPEG SOI marker.
enum class PictureKind { Unknown, Gif, Jpeg };
[[nodiscard]] constexpr PictureKind sniffPicture(std::string_view bytes) {
    if (bytes.size() >= 6 && bytes.substr(0, 3) == "GIF" &&
        (bytes.substr(3, 3) == "87a" || bytes.substr(3, 3) == "89a"))
        return PictureKind::Gif;
    if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF)
        return PictureKind::Jpeg;
    return PictureKind::Unknown;
}

}  // namespace mj::platform
