// Reading played cells end to end on small VOB files built pack by pack: the stream with its
// clock carried across a restart, the VobSub packets and times, interleaved cells.

#include "title_reader.h"

#include <gtest/gtest.h>

#include <fstream>

#include "pack_builder.h"
#include "temp_folder.h"
#include "vob_set.h"

using namespace vobtitle;
using ifoscan::VobSet;
using namespace vobtitle_test;

namespace {

constexpr std::int64_t kSecond = 90000;

void WritePacks(const std::string& path, const std::vector<Pack>& packs) {
  std::ofstream out(path, std::ios::binary);
  for (const Pack& pack : packs) out.write(reinterpret_cast<const char*>(pack.data()), pack.size());
}

std::vector<Pack> ReadPacks(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<Pack> packs;
  Pack pack;
  while (in.read(reinterpret_cast<char*>(pack.data()), pack.size())) packs.push_back(pack);
  return packs;
}

std::vector<PesPacket> Packets(const Pack& pack) {
  std::vector<PesPacket> packets;
  ListPackets(pack.data(), pack.size(), packets);
  return packets;
}

ifoscan::Cell CellOf(std::int64_t ticks, bool restarts, bool interleaved = false) {
  ifoscan::Cell cell;
  cell.durationTicks = ticks;
  cell.clockRestarts = restarts;
  cell.interleaved = interleaved;
  return cell;
}

// Two cells of two VOBs, each clock starting at 1 s: cell 1 lasts 2 s, cell 2 3 s.
class TwoCells : public ::testing::Test {
 protected:
  void SetUp() override {
    WritePacks(dir / "VTS_01_1.VOB",
               {PackBuilder(kSecond).Navigation(kSecond).Build(),
                PackBuilder(kSecond).Video(kSecond, kSecond - 3600, 64).Private1(0x21, 100, kSecond + kSecond / 2).Build(),
                PackBuilder(kSecond).Private1(0x20, 100, 2 * kSecond).Build(),
                PackBuilder(kSecond).Private1(0x20, 50).Build(),
                PackBuilder(kSecond).Navigation(kSecond).Build(),
                PackBuilder(kSecond).Private1(0x21, 100, kSecond + kSecond / 10).Build(),
                PackBuilder(kSecond).Video(kSecond + 3600, kSecond, 64).Build(),
                PackBuilder(kSecond).Private1(0x22, 100, kSecond + 3600).Build()});
    ASSERT_EQ(vobs.Open(dir / "VTS_01_0.IFO"), "");
    cells = {{&first, {0, 3}}, {&second, {4, 7}}};
    std::string error;
    ASSERT_TRUE(PlanReads(vobs, cells, plan, error)) << error;
  }

  TempFolder dir;
  VobSet vobs;
  ifoscan::Cell first = CellOf(2 * kSecond, true), second = CellOf(3 * kSecond, true);
  std::vector<PlayedCell> cells;
  ReadPlan plan;
};

}  // namespace

TEST_F(TwoCells, StreamCarriesTheClockAcrossTheRestart) {
  std::string error;
  {
    OutputFile out;
    ASSERT_TRUE(out.Open(dir / "title.mpg", error));
    ASSERT_TRUE(CopyCells(vobs, cells, plan, out, error)) << error;
    ASSERT_TRUE(out.Commit(error)) << error;
  }
  const std::vector<Pack> in = ReadPacks(dir / "VTS_01_1.VOB"), out = ReadPacks(dir / "title.mpg");
  ASSERT_EQ(out.size(), 8u);
  for (int s = 0; s < 4; ++s) EXPECT_EQ(out[s], in[s]) << s;  // the first cell as it is
  EXPECT_EQ(Packets(out[5])[0].pts, kSecond + kSecond / 10 + 2 * kSecond);
  EXPECT_EQ(Packets(out[6])[0].pts, kSecond + 3600 + 2 * kSecond);
  Pack expected = in[6];
  ShiftTimes(expected.data(), expected.size(), 2 * kSecond);
  EXPECT_EQ(out[6], expected);  // clock reference and decoding time too, nothing else
}

