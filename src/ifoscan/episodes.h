#pragma once
// The episodes of a title set: what a user converting a series wants, one file each. A disc
// holds each episode as a chain of its own, and often a "play all" chain made of the
// episodes' cells, which is not an episode.

#include <string>
#include <vector>

#include "title_set.h"

namespace ifoscan {

// The 1-based numbers of the chains that are episodes: every playable chain lasting 5 to 90
// minutes whose cells are not all found in such chains of fewer cells. A cell is known by its
// first and last sector, so two chains of the very same cells are both episodes, and a chain
// that shares only some of its cells with others is one too.
std::vector<int> Episodes(const TitleSet& titleSet);

// Why Episodes(titleSet) is empty, for the user; "" when it is not.
std::string WhyNoEpisodes(const TitleSet& titleSet);

}  // namespace ifoscan
