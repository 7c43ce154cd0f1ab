// gbk.h: UTF-8 <-> GBK conversion for scenario texts and the message log.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace scripted {

// GBK bytes of a UTF-8 text; nullopt when a character has no GBK form.
[[nodiscard]] std::optional<std::string> utf8ToGbk(std::string_view utf8);

// UTF-8 of GBK bytes; nullopt when the bytes are not valid GBK.
[[nodiscard]] std::optional<std::string> gbkToUtf8(std::string_view gbk);

}  // namespace scripted