TEST_F(TwoCells, VobSubPacketsInChosenOrderWithChainTimes) {
  std::vector<SubtitleTrack> tracks(2);
  tracks[0].streamId = 0x21;
  tracks[1].streamId = 0x20;
  std::string error;
  {
    OutputFile sub;
    ASSERT_TRUE(sub.Open(dir / "movie.sub", error));
    ASSERT_TRUE(ExtractSubpictures(vobs, cells, plan, tracks, sub, error)) << error;
    ASSERT_TRUE(sub.Commit(error)) << error;
  }
  ASSERT_EQ(tracks[0].pictures.size(), 2u);
  EXPECT_EQ(tracks[0].pictures[0].time, kSecond / 2);
  EXPECT_EQ(tracks[0].pictures[0].filePosition, 0u);
  EXPECT_EQ(tracks[0].pictures[1].time, 2 * kSecond + kSecond / 10);  // after the restart
  EXPECT_EQ(tracks[0].pictures[1].filePosition, 3 * 2048u);
  ASSERT_EQ(tracks[1].pictures.size(), 1u);  // the continuation packet starts no picture
  EXPECT_EQ(tracks[1].pictures[0].time, kSecond);
  EXPECT_EQ(tracks[1].pictures[0].filePosition, 2048u);

  const std::vector<Pack> sub = ReadPacks(dir / "movie.sub");
  ASSERT_EQ(sub.size(), 4u);  // stream 0x22 was not chosen
  const int expectedIds[] = {0x20, 0x21, 0x21, 0x20};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Packets(sub[i])[0].subStreamId, expectedIds[i]) << i;
  EXPECT_EQ(Packets(sub[3])[0].pts, 2 * kSecond + kSecond / 10);
}

TEST(TitleReader, InterleavedCellsFollowTheirOwnUnits) {
  TempFolder dir;
  // Units of this branch at 0, 4, 8; another branch's units in between.
  auto Data = [](std::uint8_t fill) { return PackBuilder().Private1(0x20, 10, -1, fill).Build(); };
  WritePacks(dir / "VTS_02_1.VOB",
             {PackBuilder().Navigation(0, 1, 0x80000004).Build(), Data(1), PackBuilder().Navigation(0, 1, 4).Build(),
              Data(2), PackBuilder().Navigation(0, 1, 0x80000004).Build(), Data(3), PackBuilder().Navigation(0, 1).Build(),
              Data(4), PackBuilder().Navigation(0, 1).Build(), Data(5), Data(6)});
  VobSet vobs;
  ASSERT_EQ(vobs.Open(dir / "VTS_02_0.IFO"), "");
  const ifoscan::Cell interleaved = CellOf(kSecond, true, true), plain = CellOf(kSecond, false);
  ReadPlan plan;
  std::string error;
  ASSERT_TRUE(PlanReads(vobs, {{&interleaved, {0, 9}}, {&plain, {10, 10}}}, plan, error)) << error;
  ASSERT_EQ(plan.ranges.size(), 4u);
  const std::pair<std::uint32_t, std::uint32_t> expected[] = {{0, 1}, {4, 5}, {8, 9}, {10, 10}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(plan.ranges[i].first, expected[i].first) << i;
    EXPECT_EQ(plan.ranges[i].last, expected[i].second) << i;
    EXPECT_EQ(plan.cellOfRange[i], i < 3 ? 0u : 1u) << i;
  }

  // A unit that claims to run past the cell is cut at the cell's end.
  ReadPlan cut;
  ASSERT_TRUE(PlanReads(vobs, {{&interleaved, {4, 4}}}, cut, error)) << error;
  ASSERT_EQ(cut.ranges.size(), 1u);
  EXPECT_EQ(cut.ranges[0].last, 4u);

  ReadPlan broken;
  EXPECT_FALSE(PlanReads(vobs, {{&interleaved, {1, 9}}}, broken, error));
  EXPECT_NE(error.find("sector 1"), std::string::npos) << error;
}
