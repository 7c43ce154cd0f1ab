// amount_text.h: how the boards write numbers: whole amounts in plain digits,
// other numbers with at most 15 significant digits, never in exponent form;
// and the rounding of divided amounts, halves to the even neighbour.
#pragma once
#include <string>
#include <string_view>

namespace mj::results {

[[nodiscard]] std::string amountText(double v);
// Nearest whole number, an exact half going to the even neighbour.
[[nodiscard]] double roundHalfEven(double v);
// The whole number a caption starts with ("2", " 4 ", "3倍"); 0 when it has none.
[[nodiscard]] long long leadingWholeNumber(std::string_view text);

}  // namespace mj::results
