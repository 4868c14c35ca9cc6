#include "episodes.h"

#include <algorithm>
#include <set>
#include <utility>

namespace ifoscan {
namespace {

constexpr int kShortestEpisode = 5 * 60;  // seconds; shorter chains are trailers, extras, menus
constexpr int kLongestEpisode = 90 * 60;  // longer ones are films or a whole season played at once

using CellSet = std::set<std::pair<std::uint32_t, std::uint32_t>>;  // first and last sector

bool LastsLikeAnEpisode(const ProgramChain& chain) {
  const int seconds = PlaybackSeconds(chain);
  return seconds >= kShortestEpisode && seconds <= kLongestEpisode;
}

bool Playable(const ProgramChain& chain) { return chain.playbackError.empty() && !chain.cells.empty(); }

CellSet CellsOf(const ProgramChain& chain) {
  CellSet cells;
  for (const Cell& cell : chain.cells) cells.insert({cell.firstSector, cell.lastSector});
  return cells;
}

}  // namespace

std::vector<int> Episodes(const TitleSet& titleSet) {
  std::vector<int> candidates;  // 0-based chain indexes
  std::vector<CellSet> cells;
  for (std::size_t c = 0; c < titleSet.chains.size(); ++c) {
    const ProgramChain& chain = titleSet.chains[c];
    if (!LastsLikeAnEpisode(chain) || !Playable(chain)) continue;
    candidates.push_back(static_cast<int>(c));
    cells.push_back(CellsOf(chain));
  }
  std::vector<int> episodes;
  for (std::size_t p = 0; p < candidates.size(); ++p) {
    // The cells of the candidates that are strictly part of this one: when they are all of its
    // cells, this chain only plays those candidates one after the other.
    CellSet covered;
    for (std::size_t q = 0; q < candidates.size(); ++q) {
      if (cells[q].size() < cells[p].size() &&
          std::includes(cells[p].begin(), cells[p].end(), cells[q].begin(), cells[q].end()))
        covered.insert(cells[q].begin(), cells[q].end());
    }
    if (covered.size() < cells[p].size()) episodes.push_back(candidates[p] + 1);
  }
  return episodes;
}

std::string WhyNoEpisodes(const TitleSet& titleSet) {
  if (!Episodes(titleSet).empty()) return {};
  // A playable chain of the right length whose cells are fewest is always an episode, so what
  // is left are chains of other lengths and chains that cannot be played.
  std::string unplayable;
  for (std::size_t c = 0; c < titleSet.chains.size(); ++c) {
    const ProgramChain& chain = titleSet.chains[c];
    if (!LastsLikeAnEpisode(chain)) continue;
    if (!unplayable.empty()) unplayable += "; ";
    unplayable += "chain " + std::to_string(c + 1) +
                  (chain.playbackError.empty() ? " has no cells" : ": " + chain.playbackError);
  }
  if (unplayable.empty()) return "no chain lasts 5 to 90 minutes";
  return "no chain of 5 to 90 minutes can be played (" + unplayable + ")";
}

}  // namespace ifoscan
