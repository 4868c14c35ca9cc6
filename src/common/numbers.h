#pragma once
// Numbers stay text in the record; every reader converts with these helpers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ravlo {

// Value of the leading number of a text: blanks skipped, an optional sign, digits with an
// optional fraction and exponent; whatever follows is ignored. Empty or non-numeric text is 0.
// "12abc" -> 12, " 7" -> 7, "" -> 0, "abc" -> 0.
double LeadingNumber(std::string_view text);

// The whole text as a number (blanks around it allowed), or nothing when it is not one.
// "12" -> 12, " 1.5 " -> 1.5, "12abc" -> nothing, "" -> nothing.
std::optional<double> ParseNumber(std::string_view text);

// Nearest whole number, a half going to the even neighbour (90.5 -> 90, 91.5 -> 92).
double RoundHalfEven(double value);

// RoundHalfEven, or nothing when the result does not fit a signed 32-bit integer.
std::optional<std::int32_t> RoundToInt32(double value);

// Plain decimal: no blanks, no separators, a minus sign when negative.
std::string FormatNumber(long long value);

}  // namespace ravlo
