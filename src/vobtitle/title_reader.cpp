#include "title_reader.h"

#include "chain_clock.h"
#include "mpeg_pack.h"

namespace vobtitle {
namespace {

std::vector<SectorRange> Ranges(const std::vector<PlayedCell>& cells) {
  std::vector<SectorRange> ranges;
  for (const PlayedCell& cell : cells) ranges.push_back(cell.range);
  return ranges;
}

}  // namespace

bool CopyCells(VobSet& vobs, const std::vector<PlayedCell>& cells, OutputFile& out, std::string& error) {
  ChainClock clock;
  std::size_t currentCell = cells.size();
  std::vector<PesPacket> packets;
  return ReadRanges(
      vobs, Ranges(cells),
      [&](std::uint8_t* data, std::uint32_t sectors, std::size_t cellIndex) {
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

bool ExtractSubpictures(VobSet& vobs, const std::vector<PlayedCell>& cells, std::vector<SubtitleTrack>& tracks,
                        OutputFile& sub, std::string& error) {
  int trackOfStream[256];
  std::fill(std::begin(trackOfStream), std::end(trackOfStream), -1);
  for (std::size_t t = 0; t < tracks.size(); ++t) trackOfStream[tracks[t].streamId & 0xFF] = static_cast<int>(t);

  ChainClock clock;
  std::size_t currentCell = cells.size();
  std::vector<PesPacket> packets;
  return ReadRanges(
      vobs, Ranges(cells),
      [&](std::uint8_t* data, std::uint32_t sectors, std::size_t cellIndex) {
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

}  // namespace vobtitle
