#include "common/numbers.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace ravlo {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number that starts at text[pos] (sign, digits, fraction, exponent); 0 if none.
std::size_t NumberLength(std::string_view text, std::size_t pos) {
  std::size_t i = pos;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return 0;
  // An exponent counts only when digits follow it ("1e" is 1 followed by text).
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  return i - pos;
}

double ToDouble(std::string_view number) {
  return std::strtod(std::string(number).c_str(), nullptr);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  const std::size_t length = NumberLength(text, pos);
  return length == 0 ? 0.0 : ToDouble(text.substr(pos, length));
}

std::optional<double> ParseNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  const std::size_t length = NumberLength(text, pos);
  if (length == 0) return std::nullopt;
  std::size_t end = pos + length;
  while (end < text.size() && IsBlank(text[end])) ++end;
  if (end != text.size()) return std::nullopt;
  const double value = ToDouble(text.substr(pos, length));
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

double RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  if (fraction > 0.5) return lower + 1;
  if (fraction < 0.5) return lower;
  return std::fmod(lower, 2.0) == 0 ? lower : lower + 1;
}

std::optional<std::int32_t> RoundToInt32(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double rounded = RoundHalfEven(value);
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

std::string FormatNumber(long long value) { return std::to_string(value); }

}  // namespace ravlo
