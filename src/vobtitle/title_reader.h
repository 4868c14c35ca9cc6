#pragma once
// What vobtitle reads out of the played cells of a chain: the cells whole, as one program
// stream, or the chosen sub-picture streams as a VobSub pair.

#include <functional>
#include <string>
#include <vector>

#include "disc_source.h"
#include "output_file.h"
#include "title_set.h"
#include "vobsub.h"

namespace vobtitle {

using ifoscan::kSectorSize;
using ifoscan::SectorRange;
using ifoscan::TitleVobs;

// The played cells of chain, in order, with their sector ranges.
struct PlayedCell {
  const ifoscan::Cell* cell = nullptr;
  SectorRange range;
};

// The sector ranges a player reads, in order, and the played cell each belongs to.
struct ReadPlan {
  std::vector<SectorRange> ranges;
  std::vector<std::size_t> cellOfRange;
};

// A cell is read whole, except an interleaved one (shared with other angles or branches of
// the title): of that only its own units, found through the navigation packs' links.
bool PlanReads(TitleVobs& vobs, const std::vector<PlayedCell>& cells, ReadPlan& plan, std::string& error);

// Copies the planned sectors; where the stream's clock jumps between cells,
// the time stamps of the later cells are moved so that the clock runs on as the chain plays.
bool CopyCells(TitleVobs& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan, OutputFile& out,
               std::string& error);

// Writes the packets of the tracks' streams to sub and fills each track's pictures.
bool ExtractSubpictures(TitleVobs& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan,
                        std::vector<SubtitleTrack>& tracks, OutputFile& sub, std::string& error);

// Reads the ranges in order through one fixed buffer; onChunk gets consecutive sectors of one
// range (its index in ranges) and returns false to stop. Returns false on a read error or a stop.
using ChunkHandler = std::function<bool(std::uint8_t* data, std::uint32_t sectors, std::size_t range)>;
bool ReadRanges(TitleVobs& vobs, const std::vector<SectorRange>& ranges, const ChunkHandler& onChunk,
                std::string& error);

}  // namespace vobtitle
