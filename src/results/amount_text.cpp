// amount_text.cpp: number texts of the result boards.
#include "results/amount_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace mj::results {

namespace {
constexpr int SignificantDigits = 15;
}

std::string amountText(double v) {
    if (!std::isfinite(v)) return "0";
    if (v == 0) return "0";  // also -0
    char buf[400];
    if (v == std::trunc(v)) {
        // Whole amounts are written exactly, every digit the value holds.
        const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 0);
        return std::string(buf, r.ptr);
    }
    // 15 significant digits, as fixed decimals: 0.1 + 0.2 is written 0.3.
    const int magnitude = static_cast<int>(std::floor(std::log10(std::fabs(v))));
    int decimals = SignificantDigits - 1 - magnitude;
    if (decimals < 0) decimals = 0;
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    return s;
}

double roundHalfEven(double v) {
    if (!std::isfinite(v)) return 0;
    const double lower = std::floor(v);
    const double diff = v - lower;
    if (diff < 0.5) return lower;
    if (diff > 0.5) return lower + 1;
    return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

long long leadingWholeNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    long long v = 0;
    const auto r = std::from_chars(text.data() + i, text.data() + text.size(), v);
    return r.ec == std::errc() ? v : 0;
}

}  // namespace mj::results
