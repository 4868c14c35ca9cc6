#include "brimmer/size_math.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace brimmer {
namespace {

constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();

std::optional<std::int32_t> FitInt32(std::int64_t value) {
  if (value < kMin32 || value > kMax32) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

}  // namespace

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
  // By hand rather than with snprintf: the standard-conforming printf of the Windows runtime
  // would be most of this small program's size.
  static const char kDigits[] = "0123456789ABCDEF";
  std::uint32_t rest = static_cast<std::uint32_t>(value);
  std::string text;
  do {
    text.insert(text.begin(), kDigits[rest & 15]);
    rest >>= 4;
  } while (rest != 0);
  return text;
}

std::string DesiredSizeLine(std::int32_t desiredKB) {
  return "\"desired_size\"=dword:" + DwordHex(desiredKB) + "\r\n";
}

}  // namespace brimmer
