#pragma once
// Times from the start of a chain, from the presentation times in its packs. Within a cell
// the stream's clock runs on; where it jumps (a cell that restarts it, or starts elsewhere
// than the previous cells' playback time says), the cell's place comes from the IFO times.

#include <cstdint>
#include <optional>

#include "title_set.h"

namespace vobtitle {

class ChainClock {
 public:
  // At the start of each played cell, in playback order; startPts is the presentation time of
  // its first navigation pack, when it has one.
  void StartCell(const ifoscan::Cell& cell, std::optional<std::int64_t> startPts);

  // Every presentation time met in the cell, so a cell without navigation pack gets anchored.
  void Observe(std::int64_t pts);

  bool Anchored() const { return anchored_ && !rebaseOnNextPts_; }

  // What to add to the current cell's presentation times so that the stream's clock runs on
  // from the first cell as the chain plays; 0 while the clock has not jumped.
  std::int64_t StreamShift() const { return offset_ - base_ + firstBase_; }

  // Ticks (90 kHz) from the start of the chain for a presentation time in the current cell.
  std::int64_t ChainTime(std::int64_t pts);

 private:
  void Rebase(std::int64_t pts, std::int64_t chainTime);

  std::int64_t cellStart_ = 0;  // chain time at which the current cell starts, by the IFO
  std::int64_t nextCellStart_ = 0;
  bool anchored_ = false;       // base_ and offset_ hold a mapping
  bool rebaseOnNextPts_ = false;
  std::int64_t base_ = 0;       // presentation time that maps to offset_
  std::int64_t offset_ = 0;
  std::int64_t firstBase_ = 0;  // presentation time at which the chain starts
};

// Difference a - b of two 33-bit presentation times, across a wrap of the clock.
std::int64_t PtsDifference(std::int64_t a, std::int64_t b);

}  // namespace vobtitle
