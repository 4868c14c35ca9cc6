#pragma once
// Bounds-checked big-endian reads from a byte buffer. Every read states whether it fit, so a
// damaged file can never make the reader look past its end.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace ifoscan {

using Bytes = std::span<const std::uint8_t>;

// True when [offset, offset + length) lies inside bytes; safe against overflow.
bool InBounds(Bytes bytes, std::uint64_t offset, std::uint64_t length);

std::optional<std::uint8_t> ReadU8(Bytes bytes, std::uint64_t offset);
std::optional<std::uint16_t> ReadU16(Bytes bytes, std::uint64_t offset);
std::optional<std::uint32_t> ReadU32(Bytes bytes, std::uint64_t offset);

// Two decimal digits packed in one byte (0x59 -> 59); false when a digit is not decimal.
bool DecodeBcd(std::uint8_t value, int& out);

}  // namespace ifoscan
