// general.h: small procedures the whole client shares: seat and suit bits,
// the two kinds of pause, wrapping text into list boxes, GBK widths, padding.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/text_codec.h"

namespace mj::link {

// Index of the highest set bit: 1 -> 0, 2 -> 1, 4 -> 2, 8 -> 3; 0 gives 0.
[[nodiscard]] std::uint8_t bitToIndex(std::uint8_t b);
// 2 to the power n for n 0..7; larger n is a caller's fault and gives 0.
[[nodiscard]] std::uint8_t indexToBit(std::uint8_t n);

// Blocks the window thread for round(seconds * 1000) ms.
void sleepSeconds(platform::Clock& clock, double seconds);
// Waits while pumping window events. Measured on the monotonic clock, so a
// wait across midnight ends on time; the pump sleeps between passes.
void waitSeconds(platform::Clock& clock, double seconds);

// The UTF-8 characters of a text, one string each.
[[nodiscard]] std::vector<std::string> utf8Chars(std::string_view text);
// True when the first character of the text is one byte in GBK. An empty text
// counts as single-byte.
[[nodiscard]] bool isSingleByteChar(const platform::TextCodec& codec, std::string_view text);
// Appends the text to the list in pieces of about `width` display columns
// (double-byte characters count 2), each item ending in one blank. Stops at a
// NUL character.
void addWrappedText(const platform::TextCodec& codec, ui::ListBox& list, std::string_view text, int width);
// The pieces addWrappedText would add.
[[nodiscard]] std::vector<std::string> wrapText(const platform::TextCodec& codec, std::string_view text, int width);
// The text with blanks appended up to `length` characters.
[[nodiscard]] std::string padRight(std::string_view text, int length);
// The smallest positive value, 0 when none is positive.
[[nodiscard]] long lowestWealthMultiple(const std::array<long, 4>& wealthByView);

}  // namespace mj::link
