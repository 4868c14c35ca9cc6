#include "byte_reader.h"

namespace ifoscan {

bool InBounds(Bytes bytes, std::uint64_t offset, std::uint64_t length) {
  const std::uint64_t size = bytes.size();
  return offset <= size && length <= size - offset;
}

std::optional<std::uint8_t> ReadU8(Bytes bytes, std::uint64_t offset) {
  if (!InBounds(bytes, offset, 1)) return std::nullopt;
  return bytes[static_cast<std::size_t>(offset)];
}

std::optional<std::uint16_t> ReadU16(Bytes bytes, std::uint64_t offset) {
  if (!InBounds(bytes, offset, 2)) return std::nullopt;
  const auto at = static_cast<std::size_t>(offset);
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

std::optional<std::uint32_t> ReadU32(Bytes bytes, std::uint64_t offset) {
  if (!InBounds(bytes, offset, 4)) return std::nullopt;
  const auto at = static_cast<std::size_t>(offset);
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

bool DecodeBcd(std::uint8_t value, int& out) {
  const int high = value >> 4, low = value & 0x0F;
  if (high > 9 || low > 9) return false;
  out = high * 10 + low;
  return true;
}

}  // namespace ifoscan
