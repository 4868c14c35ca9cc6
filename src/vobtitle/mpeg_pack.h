#pragma once
// Reading and writing the parts of an MPEG-2 program stream pack (one 2048-byte sector of a
// VOB) that the title reader needs: its PES packets, their time stamps, the navigation pack's
// start time.

#include <cstdint>
#include <optional>
#include <vector>

namespace vobtitle {

constexpr int kPrivateStream1 = 0xBD;

struct PesPacket {
  std::size_t offset = 0;        // of the start code within the pack
  std::size_t size = 0;          // start code to the packet's last byte
  int streamId = 0;              // 0xBD, 0xE0, ...
  int subStreamId = -1;          // first payload byte of private stream 1 (0x20.. sub-pictures)
  std::size_t dataOffset = 0;    // of the payload after the sub-stream id
  std::optional<std::int64_t> pts;
};

// The PES packets of one pack, in order; stops quietly at anything it cannot follow, so a
// damaged pack yields fewer packets, never a read outside the sector.
void ListPackets(const std::uint8_t* pack, std::size_t size, std::vector<PesPacket>& packets);

// The presentation time at which a navigation pack's unit starts, if pack is one.
std::optional<std::int64_t> NavigationStartTime(const std::uint8_t* pack, std::size_t size);

// From a navigation pack's search information: the last sector of its unit and where the
// next unit of the same angle or branch starts, both counted from the navigation pack.
struct UnitLinks {
  std::uint32_t lastSector = 0;
  std::optional<std::uint32_t> next;  // none at the end of the cell
};
std::optional<UnitLinks> NavigationLinks(const std::uint8_t* pack, std::size_t size);

// Writes a 33-bit time stamp in the five-byte PES form with the given four-bit prefix.
void PutTimestamp(std::uint8_t* at, int prefix, std::int64_t ticks);

// An MPEG-2 pack header (14 bytes) with the given clock reference.
void PutPackHeader(std::uint8_t* at, std::int64_t scr);

// Moves the pack's clock reference and the time stamps of its PES packets by shift ticks.
void ShiftTimes(std::uint8_t* pack, std::size_t size, std::int64_t shift);

}  // namespace vobtitle
