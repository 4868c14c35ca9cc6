#include "chain_playback.h"

#include <gtest/gtest.h>

#include "ifo_builder.h"
#include "ifo_parser.h"

using namespace ifoscan;
using namespace ifoscan_test;

namespace {

constexpr std::uint8_t kNormal = 0x00, kRestart = 0x02;
constexpr std::uint8_t kAngleFirst = 0x50, kAngleMiddle = 0x90, kAngleLast = 0xD0;

CellSpec MakeCell(std::uint8_t flags, std::uint32_t first, std::uint32_t last) {
  CellSpec cell;
  cell.flags = flags;
  cell.firstSector = first;
  cell.lastSector = last;
  return cell;
}

// One chain: an intro cell, a three-angle block, a closing cell; two programs.
ChainShape AngleChain() {
  ChainShape chain;
  chain.programs = 2;
  chain.programMap = {1, 2};
  chain.cells = {MakeCell(kRestart, 0, 99), MakeCell(kAngleFirst, 100, 149), MakeCell(kAngleMiddle, 150, 199),
                 MakeCell(kAngleLast, 200, 249), MakeCell(kNormal, 250, 400)};
  chain.cells[1].bcd[3] = 0xD0;  // 2 s and 10 frames at 30000/1001
  chain.colours[0] = 0x00EB8080;
  chain.colours[15] = 0x00108080;
  return chain;
}

ProgramChain ParseChain(const ChainShape& shape) {
  IfoLayout layout;
  layout.chains = {shape};
  const ParseResult r = ParseTitleSetIfo(BuildIfo(layout));
  EXPECT_TRUE(r.ok) << r.error;
  return r.ok ? r.titleSet.chains[0] : ProgramChain{};
}

std::vector<int> Order(const ProgramChain& chain, int angle) {
  const CellOrder order = PlaybackOrder(chain, angle);
  EXPECT_EQ(order.error, "") << "angle " << angle;
  return order.cells;
}

}  // namespace

TEST(ChainPlayback, ReadsCellsProgramMapAndColours) {
  const ProgramChain chain = ParseChain(AngleChain());
  ASSERT_EQ(chain.playbackError, "");
  ASSERT_EQ(chain.cells.size(), 5u);
  EXPECT_EQ(chain.programEntryCells, (std::vector<int>{1, 2}));
  EXPECT_EQ(chain.cells[0].firstSector, 0u);
  EXPECT_EQ(chain.cells[0].lastSector, 99u);
  EXPECT_TRUE(chain.cells[0].clockRestarts);
  EXPECT_EQ(chain.cells[0].angleBlock, AngleBlock::None);
  EXPECT_EQ(chain.cells[0].durationTicks, 2 * 90000);
  EXPECT_EQ(chain.cells[1].angleBlock, AngleBlock::First);
  EXPECT_EQ(chain.cells[1].durationTicks, 2 * 90000 + 10 * 3003);
  EXPECT_FALSE(chain.cells[1].clockRestarts);
  EXPECT_EQ(chain.cells[2].angleBlock, AngleBlock::Middle);
  EXPECT_EQ(chain.cells[3].angleBlock, AngleBlock::Last);
  EXPECT_EQ(chain.cells[4].lastSector, 400u);
  EXPECT_EQ(chain.colours[0], 0xEB8080u);
  EXPECT_EQ(chain.colours[15], 0x108080u);
}

