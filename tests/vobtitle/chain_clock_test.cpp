#include "chain_clock.h"

#include <gtest/gtest.h>

using namespace vobtitle;

namespace {

ifoscan::Cell CellOf(double seconds, bool restarts = false) {
  ifoscan::Cell cell;
  cell.durationTicks = static_cast<std::int64_t>(seconds * 90000);
  cell.clockRestarts = restarts;
  return cell;
}

}  // namespace

TEST(ChainClock, ContinuousClockRunsOnAcrossCells) {
  ChainClock clock;
  clock.StartCell(CellOf(1.8, true), 48600);
  EXPECT_EQ(clock.ChainTime(48600 + 45000), 45000);
  EXPECT_EQ(clock.StreamShift(), 0);
  // The next cell starts where the stream says, a frame off the IFO's rounded time: no jump.
  clock.StartCell(CellOf(2.0), 48600 + 162000 + 3600);
  EXPECT_EQ(clock.ChainTime(48600 + 200000), 200000);
  EXPECT_EQ(clock.StreamShift(), 0);
}

TEST(ChainClock, JumpsTakeTheCellsPlaceFromTheIfoTimes) {
  ChainClock clock;
  clock.StartCell(CellOf(3.0, true), 48600);
  clock.StartCell(CellOf(4.0, true), 48600);  // a second VOB: clock starts over, flagged
  EXPECT_EQ(clock.ChainTime(48600 + 90000), 4 * 90000);
  EXPECT_EQ(clock.StreamShift(), 3 * 90000);

  clock.StartCell(CellOf(1.0), 900000);  // unflagged, but far from where the clock should be
  EXPECT_EQ(clock.ChainTime(900000 + 9000), 7 * 90000 + 9000);
  EXPECT_EQ(clock.StreamShift(), 7 * 90000 + 48600 - 900000);
}

TEST(ChainClock, CellWithoutNavigationPackAnchorsOnItsFirstTimeStamp) {
  ChainClock clock;
  clock.StartCell(CellOf(2.0, true), std::nullopt);
  EXPECT_FALSE(clock.Anchored());
  clock.Observe(1000);
  EXPECT_TRUE(clock.Anchored());
  EXPECT_EQ(clock.ChainTime(1000 + 9000), 9000);
  EXPECT_EQ(clock.ChainTime(0), 0);  // before the anchor: never negative
  clock.StartCell(CellOf(2.0, true), std::nullopt);
  EXPECT_EQ(clock.ChainTime(5000000), 2 * 90000);
}

TEST(ChainClock, DifferencesAcrossTheWrapOfTheClock) {
  const std::int64_t wrap = std::int64_t{1} << 33;
  EXPECT_EQ(PtsDifference(100, wrap - 100), 200);
  EXPECT_EQ(PtsDifference(wrap - 100, 100), -200);
  ChainClock clock;
  clock.StartCell(CellOf(10, true), wrap - 90000);
  EXPECT_EQ(clock.ChainTime(90000), 180000);
}
