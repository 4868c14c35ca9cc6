// Feeds thousands of damaged variants of real IFO files to the parser in one process:
// truncations, flipped bytes, and offsets and counts pointed past the end, in the title set
// header, the chain table and each chain's player tables (cells, program map, colours). Each
// variant must give either a clean error or a report of the expected shape, and every chain
// either a reason its player tables are unusable or a playback order inside its cells. Run it under the sanitizers to
// catch out-of-bounds reads. Usage: ifoscan_mutate VARIANTS IFO...

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "chain_playback.h"
#include "ifo_parser.h"
#include "report_writer.h"

namespace {

using Buffer = std::vector<std::uint8_t>;

void PutU32(Buffer& b, std::size_t at, std::uint32_t v) {
  if (at + 4 > b.size()) return;
  for (int k = 0; k < 4; ++k) b[at + k] = static_cast<std::uint8_t>(v >> (24 - 8 * k));
}

std::uint32_t GetU32(const Buffer& b, std::size_t at) {
  if (at + 4 > b.size()) return 0;
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}

// Places in the file whose damage reaches furthest: the table pointer, counts, the table
// header, entry offsets.
std::vector<std::size_t> Hotspots(const Buffer& b) {
  std::vector<std::size_t> spots = {0xCC, 0x202, 0x254};
  const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
  if (pgcit + 8 <= b.size()) {
    spots.push_back(pgcit);
    spots.push_back(pgcit + 4);
    const std::size_t count = (std::size_t{b[pgcit]} << 8) | b[pgcit + 1];
    for (std::size_t i = 0; i < count && pgcit + 16 + i * 8 <= b.size(); ++i) spots.push_back(pgcit + 12 + i * 8);
  }
  return spots;
}

// Where each chain starts, for damage to its player tables.
std::vector<std::size_t> ChainStarts(const Buffer& b) {
  std::vector<std::size_t> starts;
  const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
  if (pgcit + 8 > b.size()) return starts;
  const std::size_t count = (std::size_t{b[pgcit]} << 8) | b[pgcit + 1];
  for (std::size_t i = 0; i < count && pgcit + 16 + i * 8 <= b.size(); ++i) starts.push_back(pgcit + GetU32(b, pgcit + 12 + i * 8));
  return starts;
}

void PutU16(Buffer& b, std::size_t at, std::uint32_t v) {
  if (at + 2 > b.size()) return;
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}

Buffer Mutate(const Buffer& good, std::mt19937& rng, int kind) {
  Buffer b = good;
  auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % (n ? n : 1)); };
  switch (kind) {
    case 0: {  // truncate anywhere, or around the end of the chain table
      const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
      const std::size_t tableEnd = pgcit + GetU32(b, pgcit + 4) + 1;
      if ((rng() & 1) && tableEnd < good.size()) b.resize(tableEnd - pick(0x100));
      else b.resize(pick(good.size()));
      break;
    }
    case 1: {  // flip a few bytes of the header or the chain table, where the reader looks
      const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
      const bool inTable = (rng() & 1) && pgcit < b.size();
      const std::size_t from = inTable ? pgcit : 0;
      const std::size_t span = std::min<std::size_t>(b.size() - from, inTable ? 0x300 : 0x400);
      const int flips = 1 + static_cast<int>(rng() % 8);
      for (int i = 0; i < flips; ++i) b[from + pick(span)] ^= static_cast<std::uint8_t>(1 + rng() % 255);
      break;
    }
    case 2: {  // point an offset or count somewhere wild
      const std::vector<std::size_t> spots = Hotspots(b);
      // Values just inside and just outside the file and the table find off-by-one checks.
      const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
      const auto tableSize = static_cast<std::uint32_t>(GetU32(b, pgcit + 4) + 1);
      const auto edge = static_cast<std::uint32_t>(rng() % 4) - 2;
      const std::uint32_t wild[] = {0xFFFFFFFFu,
                                    0x7FFFFFFFu,
                                    static_cast<std::uint32_t>(b.size() / 2048),
                                    static_cast<std::uint32_t>(b.size() - pgcit + edge),
                                    tableSize - 0x9C + edge,
                                    static_cast<std::uint32_t>(rng())};
      PutU32(b, spots[pick(spots.size())], wild[pick(std::size(wild))]);
      break;
    }
    case 3: {  // stretch the table to the file's end and put a chain right at the table's end
      const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
      const auto edge = static_cast<std::uint32_t>(rng() % 3) - 1;
      const auto tableSize = static_cast<std::uint32_t>(b.size() - pgcit) + edge;
      PutU32(b, pgcit + 4, tableSize - 1);
      const std::vector<std::size_t> spots = Hotspots(b);
      PutU32(b, spots.back(), tableSize - 0x9C + static_cast<std::uint32_t>(rng() % 3) - 1);
      break;
    }
    case 4: {  // damage one chain's player tables: their offsets, counts or contents
      const std::vector<std::size_t> starts = ChainStarts(b);
      if (starts.empty()) break;
      const std::size_t chain = starts[pick(starts.size())];
      const std::size_t tableEnd = std::size_t{GetU32(b, 0xCC)} * 2048 + GetU32(b, std::size_t{GetU32(b, 0xCC)} * 2048 + 4) + 1;
      const std::uint32_t wild[] = {0, 0xEB, 0xEC, static_cast<std::uint32_t>(tableEnd - chain - 1 - rng() % 30), 0xFFFF,
                                    static_cast<std::uint32_t>(rng() & 0xFFFF)};
      switch (rng() % 4) {
        case 0: PutU16(b, chain + 0xE6, wild[pick(std::size(wild))]); break;
        case 1: PutU16(b, chain + 0xE8, wild[pick(std::size(wild))]); break;
        case 2: if (chain + 4 <= b.size()) b[chain + 2 + pick(2)] = static_cast<std::uint8_t>(rng()); break;
        default: {  // flip bytes from the colour table to the end of the cell table
          const std::size_t from = chain + 0xA4;
          if (from >= b.size()) break;
          const std::size_t span = std::min<std::size_t>(b.size() - from, 0x200);
          for (int i = 0, flips = 1 + static_cast<int>(rng() % 6); i < flips; ++i)
            b[from + pick(span)] ^= static_cast<std::uint8_t>(1 + rng() % 255);
        }
      }
      break;
    }
    default: {  // flip bytes inside the chain table, then cut the file
      const std::size_t pgcit = std::size_t{GetU32(b, 0xCC)} * 2048;
      if (pgcit < b.size())
        for (int i = 0; i < 4; ++i) b[pgcit + pick(b.size() - pgcit)] ^= static_cast<std::uint8_t>(rng());
      b.resize(b.size() - pick(b.size() / 4));
      break;
    }
  }
  b.shrink_to_fit();  // exact size, so a read one past the end is a sanitizer report
  return b;
}

