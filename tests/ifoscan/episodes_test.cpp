// The episodes of a title set, over chains built in code: of 5 to 90 minutes, playable, and
// not a "play all" made of other such chains' cells; and their mark in the chain list.

#include "episodes.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "main_feature.h"

using namespace ifoscan;

namespace {

using Sectors = std::pair<std::uint32_t, std::uint32_t>;  // a cell's first and last sector

ProgramChain Chain(int seconds, std::vector<Sectors> cells, std::string playbackError = "") {
  ProgramChain chain;
  chain.hours = seconds / 3600, chain.minutes = seconds / 60 % 60, chain.seconds = seconds % 60;
  for (const auto& [first, last] : cells) {
    Cell cell;
    cell.firstSector = first, cell.lastSector = last;
    chain.cells.push_back(cell);
  }
  if (!cells.empty()) chain.programEntryCells = {1};
  chain.playbackError = std::move(playbackError);
  return chain;
}

constexpr int kMin = 60;
const Sectors a{0, 99}, b{100, 199}, c{200, 299};

TEST(Episodes, ChainsOfFiveToNinetyMinutesThatAreNotMadeOfOtherSuchChains) {
  const struct Case {
    const char* what;
    std::vector<ProgramChain> chains;
    std::vector<int> episodes;
    std::string whyNone;  // when there are none
  } cases[] = {
      {"play all after the episodes",
       {Chain(20 * kMin, {a}), Chain(20 * kMin, {b}), Chain(20 * kMin, {c}), Chain(60 * kMin, {a, b, c})},
       {1, 2, 3}, ""},
      {"play all first, its cells in another order",
       {Chain(40 * kMin, {b, a}), Chain(20 * kMin, {a}), Chain(20 * kMin, {b})},
       {2, 3}, ""},
      {"play all covered by overlapping parts",
       {Chain(9 * kMin, {a, b}), Chain(9 * kMin, {b, c}), Chain(13 * kMin, {a, b, c})},
       {1, 2}, ""},
      {"two chains of the same cells", {Chain(30 * kMin, {a, b}), Chain(30 * kMin, {a, b})}, {1, 2}, ""},
      {"a part does not cover the whole", {Chain(20 * kMin, {a, b}), Chain(30 * kMin, {a, b, c})}, {1, 2}, ""},
      {"sharing some cells", {Chain(20 * kMin, {a, b}), Chain(20 * kMin, {b, c})}, {1, 2}, ""},
      {"a cell is its first and last sector",
       {Chain(20 * kMin, {a}), Chain(20 * kMin, {b}), Chain(40 * kMin, {a, {100, 250}})},
       {1, 2, 3}, ""},
      {"parts too short to be episodes", {Chain(3 * kMin, {a}), Chain(3 * kMin, {b}), Chain(6 * kMin, {a, b})}, {3}, ""},
      {"5 and 90 minutes are in, a second beyond is out",
       {Chain(5 * kMin - 1, {a}), Chain(5 * kMin, {b}), Chain(90 * kMin, {c}),
        Chain(90 * kMin + 1, {{300, 399}})},
       {2, 3}, ""},
      {"an unplayable chain is neither an episode nor a part",
       {Chain(20 * kMin, {a}, "cell 1 is marked as an angle cell outside any block"), Chain(20 * kMin, {b}),
        Chain(40 * kMin, {a, b})},
       {2, 3}, ""},
      {"only other lengths", {Chain(2 * kMin, {a}), Chain(120 * kMin, {a, b})}, {}, "no chain lasts 5 to 90 minutes"},
      {"none of the right length playable",
       {Chain(20 * kMin, {a}, "the cell playback table lies outside the chain"), Chain(20 * kMin, {}),
        Chain(1 * kMin, {b})},
       {},
       "no chain of 5 to 90 minutes can be played (chain 1: the cell playback table lies outside the chain; "
       "chain 2 has no cells)"},
  };
  for (const Case& row : cases) {
    TitleSet titleSet;
    titleSet.chains = row.chains;
    EXPECT_EQ(Episodes(titleSet), row.episodes) << row.what;
    EXPECT_EQ(WhyNoEpisodes(titleSet), row.whyNone) << row.what;

    // The chain list marks the same chains, and only them.
    std::istringstream list(FormatChainList({{1, titleSet}}, {0, 1}));
    std::vector<int> marked;
    std::string line;
    for (int chain = 1; std::getline(list, line); ++chain)
      if (line.find(" (episode)") != std::string::npos) marked.push_back(chain);
    EXPECT_EQ(marked, row.episodes) << row.what;
  }
}

}  // namespace
