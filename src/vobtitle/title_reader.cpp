#include "title_reader.h"

#include <algorithm>
#include <memory>

#include "chain_clock.h"
#include "mpeg_pack.h"

namespace vobtitle {
namespace {

constexpr std::uint32_t kChunkSectors = 256;  // 512 KB: large reads, bounded memory

void Add(ReadPlan& plan, std::size_t cell, SectorRange range) {
  if (!plan.ranges.empty() && plan.cellOfRange.back() == cell && plan.ranges.back().last + 1 == range.first)
    plan.ranges.back().last = range.last;
  else
    plan.ranges.push_back(range), plan.cellOfRange.push_back(cell);
}

}  // namespace

bool PlanReads(TitleVobs& vobs, const std::vector<PlayedCell>& cells, ReadPlan& plan, std::string& error) {
  std::uint8_t pack[kSectorSize];
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const SectorRange cell = cells[c].range;
    if (!cells[c].cell->interleaved) {
      Add(plan, c, cell);
      continue;
    }
    // Each step moves forward, so the walk ends within the cell.
    for (std::uint64_t unit = cell.first; unit <= cell.last;) {
      if (!vobs.Read(unit, 1, pack, error)) return false;
      const std::optional<UnitLinks> links = NavigationLinks(pack, kSectorSize);
      if (!links) {
        error = "sector " + std::to_string(unit) + " of an interleaved cell is no navigation pack";
        return false;
      }
      const auto first = static_cast<std::uint32_t>(unit);
      Add(plan, c, {first, static_cast<std::uint32_t>(std::min<std::uint64_t>(unit + links->lastSector, cell.last))});
      if (!links->next) break;
      unit += *links->next;
    }
  }
  return true;
}

bool CopyCells(TitleVobs& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan, OutputFile& out,
               std::string& error) {
  ChainClock clock;
  std::size_t currentCell = cells.size();
  std::vector<PesPacket> packets;
  return ReadRanges(
      vobs, plan.ranges,
      [&](std::uint8_t* data, std::uint32_t sectors, std::size_t range) {
        const std::size_t cellIndex = plan.cellOfRange[range];
        if (cellIndex != currentCell) {
          currentCell = cellIndex;
          clock.StartCell(*cells[cellIndex].cell, NavigationStartTime(data, kSectorSize));
        }
        // Most chains never jump: their sectors go out untouched, without a look inside.
        for (std::uint32_t s = 0; s < sectors && (!clock.Anchored() || clock.StreamShift() != 0); ++s) {
          std::uint8_t* pack = data + std::size_t{s} * kSectorSize;
          if (!clock.Anchored()) {
            ListPackets(pack, kSectorSize, packets);
            for (const PesPacket& packet : packets)
              if (packet.pts) clock.Observe(*packet.pts);
          }
          if (clock.Anchored() && clock.StreamShift() != 0) ShiftTimes(pack, kSectorSize, clock.StreamShift());
        }
        return out.Write(data, std::size_t{sectors} * kSectorSize, error);
      },
      error);
}

bool ExtractSubpictures(TitleVobs& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan,
                        std::vector<SubtitleTrack>& tracks, OutputFile& sub, std::string& error) {
  int trackOfStream[256];
  std::fill(std::begin(trackOfStream), std::end(trackOfStream), -1);
  for (std::size_t t = 0; t < tracks.size(); ++t) trackOfStream[tracks[t].streamId & 0xFF] = static_cast<int>(t);

  ChainClock clock;
  std::size_t currentCell = cells.size();
  std::vector<PesPacket> packets;
  return ReadRanges(
      vobs, plan.ranges,
      [&](std::uint8_t* data, std::uint32_t sectors, std::size_t range) {
        const std::size_t cellIndex = plan.cellOfRange[range];
        for (std::uint32_t s = 0; s < sectors; ++s) {
          const std::uint8_t* pack = data + std::size_t{s} * kSectorSize;
          if (cellIndex != currentCell) {
            currentCell = cellIndex;
            clock.StartCell(*cells[cellIndex].cell, NavigationStartTime(pack, kSectorSize));
          }
          ListPackets(pack, kSectorSize, packets);
          for (const PesPacket& packet : packets) {
            if (packet.pts) clock.Observe(*packet.pts);
            if (packet.streamId != kPrivateStream1 || packet.subStreamId < 0) continue;
            const int track = trackOfStream[packet.subStreamId & 0xFF];
            if (track < 0) continue;
            const std::int64_t time = packet.pts ? clock.ChainTime(*packet.pts) : 0;
            if (packet.pts) tracks[track].pictures.push_back({time, sub.Position()});
            const auto out = SubPack(pack, packet, track, time);
            if (!sub.Write(out.data(), out.size(), error)) return false;
          }
        }
        return true;
      },
      error);
}

bool ReadRanges(TitleVobs& vobs, const std::vector<SectorRange>& ranges, const ChunkHandler& onChunk,
                std::string& error) {
  const auto buffer = std::make_unique<std::uint8_t[]>(std::size_t{kChunkSectors} * kSectorSize);
  for (std::size_t r = 0; r < ranges.size(); ++r) {
    for (std::uint64_t sector = ranges[r].first; sector <= ranges[r].last;) {
      const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(kChunkSectors, ranges[r].last - sector + 1));
      if (!vobs.Read(sector, count, buffer.get(), error)) return false;
      if (!onChunk(buffer.get(), count, r)) return false;
      sector += count;
    }
  }
  return true;
}

}  // namespace vobtitle