// The report of a variant that parsed must still have the planner's shape.
bool ReportShapeOk(const ifoscan::TitleSet& t, const std::string& report) {
  std::size_t lines = 0, start = 0;
  std::string last;
  while (start < report.size()) {
    const std::size_t end = report.find("\r\n", start);
    if (end == std::string::npos || report.compare(start, 2, "  ") != 0) return false;
    last = report.substr(start, end - start);
    ++lines;
    start = end + 2;
  }
  return lines == t.chains.size() + t.audio.size() + t.subpictures.size() + 1 && last.rfind("  Video: ", 0) == 0;
}

// Every playback order a player could ask for stays inside the chain's cells.
bool PlayerTablesOk(const ifoscan::TitleSet& t) {
  for (const ifoscan::ProgramChain& chain : t.chains) {
    if (!chain.playbackError.empty()) continue;
    for (int entry : chain.programEntryCells)
      if (entry < 1 || entry > static_cast<int>(chain.cells.size())) return false;
    for (const ifoscan::Cell& cell : chain.cells)
      if (cell.lastSector < cell.firstSector || cell.durationTicks < 0) return false;
    for (int angle = 1; angle <= 3; ++angle) {
      const ifoscan::CellOrder order = ifoscan::PlaybackOrder(chain, angle);
      if (!order.error.empty() && !order.cells.empty()) return false;
      for (int cell : order.cells)
        if (cell < 0 || cell >= static_cast<int>(chain.cells.size())) return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: ifoscan_mutate VARIANTS IFO...\n");
    return 2;
  }
  const int variants = std::atoi(argv[1]);
  std::mt19937 rng(20240531);
  int failures = 0;
  for (int f = 2; f < argc; ++f) {
    std::ifstream in(argv[f], std::ios::binary);
    const Buffer good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || !ifoscan::ParseTitleSetIfo(good).ok) {
      std::fprintf(stderr, "%s: not a readable title set IFO to start from\n", argv[f]);
      return 2;
    }
    int accepted = 0, rejected = 0, playable = 0, unplayable = 0;
    // Every truncation first, then the random variants.
    for (int v = -static_cast<int>(good.size()); v < variants; ++v) {
      const Buffer bad = v < 0 ? Buffer(good.begin(), good.end() + v) : Mutate(good, rng, v % 6);
      const ifoscan::ParseResult r = ifoscan::ParseTitleSetIfo(bad);
      if (!r.ok) {
        ++rejected;
        if (r.error.empty()) ++failures, std::fprintf(stderr, "%s: variant %d rejected without a reason\n", argv[f], v);
        continue;
      }
      ++accepted;
      if (!ReportShapeOk(r.titleSet, ifoscan::FormatReport(r.titleSet)))
        ++failures, std::fprintf(stderr, "%s: variant %d gave a malformed report\n", argv[f], v);
      if (!PlayerTablesOk(r.titleSet))
        ++failures, std::fprintf(stderr, "%s: variant %d gave a playback order outside its cells\n", argv[f], v);
      for (const ifoscan::ProgramChain& chain : r.titleSet.chains) ++(chain.playbackError.empty() ? playable : unplayable);
    }
    std::printf("%s: %d variants, %d reported, %d rejected; chains: %d playable, %d not\n", argv[f],
                accepted + rejected, accepted, rejected, playable, unplayable);
    if (accepted == 0 || rejected == 0 || playable == 0 || unplayable == 0) {
      std::fprintf(stderr, "%s: the mutations did not reach both outcomes\n", argv[f]);
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
