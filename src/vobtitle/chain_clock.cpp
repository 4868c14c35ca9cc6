#include "chain_clock.h"

#include <cstdlib>

namespace vobtitle {
namespace {

constexpr std::int64_t kWrap = std::int64_t{1} << 33;
// A clock that lands this far from where the IFO times put the cell has jumped; closer
// is the usual rounding of cell times to whole frames.
constexpr std::int64_t kJumpTolerance = 9000;  // 0.1 s

}  // namespace

std::int64_t PtsDifference(std::int64_t a, std::int64_t b) {
  std::int64_t d = (a - b) % kWrap;
  if (d < 0) d += kWrap;
  return d >= kWrap / 2 ? d - kWrap : d;
}

void ChainClock::Rebase(std::int64_t pts, std::int64_t chainTime) {
  if (!anchored_) firstBase_ = pts;
  base_ = pts;
  offset_ = chainTime;
  anchored_ = true;
  rebaseOnNextPts_ = false;
}

void ChainClock::StartCell(const ifoscan::Cell& cell, std::optional<std::int64_t> startPts) {
  cellStart_ = nextCellStart_;
  nextCellStart_ += cell.durationTicks;
  const bool jumps = !anchored_ || cell.clockRestarts;
  if (startPts) {
    if (jumps || std::abs(PtsDifference(*startPts, base_) + offset_ - cellStart_) > kJumpTolerance)
      Rebase(*startPts, cellStart_);
  } else if (jumps) {
    rebaseOnNextPts_ = true;  // no navigation pack: the first time stamp seen stands in
  }
}

void ChainClock::Observe(std::int64_t pts) {
  if (rebaseOnNextPts_ || !anchored_) Rebase(pts, cellStart_);
}

std::int64_t ChainClock::ChainTime(std::int64_t pts) {
  Observe(pts);
  const std::int64_t time = PtsDifference(pts, base_) + offset_;
  return time < 0 ? 0 : time;
}

}  // namespace vobtitle
