#include "brimmer/size_math.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace brimmer {
namespace {

constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number starting at text[pos]; 0 when there is none.
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
  // "1e" is the number 1 followed by text; only "1e3" carries an exponent.
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

std::optional<std::int32_t> FitInt32(std::int64_t value) {
  if (value < kMin32 || value > kMax32) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

double LeadingNumber(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  const std::size_t length = NumberLength(text, pos);
  if (length == 0) return 0.0;
  // The program never changes the C locale, so strtod reads '.' as the decimal point.
  return std::strtod(std::string(text.substr(pos, length)).c_str(), nullptr);
}

std::optional<std::int32_t> RoundHalfEvenToInt32(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double rounded = std::floor(value);
  const double fraction = value - rounded;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0)) rounded += 1;
  if (rounded < static_cast<double>(kMin32) || rounded > static_cast<double>(kMax32)) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

std::optional<std::int32_t> TargetKBFromText(std::string_view mediaSizeText) {
  return RoundHalfEvenToInt32(LeadingNumber(mediaSizeText) * 1024.0);
}

std::optional<std::int32_t> UsedKBFromBytes(std::uint64_t totalBytes) {
  // Integer form of round(total / 1024.0): the same result, without the 2^53 limit of a double.
  std::uint64_t kilobytes = totalBytes / 1024;
  const std::uint64_t rest = totalBytes % 1024;
  if (rest > 512 || (rest == 512 && kilobytes % 2 == 1)) ++kilobytes;
  if (kilobytes > static_cast<std::uint64_t>(kMax32)) return std::nullopt;
  return static_cast<std::int32_t>(kilobytes);
}

std::optional<std::int32_t> DesiredKB(std::int32_t targetKB, std::int32_t usedKB) {
  return FitInt32(static_cast<std::int64_t>(targetKB) - usedKB);
}

std::string DwordHex(std::int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%lX",
                static_cast<unsigned long>(static_cast<std::uint32_t>(value)));
  return text;
}

std::string DesiredSizeLine(std::int32_t desiredKB) {
  return "\"desired_size\"=dword:" + DwordHex(desiredKB) + "\r\n";
}

}  // namespace brimmer