TEST(ChainPlayback, EachAngleGetsItsCellOfTheBlock) {
  const ProgramChain chain = ParseChain(AngleChain());
  EXPECT_EQ(Order(chain, 1), (std::vector<int>{0, 1, 4}));
  EXPECT_EQ(Order(chain, 2), (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(Order(chain, 3), (std::vector<int>{0, 3, 4}));
  EXPECT_EQ(PlaybackOrder(chain, 3).angles, 3);

  for (int angle : {0, 4}) {
    const CellOrder order = PlaybackOrder(chain, angle);
    EXPECT_NE(order.error, "") << angle;
    EXPECT_TRUE(order.cells.empty()) << angle;
  }
  EXPECT_NE(PlaybackOrder(chain, 4).error.find("3 angles"), std::string::npos);
}

TEST(ChainPlayback, ProgramMapDecidesWhereThePlayStarts) {
  ChainShape shape;
  shape.programs = 2;
  shape.programMap = {2, 4};  // cell 1 belongs to no program: a player never shows it
  shape.cells = {MakeCell(kNormal, 0, 9), MakeCell(kNormal, 10, 19), MakeCell(kNormal, 20, 29), MakeCell(kNormal, 30, 39)};
  const ProgramChain chain = ParseChain(shape);
  EXPECT_EQ(Order(chain, 1), (std::vector<int>{1, 2, 3}));
  const CellOrder second = PlaybackOrder(chain, 2);
  EXPECT_NE(second.error.find("angle 2 does not exist"), std::string::npos) << second.error;
}

TEST(ChainPlayback, BrokenTablesAreReportedButTheChainStaysListed) {
  struct Case {
    const char* what;
    void (*damage)(ChainShape&);
  };
  const Case cases[] = {
      {"program map points past the cells", [](ChainShape& c) { c.programMap = {1, 9}; }},
      {"program map goes backwards", [](ChainShape& c) { c.programMap = {2, 1}; }},
      {"cell ends before it starts", [](ChainShape& c) { c.cells[4].lastSector = 1; }},
      {"cell time not BCD", [](ChainShape& c) { c.cells[2].bcd[2] = 0x7A; }},
      {"frames without a frame rate", [](ChainShape& c) { c.cells[2].bcd[3] = 0x05; }},
      {"angle flag outside a block", [](ChainShape& c) { c.cells[4].flags = 0x10; }},
  };
  for (const Case& c : cases) {
    ChainShape shape = AngleChain();
    c.damage(shape);
    const ProgramChain chain = ParseChain(shape);
    EXPECT_NE(chain.playbackError, "") << c.what;
    EXPECT_NE(PlaybackOrder(chain, 1).error, "") << c.what;
  }

  // Blocks that do not close, or disagree on the number of angles, cannot be played.
  ChainShape open = AngleChain();
  open.cells[3].flags = kAngleMiddle;
  EXPECT_NE(PlaybackOrder(ParseChain(open), 1).error.find("no last cell"), std::string::npos);
  ChainShape stray = AngleChain();
  stray.cells[1].flags = kAngleMiddle;
  EXPECT_NE(PlaybackOrder(ParseChain(stray), 1).error.find("never started"), std::string::npos);
  ChainShape uneven = AngleChain();
  uneven.programs = 3;
  uneven.programMap = {1, 2, 5};
  uneven.cells.push_back(MakeCell(kAngleFirst, 401, 410));
  uneven.cells.push_back(MakeCell(kAngleLast, 411, 420));
  EXPECT_NE(PlaybackOrder(ParseChain(uneven), 1).error.find("2 angles, an earlier one 3"), std::string::npos);
}

TEST(ChainPlayback, TableOffsetsOutsideTheChainAreCaught) {
  IfoLayout layout;
  layout.chains = {AngleChain()};
  const std::vector<std::uint8_t> good = BuildIfo(layout);
  const std::size_t chain = 2048 + 16;
  for (std::size_t field : {chain + 0xE6, chain + 0xE8}) {
    for (std::uint32_t offset : {0x0000u, 0x0010u, 0xFFF0u}) {
      std::vector<std::uint8_t> bad = good;
      PutU16(bad, field, offset);
      const ParseResult r = ParseTitleSetIfo(bad);
      ASSERT_TRUE(r.ok) << r.error;  // the report does not need the player tables
      EXPECT_NE(r.titleSet.chains[0].playbackError, "") << field << " " << offset;
    }
  }
  // A chain that ends right after its fixed part has no room for the tables it names.
  std::vector<std::uint8_t> cut = good;
  PutU32(cut, 2048 + 4, 16 + 0xEC - 1);
  const ParseResult r = ParseTitleSetIfo(cut);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_NE(r.titleSet.chains[0].playbackError, "");
}

TEST(ChainPlayback, PlaybackTimes) {
  const struct {
    std::uint8_t bcd[4];
    bool ok;
    std::int64_t ticks;
  } cases[] = {
      {{0x01, 0x02, 0x03, 0x40 | 0x24}, true, (3600 + 120 + 3) * 90000LL + 24 * 3600},
      {{0x00, 0x00, 0x00, 0xC0 | 0x29}, true, 29 * 3003},
      {{0x00, 0x00, 0x10, 0x00}, true, 10 * 90000},  // no frames, no rate needed
      {{0x00, 0x00, 0x10, 0x80 | 0x01}, false, 0},   // reserved rate
      {{0x00, 0x6A, 0x00, 0x40}, false, 0},
  };
  for (const auto& c : cases) {
    std::int64_t ticks = -1;
    EXPECT_EQ(DecodePlaybackTime(c.bcd, ticks), c.ok);
    if (c.ok) {
      EXPECT_EQ(ticks, c.ticks);
    }
  }
}
