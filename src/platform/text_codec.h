// text_codec.h: UTF-8 inside the client, GBK (code page 936) at the wire, in
// INI files and for display widths.
#pragma once
#include <string>
#include <string_view>

namespace mj::platform {

class TextCodec {
public:
    virtual ~TextCodec() = default;
    // GBK bytes of the UTF-8 text. A character GBK cannot hold becomes '?' and
    // *lossless (when given) is set false. Invalid UTF-8 is treated likewise.
    [[nodiscard]] virtual std::string toGbk(std::string_view utf8, bool* lossless = nullptr) const = 0;
    // UTF-8 of GBK bytes; a byte sequence that is not GBK becomes '?'.
    [[nodiscard]] virtual std::string fromGbk(std::string_view gbk) const = 0;
};

}  // namespace mj::platform
