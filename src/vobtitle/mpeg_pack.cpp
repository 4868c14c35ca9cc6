#include "mpeg_pack.h"

namespace vobtitle {
namespace {

constexpr int kPackStart = 0xBA;
constexpr int kSystemHeader = 0xBB;
constexpr int kPrivateStream2 = 0xBF;
constexpr std::size_t kPackHeaderSize = 14;
// The presentation control data follows the PES header and sub-stream byte; its unit start
// time is the fourth 32-bit field.
constexpr std::size_t kPciStartTime = 1 + 12;
// In the search information packet, after its sub-stream byte: the unit's end address, and
// the next unit's relative address (top two bits are flags; all ones below them: cell end).
constexpr std::size_t kDsiUnitEnd = 1 + 8;
constexpr std::size_t kDsiNextUnit = 1 + 0x13A;
constexpr std::uint32_t kEndOfCell = 0x3FFFFFFF;

bool StartCode(const std::uint8_t* at) { return at[0] == 0 && at[1] == 0 && at[2] == 1; }

std::int64_t ReadTimestamp(const std::uint8_t* at) {
  return (std::int64_t{(at[0] >> 1) & 7} << 30) | (std::int64_t{at[1]} << 22) | (std::int64_t{at[2] >> 1} << 15) |
         (std::int64_t{at[3]} << 7) | (at[4] >> 1);
}

// The 33-bit base of a pack header's clock reference, in bytes 4 to 8 between marker bits;
// the extension's two bits in byte 8 are kept.
void PutClockReference(std::uint8_t* pack, std::int64_t scr) {
  pack[4] = static_cast<std::uint8_t>(0x44 | ((scr >> 27) & 0x38) | ((scr >> 28) & 0x03));
  pack[5] = static_cast<std::uint8_t>(scr >> 20);
  pack[6] = static_cast<std::uint8_t>(((scr >> 12) & 0xF8) | 0x04 | ((scr >> 13) & 0x03));
  pack[7] = static_cast<std::uint8_t>(scr >> 5);
  pack[8] = static_cast<std::uint8_t>(((scr << 3) & 0xF8) | 0x04 | (pack[8] & 0x03));
}

// Offset of the first packet after the pack header, or 0 when pack is no MPEG-2 pack.
std::size_t FirstPacket(const std::uint8_t* pack, std::size_t size) {
  if (size < kPackHeaderSize || !StartCode(pack) || pack[3] != kPackStart || (pack[4] & 0xC0) != 0x40) return 0;
  return kPackHeaderSize + (pack[13] & 7);
}

}  // namespace

void ListPackets(const std::uint8_t* pack, std::size_t size, std::vector<PesPacket>& packets) {
  packets.clear();
  std::size_t at = FirstPacket(pack, size);
  if (at == 0) return;
  while (at + 6 <= size && StartCode(pack + at) && pack[at + 3] >= kSystemHeader) {
    PesPacket packet;
    packet.offset = at;
    packet.streamId = pack[at + 3];
    packet.size = 6 + ((std::size_t{pack[at + 4]} << 8) | pack[at + 5]);
    if (at + packet.size > size) return;
    const std::uint8_t* p = pack + at;
    // Streams with the MPEG-2 PES header: everything but the system's own and padding.
    if (packet.streamId == kPrivateStream1 || (packet.streamId >= 0xC0 && packet.streamId <= 0xEF)) {
      const std::size_t headerEnd = 9 + (packet.size >= 9 ? p[8] : 0);
      if (packet.size < 9 || (p[6] & 0xC0) != 0x80 || headerEnd > packet.size) return;
      if ((p[7] & 0x80) && headerEnd >= 14) packet.pts = ReadTimestamp(p + 9);
      packet.dataOffset = at + headerEnd;
      if (packet.streamId == kPrivateStream1 && headerEnd < packet.size) {
        packet.subStreamId = p[headerEnd];
        packet.dataOffset += 1;
      }
    } else {
      packet.dataOffset = at + 6;
      if (packet.streamId == kPrivateStream2 && packet.size > 6) packet.subStreamId = p[6];
    }
    packets.push_back(packet);
    at += packet.size;
  }
}

namespace {

// The navigation pack's private stream 2 packet with the given sub-stream id, if it holds
// `bytes` bytes from its sub-stream byte on.
const std::uint8_t* NavigationPacket(const std::uint8_t* pack, std::size_t size, int subStream, std::size_t bytes) {
  std::vector<PesPacket> packets;
  ListPackets(pack, size, packets);
  for (const PesPacket& packet : packets)
    if (packet.streamId == kPrivateStream2 && packet.subStreamId == subStream)
      return packet.size >= 6 + bytes ? pack + packet.offset + 6 : nullptr;
  return nullptr;
}

std::uint32_t U32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

std::optional<std::int64_t> NavigationStartTime(const std::uint8_t* pack, std::size_t size) {
  const std::uint8_t* pci = NavigationPacket(pack, size, 0, kPciStartTime + 4);
  if (!pci) return std::nullopt;
  return U32(pci + kPciStartTime);
}

std::optional<UnitLinks> NavigationLinks(const std::uint8_t* pack, std::size_t size) {
  const std::uint8_t* dsi = NavigationPacket(pack, size, 1, kDsiNextUnit + 4);
  if (!dsi) return std::nullopt;
  UnitLinks links;
  links.lastSector = U32(dsi + kDsiUnitEnd);
  const std::uint32_t next = U32(dsi + kDsiNextUnit) & kEndOfCell;
  if (next != kEndOfCell && next != 0) links.next = next;
  return links;
}

void ShiftTimes(std::uint8_t* pack, std::size_t size, std::int64_t shift) {
  constexpr std::int64_t kMask = (std::int64_t{1} << 33) - 1;
  if (FirstPacket(pack, size) == 0) return;
  // The clock reference: 33-bit base in bytes 4..8 around marker bits, extension kept.
  const std::int64_t scr = (std::int64_t{(pack[4] >> 3) & 7} << 30) | (std::int64_t{pack[4] & 3} << 28) |
                           (std::int64_t{pack[5]} << 20) | (std::int64_t{pack[6] >> 3} << 15) |
                           (std::int64_t{pack[6] & 3} << 13) | (std::int64_t{pack[7]} << 5) | (pack[8] >> 3);
  PutClockReference(pack, (scr + shift) & kMask);

  std::vector<PesPacket> packets;
  ListPackets(pack, size, packets);
  for (const PesPacket& packet : packets) {
    if (!packet.pts) continue;
    std::uint8_t* p = pack + packet.offset;
    const bool withDts = (p[7] & 0xC0) == 0xC0 && p[8] >= 10;
    PutTimestamp(p + 9, withDts ? 3 : 2, (*packet.pts + shift) & kMask);
    if (withDts) PutTimestamp(p + 14, 1, (ReadTimestamp(p + 14) + shift) & kMask);
  }
}

void PutTimestamp(std::uint8_t* at, int prefix, std::int64_t ticks) {
  at[0] = static_cast<std::uint8_t>((prefix << 4) | ((ticks >> 29) & 0x0E) | 1);
  at[1] = static_cast<std::uint8_t>(ticks >> 22);
  at[2] = static_cast<std::uint8_t>(((ticks >> 14) & 0xFE) | 1);
  at[3] = static_cast<std::uint8_t>(ticks >> 7);
  at[4] = static_cast<std::uint8_t>(((ticks << 1) & 0xFE) | 1);
}

void PutPackHeader(std::uint8_t* at, std::int64_t scr) {
  at[0] = 0, at[1] = 0, at[2] = 1, at[3] = kPackStart;
  at[8] = 0x04;  // clock extension 0
  at[9] = 0x01;
  PutClockReference(at, scr);
  // Program mux rate of a DVD, 10.08 Mbit/s in units of 50 bytes a second, with its markers.
  at[10] = 0x01, at[11] = 0x89, at[12] = 0xC3;
  at[13] = 0xF8;  // no stuffing
}

}  // namespace vobtitle
