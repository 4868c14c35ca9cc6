#include "chain_playback.h"

namespace ifoscan {
namespace {

// Offsets inside a program chain, as the public DVD-Video descriptions give them.
constexpr std::uint64_t kPrograms = 0x02;
constexpr std::uint64_t kCellCount = 0x03;
constexpr std::uint64_t kColours = 0xA4;
constexpr std::uint64_t kProgramMapOffset = 0xE6;
constexpr std::uint64_t kCellTableOffset = 0xE8;
constexpr std::uint64_t kHeaderSize = 0xEC;
constexpr std::uint64_t kCellEntrySize = 24;

constexpr std::int64_t kTicksPerSecond = 90000;

std::string CellName(std::size_t index) { return "cell " + std::to_string(index + 1); }

std::string ReadCell(Bytes entry, std::size_t index, Cell& cell) {
  const std::uint8_t flags = entry[0];
  const int blockMode = flags >> 6;
  const int blockType = (flags >> 4) & 3;
  if (blockType == 1) {
    static constexpr AngleBlock modes[] = {AngleBlock::None, AngleBlock::First, AngleBlock::Middle, AngleBlock::Last};
    cell.angleBlock = modes[blockMode];
    if (cell.angleBlock == AngleBlock::None) return CellName(index) + " is marked as an angle cell outside any block";
  }
  cell.interleaved = (flags & 0x04) != 0;
  cell.clockRestarts = (flags & 0x02) != 0;
  if (!DecodePlaybackTime(&entry[4], cell.durationTicks)) return CellName(index) + " has a playback time that is not BCD";
  cell.firstSector = *ReadU32(entry, 8);
  cell.lastSector = *ReadU32(entry, 20);
  if (cell.lastSector < cell.firstSector)
    return CellName(index) + " ends at sector " + std::to_string(cell.lastSector) + " before it starts at sector " +
           std::to_string(cell.firstSector);
  return {};
}

}  // namespace

bool DecodePlaybackTime(const std::uint8_t bcd[4], std::int64_t& ticks) {
  int hours, minutes, seconds, frames;
  if (!DecodeBcd(bcd[0], hours) || !DecodeBcd(bcd[1], minutes) || !DecodeBcd(bcd[2], seconds) ||
      !DecodeBcd(bcd[3] & 0x3F, frames))
    return false;
  // 25 frames a second, or 30000/1001 (frames of 3003 ticks).
  const int rate = bcd[3] >> 6;
  std::int64_t frameTicks = 0;
  if (rate == 1) frameTicks = kTicksPerSecond / 25;
  if (rate == 3) frameTicks = 3003;
  if (frames > 0 && frameTicks == 0) return false;
  ticks = (std::int64_t{hours} * 3600 + minutes * 60 + seconds) * kTicksPerSecond + frames * frameTicks;
  return true;
}

std::string ReadChainPlayback(Bytes chain, ProgramChain& out) {
  if (!InBounds(chain, 0, kHeaderSize)) return "the chain ends before its cell tables";
  for (int i = 0; i < 16; ++i) out.colours[i] = *ReadU32(chain, kColours + i * 4) & 0xFFFFFF;

  const int programs = chain[kPrograms];
  const int cellCount = chain[kCellCount];
  const std::uint16_t mapOffset = *ReadU16(chain, kProgramMapOffset);
  const std::uint16_t cellOffset = *ReadU16(chain, kCellTableOffset);
  if (programs > 0 && (mapOffset < kHeaderSize || !InBounds(chain, mapOffset, programs)))
    return "the program map lies outside the chain";
  if (cellCount > 0 && (cellOffset < kHeaderSize || !InBounds(chain, cellOffset, cellCount * kCellEntrySize)))
    return "the cell playback table lies outside the chain";

  int previous = 0;
  for (int p = 0; p < programs; ++p) {
    const int entry = chain[mapOffset + p];
    if (entry <= previous || entry > cellCount)
      return "program " + std::to_string(p + 1) + " starts at cell " + std::to_string(entry) + ", not after cell " +
             std::to_string(previous) + " and within the " + std::to_string(cellCount) + " cells";
    out.programEntryCells.push_back(entry);
    previous = entry;
  }
  for (int c = 0; c < cellCount; ++c) {
    Cell cell;
    const std::string error = ReadCell(chain.subspan(cellOffset + c * kCellEntrySize, kCellEntrySize), c, cell);
    if (!error.empty()) return error;
    out.cells.push_back(cell);
  }
  return {};
}

namespace {

// Fills order.cells and order.angles; returns why the chain cannot be played, or "".
std::string OrderCells(const ProgramChain& chain, int angle, CellOrder& order) {
  if (!chain.playbackError.empty()) return chain.playbackError;
  if (angle < 1) return "angles count from 1";
  if (chain.programEntryCells.empty()) return "the chain has no programs to play";
  const int count = static_cast<int>(chain.cells.size());
  std::vector<int> sequence;  // every cell the programs cover, angle blocks whole
  for (std::size_t p = 0; p < chain.programEntryCells.size(); ++p) {
    const int end = p + 1 < chain.programEntryCells.size() ? chain.programEntryCells[p + 1] - 1 : count;
    for (int c = chain.programEntryCells[p] - 1; c < end; ++c) sequence.push_back(c);
  }

  for (std::size_t i = 0; i < sequence.size();) {
    const AngleBlock block = chain.cells[sequence[i]].angleBlock;
    if (block == AngleBlock::None) {
      order.cells.push_back(sequence[i++]);
      continue;
    }
    const std::string start = CellName(sequence[i]);
    if (block != AngleBlock::First) return start + " continues an angle block that never started";
    std::size_t last = i + 1;
    while (last < sequence.size() && chain.cells[sequence[last]].angleBlock == AngleBlock::Middle) ++last;
    if (last == sequence.size() || chain.cells[sequence[last]].angleBlock != AngleBlock::Last)
      return "the angle block that starts at " + start + " has no last cell";
    const int angles = static_cast<int>(last - i + 1);
    if (order.angles == 1) order.angles = angles;
    if (angles != order.angles)
      return "the angle block that starts at " + start + " has " + std::to_string(angles) + " angles, an earlier one " +
             std::to_string(order.angles);
    if (angle <= angles) order.cells.push_back(sequence[i + angle - 1]);
    i = last + 1;
  }
  if (angle > order.angles)
    return "angle " + std::to_string(angle) + " does not exist: the chain has " + std::to_string(order.angles) +
           (order.angles == 1 ? " angle" : " angles");
  return {};
}

}  // namespace

CellOrder PlaybackOrder(const ProgramChain& chain, int angle) {
  CellOrder order;
  order.error = OrderCells(chain, angle, order);
  if (!order.error.empty()) order.cells.clear();
  return order;
}

}  // namespace ifoscan
