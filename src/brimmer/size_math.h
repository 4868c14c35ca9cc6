#pragma once
// The arithmetic of the second-pass size: media size in, registry line out.
// Every value the codec sees is a signed 32-bit number; a result that does not fit is
// reported as nothing, so that no wrapped (and therefore wrong) size is ever written.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/numbers.h"

namespace brimmer {

// The planner's reading of numbers, so that both programs read a size alike.
using ravlo::LeadingNumber;
// Nearest whole number, a half going to the even neighbour; nothing outside 32-bit range.
inline std::optional<std::int32_t> RoundHalfEvenToInt32(double value) {
  return ravlo::RoundToInt32(value);
}

// The media size (megabytes, as the batch passes it) in kilobytes.
std::optional<std::int32_t> TargetKBFromText(std::string_view mediaSizeText);

// Measured bytes in kilobytes, rounded half to even; exact for any 64-bit total.
std::optional<std::int32_t> UsedKBFromBytes(std::uint64_t totalBytes);

// What the second pass may use; nothing when the difference leaves 32-bit range.
std::optional<std::int32_t> DesiredKB(std::int32_t targetKB, std::int32_t usedKB);

// Upper-case hexadecimal without leading zeros; a negative value as its 32-bit two's complement.
std::string DwordHex(std::int32_t value);

// The registry line appended to 2nd.reg, CR LF included.
std::string DesiredSizeLine(std::int32_t desiredKB);

}  // namespace brimmer
