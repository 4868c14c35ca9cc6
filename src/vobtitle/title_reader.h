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

// Copies the cells' sectors in playback order; where the stream's clock jumps between cells,
// the time stamps of the later cells are moved so that the clock runs on as the chain plays.
bool CopyCells(VobSet& vobs, const std::vector<PlayedCell>& cells, OutputFile& out, std::string& error);

// Writes the packets of the tracks' streams to sub and fills each track's pictures.
bool ExtractSubpictures(VobSet& vobs, const std::vector<PlayedCell>& cells, std::vector<SubtitleTrack>& tracks,
                        OutputFile& sub, std::string& error);

}  // namespace vobtitle
