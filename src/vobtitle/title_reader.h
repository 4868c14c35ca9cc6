#pragma once
// What vobtitle reads out of the played cells of a chain: the cells whole, as one program
// stream, or the chosen sub-picture streams as a VobSub pair.

#include <string>
#include <vector>

#include "output_file.h"
#include "title_set.h"
#include "vob_set.h"
#include "vobsub.h"

namespace vobtitle {

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
bool PlanReads(VobSet& vobs, const std::vector<PlayedCell>& cells, ReadPlan& plan, std::string& error);

// Copies the planned sectors; where the stream's clock jumps between cells,
// the time stamps of the later cells are moved so that the clock runs on as the chain plays.
bool CopyCells(VobSet& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan, OutputFile& out,
               std::string& error);

// Writes the packets of the tracks' streams to sub and fills each track's pictures.
bool ExtractSubpictures(VobSet& vobs, const std::vector<PlayedCell>& cells, const ReadPlan& plan,
                        std::vector<SubtitleTrack>& tracks, OutputFile& sub, std::string& error);

}  // namespace vobtitle
