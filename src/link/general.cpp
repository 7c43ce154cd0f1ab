// general.cpp: shared small procedures.
#include "link/general.h"

#include <cmath>

namespace mj::link {

std::uint8_t bitToIndex(std::uint8_t b) {
    std::uint8_t n = 0;
    while (b > 1) {
        b /= 2;
        ++n;
    }
    return n;
}

std::uint8_t indexToBit(std::uint8_t n) {
    if (n >= 8) return 0;
    return static_cast<std::uint8_t>(1u << n);
}

void sleepSeconds(platform::Clock& clock, double seconds) {
    const auto ms = static_cast<long long>(std::nearbyint(seconds * 1000.0));
    if (ms > 0) clock.sleep(platform::Millis(ms));
}

void waitSeconds(platform::Clock& clock, double seconds) {
    const auto start = clock.monotonic();
    const auto duration = platform::Millis(static_cast<long long>(std::nearbyint(seconds * 1000.0)));
    // The wait ends strictly after its duration, as the seconds clock it
    // replaces did; each pass sleeps until an event arrives or 10 ms pass.
    while (true) {
        const auto elapsed = clock.monotonic() - start;
        if (elapsed > duration) return;
        const auto left = duration - elapsed + platform::Millis(1);
        clock.pumpEvents(std::min(left, platform::Millis(10)));
    }
}

std::vector<std::string> utf8Chars(std::string_view text) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t len = 1;
        if (c >= 0xF0)
            len = 4;
        else if (c >= 0xE0)
            len = 3;
        else if (c >= 0xC0)
            len = 2;
        len = std::min(len, text.size() - i);
        out.emplace_back(text.substr(i, len));
        i += len;
    }
    return out;
}

bool isSingleByteChar(const platform::TextCodec& codec, std::string_view text) {
    if (text.empty()) return true;
    const auto chars = utf8Chars(text);
    return codec.toGbk(chars.front()).size() <= 1;
}

std::vector<std::string> wrapText(const platform::TextCodec& codec, std::string_view text, int width) {
    std::vector<std::string> pieces;
    auto chars = utf8Chars(text);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        if (chars[i] == std::string(1, '\0')) {
            chars.resize(i);
            break;
        }
    }
    const std::size_t n = chars.size();
    int w = 0;
    std::string piece;
    for (std::size_t i = 0; i < n; ++i) {
        w += isSingleByteChar(codec, chars[i]) ? 1 : 2;
        piece += chars[i];
        if (i + 1 == n || w >= width) {
            pieces.push_back(piece + " ");
            piece.clear();
            w = 0;
        }
    }
    return pieces;
}

void addWrappedText(const platform::TextCodec& codec, ui::ListBox& list, std::string_view text, int width) {
    for (auto& p : wrapText(codec, text, width)) list.addItem(std::move(p));
}

std::string padRight(std::string_view text, int length) {
    std::string out(text);
    const int have = static_cast<int>(utf8Chars(text).size());
    for (int i = have; i < length; ++i) out += ' ';
    return out;
}

long lowestWealthMultiple(const std::array<long, 4>& wealthByView) {
    long result = 0;
    for (long v : wealthByView) {
        if (v > 0 && (result == 0 || v < result)) result = v;
    }
    return result;
}

}  // namespace mj::link
